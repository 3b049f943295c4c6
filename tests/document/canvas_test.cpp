#include <gtest/gtest.h>

#include <cstring>

#include "document/canvas.h"

using namespace qshe;

namespace {

Shape Make(int w, int h, uint8_t fill) {
  Shape s;
  AllocateShape(s, w, h);
  for (int i = 0; i < w * h; ++i) s.pixels[i] = fill;
  return s;
}

}  // namespace

TEST(Canvas, ShapeSitsAtTheTopLeftAndCommitsBackUnchanged) {
  Shape s = Make(10, 4, 0);
  for (int i = 0; i < 40; ++i) s.pixels[i] = static_cast<uint8_t>(1 + i);
  s.offsetX = -3;
  s.offsetY = 12;
  s.tavrelX = 4;
  s.walkable = 1;
  s.replacement = 77;
  Canvas c;
  LoadShapeToCanvas(s, c);
  // Shape row 0 (its bottom row) lies on canvas row 252; its top row on 255.
  EXPECT_EQ(c.At(0, 252), 1);
  EXPECT_EQ(c.At(9, 255), 40);
  EXPECT_TRUE(RowIsEmpty(c, 251));
  EXPECT_TRUE(ColumnIsEmpty(c, 10));
  EXPECT_FALSE(ColumnIsEmpty(c, 9));

  Shape back;
  back.offsetX = -3;
  back.offsetY = 12;
  back.tavrelX = 4;
  back.walkable = 1;
  back.replacement = 77;
  ASSERT_TRUE(CommitCanvasToShape(c, back));
  EXPECT_EQ(back.width, 10);
  EXPECT_EQ(back.height, 4);
  EXPECT_EQ(0, std::memcmp(back.pixels.get(), s.pixels.get(), 40));
  EXPECT_EQ(back.offsetX, -3);
  EXPECT_EQ(back.tavrelX, 4);
  EXPECT_EQ(back.walkable, 1);
  EXPECT_EQ(back.replacement, 77);
}

TEST(Canvas, CommitTrimsOnlyTheBottomAndTheRight) {
  Canvas c;
  // One pixel at column 5 of the top row but two: the empty top rows and
  // left columns stay part of the shape.
  c.At(5, 253) = 9;
  Shape s;
  ASSERT_TRUE(CommitCanvasToShape(c, s));
  EXPECT_EQ(s.width, 6);
  EXPECT_EQ(s.height, 3);
  EXPECT_EQ(s.pixels[5], 9);  // bottom row of the shape
  EXPECT_EQ(s.pixels[0], 0);
}

TEST(Canvas, BottomRowAndRightmostColumnNeverBelongToAShape) {
  Canvas c;
  c.At(255, 200) = 3;
  c.At(10, 0) = 4;
  Shape s;
  ASSERT_TRUE(CommitCanvasToShape(c, s));
  EXPECT_EQ(s.width, 255);
  EXPECT_EQ(s.height, 255);
  Canvas full;
  full.pixels.fill(7);
  ASSERT_TRUE(CommitCanvasToShape(full, s));
  EXPECT_EQ(s.width, 255);
  EXPECT_EQ(s.height, 255);
}

TEST(Canvas, EmptyCanvasCommitsAsOneByZero) {
  Canvas c;
  Shape s = Make(4, 4, 1);
  s.offsetY = 5;
  ASSERT_TRUE(CommitCanvasToShape(c, s));
  EXPECT_EQ(s.width, 1);
  EXPECT_EQ(s.height, 0);
  EXPECT_FALSE(s.HasPixels());
  EXPECT_EQ(s.offsetY, 5);
  // Only column 0 used: width 1.
  c.At(0, 255) = 2;
  ASSERT_TRUE(CommitCanvasToShape(c, s));
  EXPECT_EQ(s.width, 1);
  EXPECT_EQ(s.height, 1);
}

TEST(Canvas, OversizedShapeShowsItsTopLeftPart) {
  Shape s = Make(256, 256, 0);
  s.pixels[255 * 256] = 6;        // top-left
  s.pixels[0] = 8;                // bottom-left
  Canvas c;
  LoadShapeToCanvas(s, c);
  EXPECT_EQ(c.At(0, 255), 6);
  EXPECT_EQ(c.At(0, 0), 8);
  Shape wide = Make(300, 2, 5);
  LoadShapeToCanvas(wide, c);
  EXPECT_EQ(c.At(255, 255), 5);
  EXPECT_EQ(c.At(0, 253), 0);
}

TEST(Canvas, ReplaceColorTouchesOnlyTheOneIndex) {
  Canvas c;
  c.At(1, 1) = 34;
  c.At(2, 2) = 35;
  ReplaceColor(c, 34, 58);
  EXPECT_EQ(c.At(1, 1), 58);
  EXPECT_EQ(c.At(2, 2), 35);
  Canvas before = c;
  ReplaceColor(c, 99, 1);
  EXPECT_EQ(c.pixels, before.pixels);
}
