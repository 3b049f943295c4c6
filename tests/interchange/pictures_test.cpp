// Bitmaps are described with designated initializers that leave most fields at their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>

#include "../document/test_files.h"
#include "bmp_builder.h"
#include "display/game_palette.h"
#include "document/canvas.h"
#include "interchange/bitmap_export.h"
#include "interchange/bitmap_import.h"
#include "interchange/bmp_codec.h"
#include "interchange/png_codec.h"
#include "platform/headless/headless.h"

namespace qshe::testing {
namespace {

// Random colours with a few exact duplicates, so ties really happen.
GamePalette TestPalette(unsigned seed = 7) {
  GamePalette p{};
  std::mt19937 rng(seed);
  for (auto& v : p) v = static_cast<uint8_t>(rng());
  for (int i : {40, 41, 200, 245}) std::copy_n(p.begin() + 3 * 12, 3, p.begin() + 3 * i);
  return p;
}

TEST(ColorMatching, EqualsThePlainRuleOverTheCubeAndEveryGameColor) {
  // A palette of random colours and one crowded into a corner of the cube
  // (many near-ties, large cells of candidates).
  GamePalette crowded{};
  for (int i = 0; i < 256; ++i) crowded[3 * i] = crowded[3 * i + 1] = crowded[3 * i + 2] = static_cast<uint8_t>(i / 8);
  for (const GamePalette& palette : {TestPalette(), TestPalette(99), crowded}) {
    ColorMatcher m(palette);
    for (int r = 0; r < 256; r += 3)
      for (int g = 0; g < 256; g += 3)
        for (int b = 0; b < 256; b += 3)
          ASSERT_EQ(m.Nearest(uint8_t(r), uint8_t(g), uint8_t(b)),
                    FindNearestColorPlain(palette, uint8_t(r), uint8_t(g), uint8_t(b)))
              << r << "," << g << "," << b;
    for (int i = 0; i < 256; ++i) {
      const uint8_t* c = palette.data() + 3 * i;
      ASSERT_EQ(m.Nearest(c[0], c[1], c[2]), FindNearestColorPlain(palette, c[0], c[1], c[2])) << i;
    }
  }
}

TEST(ColorMatching, EqualColorsGoToTheHighestIndexAndOnlyGameColorsComeOut) {
  GamePalette p = TestPalette();
  ColorMatcher m(p);
  // Entry 12 is repeated at 40, 41, 200 and 245.
  EXPECT_EQ(m.Nearest(p[36], p[37], p[38]), 245);
  // The static colours never answer, even an exact match.
  p[3 * 5] = 1, p[3 * 5 + 1] = 2, p[3 * 5 + 2] = 3;
  uint8_t got = ColorMatcher(p).Nearest(1, 2, 3);
  EXPECT_GE(got, 10);
  EXPECT_LE(got, 245);
}

// The random palette with every grey the reading tests use, and pure red
// and blue, as exact colours of their own: each value the tests expect is an
// index of its own, so a pixel read from the wrong place shows.
constexpr int kReaderGreys[] = {0, 1, 2, 7, 9, 10, 20, 50, 100, 200, 255};
GamePalette ReaderPalette() {
  GamePalette p = TestPalette();
  int index = 100;
  for (int v : kReaderGreys) p[3 * index] = p[3 * index + 1] = p[3 * index + 2] = static_cast<uint8_t>(v), ++index;
  const uint8_t red[3] = {255, 0, 0}, blue[3] = {0, 0, 255};
  std::copy_n(red, 3, p.begin() + 3 * 130);
  std::copy_n(blue, 3, p.begin() + 3 * 131);
  return p;
}

class BitmapRead : public ::testing::Test {
 protected:
  GamePalette palette = ReaderPalette();
  ColorMatcher colors{palette};

  std::vector<uint8_t> Match(const std::vector<uint8_t>& file, bool transparent) {
    PictureResult r = DecodePicture(file);
    EXPECT_TRUE(r.ok()) << PictureErrorMessage(r, "test");
    return r.ok() ? MatchPicture(r.picture, colors, transparent) : std::vector<uint8_t>{};
  }
  uint8_t Grey(int v) { return colors.Nearest(uint8_t(v), uint8_t(v), uint8_t(v)); }
};

TEST_F(BitmapRead, EveryValueTheTestsExpectIsAnIndexOfItsOwn) {
  std::vector<uint8_t> seen;
  for (int v : kReaderGreys) seen.push_back(Grey(v));
  seen.push_back(colors.Nearest(255, 0, 0));
  seen.push_back(colors.Nearest(0, 0, 255));
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
}

TEST_F(BitmapRead, EightBitPaddingZeroColorsUsedAndIndexZeroTransparency) {
  // 3 x 2, one padding byte per row; "0 colours used" means a full table.
  BmpSpec s{.width = 3, .height = 2, .table = GreyTable(256), .pixels = {0, 100, 255, 9, 200, 0, 7, 50, 9}};
  s.pixels.resize(8);
  s.pixels = {0, 100, 255, 0xEE, 200, 0, 7, 0xEE};
  auto file = MakeBmp(s);
  EXPECT_EQ(Match(file, false), (std::vector<uint8_t>{Grey(0), Grey(100), Grey(255), Grey(200), Grey(0), Grey(7)}));
  // Index 0 turns transparent whatever colour entry 0 holds.
  s.table[0] = s.table[1] = s.table[2] = 255;
  EXPECT_EQ(MakeBmp(s).size(), file.size());
  EXPECT_EQ(Match(MakeBmp(s), true), (std::vector<uint8_t>{0, Grey(100), Grey(255), Grey(200), 0, Grey(7)}));
}

TEST_F(BitmapRead, TwentyFourBitKeyColorIsTheBottomRightPixelEverywhere) {
  // Bottom row: red, white; top row: white, blue. Rows padded to 8 bytes.
  BmpSpec s{.width = 2, .height = 2, .bits = 24,
            .pixels = {0, 0, 255, 255, 255, 255, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0}};
  const uint8_t red = colors.Nearest(255, 0, 0), blue = colors.Nearest(0, 0, 255);
  EXPECT_EQ(Match(MakeBmp(s), true), (std::vector<uint8_t>{red, 0, 0, blue}));
  EXPECT_EQ(Match(MakeBmp(s), false), (std::vector<uint8_t>{red, Grey(255), Grey(255), blue}));
}

TEST_F(BitmapRead, HeadersTablesOffsetsAndRowOrdersThatOtherProgramsWrite) {
  const uint8_t a = Grey(10), b = Grey(20), black = Grey(0);
  struct Case {
    const char* what;
    BmpSpec spec;
    std::vector<uint8_t> expected;
  };
  const std::vector<Case> cases = {
      {"top-down rows", {.width = 1, .height = -2, .table = GreyTable(256), .pixels = {10, 0, 0, 0, 20, 0, 0, 0}},
       {b, a}},
      {"24-bit behind a colour table, at its offset",
       {.width = 1, .height = 1, .bits = 24, .colorsUsed = 2, .table = GreyTable(2), .pixels = {10, 10, 10, 0}},
       {a}},
      {"V5 header", {.width = 1, .height = 1, .bits = 24, .headerSize = 124, .pixels = {20, 20, 20, 0}}, {b}},
      {"OS/2 core header, 3-byte table",
       {.width = 2, .height = 1, .headerSize = 12, .table = {10, 10, 10, 20, 20, 20}, .pixels = {1, 0, 0, 0}},
       {b, a}},
      {"short table: values past it are black",
       {.width = 2, .height = 1, .colorsUsed = 1, .table = {20, 20, 20, 0}, .pixels = {0, 200, 0, 0}},
       {b, black}},
      {"table declaring more than 256 entries",
       {.width = 1, .height = 1, .colorsUsed = 100000, .table = GreyTable(256), .pixels = {20, 0, 0, 0}},
       {b}},
      {"1-bit", {.width = 9, .height = 1, .bits = 1, .table = {10, 10, 10, 0, 20, 20, 20, 0},
                 .pixels = {0b10100000, 0b10000000, 0, 0}},
       {b, a, b, a, a, a, a, a, b}},
      {"4-bit", {.width = 3, .height = 1, .bits = 4, .colorsUsed = 3, .table = GreyTable(3),
                 .pixels = {0x21, 0x00, 0, 0}},
       {Grey(2), Grey(1), Grey(0)}},
      {"RLE8 with a run, a literal and a skip",
       {.width = 4, .height = 2, .compression = 1, .table = GreyTable(256),
        .pixels = {2, 10, 0, 3, 20, 10, 20, 0, 0, 0, 0, 1}},
       {a, a, b, a, black, black, black, black}},
      {"RLE4", {.width = 3, .height = 1, .bits = 4, .compression = 2, .table = GreyTable(16),
                .pixels = {3, 0x12, 0, 1}},
       {Grey(1), Grey(2), Grey(1)}},
      {"16-bit 5-5-5", {.width = 1, .height = 1, .bits = 16, .pixels = {0xFF, 0x7F, 0, 0}}, {Grey(255)}},
      {"16-bit 5-6-5 bit fields",
       {.width = 1, .height = 1, .bits = 16, .compression = 3,
        .extra = {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}, .pixels = {0xFF, 0xFF, 0, 0}},
       {Grey(255)}},
      {"32-bit, unused fourth byte", {.width = 1, .height = 1, .bits = 32, .pixels = {20, 20, 20, 0}}, {b}},
  };
  for (const auto& c : cases) EXPECT_EQ(Match(MakeBmp(c.spec), false), c.expected) << c.what;
}

TEST_F(BitmapRead, ThirtyTwoBitAlphaDecidesTransparencyWhenItIsUsed) {
  // Bottom-right is opaque white; the alpha-0 pixel is red.
  BmpSpec s{.width = 2, .height = 1, .bits = 32, .pixels = {0, 0, 255, 0, 255, 255, 255, 255}};
  EXPECT_EQ(Match(MakeBmp(s), true), (std::vector<uint8_t>{0, Grey(255)}));
  // All alpha the same: the key colour rule again.
  s.pixels[3] = 255;
  EXPECT_EQ(Match(MakeBmp(s), true), (std::vector<uint8_t>{colors.Nearest(255, 0, 0), 0}));
}

// ----- palettised and run-length rows, index by index -----------------------
//
// Read without matching, so the colour table's indices themselves are
// compared: the bit and nibble order, row padding, runs, literals with their
// padding, and the escapes that end a line, jump, and end the picture.

std::vector<uint8_t> Indices(const BmpSpec& spec) {
  PictureResult r = DecodeBmp(MakeBmp(spec));
  EXPECT_TRUE(r.ok()) << PictureErrorMessage(r, "test");
  EXPECT_TRUE(r.picture.indexed);
  return r.picture.pixels;
}

TEST(BitmapIndices, OneBitRowsTakeTheHighBitFirstAndSkipTheirPadding) {
  // 10 x 2, bottom row first; each row 2 bytes of pixels and 2 of padding.
  BmpSpec s{.width = 10, .height = 2, .bits = 1, .table = {10, 10, 10, 0, 20, 20, 20, 0},
            .pixels = {0b10110010, 0b01000000, 0xFF, 0xFF, 0b01001101, 0b10111111, 0xFF, 0xFF}};
  EXPECT_EQ(Indices(s), (std::vector<uint8_t>{1, 0, 1, 1, 0, 0, 1, 0, 0, 1,  //
                                              0, 1, 0, 0, 1, 1, 0, 1, 1, 0}));
}

TEST(BitmapIndices, FourBitRowsTakeTheHighNibbleFirst) {
  BmpSpec s{.width = 5, .height = 2, .bits = 4, .table = GreyTable(16),
            .pixels = {0x12, 0x34, 0x5F, 0xFF, 0xAB, 0xCD, 0xEF, 0xFF}};
  EXPECT_EQ(Indices(s), (std::vector<uint8_t>{1, 2, 3, 4, 5, 10, 11, 12, 13, 14}));
}

TEST(BitmapIndices, RunLengthFourBitRunsAlternateAndLiteralsArePaddedToWords) {
  // Row 0: a run of four alternating 1 and 2, then a literal of five nibbles
  // (three bytes and one of padding); row 1: a run of three that alternates
  // 15 and 0, and the picture ends with the rest of it untouched (0).
  BmpSpec s{.width = 9, .height = 3, .bits = 4, .compression = 2, .table = GreyTable(16),
            .pixels = {4, 0x12, 0, 5, 0x67, 0x89, 0xA0, 0x00, 0, 0, 3, 0xF0, 0, 1}};
  EXPECT_EQ(Indices(s), (std::vector<uint8_t>{1, 2, 1, 2, 6, 7, 8, 9, 10,  //
                                              15, 0, 15, 0, 0, 0, 0, 0, 0,  //
                                              0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(BitmapIndices, RunLengthDeltaEscapesMoveRightAndUpLeavingZeros) {
  // RLE8: two 9s, a move 2 right and 1 up, two 7s, end of line, a literal
  // of three (padded to four bytes) on the top row, end of picture.
  BmpSpec eight{.width = 6, .height = 3, .compression = 1, .table = GreyTable(256),
                .pixels = {2, 9, 0, 2, 2, 1, 2, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}};
  EXPECT_EQ(Indices(eight), (std::vector<uint8_t>{9, 9, 0, 0, 0, 0,  //
                                                  0, 0, 0, 0, 7, 7,  //
                                                  1, 2, 3, 0, 0, 0}));
  // RLE4: the same moves with nibbles.
  BmpSpec four{.width = 6, .height = 3, .bits = 4, .compression = 2, .table = GreyTable(16),
               .pixels = {2, 0x99, 0, 2, 2, 1, 2, 0x78, 0, 0, 0, 3, 0x12, 0x30, 0, 1}};
  EXPECT_EQ(Indices(four), (std::vector<uint8_t>{9, 9, 0, 0, 0, 0,  //
                                                 0, 0, 0, 0, 7, 8,  //
                                                 1, 2, 3, 0, 0, 0}));
  // A jump past the last row ends the picture; what is left stays 0.
  BmpSpec past{.width = 2, .height = 2, .compression = 1, .table = GreyTable(256),
               .pixels = {1, 5, 0, 2, 0, 5, 2, 6}};
  EXPECT_EQ(Indices(past), (std::vector<uint8_t>{5, 0, 0, 0}));
}

TEST(BrokenPictures, EveryOneIsRefusedWithItsReason) {
  auto good = [] { return BmpSpec{.width = 2, .height = 2, .table = GreyTable(256), .pixels = std::vector<uint8_t>(8)}; };
  auto with = [&](auto change) {
    BmpSpec s = good();
    change(s);
    return MakeBmp(s);
  };
  std::vector<uint8_t> truncated = MakeBmp(good());
  truncated.resize(truncated.size() - 5);
  std::vector<uint8_t> headerCut = MakeBmp(good());
  headerCut.resize(30);
  const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    PictureError error;
  };
  const std::vector<Case> cases = {
      {"no signature", {'G', 'I', 'F', '8'}, PictureError::NotAPicture},
      {"empty file", {}, PictureError::NotAPicture},
      {"256 wide", with([](BmpSpec& s) { s.width = 256; }), PictureError::TooBig},
      {"256 tall", with([](BmpSpec& s) { s.height = 256; }), PictureError::TooBig},
      {"256 tall top-down", with([](BmpSpec& s) { s.height = -256; }), PictureError::TooBig},
      {"0 wide", with([](BmpSpec& s) { s.width = 0; }), PictureError::BadSize},
      {"0 tall", with([](BmpSpec& s) { s.height = 0; }), PictureError::BadSize},
      {"negative width", with([](BmpSpec& s) { s.width = -2; }), PictureError::BadSize},
      {"JPEG inside", with([](BmpSpec& s) { s.compression = 4; }), PictureError::Compression},
      {"RLE8 on 24 bits", with([](BmpSpec& s) { s.bits = 24, s.compression = 1; }), PictureError::Compression},
      {"2-bit", with([](BmpSpec& s) { s.bits = 2; }), PictureError::Depth},
      {"64-bit", with([](BmpSpec& s) { s.bits = 64; }), PictureError::Depth},
      {"last row missing", truncated, PictureError::Damaged},
      {"headers cut", headerCut, PictureError::Damaged},
      {"odd header size", with([](BmpSpec& s) { s.headerSize = 20; }), PictureError::Damaged},
      {"table cut", with([](BmpSpec& s) { s.table.resize(100), s.pixels.clear(), s.offset = 0; }),
       PictureError::Damaged},
      {"pixel offset past the end", with([](BmpSpec& s) { s.offset = 5000; }), PictureError::Damaged},
      {"RLE without its end",
       with([](BmpSpec& s) { s.compression = 1, s.pixels = {2, 5, 0, 0}; }), PictureError::Damaged},
      {"PNG cut after its signature", png, PictureError::Damaged},
  };
  for (const auto& c : cases) {
    PictureResult r = DecodePicture(c.file);
    EXPECT_EQ(r.error, c.error) << c.what;
    EXPECT_NE(PictureErrorMessage(r, "/x/pic.bmp").find("(/x/pic.bmp)"), std::string::npos) << c.what;
  }
  // The messages name what is read.
  EXPECT_EQ(PictureErrorMessage(PictureFailure(PictureError::TooBig), "a.bmp"),
            "This bitmap is too big. The maximum size of a bitmap is 255 x 255 pixels. (a.bmp)");
  EXPECT_EQ(PictureErrorMessage(PictureFailure(PictureError::Depth), "a.bmp"),
            "Unsupported bitmap depth. Only 1-, 4-, 8-, 16-, 24- and 32-bit pictures are supported. (a.bmp)");
  // A PNG larger than a shape is refused the same way.
  std::vector<uint8_t> table(768, 0);
  std::vector<uint8_t> wide(256, 1);
  EXPECT_EQ(DecodePicture(*EncodeIndexedPng({256, 1, wide.data(), table, {}})).error, PictureError::TooBig);
  EXPECT_TRUE(DecodePicture(*EncodeIndexedPng({255, 1, wide.data(), table, {}})).ok());
}

TEST(BrokenPictures, LeaveTheShapeAndTheCanvasAsTheyWere) {
  TempDir dir;
  platform::HeadlessPlatform hp;
  Document doc;
  Canvas canvas;
  canvas.pixels.fill(77);
  AllocateShape(doc.list.slots[3], 1, 1);
  doc.list.slots[3].pixels[0] = 55;
  doc.list.slots[3].offsetX = 9;
  std::vector<uint8_t> file = MakeBmp({.width = 4, .height = 4, .bits = 24, .pixels = std::vector<uint8_t>(48)});
  file.resize(file.size() - 1);
  WriteBytes(dir.File("cut.bmp"), file);
  ColorMatcher colors(TestPalette());
  for (int target : {3, -1})
    EXPECT_FALSE(LoadBitmapFile(doc, canvas, hp, colors, dir.File("cut.bmp"), true, target));
  EXPECT_EQ(hp.messages.size(), 2u);
  EXPECT_NE(hp.messages[0].text.find("cut.bmp"), std::string::npos);
  EXPECT_EQ(doc.list.slots[3].pixels[0], 55);
  EXPECT_EQ(doc.list.slots[3].offsetX, 9);
  EXPECT_EQ(canvas.At(0, 0), 77);
  EXPECT_EQ(doc.state.modified, kUnmodified);
  // A file that is not there changes nothing and says nothing.
  EXPECT_FALSE(LoadBitmapFile(doc, canvas, hp, colors, dir.File("none.bmp"), true, -1));
  EXPECT_EQ(hp.messages.size(), 2u);
}

TEST(PictureLoad, GoesToTheShapeOrTheCanvasTopLeft) {
  TempDir dir;
  platform::HeadlessPlatform hp;
  Document doc;
  Canvas canvas;
  canvas.pixels.fill(77);
  doc.list.slots[2].offsetX = 5;
  doc.list.slots[2].gettable = 1;
  // 2 x 3, bottom row first: values 1..6 on a grey table.
  WriteBytes(dir.File("p.bmp"), MakeBmp({.width = 2, .height = 3, .table = GreyTable(256),
                                          .pixels = {1, 2, 0, 0, 3, 4, 0, 0, 5, 6, 0, 0}}));
  GamePalette palette = TestPalette();
  ColorMatcher colors(palette);
  auto grey = [&](int v) { return colors.Nearest(uint8_t(v), uint8_t(v), uint8_t(v)); };
  ASSERT_TRUE(LoadBitmapFile(doc, canvas, hp, colors, dir.File("p.bmp"), false, 2));
  const Shape& s = doc.list.slots[2];
  EXPECT_EQ(s.width, 2);
  EXPECT_EQ(s.height, 3);
  EXPECT_EQ(s.offsetX, 0);
  EXPECT_EQ(s.gettable, 0);
  EXPECT_EQ(s.pixels[5], grey(6));
  EXPECT_EQ(doc.state.modified, kModified);
  ASSERT_TRUE(LoadBitmapFile(doc, canvas, hp, colors, dir.File("p.bmp"), false, -1));
  EXPECT_EQ(canvas.At(0, 253), grey(1));
  EXPECT_EQ(canvas.At(1, 255), grey(6));
  EXPECT_EQ(canvas.At(2, 255), 0);
  EXPECT_EQ(canvas.At(0, 0), 0);
}

Shape TestShape(int w, int h) {
  Shape s;
  AllocateShape(s, w, h);
  for (int i = 0; i < w * h; ++i) s.pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(i % 256);
  return s;
}

TEST(PictureExport, BitmapBytesAndPaddingOfAThreePixelWideShape) {
  GamePalette palette = TestPalette();
  Shape s = TestShape(3, 5);
  std::vector<uint8_t> b = EncodeShapeBitmap(s, palette);
  auto u32 = [&](size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; };
  ASSERT_EQ(b.size(), 4u * 5 + 1078);
  EXPECT_EQ(u32(2), 4u * 5 + 1078);
  EXPECT_EQ(u32(10), 1078u);
  EXPECT_EQ(u32(34), 15u);
  EXPECT_EQ(u32(38), 72u);
  EXPECT_EQ(u32(46), 256u);
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + 54, b.begin() + 58), (std::vector<uint8_t>{186, 144, 199, 0}));
  EXPECT_EQ(b[54 + 4 * 7], palette[3 * 7 + 2]);
  EXPECT_EQ(b[56 + 4 * 7], palette[3 * 7]);
  // Row 1 (the second from the bottom) after one padding byte.
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + 1078, b.begin() + 1086), (std::vector<uint8_t>{0, 1, 2, 0, 3, 4, 5, 0}));
}

TEST(PictureExport, BitmapAndPngComeBackAsTheSameIndices) {
  GamePalette palette = TestPalette();
  ColorMatcher colors(palette);
  Shape s = TestShape(16, 16);
  for (bool png : {false, true}) {
    std::vector<uint8_t> file = png ? *EncodeShapePng(s, palette) : EncodeShapeBitmap(s, palette);
    PictureResult r = DecodePicture(file);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.picture.indexed);
    EXPECT_EQ(std::vector<uint8_t>(r.picture.pixels), std::vector<uint8_t>(s.pixels.get(), s.pixels.get() + 256));
    std::vector<uint8_t> back = MatchPicture(r.picture, colors, false);
    for (int i = 0; i < 256; ++i) {
      const uint8_t* c = i == 0 ? kExportColor0 : palette.data() + 3 * i;
      EXPECT_EQ(back[static_cast<size_t>(i)], FindNearestColorPlain(palette, c[0], c[1], c[2])) << i;
      if (i >= 10 && i <= 245 && i != 12 && i != 40 && i != 41 && i != 200) {
        EXPECT_EQ(back[static_cast<size_t>(i)], i);
      }
    }
  }
}

TEST(PictureExport, AnUnwritableTargetKeepsTheOldFileAndSaysSo) {
  TempDir dir;
  platform::HeadlessPlatform hp;
  GamePalette palette = TestPalette();
  Shape s = TestShape(2, 2);
  EXPECT_TRUE(SaveShapeBitmap(hp.platform(), palette, s, 0, dir.File("a.bmp")));
  EXPECT_EQ(ReadBytes(dir.File("a.bmp")), EncodeShapeBitmap(s, palette));
  EXPECT_FALSE(SaveShapeBitmap(hp.platform(), palette, s, 0, dir.File("no/such/dir/a.bmp")));
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_EQ(hp.messages[0].text.rfind("Error while saving the bitmap - File could not be saved: ", 0), 0u);
  // A longer old file is replaced whole.
  WriteBytes(dir.File("b.bmp"), std::vector<uint8_t>(5000, 1));
  EXPECT_TRUE(SaveShapeBitmap(hp.platform(), palette, s, 0, dir.File("b.bmp")));
  EXPECT_EQ(ReadBytes(dir.File("b.bmp")).size(), 4u * 2 + 1078);
}

// ----- pictures written by ImageMagick --------------------------------------

bool HaveImageMagick() { return std::system("convert -version > /dev/null 2>&1") == 0; }

// What ImageMagick itself reads back: red, green, blue, alpha per pixel, top row first.
std::vector<uint8_t> MagickPixels(const std::string& path) {
  std::string out = path + ".rgba";
  std::string cmd = "convert '" + path + "' -depth 8 rgba:'" + out + "'";
  if (std::system(cmd.c_str()) != 0) return {};
  return ReadBytes(out);
}

TEST(ImageMagickPictures, EveryDepthReadsAsImageMagickReadsIt) {
  if (!HaveImageMagick()) {
    GTEST_SKIP() << "ImageMagick's convert is not installed";
  }
  TempDir dir;
  const std::string source = dir.File("source.png");
  // 37 x 23: odd sizes exercise every row padding; a gradient with a hole of
  // transparency for the formats that keep alpha.
  std::string make = "convert -size 37x23 gradient:red-blue \\( -size 37x23 gradient:yellow-black -rotate 90 "
                     "-resize 37x23! \\) -compose blend -define compose:args=50 -composite "
                     "-fill none -draw 'rectangle 3,3 8,8' -alpha on -depth 8 '" + source + "'";
  ASSERT_EQ(std::system(make.c_str()), 0);
  const std::vector<std::pair<const char*, const char*>> kinds = {
      {"bmp24.bmp", "-alpha off -type truecolor BMP3:"},
      {"bmp32.bmp", "-type truecoloralpha BMP:"},
      {"bmp8.bmp", "-alpha off -colors 200 -type palette BMP3:"},
      {"bmp8rle.bmp", "-alpha off -colors 200 -type palette -compress RLE BMP3:"},
      {"bmp4.bmp", "-alpha off -colors 16 -type palette BMP3:"},
      {"bmp1.bmp", "-alpha off -type bilevel BMP3:"},
      {"bmp565.bmp", "-alpha off -define bmp:subtype=RGB565 BMP:"},
      {"bmp555.bmp", "-alpha off -define bmp:subtype=RGB555 BMP:"},
      {"bmp2.bmp", "-alpha off -colors 100 -type palette BMP2:"},
      {"png8.png", "-colors 100 PNG8:"},
      {"png24.png", "-alpha off PNG24:"},
      {"png32.png", "PNG32:"},
      {"grey.png", "-alpha off -type grayscale PNG:"},
      {"png48.png", "-alpha off -depth 16 PNG48:"},
      {"png2bit.png", "-alpha off -colors 4 -depth 2 PNG8:"},
  };
  for (const auto& [name, options] : kinds) {
    const std::string path = dir.File(name);
    std::string opts = options;
    std::string prefix = opts.substr(opts.rfind(' ') + 1);
    opts = opts.substr(0, opts.rfind(' ') + 1);
    std::string cmd = "convert '" + source + "' " + opts + prefix + "'" + path + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::vector<uint8_t> expected = MagickPixels(path);
    ASSERT_EQ(expected.size(), 37u * 23 * 4) << name;
    PictureResult r = DecodePicture(ReadBytes(path));
    ASSERT_TRUE(r.ok()) << name << ": " << PictureErrorMessage(r, path);
    const Picture& p = r.picture;
    ASSERT_EQ(p.width, 37);
    ASSERT_EQ(p.height, 23);
    int wrong = 0;
    for (int y = 0; y < 23; ++y) {
      for (int x = 0; x < 37; ++x) {
        const uint8_t* want = expected.data() + 4 * (y * 37 + x);
        const uint8_t* row = p.Row(22 - y);
        const uint8_t* got = p.indexed ? p.palette.data() + 3 * row[x] : row + 4 * x;
        bool same = got[0] == want[0] && got[1] == want[1] && got[2] == want[2];
        if (!p.indexed && p.alphaUsed) same = same || (got[3] == 0 && want[3] == 0);
        if (!same && wrong++ < 3)
          ADD_FAILURE() << name << " at " << x << "," << y << ": " << int(got[0]) << " " << int(got[1]) << " "
                        << int(got[2]) << " vs " << int(want[0]) << " " << int(want[1]) << " " << int(want[2]);
      }
    }
  }
}

}  // namespace
}  // namespace qshe::testing
