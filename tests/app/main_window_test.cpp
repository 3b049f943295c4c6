#include <gtest/gtest.h>

#include <tuple>

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

std::vector<int> PressedButtons(const Editor& e) {
  std::vector<int> pressed;
  for (int i = 0; i < kToolButtonCount; ++i)
    if (e.toolbar.buttons[static_cast<size_t>(i)].pressed) pressed.push_back(i);
  return pressed;
}

}  // namespace

TEST_F(MainWindowTest, StartsWithANewDocumentShowingTheScreenImageAndTheSliderPicksShapes) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(hp.title(), "Quorvane QSH Editor 1.04 -- [new]");
  EXPECT_EQ(e.doc.list.count, 20);
  EXPECT_EQ((hp.timers), (std::map<int, int>{{kCommitTimer, 4000}, {kScrollTimer, 80}}));
  EXPECT_EQ(hp.menus.size(), 8u);
  EXPECT_EQ(hp.cursor(), platform::Cursor::Arrow);
  // Cell 16r + c of the screen image's colour grid shows that palette entry.
  for (int index : {0, 17, 131, 244})
    EXPECT_EQ(Shown(462 + 9 * (index % 16) + 4, 8 + 7 * (index / 16) + 3), PaletteColor(index)) << index;
  // Pencil, size 1, plain background and the default colour set are pressed.
  EXPECT_EQ(PressedButtons(e), (std::vector<int>{0, 10, 13}));
  // The counter is written after the present.
  ASSERT_FALSE(hp.surface.texts.empty());
  EXPECT_EQ(hp.surface.texts.back().text, "Shape 0 / 19");

  // Pressing and dragging the slider's track picks shapes.
  e.canvas.At(0, 255) = 9;  // an edit on shape 0, committed by the pick
  OnMouseDown(e, 100, 244, 1, false);
  EXPECT_EQ(e.doc.list.current, SliderPick(100, 20));
  EXPECT_EQ(e.doc.list.slots[0].pixels[0], 9);
  // Dragging keeps picking by x, whatever the y.
  OnMouseMove(e, 165, 10, false);
  EXPECT_EQ(e.doc.list.current, 19);
  OnMouseMove(e, 400, 10, false);  // off the track: nothing changes
  EXPECT_EQ(e.doc.list.current, 19);
  OnMouseUp(e, 400, 10, 1);
  OnMouseMove(e, 30, 244, false);
  EXPECT_EQ(e.doc.list.current, 19);
  // Outside the track's rows a press does nothing.
  Click(100, 250);
  EXPECT_EQ(e.doc.list.current, 19);
  EXPECT_EQ(hp.surface.texts.back().text, "Shape 19 / 19");
  // The knob is drawn at its offset in the slider colours.
  SelectBuffer(e.display, e.window.buffers.composition);
  EXPECT_EQ(ReadPixel(e.display, 143 + 23, 244), 177);
  EXPECT_EQ(ReadPixel(e.display, 143 + 21, 244), 175);
}

TEST_F(MainWindowTest, StartsWithoutSupportFilesShowingNothingButNotFailing) {
  ASSERT_TRUE(Start({}, false));
  EXPECT_EQ(e.doc.list.count, 20);
  for (const Shape& s : e.helperShapes) EXPECT_FALSE(s.HasPixels());
  EXPECT_EQ(Shown(300, 100), (platform::Rgb{0, 0, 0}));
  // Presses on the toolbar places find no button and run nothing.
  Click(150, 255);
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

TEST_F(MainWindowTest, AButtonActsOnlyWhenReleasedOnItAndGroupsAreRadio) {
  ASSERT_TRUE(Start());
  // Next Shape and Zoom In, each dragged off before the release, then clicked.
  auto [x, y] = ButtonCentre(19);
  OnMouseDown(e, x, y, 1, false);
  EXPECT_EQ(e.toolbar.pressedButton, 19);
  OnMouseMove(e, x + 40, y, false);
  OnMouseUp(e, x + 40, y, 1);
  auto [zx, zy] = ButtonCentre(8);
  OnMouseDown(e, zx, zy, 1, false);
  OnMouseMove(e, zx, zy + 60, false);
  OnMouseUp(e, zx, zy + 60, 1);
  EXPECT_EQ(e.doc.list.current, 0);
  EXPECT_EQ(e.view.zoom, 0);
  EXPECT_EQ(e.toolbar.pressedButton, -1);
  ClickButton(19);
  ClickButton(8);
  ClickButton(8, 2);  // the right button presses buttons too
  EXPECT_EQ(e.doc.list.current, 1);
  EXPECT_EQ(e.view.zoom, 4);
  EXPECT_FALSE(hp.mouseCaptured);
  // Backward 8 from shape 1 of 20 wraps to 13.
  ClickButton(22);
  EXPECT_EQ(e.doc.list.current, 13);
  // Tools and sizes are radio groups; the Second View button keeps its state.
  e.toolbar.buttons[7].pressed = 1;
  ClickButton(2);  // hand
  EXPECT_EQ(e.tools.currentTool, kHand);
  ClickButton(15);  // brush size 2: the hand gives way to the pencil
  EXPECT_EQ(e.tools.currentTool, kPencil);
  EXPECT_EQ(e.tools.pencilSize, 2);
  ClickButton(11);  // checkerboard
  EXPECT_EQ(PressedButtons(e), (std::vector<int>{0, 7, 11, 15}));
}

TEST_F(MainWindowTest, ScrollBarArrowsRepeatFromTheFifthTickTrackJumpsAndThumbDrags) {
  ASSERT_TRUE(Start());
  ScrollBar& bar = e.verticalBar;
  EXPECT_EQ(bar.range, 256 - e.helperShapes[50].height - e.helperShapes[52].height - e.helperShapes[54].height + 1);
  int scrolled = 0;
  bar.onScroll = [&] { ++scrolled; };
  // The second arrow moves one step at once, then nothing for four ticks,
  // then a step on every tick until the release.
  OnMouseDown(e, bar.x + 5, bar.y + bar.height - 2, 1, false);
  EXPECT_EQ(bar.pressedPart, kSecondArrow);
  std::vector<int> positions{bar.position};
  for (int tick = 1; tick <= 6; ++tick) {
    OnTimer(e, kScrollTimer);
    positions.push_back(bar.position);
  }
  OnMouseUp(e, bar.x + 5, bar.y + bar.height - 2, 1);
  OnTimer(e, kScrollTimer);
  EXPECT_EQ(positions, (std::vector<int>{1, 1, 1, 1, 1, 2, 3}));
  EXPECT_EQ(bar.position, 3);
  EXPECT_EQ(scrolled, 3);
  // The first arrow never goes below 0.
  bar.position = 0;
  Click(bar.x + 5, bar.y + 2);
  EXPECT_EQ(bar.position, 0);

  const int thumbMiddle = bar.y + e.helperShapes[50].height + e.helperShapes[54].height / 2;
  // A press on the thumb moves nothing; dragging it moves it by as much as
  // the mouse moved, wherever across.
  OnMouseDown(e, bar.x + 5, thumbMiddle, 1, false);
  EXPECT_EQ(bar.pressedPart, kThumb);
  EXPECT_EQ(bar.position, 0);
  OnMouseMove(e, bar.x + 5, thumbMiddle + 30, false);
  EXPECT_EQ(bar.position, 30);
  OnMouseMove(e, bar.x + 300, thumbMiddle + 25, false);
  EXPECT_EQ(bar.position, 25);
  OnMouseUp(e, bar.x + 300, 0, 1);
  // A press on the track puts the thumb's leading edge under the mouse.
  bar.position = 0;
  OnMouseDown(e, bar.x + 5, bar.y + e.helperShapes[50].height + 40, 1, false);
  EXPECT_EQ(bar.pressedPart, kTrack);
  EXPECT_EQ(bar.position, 40);
  OnMouseMove(e, bar.x + 5, bar.y + 1000, false);
  EXPECT_EQ(bar.position, bar.range);
  OnMouseUp(e, bar.x + 5, bar.y + 1000, 1);
  // The horizontal bar works across.
  ScrollBar& h = e.horizontalBar;
  Click(h.x + e.helperShapes[46].width + 20, h.y + 3);
  EXPECT_EQ(h.position, 20);
}

TEST(WindowPlacement, CentresOnLargeScreens) {
  // The rule as it stands leaves a sliver off the left edge just above 640 x 480.
  for (auto [w, h, wantX, wantY] : {std::tuple{1024, 768, 188, 133}, {640, 480, 0, 0}, {641, 481, -3, -10}}) {
    int x, y;
    WindowPlacement(w, h, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(wantX, wantY)) << w << " x " << h;
  }
}

TEST_F(MainWindowTest, KeysAndMenuEntriesReachTheSameCommandAndCloseAsksAboutUnsavedWork) {
  ASSERT_TRUE(Start());
  OnCommand(e, 40026);  // "+"
  OnCommand(e, 40090 | (1 << 16));  // "=" with the shortcut flag
  EXPECT_EQ(e.doc.list.current, 2);
  for (int i = 0; i < 3; ++i) OnCommand(e, kCmdPreviousShape);
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
  // Every entry whose work is in place is enabled; the WALL preset, which has
  // no values, is greyed and does nothing, and Undo and Redo wait for a step.
  EXPECT_TRUE(hp.menuEnabled.at(kCmdShapePosition));
  EXPECT_TRUE(hp.menuEnabled.at(kCmdCut));
  EXPECT_TRUE(hp.menuEnabled.at(kCmdSave));
  EXPECT_FALSE(hp.menuEnabled.at(kCmdPresetWall));
  for (int id : MenuCommandIds()) {
    if (id != kCmdPresetWall && id != kCmdUndo && id != kCmdRedo && id != kCmdClearRecent) {
      EXPECT_TRUE(hp.menuEnabled.at(id)) << id;
    }
  }
  OnCommand(e, kCmdHelp);
  EXPECT_EQ(hp.openedTextFiles, std::vector<std::string>{e.paths.programDir + "help.txt"});

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

TEST(CommandTable, EveryShortcutNamesAMenuEntryOrAKeyOfItsOwn) {
  for (const auto& key : MainAccelerators()) EXPECT_TRUE(MenuIdFor(key.id)) << key.key;
  for (auto [key, menu] : {std::pair{40116, kCmdUndo}, {40120, kCmdExportBitmap}, {40081, kCmdCenterView},
                           {40112, kCmdVestColors}, {40056, kCmdPanDown}, {40207, kCmdWindowLarger},
                           {40208, kCmdRedo}})
    EXPECT_EQ(MenuIdFor(key), menu) << key;
  EXPECT_FALSE(MenuIdFor(40123));
  EXPECT_FALSE(MenuIdFor(40031));
  // 65 of the editor's own, the four window scales, the three figure tools
  // with their two forms, the animation and the four onion skin entries,
  // First and Last Shape, Clear List, and Shapes, Duplicate Shape and
  // Export Selected.
  EXPECT_EQ(MenuCommandIds().size(), 85u);
  // Moves by 8 wrap around the list, and short lists wrap more than once.
  for (auto [from, count, by, to] : {std::tuple{95, 100, 8, 3}, {2, 100, -8, 94}, {1, 5, -8, 3}, {0, 3, -8, 1}})
    EXPECT_EQ(MoveTarget(from, count, by), to) << from << " of " << count;
}

// The program only names the scale; the window system's layer does the rest.
TEST_F(MainWindowTest, WindowScaleCommandsGoToTheInstalledHookOnly) {
  ASSERT_TRUE(Start());
  for (int id : {kCmdWindowScale1, kCmdWindowLarger}) OnCommand(e, id);  // no hook: nothing happens
  std::vector<std::pair<int, int>> asked;
  e.window.scaleWindow = [&asked](int scale, int step) { asked.emplace_back(scale, step); };
  for (int id : {int{kCmdWindowScale3}, int{kCmdWindowScale1}, int{kCmdWindowScale4}, 40205, 40207, 40206})
    OnCommand(e, id);
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{3, 0}, {1, 0}, {4, 0}, {0, 1}, {0, 1}, {0, -1}}));
  EXPECT_EQ(e.window.clientWidth, kClientWidth);
}
