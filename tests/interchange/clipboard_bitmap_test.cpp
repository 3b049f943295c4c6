// Clipboard bitmaps of every kind other programs hand over, turned into
// palette indices, and the editor's own bitmap and index block.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "bmp_builder.h"
#include "interchange/clipboard_bitmap.h"
#include "interchange/png_codec.h"
#include "png_builder.h"

// The bitmaps below name only the fields they set; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace qshe;
using qshe::testing::BmpSpec;
using qshe::testing::GreyTable;
using qshe::testing::MakeBmp;
using qshe::testing::MakePng;
using qshe::testing::PngSpec;
using qshe::testing::RgbaPng;

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

TEST(ClipboardBitmap, DepthsBelowEightAreTakenAndDamagedBitmapsGiveNothingWithTheirReason) {
  // Bottom row first; the high bits are the leftmost pixel.
  auto four = ClipboardBitmapToIndices(
      Dib({.width = 3, .height = 2, .bits = 4, .colorsUsed = 4,
           .table = {20, 20, 20, 0, 30, 30, 30, 0, 40, 40, 40, 0, 186, 144, 199, 0},
           .pixels = {0x12, 0x30, 0, 0, 0x21, 0x00, 0, 0}}),
      Greys());
  ASSERT_TRUE(four);
  EXPECT_EQ(four->pixels, (std::vector<uint8_t>{30, 40, 0, 40, 30, 20}));
  auto one = ClipboardBitmapToIndices(
      Dib({.width = 10, .height = 1, .bits = 1, .table = {50, 50, 50, 0, 60, 60, 60, 0}, .pixels = {0b10110000, 0b01000000, 0, 0}}),
      Greys());
  ASSERT_TRUE(one);
  EXPECT_EQ(one->pixels, (std::vector<uint8_t>{60, 50, 60, 60, 50, 50, 50, 50, 50, 60}));

  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"2-bit", Dib({.width = 2, .height = 1, .bits = 2, .table = std::vector<uint8_t>(16, 7), .pixels = {0x40, 0, 0, 0}})},
      {"rows cut short", Dib({.width = 4, .height = 4, .bits = 24, .pixels = std::vector<uint8_t>(40, 9)})},
      {"huge size, no rows", Dib({.width = 0x7FFFFFFF, .height = 0x7FFFFFFF, .bits = 24})},
      {"unknown header", Dib({.width = 2, .height = 1, .bits = 24, .headerSize = 20, .pixels = {1, 2, 3, 4}})},
      {"zero width", Dib({.width = 0, .height = 1, .bits = 24})},
      {"three bytes", std::vector<uint8_t>(3, 40)},
      {"nothing", {}},
  };
  for (const auto& [what, dib] : cases) {
    std::string why;
    EXPECT_FALSE(ClipboardBitmapToIndices(dib, Greys(), &why)) << what;
    EXPECT_FALSE(why.empty()) << what;
  }
}

TEST(ClipboardBitmap, LargerBitmapsKeepTheirTopLeft255x255) {
  // 300 x 20: column x is grey 20 + x % 200.
  std::vector<uint8_t> wide;
  for (int row = 0; row < 20; ++row) {
    std::vector<uint8_t> r;
    for (int x = 0; x < 300; ++x) r.insert(r.end(), 3, static_cast<uint8_t>(20 + x % 200));
    wide.insert(wide.end(), r.begin(), r.end());
  }
  auto block = ClipboardBitmapToIndices(Dib({.width = 300, .height = 20, .bits = 24, .pixels = wide}), Greys());
  ASSERT_TRUE(block);
  EXPECT_EQ(block->width, 255);
  EXPECT_EQ(block->height, 20);
  EXPECT_EQ(block->pixels[0], 20);
  EXPECT_EQ(block->pixels[254], 20 + 254 % 200);
  EXPECT_EQ(block->pixels[255], 20);  // the second row starts with column 0 again

  // 2 x 300, bottom-up: row r is grey 20 + r % 200; the top 255 rows stay.
  std::vector<uint8_t> tall;
  for (int row = 0; row < 300; ++row) {
    auto r = Pad(Bgr({20 + row % 200, 20 + row % 200}));
    tall.insert(tall.end(), r.begin(), r.end());
  }
  block = ClipboardBitmapToIndices(Dib({.width = 2, .height = 300, .bits = 24, .pixels = tall}), Greys());
  ASSERT_TRUE(block);
  EXPECT_EQ(block->height, 255);
  EXPECT_EQ(block->pixels[0], 20 + 45);               // picture row 45 is the kept bottom
  EXPECT_EQ(block->pixels[2 * 254], 20 + 299 % 200);  // and its top row the picture's
}

// ----- files other programs offer --------------------------------------------

std::array<uint8_t, 4> Rgba(int r, int g, int b, int a) {
  return {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b), static_cast<uint8_t>(a)};
}

TEST(ClipboardFile, PngAlphaZeroIsTransparentEvenWhenEveryPixelHasIt) {
  // 2 x 1, greys 30 and 40: all transparent, then only the right one.
  const std::vector<uint8_t> clear = RgbaPng(2, 1, [](uint32_t x, uint32_t) { return Rgba(30 + 10 * x, 30 + 10 * x, 30 + 10 * x, 0); });
  auto block = ClipboardFileToIndices(clear, Greys());
  ASSERT_TRUE(block);
  EXPECT_EQ(block->pixels, (std::vector<uint8_t>{0, 0}));
  const std::vector<uint8_t> half = RgbaPng(3, 1, [](uint32_t x, uint32_t) {
    return x == 2 ? Rgba(199, 144, 186, 255) : Rgba(30 + 10 * x, 30 + 10 * x, 30 + 10 * x, x == 1 ? 0 : 255);
  });
  block = ClipboardFileToIndices(half, Greys());
  ASSERT_TRUE(block);
  EXPECT_EQ(block->pixels, (std::vector<uint8_t>{30, 0, 0})) << "alpha 0 and the key colour";

  // Palettised: an entry whose transparency is 0 gives index 0.
  PngSpec indexed{.width = 3, .height = 1, .colorType = SPNG_COLOR_TYPE_INDEXED, .depth = 8, .rows = {0, 1, 2},
                  .palette = {50, 50, 50, 60, 60, 60, 70, 70, 70}, .alpha = {255, 0}};
  block = ClipboardFileToIndices(MakePng(indexed), Greys());
  ASSERT_TRUE(block);
  EXPECT_EQ(block->pixels, (std::vector<uint8_t>{50, 0, 70}));
}

TEST(ClipboardFile, ABitmapFileKeepsItsAlphaWhereItIsUsed) {
  // A 32-bit file as another program writes it: alpha 0 on the right pixel.
  const std::vector<uint8_t> used = MakeBmp({.width = 2, .height = 1, .bits = 32, .pixels = {30, 30, 30, 255, 40, 40, 40, 0}});
  auto block = ClipboardFileToIndices(used, Greys());
  ASSERT_TRUE(block);
  EXPECT_EQ(block->pixels, (std::vector<uint8_t>{30, 0}));
  // Alpha 0 everywhere is a fourth byte nobody filled in.
  const std::vector<uint8_t> unused = MakeBmp({.width = 2, .height = 1, .bits = 32, .pixels = {30, 30, 30, 0, 40, 40, 40, 0}});
  block = ClipboardFileToIndices(unused, Greys());
  ASSERT_TRUE(block);
  EXPECT_EQ(block->pixels, (std::vector<uint8_t>{30, 40}));
}

TEST(ClipboardFile, PngsOfAnySizeKeepTheirTopLeft255x255InterlacedOrNot) {
  auto colour = [](uint32_t x, uint32_t y) { return Rgba(10 + x % 230, 10 + y % 230, 10 + (x + y) % 230, 255); };
  for (bool interlaced : {false, true}) {
    for (auto [w, h] : {std::pair<uint32_t, uint32_t>{9000, 3}, {3, 9000}, {400, 300}}) {
      const std::vector<uint8_t> png = RgbaPng(w, h, colour, interlaced);
      PictureResult r = DecodePngTopLeft(png);
      ASSERT_TRUE(r.ok()) << w << " x " << h << ": " << PictureErrorMessage(r, "png");
      const Picture& p = r.picture;
      ASSERT_EQ(p.width, static_cast<int32_t>(std::min<uint32_t>(w, 255)));
      ASSERT_EQ(p.height, static_cast<int32_t>(std::min<uint32_t>(h, 255)));
      int wrong = 0;
      for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x) {
          // Rows bottom first: picture row 0 is the lowest kept row.
          const auto want = colour(static_cast<uint32_t>(x), static_cast<uint32_t>(p.height - 1 - y));
          if (std::memcmp(p.Row(y) + 4 * x, want.data(), 4) != 0 && wrong++ < 3)
            ADD_FAILURE() << w << " x " << h << (interlaced ? " interlaced" : "") << " at " << x << ", " << y;
        }
    }
  }
}

TEST(ClipboardFile, PalettisedAndDeepPngsAreCutTheSameWayWhenInterlaced) {
  // 4-bit palette, 1-bit palette and 16-bit RGB, each 300 x 270, read plain
  // and interlaced: the same top-left.
  auto packed = [](uint32_t w, uint32_t h, int bits, auto value) {
    const size_t stride = (w * static_cast<uint32_t>(bits) + 7) / 8;
    std::vector<uint8_t> rows(stride * h, 0);
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        const size_t bit = x * static_cast<size_t>(bits);
        rows[y * stride + bit / 8] |= static_cast<uint8_t>(value(x, y) << (8 - bits - static_cast<int>(bit % 8)));
      }
    return rows;
  };
  std::vector<uint8_t> palette;
  for (int k = 0; k < 16; ++k) palette.insert(palette.end(), {uint8_t(10 * k), uint8_t(5 * k), uint8_t(200 - k)});
  std::vector<PngSpec> specs = {
      {.width = 300, .height = 270, .colorType = SPNG_COLOR_TYPE_INDEXED, .depth = 4,
       .rows = packed(300, 270, 4, [](uint32_t x, uint32_t y) { return (x / 3 + y) % 16; }), .palette = palette},
      {.width = 300, .height = 270, .colorType = SPNG_COLOR_TYPE_INDEXED, .depth = 1,
       .rows = packed(300, 270, 1, [](uint32_t x, uint32_t y) { return (x * 7 + y) % 3 == 0 ? 1u : 0u; }),
       .palette = {0, 0, 0, 255, 255, 255}},
  };
  PngSpec deep{.width = 300, .height = 270, .colorType = SPNG_COLOR_TYPE_TRUECOLOR, .depth = 16};
  for (uint32_t y = 0; y < 270; ++y)
    for (uint32_t x = 0; x < 300; ++x)
      for (uint32_t v : {x * 200, y * 240, (x ^ y) * 97}) {
        // libspng takes 16-bit samples in the machine's order.
        const uint16_t sample = static_cast<uint16_t>(v);
        deep.rows.insert(deep.rows.end(), {0, 0});
        std::memcpy(deep.rows.data() + deep.rows.size() - 2, &sample, 2);
      }
  specs.push_back(deep);
  for (PngSpec& spec : specs) {
    PictureResult plain = DecodePngTopLeft(MakePng(spec));
    spec.interlaced = true;
    PictureResult laced = DecodePngTopLeft(MakePng(spec));
    ASSERT_TRUE(plain.ok() && laced.ok()) << int(spec.depth);
    EXPECT_EQ(plain.picture.width, 255);
    EXPECT_EQ(plain.picture.height, 255);
    EXPECT_EQ(plain.picture.pixels, laced.picture.pixels) << int(spec.depth);
    // The top-left pixel of the file is the first of the top row.
    const Picture& p = plain.picture;
    const uint8_t* topLeft = p.Row(254);
    if (spec.depth == 4) {
      EXPECT_EQ(topLeft[0], 0);
      EXPECT_EQ(topLeft[3], 1);
      EXPECT_EQ(p.Row(253)[0], 1);
    } else if (spec.depth == 16) {
      // 16-bit channels round to the nearest 8-bit value.
      EXPECT_EQ(topLeft[4], (200 + 128) / 257);
      EXPECT_EQ(p.Row(254 - 100)[1], (100 * 240 + 128) / 257);
    }
  }
}

TEST(ClipboardFile, AFileNoReaderCanTakeSaysWhy) {
  std::string why;
  // 2,000,000 pixels wide: no reader goes through rows that long.
  PngSpec spec{.width = 2000000, .height = 1, .colorType = SPNG_COLOR_TYPE_GRAYSCALE, .depth = 1};
  spec.rows.assign(250000, 0);
  EXPECT_FALSE(ClipboardFileToIndices(MakePng(spec), Greys(), &why));
  EXPECT_EQ(why, "It is too large to be read.");
  std::vector<uint8_t> cut = RgbaPng(20, 20, [](uint32_t, uint32_t) { return Rgba(1, 2, 3, 255); });
  cut.resize(cut.size() / 2);
  EXPECT_FALSE(ClipboardFileToIndices(cut, Greys(), &why));
  EXPECT_EQ(why.rfind("This picture file is damaged", 0), 0u) << why;
  EXPECT_FALSE(ClipboardFileToIndices(std::vector<uint8_t>{'G', 'I', 'F'}, Greys(), &why));
  EXPECT_EQ(why, "This file is not a windows bitmap.");
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
