#include "app/window_placement.h"

#include <algorithm>
#include <tuple>

#include "editing/canvas_view.h"

namespace qshe {
namespace {

using platform::Rect;

// Space left between windows.
constexpr int kGap = 8;

int Overlap(const Rect& a, const Rect& b) {
  int w = std::min(a.x2, b.x2) - std::max(a.x1, b.x1) + 1;
  int h = std::min(a.y2, b.y2) - std::max(a.y1, b.y1) + 1;
  return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

Rect CanvasKeepClear() { return {kViewLeft, kViewFrameRight, 0, kViewFrameBottom}; }

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
  // A spot beside something keeps its side: one that would have to move
  // across to fit on the screen is no spot there.
  struct Candidate {
    int x, y;
    bool keepX, keepY;
  };
  std::vector<Candidate> candidates;
  for (int y : rows) candidates.push_back({main.x2 + kGap + 1, y, true, false});
  for (int y : rows) candidates.push_back({main.x1 - kGap - width, y, true, false});
  for (int x : columns) candidates.push_back({x, main.y2 + kGap + 1, false, true});
  for (int x : columns) candidates.push_back({x, main.y1 - kGap - height, false, true});
  // Over the main window, beside the canvas: the title picture and the
  // tools, whose keys work all the same, before the palette, which only the
  // mouse reaches.
  // They start below the menu bar, at the canvas's top.
  std::vector<int> below = rows;
  below.front() = canvas.y1;
  for (int y : below) candidates.push_back({canvas.x1 - kGap - width, y, true, false});
  for (int y : below) candidates.push_back({canvas.x2 + kGap + 1, y, true, false});
  // Anywhere else on the screen.
  const int stepX = std::max(8, area.width() / 48), stepY = std::max(8, area.height() / 48);
  for (int y = area.y1; y <= area.y2; y += stepY) {
    for (int x = area.x1; x <= area.x2; x += stepX) candidates.push_back({x, y, false, false});
  }

  // The main window's title and menu bar, above the canvas: covered only
  // when nothing else will do.
  const Rect menu{main.x1, main.x2, main.y1, canvas.y1 - 1};
  WindowSpot best;
  std::tuple<int, int, int, size_t> bestKey{-1, 0, 0, 0};
  for (size_t i = 0; i < candidates.size(); ++i) {
    const Candidate& c = candidates[i];
    int x = c.x, y = c.y;
    KeepInside(area, width, height, x, y);
    if ((c.keepX && x != c.x) || (c.keepY && y != c.y)) continue;
    const Rect r{x, x + width - 1, y, y + height - 1};
    int covered = 0;
    for (const Rect& t : taken) covered += Overlap(r, t);
    // Off the canvas first, then clear of the others and of the menu bar,
    // then in the order above.
    std::tuple<int, int, int, size_t> key{Overlap(r, canvas), covered > 0 ? 1 : 0, Overlap(r, menu) > 0 ? 1 : 0, i};
    if (std::get<0>(bestKey) < 0 || key < bestKey) {
      bestKey = key;
      best = {x, y, std::get<0>(key)};
    }
  }
  return best;
}

}  // namespace qshe
