// A window surface that keeps what was presented, so tests can look at the
// pixels and texts the user would see.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace qshe::platform {

class HeadlessPalettes : public PaletteDevice {
 public:
  std::array<Rgb, kStaticColorCount> staticColors = kStandardStaticColors;

  std::array<Rgb, kStaticColorCount> StaticColors() override { return staticColors; }
  PaletteId CreatePalette(std::span<const PaletteEntry, 256> entries) override;
  void AnimatePalette(PaletteId palette, int first, std::span<const PaletteEntry> entries) override;

  // The palette's entries now, or nothing for an unknown id.
  const std::array<PaletteEntry, 256>* Find(PaletteId palette) const;
  int animations = 0;

 private:
  std::map<PaletteId, std::array<PaletteEntry, 256>> palettes_;
  PaletteId next_ = 1;
};

class HeadlessSurface : public WindowSurface {
 public:
  // A window of the given client size on a display of `colorDepth` bits.
  // Without `palettes` it keeps a palette device of its own.
  HeadlessSurface(int width, int height, int colorDepth = 8, HeadlessPalettes* palettes = nullptr);
  HeadlessSurface(const HeadlessSurface&) = delete;
  HeadlessSurface& operator=(const HeadlessSurface&) = delete;

  struct PresentRecord {
    Rect source;
    Rect target;
    ColorUsage usage;
  };
  struct TextRecord {
    int x;
    int y;
    std::string text;
    Rgb color;
  };

  // Font of the scripted display: fixed pitch.
  int charWidth = 8;
  TextMetrics metrics{12, 0};

  std::vector<PresentRecord> presents;
  std::vector<TextRecord> texts;
  PaletteId selectedPalette = 0;

  int width() const { return width_; }
  int height() const { return height_; }
  // The colour the window shows at (x, y). Pixels presented through palette
  // indices follow later animation of the selected palette, as on a
  // palette display.
  Rgb Pixel(int x, int y) const;

  PaletteDevice& palettes() override { return *palettes_; }
  int ColorDepth() override { return colorDepth_; }
  TextMetrics SelectFixedFont() override { return metrics; }
  int TextWidth(std::string_view text) override { return charWidth * static_cast<int>(text.size()); }
  void SelectPalette(PaletteId palette) override { selectedPalette = palette; }
  void Present(const IndexedImage& image, const Rect& source, const Rect& target) override;
  void DrawText(int x, int y, std::string_view text, Rgb color) override;

 private:
  int width_;
  int height_;
  int colorDepth_;
  HeadlessPalettes ownPalettes_;
  HeadlessPalettes* palettes_;
  std::vector<Rgb> rgb_;
  // Logical palette index shown at each pixel, or -1 where an RGB colour was.
  std::vector<int16_t> index_;
};

}  // namespace qshe::platform
