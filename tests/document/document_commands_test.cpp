#include <gtest/gtest.h>

#include "document/document_commands.h"
#include "platform/headless/headless.h"
#include "test_files.h"

using namespace qshe;
using platform::Answer;
using namespace qshe::testing;
using Bytes = std::vector<uint8_t>;

namespace {

struct CommandsTest : ::testing::Test {
  TempDir dir;
  Document doc;
  Canvas canvas;
  platform::HeadlessPlatform ui;
  std::vector<std::string> calls;

  CommandsTest() {
    auto note = [this](const char* what) { return [this, what] { calls.push_back(what); }; };
    doc.hooks.fillPropertiesWindow = note("fill");
    doc.hooks.clearSelection = note("clear");
    doc.hooks.canvasLoaded = note("loaded");
    doc.hooks.recordPainting = note("record");
    doc.hooks.dropFloatingSelection = note("drop");
    doc.hooks.resetView = note("view");
    doc.hooks.readPropertiesWindow = [this](int32_t i) { calls.push_back("read " + std::to_string(i)); };
    NewDocument(doc, canvas, ui.platform());
    calls.clear();
  }

  // Paints on the canvas as a tool would.
  void Paint() {
    canvas.At(3, 255) = 42;
    doc.state.modified = kModified;
  }
};

}  // namespace

TEST_F(CommandsTest, NewGivesNumberedShapesAndShowShapeCommitsTheShapeBeingLeft) {
  EXPECT_EQ(std::tie(doc.list.count, doc.list.current, doc.state.modified), std::make_tuple(20, 0, kUnmodified));
  EXPECT_EQ(doc.list.slots[4999].replacement, 4999);
  Paint();
  ShowShape(doc, canvas, 5, true, 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"record", "drop", "read 0", "clear", "loaded", "fill"}));
  EXPECT_EQ(doc.list.current, 5);
  EXPECT_EQ(doc.list.slots[0].width, 4);
  EXPECT_EQ(doc.list.slots[0].pixels[3], 42);
  EXPECT_EQ(canvas.At(3, 255), 0);
}

TEST_F(CommandsTest, UnsavedChangesQuestionEveryAnswer) {
  std::string path = dir.File("keep.qsh");
  std::filesystem::create_directories(dir.File("adir.qsh"));
  struct Case {
    std::vector<Answer> answers;
    std::vector<std::optional<std::string>> names;  // for the save dialog
    bool goesOn;
  };
  // Cancel; Yes with the save dialog cancelled; Yes and the save fails; Yes
  // and it is saved; No, discarding.
  for (const Case& c : {Case{{Answer::Cancel}, {}, false}, Case{{Answer::Yes}, {std::nullopt}, false},
                        Case{{Answer::Yes}, {dir.File("adir.qsh")}, false}, Case{{Answer::Yes}, {path}, true},
                        Case{{Answer::No}, {}, true}}) {
    Paint();
    Bytes before = ReadBytes(path);
    size_t asked = ui.messages.size();
    ui.answers.assign(c.answers.begin(), c.answers.end());
    ui.fileNames.assign(c.names.begin(), c.names.end());
    NewDocument(doc, canvas, ui.platform());
    EXPECT_EQ(doc.state.modified, c.goesOn ? kUnmodified : kModified) << c.names.size();
    EXPECT_EQ(canvas.At(3, 255), c.goesOn ? 0 : 42);
    EXPECT_EQ(ui.messages.at(asked).text, "There are some unsaved changes. Do you want to save them?");
    EXPECT_EQ(ui.messages.at(asked).buttons, platform::Buttons::YesNoCancel);
    if (c.names.empty() || c.names[0] != path) { EXPECT_EQ(ReadBytes(path), before); }
  }
  EXPECT_EQ(ReadBytes(path).at(0), 20);
  // Open asks the same, and the shape is committed by a cancelled save, not lost.
  Paint();
  ui.answers = {Answer::Yes};
  ui.fileNames = {std::nullopt};
  OpenDocument(doc, canvas, ui.platform());
  EXPECT_EQ(doc.state.modified, kModified);
  EXPECT_TRUE(ui.openDialogs.empty());
  EXPECT_EQ(doc.list.slots[0].pixels[3], 42);
}

TEST_F(CommandsTest, OpenReadsTheFileAndShowsItsFirstShape) {
  WriteBytes(dir.File("a.qsh"), kQsh);
  ui.fileNames = {dir.File("a.qsh")};
  OpenDocument(doc, canvas, ui.platform());
  ASSERT_EQ(ui.openDialogs.size(), 1u);
  EXPECT_EQ(doc.list.count, 1);
  EXPECT_EQ(doc.state.documentPath, dir.File("a.qsh"));
  EXPECT_EQ(canvas.At(1, 255), 6);
  EXPECT_EQ(ui.cursor(), platform::Cursor::Arrow);

  // Unreadable and damaged files leave twenty empty shapes, no path, and a
  // title that no longer names the file that was open before.
  for (auto bad : {dir.File("missing.qsh"), dir.File("bad.qsh")}) {
    WriteBytes(dir.File("bad.qsh"), Bytes{5, 0, 1});
    OpenPath(doc, canvas, ui.platform(), dir.File("a.qsh"));
    OpenPath(doc, canvas, ui.platform(), bad);
    EXPECT_EQ(doc.list.count, 20);
    EXPECT_TRUE(doc.state.documentPath.empty());
    EXPECT_EQ(canvas.At(0, 255), 0);
    EXPECT_EQ(ui.title(), "Quorvane QSH Editor 1.04 -- [new]");
  }
}

TEST_F(CommandsTest, SaveThenReopenGivesTheSamePicture) {
  Paint();
  ui.fileNames = {dir.File("pic.qsh")};
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaved);
  EXPECT_EQ(doc.state.documentPath, dir.File("pic.qsh"));
  // A second save goes to the same file without a dialog.
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaved);
  EXPECT_EQ(ui.saveDialogs.size(), 1u);
  // Save As always asks.
  EXPECT_EQ(SaveDocumentAs(doc, canvas, ui.platform()), kSaveCancelled);
  EXPECT_EQ(ui.saveDialogs.size(), 2u);

  Document other;
  Canvas otherCanvas;
  OpenPath(other, otherCanvas, ui.platform(), dir.File("pic.qsh"));
  EXPECT_EQ(other.list.count, 20);
  EXPECT_EQ(otherCanvas.At(3, 255), 42);
}

TEST_F(CommandsTest, RevertReadsTheShapeAgainFromDisk) {
  WriteBytes(dir.File("a.qsh"), kQsh);
  OpenPath(doc, canvas, ui.platform(), dir.File("a.qsh"));
  canvas.At(0, 255) = 99;
  ui.answers = {Answer::No};
  History history;
  RevertShape(doc, canvas, history, ui.platform());
  EXPECT_EQ(canvas.At(0, 255), 99);
  ui.answers = {Answer::Yes};
  RevertShape(doc, canvas, history, ui.platform());
  EXPECT_EQ(ui.messages.back().text, "Revert shape from last saved position?");
  EXPECT_EQ(canvas.At(0, 255), 5);
  EXPECT_EQ(doc.list.Current().offsetX, 3);

  // Without a file, or without that shape in it: the file's message, and
  // the painting not yet committed stays.
  for (bool saved : {false, true}) {
    NewDocument(doc, canvas, ui.platform());
    if (saved) {
      doc.list.count = 1;
      ASSERT_EQ(SaveShapeFile(doc, ui.platform(), dir.File("one.qsh"), doc.list.Document()), kSaved);
      doc.list.count = 3;
      doc.list.current = 2;
    }
    canvas.At(0, 255) = 99;
    ui.answers = {Answer::Yes};
    RevertShape(doc, canvas, history, ui.platform());
    EXPECT_EQ(ui.messages.back().text, saved ? "There is no shape number 2 in this shape file."
                                             : "Could not load shape: File not found.");
    EXPECT_EQ(canvas.At(0, 255), 99);
  }
}
