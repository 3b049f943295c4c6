#include "display_fixture.h"

namespace qshe::testing {
namespace {

using platform::Rgb;

std::vector<uint8_t> Ramp(int count, int start) {
  std::vector<uint8_t> rgb;
  for (int i = 0; i < count; ++i) rgb.insert(rgb.end(), {uint8_t(start + i), uint8_t(2 * i), uint8_t(255 - i)});
  return rgb;
}

// Start-up order: palette, then the layer, then buffers.
class PaletteDisplay : public DisplayTest {
 protected:
  explicit PaletteDisplay(int depth = 8) : DisplayTest(depth) {
    palettes().staticColors[3] = {1, 2, 3};  // the display's, not ours
    id = CreateLogicalPalette(state, 10, 32, Ramp(32, 100));
    SelectWindowPalette(state, id);
    InitDisplay(state);
  }
  platform::HeadlessPalettes& palettes() { return static_cast<platform::HeadlessPalettes&>(surface.palettes()); }
  Rgb Entry(int i) {
    uint8_t rgb[3];
    GetPalette(state, i, 1, rgb);
    return {rgb[0], rgb[1], rgb[2]};
  }
  // A new buffer with the window's colours, filled over x1..x2, y1..y2.
  int Filled(int w, int h, uint8_t color, int x2, int y2) {
    int slot = Buffer(w, h);
    UpdateBufferPalette(state);
    SetColor(state, color);
    FillRect(state, 0, x2, 0, y2);
    return slot;
  }
  PaletteId id = 0;
};

class TrueColorDisplay : public PaletteDisplay {
 protected:
  TrueColorDisplay() : PaletteDisplay(32) {}
};

TEST_F(PaletteDisplay, LogicalPaletteKeepsTheDisplaysColoursAndBlanksTheRest) {
  ASSERT_NE(id, 0);
  EXPECT_EQ(state.usage, ColorUsage::PaletteIndices);
  for (auto [i, rgb] : {std::pair{3, Rgb{1, 2, 3}}, std::pair{255, Rgb{255, 255, 255}},
                        std::pair{10, Rgb{100, 0, 255}}, std::pair{41, Rgb{131, 62, 224}}, std::pair{42, Rgb{}}})
    EXPECT_EQ(Entry(i), rgb) << i;
  const auto& made = *palettes().Find(id);
  EXPECT_EQ(made[41].flags, platform::kPaletteReserved);
  EXPECT_EQ(made[245].flags, platform::kPaletteReserved);
  EXPECT_EQ(made[246].flags, 0) << "the display's own entries cannot be animated";
  Buffer(4, 4);
  uint8_t out[6];
  EXPECT_NE(GetPalette(state, 255, 2, out), 0);
  EXPECT_NE(SetPalette(state, 250, 10, Ramp(10, 0)), 0);
}

TEST_F(PaletteDisplay, AnimationReachesWhatTheWindowAlreadyShows) {
  Filled(8, 4, 20, 7, 3);
  ASSERT_EQ(PasteToWindow(state, 0, 7, 0, 3, 10, 17, 10, 13), 0);
  EXPECT_EQ(surface.Pixel(12, 11), (Rgb{110, 20, 245}));
  SetPalette(state, 20, 1, std::vector<uint8_t>{9, 8, 7});
  EXPECT_EQ(surface.Pixel(12, 11), (Rgb{9, 8, 7})) << "no new present needed";
  EXPECT_EQ(surface.Pixel(9, 11), (Rgb{})) << "outside the target";
}

TEST_F(TrueColorDisplay, SetPaletteRecolorsOnlyTheActiveBuffer) {
  EXPECT_EQ(state.usage, ColorUsage::RgbColors);
  int a = Filled(4, 4, 30, 3, 3);
  Filled(4, 4, 30, 3, 3);
  SetPalette(state, 30, 1, std::vector<uint8_t>{9, 8, 7});
  PasteToWindow(state, 0, 3, 0, 3, 0, 3, 0, 3);
  SelectBuffer(state, a);
  PasteToWindow(state, 0, 3, 0, 3, 4, 7, 0, 3);
  EXPECT_EQ(surface.Pixel(0, 0), (Rgb{9, 8, 7}));
  EXPECT_EQ(surface.Pixel(4, 0), (Rgb{120, 40, 235}));
  UpdateBufferPalette(state);
  PasteToWindow(state, 0, 3, 0, 3, 4, 7, 0, 3);
  EXPECT_EQ(surface.Pixel(4, 0), (Rgb{9, 8, 7}));
}

TEST_F(TrueColorDisplay, PasteStretchesAndRefusesSourcesOutsideTheBuffer) {
  Filled(4, 4, 11, 1, 1);  // top-left quarter
  ASSERT_EQ(PasteToWindow(state, 0, 3, 0, 3, 100, 115, 50, 65), 0);
  EXPECT_EQ(surface.Pixel(107, 57), (Rgb{101, 2, 254}));
  EXPECT_EQ(surface.Pixel(108, 57), (Rgb{})) << "entry 0 is black";
  EXPECT_EQ(surface.Pixel(107, 58), (Rgb{}));
  size_t presents = surface.presents.size();
  EXPECT_EQ(PasteToWindow(state, 0, 4, 0, 3, 0, 4, 0, 3), -1);
  EXPECT_EQ(PasteToWindow(state, 0, 3, -1, 3, 0, 3, 0, 4), -1);
  EXPECT_EQ(PasteToWindow(state, 3, 0, 0, 3, 0, 3, 0, 3), -1);
  EXPECT_EQ(surface.presents.size(), presents);
}

TEST_F(PaletteDisplay, TextIsJustifiedAroundThePosition) {
  surface.metrics = {12, 2};
  InitDisplay(state);
  SetColor(state, 10);
  for (auto [h, v, x, y] : {std::tuple{-1, -1, 100, 36}, std::tuple{0, 0, 84, 42}, std::tuple{1, 1, 68, 48},
                            std::tuple{7, -3, 68, 36}}) {
    SetTextJustify(state, h, v);
    MoveTo(state, 100, 50);
    DrawText(state, "abcd");
    ASSERT_FALSE(surface.texts.empty());
    const auto& t = surface.texts.back();
    EXPECT_EQ(std::tie(t.x, t.y, t.text), std::make_tuple(x, y, std::string("abcd"))) << h << " " << v;
    EXPECT_EQ(t.color, (Rgb{100, 0, 255}));
  }
}

}  // namespace
}  // namespace qshe::testing
