#include <gtest/gtest.h>

#include <cstring>

#include "document/canvas.h"

using namespace qshe;

TEST(Canvas, ShapeSitsAtTheTopLeftAndCommitsBackUnchanged) {
  Shape s;
  AllocateShape(s, 10, 4);
  for (int i = 0; i < 40; ++i) s.pixels[i] = static_cast<uint8_t>(1 + i);
  Canvas c;
  LoadShapeToCanvas(s, c);
  // Shape row 0 (its bottom row) lies on canvas row 252; its top row on 255.
  EXPECT_EQ(c.At(0, 252), 1);
  EXPECT_EQ(c.At(9, 255), 40);
  EXPECT_TRUE(RowIsEmpty(c, 251));
  EXPECT_TRUE(ColumnIsEmpty(c, 10));
  EXPECT_FALSE(ColumnIsEmpty(c, 9));
  // Committing keeps the fields the canvas does not hold.
  Shape back;
  std::tie(back.offsetX, back.tavrelX, back.replacement) = std::make_tuple(-3, 4, 77);
  ASSERT_TRUE(CommitCanvasToShape(c, back));
  EXPECT_EQ(std::tie(back.width, back.height, back.offsetX, back.tavrelX, back.replacement),
            std::make_tuple(10, 4, -3, 4, 77));
  EXPECT_EQ(0, std::memcmp(back.pixels.get(), s.pixels.get(), 40));
}

// Only the bottom and the right are trimmed; the canvas's bottom row and
// rightmost column never belong to a shape.
TEST(Canvas, CommitTrimmingRule) {
  struct Case {
    std::vector<std::tuple<int, int, uint8_t>> pixels;
    int width, height;
    int at = -1, value = 0;  // a pixel of the shape to check
  };
  for (const Case& c : {Case{{}, 1, 0},                         // empty: 1 x 0, no pixels
                        Case{{{0, 255, 2}}, 1, 1},              // column 0 only
                        Case{{{5, 253, 9}}, 6, 3, 5, 9},        // empty top rows and left columns stay
                        Case{{{5, 253, 9}}, 6, 3, 0, 0},
                        Case{{{255, 200, 3}, {10, 0, 4}}, 255, 255}}) {
    Canvas canvas;
    for (auto [x, y, v] : c.pixels) canvas.At(x, y) = v;
    Shape s;
    AllocateShape(s, 4, 4);
    s.offsetY = 5;
    ASSERT_TRUE(CommitCanvasToShape(canvas, s));
    EXPECT_EQ(std::tie(s.width, s.height, s.offsetY), std::make_tuple(c.width, c.height, 5)) << c.pixels.size();
    EXPECT_EQ(s.HasPixels(), c.height > 0);
    if (c.at >= 0) { EXPECT_EQ(s.pixels[c.at], c.value); }  // row 0 is the shape's bottom row
  }
  Canvas full;
  full.pixels.fill(7);
  Shape s;
  ASSERT_TRUE(CommitCanvasToShape(full, s));
  EXPECT_EQ(std::tie(s.width, s.height), std::make_tuple(255, 255));
}

TEST(Canvas, OversizedShapeShowsItsTopLeftPartAndReplaceColorTouchesOneIndex) {
  Shape s;
  AllocateShape(s, 256, 256);
  s.pixels[255 * 256] = 6;  // top-left
  s.pixels[0] = 8;          // bottom-left
  Canvas c;
  LoadShapeToCanvas(s, c);
  EXPECT_EQ(c.At(0, 255), 6);
  EXPECT_EQ(c.At(0, 0), 8);
  AllocateShape(s, 300, 2);
  std::fill_n(s.pixels.get(), 600, uint8_t{5});
  LoadShapeToCanvas(s, c);
  EXPECT_EQ(c.At(255, 255), 5);
  EXPECT_EQ(c.At(0, 253), 0);
  c.At(2, 2) = 35;
  ReplaceColor(c, 5, 58);
  EXPECT_EQ(c.At(255, 255), 58);
  EXPECT_EQ(c.At(2, 2), 35);
}
