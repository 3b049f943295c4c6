// Error diffusion (Floyd and Steinberg's weights): what matching a pixel
// takes away from its colour is handed on to the neighbours not matched yet,
// 7/16 ahead, 3/16, 5/16 and 1/16 on the row below, so every area keeps its
// mean colour. Rows run left to right and right to left in turn, which keeps
// the error from drifting into diagonal streaks. Transparent pixels take no
// error and pass none on.
#include <algorithm>
#include <vector>

#include "interchange/color_reduction.h"

namespace qshe {
namespace {

// Sixteenths back to whole steps, rounded half away from zero, the same
// for either sign.
int Sixteenths(int e) { return e >= 0 ? (e + 8) / 16 : -((-e + 8) / 16); }

}  // namespace

void ReduceDiffusion(const ColorSource& source, const ColorMatcher& colors, uint8_t* out) {
  const int32_t w = source.width;
  if (w <= 0 || source.height <= 0) return;
  const GamePalette& palette = colors.palette();
  // Errors of this row and the next in sixteenths, three a pixel, with one
  // pixel to spare at either end for what falls off the picture.
  const size_t span = 3 * static_cast<size_t>(w + 2);
  std::vector<int> here(span, 0), below(span, 0);
  for (int32_t top = 0; top < source.height; ++top) {
    const int32_t row = source.height - 1 - top;
    const bool forward = (top & 1) == 0;
    const int step = forward ? 1 : -1;
    std::fill(below.begin(), below.end(), 0);
    for (int32_t k = 0; k < w; ++k) {
      const int32_t x = forward ? k : w - 1 - k;
      const size_t i = static_cast<size_t>(row) * static_cast<size_t>(w) + static_cast<size_t>(x);
      if (source.transparent && source.transparent[i]) {
        out[i] = 0;
        continue;
      }
      const uint8_t* px = source.rgba + 4 * i;
      int* err = &here[3 * static_cast<size_t>(x + 1)];
      int want[3];
      for (int c = 0; c < 3; ++c) want[c] = std::clamp(px[c] + Sixteenths(err[c]), 0, 255);
      const uint8_t index = colors.Nearest(static_cast<uint8_t>(want[0]), static_cast<uint8_t>(want[1]),
                                           static_cast<uint8_t>(want[2]));
      out[i] = index;
      const uint8_t* got = palette.data() + 3 * index;
      int* next = err + 3 * step;
      int* under = &below[3 * static_cast<size_t>(x + 1)];
      for (int c = 0; c < 3; ++c) {
        const int e = want[c] - got[c];
        next[c] += 7 * e;
        under[c - 3 * step] += 3 * e;
        under[c] += 5 * e;
        under[c + 3 * step] += e;
      }
    }
    std::swap(here, below);
  }
}

}  // namespace qshe
