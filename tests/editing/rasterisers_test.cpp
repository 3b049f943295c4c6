// The line, rectangle and ellipse rasterisers against references that work
// pixel by pixel (or step by step in closed form) rather than the way the
// drawing walks, over random boxes on, across and off the canvas edges.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "editing/rasterisers.h"
#include "editing/tools.h"
#include "figure_reference.h"

using namespace qshe;
using namespace qshe::testing;

namespace {

const char* Name(Figure f) {
  return f == Figure::Line ? "line" : f == Figure::Rectangle ? "rectangle" : "ellipse";
}

// A figure as rows of '#' and '.', top row first, over the box from (0, 0).
std::vector<std::string> Picture(const Canvas& c, int w, int h) {
  std::vector<std::string> rows;
  for (int y = h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < w; ++x) row += c.At(x, y) == kInk ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

// ----- tests -----------------------------------------------------------------------

TEST(Rasterisers, EveryFigureMatchesItsReferenceOverRandomBoxesAndEveryBrush) {
  std::mt19937 random(3202);
  // Mostly boxes on and across the edges, a few far out past them.
  std::uniform_int_distribution<int> near(-12, 267), far(-300, 560), small(0, 12);
  for (int round = 0; round < 2000; ++round) {
    int x0 = near(random), y0 = near(random), x1, y1;
    switch (round % 6) {
      case 0: x1 = far(random), y1 = far(random); break;
      case 1:
      case 2: x1 = x0 + small(random) - 6, y1 = y0 + small(random) - 6; break;  // small and thin ones
      default: x1 = near(random), y1 = near(random); break;
    }
    // Every brush in turn; the one-pixel brush on every round.
    for (int size : {0, 1 + round % (kPencilSizeCount - 1)}) {
      for (Figure figure : {Figure::Line, Figure::Rectangle, Figure::Ellipse}) {
        for (bool filled : {false, true}) {
          if (figure == Figure::Line && filled) continue;
          const Canvas got = Drawn(figure, filled, size, x0, y0, x1, y1);
          const Canvas want = Reference(figure, filled, size, x0, y0, x1, y1);
          ASSERT_EQ(got.pixels, want.pixels)
              << Name(figure) << (filled ? " filled" : "") << " size " << size << " from (" << x0 << ", " << y0
              << ") to (" << x1 << ", " << y1 << "): " << FirstDifference(got, want);
        }
      }
    }
  }
}

TEST(Rasterisers, EveryEllipseUpToFortyOnASideMatchesTheReference) {
  // Each width and height once, where the small sizes and the even and odd
  // middles differ most.
  for (int w = 1; w <= 40; ++w)
    for (int h = 1; h <= 40; ++h)
      for (bool filled : {false, true}) {
        const Canvas got = Drawn(Figure::Ellipse, filled, 0, 100, 100, 100 + w - 1, 100 + h - 1);
        const Canvas want = Reference(Figure::Ellipse, filled, 0, 100, 100, 100 + w - 1, 100 + h - 1);
        ASSERT_EQ(got.pixels, want.pixels) << w << " x " << h << (filled ? " filled" : "") << ": "
                                           << FirstDifference(got, want);
      }
}

TEST(Rasterisers, SmallCirclesLookRound) {
  const std::vector<std::string> three = {".#.", "#.#", ".#."};
  const std::vector<std::string> five = {".###.", "#...#", "#...#", "#...#", ".###."};
  const std::vector<std::string> six = {"..##..", ".#..#.", "#....#", "#....#", ".#..#.", "..##.."};
  const std::vector<std::string> sixFilled = {"..##..", ".####.", "######", "######", ".####.", "..##.."};
  EXPECT_EQ(Picture(Drawn(Figure::Ellipse, false, 0, 0, 0, 2, 2), 3, 3), three);
  EXPECT_EQ(Picture(Drawn(Figure::Ellipse, false, 0, 0, 0, 4, 4), 5, 5), five);
  EXPECT_EQ(Picture(Drawn(Figure::Ellipse, false, 0, 0, 0, 5, 5), 6, 6), six);
  EXPECT_EQ(Picture(Drawn(Figure::Ellipse, true, 0, 0, 0, 5, 5), 6, 6), sixFilled);
  // A box two wide is a bar: the middle two columns are always there.
  EXPECT_EQ(Picture(Drawn(Figure::Ellipse, true, 0, 0, 0, 1, 9), 2, 10), std::vector<std::string>(10, "##"));
}

TEST(Rasterisers, AnEllipseIsTheSameInAllFourDragDirections) {
  std::mt19937 random(17);
  std::uniform_int_distribution<int> coord(-20, 275);
  for (int round = 0; round < 300; ++round) {
    const int x0 = coord(random), y0 = coord(random), x1 = coord(random), y1 = coord(random);
    for (bool filled : {false, true}) {
      const int size = round % kPencilSizeCount;
      const Canvas first = Drawn(Figure::Ellipse, filled, size, x0, y0, x1, y1);
      EXPECT_EQ(first.pixels, Drawn(Figure::Ellipse, filled, size, x1, y1, x0, y0).pixels);
      EXPECT_EQ(first.pixels, Drawn(Figure::Ellipse, filled, size, x0, y1, x1, y0).pixels);
      EXPECT_EQ(first.pixels, Drawn(Figure::Ellipse, filled, size, x1, y0, x0, y1).pixels);
    }
  }
}

TEST(Rasterisers, ACircleIsSymmetricInBothAxesAndBothDiagonals) {
  for (int side = 1; side <= 256; ++side) {
    for (bool filled : {false, true}) {
      const Canvas c = Drawn(Figure::Ellipse, filled, 0, 0, 0, side - 1, side - 1);
      for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
          const uint8_t p = c.At(x, y);
          ASSERT_EQ(p, c.At(side - 1 - x, y)) << side << " at " << x << "," << y;
          ASSERT_EQ(p, c.At(x, side - 1 - y)) << side << " at " << x << "," << y;
          ASSERT_EQ(p, c.At(y, x)) << side << " at " << x << "," << y;
          ASSERT_EQ(p, c.At(side - 1 - y, side - 1 - x)) << side << " at " << x << "," << y;
        }
      // It touches all four sides of its box, and nothing outside it.
      EXPECT_EQ(c.At(side / 2, 0), kInk) << side;
      EXPECT_EQ(c.At(0, side / 2), kInk) << side;
      int inside = 0;
      for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) inside += c.At(x, y) == kInk;
      int all = 0;
      for (uint8_t p : c.pixels) all += p == kInk;
      EXPECT_EQ(all, inside) << side;
    }
  }
}

TEST(Rasterisers, AnOutlineIsOnePixelThickWithoutCorners) {
  // No outline pixel has both a horizontal and a vertical neighbour on the
  // outline that are themselves diagonal neighbours (an L of three, one
  // pixel more than the line needs). Very flat boxes are left out: there the
  // middle rows are edge along their whole width.
  for (auto [w, h] : {std::pair{40, 25}, {25, 40}, {101, 101}, {200, 60}, {17, 250}, {20, 20}, {255, 254}}) {
    const Canvas c = Drawn(Figure::Ellipse, false, 0, 0, 0, w - 1, h - 1);
    auto on = [&](int x, int y) { return GetCanvasPixel(c, x, y) == kInk; };
    for (int y = 1; y < h - 1; ++y)
      for (int x = 1; x < w - 1; ++x) {
        if (!on(x, y)) continue;
        for (int sx : {-1, 1})
          for (int sy : {-1, 1}) {
            EXPECT_FALSE(on(x + sx, y) && on(x, y + sy) && !on(x + sx, y + sy))
                << w << " x " << h << " at " << x << "," << y;
          }
      }
  }
}

TEST(Rasterisers, LineMatchesAPencilDragOfOneMove) {
  // The pencil's own example: press at (10, 10), release at (14, 12).
  Canvas c;
  DrawLine(c, 0, 10, 10, 14, 12, kInk);
  for (auto [x, y] : {std::pair{10, 10}, {11, 11}, {12, 12}, {13, 12}, {14, 12}}) EXPECT_EQ(c.At(x, y), kInk);
  int count = 0;
  for (uint8_t p : c.pixels) count += p == kInk;
  EXPECT_EQ(count, 5);
  // The same as pressing the pencil and moving once.
  for (int size = 0; size < kPencilSizeCount; ++size) {
    Canvas line, pencil;
    DrawLine(line, size, 30, 200, 190, 140, kInk);
    DrawPencilDot(pencil, size, 30, 200, kInk);
    DrawPencilLine(pencil, size, 190, 140, 30, 200, kInk);
    EXPECT_EQ(line.pixels, pencil.pixels) << size;
  }
}

TEST(Rasterisers, ARangeOfRowsGetsEveryPixelTheWholeFigureHasThere) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> coord(-20, 275), row(-5, 260);
  for (int round = 0; round < 400; ++round) {
    const int x0 = coord(random), y0 = coord(random), x1 = coord(random), y1 = coord(random);
    RowRange rows{row(random), 0};
    rows.top = rows.bottom + round % 40;
    const Figure figure = round % 2 ? Figure::Ellipse : Figure::Rectangle;
    const bool filled = round % 3 == 0;
    const int size = round % kPencilSizeCount;
    const Canvas whole = Drawn(figure, filled, size, x0, y0, x1, y1);
    Canvas part;
    DrawFigure(part, {figure, filled, size, x0, y0, x1, y1, kInk}, rows);
    for (int y = std::max(rows.bottom, 0); y <= std::min(rows.top, 255); ++y)
      for (int x = 0; x < kCanvasSize; ++x)
        ASSERT_EQ(part.At(x, y), whole.At(x, y)) << Name(figure) << " size " << size << " at " << x << "," << y;
  }
}

TEST(Rasterisers, FiguresFarOffTheCanvasClipAndNeverOverflow) {
  // A filled ellipse far larger than the canvas, centred on it, covers it all.
  Canvas c = Drawn(Figure::Ellipse, true, 0, -5000, -5000, 5255, 5255);
  for (uint8_t p : c.pixels) ASSERT_EQ(p, kInk);
  // Its outline lies wholly off the canvas.
  c = Drawn(Figure::Ellipse, false, 5, -5000, -5000, 5255, 5255);
  for (uint8_t p : c.pixels) ASSERT_EQ(p, 0);
  // The widest points there are: no crash, and the rectangle's edges that
  // cross the canvas are drawn along the whole of it.
  for (Figure f : {Figure::Line, Figure::Rectangle, Figure::Ellipse})
    for (bool filled : {false, true}) Drawn(f, filled, 5, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  c = Drawn(Figure::Rectangle, false, 0, INT_MIN, 100, INT_MAX, 150);
  for (int x = 0; x < kCanvasSize; ++x) {
    EXPECT_EQ(c.At(x, 100), kInk);
    EXPECT_EQ(c.At(x, 150), kInk);
    EXPECT_EQ(c.At(x, 120), 0);
  }
}

TEST(Rasterisers, ShiftTurnsLinesToMultiplesOf45DegreesAndBoxesToSquares) {
  struct Case {
    int x1, y1, wantX, wantY;
  };
  // From (100, 100).
  const Case lines[] = {
      {110, 104, 110, 100},  // 21.8 degrees: horizontal
      {110, 105, 108, 108},  // 26.6 degrees: diagonal, the nearest point on it
      {90, 110, 90, 110},    // exactly diagonal stays
      {96, 80, 100, 80},     // steep: vertical
      {80, 96, 80, 100},
      {100, 100, 100, 100},  // no move at all
      {91, 115, 88, 112},
  };
  for (const Case& k : lines) {
    int x = k.x1, y = k.y1;
    ConstrainLine(100, 100, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(k.wantX, k.wantY)) << k.x1 << "," << k.y1;
  }
  const Case squares[] = {
      {110, 104, 110, 110}, {104, 110, 110, 110}, {90, 104, 90, 110}, {104, 90, 110, 90}, {95, 80, 80, 80},
      {100, 100, 100, 100}, {100, 90, 110, 90},
  };
  for (const Case& k : squares) {
    int x = k.x1, y = k.y1;
    ConstrainSquare(100, 100, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(k.wantX, k.wantY)) << k.x1 << "," << k.y1;
  }
  // Past the reach the points come in first, and nothing overflows.
  int x = INT_MAX, y = INT_MIN;
  ConstrainLine(0, 0, x, y);
  EXPECT_EQ(x, -y);
  x = INT_MAX, y = 3;
  ConstrainSquare(0, 0, x, y);
  EXPECT_EQ(x, y);
}

}  // namespace
