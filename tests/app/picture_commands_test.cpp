#include <gtest/gtest.h>

#include "app/command_table.h"
#include "app/commands.h"
#include "app/history_commands.h"
#include "editor_fixture.h"
#include "document/document_commands.h"
#include "document/file_io.h"
#include "document/shape_file.h"
#include "interchange/bitmap_export.h"
#include "interchange/picture_import.h"

#include <algorithm>

namespace qshe::testing {
namespace {

using platform::Answer;

struct PictureCommandsTest : EditorFixture {
  platform::HeadlessDialogs& dlg = hp.dialogs;
  void SetUp() override { ASSERT_TRUE(Start()); }
};

TEST_F(PictureCommandsTest, CtrlIThenCtrlSPutsThePictureIntoTheFileAndUndoTakesItBack) {
  // A 2 x 3 picture of game colours 50 (bottom row) and 60, exported first.
  Shape picture;
  AllocateShape(picture, 2, 3);
  for (int i = 0; i < 6; ++i) picture.pixels[static_cast<size_t>(i)] = i < 2 ? 50 : 60;
  ASSERT_FALSE(WriteShapePicture(dir.File("p.png"), picture, e.window.gamePalette));
  e.canvas.At(5, 250) = 33;  // a stroke before the import
  RecordCanvasStep(e, "Pencil");
  hp.fileNames = {dir.File("p.png")};
  OnCommand(e, 40020);  // Ctrl+I
  ASSERT_EQ(hp.openDialogs.size(), 1u);
  EXPECT_EQ(hp.openDialogs[0].filters[0].pattern, "*.bmp;*.png");
  EXPECT_EQ(hp.openDialogs[0].filters[1].pattern, "*.bmp");
  EXPECT_EQ(hp.openDialogs[0].title, "Import a picture onto the canvas");
  EXPECT_EQ(hp.openDialogs[0].maxLength, 510);
  EXPECT_TRUE(hp.messages.empty());
  // Nothing changes before the "Import picture" window says Import.
  ASSERT_TRUE(dlg.DialogVisible(kImportPictureDialog));
  EXPECT_EQ(e.canvas.At(5, 250), 33);
  dlg.Click(kImportPictureDialog, kPictureImport);
  EXPECT_FALSE(dlg.DialogVisible(kImportPictureDialog));
  EXPECT_EQ(e.canvas.At(0, 253), 50);
  EXPECT_EQ(e.canvas.At(1, 255), 60);
  EXPECT_EQ(e.canvas.At(5, 250), 0);
  EXPECT_EQ(e.doc.state.modified, kModified);
  EXPECT_EQ(hp.cursor(), platform::Cursor::Arrow);

  hp.fileNames = {dir.File("s.qsh")};
  OnCommand(e, 40019);  // Ctrl+S
  std::vector<Shape> table(kShapeListCapacity);
  ASSERT_EQ(LoadShapeFile(dir.File("s.qsh"), table).status, LoadStatus::Ok);
  ASSERT_EQ(table[0].width, 2);
  ASSERT_EQ(table[0].height, 3);
  EXPECT_EQ(std::vector<uint8_t>(table[0].pixels.get(), table[0].pixels.get() + 6),
            std::vector<uint8_t>(picture.pixels.get(), picture.pixels.get() + 6));

  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.canvas.At(5, 250), 33);
  EXPECT_EQ(e.canvas.At(0, 253), 0);
}

TEST_F(PictureCommandsTest, ABrokenPictureLeavesTheCanvasAndSaysWhy) {
  WriteBytes(dir.File("bad.bmp"), {'B', 'M', 1, 2, 3});
  e.canvas.At(5, 250) = 33;
  hp.fileNames = {dir.File("bad.bmp")};
  OnCommand(e, kCmdImportSingle);
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_NE(hp.messages[0].text.find(dir.File("bad.bmp")), std::string::npos);
  EXPECT_EQ(e.canvas.At(5, 250), 33);
}

TEST_F(PictureCommandsTest, CtrlEProposesTheShapesNameAndWritesItsBytes) {
  ASSERT_GE(e.doc.list.count, 13);
  ShowShape(e.doc, e.canvas, 12, true, e.doc.list.current);
  e.canvas.At(0, 255) = 77;
  e.canvas.At(2, 254) = 78;
  hp.fileNames = {dir.File("out.bmp")};
  OnCommand(e, 40120);  // Ctrl+E
  ASSERT_EQ(hp.saveDialogs.size(), 1u);
  EXPECT_EQ(hp.saveDialogs[0].initialName, "shape12.bmp");
  EXPECT_TRUE(hp.saveDialogs[0].promptOverwrite);
  const Shape& s = e.doc.list.slots[12];
  EXPECT_EQ(s.width, 3);
  EXPECT_EQ(ReadBytes(dir.File("out.bmp")), EncodeShapeBitmap(s, e.window.gamePalette));
  // Cancelling writes nothing and says nothing.
  OnCommand(e, 40120);
  EXPECT_TRUE(hp.messages.empty());
}

TEST_F(PictureCommandsTest, ThePngFilterOfTheExportPicksPngWhateverNameIsTyped) {
  e.canvas.At(0, 255) = 77;
  e.canvas.At(1, 255) = 78;
  struct Case {
    const char* typed;
    int filter;
    const char* written;
    bool png;
  };
  const Case cases[] = {
      {"a.png", 0, "a.png", true},  // the name alone still says PNG
      {"b.bmp", 1, "b.png", true},
      {"c", 1, "c.png", true},
      {"d.BMP", 1, "d.png", true},
      {"e.bmp", 0, "e.bmp", false},
  };
  for (const Case& c : cases) {
    hp.fileNames = {dir.File(c.typed)};
    hp.chosenFilters = {c.filter};
    OnCommand(e, kCmdExportBitmap);
    ASSERT_TRUE(FileExists(dir.File(c.written))) << c.typed;
    const std::vector<uint8_t> bytes = ReadBytes(dir.File(c.written));
    EXPECT_EQ(bytes[0], c.png ? 0x89 : 'B') << c.typed;
    if (std::string(c.typed) != c.written) {
      EXPECT_FALSE(FileExists(dir.File(c.typed))) << c.typed;
    }
  }
  const platform::FileDialogRequest& asked = hp.saveDialogs.back();
  EXPECT_EQ(asked.title, "Export the shape as a picture");
  ASSERT_EQ(asked.filters.size(), 3u);
  EXPECT_EQ(asked.filters[0].pattern, "*.bmp");
  EXPECT_EQ(asked.filters[1].description, "PNG pictures (*.png)");
  EXPECT_EQ(asked.firstFilter, 0);
  EXPECT_TRUE(hp.messages.empty());

  // The dialog asked about b.bmp; the b.png that would really be written is
  // asked about here, and No leaves it alone.
  const std::vector<uint8_t> old = ReadBytes(dir.File("b.png"));
  WriteBytes(dir.File("b.png"), {1, 2, 3});
  hp.fileNames = {dir.File("b.bmp")};
  hp.chosenFilters = {1};
  hp.answers = {Answer::No};
  OnCommand(e, kCmdExportBitmap);
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_EQ(hp.messages[0].text, dir.File("b.png") + " already exists.\nDo you want to replace it?");
  EXPECT_EQ(ReadBytes(dir.File("b.png")), (std::vector<uint8_t>{1, 2, 3}));
  hp.fileNames = {dir.File("b.bmp")};
  hp.chosenFilters = {1};
  hp.answers = {Answer::Yes};
  OnCommand(e, kCmdExportBitmap);
  EXPECT_EQ(ReadBytes(dir.File("b.png")), old);
}

TEST(PictureMenu, ExportKeepsAltFXForExit) {
  const auto& file = MainMenu()[0].children;
  auto it = std::find_if(file.begin(), file.end(), [](const auto& m) { return m.label == "Ex&port"; });
  ASSERT_NE(it, file.end());
  EXPECT_EQ(it->children[0].id, kCmdExportBitmap);
  EXPECT_TRUE(CommandAvailable(kCmdImportSingle));
  EXPECT_TRUE(CommandAvailable(kCmdExportBitmap));
}

}  // namespace
}  // namespace qshe::testing
