#include "platform/headless/headless_surface.h"

#include <algorithm>

namespace qshe::platform {

PaletteId HeadlessPalettes::CreatePalette(std::span<const PaletteEntry, 256> entries) {
  PaletteId id = next_++;
  std::copy(entries.begin(), entries.end(), palettes_[id].begin());
  return id;
}

void HeadlessPalettes::AnimatePalette(PaletteId palette, int first, std::span<const PaletteEntry> entries) {
  auto it = palettes_.find(palette);
  if (it == palettes_.end() || first < 0) return;
  ++animations;
  for (size_t i = 0; i < entries.size() && first + i < 256; ++i) {
    // Like the real thing, only entries reserved for animation change.
    PaletteEntry& e = it->second[first + i];
    if (e.flags & kPaletteReserved) e = entries[i];
  }
}

const std::array<PaletteEntry, 256>* HeadlessPalettes::Find(PaletteId palette) const {
  auto it = palettes_.find(palette);
  return it == palettes_.end() ? nullptr : &it->second;
}

HeadlessSurface::HeadlessSurface(int width, int height, int colorDepth, HeadlessPalettes* palettes)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      colorDepth_(colorDepth),
      palettes_(palettes ? palettes : &ownPalettes_),
      rgb_(static_cast<size_t>(width_) * static_cast<size_t>(height_)),
      index_(rgb_.size(), -1) {}

Rgb HeadlessSurface::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  size_t at = static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
  int index = index_[at];
  if (index < 0) return rgb_[at];
  if (const auto* palette = palettes_->Find(selectedPalette)) {
    const PaletteEntry& e = (*palette)[static_cast<size_t>(index)];
    return {e.red, e.green, e.blue};
  }
  return {};
}

void HeadlessSurface::Present(const IndexedImage& image, const Rect& source, const Rect& target) {
  presents.push_back({source, target, image.usage});
  int sw = source.width(), sh = source.height(), tw = target.width(), th = target.height();
  if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0) return;
  if (source.x1 < 0 || source.y1 < 0 || source.x2 >= image.width || source.y2 >= image.height) return;
  // The colour table read once, not per pixel.
  const bool indices = image.usage == ColorUsage::PaletteIndices;
  std::array<int16_t, 256> indexOf{};
  std::array<Rgb, 256> rgbOf{};
  for (int v = 0; v < 256; ++v) {
    if (indices) {
      indexOf[v] = static_cast<int16_t>((image.colorTable[2 * v] | (image.colorTable[2 * v + 1] << 8)) & 0xFF);
    } else {
      const uint8_t* quad = image.colorTable + 4 * v;
      indexOf[v] = -1;
      rgbOf[v] = {quad[2], quad[1], quad[0]};
    }
  }
  const int x1 = std::max(target.x1, 0), x2 = std::min(target.x2, width_ - 1);
  const bool unscaledRow = sw == tw;
  bool identity = indices;
  for (int v = 0; v < 256 && identity; ++v) identity = indexOf[v] == v;
  for (int ty = std::max(target.y1, 0); ty <= std::min(target.y2, height_ - 1); ++ty) {
    int sy = source.y1 + static_cast<int>(static_cast<int64_t>(ty - target.y1) * sh / th);
    const uint8_t* row = image.pixels + static_cast<size_t>(image.height - 1 - sy) * static_cast<size_t>(image.stride);
    const size_t line = static_cast<size_t>(ty) * static_cast<size_t>(width_);
    if (identity && unscaledRow) {
      // Indices through an identity table: a plain widening copy.
      const uint8_t* from = row + source.x1 + (x1 - target.x1);
      int16_t* to = index_.data() + line + static_cast<size_t>(x1);
      for (int i = 0; i <= x2 - x1; ++i) to[i] = from[i];
      continue;
    }
    for (int tx = x1; tx <= x2; ++tx) {
      int sx = source.x1 + (unscaledRow ? tx - target.x1 : static_cast<int>(static_cast<int64_t>(tx - target.x1) * sw / tw));
      uint8_t v = row[sx];
      index_[line + static_cast<size_t>(tx)] = indexOf[v];
      if (!indices) rgb_[line + static_cast<size_t>(tx)] = rgbOf[v];
    }
  }
}

void HeadlessSurface::DrawText(int x, int y, std::string_view text, Rgb color) {
  texts.push_back({x, y, std::string(text), color});
}

}  // namespace qshe::platform
