#include "display/game_palette.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "display/pcx.h"
#include "display/virtual_buffer.h"

namespace qshe {

uint8_t FindNearestColorPlain(const GamePalette& palette, uint8_t red, uint8_t green, uint8_t blue) {
  int best = 1 << 30;
  int index = kFirstGameColor;
  for (int i = kFirstGameColor; i <= kLastGameColor; ++i) {
    const uint8_t* p = palette.data() + 3 * i;
    int d = std::abs(p[0] - red) + std::abs(p[1] - green) + std::abs(p[2] - blue);
    if (d <= best) {
      best = d;
      index = i;
    }
  }
  return static_cast<uint8_t>(index);
}

ColorMatcher::ColorMatcher(const GamePalette& palette) : palette_(palette) {
  constexpr int kCells = 16;
  constexpr int kColors = kLastGameColor - kFirstGameColor + 1;
  // Per axis, cell and colour: the nearest and farthest distance along that
  // axis from the colour's component to the cell's span.
  static_assert(kColors <= 256);
  std::array<std::array<std::array<uint16_t, kColors>, kCells>, 3> nearAxis{}, farAxis{};
  for (int axis = 0; axis < 3; ++axis) {
    for (int k = 0; k < kCells; ++k) {
      const int lo = 16 * k, hi = lo + 15;
      for (int i = 0; i < kColors; ++i) {
        const int v = palette[static_cast<size_t>(3 * (i + kFirstGameColor) + axis)];
        nearAxis[axis][k][i] = static_cast<uint16_t>(v < lo ? lo - v : v > hi ? v - hi : 0);
        farAxis[axis][k][i] = static_cast<uint16_t>(std::max(v - lo, hi - v));
      }
    }
  }
  cellStart_.reserve(kCells * kCells * kCells + 1);
  candidates_.reserve(kCells * kCells * kCells * 8);
  std::array<uint16_t, kColors> nearest{};
  for (int r = 0; r < kCells; ++r) {
    for (int g = 0; g < kCells; ++g) {
      for (int b = 0; b < kCells; ++b) {
        uint16_t bound = UINT16_MAX;
        for (int i = 0; i < kColors; ++i) {
          nearest[i] = static_cast<uint16_t>(nearAxis[0][r][i] + nearAxis[1][g][i] + nearAxis[2][b][i]);
          bound = std::min(bound, static_cast<uint16_t>(farAxis[0][r][i] + farAxis[1][g][i] + farAxis[2][b][i]));
        }
        cellStart_.push_back(static_cast<uint32_t>(candidates_.size()));
        // Every colour of the cell lies within `bound` of some game colour,
        // so one farther than that from the whole cell can never win or tie.
        for (int i = 0; i < kColors; ++i) {
          if (nearest[i] > bound) continue;
          const uint8_t* p = palette.data() + 3 * (i + kFirstGameColor);
          candidates_.push_back({p[0], p[1], p[2], static_cast<uint8_t>(i + kFirstGameColor)});
        }
      }
    }
  }
  cellStart_.push_back(static_cast<uint32_t>(candidates_.size()));
}

std::optional<GamePalette> GamePaletteFromPcx(const std::string& path) {
  GamePalette file{};
  if (ReadPcxPalette(path, std::span<uint8_t, 768>(file)) <= 0) return std::nullopt;
  auto state = std::make_unique<DisplayState>();
  CreateLogicalPalette(*state, kFirstGameColor, 236, std::span<const uint8_t>(file).subspan(30, 236 * 3));
  GamePalette palette{};
  GetPalette(*state, 0, 256, palette);
  return palette;
}

}  // namespace qshe
