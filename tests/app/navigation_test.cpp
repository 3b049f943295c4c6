// The wheel, the middle button and the Home, End, Page Up and Page Down
// keys, driven through the main window's events on the scripted desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "app/command_table.h"
#include "app/main_window.h"
#include "app/navigation.h"
#include "app/view_commands.h"
#include "editing/tools.h"
#include "editor_fixture.h"

using namespace qshe;
using qshe::testing::EditorFixture;

namespace {

// Window points over the canvas, the shape slider and the colour grid.
constexpr int kCanvasX = 300, kCanvasY = 120;
constexpr int kSliderX = 90, kSliderY = 230;
constexpr int kGridX = 520, kGridY = 60;

int KeyId(const std::string& key) {
  for (const auto& a : MainAccelerators())
    if (a.key == key) return a.id;
  return 0;
}

struct NavigationTest : EditorFixture {
  void SetUp() override { ASSERT_TRUE(Start()); }

  void ZoomTo(int zoom) {
    while (e.view.zoom > zoom) OnCommand(e, kCmdZoomOut);
    while (e.view.zoom < zoom) OnCommand(e, kCmdZoomIn);
  }
  void Wheel(int x, int y, int down, bool shift = false, bool ctrl = false, int across = 0) {
    OnWheel(e, x, y, across, down, shift, ctrl);
  }
  void Paint(int x, int y) { Click(x, y); }
};

// ----- wheel over the canvas --------------------------------------------------

TEST_F(NavigationTest, WheelScrollsTheMagnifiedViewAsTheScrollBarDoes) {
  ZoomTo(4);
  const ScrollBar& v = e.verticalBar;
  ASSERT_EQ(v.position, 0);
  Wheel(kCanvasX, kCanvasY, -kWheelNotch);  // towards the user: further down
  EXPECT_EQ(v.position, kArrowClicksPerNotch * v.step);
  EXPECT_DOUBLE_EQ(e.view.originY, -OriginForThumb(v.position, v.range, 4));
  EXPECT_EQ(e.view.originX, 0.0);
  Wheel(kCanvasX, kCanvasY, kWheelNotch);
  EXPECT_EQ(v.position, 0);
  // Held at the end, as the bar is.
  Wheel(kCanvasX, kCanvasY, 5 * kWheelNotch);
  EXPECT_EQ(v.position, 0);
  EXPECT_EQ(e.view.originY, 0.0);
  Wheel(kCanvasX, kCanvasY, -1000 * kWheelNotch);
  EXPECT_EQ(v.position, v.range);
  EXPECT_DOUBLE_EQ(e.view.originY, -(256 - 256 / 4));
}

TEST_F(NavigationTest, ShiftOrASidewaysWheelScrollsAcross) {
  ZoomTo(2);
  Wheel(kCanvasX, kCanvasY, -kWheelNotch, true);
  const int step = kArrowClicksPerNotch * e.horizontalBar.step;
  EXPECT_EQ(e.horizontalBar.position, step);
  EXPECT_EQ(e.verticalBar.position, 0);
  EXPECT_GT(e.view.originX, 0.0);
  // A sideways turn to the left brings it back.
  Wheel(kCanvasX, kCanvasY, 0, false, false, kWheelNotch);
  EXPECT_EQ(e.horizontalBar.position, 0);
  // Over the scroll bars themselves the wheel works too.
  Wheel(445, 100, -kWheelNotch);
  EXPECT_EQ(e.verticalBar.position, step);
}

TEST_F(NavigationTest, TouchpadTurnsMakeWholeStepsOnly) {
  ZoomTo(2);
  for (int i = 0; i < 9; ++i) Wheel(kCanvasX, kCanvasY, -12);
  EXPECT_EQ(e.verticalBar.position, 0);
  Wheel(kCanvasX, kCanvasY, -12);
  const int one = kArrowClicksPerNotch * e.verticalBar.step;
  EXPECT_EQ(e.verticalBar.position, one);
  for (int i = 0; i < 20; ++i) Wheel(kCanvasX, kCanvasY, -12);
  EXPECT_EQ(e.verticalBar.position, 3 * one);
}

TEST_F(NavigationTest, WheelDoesNothingUnmagnified) {
  Wheel(kCanvasX, kCanvasY, -3 * kWheelNotch);
  Wheel(kCanvasX, kCanvasY, -3 * kWheelNotch, true);
  EXPECT_EQ(e.view.originX, 0.0);
  EXPECT_EQ(e.view.originY, 0.0);
  EXPECT_EQ(e.verticalBar.position, 0);
}

TEST_F(NavigationTest, CtrlWheelZoomsKeepingThePixelUnderTheMouse) {
  const auto before = CanvasPixelAt(e.view, kCanvasX, kCanvasY);
  ASSERT_TRUE(before);
  for (int zoom : {2, 4, 8, 16}) {
    Wheel(kCanvasX, kCanvasY, kWheelNotch, false, true);
    EXPECT_EQ(e.view.zoom, zoom);
    auto now = CanvasPixelAt(e.view, kCanvasX, kCanvasY);
    ASSERT_TRUE(now);
    EXPECT_EQ(now->x, before->x) << zoom;
    EXPECT_EQ(now->y, before->y) << zoom;
    // The thumbs show the new origin.
    EXPECT_EQ(e.horizontalBar.position, ThumbForOrigin(e.view.originX, e.horizontalBar.range, zoom));
    EXPECT_EQ(e.verticalBar.position, ThumbForOrigin(-e.view.originY, e.verticalBar.range, zoom));
    EXPECT_TRUE(e.horizontalBar.enabled);
  }
  Wheel(kCanvasX, kCanvasY, kWheelNotch, false, true);
  EXPECT_EQ(e.view.zoom, 16);
  Wheel(kCanvasX, kCanvasY, -kWheelNotch, false, true);
  EXPECT_EQ(e.view.zoom, 8);
  EXPECT_EQ(CanvasPixelAt(e.view, kCanvasX, kCanvasY)->x, before->x);
  Wheel(kCanvasX, kCanvasY, -3 * kWheelNotch, false, true);
  EXPECT_EQ(e.view.zoom, 0);
  EXPECT_EQ(e.view.originX, 0.0);
  EXPECT_FALSE(e.horizontalBar.enabled);
}

TEST_F(NavigationTest, CtrlWheelWaitsWhileAStrokeIsUnderWay) {
  OnMouseDown(e, kCanvasX, kCanvasY, 1, false);
  Wheel(kCanvasX, kCanvasY, kWheelNotch, false, true);
  EXPECT_EQ(e.view.zoom, 0);
  OnMouseUp(e, kCanvasX, kCanvasY, 1);
  Wheel(kCanvasX, kCanvasY, kWheelNotch, false, true);
  EXPECT_EQ(e.view.zoom, 2);
}

// ----- wheel elsewhere -----------------------------------------------------------

TEST_F(NavigationTest, WheelOverTheSliderGoesToTheNextOrPreviousShape) {
  ASSERT_EQ(e.doc.list.count, 20);
  Wheel(kSliderX, kSliderY, -kWheelNotch);
  EXPECT_EQ(e.doc.list.current, 1);
  Wheel(kSliderX, kSliderY, -2 * kWheelNotch);
  EXPECT_EQ(e.doc.list.current, 3);
  Wheel(kSliderX, kSliderY, kWheelNotch);
  EXPECT_EQ(e.doc.list.current, 2);
  // The ends hold: no jump round to the other end.
  Wheel(kSliderX, kSliderY, 10 * kWheelNotch);
  EXPECT_EQ(e.doc.list.current, 0);
  Wheel(kSliderX, kSliderY, -100 * kWheelNotch);
  EXPECT_EQ(e.doc.list.current, 19);
}

TEST_F(NavigationTest, WheelOverTheSliderCommitsThePaintingFirst) {
  Paint(184 + 3, 8 + 2);
  Wheel(kSliderX, kSliderY, -kWheelNotch);
  ASSERT_EQ(e.doc.list.current, 1);
  const Shape& first = e.doc.list.slots[0];
  ASSERT_GE(first.width, 4);
  EXPECT_EQ(first.pixels[static_cast<size_t>((first.height - 1 - 2) * first.width + 3)], e.colors.foreColor);
}

TEST_F(NavigationTest, WheelOverTheColourGridOrToolbarDoesNothing) {
  ZoomTo(2);
  for (auto [x, y] : {std::pair{kGridX, kGridY}, std::pair{60, 140}}) {
    Wheel(x, y, -kWheelNotch);
    Wheel(x, y, kWheelNotch, false, true);
  }
  EXPECT_EQ(e.view.zoom, 2);
  EXPECT_EQ(e.verticalBar.position, 0);
  EXPECT_EQ(e.doc.list.current, 0);
  EXPECT_EQ(e.colors.foreColor, 34);
}

// ----- middle button -------------------------------------------------------------

TEST_F(NavigationTest, MiddleDragPansLikeTheHandAndKeepsTheTool) {
  ZoomTo(4);
  e.view.originX = 40;
  e.view.originY = -40;
  const auto painted = e.doc.state.modified;
  const size_t steps = e.history.steps.size();
  OnMouseDown(e, kCanvasX, kCanvasY, kMiddleButton, false);
  EXPECT_EQ(hp.cursor(), platform::Cursor::Hand);
  OnMouseMove(e, kCanvasX + 40, kCanvasY + 20, false);
  OnMouseUp(e, kCanvasX + 40, kCanvasY + 20, kMiddleButton);
  EXPECT_DOUBLE_EQ(e.view.originX, 40 - 40 / 4.0);
  EXPECT_DOUBLE_EQ(e.view.originY, -40 + 20 / 4.0);
  EXPECT_EQ(e.tools.currentTool, kPencil);
  EXPECT_EQ(hp.cursor(), platform::Cursor::Pencil);
  // Not a pixel painted, nothing to undo.
  EXPECT_EQ(e.window.canvasChanged, 0);
  EXPECT_EQ(e.doc.state.modified, painted);
  EXPECT_EQ(e.history.steps.size(), steps);
}

TEST_F(NavigationTest, OtherButtonsWaitWhileTheMiddleButtonPans) {
  ZoomTo(2);
  OnMouseDown(e, kCanvasX, kCanvasY, kMiddleButton, false);
  OnMouseDown(e, kCanvasX, kCanvasY, 1, false);
  OnMouseMove(e, kCanvasX + 10, kCanvasY, false);
  OnMouseUp(e, kCanvasX + 10, kCanvasY, 1);
  OnMouseUp(e, kCanvasX + 10, kCanvasY, kMiddleButton);
  EXPECT_EQ(e.window.canvasChanged, 0);
  EXPECT_TRUE(e.history.steps.empty());
  // The drag moved the view, by the hand's rule.
  EXPECT_DOUBLE_EQ(e.view.originX, -10 / 2.0);
}

TEST_F(NavigationTest, MiddleButtonOutsideTheCanvasOrUnmagnifiedDoesNothing) {
  OnMouseDown(e, kCanvasX, kCanvasY, kMiddleButton, false);
  OnMouseMove(e, kCanvasX + 30, kCanvasY + 30, false);
  OnMouseUp(e, kCanvasX + 30, kCanvasY + 30, kMiddleButton);
  EXPECT_EQ(e.view.originX, 0.0);
  EXPECT_FALSE(e.navigation.panning);
  ZoomTo(2);
  OnMouseDown(e, kGridX, kGridY, kMiddleButton, false);
  EXPECT_FALSE(e.navigation.panning);
  OnMouseUp(e, kGridX, kGridY, kMiddleButton);
  EXPECT_EQ(e.colors.foreColor, 34);
}

TEST_F(NavigationTest, MiddleButtonDuringAStrokeLeavesTheStrokeAlone) {
  OnMouseDown(e, kCanvasX, kCanvasY, 1, false);
  OnMouseDown(e, kCanvasX, kCanvasY, kMiddleButton, false);
  EXPECT_FALSE(e.navigation.panning);
  OnMouseUp(e, kCanvasX, kCanvasY, kMiddleButton);
  OnMouseMove(e, kCanvasX + 5, kCanvasY, false);
  OnMouseUp(e, kCanvasX + 5, kCanvasY, 1);
  EXPECT_EQ(e.history.steps.size(), 1u);
}

// ----- keys ------------------------------------------------------------------------

TEST_F(NavigationTest, HomeEndAndPageKeysMoveThroughTheShapes) {
  ASSERT_NE(KeyId("Home"), 0);
  OnCommand(e, KeyId("End"));
  EXPECT_EQ(e.doc.list.current, 19);
  OnCommand(e, KeyId("Home"));
  EXPECT_EQ(e.doc.list.current, 0);
  OnCommand(e, KeyId("PgDown"));
  EXPECT_EQ(e.doc.list.current, 8);
  OnCommand(e, KeyId("PgUp"));
  EXPECT_EQ(e.doc.list.current, 0);
  // As "," does: back 8 from 0 wraps round.
  OnCommand(e, KeyId("PgUp"));
  EXPECT_EQ(e.doc.list.current, 12);
  OnCommand(e, kCmdFirstShape);
  EXPECT_EQ(e.doc.list.current, 0);
  OnCommand(e, kCmdLastShape);
  EXPECT_EQ(e.doc.list.current, 19);
}

TEST_F(NavigationTest, EndCommitsTheCanvasFirst) {
  Paint(184 + 1, 8 + 1);
  OnCommand(e, KeyId("End"));
  const Shape& first = e.doc.list.slots[0];
  ASSERT_GE(first.width, 2);
  EXPECT_EQ(first.pixels[static_cast<size_t>((first.height - 2) * first.width + 1)], e.colors.foreColor);
  // And the shape shown is the last one's (empty) picture.
  EXPECT_EQ(e.canvas.pixels[static_cast<size_t>(254 * 256 + 1)], 0);
}

TEST_F(NavigationTest, TheNewKeysAreInTheMoveMenu) {
  const auto& menu = MainMenu();
  const auto move = std::find_if(menu.begin(), menu.end(), [](const auto& m) { return m.label == "&Move"; });
  ASSERT_NE(move, menu.end());
  std::string keys;
  for (const auto& item : move->children) keys += item.keys + "|";
  for (const char* k : {"Home", "End", "PgUp", "PgDown"}) EXPECT_NE(keys.find(k), std::string::npos) << k;
  for (int id : {kCmdFirstShape, kCmdLastShape}) EXPECT_TRUE(hp.menuEnabled.at(id));
}

}  // namespace
