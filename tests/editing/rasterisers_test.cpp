// The line, rectangle and ellipse rasterisers against the pixel-by-pixel
// references, over random boxes on, across and off the canvas edges.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <utility>

#include "editing/rasterisers.h"
#include "figure_reference.h"

using namespace qshe;
using namespace qshe::testing;

namespace {

Canvas Drawn(Figure figure, bool filled, int size, int x0, int y0, int x1, int y1, RowRange rows = {}) {
  Canvas c;
  DrawFigure(c, {figure, filled, size, x0, y0, x1, y1, kInk}, rows);
  return c;
}

TEST(Rasterisers, EveryFigureMatchesItsReferenceOverRandomBoxesAndEveryBrush) {
  std::mt19937 random(3202);
  std::uniform_int_distribution<int> near(-12, 267), far(-300, 560), small(-6, 6);
  for (int round = 0; round < 1000; ++round) {
    // Mostly boxes on and across the edges, small and thin ones, a few far out.
    const int x0 = near(random), y0 = near(random);
    const int kind = round % 6;
    const int x1 = kind == 0 ? far(random) : kind < 3 ? x0 + small(random) : near(random);
    const int y1 = kind == 0 ? far(random) : kind < 3 ? y0 + small(random) : near(random);
    for (int size : {0, 1 + round % (kPencilSizeCount - 1)})
      for (Figure figure : {Figure::Line, Figure::Rectangle, Figure::Ellipse})
        for (bool filled : {false, true}) {
          if (figure == Figure::Line && filled) continue;
          ASSERT_EQ(Drawn(figure, filled, size, x0, y0, x1, y1).pixels,
                    Reference(figure, filled, size, x0, y0, x1, y1).pixels)
              << static_cast<int>(figure) << (filled ? " filled" : "") << " size " << size << " from (" << x0 << ", "
              << y0 << ") to (" << x1 << ", " << y1 << ")";
        }
  }
  // Every width and height up to 40, where the small and the even and odd
  // middles differ most.
  for (int w = 1; w <= 40; ++w)
    for (int h = 1; h <= 40; ++h)
      for (bool filled : {false, true})
        ASSERT_EQ(Drawn(Figure::Ellipse, filled, 0, 100, 100, 99 + w, 99 + h).pixels,
                  Reference(Figure::Ellipse, filled, 0, 100, 100, 99 + w, 99 + h).pixels)
            << w << " x " << h;
}

TEST(Rasterisers, AnEllipseIsTheSameInAllFourDragDirectionsAndACircleAboutBothDiagonals) {
  std::mt19937 random(17);
  std::uniform_int_distribution<int> coord(-20, 275);
  for (int round = 0; round < 300; ++round) {
    const int x0 = coord(random), y0 = coord(random), x1 = coord(random), y1 = coord(random);
    const bool filled = round % 2;
    const int size = round % kPencilSizeCount;
    const Canvas first = Drawn(Figure::Ellipse, filled, size, x0, y0, x1, y1);
    EXPECT_EQ(first.pixels, Drawn(Figure::Ellipse, filled, size, x1, y1, x0, y0).pixels);
    EXPECT_EQ(first.pixels, Drawn(Figure::Ellipse, filled, size, x0, y1, x1, y0).pixels);
    EXPECT_EQ(first.pixels, Drawn(Figure::Ellipse, filled, size, x1, y0, x0, y1).pixels);
  }
  for (int side = 1; side <= 256; ++side)
    for (bool filled : {false, true}) {
      const Canvas c = Drawn(Figure::Ellipse, filled, 0, 0, 0, side - 1, side - 1);
      const int l = side - 1;
      for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
          ASSERT_TRUE(c.At(x, y) == c.At(l - x, y) && c.At(x, y) == c.At(x, l - y) && c.At(x, y) == c.At(y, x) &&
                      c.At(x, y) == c.At(l - y, l - x))
              << side << " at " << x << "," << y;
    }
}

TEST(Rasterisers, ARangeOfRowsGetsEveryPixelTheWholeFigureHasThere) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> coord(-20, 275), row(-5, 260);
  for (int round = 0; round < 400; ++round) {
    const int x0 = coord(random), y0 = coord(random), x1 = coord(random), y1 = coord(random);
    const RowRange rows{row(random), 0};
    const Figure figure = round % 2 ? Figure::Ellipse : Figure::Rectangle;
    const Canvas whole = Drawn(figure, round % 3 == 0, round % kPencilSizeCount, x0, y0, x1, y1);
    const Canvas part = Drawn(figure, round % 3 == 0, round % kPencilSizeCount, x0, y0, x1, y1,
                              {rows.bottom, rows.bottom + round % 40});
    for (int y = std::max(rows.bottom, 0); y <= std::min(rows.bottom + round % 40, 255); ++y)
      for (int x = 0; x < kCanvasSize; ++x) ASSERT_EQ(part.At(x, y), whole.At(x, y)) << round;
  }
}

TEST(Rasterisers, FiguresFarPastTheCanvasClipAndNeverOverflow) {
  // Centred on the canvas and far larger: filled it covers all, outlined none.
  for (uint8_t p : Drawn(Figure::Ellipse, true, 0, -5000, -5000, 5255, 5255).pixels) ASSERT_EQ(p, kInk);
  for (uint8_t p : Drawn(Figure::Ellipse, false, 5, -5000, -5000, 5255, 5255).pixels) ASSERT_EQ(p, 0);
  for (Figure f : {Figure::Line, Figure::Rectangle, Figure::Ellipse})
    Drawn(f, true, 5, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  const Canvas c = Drawn(Figure::Rectangle, false, 0, INT_MIN, 100, INT_MAX, 150);
  for (int x = 0; x < kCanvasSize; ++x) EXPECT_TRUE(c.At(x, 100) == kInk && c.At(x, 150) == kInk && c.At(x, 120) == 0);
}

TEST(Rasterisers, ShiftTurnsLinesToMultiplesOf45DegreesAndBoxesToSquares) {
  // From (100, 100): {mouse x, y, line end x, y, square corner x, y}.
  const int cases[][6] = {
      {110, 104, 110, 100, 110, 110},  // 21.8 degrees: along the row
      {110, 105, 108, 108, 110, 110},  // 26.6 degrees: the nearest point on the diagonal
      {90, 110, 90, 110, 90, 110},     {96, 80, 100, 80, 80, 80},     {80, 96, 80, 100, 80, 80},
      {91, 115, 88, 112, 85, 115},     {100, 90, 100, 90, 110, 90},   {100, 100, 100, 100, 100, 100},
  };
  for (const auto& k : cases) {
    int lx = k[0], ly = k[1], sx = k[0], sy = k[1];
    ConstrainLine(100, 100, lx, ly);
    ConstrainSquare(100, 100, sx, sy);
    EXPECT_EQ(std::pair(lx, ly), std::pair(k[2], k[3])) << k[0] << "," << k[1];
    EXPECT_EQ(std::pair(sx, sy), std::pair(k[4], k[5])) << k[0] << "," << k[1];
  }
  // Points past the reach come in first, and nothing overflows.
  int x = INT_MAX, y = INT_MIN;
  ConstrainLine(0, 0, x, y);
  EXPECT_EQ(x, -y);
}

}  // namespace
