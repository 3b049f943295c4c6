#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "display/pcx.h"
#include "display_fixture.h"
#include "pcx_builder.h"

namespace qshe::testing {
namespace {

const std::filesystem::path kData = std::filesystem::path(__FILE__).parent_path() / "data";

std::vector<uint8_t> Palette256() {
  std::vector<uint8_t> rgb(768);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7 + 1);
  return rgb;
}

class Pcx : public DisplayTest {
 protected:
  Pcx() {
    CreateLogicalPalette(state, 10, 32, std::vector<uint8_t>(96, 200));
    InitDisplay(state);
  }
  int Show(const std::vector<uint8_t>& file) {
    MemorySource source(file);
    return ShowPcx(state, source);
  }
  std::array<uint8_t, 768> PaletteNow() {
    std::array<uint8_t, 768> rgb;
    GetPalette(state, 0, 256, rgb);
    return rgb;
  }
};

// Pictures written (or, for layouts it does not write, read) by ImageMagick:
// each pixel must have the colour ImageMagick decoded there.
TEST_F(Pcx, DecodesWhatImageMagickDecodes) {
  for (const char* name : {"im_8bit", "im_1bit", "own_4bit", "own_4planes"}) {
    SCOPED_TRACE(name);
    std::string path = (kData / (std::string(name) + ".pcx")).string();
    std::array<uint8_t, 768> filePalette;
    int colors = ReadPcxPalette(path, filePalette);
    ASSERT_TRUE(colors == 256 || colors == 16);
    InitDisplay(state);
    Buffer(16, 8);
    MoveTo(state, 0, 0);
    ASSERT_EQ(ShowPcx(state, path), kPcxShown);

    std::ifstream expected(kData / (std::string(name) + ".expected"));
    std::string line;
    int y = 0;
    for (; std::getline(expected, line); ++y) {
      std::istringstream words(line);
      std::string hex;
      for (int x = 0; words >> hex; ++x) {
        int index = ReadPixel(state, x, y);
        if (colors == 16) {
          ASSERT_GE(index, 10);
          ASSERT_LT(index, 26);
          index -= 10;
        }
        // ImageMagick takes a clear bit of a one-plane, one-bit picture as
        // entry 1 (and writes them that way); the format, and we, take it as
        // entry 0.
        if (std::string(name) == "im_1bit") index ^= 1;
        const uint8_t* c = filePalette.data() + 3 * index;
        char got[7];
        std::snprintf(got, sizeof got, "%02X%02X%02X", c[0], c[1], c[2]);
        ASSERT_EQ(got, hex) << "at " << x << "," << y;
      }
      EXPECT_EQ(ReadPixel(state, 13, y), 0) << "padding of the scan line is not drawn";
    }
    EXPECT_EQ(y, 5);
    EXPECT_EQ(Row(5, 0, 15), std::vector<int>(16, 0));
  }
}

TEST_F(Pcx, PaletteGoesToTheFileEntriesOnly) {
  auto before = PaletteNow();
  auto rgb = Palette256();
  Buffer(8, 8);
  ASSERT_EQ(Show(MakePcx8(4, 4, [](int x, int y) { return static_cast<uint8_t>(x + 4 * y); }, rgb)), kPcxShown);
  auto after = PaletteNow();
  EXPECT_TRUE(std::equal(after.begin() + 30, after.begin() + 738, rgb.begin() + 30));
  EXPECT_TRUE(std::equal(after.begin(), after.begin() + 30, before.begin()));
  EXPECT_TRUE(std::equal(after.begin() + 738, after.end(), before.begin() + 738));

  // 16 colours from the header into 10..25; the pixels move there with them.
  PcxLayout l;
  l.width = 4;
  l.bitsPerPixel = 4;
  for (int i = 0; i < 48; ++i) l.palette16[i] = static_cast<uint8_t>(3 * i);
  ASSERT_EQ(Show(MakePcx(l, {0x0F, 0x3A})), kPcxShown);
  EXPECT_EQ(Row(0, 0, 3), (std::vector<int>{10, 25, 13, 20}));
  after = PaletteNow();
  EXPECT_TRUE(std::equal(after.begin() + 30, after.begin() + 78, l.palette16));
  EXPECT_EQ(after[78], rgb[78]) << "entries past 25 stay";
  l.bitsPerPixel = 2;  // four colours: their pixels move to 10.. as well
  ASSERT_EQ(Show(MakePcx(l, {0x1B, 0x00})), kPcxShown);
  EXPECT_EQ(Row(0, 0, 3), (std::vector<int>{10, 11, 12, 13}));
}

TEST_F(Pcx, RunsCarryAcrossScanLines) {
  Buffer(8, 8);
  // Width 5, 6 bytes a line: every run of 7 crosses a line end.
  auto file = MakePcx8(5, 6, [](int x, int y) { return static_cast<uint8_t>((y * 6 + x) / 7 + 1); }, Palette256());
  ASSERT_EQ(Show(file), kPcxShown);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(ReadPixel(state, x, y), (y * 6 + x) / 7 + 1) << x << "," << y;
}

TEST_F(Pcx, PictureIsCutToTheBufferOnEverySide) {
  auto file = MakePcx8(6, 6, [](int x, int y) { return static_cast<uint8_t>(16 * y + x + 1); }, Palette256());
  Buffer(8, 8);
  SetClip(state, 3, 4, 3, 4);  // plays no part
  MoveTo(state, 5, 4);
  ASSERT_EQ(Show(file), kPcxShown);
  SetClip(state, 0, 7, 0, 7);
  EXPECT_EQ(Row(4, 4, 7), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(Row(7, 4, 7), (std::vector<int>{0, 49, 50, 51}));

  Buffer(8, 8);
  MoveTo(state, -2, -3);
  ASSERT_EQ(Show(file), kPcxShown);
  EXPECT_EQ(Row(0, 0, 4), (std::vector<int>{51, 52, 53, 54, 0}));
  EXPECT_EQ(Row(2, 0, 4), (std::vector<int>{83, 84, 85, 86, 0}));
  EXPECT_EQ(Row(3, 0, 4), (std::vector<int>{0, 0, 0, 0, 0}));

  auto palette = PaletteNow();
  for (auto [x, y] : {std::pair{8, 0}, std::pair{0, 8}, std::pair{-6, 0}, std::pair{0, -6}}) {
    MoveTo(state, x, y);
    EXPECT_EQ(Show(file), kPcxNothingFits);
  }
  EXPECT_EQ(PaletteNow(), palette);
}

TEST_F(Pcx, OpeningFailuresAreTold) {
  std::array<uint8_t, 768> rgb;
  EXPECT_EQ(ReadPcxPalette((kData / "missing.pcx").string(), rgb), kPcxPaletteCannotOpen);
  EXPECT_EQ(ShowPcx(state, (kData / "im_8bit.pcx").string()), kPcxNoBuffer);
  Buffer(8, 8);
  EXPECT_EQ(ShowPcx(state, (kData / "missing.pcx").string()), kPcxCannotOpen);
  auto file = MakePcx8(2, 2, [](int, int) { return uint8_t{5}; }, Palette256());
  file[0] = 0x0B;
  MemorySource source(file);
  EXPECT_EQ(ReadPcxPalette(source, rgb), kPcxPaletteNotPcx);
}

// Nothing a broken file holds may reach the buffer or the palette.
TEST_F(Pcx, BrokenFilesAreRefusedUntouched) {
  int slot = Buffer(16, 16);
  SetColor(state, 77);
  FillRect(state, 0, 15, 0, 15);
  auto pixels = Pixels(slot);
  auto palette = PaletteNow();
  auto expectRefused = [&](const std::vector<uint8_t>& file, const char* why) {
    EXPECT_EQ(Show(file), kPcxRefused) << why;
    EXPECT_EQ(Pixels(slot), pixels) << why;
    EXPECT_EQ(PaletteNow(), palette) << why;
  };
  auto layout = [](int bits, int planes, int width) {
    PcxLayout l;
    l.bitsPerPixel = bits;
    l.planes = planes;
    l.width = width;
    l.height = 2;
    return l;
  };
  auto fileOf = [](PcxLayout l) {
    return MakePcx(l, std::vector<uint8_t>(static_cast<size_t>(2 * l.planes * BytesPerLine(l)), 1));
  };

  PcxLayout l = layout(8, 1, 4);
  auto good = fileOf(l);
  good[0] = 0x0B;
  expectRefused(good, "not PCX");
  l.bytesPerLine = 3;
  expectRefused(fileOf(l), "line shorter than the width");
  l = layout(1, 1, 20);
  l.bytesPerLine = 2;
  expectRefused(fileOf(l), "1-bit line shorter than the width");
  l.bytesPerLine = 0;
  auto zero = fileOf(l);
  zero[66] = zero[67] = 0;
  expectRefused(zero, "no bytes per line");
  auto inverted = fileOf(layout(8, 1, 4));
  inverted[4] = 9;  // xmin past xmax
  expectRefused(inverted, "xmax < xmin");
  l = layout(8, 1, 4);
  l.encoding = 0;
  expectRefused(fileOf(l), "not run-length encoded");
  expectRefused(fileOf(layout(8, 3, 4)), "24-bit colour");
  expectRefused(fileOf(layout(4, 2, 4)), "4 bits in 2 planes");
  expectRefused(fileOf(layout(1, 5, 8)), "5 planes");
  expectRefused(fileOf(layout(1, 4, 30000)), "scan line past the work area");
  expectRefused(std::vector<uint8_t>(good.begin(), good.begin() + 100), "short header");

  // Cut anywhere inside the image data: refused. Cut inside the trailing
  // palette: the picture is whole but its colours are gone (header colours).
  auto full = MakePcx8(16, 16, [](int x, int y) { return static_cast<uint8_t>(x * y); }, Palette256());
  size_t dataEnd = full.size() - 769;
  for (size_t n = 128; n < dataEnd; ++n) {
    ASSERT_EQ(Show(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<ptrdiff_t>(n))), kPcxRefused) << n;
    ASSERT_EQ(Pixels(slot), pixels) << n;
  }
  // Also when only rows below the buffer are missing.
  MoveTo(state, 0, 8);
  expectRefused(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<ptrdiff_t>(dataEnd - 1)),
                "last row cut off below the buffer");
  MoveTo(state, 0, 0);
  EXPECT_EQ(Show(std::vector<uint8_t>(full.begin(), full.end() - 1)), kPcxShown);
}

}  // namespace
}  // namespace qshe::testing
