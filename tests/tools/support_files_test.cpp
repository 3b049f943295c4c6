// The editor's generated support files: stable bytes, and pictures that the
// editor's own readers take back and that fit the places the window gives
// them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "art.h"
#include "display/pcx.h"
#include "display/virtual_buffer.h"
#include "document/file_io.h"
#include "document/shape.h"
#include "document/shape_file.h"
#include "encoders.h"
#include "palette.h"
#include "platform/headless/headless_surface.h"
#include "screen.h"
#include "support_files.h"

namespace qshe::gen {
namespace {

const FileSet& Files() {
  static const FileSet files = GenerateSupportFiles();
  return files;
}

std::vector<Shape> HelperShapes() {
  std::vector<Shape> table(kHelperShapeCount);
  const LoadResult r = DecodeShapeFile(Files().at(kHelperShapesName), table);
  EXPECT_EQ(r.status, LoadStatus::Ok);
  EXPECT_EQ(r.count, kHelperShapeCount);
  return table;
}

bool Blank(const Shape& s) {
  return !s.HasPixels() || std::all_of(s.pixels.get(), s.pixels.get() + s.PixelCount(), [](uint8_t v) { return v == 0; });
}

TEST(SupportFiles, SameBytesOnEveryRun) {
  const FileSet again = GenerateSupportFiles();
  EXPECT_EQ(again, Files());
  EXPECT_EQ(GenerateScreenshot(), GenerateScreenshot());
  for (const char* name : {kScreenImageName, kHelperShapesName, kHelpName, kIconName})
    EXPECT_TRUE(Files().count(name)) << name;
}

TEST(SupportFiles, IconComesInTheThemeSizes) {
  // PNG width and height: big-endian at bytes 16 and 20.
  auto side = [](const std::vector<uint8_t>& png, size_t at) {
    return png.size() < 24 ? -1 : (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
  };
  EXPECT_EQ(side(Files().at(kIconName), 16), 32);
  for (int scale : kIconScales) {
    const std::string name = IconName(scale);
    ASSERT_TRUE(Files().count(name)) << name;
    EXPECT_EQ(side(Files().at(name), 16), 32 * scale) << name;
    EXPECT_EQ(side(Files().at(name), 20), 32 * scale) << name;
  }
  EXPECT_EQ(IconName(8), "qshe-icon-256.png");
}

TEST(SupportFiles, HelperFileReadsBackFromDisk) {
  const auto dir = std::filesystem::temp_directory_path() / "qshe_support_test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / kHelperShapesName).string();
  ASSERT_FALSE(WriteFileAtomically(path, Files().at(kHelperShapesName), false));
  std::vector<Shape> table(kHelperShapeCount);
  EXPECT_EQ(LoadShapeFile(path, table).status, LoadStatus::Ok);
  EXPECT_EQ(table[kTavrel].width, HelperShapes()[kTavrel].width);
  std::filesystem::remove_all(dir);
}

// A button is drawn over a restored rectangle x..x+w, y..y+h; no two of
// those may overlap, or drawing one button would wipe part of another.
TEST(SupportFiles, ButtonsFitTheirPlacesWithoutTouching) {
  const std::vector<Shape> shapes = HelperShapes();
  struct R { int x1, x2, y1, y2; };
  std::vector<R> taken;
  for (int i = 0; i < kButtonCount; ++i) {
    const ButtonPlace& p = ButtonPlaces()[static_cast<size_t>(i)];
    for (int pressed = 0; pressed < 2; ++pressed) {
      const Shape& s = shapes[static_cast<size_t>(ButtonSlot(i, pressed))];
      SCOPED_TRACE("button " + std::to_string(i) + (pressed ? " pressed" : " up"));
      ASSERT_TRUE(s.HasPixels());
      EXPECT_LE(s.width, p.maxW);
      EXPECT_LE(s.height, p.maxH);
      // The picture itself has no transparent pixel, so a button never lets
      // a stale picture show through.
      EXPECT_EQ(std::count(s.pixels.get(), s.pixels.get() + s.PixelCount(), 0), 0);
    }
    const Shape& s = shapes[static_cast<size_t>(ButtonSlot(i, false))];
    const R r{p.x, p.x + s.width, p.y, p.y + s.height};
    for (const R& o : taken) {
      const bool apart = r.x2 < o.x1 || o.x2 < r.x1 || r.y2 < o.y1 || o.y2 < r.y1;
      EXPECT_TRUE(apart) << "button " << i;
    }
    taken.push_back(r);
  }
  // The filled forms of the rectangle and ellipse buttons take the place of
  // the outlined ones: the same size, or a switch would leave a rim behind.
  for (int k = 0; k < 4; ++k) {
    const Shape& filled = shapes[static_cast<size_t>(kFilledFigureButtonSlot + k)];
    const Shape& outlined = shapes[static_cast<size_t>(kFigureButtonSlot + 2 + k)];
    ASSERT_TRUE(filled.HasPixels()) << k;
    EXPECT_EQ(filled.width, outlined.width) << k;
    EXPECT_EQ(filled.height, outlined.height) << k;
    EXPECT_NE(std::memcmp(filled.pixels.get(), outlined.pixels.get(), filled.PixelCount()), 0) << k;
  }
}

TEST(SupportFiles, ScrollBarDigitAndScenePicturesFit) {
  const std::vector<Shape> s = HelperShapes();
  // Horizontal bar pictures are at most 12 high, vertical ones at most 14 wide.
  for (int slot : {kHScrollLeft, kHScrollLeft + 1, kHScrollRight, kHScrollRight + 1, kVScrollUp, kVScrollUp + 1,
                   kVScrollDown, kVScrollDown + 1}) {
    const Shape& bar = s[static_cast<size_t>(slot)];
    ASSERT_TRUE(bar.HasPixels()) << slot;
    EXPECT_LE(slot < kVScrollUp ? bar.height : bar.width, slot < kVScrollUp ? 12 : 14) << slot;
  }
  EXPECT_LE(s[kScrollThumb].width, 14);
  EXPECT_LE(s[kScrollThumb].height, 12);
  // The thumb must leave a range along both bars (256 long, arrows included).
  EXPECT_GT(256 - s[kHScrollLeft].width - s[kHScrollRight].width - s[kScrollThumb].width + 1, 0);
  EXPECT_GT(256 - s[kVScrollUp].height - s[kVScrollDown].height - s[kScrollThumb].height + 1, 0);
  // The two numbers of the swatch strip must not run into each other or out
  // of the strip: three digits from x 560 end before the separator at 577.
  int widest = 0;
  for (int d = 0; d < 10; ++d) {
    const Shape& digit = s[static_cast<size_t>(kFirstDigit + d)];
    EXPECT_FALSE(Blank(digit)) << d;
    EXPECT_LE(digit.height, 8);
    widest = std::max(widest, digit.width);
  }
  EXPECT_LT(560 + 3 * (widest + 1) - 1, 577);
  EXPECT_FALSE(Blank(s[kFloorTile]));
  EXPECT_FALSE(Blank(s[kTavrel]));
  for (int i = 0; i < kHelperShapeCount; ++i) {
    const bool named = i < 55 || i == kFloorTile || i == kTavrel || (i >= kFirstDigit && i < kFirstDigit + 10) ||
                       (i >= kFigureButtonSlot && i < kFilledFigureButtonSlot + 4);
    EXPECT_TRUE(named || Blank(s[static_cast<size_t>(i)])) << "slot " << i;
  }
}

class ScreenImage : public ::testing::Test {
 protected:
  ScreenImage() : surface(615, 285, 8) {
    SetWindowDC(state, &surface);
    InitDisplay(state);
  }
  platform::HeadlessSurface surface;
  DisplayState state;
};

TEST_F(ScreenImage, ShowPcxReadsTheSameIndicesAndPalette) {
  const std::vector<uint8_t>& pcx = Files().at(kScreenImageName);
  const Image8 expected = MakeScreenImage(MakeHelperPictures());
  const int slot = AllocBuffer(state, 615, 285);
  ASSERT_GE(slot, 0);
  ASSERT_EQ(SelectBuffer(state, slot), 0);
  MoveTo(state, 0, 0);
  MemorySource source(pcx);
  ASSERT_EQ(ShowPcx(state, source), kPcxShown);
  for (int y = 0; y < 285; ++y)
    for (int x = 0; x < 615; ++x) ASSERT_EQ(ReadPixel(state, x, y), expected.At(x, y)) << x << "," << y;

  std::array<uint8_t, 768> rgb{};
  GetPalette(state, 0, 256, rgb);
  const Palette palette = MakePalette();
  for (int i = 10; i <= 245; ++i) {
    const Rgb& c = palette[static_cast<size_t>(i)];
    EXPECT_EQ((Rgb{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]}), c) << i;
  }
  MemorySource again(pcx);
  std::array<uint8_t, 768> filePalette{};
  EXPECT_EQ(ReadPcxPalette(again, filePalette), 256);
}

// Picking uses (x - 462) / 9 and (y - 8) / 7: the colour a user sees under
// the mouse must be the index picked there.
TEST(ScreenLayout, ColourGridShowsEachIndexWhereItIsPicked) {
  const Image8 s = MakeScreenImage(MakeHelperPictures());
  for (int i = 0; i < 256; ++i) {
    const int x = kGridX + kCellW * (i % 16), y = kGridY + kCellH * (i / 16);
    for (int dy = 0; dy < 6; ++dy)
      for (int dx = 0; dx < 8; ++dx) ASSERT_EQ(s.At(x + dx, y + dy), i) << "index " << i;
  }
}

// Drawing a move button restores x..x+w, y..y+h from the screen image, and
// those rectangles cover the bottom line of the slider frame; the screen
// image must hold the same line there, or every toolbar redraw would cut it.
TEST(ScreenLayout, SliderFrameMatchesItsLiveDrawing) {
  const Image8 s = MakeScreenImage(MakeHelperPictures());
  for (int x = 16; x <= 171; ++x) EXPECT_TRUE(s.At(x, 213) == kSliderLine && s.At(x, 252) == kSliderLine) << x;
  EXPECT_EQ(s.At(100, 230), kSliderFill);
  EXPECT_EQ(s.At(100, 244), kTrackFill);
}

TEST(Encoders, CrcAndPcxRuns) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc32({reinterpret_cast<const uint8_t*>(check.data()), check.size()}), 0xCBF43926u);
  // Bytes of 0xC0 and above must be written as runs even when single.
  Image8 img(3, 1);
  img.pixels = {0xC5, 7, 7};
  const std::vector<uint8_t> pcx = EncodePcx(img, MakePalette());
  ASSERT_EQ(pcx.size(), 128u + 5u + 769u);  // 4-byte scan line: C1 C5, C2 07, 00
  EXPECT_EQ(std::vector<uint8_t>(pcx.begin() + 128, pcx.begin() + 134), (std::vector<uint8_t>{0xC1, 0xC5, 0xC2, 7, 0, 0x0C}));
}

}  // namespace
}  // namespace qshe::gen
