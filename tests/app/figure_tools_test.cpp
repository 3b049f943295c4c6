// The line, rectangle and ellipse tools and Shift strokes driven through the
// main window's mouse, key and command events.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../editing/figure_reference.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "editor_fixture.h"

using namespace qshe;
using qshe::testing::EditorFixture;
using qshe::testing::FirstDifference;
using qshe::testing::Reference;

namespace {

// Window point of canvas pixel (column, bottom-up row) at zoom 0, origin (0, 0).
int WindowX(int column) { return 184 + column; }
int WindowY(int row) { return 263 - row; }

// The keys of the three tools, as the shortcuts send them.
constexpr int kKeyL = 40326, kKeyT = 40327, kKeyO = 40328;

struct FigureTest : EditorFixture {
  void SetUp() override { ASSERT_TRUE(Start()); }

  void Press(int c, int r, int button = 1, bool shift = false) {
    OnMouseDown(e, WindowX(c), WindowY(r), button, false, shift);
  }
  void Move(int c, int r, bool shift = false) { OnMouseMove(e, WindowX(c), WindowY(r), false, shift); }
  void Release(int c, int r, int button = 1) { OnMouseUp(e, WindowX(c), WindowY(r), button); }
  void Drag(int c0, int r0, int c1, int r1, int button = 1, bool shift = false) {
    Press(c0, r0, button, shift);
    Move((c0 + c1) / 2, (r0 + r1) / 2, shift);
    Move(c1, r1, shift);
    Release(c1, r1, button);
  }
  bool CanvasEmpty() const {
    return std::all_of(e.canvas.pixels.begin(), e.canvas.pixels.end(), [](uint8_t p) { return p == 0; });
  }
  // Whether the window shows palette colour `index` on canvas pixel (c, r).
  bool ShowsColour(int c, int r, int index) const { return Shown(WindowX(c), WindowY(r)) == PaletteColor(index); }
};

TEST_F(FigureTest, TheFigureFollowsTheMouseOverTheCanvasAndLandsOnlyOnRelease) {
  OnCommand(e, kKeyT);
  ASSERT_EQ(e.tools.currentTool, kRectangleTool);
  EXPECT_EQ(hp.cursor(), platform::Cursor::Arrow);  // the mouse is not over the canvas yet
  const uint8_t fore = e.colors.foreColor;
  Press(20, 20);
  EXPECT_EQ(hp.cursor(), platform::Cursor::Select);
  Move(60, 40);
  // Shown in the window, not on the canvas.
  EXPECT_TRUE(CanvasEmpty());
  EXPECT_EQ(e.window.canvasChanged, 0);
  EXPECT_TRUE(ShowsColour(20, 20, fore));
  EXPECT_TRUE(ShowsColour(60, 40, fore));
  EXPECT_TRUE(ShowsColour(40, 40, fore));
  // Following the mouse: the old corner is gone from the window.
  Move(50, 30);
  EXPECT_FALSE(ShowsColour(60, 40, fore));
  EXPECT_TRUE(ShowsColour(50, 30, fore));
  EXPECT_TRUE(CanvasEmpty());
  EXPECT_EQ(e.undo.position, 0);
  EXPECT_NE(e.doc.state.modified, kModified);

  Release(50, 30);
  const Canvas want = Reference(Figure::Rectangle, false, 0, 20, 20, 50, 30, fore);
  EXPECT_EQ(e.canvas.pixels, want.pixels) << FirstDifference(e.canvas, want);
  EXPECT_EQ(e.window.canvasChanged, 1);
  EXPECT_EQ(e.doc.state.modified, kModified);
  EXPECT_EQ(e.undo.position, 1);  // one step for the figure
  EXPECT_TRUE(ShowsColour(50, 30, fore));

  // Moves after the release draw nothing more; Undo takes the figure back.
  Move(90, 90);
  EXPECT_EQ(e.canvas.pixels, want.pixels);
  OnCommand(e, kCmdUndo);
  EXPECT_TRUE(CanvasEmpty());
  EXPECT_FALSE(ShowsColour(20, 20, fore));
  OnCommand(e, kCmdRedo);
  EXPECT_EQ(e.canvas.pixels, want.pixels);

  // The commit timer takes it into the shape like any stroke.
  OnTimer(e, kCommitTimer);
  EXPECT_EQ(e.window.canvasChanged, 0);
  EXPECT_EQ(e.doc.list.slots[0].width, 51);
  EXPECT_EQ(e.doc.list.slots[0].height, 256 - 20);
}

// Magnified, only the rows in view are drawn live; what shows must still be
// exactly what lands.
TEST_F(FigureTest, TheLiveFigureShowsExactlyWhatLandsAtEveryZoomAndOrigin) {
  for (int i = 0; i < 65536; ++i) e.canvas.pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(i % 7 == 0 ? 40 : 0);
  OnCommand(e, kKeyO);
  OnCommand(e, kKeyO);  // filled
  struct View {
    int zoom;
    double ox, oy;
  };
  int changed = 0;
  for (const View v : {View{0, 0, 0}, {0, 30, -20}, {4, 10, -100}, {16, 120, -128}, {16, 250, -250}, {8, 0, 40}}) {
    e.view.zoom = v.zoom;
    e.view.originX = v.ox;
    e.view.originY = v.oy;
    const Canvas before = e.canvas;
    OnMouseDown(e, 200, 20, 1, false);
    OnMouseMove(e, 200 + 255 * std::max(v.zoom, 1) / 2, 20 + 200 * std::max(v.zoom, 1) / 2, false);
    std::vector<platform::Rgb> live;
    for (int y = 8; y < 264; ++y)
      for (int x = 184; x < 440; ++x) live.push_back(Shown(x, y));
    EXPECT_EQ(e.canvas.pixels, before.pixels);
    OnMouseUp(e, 0, 0, 1);  // the figure lands where it was shown
    std::vector<platform::Rgb> landed;
    for (int y = 8; y < 264; ++y)
      for (int x = 184; x < 440; ++x) landed.push_back(Shown(x, y));
    EXPECT_TRUE(live == landed) << "zoom " << v.zoom << " origin " << v.ox << ", " << v.oy;
    changed += e.canvas.pixels != before.pixels;
    OnCommand(e, kCmdUndo);
  }
  EXPECT_GE(changed, 5);  // the last figure lies past the canvas's corner
}

TEST_F(FigureTest, EscapeTakesTheFigureAwayAndTheReleaseThenDoesNothing) {
  OnCommand(e, kKeyO);
  e.canvas.At(5, 5) = 77;
  Press(10, 10);
  Move(80, 50);
  EXPECT_TRUE(ShowsColour(45, 10, e.colors.foreColor));
  OnCommand(e, kCmdCancelFigure);  // Escape
  EXPECT_FALSE(ShowsColour(45, 10, e.colors.foreColor));
  EXPECT_EQ(e.tools.dragTool, -1);
  Move(90, 60);
  Release(90, 60);
  EXPECT_EQ(std::count(e.canvas.pixels.begin(), e.canvas.pixels.end(), 0), 65535);
  EXPECT_EQ(e.undo.position, 0);
  EXPECT_NE(e.doc.state.modified, kModified);
  EXPECT_EQ(e.window.canvasChanged, 0);
  // Escape with no figure under way does nothing at all.
  OnCommand(e, kCmdCancelFigure);
  EXPECT_EQ(e.canvas.At(5, 5), 77);
}

TEST_F(FigureTest, ShiftMakesSquaresCirclesAndLinesOf45DegreesAlsoWhenPressedMidDrag) {
  const uint8_t fore = e.colors.foreColor, back = e.colors.backColor;
  OnCommand(e, kKeyO);
  Drag(100, 100, 130, 112, 1, true);  // a circle 31 across, in the drag's direction
  EXPECT_EQ(e.canvas.pixels, Reference(Figure::Ellipse, false, 0, 100, 100, 130, 130, fore).pixels);

  // A line with the right button; Shift pressed and let go during the drag
  // bends the figure at once.
  OnCommand(e, kCmdUndo);
  OnCommand(e, kKeyL);
  Press(40, 200, 2);
  Move(80, 190);
  OnShiftKey(e, true);
  EXPECT_TRUE(ShowsColour(80, 200, back));  // along the row now
  EXPECT_FALSE(ShowsColour(80, 190, back));
  OnShiftKey(e, false);
  EXPECT_TRUE(ShowsColour(80, 190, back));
  OnShiftKey(e, true);
  Release(80, 190, 2);
  EXPECT_EQ(e.canvas.pixels, Reference(Figure::Line, false, 0, 40, 200, 80, 200, back).pixels);

  // A square drawn up and to the left of its press point.
  OnCommand(e, kCmdUndo);
  OnCommand(e, kKeyT);
  Drag(60, 60, 50, 30, 1, true);
  EXPECT_EQ(e.canvas.pixels, Reference(Figure::Rectangle, false, 0, 60, 60, 30, 30, fore).pixels);
}

TEST_F(FigureTest, PressingAFigureKeyAgainSwitchesItsFormWithMenuChecksButtonAndText) {
  EXPECT_STREQ(ToolFormText(e.tools), "Pencil");
  OnCommand(e, kKeyT);
  EXPECT_STREQ(ToolFormText(e.tools), "Rectangle (outlined)");
  EXPECT_FALSE(hp.menuChecked[kCmdFilledRectangles]);
  EXPECT_EQ(e.toolbar.buttons[ToolButtonOf(kRectangleTool)].pressed, 1);
  EXPECT_EQ(e.toolbar.buttons[0].pressed, 0);
  const platform::Rgb outlinedFace = Shown(52, 119);  // the middle of the rectangle button's picture
  OnCommand(e, kKeyT);
  EXPECT_STREQ(ToolFormText(e.tools), "Rectangle (filled)");
  EXPECT_TRUE(hp.menuChecked[kCmdFilledRectangles]);
  EXPECT_NE(Shown(52, 119), outlinedFace);
  Drag(10, 10, 20, 16);
  EXPECT_EQ(e.canvas.pixels, Reference(Figure::Rectangle, true, 0, 10, 10, 20, 16, e.colors.foreColor).pixels);

  // Another tool and back keeps the form; the ellipse has its own.
  OnCommand(e, kCmdPencil);
  OnCommand(e, kCmdRectangle);
  EXPECT_STREQ(ToolFormText(e.tools), "Rectangle (filled)");
  OnCommand(e, kCmdEllipse);
  EXPECT_STREQ(ToolFormText(e.tools), "Ellipse (outlined)");
  OnCommand(e, kCmdEllipse);
  EXPECT_STREQ(ToolFormText(e.tools), "Ellipse (filled)");
  EXPECT_TRUE(hp.menuChecked[kCmdFilledEllipses]);
  // The Filled entries switch the form and take the tool, whatever was current.
  OnCommand(e, kCmdHand);
  OnCommand(e, kCmdFilledRectangles);
  EXPECT_STREQ(ToolFormText(e.tools), "Rectangle (outlined)");
  EXPECT_FALSE(hp.menuChecked[kCmdFilledRectangles]);
  OnCommand(e, kCmdFilledEllipses);
  EXPECT_STREQ(ToolFormText(e.tools), "Ellipse (outlined)");

  // The buttons: a click chooses the tool, a second click switches the form.
  ClickButton(ToolButtonOf(kLineTool));
  EXPECT_STREQ(ToolFormText(e.tools), "Line");
  ClickButton(ToolButtonOf(kRectangleTool));
  EXPECT_STREQ(ToolFormText(e.tools), "Rectangle (outlined)");
  ClickButton(ToolButtonOf(kRectangleTool));
  EXPECT_STREQ(ToolFormText(e.tools), "Rectangle (filled)");
  // A size button keeps the figure tool: sizes are its brushes.
  ClickButton(15);
  EXPECT_EQ(e.tools.currentTool, kRectangleTool);
  EXPECT_EQ(e.tools.pencilSize, 2);
}

TEST_F(FigureTest, LinesAndOutlinesTakeTheBrushAndDragsOffTheCanvasClip) {
  OnCommand(e, kCmdChangePencilSize);
  OnCommand(e, kCmdChangePencilSize);  // 4 x 4
  OnCommand(e, kKeyL);
  const uint8_t fore = e.colors.foreColor;
  Drag(30, 30, 90, 50);
  EXPECT_EQ(e.canvas.pixels, Reference(Figure::Line, false, 2, 30, 30, 90, 50, fore).pixels);
  OnCommand(e, kCmdUndo);

  // An ellipse dragged out past the right and bottom of the view.
  OnCommand(e, kKeyO);
  Press(200, 40);
  OnMouseMove(e, 600, 280, false);
  OnMouseUp(e, 600, 280, 1);
  const int c1 = 600 - 184, r1 = 263 - 280;
  EXPECT_EQ(e.canvas.pixels, Reference(Figure::Ellipse, false, 2, 200, 40, c1, r1, fore).pixels);
  // It runs out over the right edge and the bottom.
  int rightEdge = 0, bottomEdge = 0;
  for (int i = 0; i < 256; ++i) rightEdge += e.canvas.At(255, i) == fore, bottomEdge += e.canvas.At(i, 0) == fore;
  EXPECT_GT(rightEdge, 0);
  EXPECT_GT(bottomEdge, 0);
}

TEST_F(FigureTest, CtrlStillPicksAColourAndATooltipNamesEachFigureButton) {
  OnCommand(e, kKeyO);
  e.canvas.At(30, 30) = 123;
  OnMouseDown(e, WindowX(30), WindowY(30), 1, true);
  OnMouseMove(e, WindowX(60), WindowY(60), true);
  OnMouseUp(e, WindowX(60), WindowY(60), 1);
  EXPECT_EQ(e.colors.foreColor, 0);  // picked last at (60, 60)
  EXPECT_EQ(std::count(e.canvas.pixels.begin(), e.canvas.pixels.end(), 0), 65535);
  EXPECT_EQ(e.undo.position, 0);
  EXPECT_EQ(e.tools.currentTool, kEllipseTool);

  for (auto [tool, key] : {std::pair{kLineTool, "(L)"}, {kRectangleTool, "(T)"}, {kEllipseTool, "(O)"}}) {
    auto [x, y] = ButtonCentre(ToolButtonOf(tool));
    EXPECT_NE(ToolTipAt(e, x, y).find(key), std::string::npos) << tool;
  }
  EXPECT_EQ(ToolTipAt(e, 300, 100), "");
}

TEST_F(FigureTest, AToolChosenMidDragLandsTheFigureAsTheReleaseWould) {
  OnCommand(e, kKeyL);
  Press(10, 10);
  Move(20, 10);
  OnCommand(e, kCmdPencil);
  EXPECT_EQ(e.canvas.At(15, 10), e.colors.foreColor);
  EXPECT_EQ(e.undo.position, 1);
  EXPECT_EQ(e.tools.dragTool, -1);
}

TEST_F(FigureTest, ShiftClickDrawsAStraightStrokeFromTheLastOnesEnd) {
  const uint8_t fore = e.colors.foreColor, back = e.colors.backColor;
  // No stroke yet: a Shift+click is a dot.
  Press(10, 10, 1, true);
  Release(10, 10);
  EXPECT_EQ(std::count(e.canvas.pixels.begin(), e.canvas.pixels.end(), fore), 1);
  // From the end of that stroke to the click, as a pencil drag would; the
  // drag then goes on from the click.
  Press(40, 22, 1, true);
  EXPECT_EQ(e.canvas.pixels, Reference(Figure::Line, false, 0, 10, 10, 40, 22, fore).pixels);
  Move(40, 30, true);
  Release(40, 30);
  EXPECT_EQ(std::count(e.canvas.pixels.begin(), e.canvas.pixels.end(), fore), 31 + 8);
  EXPECT_EQ(e.undo.position, 2);
  // The next one goes on from (40, 30), with the right button's colour.
  Press(40, 60, 2, true);
  Release(40, 60, 2);
  for (int r = 30; r <= 60; ++r) EXPECT_EQ(e.canvas.At(40, r), back) << r;
  // The eraser too.
  OnCommand(e, kCmdEraser);
  Press(40, 50, 1, true);
  Release(40, 50);
  for (int r = 30; r <= 60; ++r) EXPECT_EQ(e.canvas.At(40, r), r < 50 ? back : 0) << r;
  // Showing another shape forgets the end: a Shift+click there is a dot.
  OnCommand(e, kCmdPencil);
  OnCommand(e, kCmdNextShape);
  Press(100, 100, 1, true);
  Release(100, 100);
  EXPECT_EQ(std::count(e.canvas.pixels.begin(), e.canvas.pixels.end(), fore), 1);
}

}  // namespace
