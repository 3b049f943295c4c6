// The positioning windows and Positioning Settings in the running editor on
// the scripted desktop: opened from the menu, dragged with the mouse, kept
// up to date by the other commands, and saved.
#include <gtest/gtest.h>

#include <tuple>

#include "app/command_table.h"
#include "app/main_window.h"
#include "document/document_commands.h"
#include "document/object_file.h"
#include "document/shape_file.h"
#include "editor_fixture.h"
#include "properties/positioning.h"
#include "properties/properties_window.h"

using namespace qshe;
using qshe::testing::EditorFixture;

namespace {

struct PositioningTest : EditorFixture {
  platform::HeadlessDialogs& dlg = hp.dialogs;

  void SetUp() override { ASSERT_TRUE(Start()); }
  Shape& S(int i) { return e.doc.list.slots[static_cast<size_t>(i)]; }
  // Shape i as a solid w x h block, loaded when it is the current one.
  void Give(int i, int w, int h, uint8_t colour) {
    AllocateShape(S(i), w, h);
    std::fill(S(i).pixels.get(), S(i).pixels.get() + w * h, colour);
    if (i == e.doc.list.current) ShowShape(e.doc, e.canvas, i, false, 0);
  }
  platform::HeadlessSurface& Preview(int dialog) {
    return *dlg.Find(dialog)->controls.at(kPreviewSurface).surface;
  }
  // The colour shown at (x, y) of a preview.
  platform::Rgb At(int dialog, int x, int y) { return Preview(dialog).Pixel(x, y); }
  void Drag(int dialog, std::pair<int, int> from, std::pair<int, int> to) {
    dlg.Press(dialog, kPreviewSurface, from.first, from.second);
    dlg.Drag(dialog, kPreviewSurface, to.first, to.second);
    dlg.Release(dialog, kPreviewSurface, to.first, to.second);
  }
  std::string Property(int control) { return dlg.Item(kPropertiesDialog, control).text; }
};

}  // namespace

TEST_F(PositioningTest, DraggingMovesTheShapeAndTheFigureTheBoxesFollowAndTheFileKeepsThem) {
  Give(0, 20, 10, 34);
  OnCommand(e, kCmdShapeProperties);
  OnCommand(e, kCmdShapePosition);
  OnCommand(e, kCmdTavrelPosition);
  ASSERT_TRUE(dlg.DialogVisible(kShapePositionDialog) && dlg.DialogVisible(kTavrelPositionDialog));
  EXPECT_EQ(dlg.Find(kShapePositionDialog)->title, "Shape position");
  // The shape's top-left pixel at (66, 66), on the floor tile's background.
  EXPECT_EQ(At(kShapePositionDialog, 66, 66), PaletteColor(34));
  EXPECT_EQ(At(kShapePositionDialog, 65, 66), PaletteColor(95));
  EXPECT_EQ(e.doc.state.modified, kUnmodified);

  Drag(kShapePositionDialog, {70, 70}, {80, 65});
  EXPECT_EQ(std::tuple(S(0).offsetX, S(0).offsetY), std::tuple(10, -5));
  EXPECT_EQ(std::tuple(Property(kPropOffsetX), Property(kPropOffsetY)), std::tuple("10", "-5"));
  EXPECT_EQ(At(kShapePositionDialog, 76, 61), PaletteColor(34));
  EXPECT_EQ(At(kTavrelPositionDialog, 76, 61), PaletteColor(34));  // the other window follows too
  // A drag is an unsaved change: leaving would ask about it.
  EXPECT_EQ(e.doc.state.modified, kModified);

  // The figure: a document without object properties gets them.
  ASSERT_EQ(e.doc.state.qbjFlag, 0);
  Drag(kTavrelPositionDialog, {100, 100}, {103, 300});
  EXPECT_EQ(std::tuple(S(0).tavrelX, S(0).tavrelY), std::tuple(3, 127));
  EXPECT_TRUE(dlg.Item(kPropertiesDialog, kPropQbjFlag).checked);
  EXPECT_EQ(Property(kPropTavrelY), "127");

  const std::string path = dir.File("placed.qsh");
  hp.fileNames.push_back(path);
  OnCommand(e, kCmdSaveAs);
  ASSERT_EQ(e.doc.state.modified, kUnmodified) << ::testing::PrintToString(hp.messageTexts());
  std::vector<Shape> back(20);
  ASSERT_EQ(LoadShapeFile(path, back).status, LoadStatus::Ok);
  LoadObjectFile(ObjectFileName(path), back);
  EXPECT_EQ(std::tuple(back[0].offsetX, back[0].offsetY, back[0].tavrelX, back[0].tavrelY),
            std::tuple(10, -5, 3, 127));
}

TEST_F(PositioningTest, ThePreviewsFollowMovesActivationBackgroundsAndLeaveTheMainPaletteAlone) {
  Give(0, 5, 5, 34);
  Give(1, 5, 5, 40);
  const auto logical = e.display.logicalPalette;
  OnCommand(e, kCmdShapePosition);
  EXPECT_EQ(e.display.logicalPalette, logical);
  EXPECT_EQ(e.display.surface, &e.desktop.surface);
  EXPECT_EQ(e.display.palette, e.window.palette);
  EXPECT_EQ(At(kShapePositionDialog, 66, 66), PaletteColor(34));

  OnCommand(e, kCmdNextShape);
  EXPECT_EQ(At(kShapePositionDialog, 66, 66), PaletteColor(40));
  OnCommand(e, kCmdChangeBackground);  // the checkerboard
  EXPECT_EQ(std::tuple(At(kShapePositionDialog, 0, 0), At(kShapePositionDialog, 8, 0)),
            std::tuple(PaletteColor(173), PaletteColor(89)));

  // Painting not yet committed shows as soon as the window is activated.
  e.canvas.At(0, 255) = 77;
  e.window.canvasChanged = 1;
  dlg.Activate(kShapePositionDialog);
  EXPECT_EQ(At(kShapePositionDialog, 66, 66), PaletteColor(77));
  // Without an activation the commit timer shows it.
  e.canvas.At(1, 255) = 78;
  OnTimer(e, kCommitTimer);
  EXPECT_EQ(At(kShapePositionDialog, 67, 66), PaletteColor(78));
  dlg.Close(kShapePositionDialog);
  EXPECT_FALSE(dlg.DialogVisible(kShapePositionDialog));
  OnCommand(e, kCmdShapePosition);
  EXPECT_TRUE(dlg.DialogVisible(kShapePositionDialog));
}

TEST_F(PositioningTest, SettingsLoadABackdropKeepItWhenAFileFailsAndAnEmptyPathTakesItAway) {
  std::vector<Shape> two(2);
  AllocateShape(two[1], 3, 3);
  std::fill(two[1].pixels.get(), two[1].pixels.get() + 9, uint8_t{60});
  two[1].offsetX = 100;
  qshe::testing::WriteBytes(dir.File("backdrop.qsh"), EncodeShapeFile(two, ShapeFileFormat::Qsh));
  OnCommand(e, kCmdShapePosition);
  OnCommand(e, kCmdTavrelPosition);
  OnCommand(e, kCmdPositionSettings);
  ASSERT_TRUE(dlg.DialogVisible(kPositionSettingsDialog));

  hp.fileNames.push_back(dir.File("backdrop.qsh"));
  dlg.Click(kPositionSettingsDialog, kBackdropBrowse);
  EXPECT_EQ(dlg.Item(kPositionSettingsDialog, kBackdropFile).text, dir.File("backdrop.qsh"));
  EXPECT_EQ(hp.openDialogs.back().filters.front().pattern, "*.qsh;*.qs2");
  dlg.Type(kPositionSettingsDialog, kBackdropNumber, "1");
  dlg.Click(kPositionSettingsDialog, kBackdropOk);
  EXPECT_FALSE(dlg.DialogVisible(kPositionSettingsDialog));
  for (int dialog : {kShapePositionDialog, kTavrelPositionDialog}) EXPECT_EQ(At(dialog, 166, 66), PaletteColor(60));

  // A shape the file does not have: the message, the backdrop as it was,
  // and the dialog still open to put the number right.
  OnCommand(e, kCmdPositionSettings);
  dlg.Type(kPositionSettingsDialog, kBackdropNumber, "2");
  dlg.Click(kPositionSettingsDialog, kBackdropOk);
  EXPECT_EQ(hp.messageTexts().back(), "There is no shape number 2 in this shape file.");
  EXPECT_TRUE(dlg.DialogVisible(kPositionSettingsDialog));
  EXPECT_EQ(e.backdropShape.offsetX, 100);
  EXPECT_EQ(At(kShapePositionDialog, 166, 66), PaletteColor(60));

  dlg.Type(kPositionSettingsDialog, kBackdropFile, "");
  dlg.Click(kPositionSettingsDialog, kBackdropOk);
  EXPECT_FALSE(e.backdropShape.HasPixels());
  for (int dialog : {kShapePositionDialog, kTavrelPositionDialog}) EXPECT_NE(At(dialog, 166, 66), PaletteColor(60));
}
