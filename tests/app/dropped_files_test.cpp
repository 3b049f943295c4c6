// Files dropped on the window: a picture through the "Import picture" window
// as Single picture takes it, several as new shapes, a shape file opened.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/command_table.h"
#include "app/dropped_files.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "interchange/picture_import.h"
#include "editor_fixture.h"

using namespace qshe;
using qshe::testing::EditorFixture;
using qshe::testing::kQsh;
using qshe::testing::WriteBytes;

namespace {

const std::filesystem::path kData = std::filesystem::path(QSHE_TESTS_DIR) / "app" / "data";

struct DropTest : EditorFixture {
  void SetUp() override { ASSERT_TRUE(Start()); }
  // Pixel of the canvas at column c, top row t.
  uint8_t CanvasAt(int c, int t) const { return e.canvas.At(c, 255 - t); }
};

TEST(DroppedNames, PicturesAreKnownByTheirEndingOrTheirFirstBytes) {
  EXPECT_TRUE(IsDroppedPicture((kData / "im_pic.png").string()));
  qshe::testing::TempDir dir;
  std::filesystem::copy_file(kData / "im_pic24.bmp", dir.File("noending"));
  EXPECT_TRUE(IsDroppedPicture(dir.File("noending")));
  EXPECT_FALSE(IsDroppedPicture(dir.File("missing.qsh")));
  EXPECT_TRUE(IsPictureFileName("/a/b.bmp"));
  EXPECT_TRUE(IsPictureFileName("/a/B.PNG"));
  EXPECT_FALSE(IsPictureFileName("/a/b.qsh"));
  EXPECT_FALSE(IsPictureFileName("/a/bmp"));
  EXPECT_FALSE(IsPictureFileName("png"));
}

TEST_F(DropTest, OnePictureGoesOntoTheCanvasAsOneStep) {
  // ImageMagick's 7 x 5 PNG: white with an orange 5 x 3 block. Nothing
  // changes before the "Import picture" window says Import.
  OnFilesDropped(e, {(kData / "im_pic.png").string()});
  ASSERT_TRUE(hp.dialogs.DialogVisible(kImportPictureDialog));
  EXPECT_TRUE(e.history.steps.empty());
  hp.dialogs.Click(kImportPictureDialog, kPictureImport);
  EXPECT_EQ(CanvasAt(0, 0), 0);  // the background made transparent, as Ctrl+I does
  EXPECT_NE(CanvasAt(1, 1), 0);
  EXPECT_NE(CanvasAt(5, 3), 0);
  EXPECT_EQ(CanvasAt(6, 3), 0);
  EXPECT_EQ(e.history.steps.size(), 1u);
  EXPECT_EQ(e.history.steps[0].name, "Import Picture");
  EXPECT_EQ(e.status.shown.message, "Imported 1 picture");
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(CanvasAt(1, 1), 0);
}

TEST_F(DropTest, SeveralPicturesBecomeNewShapesAfterTheCurrentOne) {
  OnCommand(e, kCmdNextShape);
  OnFilesDropped(e, {(kData / "im_pic.png").string(), (kData / "im_pic24.bmp").string(),
                     (kData / "im_pal.bmp").string()});
  EXPECT_EQ(e.doc.list.count, 23);
  EXPECT_EQ(e.doc.list.slots[2].width, 7);  // the PNG, in the order dropped
  EXPECT_EQ(e.doc.list.slots[3].height, 14);
  EXPECT_LE(e.doc.list.slots[1].width, 1);  // the current shape is no picture
  EXPECT_EQ(e.history.steps.size(), 1u);
  EXPECT_EQ(e.status.shown.message, "Imported 3 pictures");
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.doc.list.count, 20);
}

TEST_F(DropTest, AShapeFileOpensAndPicturesWithItAreLeftAlone) {
  WriteBytes(dir.File("a.qsh"), kQsh);
  OnFilesDropped(e, {(kData / "im_pic.png").string(), dir.File("a.qsh")});
  EXPECT_EQ(e.doc.state.documentPath, dir.File("a.qsh"));
  EXPECT_EQ(e.doc.list.count, 1);
  EXPECT_TRUE(e.history.steps.empty());
}

TEST_F(DropTest, ABrokenPictureIsRefusedAndChangesNothing) {
  WriteBytes(dir.File("bad.png"), {0x89, 'P', 'N', 'G', 1, 2, 3});
  OnFilesDropped(e, {dir.File("bad.png")});
  EXPECT_EQ(hp.messages.size(), 1u);
  EXPECT_TRUE(e.history.steps.empty());
  EXPECT_EQ(e.doc.state.modified, kUnmodified);
  OnFilesDropped(e, {dir.File("bad.png"), dir.File("bad.png")});
  EXPECT_EQ(e.doc.list.count, 20);
  EXPECT_TRUE(e.history.steps.empty());
}

}  // namespace
