#include "browser/browser_view.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace qshe {
namespace {

constexpr uint64_t kMix = 0x9E3779B97F4A7C15ull;

uint64_t Mix(uint64_t h, uint64_t v) {
  h ^= v + kMix + (h << 6) + (h >> 2);
  return h * 0xFF51AFD7ED558CCDull;
}

uint64_t HashPixels(const Shape& s) {
  uint64_t h = Mix(static_cast<uint64_t>(s.width), static_cast<uint64_t>(s.height));
  if (!s.HasPixels()) return Mix(h, 1);
  const size_t n = static_cast<size_t>(s.PixelCount());
  const uint8_t* p = s.pixels.get();
  size_t i = 0;
  // Four lanes, so the multiplications do not wait on one another.
  uint64_t a = h, b = h ^ 1, c = h ^ 2, d = h ^ 3;
  for (; i + 32 <= n; i += 32) {
    uint64_t w[4];
    std::memcpy(w, p + i, 32);
    a = (a ^ w[0]) * 0x100000001B3ull;
    b = (b ^ w[1]) * 0x100000001B3ull;
    c = (c ^ w[2]) * 0x100000001B3ull;
    d = (d ^ w[3]) * 0x100000001B3ull;
  }
  h = Mix(Mix(Mix(a, b), c), d);
  for (; i < n; ++i) h = (h ^ p[i]) * 0x100000001B3ull;
  return Mix(h, n);
}

void Fill(BrowserImage& image, const platform::Rect& r0, uint8_t color) {
  const int x1 = std::max(r0.x1, 0), x2 = std::min(r0.x2, image.width - 1);
  const int y1 = std::max(r0.y1, 0), y2 = std::min(r0.y2, image.height - 1);
  if (x1 > x2) return;
  for (int y = y1; y <= y2; ++y) std::memset(image.Row(y) + x1, color, static_cast<size_t>(x2 - x1 + 1));
}

// A frame `width` pixels thick just outside `r`.
void Frame(BrowserImage& image, const platform::Rect& r, int width, uint8_t color) {
  Fill(image, {r.x1 - width, r.x2 + width, r.y1 - width, r.y1 - 1}, color);
  Fill(image, {r.x1 - width, r.x2 + width, r.y2 + 1, r.y2 + width}, color);
  Fill(image, {r.x1 - width, r.x1 - 1, r.y1, r.y2}, color);
  Fill(image, {r.x2 + 1, r.x2 + width, r.y1, r.y2}, color);
}

platform::Rect Shift(platform::Rect r, int dy) { return {r.x1, r.x2, r.y1 - dy, r.y2 - dy}; }

platform::Rect Inter(const platform::Rect& a, const platform::Rect& b) {
  return {std::max(a.x1, b.x1), std::min(a.x2, b.x2), std::max(a.y1, b.y1), std::min(a.y2, b.y2)};
}

void DrawCell(BrowserView& v, const BrowserScene& scene, int index) {
  const BrowserLayout& l = v.layout;
  BrowserImage& image = v.image;
  const int s = l.scale;
  const platform::Rect cell = Shift(CellRect(l, index), v.scrollY);
  const platform::Rect thumb = Shift(ThumbRect(l, index), v.scrollY);
  const bool selected = scene.selection && IsSelected(*scene.selection, index);
  const bool current = index == scene.current;
  Fill(image, cell, kBrowserWindowColor);
  const platform::Rect label{cell.x1, cell.x2, thumb.y2 + l.pad / 2 + 1, cell.y2};
  if (selected) {
    Fill(image, {cell.x1 + s, cell.x2 - s, label.y1, cell.y2 - s}, kBrowserSelectedColor);
    Frame(image, thumb, s, kBrowserSelectedColor);
  }
  if (current) Frame(image, thumb, 2 * s, kBrowserCurrentColor);
  DrawThumbnail(image, thumb, scene.shapes[static_cast<size_t>(index)], scene.background, s);
  const platform::Rect textClip = Inter(cell, {cell.x1 + l.pad, cell.x2 - l.pad, cell.y1, cell.y2});
  const int textY = label.y1 + (label.height() - kGlyphHeight * s) / 2;
  DrawLabel(image, cell.x1 + l.pad, textY, std::to_string(index),
            selected ? kBrowserSelectedText : kBrowserTextColor, s, textClip);
  if (scene.showReplacement) {
    const std::string r = std::to_string(scene.shapes[static_cast<size_t>(index)].replacement);
    DrawLabel(image, cell.x2 - l.pad + 1 - LabelWidth(r, s), textY, r,
              selected ? kBrowserSelectedText : kBrowserReplacementColor, s, textClip);
  }
  // Where a drag would put the shapes: a bar at the cell's left edge, or
  // at the last cell's right edge for the end of the list.
  if (scene.dropGap == index) Fill(image, {cell.x1, cell.x1 + 2 * s - 1, cell.y1, cell.y2}, kBrowserDropColor);
  if (scene.dropGap == l.count && index == l.count - 1) {
    Fill(image, {cell.x2 - 2 * s + 1, cell.x2, cell.y1, cell.y2}, kBrowserDropColor);
  }
  ++v.cellsDrawn;
}

}  // namespace

void SetBrowserGeometry(BrowserView& v, int count, int viewWidth, int viewHeight, int scale, int scrollY) {
  v.layout = MakeBrowserLayout(count, viewWidth, viewHeight, scale);
  v.scrollY = ClampScroll(v.layout, scrollY);
}

uint64_t CellKey(const BrowserScene& scene, const BrowserLayout& l, int index) {
  const Shape& shape = scene.shapes[static_cast<size_t>(index)];
  uint64_t h = HashPixels(shape);
  const uint64_t flags = (index == scene.current ? 1u : 0u) |
                         (scene.selection && IsSelected(*scene.selection, index) ? 2u : 0u) |
                         (scene.dropGap == index ? 4u : 0u) |
                         (scene.dropGap == l.count && index == l.count - 1 ? 8u : 0u) |
                         (scene.showReplacement ? 16u : 0u);
  h = Mix(h, flags);
  if (scene.showReplacement) h = Mix(h, static_cast<uint32_t>(shape.replacement));
  const ThumbBackground& b = scene.background;
  h = Mix(h, (b.checker ? 1u : 0u) | uint64_t{b.plain} << 8 | uint64_t{b.light} << 16 | uint64_t{b.dark} << 24 |
                 static_cast<uint64_t>(static_cast<uint32_t>(b.cell)) << 32);
  return h;
}

std::vector<platform::Rect> UpdateBrowserView(BrowserView& v, const BrowserScene& scene) {
  const BrowserLayout& l = v.layout;
  std::vector<platform::Rect> changed;
  if (l.viewWidth <= 0 || l.viewHeight <= 0) return changed;
  const bool whole = !v.drawn || !(v.drawnLayout == l) || v.drawnScroll != v.scrollY;
  const CellRange range = CellsInView(l, v.scrollY);
  const size_t n = range.last >= range.first ? static_cast<size_t>(range.last - range.first + 1) : 0;
  if (whole) {
    if (v.image.width != l.viewWidth || v.image.height != l.viewHeight) {
      v.image.width = l.viewWidth;
      v.image.height = l.viewHeight;
      v.image.pixels.assign(static_cast<size_t>(l.viewWidth) * static_cast<size_t>(l.viewHeight), 0);
    }
    std::fill(v.image.pixels.begin(), v.image.pixels.end(), kBrowserWindowColor);
    v.keys.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
      const int index = range.first + static_cast<int>(i);
      v.keys[i] = CellKey(scene, l, index);
      DrawCell(v, scene, index);
    }
    v.drawn = true;
    v.drawnLayout = l;
    v.drawnScroll = v.scrollY;
    v.shown = range;
    changed.push_back({0, l.viewWidth - 1, 0, l.viewHeight - 1});
    return changed;
  }
  const platform::Rect view{0, l.viewWidth - 1, 0, l.viewHeight - 1};
  for (size_t i = 0; i < n; ++i) {
    const int index = range.first + static_cast<int>(i);
    const uint64_t key = CellKey(scene, l, index);
    if (key == v.keys[i]) continue;
    v.keys[i] = key;
    DrawCell(v, scene, index);
    changed.push_back(Inter(Shift(CellRect(l, index), v.scrollY), view));
  }
  return changed;
}

size_t BrowserMemory(const BrowserView& v) {
  return v.image.pixels.capacity() + v.keys.capacity() * sizeof(uint64_t) + sizeof(BrowserView);
}

}  // namespace qshe
