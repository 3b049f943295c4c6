// The line, rectangle and ellipse tools and Shift strokes driven through the
// main window's mouse, key and command events.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "../editing/figure_reference.h"
#include "app/command_table.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "editor_fixture.h"

using namespace qshe;
using qshe::testing::EditorFixture;
using qshe::testing::Reference;

namespace {

// The shortcut identifiers of L, T and O.
constexpr int kKeyL = 40326, kKeyT = 40327, kKeyO = 40328;

struct FigureTest : EditorFixture {
  void SetUp() override { ASSERT_TRUE(Start()); }
  // Mouse events at canvas pixel (column, bottom-up row), unmagnified.
  void Press(int c, int r, int button = 1, bool shift = false) {
    OnMouseDown(e, 184 + c, 263 - r, button, false, shift);
  }
  void Move(int c, int r, bool shift = false) { OnMouseMove(e, 184 + c, 263 - r, false, shift); }
  void Release(int c, int r, int button = 1) { OnMouseUp(e, 184 + c, 263 - r, button); }
  void Drag(int c0, int r0, int c1, int r1, bool shift = false) {
    Press(c0, r0, 1, shift);
    Move((c0 + c1) / 2, (r0 + r1) / 2, shift);
    Move(c1, r1, shift);
    Release(c1, r1);
  }
  int Count(uint8_t colour) const {
    return static_cast<int>(std::count(e.canvas.pixels.begin(), e.canvas.pixels.end(), colour));
  }
  bool Shows(int c, int r, uint8_t colour) const { return Shown(184 + c, 263 - r) == PaletteColor(colour); }
  std::vector<platform::Rgb> CanvasArea() const {
    std::vector<platform::Rgb> area;
    for (int y = 8; y < 264; ++y)
      for (int x = 184; x < 440; ++x) area.push_back(Shown(x, y));
    return area;
  }
};

TEST_F(FigureTest, TheFigureFollowsTheMouseOverTheCanvasAndLandsOnReleaseAsOneStep) {
  OnCommand(e, kKeyT);
  const uint8_t fore = e.colors.foreColor;
  Press(20, 20);
  Move(60, 40);
  Move(50, 30);
  // Shown where the mouse is now, and not where it was; the canvas waits.
  EXPECT_TRUE(Shows(50, 30, fore));
  EXPECT_FALSE(Shows(60, 40, fore));
  EXPECT_EQ(Count(0), 65536);
  EXPECT_EQ(e.window.canvasChanged, 0);
  EXPECT_EQ(UndoCount(e.history), 0u);
  Release(50, 30);
  const Canvas want = Reference(Figure::Rectangle, false, 0, 20, 20, 50, 30, fore);
  EXPECT_EQ(e.canvas.pixels, want.pixels);
  EXPECT_EQ(e.window.canvasChanged, 1);
  EXPECT_EQ(e.doc.state.modified, kModified);
  EXPECT_EQ(UndoCount(e.history), 1u);
  EXPECT_EQ(UndoName(e.history), "Rectangle");
  Move(90, 90);  // after the release the mouse draws nothing
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(Count(0), 65536);
  EXPECT_EQ(RedoName(e.history), "Rectangle");
  OnCommand(e, kCmdRedo);
  EXPECT_EQ(e.canvas.pixels, want.pixels);
  OnTimer(e, kCommitTimer);  // it reaches the shape like any stroke
  EXPECT_EQ(e.doc.list.slots[0].width, 51);

  // A tool chosen mid-drag lands the figure as the release would.
  OnCommand(e, kKeyL);
  Press(10, 100, 2);
  Move(30, 100);
  OnCommand(e, kCmdPencil);
  EXPECT_EQ(e.canvas.At(20, 100), e.colors.backColor);
  EXPECT_EQ(UndoCount(e.history), 2u);
}

// Magnified, only the canvas rows in view are drawn live; what shows must
// still be exactly what lands.
TEST_F(FigureTest, TheLiveFigureShowsExactlyWhatLandsAtEveryZoomAndOrigin) {
  for (int i = 0; i < 65536; i += 7) e.canvas.pixels[static_cast<size_t>(i)] = 40;
  OnCommand(e, kKeyO);
  OnCommand(e, kKeyO);  // filled
  int changed = 0;
  for (auto [zoom, ox, oy] : {std::tuple{0, 0.0, 0.0}, {0, 30.0, -20.0}, {4, 10.0, -100.0}, {16, 120.0, -128.0},
                              {16, 250.0, -250.0}, {8, 0.0, 40.0}}) {
    e.view.zoom = zoom, e.view.originX = ox, e.view.originY = oy;
    const Canvas before = e.canvas;
    OnMouseDown(e, 200, 20, 1, false);
    OnMouseMove(e, 200 + 255 * std::max(zoom, 1) / 2, 20 + 200 * std::max(zoom, 1) / 2, false);
    const auto live = CanvasArea();
    EXPECT_EQ(e.canvas.pixels, before.pixels);
    OnMouseUp(e, 0, 0, 1);
    EXPECT_TRUE(live == CanvasArea()) << "zoom " << zoom << " origin " << ox << ", " << oy;
    changed += e.canvas.pixels != before.pixels;
    OnCommand(e, kCmdUndo);
  }
  EXPECT_GE(changed, 5);  // the last figure lies past the canvas's corner
}

TEST_F(FigureTest, EscapeTakesTheFigureAwayAndTheReleaseThenDoesNothing) {
  OnCommand(e, kKeyO);
  Press(10, 10);
  Move(80, 50);
  EXPECT_TRUE(Shows(45, 10, e.colors.foreColor));
  OnCommand(e, kCmdCancelFigure);
  EXPECT_FALSE(Shows(45, 10, e.colors.foreColor));
  Move(90, 60);
  Release(90, 60);
  EXPECT_EQ(Count(0), 65536);
  EXPECT_EQ(UndoCount(e.history), 0u);
  EXPECT_NE(e.doc.state.modified, kModified);
}

TEST_F(FigureTest, CtrlPicksAColourWithEveryFigureToolAndDrawsNothing) {
  e.canvas.At(30, 30) = 77;
  for (int key : {kKeyL, kKeyT, kKeyO}) {
    OnCommand(e, key);
    e.colors.foreColor = 12;
    OnMouseDown(e, 184 + 30, 263 - 30, 1, true);
    OnMouseMove(e, 184 + 90, 263 - 90, true);
    OnMouseUp(e, 184 + 90, 263 - 90, 1);
    EXPECT_EQ(e.colors.foreColor, 0) << key;  // picked where the drag ended
    EXPECT_EQ(Count(0), 65535) << key;
    EXPECT_EQ(UndoCount(e.history), 0u) << key;
  }
}

TEST_F(FigureTest, ShiftMakesCirclesSquaresAndLinesOf45DegreesAlsoWhenPressedMidDrag) {
  const uint8_t fore = e.colors.foreColor;
  OnCommand(e, kKeyO);
  Drag(100, 100, 130, 112, true);
  EXPECT_EQ(e.canvas.pixels, Reference(Figure::Ellipse, false, 0, 100, 100, 130, 130, fore).pixels);
  OnCommand(e, kCmdUndo);
  OnCommand(e, kKeyT);
  Drag(60, 60, 50, 30, true);  // up and to the left of the press
  EXPECT_EQ(e.canvas.pixels, Reference(Figure::Rectangle, false, 0, 60, 60, 30, 30, fore).pixels);
  OnCommand(e, kCmdUndo);
  // The line follows the Shift key at once, both ways, with the brush.
  OnCommand(e, kCmdChangePencilSize);
  OnCommand(e, kKeyL);
  Press(40, 200);
  Move(80, 190);
  OnShiftKey(e, true);
  EXPECT_TRUE(Shows(80, 200, fore) && !Shows(80, 189, fore));
  OnShiftKey(e, false);
  EXPECT_TRUE(Shows(80, 189, fore));
  OnShiftKey(e, true);
  Release(80, 190);
  EXPECT_EQ(e.canvas.pixels, Reference(Figure::Line, false, 1, 40, 200, 80, 200, fore).pixels);
}

TEST_F(FigureTest, ChoosingAFigureToolAgainSwitchesItsFormInTheTextMenuAndButton) {
  OnCommand(e, kKeyT);
  EXPECT_STREQ(ToolFormText(e.tools), "Rectangle (outlined)");
  EXPECT_EQ(e.toolbar.buttons[static_cast<size_t>(ToolButtonOf(kRectangleTool))].pressed, 1);
  const platform::Rgb outlined = Shown(52, 119);  // inside the rectangle button's picture
  OnCommand(e, kKeyT);
  EXPECT_STREQ(ToolFormText(e.tools), "Rectangle (filled)");
  EXPECT_TRUE(hp.menuChecked[kCmdFilledRectangles]);
  EXPECT_NE(Shown(52, 119), outlined);
  Drag(10, 10, 20, 16);
  EXPECT_EQ(e.canvas.pixels, Reference(Figure::Rectangle, true, 0, 10, 10, 20, 16, e.colors.foreColor).pixels);
  // Another tool and back keeps the form; the ellipse has its own.
  OnCommand(e, kCmdPencil);
  OnCommand(e, kCmdRectangle);
  OnCommand(e, kKeyO);
  EXPECT_STREQ(ToolFormText(e.tools), "Ellipse (outlined)");
  // The Filled entries switch the form and take the tool; so do the buttons.
  OnCommand(e, kCmdFilledRectangles);
  EXPECT_STREQ(ToolFormText(e.tools), "Rectangle (outlined)");
  EXPECT_FALSE(hp.menuChecked[kCmdFilledRectangles]);
  ClickButton(ToolButtonOf(kEllipseTool));
  ClickButton(ToolButtonOf(kEllipseTool));
  EXPECT_STREQ(ToolFormText(e.tools), "Ellipse (filled)");
  ClickButton(15);  // a size button keeps the figure tool: sizes are its brushes
  EXPECT_EQ(e.tools.currentTool, kEllipseTool);
  EXPECT_NE(ToolTipAt(e, ButtonCentre(ToolButtonOf(kEllipseTool)).first, 120).find("(O)"), std::string::npos);
}

TEST_F(FigureTest, ShiftClickDrawsAStraightStrokeFromTheLastOnesEnd) {
  const uint8_t fore = e.colors.foreColor, back = e.colors.backColor;
  Press(10, 10, 1, true);  // no stroke yet: a dot
  Release(10, 10);
  EXPECT_EQ(Count(fore), 1);
  Press(40, 22, 1, true);  // from (10, 10) as a pencil drag would go, and on from here
  EXPECT_EQ(e.canvas.pixels, Reference(Figure::Line, false, 0, 10, 10, 40, 22, fore).pixels);
  Move(40, 30, true);
  Release(40, 30);
  Press(40, 60, 2, true);  // on from (40, 30) in the right button's colour
  Release(40, 60, 2);
  OnCommand(e, kCmdEraser);
  Press(40, 50, 1, true);
  Release(40, 50);
  for (int r = 30; r <= 60; ++r) EXPECT_EQ(e.canvas.At(40, r), r < 50 ? back : 0) << r;
  EXPECT_EQ(UndoCount(e.history), 4u);
  OnCommand(e, kCmdPencil);
  OnCommand(e, kCmdNextShape);  // another shape forgets the end
  Press(100, 100, 1, true);
  Release(100, 100);
  EXPECT_EQ(Count(fore), 1);
}

TEST_F(FigureTest, UndoTakesBackWholeFiguresOneAtATimeAndRedoDoesThemAgain) {
  const uint8_t fore = e.colors.foreColor;
  std::vector<Canvas> states{e.canvas};
  Drag(5, 5, 60, 9);  // a pencil stroke first: the figures come after it
  states.push_back(e.canvas);
  OnCommand(e, kKeyL);
  Drag(0, 0, 200, 130);
  states.push_back(e.canvas);
  OnCommand(e, kKeyO);
  OnCommand(e, kKeyO);  // filled
  Drag(30, 30, 150, 90);
  states.push_back(e.canvas);
  OnCommand(e, kKeyT);
  Press(100, 120, 2);
  Move(250, 250);
  Move(140, 160);
  Release(140, 160, 2);
  states.push_back(e.canvas);
  ASSERT_EQ(UndoCount(e.history), 4u);
  EXPECT_EQ(UndoName(e.history), "Rectangle");
  // A figure that changes no pixel is no step, as a stroke that changes none.
  e.colors.foreColor = e.colors.backColor;
  Drag(100, 120, 140, 160);
  EXPECT_EQ(UndoCount(e.history), 4u);
  e.colors.foreColor = fore;
  for (size_t i = 4; i-- > 0;) {
    OnCommand(e, kCmdUndo);
    EXPECT_EQ(e.canvas.pixels, states[i].pixels) << "undo back to state " << i;
  }
  for (size_t i = 1; i <= 4; ++i) {
    OnCommand(e, kCmdRedo);
    EXPECT_EQ(e.canvas.pixels, states[i].pixels) << "redo to state " << i;
  }

  // Undo in the middle of a drag: the figure under way is a step of its
  // own, and Undo takes all of it back; the rest of the drag does nothing.
  OnCommand(e, kCmdChangePencilSize);
  OnCommand(e, kKeyL);
  Press(10, 200);
  Move(200, 10);
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.canvas.pixels, states[4].pixels);
  Move(100, 100);
  Release(100, 100);
  EXPECT_EQ(e.canvas.pixels, states[4].pixels);
  EXPECT_EQ(RedoName(e.history), "Line");
  OnCommand(e, kCmdRedo);
  Canvas want = states[4];
  const Canvas line = Reference(Figure::Line, false, 1, 10, 200, 200, 10, fore);
  for (size_t i = 0; i < want.pixels.size(); ++i)
    if (line.pixels[i] != 0) want.pixels[i] = fore;
  EXPECT_EQ(e.canvas.pixels, want.pixels);
}

TEST(CommandTable, TheToolsMenuHasOneMnemonicPerEntryAndTheFigureKeys) {
  std::string keys;
  for (const auto& pulldown : MainMenu())
    for (const auto& item : pulldown.children)
      if (pulldown.label == "&Tools" && item.kind == platform::MenuItem::Kind::Command)
        keys += static_cast<char>(std::tolower(item.label.at(item.label.find('&') + 1)));
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end()) << keys;
  for (auto [key, menu] : {std::pair{kKeyL, kCmdLine}, {kKeyT, kCmdRectangle}, {kKeyO, kCmdEllipse},
                           {int{kCmdCancelFigure}, kCmdCancelFigure}})
    EXPECT_EQ(MenuIdFor(key), menu) << key;
}

}  // namespace
