#include <numeric>

#include "display_fixture.h"

namespace qshe::testing {
namespace {

using Buffers = DisplayTest;

TEST_F(Buffers, AllocationSelectionAndDrawingWithoutAnActiveBuffer) {
  ASSERT_EQ(AllocBuffer(state, 615, 285), 0);
  EXPECT_EQ(state.buffers[0].width, 616) << "rows are rounded up";
  EXPECT_EQ(state.buffers[0].clip, (Rect{0, 615, 0, 284}));
  EXPECT_EQ(state.activeSlot, -1) << "allocating does not select";
  SetColor(state, 9);
  uint8_t image[4] = {1, 2, 3, 4};
  FillRect(state, 0, 7, 0, 7);
  DrawBox(state, 0, 7, 0, 7);
  DrawXorBox(state, 0, 7, 0, 7);
  PutImage(state, image, 2, 2);
  EXPECT_EQ(ReadPixel(state, 0, 0), -1);
  auto pixels = Pixels(0);
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0), static_cast<long>(pixels.size()));
  for (int i = 1; i < kBufferSlots; ++i) EXPECT_EQ(AllocBuffer(state, 1, 1), i);
  EXPECT_EQ(AllocBuffer(state, 1, 1), kNoFreeSlot);
  InitDisplay(state);
  EXPECT_EQ(AllocBuffer(state, 0, 5), kBadBufferSize);
  EXPECT_EQ(AllocBuffer(state, 1 << 20, 1 << 20), kNoMemory);
  // A failed selection keeps the active buffer.
  int a = Buffer(8, 8);
  for (auto [slot, code] : {std::pair{32, -1}, std::pair{-1, -1}, std::pair{5, -2}}) {
    EXPECT_EQ(SelectBuffer(state, slot), code) << slot;
    EXPECT_EQ(state.activeSlot, a);
  }
}

TEST_F(Buffers, ClipBelongsToTheSlotAndBoundsReads) {
  int a = Buffer(16, 16), b = Buffer(16, 16);
  SetClip(state, 2, 5, 3, 7);
  SelectBuffer(state, a);
  int x1, x2, y1, y2;
  GetClip(state, x1, x2, y1, y2);
  EXPECT_EQ((Rect{x1, x2, y1, y2}), (Rect{0, 15, 0, 15}));
  SelectBuffer(state, b);
  EXPECT_EQ(ReadPixel(state, 5, 7), 0);
  EXPECT_EQ(ReadPixel(state, 6, 7), -1);
  EXPECT_EQ(ReadPixel(state, 2, 2), -1);
  // A clip wider than the buffer still keeps reads inside it.
  SetClip(state, -10, 100, -10, 100);
  EXPECT_EQ(ReadPixel(state, 16, 0), -1);
  EXPECT_EQ(ReadPixel(state, -1, 0), -1);
}

using Drawing = DisplayTest;

TEST_F(Drawing, FillAndBoxCoverExactlyTheirBounds) {
  Buffer(8, 6);
  SetColor(state, 7);
  FillRect(state, 1, 3, 2, 4);
  for (auto [y, row] : {std::pair{1, 0}, std::pair{2, 7}, std::pair{4, 7}, std::pair{5, 0}})
    EXPECT_EQ(Row(y, 0, 4), (std::vector<int>{0, row, row, row, 0})) << y;

  int b = Buffer(8, 8);
  SetColor(state, 3);
  DrawBox(state, 2, 2, 3, 3);
  auto pixels = Pixels(b);
  EXPECT_EQ(ReadPixel(state, 2, 3), 3);
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 3), 1);
  // Reaching past the clip: only the visible edges, never outside the clip.
  SetClip(state, 0, 4, 0, 7);
  SetColor(state, 5);
  DrawBox(state, 2, 9, -2, 5);
  SetClip(state, 0, 7, 0, 7);
  EXPECT_EQ(Row(5, 0, 7), (std::vector<int>{0, 0, 5, 5, 5, 0, 0, 0}));
  EXPECT_EQ(Row(0, 0, 7), (std::vector<int>{0, 0, 5, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ReadPixel(state, 3, 1), 0);
}

TEST_F(Drawing, XorBoxTwiceRestoresEveryPixel) {
  int slot = Buffer(12, 12);
  std::vector<uint8_t> pattern(144);
  std::iota(pattern.begin(), pattern.end(), uint8_t{1});
  MoveTo(state, 0, 11);
  PutImage(state, pattern.data(), 12, 12);
  auto before = Pixels(slot);
  SetColor(state, 0x5A);
  SetClip(state, 1, 10, 1, 10);
  for (Rect r : {Rect{2, 6, 3, 8}, Rect{4, 4, 2, 9}, Rect{2, 9, 5, 5}, Rect{3, 3, 3, 3}, Rect{-3, 14, 0, 12}}) {
    DrawXorBox(state, r.x1, r.x2, r.y1, r.y2);
    if (r == (Rect{3, 3, 3, 3})) {
      EXPECT_EQ(ReadPixel(state, 3, 3), before[8 * 12 + 3] ^ 0x5A) << "once only";
    }
    DrawXorBox(state, r.x1, r.x2, r.y1, r.y2);
    EXPECT_EQ(Pixels(slot), before) << r.x1 << " " << r.x2 << " " << r.y1 << " " << r.y2;
  }
  DrawXorBox(state, 2, 6, 3, 8);
  auto after = Pixels(slot);
  EXPECT_EQ(std::inner_product(after.begin(), after.end(), before.begin(), 0, std::plus<>(), std::not_equal_to<>()),
            2 * 5 + 2 * 4);
}

TEST_F(Drawing, PutImageAnchorsLowerLeftClipsAndSkipsZero) {
  Buffer(256, 256);
  SetColor(state, 9);
  FillRect(state, 0, 255, 0, 255);
  std::vector<uint8_t> full(256 * 256);
  for (size_t i = 0; i < full.size(); ++i) full[i] = static_cast<uint8_t>(1 + i / 256);
  MoveTo(state, 0, 255);
  PutImage(state, full.data(), 256, 256);
  EXPECT_EQ(ReadPixel(state, 10, 255), 1) << "first image row is the bottom row";
  EXPECT_EQ(ReadPixel(state, 10, 0), 9) << "row 255 of the image holds 0";
  EXPECT_EQ(ReadPixel(state, 10, 1), 255);

  Buffer(16, 16);
  std::vector<uint8_t> image(100);
  for (size_t i = 0; i < 100; ++i) image[i] = static_cast<uint8_t>(i / 10 * 16 + i % 10);
  MoveTo(state, -3, 5);
  PutImage(state, image.data(), 10, 10);
  // Columns 0..6 from image columns 3..9, rows 0..5 from image rows 5..0.
  EXPECT_EQ(ReadPixel(state, 0, 5), 3);
  EXPECT_EQ(ReadPixel(state, 1, 5), 4);
  EXPECT_EQ(ReadPixel(state, 6, 0), 5 * 16 + 9);
  EXPECT_EQ(ReadPixel(state, 7, 0), 0);
  EXPECT_EQ(ReadPixel(state, 0, 6), 0);
}

TEST_F(Drawing, CopyRectMovesWholeBuffersAndOverlappingBlocks) {
  int a = Buffer(615, 285), b = AllocBuffer(state, 615, 285);
  for (int y = 0; y < 285; y += 7) {
    SetColor(state, static_cast<uint8_t>(y));
    FillRect(state, y % 600, 614, y, y);
  }
  CopyRect(state, 0, 614, 0, 284, 0, 284, a, b);
  EXPECT_EQ(Pixels(a), Pixels(b));

  // Within one buffer, moving a block onto itself keeps its content.
  SetColor(state, 0);
  FillRect(state, 0, 614, 0, 284);
  for (int y = 10; y <= 19; ++y) {
    SetColor(state, static_cast<uint8_t>(y));
    FillRect(state, 10, 19, y, y);
  }
  CopyRect(state, 10, 19, 10, 19, 12, 22, a, a + 32);  // down and right by 3 and 2 rows/cols
  for (int y = 13; y <= 22; ++y) EXPECT_EQ(ReadPixel(state, 12, y), y - 3) << y;
  CopyRect(state, 12, 21, 13, 22, 10, 16, a, a);  // back up
  for (int y = 7; y <= 16; ++y) EXPECT_EQ(ReadPixel(state, 10, y), y + 3) << y;
}

// Callers promise FillRect and CopyRect rectangles lie inside the buffers.
TEST_F(Drawing, UncheckedOperationsCatchCallerMistakes) {
  int a = Buffer(8, 8);
#ifdef NDEBUG
  SetColor(state, 1);
  EXPECT_NE(FillRect(state, 4, 8, 0, 0), 0);
  EXPECT_NE(FillRect(state, 5, 4, 0, 0), 0);
  EXPECT_NE(CopyRect(state, 0, 7, 0, 7, 1, 7, a, a), 0);
  EXPECT_EQ(Pixels(a), std::vector<uint8_t>(64, 0));
#else
  EXPECT_DEATH(FillRect(state, 4, 8, 0, 0), "FillRect");
  EXPECT_DEATH(FillRect(state, 0, 0, -1, 0), "FillRect");
  EXPECT_DEATH(CopyRect(state, 0, 7, 0, 7, 1, 7, a, a), "CopyRect");
#endif
}

}  // namespace
}  // namespace qshe::testing
