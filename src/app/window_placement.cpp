#include "app/window_placement.h"

#include <algorithm>
#include <tuple>

#include "editing/canvas_view.h"

namespace qshe {
namespace {

using platform::Rect;

// Space left between windows.
constexpr int kGap = 8;
// The canvas view and its scroll bars end here (inclusive).
constexpr int kCanvasRight = 455;
constexpr int kCanvasBottom = 277;

int Overlap(const Rect& a, const Rect& b) {
  int w = std::min(a.x2, b.x2) - std::max(a.x1, b.x1) + 1;
  int h = std::min(a.y2, b.y2) - std::max(a.y1, b.y1) + 1;
  return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

Rect CanvasKeepClear() { return {kViewLeft, kCanvasRight, 0, kCanvasBottom}; }

void KeepInside(const Rect& area, int width, int height, int& x, int& y) {
  x = std::max(area.x1, std::min(x, area.x2 - width + 1));
  y = std::max(area.y1, std::min(y, area.y2 - height + 1));
}

WindowSpot PlaceWindow(const Rect& area, const Rect& main, const Rect& canvas, int width, int height,
                       const std::vector<Rect>& taken) {
  // Rows and columns where a window may start: the main window's edge and
  // just past every window already there, so windows stack instead of
  // covering each other.
  std::vector<int> rows = {main.y1}, columns = {main.x1};
  for (const Rect& t : taken) {
    rows.push_back(t.y2 + kGap + 1);
    columns.push_back(t.x2 + kGap + 1);
  }
  std::vector<std::pair<int, int>> candidates;
  for (int y : rows) candidates.push_back({main.x2 + kGap + 1, y});
  for (int y : rows) candidates.push_back({main.x1 - kGap - width, y});
  for (int x : columns) candidates.push_back({x, main.y2 + kGap + 1});
  for (int x : columns) candidates.push_back({x, main.y1 - kGap - height});
  // Over the main window, beside the canvas: the tools and the palette.
  for (int y : rows) candidates.push_back({canvas.x2 + kGap + 1, y});
  for (int y : rows) candidates.push_back({canvas.x1 - kGap - width, y});
  // Anywhere else on the screen.
  const int stepX = std::max(8, area.width() / 48), stepY = std::max(8, area.height() / 48);
  for (int y = area.y1; y <= area.y2; y += stepY) {
    for (int x = area.x1; x <= area.x2; x += stepX) candidates.push_back({x, y});
  }

  WindowSpot best;
  std::tuple<int, int, size_t> bestKey{-1, 0, 0};
  for (size_t i = 0; i < candidates.size(); ++i) {
    auto [x, y] = candidates[i];
    KeepInside(area, width, height, x, y);
    const Rect r{x, x + width - 1, y, y + height - 1};
    int covered = 0;
    for (const Rect& t : taken) covered += Overlap(r, t);
    // Off the canvas first, then clear of the others, then in the order above.
    std::tuple<int, int, size_t> key{Overlap(r, canvas), covered > 0 ? 1 : 0, i};
    if (std::get<0>(bestKey) < 0 || key < bestKey) {
      bestKey = key;
      best = {x, y, std::get<0>(key)};
    }
  }
  return best;
}

}  // namespace qshe
