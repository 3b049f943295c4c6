#include "editing/canvas_view_onion.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "document/canvas.h"
#include "editing/canvas_view.h"

namespace qshe {
namespace {

constexpr int kSize = kCanvasSize;

// The hues the neighbours are mixed with: warm before, cool after, both far
// from the three backgrounds' greys and turquoise.
constexpr uint8_t kTintColors[2][3] = {{255, 48, 24}, {40, 96, 255}};

struct Extent {
  int width = 0;
  int height = 0;
  const uint8_t* pixels = nullptr;
};

Extent ExtentOf(const OnionSource& s) {
  if (!s.shape || !s.shape->HasPixels() || s.shape->width <= 0 || s.shape->height <= 0) return {};
  return {s.shape->width, s.shape->height, s.shape->pixels.get()};
}

bool StillRight(const OnionLayer& layer, const OnionSource& s, const Extent& x, bool onlyCanvasChanges) {
  if (!layer.made || layer.width != x.width || layer.height != x.height) return false;
  if (x.pixels == nullptr) return true;  // nothing to show either way
  if (layer.shiftX != s.shiftX || layer.shiftY != s.shiftY) return false;
  if (onlyCanvasChanges && layer.block == x.pixels) return true;
  // A block can be freed and another one made at the same address, so
  // otherwise the pixels themselves decide.
  return std::memcmp(layer.source.data(), x.pixels, static_cast<size_t>(x.width) * x.height) == 0;
}

void MakeLayer(OnionLayer& layer, const OnionSource& s, const Extent& x, const std::array<uint8_t, 256>& tint) {
  layer.plane.assign(static_cast<size_t>(kSize) * kSize, 0);
  layer.firstRow = 0;
  layer.lastRow = -1;
  layer.width = x.width;
  layer.height = x.height;
  layer.shiftX = x.pixels ? s.shiftX : 0;
  layer.shiftY = x.pixels ? s.shiftY : 0;
  layer.made = true;
  layer.block = x.pixels;
  if (!x.pixels) {
    layer.source.clear();
    return;
  }
  layer.source.assign(x.pixels, x.pixels + static_cast<size_t>(x.width) * x.height);
  // The neighbour's columns that land on the canvas.
  const int from = std::max(0, -s.shiftX), to = std::min(x.width, kSize - s.shiftX);
  int first = kSize, last = -1;
  for (int top = 0; top < x.height; ++top) {
    const int canvasTop = top + s.shiftY;
    if (canvasTop < 0 || canvasTop >= kSize || from >= to) continue;
    const int row = kSize - 1 - canvasTop;
    const uint8_t* src = x.pixels + static_cast<size_t>(x.height - 1 - top) * x.width;
    uint8_t* dst = layer.plane.data() + static_cast<size_t>(row) * kSize;
    bool any = false;
    for (int c = from; c < to; ++c) {
      dst[c + s.shiftX] = tint[src[c]];
      any |= src[c] != 0;
    }
    if (any) {
      first = std::min(first, row);
      last = std::max(last, row);
    }
  }
  if (last >= 0) {
    layer.firstRow = first;
    layer.lastRow = last;
  }
}

// True when the layer had to be made again.
bool Update(OnionLayer& layer, const OnionSource& s, const std::array<uint8_t, 256>& tint, bool onlyCanvasChanges) {
  const Extent x = ExtentOf(s);
  if (StillRight(layer, s, x, onlyCanvasChanges)) return false;
  MakeLayer(layer, s, x, tint);
  return true;
}

void MakeAlternating(OnionSkin& onion) {
  onion.alternating.resize(static_cast<size_t>(kSize) * kSize);
  const uint8_t* previous = onion.layers[0].plane.data();
  const uint8_t* next = onion.layers[1].plane.data();
  for (int row = 0; row < kSize; ++row) {
    const int top = kSize - 1 - row;
    const size_t at = static_cast<size_t>(row) * kSize;
    for (int c = 0; c < kSize; ++c) {
      onion.alternating[at + c] = ((c + top) & 1) ? next[at + c] : previous[at + c];
    }
  }
}

// A neighbour's pixel in a background's colour would vanish into it.
bool IsBackground(int index) {
  return index == kPlainBackground || index == kCheckerLight || index == kCheckerDark || index == kContrastBackground;
}

// The game colour nearest to (r, g, b) by the editor's one rule (sum of the
// component differences, the higher index on a tie), leaving out the
// backgrounds' colours.
uint8_t NearestShown(const GamePalette& p, int r, int g, int b) {
  int best = 1 << 30;
  uint8_t found = kFirstGameColor;
  for (int i = kFirstGameColor; i <= kLastGameColor; ++i) {
    if (IsBackground(i)) continue;
    const size_t at = static_cast<size_t>(3 * i);
    const int d = std::abs(p[at] - r) + std::abs(p[at + 1] - g) + std::abs(p[at + 2] - b);
    if (d <= best) {
      best = d;
      found = static_cast<uint8_t>(i);
    }
  }
  return found;
}

}  // namespace

void SetOnionTints(OnionSkin& onion, const GamePalette& palette) {
  const GamePalette& p = palette;
  for (int side = 0; side < 2; ++side) {
    auto& tint = onion.tints[static_cast<size_t>(side)];
    tint[0] = 0;
    for (int i = 1; i < 256; ++i) {
      auto mix = [&](int component) {
        return (p[static_cast<size_t>(3 * i + component)] + kTintColors[side][component] + 1) / 2;
      };
      tint[static_cast<size_t>(i)] = NearestShown(p, mix(0), mix(1), mix(2));
    }
  }
  onion.tinted = true;
  for (OnionLayer& layer : onion.layers) layer.made = false;
}

void UpdateOnionSkin(OnionSkin& onion, const OnionSource& previous, const OnionSource& next) {
  const bool before = Update(onion.layers[0], previous, onion.tints[0], onion.onlyCanvasChanges);
  const bool after = Update(onion.layers[1], next, onion.tints[1], onion.onlyCanvasChanges);
  if (before || after || onion.alternating.empty()) MakeAlternating(onion);
}

bool OnionShowsAnything(const OnionSkin& onion) {
  return onion.layers[0].lastRow >= 0 || onion.layers[1].lastRow >= 0;
}

}  // namespace qshe
