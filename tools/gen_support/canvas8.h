// A plain top-down 8-bit image and the few drawing operations the generator
// needs to paint the screen image, the helper shapes and the composed preview.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qshe::gen {

struct Image8 {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // row 0 is the top row

  Image8() = default;
  Image8(int w, int h, uint8_t fill = 0)
      : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  void Set(int x, int y, uint8_t c) {
    if (Inside(x, y)) pixels[static_cast<size_t>(y) * width + x] = c;
  }
};

// Inclusive bounds, clipped to the image.
void Fill(Image8& img, int x1, int x2, int y1, int y2, uint8_t c);
void Box(Image8& img, int x1, int x2, int y1, int y2, uint8_t c);
// Raised (light top-left) or sunken (light bottom-right) one-pixel bevel.
void Bevel(Image8& img, int x1, int x2, int y1, int y2, uint8_t light, uint8_t dark);
void Line(Image8& img, int x0, int y0, int x1, int y1, uint8_t c);
// Copies `src` with its top-left at (x, y); value 0 stays transparent.
void Blit(Image8& dst, const Image8& src, int x, int y);

// Small pictures are written as rows of characters; `key` maps each
// character to a palette index ('.' and ' ' are transparent).
struct ArtKey {
  char ch;
  uint8_t index;
};
Image8 FromArt(std::initializer_list<std::string_view> rows, std::initializer_list<ArtKey> key);

// 5 x 7 capitals, digits and a little punctuation; 6 pixels per character.
inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphAdvance = 6;
int TextWidth(std::string_view text, int scale = 1);
// Writes `text` with its top-left at (x, y); returns the x after the text.
int DrawText(Image8& img, int x, int y, std::string_view text, uint8_t c, int scale = 1);

}  // namespace qshe::gen
