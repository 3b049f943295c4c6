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
    doc.hooks.resetUndo = note("undo");
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

TEST_F(CommandsTest, NewGivesTwentyNumberedEmptyShapes) {
  EXPECT_EQ(doc.list.count, 20);
  EXPECT_EQ(doc.list.current, 0);
  EXPECT_EQ(doc.state.qs2Flag, 0);
  EXPECT_EQ(doc.state.qbjFlag, 0);
  EXPECT_EQ(doc.state.modified, kUnmodified);
  EXPECT_EQ(doc.list.slots[4999].replacement, 4999);
  EXPECT_EQ(ui.title(), "Quorvane QSH Editor 1.04 -- [new]");
}

TEST_F(CommandsTest, ShowShapeCommitsTheShapeBeingLeft) {
  Paint();
  ShowShape(doc, canvas, 5, true, 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"drop", "read 0", "clear", "undo", "fill"}));
  EXPECT_EQ(doc.list.current, 5);
  EXPECT_EQ(doc.list.slots[0].width, 4);
  EXPECT_EQ(doc.list.slots[0].pixels[3], 42);
  EXPECT_EQ(canvas.At(3, 255), 0);
}

TEST_F(CommandsTest, UnsavedChangesQuestionEveryAnswer) {
  std::string path = dir.File("keep.qsh");
  // Cancel: nothing happens.
  Paint();
  ui.answers = {Answer::Cancel};
  NewDocument(doc, canvas, ui.platform());
  EXPECT_EQ(doc.state.modified, kModified);
  EXPECT_EQ(canvas.At(3, 255), 42);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "There are some unsaved changes. Do you want to save them?");
  EXPECT_EQ(ui.messages[0].buttons, platform::Buttons::YesNoCancel);

  // Yes, then the save dialog cancelled: the work stays open and modified.
  ui.answers = {Answer::Yes};
  OpenDocument(doc, canvas, ui.platform());
  EXPECT_EQ(doc.state.modified, kModified);
  EXPECT_TRUE(ui.openDialogs.empty());
  EXPECT_EQ(doc.list.slots[0].pixels[3], 42);  // committed by the attempt, not lost

  // Yes, and the save fails: still open and modified.
  std::filesystem::create_directories(dir.File("adir.qsh"));
  ui.answers = {Answer::Yes};
  ui.fileNames = {dir.File("adir.qsh")};
  NewDocument(doc, canvas, ui.platform());
  EXPECT_EQ(doc.state.modified, kModified);
  EXPECT_EQ(canvas.At(3, 255), 42);

  // Yes, and the save works: the new document follows.
  ui.answers = {Answer::Yes};
  ui.fileNames = {path};
  NewDocument(doc, canvas, ui.platform());
  EXPECT_EQ(doc.state.modified, kUnmodified);
  EXPECT_EQ(canvas.At(3, 255), 0);
  Bytes saved = ReadBytes(path);
  ASSERT_GE(saved.size(), 2u);
  EXPECT_EQ(saved[0], 20);

  // No: discarded without saving.
  Paint();
  ui.answers = {Answer::No};
  NewDocument(doc, canvas, ui.platform());
  EXPECT_EQ(doc.state.modified, kUnmodified);
  EXPECT_EQ(canvas.At(3, 255), 0);
  EXPECT_EQ(ReadBytes(path), saved);
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
  RevertShape(doc, canvas, ui.platform());
  EXPECT_EQ(canvas.At(0, 255), 99);
  ui.answers = {Answer::Yes};
  RevertShape(doc, canvas, ui.platform());
  EXPECT_EQ(ui.messages.back().text, "Revert shape from last saved position?");
  EXPECT_EQ(canvas.At(0, 255), 5);
  EXPECT_EQ(doc.list.Current().offsetX, 3);

  // Without a file: the file's message, and the canvas shows the shape as it is.
  NewDocument(doc, canvas, ui.platform());
  canvas.At(0, 255) = 99;
  ui.answers = {Answer::Yes};
  RevertShape(doc, canvas, ui.platform());
  EXPECT_EQ(ui.messages.back().text, "Could not load shape: File not found.");
  EXPECT_EQ(canvas.At(0, 255), 0);
}
