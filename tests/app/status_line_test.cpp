// What the status bar says: the pixel and colour under the mouse, zoom,
// shape, size, unsaved changes, and the last long operation's line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/dropped_files.h"
#include "app/main_window.h"
#include "app/status_line.h"
#include "editor_fixture.h"

using namespace qshe;
using qshe::testing::EditorFixture;

namespace {

TEST(StatusTexts, ZoomAndGroupedNumbers) {
  EXPECT_EQ(ZoomText(0), "1:1");
  EXPECT_EQ(ZoomText(2), "x2");
  EXPECT_EQ(ZoomText(16), "x16");
  EXPECT_EQ(GroupedNumber(0), "0");
  EXPECT_EQ(GroupedNumber(999), "999");
  EXPECT_EQ(GroupedNumber(1000), "1,000");
  EXPECT_EQ(GroupedNumber(1204), "1,204");
  EXPECT_EQ(GroupedNumber(1234567), "1,234,567");
  EXPECT_EQ(GroupedNumber(-45000), "-45,000");
  EXPECT_EQ(GroupedNumber(INT64_MIN), "-9,223,372,036,854,775,808");
  EXPECT_EQ(SavedDocumentText(1204, "/home/ann/art/sprites.qs2"), "Saved 1,204 shapes to sprites.qs2");
  EXPECT_EQ(SavedDocumentText(1, "one.qsh"), "Saved 1 shape to one.qsh");
  EXPECT_EQ(ImportedPicturesText(40), "Imported 40 pictures");
  EXPECT_EQ(ImportedPicturesText(1), "Imported 1 picture");
}

TEST(StatusTexts, ColourNamesIndexAndPaletteEntry) {
  GamePalette palette{};
  palette[3 * 123] = 200;
  palette[3 * 123 + 1] = 10;
  palette[3 * 123 + 2] = 7;
  EXPECT_EQ(ColorText(palette, 123), "index 123  (200, 10, 7)");
  EXPECT_EQ(ColorText(palette, 0), "index 0  (transparent)");
}

struct StatusTest : EditorFixture {
  std::vector<StatusText> shown;
  void SetUp() override {
    e.status.show = [this](const StatusText& t) { shown.push_back(t); };
    ASSERT_TRUE(Start());
  }
  const StatusText& Now() const { return e.status.shown; }
};

TEST_F(StatusTest, ShowsThePixelAndColourUnderTheMouse) {
  e.colors.foreColor = 123;
  Click(184 + 5, 8 + 7);  // paints top row 7, column 5
  OnMouseMove(e, 184 + 5, 8 + 7, false);
  EXPECT_EQ(Now().position, "5, 7");
  const auto& p = e.window.gamePalette;
  EXPECT_EQ(Now().color, "index 123  (" + std::to_string(p[369]) + ", " + std::to_string(p[370]) + ", " +
                             std::to_string(p[371]) + ")");
  OnMouseMove(e, 184 + 6, 8 + 7, false);
  EXPECT_EQ(Now().position, "6, 7");
  EXPECT_EQ(Now().color, "index 0  (transparent)");
  // Off the canvas both are blank; so after the pointer leaves.
  OnMouseMove(e, 100, 100, false);
  EXPECT_EQ(Now().position, "");
  EXPECT_EQ(Now().color, "");
  OnMouseMove(e, 184 + 5, 8 + 7, false);
  OnMouseLeave(e);
  EXPECT_EQ(Now().position, "");
}

TEST_F(StatusTest, CountsMagnifiedPixelsFromTheShapesCorner) {
  for (int i = 0; i < 3; ++i) OnCommand(e, kCmdZoomIn);
  e.view.originX = 20;
  e.view.originY = -30;
  OnMouseMove(e, 184 + 8 * 2 + 3, 8 + 8 * 5, false);
  EXPECT_EQ(Now().position, "22, 35");
  EXPECT_EQ(Now().zoom, "x8");
}

TEST_F(StatusTest, ShowsZoomShapeSizeAndModified) {
  EXPECT_EQ(Now().zoom, "1:1");
  EXPECT_EQ(Now().shape, "Shape 0 of 20");
  EXPECT_EQ(Now().size, "0 x 0");
  EXPECT_EQ(Now().modified, "");
  OnCommand(e, kCmdZoomIn);
  EXPECT_EQ(Now().zoom, "x2");
  OnCommand(e, kCmdZoomOut);
  Click(184 + 9, 8 + 4);
  EXPECT_EQ(Now().modified, "Modified");
  OnCommand(e, kCmdNextShape);
  EXPECT_EQ(Now().shape, "Shape 1 of 20");
  OnCommand(e, kCmdPreviousShape);
  EXPECT_EQ(Now().size, "10 x 5");
  // Saved: nothing unsaved, and the line says what was written.
  hp.fileNames.push_back(dir.File("saved.qsh"));
  OnCommand(e, kCmdSaveAs);
  EXPECT_EQ(Now().modified, "");
  EXPECT_EQ(Now().message, "Saved 20 shapes to saved.qsh");
}

TEST_F(StatusTest, TheWindowIsToldOnlyWhatChanged) {
  for (int i = 0; i < 4; ++i) OnCommand(e, kCmdZoomIn);
  OnMouseMove(e, 184 + 32, 8 + 32, false);
  const size_t calls = shown.size();
  // Within one magnified pixel nothing changes.
  for (int d = 1; d < 16; ++d) OnMouseMove(e, 184 + 32 + d, 8 + 32, false);
  EXPECT_EQ(shown.size(), calls);
  OnMouseMove(e, 184 + 48, 8 + 32, false);
  EXPECT_EQ(shown.size(), calls + 1);
}

TEST_F(StatusTest, MessagesAndToolLinesKeepOneLine) {
  ShowStatusMessage(e, "Imported 40 pictures\nand more");
  EXPECT_EQ(Now().message, "Imported 40 pictures");
  SetToolFormText(e, "Rectangle 10 x 4");
  EXPECT_EQ(Now().toolForm, "Rectangle 10 x 4");
  EXPECT_EQ(shown.back().toolForm, "Rectangle 10 x 4");
  // Taken away, the line names the tool and its form again.
  SetToolFormText(e, "");
  EXPECT_EQ(Now().toolForm, "Pencil");
  OnCommand(e, kCmdRectangle);
  OnCommand(e, kCmdRectangle);
  EXPECT_EQ(Now().toolForm, "Rectangle (filled)");
  EXPECT_EQ(Now().message, "Imported 40 pictures");
}

TEST_F(StatusTest, AMultiplePictureImportSaysHowManyCameIn) {
  const std::filesystem::path data = std::filesystem::path(QSHE_TESTS_DIR) / "app" / "data";
  std::filesystem::create_directories(dir.File("in"));
  for (int i = 0; i < 3; ++i)
    std::filesystem::copy_file(data / "im_pic24.bmp", dir.File("in/p" + std::to_string(i) + ".bmp"));
  ImportDroppedPictures(e, {dir.File("in/p0.bmp"), dir.File("in/p1.bmp"), dir.File("in/p2.bmp")});
  EXPECT_EQ(Now().message, "Imported 3 pictures");
  EXPECT_EQ(Now().shape, "Shape 0 of 23");
}

}  // namespace
