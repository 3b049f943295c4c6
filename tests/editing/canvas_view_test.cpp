#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "editing/canvas_view.h"

using namespace qshe;

namespace {

constexpr int kZooms[] = {0, 2, 4, 8, 16};

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
    for (int r = 0; r < 256; ++r) {
      for (int c = 0; c < 256; ++c) canvas.At(c, r) = static_cast<uint8_t>(100 + (c * 7 + r * 13) % 60);
    }
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

TEST(ScreenToCanvas, UnmagnifiedTheCanvasSitsAtTheAreaCornerPlusTheOrigin) {
  CanvasView view;
  for (int c : {0, 1, 100, 255}) EXPECT_EQ(ScreenToCanvasX(view, 184 + c), c);
  for (int r : {0, 1, 100, 255}) EXPECT_EQ(ScreenToCanvasY(view, 263 - r), r);
  view.originX = 5.9;  // truncated
  view.originY = -3.9;
  EXPECT_EQ(ScreenToCanvasX(view, 189), 0);
  EXPECT_EQ(ScreenToCanvasY(view, 263), 3);
  // Outside the canvas the numbers go on: the tools decide what to do there.
  EXPECT_EQ(ScreenToCanvasX(view, 184), -5);
}

TEST(ScreenToCanvas, MagnifiedTheOriginIsTheCornerColumnAndTopRow) {
  CanvasView view;
  view.zoom = 4;
  view.originX = 10;
  view.originY = -20;
  EXPECT_EQ(ScreenToCanvasX(view, 184), 10);
  EXPECT_EQ(ScreenToCanvasY(view, 8), 235);  // top row 20
  EXPECT_EQ(ScreenToCanvasX(view, 187), 10);
  EXPECT_EQ(ScreenToCanvasX(view, 188), 11);
  EXPECT_EQ(ScreenToCanvasY(view, 11), 235);
  EXPECT_EQ(ScreenToCanvasY(view, 12), 234);
  for (int z : {2, 8, 16}) {
    view.zoom = z;
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

TEST_F(CanvasViewTest, UnmagnifiedCanvasPixelsLandBelowAndRightOfTheAreaCorner) {
  canvas.At(0, 0) = 11;
  canvas.At(255, 255) = 12;
  canvas.At(40, 100) = 13;
  Render();
  EXPECT_EQ(CompositionAt(184, 263), 11);
  EXPECT_EQ(CompositionAt(439, 8), 12);
  EXPECT_EQ(CompositionAt(224, 163), 13);
  // Transparent pixels show the background; nothing outside the area changes.
  EXPECT_EQ(CompositionAt(185, 263), kPlainBackground);
  EXPECT_EQ(CompositionAt(183, 100), 7);
  EXPECT_EQ(CompositionAt(440, 100), 7);
  EXPECT_EQ(CompositionAt(300, 7), 7);
  EXPECT_EQ(CompositionAt(300, 264), 7);
  // Moved by the origin: right by x, up by y.
  SetView(0, 6, 4);
  Render();
  EXPECT_EQ(CompositionAt(230, 159), 13);
  EXPECT_EQ(CompositionAt(190, 259), 11);
}

TEST_F(CanvasViewTest, MagnifiedEachPixelIsAWholeBlock) {
  // Top row 20, column 10 at the view's corner: canvas (12, top row 22)
  // covers view columns 8..11 and rows 8..11.
  canvas.At(12, 255 - 22) = 21;
  SetView(4, 10, -20);
  Render();
  for (int y = 8; y <= 11; ++y) {
    for (int x = 8; x <= 11; ++x) EXPECT_EQ(ViewAt(x, y), 21) << x << "," << y;
  }
  EXPECT_EQ(ViewAt(7, 8), kPlainBackground);
  EXPECT_EQ(ViewAt(12, 8), kPlainBackground);
  EXPECT_EQ(ViewAt(8, 7), kPlainBackground);
  EXPECT_EQ(ViewAt(8, 12), kPlainBackground);
}

TEST_F(CanvasViewTest, MagnifiedOriginPastTheRightEdgeDrawsFromColumnZero) {
  canvas.At(0, 255) = 31;
  canvas.At(250, 255) = 32;
  // Within the canvas the columns that are left are drawn, then background.
  // (Row 0 carries the frame.)
  SetView(2, 250, 0);
  Render();
  EXPECT_EQ(ViewAt(0, 1), 32);
  EXPECT_EQ(ViewAt(1, 1), 32);
  EXPECT_EQ(ViewAt(12, 1), kPlainBackground);
  // At 256 nothing is left; past it the picture starts again at column 0.
  SetView(2, 256, 0);
  Render();
  EXPECT_EQ(ViewAt(0, 1), kPlainBackground);
  SetView(2, 300, 0);
  Render();
  EXPECT_EQ(ViewAt(0, 1), 31);
  EXPECT_EQ(ViewAt(1, 1), 31);
  EXPECT_EQ(ViewAt(2, 1), kPlainBackground);
}

TEST_F(CanvasViewTest, UnmagnifiedOriginAtOrPastTheFarEdgesShowsOnlyTheBackground) {
  FillCanvasWithPattern();
  for (auto [ox, oy] : {std::pair{256.0, 0.0}, std::pair{0.0, 256.0}, std::pair{300.5, -2.0}}) {
    SetView(0, ox, oy);
    Render();
    int other = 0;
    for (int y = 0; y < 256; ++y) {
      for (int x = 0; x < 256; ++x) other += ViewAt(x, y) != kPlainBackground;
    }
    EXPECT_EQ(other, 0) << ox << ", " << oy;
  }
  // Just short of the edge one column of the canvas and the frame show.
  SetView(0, 255, 0);
  Render();
  EXPECT_EQ(ViewAt(255, 100), canvas.At(0, 155));
  EXPECT_EQ(ViewAt(254, 100), kFrameColor);
}

// ----- backgrounds, grid and frame ----------------------------------------------

TEST_F(CanvasViewTest, BackgroundsFillTheViewWhereTheCanvasIsTransparent) {
  view->backgroundType = 0;
  Render();
  EXPECT_EQ(ViewAt(0, 0), 95);
  EXPECT_EQ(ViewAt(255, 255), 95);
  view->backgroundType = 2;
  Render();
  EXPECT_EQ(ViewAt(0, 0), 50);
  EXPECT_EQ(ViewAt(130, 77), 50);
  // Magnified, also beside and between the canvas pixels.
  canvas.At(2, 255 - 1) = 33;  // top row 1: the first block row
  SetView(4, 1, -1);
  Render();
  EXPECT_EQ(ViewAt(4, 2), 33);
  EXPECT_EQ(ViewAt(8, 2), 50);
  EXPECT_EQ(ViewAt(3, 2), 50);
  EXPECT_EQ(ViewAt(200, 200), 50);
}

TEST_F(CanvasViewTest, CheckerboardSquaresAreEightByEight) {
  view->backgroundType = 1;
  Render();
  EXPECT_EQ(ViewAt(0, 0), 173);
  EXPECT_EQ(ViewAt(8, 0), 89);
  EXPECT_EQ(ViewAt(7, 7), 173);
  EXPECT_EQ(ViewAt(0, 8), 89);
  EXPECT_EQ(ViewAt(8, 8), 173);
  // The squares stay where they are when the view is magnified (an origin
  // that keeps the frame out of the view).
  for (int z : kZooms) {
    SetView(z, z == 0 ? 0 : 1, z == 0 ? 0 : -1);
    Render();
    int wrong = 0;
    for (int y = 0; y < 256; ++y) {
      for (int x = 0; x < 256; ++x) wrong += ViewAt(x, y) != ((x / 8 + y / 8) % 2 == 0 ? 173 : 89);
    }
    EXPECT_EQ(wrong, 0) << z;
  }
}

// Columns and rows of the view entirely in `color`.
std::vector<int> FullColumns(const CanvasViewTest& t, int color) {
  std::vector<int> found;
  for (int x = 0; x < 256; ++x) {
    bool full = true;
    for (int y = 0; y < 256 && full; ++y) full = t.ViewAt(x, y) == color;
    if (full) found.push_back(x);
  }
  return found;
}
std::vector<int> FullRows(const CanvasViewTest& t, int color) {
  std::vector<int> found;
  for (int y = 0; y < 256; ++y) {
    bool full = true;
    for (int x = 0; x < 256 && full; ++x) full = t.ViewAt(x, y) == color;
    if (full) found.push_back(y);
  }
  return found;
}
int CountColor(const CanvasViewTest& t, int color) {
  int n = 0;
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) n += t.ViewAt(x, y) == color;
  }
  return n;
}

TEST_F(CanvasViewTest, GridHasALineOnTheFirstPixelOfEveryBlock) {
  view->gridWhileZooming = 1;
  // An origin that keeps the frame out of the view.
  SetView(16, 1, -1);
  Render();
  std::vector<int> lines;
  for (int i = 0; i < 16; ++i) lines.push_back(16 * i);
  EXPECT_EQ(FullColumns(*this, kGridColor), lines);
  EXPECT_EQ(FullRows(*this, kGridColor), lines);
  EXPECT_EQ(CountColor(*this, kGridColor), 2 * 16 * 256 - 16 * 16);
  SetView(2, 1, -1);
  Render();
  EXPECT_EQ(FullColumns(*this, kGridColor).size(), 128u);
  EXPECT_EQ(FullColumns(*this, kGridColor)[1], 2);
  // The grid is drawn over the canvas pixels.
  FillCanvasWithPattern();
  Render();
  EXPECT_EQ(FullRows(*this, kGridColor).size(), 128u);
}

TEST_F(CanvasViewTest, NoGridUnlessSwitchedOnAndMagnified) {
  for (int z : kZooms) {
    SetView(z, 1, -1);
    Render();
    EXPECT_EQ(CountColor(*this, kGridColor), 0) << z;
  }
  view->gridWhileZooming = 1;
  SetView(0, 0, 0);
  Render();
  EXPECT_EQ(CountColor(*this, kGridColor), 0);
}

TEST_F(CanvasViewTest, GridDrawsAtTheGivenCornerOfTheActiveBuffer) {
  view->gridWhileZooming = 1;
  view->zoom = 8;
  SelectBuffer(display, composition);
  DrawZoomGrid(*view, display, 184, 8);
  EXPECT_EQ(CompositionAt(184, 100), kGridColor);
  EXPECT_EQ(CompositionAt(192, 100), kGridColor);
  EXPECT_EQ(CompositionAt(185, 9), 7);
  EXPECT_EQ(CompositionAt(300, 16), kGridColor);
  EXPECT_EQ(CompositionAt(183, 8), 7);
  EXPECT_EQ(CompositionAt(439, 8), kGridColor);  // rows run to the area's last column
  EXPECT_EQ(CompositionAt(440, 8), 7);
}

TEST_F(CanvasViewTest, UnmagnifiedFrameLinesRunJustOutsideTheCanvas) {
  SetView(0, 5, -3);
  Render();
  // Rows -oy-1 and 256-oy, columns ox-1 and ox+256; those outside the view
  // are left out.
  EXPECT_EQ(FullRows(*this, kFrameColor), std::vector<int>{2});
  EXPECT_EQ(FullColumns(*this, kFrameColor), std::vector<int>{4});
  EXPECT_EQ(CountColor(*this, kFrameColor), 256 + 256 - 1);
  SetView(0, -10, 20);
  Render();
  EXPECT_EQ(FullRows(*this, kFrameColor), std::vector<int>{236});
  EXPECT_EQ(FullColumns(*this, kFrameColor), std::vector<int>{246});
  SetView(0, 0, 0);
  Render();
  EXPECT_EQ(CountColor(*this, kFrameColor), 0);
}

TEST_F(CanvasViewTest, MagnifiedFrameLinesFollowTheOrigin) {
  // Origin (0, 0): the lines on the first block's first row and column.
  SetView(4, 0, 0);
  Render();
  EXPECT_EQ(FullRows(*this, kFrameColor), std::vector<int>{0});
  EXPECT_EQ(FullColumns(*this, kFrameColor), std::vector<int>{0});
  // Canvas column 0 three blocks in, top row 0 two blocks down.
  SetView(4, -3, 2);
  Render();
  EXPECT_EQ(FullRows(*this, kFrameColor), std::vector<int>{8});
  EXPECT_EQ(FullColumns(*this, kFrameColor), std::vector<int>{12});
  // The far lines come into view only past the far edges (arrow keys):
  // with a = trunc(oy + 1) z and b = trunc(1 - ox) z they are a + 256z and
  // b + 256z.
  SetView(2, 200, -230);
  Render();
  EXPECT_EQ(FullRows(*this, kFrameColor), std::vector<int>{54});
  EXPECT_EQ(FullColumns(*this, kFrameColor), std::vector<int>{114});
  // Truncation of the sums, not of the origin: 1 - 0.5 gives 0.
  SetView(4, 0.5, -0.5);
  Render();
  EXPECT_EQ(CountColor(*this, kFrameColor), 0);
}

TEST_F(CanvasViewTest, TheViewIsCopiedToTheCanvasAreaAndTheCompositionLeftSelected) {
  canvas.At(3, 250) = 41;
  SetView(2, 0, 0);
  view->gridWhileZooming = 0;
  Render();
  EXPECT_EQ(display.activeSlot, composition);
  for (int y = 0; y < 256; y += 17) {
    for (int x = 0; x < 256; x += 13) EXPECT_EQ(CompositionAt(184 + x, 8 + y), ViewAt(x, y));
  }
  EXPECT_EQ(CompositionAt(184 + 6, 8 + 10), 41);
  // Drawing over the area and copying again restores it.
  SelectBuffer(display, composition);
  SetColor(display, 255);
  FillRect(display, 184, 439, 8, 263);
  CopyViewToComposition(display, viewSlot, composition);
  EXPECT_EQ(CompositionAt(184 + 6, 8 + 10), 41);
  EXPECT_EQ(CompositionAt(439, 263), ViewAt(255, 255));
}

TEST_F(CanvasViewTest, WithoutBuffersNothingIsDrawn) {
  DisplayState empty;
  InitDisplay(empty);
  RenderCanvasView(*view, canvas, empty, -1, -1);
  RenderCanvasView(*view, canvas, empty, 3, 4);
  EXPECT_EQ(empty.activeSlot, -1);
}

// ----- scroll bars --------------------------------------------------------------

TEST(ScrollThumb, AThumbMovedGivesAnOriginThatGivesBackTheSameThumb) {
  int wrong = 0;
  for (int z : {2, 4, 8, 16}) {
    for (int range = 1; range <= 300; ++range) {
      for (int p = 0; p <= range; ++p) {
        const double origin = OriginForThumb(p, range, z);
        wrong += ThumbForOrigin(origin, range, z) != p;
        // The vertical bar works on -oy: the same numbers.
        wrong += ThumbForOrigin(-(-origin), range, z) != p;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(ScrollThumb, TheWholeBarIsTheWidestPan) {
  EXPECT_DOUBLE_EQ(OriginForThumb(0, 200, 2), 0.0);
  EXPECT_DOUBLE_EQ(OriginForThumb(200, 200, 2), 128.0);
  EXPECT_DOUBLE_EQ(OriginForThumb(100, 200, 16), 120.0);
  EXPECT_EQ(ThumbForOrigin(240.0, 200, 16), 200);
  EXPECT_EQ(ThumbForOrigin(60.0, 200, 16), 50);
  // Origins beyond either end hold the thumb at that end.
  EXPECT_EQ(ThumbForOrigin(-44.0, 200, 2), 0);
  EXPECT_EQ(ThumbForOrigin(1e9, 200, 2), 200);
}

TEST(ScrollThumb, UnmagnifiedOrWithoutRoomEverythingIsZero) {
  EXPECT_EQ(OriginForThumb(50, 200, 0), 0.0);
  EXPECT_EQ(OriginForThumb(0, 0, 4), 0.0);
  EXPECT_EQ(ThumbForOrigin(50.0, 200, 0), 0);
  EXPECT_EQ(ThumbForOrigin(50.0, 0, 4), 0);
  EXPECT_EQ(ThumbForOrigin(50.0, -3, 4), 0);
}

}  // namespace
