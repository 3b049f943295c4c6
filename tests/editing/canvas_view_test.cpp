#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "editing/canvas_view.h"

using namespace qshe;

namespace {

// A composition and a view buffer as the window has them, and the view.
struct CanvasViewTest : ::testing::Test {
  CanvasViewTest() {
    InitDisplay(display);
    composition = AllocBuffer(display, 615, 285);
    viewSlot = AllocBuffer(display, 256, 256);
    // A composition that shows what the view did not touch.
    SelectBuffer(display, composition);
    SetColor(display, 7);
    FillRect(display, 0, 614, 0, 284);
  }

  void Render() { RenderCanvasView(*view, canvas, display, viewSlot, composition); }

  // Palette index at (x, y) of the view buffer, y counted from the top.
  int ViewAt(int x, int y) const { return display.buffers[static_cast<size_t>(viewSlot)].Row(y)[x]; }
  int CompositionAt(int x, int y) const { return display.buffers[static_cast<size_t>(composition)].Row(y)[x]; }

  // Every pixel of the view: a canvas whose pixels are all distinct from
  // the background, the frame and the grid colours.
  void FillCanvasWithPattern() {
    for (int r = 0; r < 256; ++r)
      for (int c = 0; c < 256; ++c) canvas.At(c, r) = static_cast<uint8_t>(100 + (c * 7 + r * 13) % 60);
  }

  // Columns or rows of the view entirely in `color`, and its pixel count.
  std::vector<int> FullLines(int color, bool columns) const {
    std::vector<int> found;
    for (int i = 0; i < 256; ++i) {
      bool full = true;
      for (int j = 0; j < 256 && full; ++j) full = (columns ? ViewAt(i, j) : ViewAt(j, i)) == color;
      if (full) found.push_back(i);
    }
    return found;
  }
  int CountColor(int color) const {
    int n = 0;
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) n += ViewAt(x, y) == color;
    return n;
  }

  void SetView(int zoom, double ox, double oy) {
    view->zoom = zoom;
    view->originX = ox;
    view->originY = oy;
  }

  std::unique_ptr<DisplayState> ownedDisplay = std::make_unique<DisplayState>();
  DisplayState& display = *ownedDisplay;
  std::unique_ptr<CanvasView> view = std::make_unique<CanvasView>();
  Canvas canvas;
  int composition = -1;
  int viewSlot = -1;
};

// ----- window and canvas -------------------------------------------------------

TEST(ScreenToCanvas, TheOriginIsTheCornerUnmagnifiedAndTheCornerBlockMagnified) {
  CanvasView view;
  for (int c : {0, 255}) EXPECT_EQ(ScreenToCanvasX(view, 184 + c), c);
  for (int r : {0, 255}) EXPECT_EQ(ScreenToCanvasY(view, 263 - r), r);
  view.originX = 5.9;  // truncated; outside the canvas the numbers go on
  view.originY = -3.9;
  EXPECT_EQ(ScreenToCanvasX(view, 189), 0);
  EXPECT_EQ(ScreenToCanvasX(view, 184), -5);
  EXPECT_EQ(ScreenToCanvasY(view, 263), 3);
  // Magnified: column 10 and top row 20 at the corner, whole blocks of z.
  view.originX = 10;
  view.originY = -20;
  for (int z : {2, 4, 8, 16}) {
    view.zoom = z;
    EXPECT_EQ(ScreenToCanvasX(view, 184 + z - 1), 10) << z;
    EXPECT_EQ(ScreenToCanvasX(view, 184 + z), 11) << z;
    EXPECT_EQ(ScreenToCanvasY(view, 8 + z - 1), 235) << z;
    EXPECT_EQ(ScreenToCanvasY(view, 8 + z), 234) << z;
    EXPECT_EQ(ScreenToCanvasX(view, 439), 10 + 255 / z) << z;
    EXPECT_EQ(ScreenToCanvasY(view, 263), 235 - 255 / z) << z;
  }
}

// Every pixel of the canvas area shows the canvas pixel that the mapping of
// the tools names, at every zoom: what the user sees is what they paint.
TEST_F(CanvasViewTest, EveryViewPixelShowsTheCanvasPixelTheMappingNames) {
  FillCanvasWithPattern();
  struct Case {
    int zoom;
    double ox, oy;
  };
  std::vector<Case> cases = {{0, 0, 0}};
  for (int z : {2, 4, 8, 16}) {
    const double far = 256 - 256 / z;
    cases.push_back({z, 10, -20});
    cases.push_back({z, far, -far});
    cases.push_back({z, 3.7, -1.2});
  }
  for (const Case& k : cases) {
    SetView(k.zoom, k.ox, k.oy);
    Render();
    int mismatches = 0;
    for (int y = 8; y <= 263; ++y) {
      for (int x = 184; x <= 439; ++x) {
        const int c = ScreenToCanvasX(*view, x), r = ScreenToCanvasY(*view, y);
        const int expected = c >= 0 && c < 256 && r >= 0 && r < 256 ? canvas.At(c, r) : kPlainBackground;
        mismatches += CompositionAt(x, y) != expected;
      }
    }
    EXPECT_EQ(mismatches, 0) << "zoom " << k.zoom << " origin " << k.ox << ", " << k.oy;
  }
}

TEST_F(CanvasViewTest, OriginsAtAndPastTheCanvasEdges) {
  // Nothing outside the canvas area changes.
  Render();
  for (auto [x, y] : {std::pair{183, 100}, {440, 100}, {300, 7}, {300, 264}}) EXPECT_EQ(CompositionAt(x, y), 7);
  canvas.At(0, 255) = 31;
  canvas.At(250, 255) = 32;
  // Magnified, past the right edge the picture starts again at column 0
  // (row 0 carries the frame).
  // The mouse maps to what is drawn there.
  for (auto [ox, x, want] : {std::tuple{250.0, 1, 32}, {250.0, 12, kPlainBackground}, {255.0, 0, kPlainBackground},
                             {256.0, 1, 31}, {256.5, 1, 31}, {300.0, 1, 31}, {300.0, 2, kPlainBackground}}) {
    SetView(2, ox, 0);
    Render();
    EXPECT_EQ(ViewAt(x, 1), want) << ox << " " << x;
    const int c = ScreenToCanvasX(*view, kViewLeft + x);
    const int under = c >= 0 && c < 256 ? canvas.At(c, 255) : 0;
    EXPECT_EQ(under ? under : kPlainBackground, want) << ox << " " << x;
  }
  // Unmagnified, at or past the far edges only the background shows; just
  // short of the edge one column of the canvas and the frame.
  FillCanvasWithPattern();
  for (auto [ox, oy] : {std::pair{256.0, 0.0}, std::pair{0.0, 256.0}, std::pair{300.5, -2.0}}) {
    SetView(0, ox, oy);
    Render();
    EXPECT_EQ(CountColor(kPlainBackground), 256 * 256) << ox << ", " << oy;
  }
  SetView(0, 255, 0);
  Render();
  EXPECT_EQ(ViewAt(255, 100), canvas.At(0, 155));
  EXPECT_EQ(ViewAt(254, 100), kFrameColor);
}

// ----- backgrounds, grid and frame ----------------------------------------------

TEST_F(CanvasViewTest, BackgroundsFillTheViewWhereTheCanvasIsTransparent) {
  Render();
  EXPECT_EQ(ViewAt(255, 255), 95);
  view->backgroundType = 2;
  Render();
  EXPECT_EQ(ViewAt(130, 77), 50);
  // Magnified, also beside and between the canvas pixels.
  canvas.At(2, 255 - 1) = 33;  // top row 1: the first block row
  SetView(4, 1, -1);
  Render();
  EXPECT_EQ(ViewAt(4, 2), 33);
  for (auto [x, y] : {std::pair{8, 2}, {3, 2}, {200, 200}}) EXPECT_EQ(ViewAt(x, y), 50);
  // Checkerboard squares are 8 x 8 and stay put at every zoom (an origin
  // that keeps the frame out of the view).
  canvas.At(2, 255 - 1) = 0;
  view->backgroundType = 1;
  for (int z : {0, 2, 4, 8, 16}) {
    SetView(z, z == 0 ? 0 : 1, z == 0 ? 0 : -1);
    Render();
    for (auto [x, y] : {std::pair{0, 0}, {7, 7}, {8, 8}, {255, 255}, {16, 100}}) EXPECT_EQ(ViewAt(x, y), 173) << z;
    for (auto [x, y] : {std::pair{8, 0}, {7, 8}, {0, 8}, {247, 255}, {255, 247}}) EXPECT_EQ(ViewAt(x, y), 89) << z;
  }
}

TEST_F(CanvasViewTest, GridOnlyWhenSwitchedOnAndMagnifiedOnTheFirstPixelOfEveryBlock) {
  SetView(16, 1, -1);  // keeps the frame out of the view
  Render();
  EXPECT_EQ(CountColor(kGridColor), 0);
  view->gridWhileZooming = 1;
  Render();
  std::vector<int> lines;
  for (int i = 0; i < 16; ++i) lines.push_back(16 * i);
  EXPECT_EQ(FullLines(kGridColor, true), lines);
  EXPECT_EQ(FullLines(kGridColor, false), lines);
  EXPECT_EQ(CountColor(kGridColor), 2 * 16 * 256 - 16 * 16);
  // Over the canvas pixels too.
  FillCanvasWithPattern();
  SetView(2, 1, -1);
  Render();
  EXPECT_EQ(FullLines(kGridColor, false).size(), 128u);
  EXPECT_EQ(FullLines(kGridColor, true)[1], 2);
  SetView(0, 0, 0);
  Render();
  EXPECT_EQ(CountColor(kGridColor), 0);
  // Drawn on its own at a corner of the active buffer, rows to the area's
  // last column.
  view->zoom = 8;
  SelectBuffer(display, composition);
  DrawZoomGrid(*view, display, 184, 8);
  for (auto [x, y] : {std::pair{184, 100}, {192, 100}, {300, 16}, {439, 8}}) EXPECT_EQ(CompositionAt(x, y), kGridColor);
  for (auto [x, y] : {std::pair{185, 9}, {183, 8}, {440, 8}}) EXPECT_NE(CompositionAt(x, y), kGridColor);
}

TEST_F(CanvasViewTest, FrameLinesRunJustOutsideTheCanvas) {
  // Full rows and columns of the frame colour for a zoom and origin; lines
  // outside the view are left out.
  struct Case {
    int zoom;
    double ox, oy;
    std::vector<int> rows, columns;
  };
  const std::vector<Case> cases = {
      // Unmagnified: rows -oy-1 and 256-oy, columns ox-1 and ox+256.
      {0, 5, -3, {2}, {4}},
      {0, -10, 20, {236}, {246}},
      {0, 0, 0, {}, {}},
      // Magnified: on the first block's first row and column, following the
      // origin; the far lines at a + 256z and b + 256z with a = trunc(oy + 1) z
      // and b = trunc(1 - ox) z.
      {4, 0, 0, {0}, {0}},
      {4, -3, 2, {8}, {12}},
      {2, 200, -230, {54}, {114}},
      {4, 0.5, -0.5, {}, {}},  // truncation of the sums: 1 - 0.5 gives 0
  };
  for (const Case& k : cases) {
    SetView(k.zoom, k.ox, k.oy);
    Render();
    EXPECT_EQ(FullLines(kFrameColor, false), k.rows) << k.zoom << " " << k.ox << ", " << k.oy;
    EXPECT_EQ(FullLines(kFrameColor, true), k.columns) << k.zoom << " " << k.ox << ", " << k.oy;
  }
  SetView(0, 5, -3);
  Render();
  EXPECT_EQ(CountColor(kFrameColor), 256 + 256 - 1);
  SetView(4, 0.5, -0.5);
  Render();
  EXPECT_EQ(CountColor(kFrameColor), 0);
}

TEST_F(CanvasViewTest, TheViewIsCopiedToTheCanvasAreaAndNothingIsDrawnWithoutBuffers) {
  FillCanvasWithPattern();
  SetView(2, 0, 0);
  Render();
  EXPECT_EQ(display.activeSlot, composition);
  // Drawing over the area and copying again restores it.
  SetColor(display, 255);
  FillRect(display, 184, 439, 8, 263);
  CopyViewToComposition(display, viewSlot, composition);
  EXPECT_EQ(CompositionAt(184 + 6, 8 + 10), ViewAt(6, 10));
  EXPECT_EQ(CompositionAt(439, 263), ViewAt(255, 255));
  DisplayState empty;
  InitDisplay(empty);
  RenderCanvasView(*view, canvas, empty, -1, -1);
  RenderCanvasView(*view, canvas, empty, 3, 4);
  EXPECT_EQ(empty.activeSlot, -1);
}

// ----- scroll bars --------------------------------------------------------------

TEST(ScrollThumb, ThumbAndOriginRoundTripAndTheEnds) {
  // A thumb moved gives an origin that gives back the same thumb; the
  // vertical bar works on -oy: the same numbers.
  for (int z : {2, 4, 8, 16})
    for (int range : {1, 7, 199, 300})
      for (int p : {0, 1, range / 3, range / 2, range - 1, range})
        EXPECT_EQ(ThumbForOrigin(OriginForThumb(p, range, z), range, z), p) << z << " " << range << " " << p;
  // The whole bar is the widest pan; outside it the ends.
  EXPECT_DOUBLE_EQ(OriginForThumb(200, 200, 2), 128.0);
  EXPECT_DOUBLE_EQ(OriginForThumb(100, 200, 16), 120.0);
  EXPECT_EQ(ThumbForOrigin(60.0, 200, 16), 50);
  EXPECT_EQ(ThumbForOrigin(-44.0, 200, 2), 0);
  EXPECT_EQ(ThumbForOrigin(1e9, 200, 2), 200);
  // Unmagnified or without room everything is zero.
  EXPECT_EQ(OriginForThumb(50, 200, 0), 0.0);
  EXPECT_EQ(OriginForThumb(0, 0, 4), 0.0);
  for (auto [range, z] : {std::pair{200, 0}, {0, 4}, {-3, 4}}) EXPECT_EQ(ThumbForOrigin(50.0, range, z), 0);
}

}  // namespace
