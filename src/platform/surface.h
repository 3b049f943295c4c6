// What the display layer asks of a window: show part of an 8-bit image
// through its colour table, write text, and manage palettes on displays that
// have them. One WindowSurface stands for one window's drawing context.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace qshe::platform {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// One entry of a logical palette. Entries the program sets carry
// kPaletteReserved so that they can be animated in place.
struct PaletteEntry {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t flags = 0;
  friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};
inline constexpr uint8_t kPaletteReserved = 1;

// What an image's colour table holds: blue, green, red, 0 quads, or 16-bit
// little-endian indices into the palette selected into the window.
enum class ColorUsage { RgbColors = 0, PaletteIndices = 1 };

// The twenty colours a 256-colour display keeps for itself, in entries 0..9
// and 246..255 of every palette.
inline constexpr int kStaticColorCount = 20;
inline constexpr std::array<Rgb, kStaticColorCount> kStandardStaticColors = {{
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
}};
// Palette index of static colour i (0..19).
constexpr int StaticColorIndex(int i) { return i < 10 ? i : 236 + i; }

// A palette object; 0 means none.
using PaletteId = int;

// Four inclusive bounds, left, right, top, bottom.
struct Rect {
  int x1 = 0;
  int x2 = 0;
  int y1 = 0;
  int y2 = 0;
  int width() const { return x2 - x1 + 1; }
  int height() const { return y2 - y1 + 1; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// An 8-bit image handed to a window as it lies in memory: rows of `stride`
// bytes, the bottom row first, and a 256-entry colour table laid out as
// `usage` says. Nothing is copied to build one.
struct IndexedImage {
  int width = 0;
  int height = 0;
  int stride = 0;
  const uint8_t* pixels = nullptr;
  const uint8_t* colorTable = nullptr;
  ColorUsage usage = ColorUsage::RgbColors;
};

struct TextMetrics {
  int charHeight = 0;
  int externalLeading = 0;
};

// The display's palette manager, shared by all windows: a palette made while
// one window was current can be selected into or animated through another.
class PaletteDevice {
 public:
  virtual ~PaletteDevice() = default;
  // The colours of system palette entries 0..9 and 246..255, in that order.
  virtual std::array<Rgb, kStaticColorCount> StaticColors() = 0;
  virtual PaletteId CreatePalette(std::span<const PaletteEntry, 256> entries) = 0;
  // Changes entries first.. of the palette in place; windows using it show the
  // new colours at once.
  virtual void AnimatePalette(PaletteId palette, int first, std::span<const PaletteEntry> entries) = 0;
};

class WindowSurface {
 public:
  virtual ~WindowSurface() = default;
  virtual PaletteDevice& palettes() = 0;
  // Bits per pixel times planes of the window's display.
  virtual int ColorDepth() = 0;
  // Selects the fixed-pitch system font for text and reports its metrics.
  virtual TextMetrics SelectFixedFont() = 0;
  virtual int TextWidth(std::string_view text) = 0;
  // Selects the palette as the window's foreground palette and realizes it.
  virtual void SelectPalette(PaletteId palette) = 0;
  // Copies `source` (image pixels, y counted from the top row) to `target`
  // (window pixels), stretching when the sizes differ. The caller keeps
  // `source` inside the image.
  virtual void Present(const IndexedImage& image, const Rect& source, const Rect& target) = 0;
  // Writes text with its top-left corner at (x, y), transparent background.
  virtual void DrawText(int x, int y, std::string_view text, Rgb color) = 0;
};

}  // namespace qshe::platform
