#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <vector>

#include "editing/tools.h"

using namespace qshe;

namespace {

constexpr uint8_t kInk = 9;

int InkCount(const Canvas& c) {
  int n = 0;
  for (uint8_t p : c.pixels) n += p == kInk;
  return n;
}

// The brushes drawn around their point (the centre of each picture), top row
// first as on screen.
const std::vector<std::string> kBrushPictures[kPencilSizeCount] = {
    {".......", ".......", ".......", "...#...", ".......", ".......", "......."},
    {".......", ".......", ".......", "...##..", "...##..", ".......", "......."},
    {".......", ".......", "..####.", "..####.", "..####.", "..####.", "......."},
    {".......", ".######", ".######", ".######", ".######", ".######", ".######"},
    {".......", "..###..", ".#####.", ".#####.", ".#####.", "..###..", "......."},
    {"..###..", ".#####.", "#######", "#######", "#######", ".#####.", "..###.."},
};

TEST(Pencil, BrushShapesClippedAtTheEdgesAndLines) {
  // Around a point in the middle and at each corner exactly the part of the
  // brush that lies on the canvas is set: nothing wraps into the
  // neighbouring row or column end.
  for (int size = 0; size < kPencilSizeCount; ++size) {
    for (auto [cx, cy] : {std::pair{100, 100}, {0, 0}, {255, 0}, {0, 255}, {255, 255}}) {
      Canvas c;
      DrawPencilDot(c, size, cx, cy, kInk);
      int expected = 0;
      for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
          const int x = cx + dx, y = cy + dy;
          if (x < 0 || x > 255 || y < 0 || y > 255) continue;
          const bool ink = kBrushPictures[size][static_cast<size_t>(3 - dy)][static_cast<size_t>(3 + dx)] == '#';
          EXPECT_EQ(GetCanvasPixel(c, x, y) == kInk, ink) << size << " at " << x << "," << y;
          expected += ink;
        }
      }
      EXPECT_EQ(InkCount(c), expected) << "size " << size << " at " << cx << "," << cy;
    }
  }
  // Points far off the canvas set nothing.
  Canvas c;
  for (int size = 0; size < kPencilSizeCount; ++size) {
    DrawPencilDot(c, size, -10, 50, kInk);
    DrawPencilDot(c, size, 50, 300, kInk);
    DrawPencilDot(c, size, -32768, -32768, kInk);
  }
  SetCanvasPixel(c, 256, 3, kInk);
  SetCanvasPixel(c, 3, -1, kInk);
  EXPECT_EQ(InkCount(c), 0);
  EXPECT_EQ(GetCanvasPixel(c, -1, 0), 0);

  // A line stamps from the new point towards the previous one.
  DrawPencilLine(c, 0, 14, 12, 10, 10, kInk);
  EXPECT_EQ(InkCount(c), 4);
  for (auto [x, y] : {std::pair{14, 12}, {13, 12}, {12, 12}, {11, 11}}) EXPECT_EQ(c.At(x, y), kInk) << x << "," << y;
  // Steep and reversed: every row between gets one pixel, the previous point
  // none; the same point twice draws nothing.
  Canvas steep;
  DrawPencilLine(steep, 0, 3, 0, 5, 7, kInk);
  DrawPencilLine(steep, 5, 40, 40, 40, 40, kInk);
  EXPECT_EQ(InkCount(steep), 7);
  EXPECT_EQ(steep.At(5, 7), 0);
  for (int y = 0; y < 7; ++y) EXPECT_EQ(steep.At(3, y) + steep.At(4, y) + steep.At(5, y), kInk) << y;
  // A size-5 stroke whose centre runs one row below the canvas paints the
  // rows it covers all the way; rows beyond its reach stamp nothing.
  Canvas edge;
  DrawPencilLine(edge, 5, 200, -1, 20, -1, kInk);
  DrawPencilLine(edge, 5, 200, -4, 20, -4, kInk);
  DrawPencilLine(edge, 5, 200, 259, 20, 259, kInk);
  for (int x : {20, 21, 110, 200, 201}) {
    EXPECT_EQ(edge.At(x, 0), kInk) << x;
    EXPECT_EQ(edge.At(x, 2), kInk) << x;
  }
  EXPECT_EQ(InkCount(edge), 186 + 184 + 182);  // rows 0..2 only, the ends rounded
}

// ----- flood fill -------------------------------------------------------------------

// The region of (x, y) found pixel by pixel, to check the fill against.
std::vector<bool> Region(const Canvas& c, int x, int y) {
  std::vector<bool> in(65536, false);
  const uint8_t old = c.At(x, y);
  std::deque<std::pair<int, int>> todo{{x, y}};
  in[static_cast<size_t>(y * 256 + x)] = true;
  while (!todo.empty()) {
    auto [px, py] = todo.front();
    todo.pop_front();
    for (auto [nx, ny] : {std::pair{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}}) {
      if (nx < 0 || nx > 255 || ny < 0 || ny > 255) continue;
      size_t i = static_cast<size_t>(ny * 256 + nx);
      if (in[i] || c.At(nx, ny) != old) continue;
      in[i] = true;
      todo.push_back({nx, ny});
    }
  }
  return in;
}

// Fills and checks that exactly the region took the colour.
void ExpectFillsRegion(Canvas c, int x, int y, uint8_t colour, const std::string& what) {
  const Canvas before = c;
  const std::vector<bool> region = Region(c, x, y);
  FillStack stack;
  FloodFill(c, stack, x, y, colour);
  int wrong = 0;
  for (size_t i = 0; i < 65536; ++i) wrong += c.pixels[i] != (region[i] ? colour : before.pixels[i]);
  EXPECT_EQ(wrong, 0) << what;
}

void Rect(Canvas& c, int x1, int x2, int y1, int y2, uint8_t colour) {
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x) c.At(x, y) = colour;
}

TEST(FloodFill, FillsExactlyTheRegionOfThePointAsAReferenceFillFindsIt) {
  Canvas empty, closed, corner, diagonal, comb, snake;
  Rect(closed, 10, 50, 10, 40, 3);  // a closed box
  Rect(closed, 11, 49, 11, 39, 0);
  Canvas open = closed;  // a gap in the wall lets the fill out
  open.At(50, 25) = 0;
  Rect(corner, 0, 9, 0, 9, 4);  // two squares meeting at one corner: two regions
  Rect(corner, 10, 19, 10, 19, 4);
  for (int i = 0; i < 256; ++i) diagonal.At(i, i) = 6;
  // A comb: every other row open, the rows between with a wall at every odd
  // column. Each of those rows leaves 127 runs waiting while the fill climbs,
  // some sixteen thousand segments at the deepest.
  for (int y = 1; y < 256; y += 2)
    for (int x = 1; x < 256; x += 2) comb.At(x, y) = 1;
  // A serpentine corridor one pixel wide that crosses the canvas 128 times.
  for (int y = 1; y < 256; y += 2) {
    Rect(snake, 0, 255, y, y, 2);
    snake.At((y / 2) % 2 == 0 ? 255 : 0, y) = 0;
  }
  const struct {
    const Canvas& canvas;
    int x, y;
    const char* what;
  } cases[] = {{empty, 0, 255, "empty"},         {closed, 30, 20, "inside a box"},
               {closed, 200, 200, "outside a box"}, {closed, 10, 10, "the box's wall"},
               {open, 30, 20, "a box with a gap"},  {corner, 5, 5, "corner-touching squares"},
               {diagonal, 200, 10, "below a diagonal wall"}, {comb, 0, 0, "comb from the bottom"},
               {comb, 128, 255, "comb from the top"}, {snake, 0, 0, "serpentine"}};
  for (const auto& k : cases) ExpectFillsRegion(k.canvas, k.x, k.y, kInk, k.what);
  // Random walls at several densities.
  std::mt19937 random(7);
  for (int percent : {20, 35, 45, 55}) {
    Canvas noise;
    for (uint8_t& p : noise.pixels) p = static_cast<int>(random() % 100) < percent ? 1 : 0;
    noise.At(128, 128) = 0;
    ExpectFillsRegion(noise, 128, 128, kInk, "noise " + std::to_string(percent));
  }
  // The same colour, or a point off the canvas, changes nothing.
  const Canvas before = corner;
  FillStack stack;
  FloodFill(corner, stack, 5, 5, 4);
  for (auto [x, y] : {std::pair{-1, 5}, {256, 5}, {5, -1}, {5, 256}}) FloodFill(corner, stack, x, y, 3);
  EXPECT_EQ(corner.pixels, before.pixels);
}

TEST(Hand, MovesOnlyAMagnifiedView) {
  CanvasView view;
  PanByHand(view, 8, 8);
  EXPECT_EQ(view.originX, 0.0);
  EXPECT_EQ(view.originY, 0.0);
  view.zoom = 4;
  PanByHand(view, 8, -6);  // right and up: a quarter of the move, in fractions
  EXPECT_EQ(view.originX, -2.0);
  EXPECT_EQ(view.originY, -1.5);
  view.zoom = 16;
  PanByHand(view, -3, 0);
  EXPECT_DOUBLE_EQ(view.originX, -2.0 + 3.0 / 16);
}

}  // namespace
