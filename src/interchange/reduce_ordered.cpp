// Ordered dithering: every pixel is lightened or darkened by a fixed amount
// from an 8 x 8 pattern before it is matched, so that a colour between two
// game colours comes out as a regular mix of both. The pattern depends only
// on the pixel's place, so repeated areas look alike and an edit changes
// only the pixels it touches.
#include <algorithm>

#include "interchange/color_reduction.h"

namespace qshe {
namespace {

// The recursive 8 x 8 threshold pattern: each step of 0..63 lies as far
// from the ones before it as the square allows.
constexpr uint8_t kPattern[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
};

// How far the pattern moves a colour, each component, from its darkest to
// its lightest step: about the distance between neighbouring game colours,
// so that any colour between two of them is reached by the mix.
constexpr int kSpread = 40;

}  // namespace

void ReduceOrdered(const ColorSource& source, const ColorMatcher& colors, uint8_t* out) {
  const GamePalette& palette = colors.palette();
  for (int32_t top = 0; top < source.height; ++top) {
    const int32_t row = source.height - 1 - top;
    const size_t first = static_cast<size_t>(row) * static_cast<size_t>(source.width);
    const uint8_t* pattern = kPattern[top & 7];
    for (int32_t x = 0; x < source.width; ++x) {
      const size_t i = first + static_cast<size_t>(x);
      if (source.transparent && source.transparent[i]) {
        out[i] = 0;
        continue;
      }
      const uint8_t* px = source.rgba + 4 * i;
      // A pixel that already has a game colour keeps it.
      const uint8_t exact = colors.Nearest(px[0], px[1], px[2]);
      const uint8_t* e = palette.data() + 3 * exact;
      if (e[0] == px[0] && e[1] == px[1] && e[2] == px[2]) {
        out[i] = exact;
        continue;
      }
      // -63..63 halves of a step, so the pattern is centred on the colour.
      const int offset = (2 * pattern[x & 7] - 63) * kSpread / 128;
      out[i] = colors.Nearest(static_cast<uint8_t>(std::clamp(px[0] + offset, 0, 255)),
                              static_cast<uint8_t>(std::clamp(px[1] + offset, 0, 255)),
                              static_cast<uint8_t>(std::clamp(px[2] + offset, 0, 255)));
    }
  }
}

}  // namespace qshe
