// Clipboard bitmaps of every kind other programs hand over, turned into
// palette indices, and the editor's own bitmap and index block.
#include <gtest/gtest.h>

#include "bmp_builder.h"
#include "interchange/clipboard_bitmap.h"

// The bitmaps below name only the fields they set; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace qshe;
using qshe::testing::BmpSpec;
using qshe::testing::GreyTable;
using qshe::testing::MakeBmp;

namespace {

// Entry k is grey (k, k, k): a grey g of 10..245 matches index g.
GamePalette GreyPalette() {
  GamePalette p{};
  for (int k = 0; k < 256; ++k) p[3 * k] = p[3 * k + 1] = p[3 * k + 2] = static_cast<uint8_t>(k);
  return p;
}
const ColorMatcher& Greys() {
  static const ColorMatcher matcher(GreyPalette());
  return matcher;
}

// The clipboard carries the bitmap without the file header.
std::vector<uint8_t> Dib(const BmpSpec& spec) {
  std::vector<uint8_t> file = MakeBmp(spec);
  return std::vector<uint8_t>(file.begin() + 14, file.end());
}

std::vector<uint8_t> Bgr(std::initializer_list<int> greys) {
  std::vector<uint8_t> out;
  for (int g : greys) {
    const bool key = g < 0;  // the key colour
    out.push_back(key ? 186 : static_cast<uint8_t>(g));
    out.push_back(key ? 144 : static_cast<uint8_t>(g));
    out.push_back(key ? 199 : static_cast<uint8_t>(g));
  }
  return out;
}
std::vector<uint8_t> Pad(std::vector<uint8_t> row) {
  row.resize((row.size() + 3) / 4 * 4, 0);
  return row;
}
std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> rows) {
  std::vector<uint8_t> out;
  for (const auto& r : rows) out.insert(out.end(), r.begin(), r.end());
  return out;
}

TEST(ClipboardBitmap, EveryCommonKindOfBitmapGivesTheSameIndices) {
  // A 2 x 2 picture: bottom row greys 20 and 30, top row grey 40 and a
  // transparent pixel.
  const std::vector<uint8_t> expected = {20, 30, 40, 0};
  const auto bottom = Pad(Bgr({20, 30})), top = Pad(Bgr({40, -1}));
  BmpSpec bottomUp{.width = 2, .height = 2, .bits = 24, .pixels = Join({bottom, top})};
  BmpSpec topDown{.width = 2, .height = -2, .bits = 24, .pixels = Join({top, bottom})};
  // 32 bits: the alpha byte is the same everywhere, so it is unused; then
  // one pixel with alpha 0 among opaque ones.
  BmpSpec unusedAlpha{.width = 2, .height = 2, .bits = 32,
                      .pixels = {20, 20, 20, 0, 30, 30, 30, 0, 40, 40, 40, 0, 186, 144, 199, 0}};
  BmpSpec alpha{.width = 2, .height = 2, .bits = 32,
                .pixels = {20, 20, 20, 255, 30, 30, 30, 255, 40, 40, 40, 255, 99, 99, 99, 0}};
  // Bit fields naming red in the low byte: the key colour is found only
  // when the masks are followed.
  std::vector<uint8_t> masks = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0};
  BmpSpec bitFields{.width = 2, .height = 2, .bits = 32, .compression = 3, .extra = masks,
                    .pixels = {20, 20, 20, 0, 30, 30, 30, 0, 40, 40, 40, 0, 199, 144, 186, 0}};
  // 8 bits with a grey table whose entry 7 is the key colour, 40-byte and
  // 12-byte (three-byte entries) headers.
  std::vector<uint8_t> table = GreyTable(256);
  table[28] = 186, table[29] = 144, table[30] = 199;
  BmpSpec eight{.width = 2, .height = 2, .bits = 8, .table = table, .pixels = {20, 30, 0, 0, 40, 7, 0, 0}};
  std::vector<uint8_t> coreTable;
  for (size_t k = 0; k < 256; ++k) coreTable.insert(coreTable.end(), table.begin() + 4 * k, table.begin() + 4 * k + 3);
  BmpSpec core{.width = 2, .height = 2, .bits = 8, .headerSize = 12, .table = coreTable,
               .pixels = {20, 30, 0, 0, 40, 7, 0, 0}};
  const std::pair<const char*, BmpSpec> cases[] = {
      {"24-bit bottom-up", bottomUp}, {"24-bit top-down", topDown}, {"32-bit, alpha unused", unusedAlpha},
      {"32-bit with alpha", alpha},   {"32-bit bit fields", bitFields}, {"8-bit", eight},
      {"8-bit, 12-byte header", core},
  };
  for (const auto& [what, spec] : cases) {
    auto block = ClipboardBitmapToIndices(Dib(spec), Greys());
    ASSERT_TRUE(block) << what;
    EXPECT_EQ(block->width, 2) << what;
    EXPECT_EQ(block->height, 2) << what;
    EXPECT_EQ(block->pixels, expected) << what;
  }
  // 16 bits with bit fields (5-6-5): white and black.
  std::vector<uint8_t> masks565 = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  BmpSpec sixteen{.width = 2, .height = 1, .bits = 16, .compression = 3, .extra = masks565,
                  .pixels = {0xFF, 0xFF, 0, 0}};
  auto block = ClipboardBitmapToIndices(Dib(sixteen), Greys());
  ASSERT_TRUE(block);
  EXPECT_EQ(block->pixels, (std::vector<uint8_t>{245, 10}));
}

TEST(ClipboardBitmap, DepthsBelowEightAndDamagedBitmapsGiveNothing) {
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"4-bit", Dib({.width = 2, .height = 1, .bits = 4, .table = std::vector<uint8_t>(64, 7), .pixels = {0x12, 0, 0, 0}})},
      {"1-bit", Dib({.width = 2, .height = 1, .bits = 1, .table = std::vector<uint8_t>(8, 7), .pixels = {0x40, 0, 0, 0}})},
      {"rows cut short", Dib({.width = 4, .height = 4, .bits = 24, .pixels = std::vector<uint8_t>(40, 9)})},
      {"huge size, no rows", Dib({.width = 0x7FFFFFFF, .height = 0x7FFFFFFF, .bits = 24})},
      {"unknown header", Dib({.width = 2, .height = 1, .bits = 24, .headerSize = 20, .pixels = {1, 2, 3, 4}})},
      {"zero width", Dib({.width = 0, .height = 1, .bits = 24})},
      {"three bytes", std::vector<uint8_t>(3, 40)},
      {"nothing", {}},
  };
  for (const auto& [what, dib] : cases) EXPECT_FALSE(ClipboardBitmapToIndices(dib, Greys())) << what;
}

TEST(ClipboardBitmap, LargerBitmapsKeepTheirTopLeftPart) {
  // 300 x 20: column x is grey 20 + x % 200.
  std::vector<uint8_t> wide;
  for (int row = 0; row < 20; ++row) {
    std::vector<uint8_t> r;
    for (int x = 0; x < 300; ++x) r.insert(r.end(), 3, static_cast<uint8_t>(20 + x % 200));
    wide.insert(wide.end(), r.begin(), r.end());
  }
  auto block = ClipboardBitmapToIndices(Dib({.width = 300, .height = 20, .bits = 24, .pixels = wide}), Greys());
  ASSERT_TRUE(block);
  EXPECT_EQ(block->width, 256);
  EXPECT_EQ(block->height, 20);
  EXPECT_EQ(block->pixels[0], 20);
  EXPECT_EQ(block->pixels[255], 20 + 255 % 200);
  EXPECT_EQ(block->pixels[256], 20);  // the second row starts with column 0 again

  // 2 x 300, bottom-up: row r is grey 20 + r % 200; the top 256 rows stay.
  std::vector<uint8_t> tall;
  for (int row = 0; row < 300; ++row) {
    auto r = Pad(Bgr({20 + row % 200, 20 + row % 200}));
    tall.insert(tall.end(), r.begin(), r.end());
  }
  block = ClipboardBitmapToIndices(Dib({.width = 2, .height = 300, .bits = 24, .pixels = tall}), Greys());
  ASSERT_TRUE(block);
  EXPECT_EQ(block->height, 256);
  EXPECT_EQ(block->pixels[0], 20 + 44);             // picture row 44 is the kept bottom
  EXPECT_EQ(block->pixels[2 * 255], 20 + 299 % 200);  // and its top row the picture's
}

TEST(ClipboardBitmap, TheEditorsOwnBitmapAndIndexBlockComeBackUnchanged) {
  IndexBlock block{3, 2, {0, 11, 245, 100, 0, 37}};
  const std::vector<uint8_t> dib = IndicesToClipboardBitmap(block, GreyPalette());
  // 40-byte header, 24 bits, rows of 9 bytes padded to 12, bottom-up.
  ASSERT_EQ(dib.size(), 40u + 12 * 2);
  EXPECT_EQ(dib[0], 40);
  EXPECT_EQ(dib[14], 24);
  EXPECT_EQ(dib[8], 2);
  EXPECT_EQ((std::vector<uint8_t>(dib.begin() + 40, dib.begin() + 43)), (std::vector<uint8_t>{186, 144, 199}));
  auto back = ClipboardBitmapToIndices(dib, Greys());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->pixels, block.pixels);

  auto exact = DecodeIndexBlock(EncodeIndexBlock(block));
  ASSERT_TRUE(exact);
  EXPECT_EQ(exact->width, 3);
  EXPECT_EQ(exact->pixels, block.pixels);
  // Blocks that do not add up are refused.
  std::vector<uint8_t> bytes = EncodeIndexBlock(block);
  const std::pair<const char*, std::vector<uint8_t>> bad[] = {
      {"one index short", {bytes.begin(), bytes.end() - 1}},
      {"header only", {bytes.begin(), bytes.begin() + 8}},
      {"zero width", EncodeIndexBlock({0, 2, {}})},
      {"257 wide", EncodeIndexBlock({257, 1, std::vector<uint8_t>(257)})},
      {"empty", {}},
  };
  for (const auto& [what, b] : bad) EXPECT_FALSE(DecodeIndexBlock(b)) << what;
}

}  // namespace
