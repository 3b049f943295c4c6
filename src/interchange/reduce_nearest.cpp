// Each pixel to its nearest game colour: the editor's one matching rule,
// with no regard for its neighbours. Flat colours stay flat.
#include "interchange/color_reduction.h"

namespace qshe {

void ReduceNearest(const ColorSource& source, const ColorMatcher& colors, uint8_t* out) {
  const size_t count = static_cast<size_t>(source.width) * static_cast<size_t>(source.height);
  const uint8_t* px = source.rgba;
  // Neighbouring pixels often share a colour; remember the last one.
  uint32_t lastColor = UINT32_MAX;
  uint8_t lastIndex = 0;
  for (size_t i = 0; i < count; ++i, px += 4) {
    if (source.transparent && source.transparent[i]) {
      out[i] = 0;
      continue;
    }
    const uint32_t color = static_cast<uint32_t>(px[0]) << 16 | px[1] << 8 | px[2];
    if (color != lastColor) {
      lastColor = color;
      lastIndex = colors.Nearest(px[0], px[1], px[2]);
    }
    out[i] = lastIndex;
  }
}

}  // namespace qshe
