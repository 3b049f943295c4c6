#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "display/pcx.h"
#include "display_fixture.h"
#include "pcx_builder.h"

namespace qshe::testing {
namespace {

const std::filesystem::path kData = std::filesystem::path(QSHE_TESTS_DIR) / "display" / "data";
using Bytes = std::vector<uint8_t>;

Bytes Palette256() {
  Bytes rgb(768);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7 + 1);
  return rgb;
}

class Pcx : public DisplayTest {
 protected:
  Pcx() {
    CreateLogicalPalette(state, 10, 32, Bytes(96, 200));
    InitDisplay(state);
  }
  int Show(const Bytes& file) {
    MemorySource source(file);
    return ShowPcx(state, source);
  }
  std::array<uint8_t, 768> PaletteNow() {
    std::array<uint8_t, 768> rgb;
    GetPalette(state, 0, 256, rgb);
    return rgb;
  }
};

// Pictures written (or, for layouts it does not write, read) by ImageMagick,
// 13 x 5: each pixel must have the colour ImageMagick decoded there, and
// nothing else in the buffer may change (scan lines are padded).
TEST_F(Pcx, DecodesWhatImageMagickDecodes) {
  for (std::string name : {"im_8bit", "im_1bit", "own_4bit", "own_4planes"}) {
    std::string path = (kData / (name + ".pcx")).string();
    std::array<uint8_t, 768> filePalette;
    int colors = ReadPcxPalette(path, filePalette);
    ASSERT_TRUE(colors == 256 || colors == 16) << name;
    InitDisplay(state);
    int slot = Buffer(16, 8);
    MoveTo(state, 0, 0);
    ASSERT_EQ(ShowPcx(state, path), kPcxShown) << name;
    std::string got;
    SetColor(state, 0);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) {
        int i = ReadPixel(state, x, y) - (colors == 16 ? 10 : 0);
        // ImageMagick takes a clear bit of a one-plane, one-bit picture as
        // entry 1 (and writes them that way); the format, and we, take it as 0.
        i ^= name == "im_1bit";
        char hex[8] = "??????";
        if (i >= 0 && i < colors) std::snprintf(hex, sizeof hex, "%02X%02X%02X", filePalette[3 * i], filePalette[3 * i + 1], filePalette[3 * i + 2]);
        got += hex + std::string(x < 12 ? " " : "\n");
        FillRect(state, x, x, y, y);  // in colour 0, for the check below
      }
    std::ifstream expected(kData / (name + ".expected"));
    EXPECT_EQ(got, std::string(std::istreambuf_iterator<char>(expected), {})) << name;
    EXPECT_EQ(Pixels(slot), std::vector<uint8_t>(128, 0)) << name << ": drawn outside the picture";
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

TEST_F(Pcx, RunsCrossScanLinesAndThePictureIsCutOnEverySide) {
  Buffer(8, 8);
  // Width 5, 6 bytes a line: every run of 7 crosses a line end.
  ASSERT_EQ(Show(MakePcx8(5, 6, [](int x, int y) { return static_cast<uint8_t>((y * 6 + x) / 7 + 1); }, Palette256())),
            kPcxShown);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(ReadPixel(state, x, y), (y * 6 + x) / 7 + 1) << x << "," << y;

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

TEST_F(Pcx, APictureTallerThanTheBufferDrawsTheRowsThatFit) {
  // Six bytes a line and no padding. Runs of 7 cross every line end; one
  // run of 63 starts on the last row drawn and reaches ten rows below the
  // buffer, and the data ends in single bytes, so nothing past the end can
  // make up for a miscount of that run's rest.
  for (int y0 : {0, -3}) {
    auto value = [y0](int x, int y) {
      const int i = y * 6 + x, longRun = (5 - y0) * 6;
      if (i >= longRun && i < longRun + 63) return uint8_t{190};
      return static_cast<uint8_t>(i < longRun ? i / 7 + 1 : i % 180 + 1);
    };
    auto file = MakePcx8(6, 20, value, Palette256());
    Buffer(8, 6);
    MoveTo(state, 0, y0);
    ASSERT_EQ(Show(file), kPcxShown) << y0;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) ASSERT_EQ(ReadPixel(state, x, y), value(x, y - y0)) << x << "," << y << " at " << y0;
  }
  auto file = MakePcx8(6, 20, [](int x, int y) { return static_cast<uint8_t>((y * 6 + x) / 7 + 1); }, Palette256());
  // The file still has to hold every row: cut inside the rows below the
  // buffer, it is refused.
  Bytes cut(file.begin(), file.end() - 769 - 2);
  Buffer(8, 6);
  EXPECT_EQ(Show(cut), kPcxRefused);
}

TEST_F(Pcx, OnlyVersionFiveCarriesTheTrailingPaletteAndTheEncodingByteIsNotRead) {
  PcxLayout l;
  l.width = 2;
  l.height = 1;
  for (int i = 0; i < 48; ++i) l.palette16[i] = static_cast<uint8_t>(100 + i);
  auto rgb = Palette256();
  for (auto [version, encoding, fromHeader] : {std::tuple{5, 1, false}, {6, 1, true}, {5, 0, false}, {4, 1, true}}) {
    l.version = version;
    l.encoding = encoding;
    Buffer(4, 4);
    ASSERT_EQ(Show(MakePcx(l, {7, 8}, rgb)), kPcxShown) << version << " " << encoding;
    EXPECT_EQ(Row(0, 0, 1), (std::vector<int>{7, 8}));
    auto now = PaletteNow();
    const uint8_t* want = fromHeader ? l.palette16 : rgb.data() + 30;
    EXPECT_TRUE(std::equal(now.begin() + 30, now.begin() + 78, want)) << version << " " << encoding;
  }
}

TEST_F(Pcx, OpeningFailuresAreTold) {
  std::array<uint8_t, 768> rgb;
  EXPECT_EQ(ReadPcxPalette((kData / "missing.pcx").string(), rgb), kPcxPaletteCannotOpen);
  EXPECT_EQ(ShowPcx(state, (kData / "im_8bit.pcx").string()), kPcxNoBuffer);
  Buffer(8, 8);
  EXPECT_EQ(ShowPcx(state, (kData / "missing.pcx").string()), kPcxCannotOpen);
  // A FIFO is no picture, and opening it must not wait for a writer.
  auto fifo = std::filesystem::temp_directory_path() / ("qshe-pcx-fifo-" + std::to_string(::getpid()));
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_EQ(ShowPcx(state, fifo.string()), kPcxCannotOpen);
  EXPECT_EQ(ReadPcxPalette(fifo.string(), rgb), kPcxPaletteCannotOpen);
  std::filesystem::remove(fifo);
  auto file = MakePcx8(2, 2, [](int, int) { return uint8_t{5}; }, Palette256());
  file[0] = 0x0B;
  MemorySource source(file);
  EXPECT_EQ(ReadPcxPalette(source, rgb), kPcxPaletteNotPcx);
}

// A two-row file of the layout, every data byte 1, with header bytes patched.
Bytes Broken(int bits, int planes, int width, int bytesPerLine = 0, int encoding = 1,
             std::initializer_list<std::pair<size_t, uint8_t>> patch = {}) {
  PcxLayout l;
  std::tie(l.bitsPerPixel, l.planes, l.width, l.bytesPerLine, l.encoding) =
      std::tie(bits, planes, width, bytesPerLine, encoding);
  l.height = 2;
  Bytes file = MakePcx(l, Bytes(static_cast<size_t>(2 * planes * BytesPerLine(l)), 1));
  for (auto [at, v] : patch) file[at] = v;
  return file;
}

// Nothing a broken file holds may reach the buffer or the palette.
TEST_F(Pcx, BrokenFilesAreRefusedUntouched) {
  struct Case {
    std::string why;
    Bytes file;
    int y = 0;
  };
  Bytes full = MakePcx8(16, 16, [](int x, int y) { return static_cast<uint8_t>(x * y); }, Palette256());
  auto cut = [&](size_t n) { return Bytes(full.begin(), full.begin() + static_cast<ptrdiff_t>(n)); };
  std::vector<Case> cases = {
      {"not PCX", Broken(8, 1, 4, 0, 1, {{0, 0x0B}})},
      {"line shorter than the width", Broken(8, 1, 4, 3)},
      {"1-bit line shorter than the width", Broken(1, 1, 20, 2)},
      {"no bytes per line", Broken(1, 1, 20, 0, 1, {{66, 0}, {67, 0}})},
      {"xmax < xmin", Broken(8, 1, 4, 0, 1, {{4, 9}})},
      {"24-bit colour", Broken(8, 3, 4)},
      {"4 bits in 2 planes", Broken(4, 2, 4)},
      {"5 planes", Broken(1, 5, 8)},
      {"scan line past the work area", Broken(1, 4, 30000)},
      {"short header", cut(100)},
  };
  // Cut anywhere inside the image data, also when only rows below the buffer
  // are missing.
  size_t dataEnd = full.size() - 769;
  for (size_t n = 128; n < dataEnd; ++n) cases.push_back({"cut at " + std::to_string(n), cut(n)});
  cases.push_back({"last row cut off below the buffer", cut(dataEnd - 1), 8});

  int slot = Buffer(16, 16);
  SetColor(state, 77);
  FillRect(state, 0, 15, 0, 15);
  auto pixels = Pixels(slot);
  auto palette = PaletteNow();
  for (const Case& c : cases) {
    MoveTo(state, 0, c.y);
    ASSERT_EQ(Show(c.file), kPcxRefused) << c.why;
    ASSERT_EQ(Pixels(slot), pixels) << c.why;
    ASSERT_EQ(PaletteNow(), palette) << c.why;
  }
  // Cut inside the trailing palette: the picture is whole, its colours gone.
  MoveTo(state, 0, 0);
  EXPECT_EQ(Show(Bytes(full.begin(), full.end() - 1)), kPcxShown);
}

}  // namespace
}  // namespace qshe::testing
