// The colour choices of the picture imports, on the game's own palette and
// on pictures an ordinary paint program (ImageMagick) wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <random>

#include "../document/test_files.h"
#include "display/game_palette.h"
#include "display/virtual_buffer.h"
#include "document/history.h"
#include "interchange/bitmap_import.h"
#include "interchange/color_reduction.h"
#include "interchange/picture_imports.h"
#include "platform/headless/headless.h"
#include "support_files.h"

namespace qshe::testing {
namespace {

const std::filesystem::path kData = std::filesystem::path(QSHE_TESTS_DIR) / "interchange" / "data";

GamePalette GameColorsOfTheEditor() {
  TempDir dir;
  for (const auto& [name, bytes] : gen::GenerateSupportFiles())
    if (name == "qshe.pcx") WriteBytes(dir.File("qshe.pcx"), bytes);
  return *GamePaletteFromPcx(dir.File("qshe.pcx"));
}

struct ReductionTest : ::testing::Test {
  static inline GamePalette palette = GameColorsOfTheEditor();
  ColorMatcher colors{palette};

  static Picture Read(const std::string& name) {
    PictureFile file = ReadPictureFile((kData / name).string());
    EXPECT_TRUE(file.opened && file.result.ok()) << name;
    return file.result.picture;
  }
  static ColorChoice Choice(Transparency t, ColorMethod m, platform::Rgb c = {}) { return {t, c, m}; }
  // The index at column x, row `top` counted from the top.
  static uint8_t At(const std::vector<uint8_t>& out, const Picture& p, int x, int top) {
    return out[static_cast<size_t>(p.height - 1 - top) * static_cast<size_t>(p.width) + static_cast<size_t>(x)];
  }
  // Mean distance per component of the two pictures after an 8 x 8 box blur:
  // how far the colour of an area is from the source's.
  double BlurredError(const Picture& p, const std::vector<uint8_t>& out) const {
    const std::vector<uint8_t> rgba = PictureRgba(p);
    double sum = 0;
    int n = 0;
    for (int y = 0; y + 8 <= p.height; ++y) {
      for (int x = 0; x + 8 <= p.width; ++x) {
        double want[3] = {}, got[3] = {};
        for (int j = 0; j < 8; ++j)
          for (int i = 0; i < 8; ++i) {
            const size_t k = static_cast<size_t>(y + j) * static_cast<size_t>(p.width) + static_cast<size_t>(x + i);
            for (int c = 0; c < 3; ++c) {
              want[c] += rgba[4 * k + static_cast<size_t>(c)];
              got[c] += palette[3 * out[k] + static_cast<size_t>(c)];
            }
          }
        for (int c = 0; c < 3; ++c) sum += std::abs(want[c] - got[c]) / 64.0;
        n += 3;
      }
    }
    return sum / n;
  }
};

constexpr ColorMethod kMethods[] = {ColorMethod::Nearest, ColorMethod::OrderedDither, ColorMethod::ErrorDiffusion};

TEST_F(ReductionTest, EveryMethodGivesOnlyGameColoursAndZeroOnlyWhereTheChoiceSays) {
  // A gradient and random noise, which push the dithers to the ends of the
  // cube where the reserved colours lie.
  Picture noise;
  noise.width = 97, noise.height = 61;
  noise.pixels.resize(4 * 97 * 61);
  std::mt19937 rng(3);
  for (auto& v : noise.pixels) v = static_cast<uint8_t>(rng());
  for (const Picture& p : {Read("im_gradient.bmp"), noise}) {
    for (ColorMethod m : kMethods) {
      const std::vector<uint8_t> out = ReduceColors(p, colors, Choice(Transparency::None, m));
      for (uint8_t v : out) ASSERT_TRUE(v >= kFirstGameColor && v <= kLastGameColor) << int(v);
      // "This colour": exactly the pixels of that colour, nothing else.
      const uint8_t* c = p.pixels.data() + 4 * 500;
      const ColorChoice keyed = Choice(Transparency::ThisColor, m, {c[0], c[1], c[2]});
      const std::vector<uint8_t> mask = TransparentPixels(p, keyed);
      const std::vector<uint8_t> cut = ReduceColors(p, colors, keyed);
      ASSERT_TRUE(mask[500]);
      for (size_t i = 0; i < cut.size(); ++i) ASSERT_EQ(cut[i] == 0, mask[i] != 0) << i;
    }
  }
}

TEST_F(ReductionTest, TheSamePictureAndChoicesGiveTheSameResultEveryTime) {
  const Picture p = Read("im_gradient.bmp");
  for (ColorMethod m : kMethods) {
    const ColorChoice c = Choice(Transparency::Automatic, m);
    const std::vector<uint8_t> first = ReduceColors(p, colors, c);
    const ColorMatcher again(palette);
    EXPECT_EQ(ReduceColors(p, again, c), first);
    EXPECT_EQ(ReduceColors(p, colors, c), first);
  }
}

TEST_F(ReductionTest, DitheringKeepsTheColourOfAreasOfASmoothGradient) {
  const Picture p = Read("im_gradient.bmp");
  const double nearest = BlurredError(p, ReduceColors(p, colors, Choice(Transparency::None, ColorMethod::Nearest)));
  const double diffusion =
      BlurredError(p, ReduceColors(p, colors, Choice(Transparency::None, ColorMethod::ErrorDiffusion)));
  const double ordered =
      BlurredError(p, ReduceColors(p, colors, Choice(Transparency::None, ColorMethod::OrderedDither)));
  EXPECT_LE(diffusion, nearest / 2) << diffusion << " against " << nearest;
  EXPECT_LT(ordered, nearest) << ordered << " against " << nearest;
  // Flat colours stay flat: nearest colour gives bands, a dither mixes.
  const std::vector<uint8_t> flat = ReduceColors(p, colors, Choice(Transparency::None, ColorMethod::Nearest));
  const std::vector<uint8_t> mixed =
      ReduceColors(p, colors, Choice(Transparency::None, ColorMethod::ErrorDiffusion));
  auto distinct = [](std::vector<uint8_t> v) {
    std::sort(v.begin(), v.end());
    return std::unique(v.begin(), v.end()) - v.begin();
  };
  EXPECT_GT(distinct(mixed), distinct(flat));
}

TEST_F(ReductionTest, AGameColourStaysItselfUnderEveryMethod) {
  // A flat picture of one game colour: no dither may speckle it.
  Picture p;
  p.width = 16, p.height = 16;
  p.pixels.resize(4 * 256);
  const uint8_t* c = palette.data() + 3 * 100;
  for (size_t i = 0; i < 256; ++i) std::copy_n(c, 3, &p.pixels[4 * i]);
  const uint8_t want = colors.Nearest(c[0], c[1], c[2]);
  for (ColorMethod m : kMethods) {
    const std::vector<uint8_t> out = ReduceColors(p, colors, Choice(Transparency::None, m));
    EXPECT_EQ(std::count(out.begin(), out.end(), want), 256) << static_cast<int>(m);
  }
}

TEST_F(ReductionTest, AFourBitBitmapWhoseEntryZeroIsTheSubject) {
  const Picture p = Read("im_entry0.bmp");
  ASSERT_TRUE(p.indexed);
  ASSERT_EQ(p.pixels[static_cast<size_t>(p.height - 1) * static_cast<size_t>(p.width)], 0) << "top-left is entry 0";
  // Automatic keeps the old rule: entry 0 goes, and with it the subject.
  const std::vector<uint8_t> automatic = ReduceColors(p, colors, {});
  EXPECT_EQ(At(automatic, p, 0, 0), 0);
  EXPECT_NE(At(automatic, p, 19, 15), 0) << "the white background stays";
  // None keeps the subject; This colour white takes the background instead.
  for (ColorMethod m : kMethods) {
    const std::vector<uint8_t> none = ReduceColors(p, colors, Choice(Transparency::None, m));
    EXPECT_EQ(std::count(none.begin(), none.end(), 0), 0);
    const std::vector<uint8_t> white = ReduceColors(p, colors, Choice(Transparency::ThisColor, m, {255, 255, 255}));
    EXPECT_NE(At(white, p, 0, 0), 0);
    EXPECT_NE(At(white, p, 3, 3), 0) << "the blue square";
    EXPECT_EQ(At(white, p, 19, 15), 0);
    EXPECT_EQ(At(white, p, 15, 3) == 0, false) << "the green point";
  }
  EXPECT_EQ(AutomaticRuleText(p), "colour-table entry 0 is transparent");
}

TEST_F(ReductionTest, APngWithAlpha) {
  const Picture p = Read("im_alpha.png");
  ASSERT_TRUE(p.alphaUsed);
  const std::vector<uint8_t> automatic = ReduceColors(p, colors, Choice(Transparency::Automatic, ColorMethod::ErrorDiffusion));
  EXPECT_EQ(At(automatic, p, 0, 0), 0);
  EXPECT_NE(At(automatic, p, 12, 10), 0);
  const std::vector<uint8_t> none = ReduceColors(p, colors, Choice(Transparency::None, ColorMethod::Nearest));
  EXPECT_NE(At(none, p, 0, 0), 0);
  EXPECT_EQ(AutomaticRuleText(p), "pixels of alpha 0 are transparent");
}

TEST_F(ReductionTest, ABitmapOnAKeyColourWithBlackInTheSubject) {
  const Picture p = Read("im_key.bmp");
  ASSERT_FALSE(p.indexed);
  const std::vector<uint8_t> automatic = ReduceColors(p, colors, {});
  EXPECT_EQ(At(automatic, p, 0, 0), 0) << "magenta, the bottom-right colour";
  EXPECT_NE(At(automatic, p, 6, 6), 0) << "black is a colour, not a hole";
  EXPECT_NE(At(automatic, p, 10, 10), 0);
  const std::vector<uint8_t> black = ReduceColors(p, colors, Choice(Transparency::ThisColor, ColorMethod::Nearest, {0, 0, 0}));
  EXPECT_EQ(At(black, p, 6, 6), 0);
  EXPECT_NE(At(black, p, 0, 0), 0);
  EXPECT_EQ(AutomaticRuleText(p), "the bottom-right pixel's colour #ff00ff is transparent");
}

TEST(ColorWords, TheCommandLineAndSettingsWordsAndTheirRefusals) {
  ColorChoice c;
  EXPECT_TRUE(ParseTransparencyWord("#FF00aa", c));
  EXPECT_EQ(c.transparency, Transparency::ThisColor);
  EXPECT_EQ(HexColor(c.color), "#ff00aa");
  EXPECT_EQ(TransparencyWord(c), "#ff00aa");
  EXPECT_TRUE(ParseTransparencyWord("none", c));
  EXPECT_EQ(TransparencyWord(c), "none");
  EXPECT_TRUE(ParseTransparencyWord("auto", c));
  EXPECT_EQ(c.transparency, Transparency::Automatic);
  for (const char* bad : {"#ff00a", "#ff00aa0", "ff00aa", "#gg0000", "red", "", "Auto"}) {
    ColorChoice kept;
    kept.transparency = Transparency::None;
    EXPECT_FALSE(ParseTransparencyWord(bad, kept)) << bad;
    EXPECT_EQ(kept.transparency, Transparency::None) << bad;
  }
  EXPECT_EQ(ParseDitherWord("diffusion"), ColorMethod::ErrorDiffusion);
  EXPECT_EQ(ParseDitherWord("ordered"), ColorMethod::OrderedDither);
  EXPECT_EQ(ParseDitherWord("none"), ColorMethod::Nearest);
  EXPECT_FALSE(ParseDitherWord("floyd"));
  for (ColorMethod m : kMethods) EXPECT_EQ(ParseDitherWord(DitherWord(m)), m);
}

// ----- sheets in any palette -----------------------------------------------

struct SheetTest : ReductionTest {
  platform::HeadlessPlatform hp;
  History history;
  std::unique_ptr<Document> doc = std::make_unique<Document>();
  std::unique_ptr<DisplayState> display = std::make_unique<DisplayState>();
  int slot = -1;

  void SetUp() override {
    InitDisplay(*display);
    slot = AllocBuffer(*display, kSheetWidth, kSheetHeight);
    doc->list.count = 1;
  }
  ImportCount Import(const std::string& path, bool match, ColorChoice c = {}) {
    SheetColors colors;
    colors.match = match;
    colors.colors = c;
    return ImportCollage(history, *doc, *display, slot, hp, path, {ImportMode::AddNew, PlacementMode::ToEnd, false},
                         colors, this->colors);
  }
  const Shape& S(int i) const { return doc->list.slots[static_cast<size_t>(i)]; }
  platform::Rgb Color(uint8_t index) const { return {palette[3 * index], palette[3 * index + 1], palette[3 * index + 2]}; }
};

TEST_F(SheetTest, ABitmapSheetLargerThanTheGamesIsMatchedAndItsBlackStays) {
  ASSERT_EQ(Import((kData / "im_sheet_any.bmp").string(), true).imported, 2);
  EXPECT_TRUE(hp.messages.empty());
  // Bands from the bottom: the blue picture (32 x 68) and then the green one.
  const Shape& blue = S(1);
  const Shape& green = S(2);
  ASSERT_EQ(std::make_pair(blue.width, blue.height), std::make_pair(32, 68));
  ASSERT_EQ(std::make_pair(green.width, green.height), std::make_pair(59, 59));
  const uint8_t b = blue.pixels[0];
  EXPECT_EQ(b, colors.Nearest(20, 20, 200));
  EXPECT_EQ(green.pixels[0], colors.Nearest(40, 170, 60));
  // The black eye (6 x 6, ten pixels in from the frame's top left) is the
  // nearest game colour to black, not a hole and not a reserved colour.
  const uint8_t eye = blue.pixels[static_cast<size_t>(blue.height - 1 - 10) * 32 + 10];
  EXPECT_EQ(eye, colors.Nearest(0, 0, 0));
  for (int i = 0; i < blue.width * blue.height; ++i) {
    ASSERT_GE(blue.pixels[static_cast<size_t>(i)], kFirstGameColor);
    ASSERT_LE(blue.pixels[static_cast<size_t>(i)], kLastGameColor);
  }
}

TEST_F(SheetTest, TheSameSheetAsATrueColourPngComesOutTheSame) {
  ASSERT_EQ(Import((kData / "im_sheet_any.bmp").string(), true).imported, 2);
  auto bmpDoc = std::move(doc);
  doc = std::make_unique<Document>();
  doc->list.count = 1;
  // A sheet without a colour table is matched whatever the choice.
  ASSERT_EQ(Import((kData / "im_sheet_any.png").string(), false).imported, 2);
  for (int i = 1; i <= 2; ++i) {
    const Shape& a = bmpDoc->list.slots[static_cast<size_t>(i)];
    const Shape& b = S(i);
    ASSERT_EQ(std::make_pair(a.width, a.height), std::make_pair(b.width, b.height));
    EXPECT_TRUE(std::equal(a.pixels.get(), a.pixels.get() + a.width * a.height, b.pixels.get())) << i;
  }
}

TEST_F(SheetTest, ADitheredFrameKeepsEveryPixelInsideItsFrame) {
  ASSERT_EQ(Import((kData / "im_sheet_any.bmp").string(), true, {Transparency::Automatic, {}, ColorMethod::ErrorDiffusion})
                .imported,
            2);
  const Shape& blue = S(1);
  EXPECT_EQ(std::make_pair(blue.width, blue.height), std::make_pair(32, 68));
  EXPECT_EQ(std::count(blue.pixels.get(), blue.pixels.get() + 32 * 68, 0), 0);
}

TEST_F(SheetTest, StoredIndicesOfAPcxSheetAreTakenAsTheyWere) {
  // The game's rule stays the default: colour numbers as stored.
  ASSERT_EQ(Import((kData / "im_sheet.pcx").string(), false).imported, 3);
  EXPECT_EQ(S(1).width, 32);
  // This colour compares the game colour a stored number shows.
  const uint8_t blue = S(1).pixels[0];
  doc = std::make_unique<Document>();
  doc->list.count = 1;
  ASSERT_EQ(Import((kData / "im_sheet.pcx").string(), false, {Transparency::ThisColor, Color(blue), {}}).imported, 3);
  EXPECT_EQ(S(1).width, 0) << "the blue picture went transparent, nothing is left of it";
}

TEST_F(SheetTest, TooLargeSheetsAreRefusedAndChangeNothing) {
  TempDir dir;
  Picture big;
  const std::string path = dir.File("big.bmp");
  // 4097 x 2, 24-bit, written by hand: the header is all that is looked at.
  const int w = 4097, h = 2, row = (3 * w + 3) / 4 * 4;
  std::vector<uint8_t> bmp(54 + static_cast<size_t>(row * h), 255);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) bmp[at + static_cast<size_t>(k)] = static_cast<uint8_t>(v >> (8 * k));
  };
  bmp[0] = 'B', bmp[1] = 'M';
  put32(2, static_cast<uint32_t>(bmp.size()));
  put32(6, 0);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  put32(26, 1 | 24 << 16);
  put32(30, 0);
  WriteBytes(path, bmp);
  EXPECT_EQ(Import(path, true).imported, 0);
  EXPECT_EQ(hp.messageTexts(), std::vector<std::string>{"This sheet is too big. The largest sheet is 4096 x 4096 "
                                                        "pixels. (" + path + ")"});
  EXPECT_EQ(doc->list.count, 1);
}

}  // namespace
}  // namespace qshe::testing
