#include <gtest/gtest.h>

#include "app/command_table.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "app/title_slider.h"
#include "document/document_commands.h"
#include "editor_fixture.h"

using namespace qshe;
using platform::Answer;
using qshe::testing::EditorFixture;
using qshe::testing::WriteBytes;

namespace {

using MainWindowTest = EditorFixture;

// Centre of toolbar button i as the editor placed it.
void ButtonCentre(const Editor& e, int i, int& x, int& y) {
  const ToolButton& b = e.toolbar.buttons[static_cast<size_t>(i)];
  const Shape& image = e.helperShapes[static_cast<size_t>(2 * i)];
  x = b.x + image.width / 2;
  y = b.y + image.height / 2;
}

}  // namespace

TEST_F(MainWindowTest, StartsWithANewDocumentShowingTheScreenImage) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(hp.title(), "Quorvane QSH Editor 1.04 -- [new]");
  EXPECT_EQ(e.doc.list.count, 20);
  EXPECT_EQ((hp.timers), (std::map<int, int>{{kCommitTimer, 4000}, {kScrollTimer, 80}}));
  EXPECT_EQ(hp.menus.size(), 8u);
  EXPECT_EQ(hp.cursor(), platform::Cursor::Arrow);
  // The colour grid of the screen image reaches the window: cell 16r + c
  // shows that palette entry (the static colours above 244 are greyed).
  for (int index : {0, 17, 95, 131, 200, 244}) {
    int c = index % 16, r = index / 16;
    EXPECT_EQ(Shown(462 + 9 * c + 4, 8 + 7 * r + 3), PaletteColor(index)) << index;
  }
  // The pencil button is drawn pressed, the eraser up.
  EXPECT_EQ(e.toolbar.buttons[0].pressed, 1);
  EXPECT_EQ(e.toolbar.buttons[1].pressed, 0);
  EXPECT_EQ(e.toolbar.buttons[10].pressed, 1);
  EXPECT_EQ(e.toolbar.buttons[13].pressed, 1);
  // The counter is written after the present.
  ASSERT_FALSE(hp.surface.texts.empty());
  EXPECT_EQ(hp.surface.texts.back().text, "Shape 0 / 19");
}

TEST_F(MainWindowTest, StartsWithoutSupportFilesShowingNothingButNotFailing) {
  ASSERT_TRUE(Start({}, false));
  EXPECT_EQ(e.doc.list.count, 20);
  for (const Shape& s : e.helperShapes) EXPECT_FALSE(s.HasPixels());
  EXPECT_EQ(Shown(300, 100), (platform::Rgb{0, 0, 0}));
  // Presses on the toolbar places find no button and run nothing.
  OnMouseDown(e, 150, 255, 1, false);
  OnMouseUp(e, 150, 255, 1);
  EXPECT_EQ(e.doc.list.current, 0);
}

TEST_F(MainWindowTest, OpensTheCommandLineFile) {
  WriteBytes(dir.File("my shapes.qsh"), {0x02, 0x00, 0x06, 0x00, 0x05, 0x00, 0x02, 0x01, 0x03, 0xFF, 0x05, 0x06,
                                          0x01, 0x01, 0x00, 0x00, 0x00});
  // The name arrives in two words, quoted, as a shell passes a name with a blank.
  std::string first = dir.File("my");
  first.insert(first.begin(), '"');
  ASSERT_TRUE(Start({first, "shapes.qsh\""}));
  EXPECT_EQ(e.doc.list.count, 2);
  EXPECT_EQ(hp.title(), "Quorvane QSH Editor 1.04 -- [" + dir.File("my shapes.qsh") + "]");
  EXPECT_EQ(e.canvas.At(1, 255), 6);
  EXPECT_EQ(hp.surface.texts.back().text, "Shape 0 / 1");
}

TEST_F(MainWindowTest, AButtonActsOnlyWhenReleasedOnIt) {
  ASSERT_TRUE(Start());
  int x, y;
  ButtonCentre(e, 19, x, y);  // Next Shape
  OnMouseDown(e, x, y, 1, false);
  EXPECT_EQ(e.toolbar.pressedButton, 19);
  OnMouseMove(e, x + 40, y, false);
  OnMouseUp(e, x + 40, y, 1);
  EXPECT_EQ(e.doc.list.current, 0);
  EXPECT_EQ(e.toolbar.pressedButton, -1);
  OnMouseDown(e, x, y, 1, false);
  OnMouseUp(e, x, y, 1);
  EXPECT_EQ(e.doc.list.current, 1);
  EXPECT_FALSE(hp.mouseCaptured);
  // Backward 8 from shape 1 of 20 wraps to 13.
  ButtonCentre(e, 22, x, y);
  OnMouseDown(e, x, y, 1, false);
  OnMouseUp(e, x, y, 1);
  EXPECT_EQ(e.doc.list.current, 13);
}

TEST_F(MainWindowTest, ZoomInRunsOnceOnlyWhenReleasedOnItsButton) {
  ASSERT_TRUE(Start());
  int x, y;
  ButtonCentre(e, 8, x, y);
  OnMouseDown(e, x, y, 1, false);
  OnMouseMove(e, x, y + 60, false);
  OnMouseUp(e, x, y + 60, 1);
  EXPECT_EQ(e.view.zoom, 0);
  OnMouseDown(e, x, y, 1, false);
  OnMouseUp(e, x, y, 1);
  EXPECT_EQ(e.view.zoom, 2);
  // The right button presses buttons too.
  OnMouseDown(e, x, y, 2, false);
  OnMouseUp(e, x, y, 2);
  EXPECT_EQ(e.view.zoom, 4);
}

TEST_F(MainWindowTest, ToolAndSizeButtonsAreRadioGroupsAndSecondViewKeepsItsState) {
  ASSERT_TRUE(Start());
  e.toolbar.buttons[7].pressed = 1;
  int x, y;
  ButtonCentre(e, 2, x, y);  // hand
  OnMouseDown(e, x, y, 1, false);
  OnMouseUp(e, x, y, 1);
  EXPECT_EQ(e.tools.currentTool, kHand);
  ButtonCentre(e, 15, x, y);  // brush size 2: the hand gives way to the pencil
  OnMouseDown(e, x, y, 1, false);
  OnMouseUp(e, x, y, 1);
  EXPECT_EQ(e.tools.currentTool, kPencil);
  EXPECT_EQ(e.tools.pencilSize, 2);
  ButtonCentre(e, 11, x, y);  // checkerboard
  OnMouseDown(e, x, y, 1, false);
  OnMouseUp(e, x, y, 1);
  EXPECT_EQ(e.view.backgroundType, 1);
  std::vector<int> pressed;
  for (int i = 0; i < kToolButtonCount; ++i) {
    if (e.toolbar.buttons[static_cast<size_t>(i)].pressed) pressed.push_back(i);
  }
  EXPECT_EQ(pressed, (std::vector<int>{0, 7, 11, 15}));
}

TEST_F(MainWindowTest, ScrollBarArrowsStepAndRepeatFromTheFifthTick) {
  ASSERT_TRUE(Start());
  ScrollBar& bar = e.verticalBar;
  const int arrow = e.helperShapes[50].height;
  const int thumb = e.helperShapes[54].height;
  EXPECT_EQ(bar.range, 256 - arrow - e.helperShapes[52].height - thumb + 1);
  int scrolled = 0;
  bar.onScroll = [&] { ++scrolled; };
  // The second arrow moves one step at once...
  OnMouseDown(e, bar.x + 5, bar.y + bar.height - 2, 1, false);
  EXPECT_EQ(bar.pressedPart, kSecondArrow);
  EXPECT_EQ(bar.position, 1);
  // ...then nothing for four ticks, then a step on every tick.
  for (int tick = 1; tick <= 4; ++tick) OnTimer(e, kScrollTimer);
  EXPECT_EQ(bar.position, 1);
  OnTimer(e, kScrollTimer);
  EXPECT_EQ(bar.position, 2);
  OnTimer(e, kScrollTimer);
  EXPECT_EQ(bar.position, 3);
  OnMouseUp(e, bar.x + 5, bar.y + bar.height - 2, 1);
  OnTimer(e, kScrollTimer);
  EXPECT_EQ(bar.position, 3);
  EXPECT_EQ(scrolled, 3);
  // The first arrow never goes below 0.
  bar.position = 0;
  OnMouseDown(e, bar.x + 5, bar.y + 2, 1, false);
  OnMouseUp(e, bar.x + 5, bar.y + 2, 1);
  EXPECT_EQ(bar.position, 0);
}

TEST_F(MainWindowTest, ScrollBarTrackJumpsAndThumbDrags) {
  ASSERT_TRUE(Start());
  ScrollBar& bar = e.verticalBar;
  const int arrow = e.helperShapes[50].height;
  const int thumb = e.helperShapes[54].height;
  bar.position = 0;
  // A press on the thumb moves nothing.
  OnMouseDown(e, bar.x + 5, bar.y + arrow + thumb / 2, 1, false);
  EXPECT_EQ(bar.pressedPart, kThumb);
  EXPECT_EQ(bar.position, 0);
  // Dragging it moves it by as much as the mouse moved.
  OnMouseMove(e, bar.x + 5, bar.y + arrow + thumb / 2 + 30, false);
  EXPECT_EQ(bar.position, 30);
  OnMouseMove(e, bar.x + 300, bar.y + arrow + thumb / 2 + 25, false);
  EXPECT_EQ(bar.position, 25);
  OnMouseUp(e, bar.x + 300, 0, 1);
  // A press on the track puts the thumb's leading edge under the mouse.
  bar.position = 0;
  OnMouseDown(e, bar.x + 5, bar.y + arrow + 40, 1, false);
  EXPECT_EQ(bar.pressedPart, kTrack);
  EXPECT_EQ(bar.position, 40);
  OnMouseMove(e, bar.x + 5, bar.y + 1000, false);
  EXPECT_EQ(bar.position, bar.range);
  OnMouseUp(e, bar.x + 5, bar.y + 1000, 1);
  // The horizontal bar works across.
  ScrollBar& h = e.horizontalBar;
  OnMouseDown(e, h.x + e.helperShapes[46].width + 20, h.y + 3, 1, false);
  EXPECT_EQ(h.position, 20);
  OnMouseUp(e, h.x, h.y, 1);
}

TEST_F(MainWindowTest, WindowPlacementCentresOnLargeScreens) {
  int x, y;
  WindowPlacement(1024, 768, x, y);
  EXPECT_EQ(x, 188);
  EXPECT_EQ(y, 133);
  WindowPlacement(640, 480, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  WindowPlacement(641, 481, x, y);
  EXPECT_EQ(x, -3);  // the rule as it stands: a sliver off the left edge
  EXPECT_EQ(y, -10);
}

TEST_F(MainWindowTest, CloseAsksAboutUnsavedWork) {
  ASSERT_TRUE(Start());
  OnCloseRequest(e);
  EXPECT_EQ(hp.quitCode, 0);
  hp.quitCode.reset();
  e.doc.state.modified = kModified;
  hp.answers = {Answer::Cancel};
  OnCloseRequest(e);
  EXPECT_FALSE(hp.quitCode);
  hp.answers = {Answer::No};
  OnCloseRequest(e);
  EXPECT_EQ(hp.quitCode, 0);
}

TEST_F(MainWindowTest, KeysAndMenuEntriesReachTheSameCommand) {
  ASSERT_TRUE(Start());
  OnCommand(e, 40026);  // "+"
  EXPECT_EQ(e.doc.list.current, 1);
  OnCommand(e, 40090 | (1 << 16));  // "=" with the shortcut flag
  EXPECT_EQ(e.doc.list.current, 2);
  OnCommand(e, kCmdPreviousShape);
  OnCommand(e, kCmdPreviousShape);
  OnCommand(e, kCmdPreviousShape);
  EXPECT_EQ(e.doc.list.current, 19);
  OnCommand(e, 40084);  // S: change pencil size
  EXPECT_EQ(e.tools.pencilSize, 1);
  for (int i = 0; i < 5; ++i) OnCommand(e, kCmdChangePencilSize);
  EXPECT_EQ(e.tools.pencilSize, 0);
  OnCommand(e, 40062);  // K: hand
  EXPECT_EQ(e.tools.currentTool, kHand);
  OnCommand(e, 39999);
  OnCommand(e, kCmdPresetWall);
  EXPECT_TRUE(hp.messages.empty());
  // Entries whose work is not in place yet are greyed.
  EXPECT_FALSE(hp.menuEnabled.at(kCmdCut));
  EXPECT_TRUE(hp.menuEnabled.at(kCmdSave));
  OnCommand(e, kCmdHelp);
  EXPECT_EQ(hp.openedTextFiles, std::vector<std::string>{e.paths.programDir + "help.txt"});
}

TEST_F(MainWindowTest, TimerCommitsOnlyAfterAnEdit) {
  ASSERT_TRUE(Start());
  e.canvas.At(0, 255) = 7;
  OnTimer(e, kCommitTimer);
  EXPECT_FALSE(e.doc.list.slots[0].HasPixels());
  e.window.canvasChanged = 1;
  OnTimer(e, kCommitTimer);
  ASSERT_TRUE(e.doc.list.slots[0].HasPixels());
  EXPECT_EQ(e.doc.list.slots[0].pixels[0], 7);
  EXPECT_EQ(e.window.canvasChanged, 0);
}

TEST(CommandTable, EveryShortcutNamesAMenuEntryOrAKeyOfItsOwn) {
  for (const auto& key : MainAccelerators()) {
    auto id = MenuIdFor(key.id);
    ASSERT_TRUE(id) << key.key;
  }
  EXPECT_EQ(MenuIdFor(40116), kCmdUndo);
  EXPECT_EQ(MenuIdFor(40120), kCmdExportBitmap);
  EXPECT_EQ(MenuIdFor(40081), kCmdCenterView);
  EXPECT_EQ(MenuIdFor(40112), kCmdVestColors);
  EXPECT_EQ(MenuIdFor(40056), kCmdPanDown);
  EXPECT_FALSE(MenuIdFor(40123));
  EXPECT_FALSE(MenuIdFor(40031));
  EXPECT_EQ(MenuCommandIds().size(), 64u);
  EXPECT_EQ(MoveTarget(95, 100, 8), 3);
  EXPECT_EQ(MoveTarget(2, 100, -8), 94);
  EXPECT_EQ(MoveTarget(1, 5, -8), 3);
  EXPECT_EQ(MoveTarget(0, 3, -8), 1);
}
