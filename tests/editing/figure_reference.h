// References for the line, rectangle and ellipse that work pixel by pixel
// (or step by step in closed form) rather than the way the drawing walks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "editing/rasterisers.h"
#include "editing/tools.h"

namespace qshe::testing {

inline constexpr uint8_t kInk = 9;

struct Box {
  int left, right, bottom, top;
};

inline bool InRectangle(const Box& b, int x, int y) {
  return x >= b.left && x <= b.right && y >= b.bottom && y <= b.top;
}

// Pixel centres inside the ellipse whose half axes are a quarter pixel short
// of the box's edges, and the middle pixels of every row and column.
inline bool InEllipse(const Box& b, int x, int y) {
  if (!InRectangle(b, x, y)) return false;
  const int64_t w = b.right - b.left + 1, h = b.top - b.bottom + 1, a = 2 * w - 1, c = 2 * h - 1;
  const int64_t u = 4 * (x - b.left) + 2 - 2 * w, v = 4 * (y - b.bottom) + 2 - 2 * h;  // quarter pixels
  return u * u * c * c + v * v * a * a <= a * a * c * c || std::abs(2 * x - b.left - b.right) <= 1 ||
         std::abs(2 * y - b.bottom - b.top) <= 1;
}

// The figure from (x0, y0) to (x1, y1) on an empty canvas: the brush stamped
// at each point of the line (the pencil's steps from the release point
// towards the press point: at step i the shorter axis has moved
// ceil(i * minor / steps) - 1 times), or at each pixel of the figure with an
// edge-neighbour outside it (every pixel when filled, without the brush).
inline Canvas Reference(Figure figure, bool filled, int size, int x0, int y0, int x1, int y1,
                        uint8_t colour = kInk) {
  std::vector<std::pair<int, int>> points;
  if (figure == Figure::Line) {
    points.push_back({x0, y0});
    const int adx = std::abs(x0 - x1), ady = std::abs(y0 - y1), sx = x0 >= x1 ? 1 : -1, sy = y0 >= y1 ? 1 : -1;
    const int steps = std::max(adx, ady), minor = std::min(adx, ady);
    for (int i = 0; i < steps; ++i) {
      const int moved = i * minor == 0 ? 0 : (i * minor - 1) / steps;
      points.push_back(adx <= ady ? std::pair{x1 + sx * moved, y1 + sy * i} : std::pair{x1 + sx * i, y1 + sy * moved});
    }
  } else {
    const Box b{std::min(x0, x1), std::max(x0, x1), std::min(y0, y1), std::max(y0, y1)};
    // Only where a brush could still reach the canvas, membership looked up
    // once for those pixels and a ring round them.
    const int xl = std::max(b.left, -4), xr = std::min(b.right, 259), yb = std::max(b.bottom, -4);
    const int yt = std::min(b.top, 259), w = xr - xl + 3;
    std::vector<char> member(static_cast<size_t>(std::max(w, 0) * std::max(yt - yb + 3, 0)));
    auto in = [&](int x, int y) -> char& { return member[static_cast<size_t>((y - yb + 1) * w + x - xl + 1)]; };
    for (int y = yb - 1; y <= yt + 1; ++y)
      for (int x = xl - 1; x <= xr + 1; ++x)
        in(x, y) = figure == Figure::Rectangle ? InRectangle(b, x, y) : InEllipse(b, x, y);
    for (int y = yb; y <= yt; ++y)
      for (int x = xl; x <= xr; ++x)
        if (in(x, y) && (filled || !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1)))
          points.push_back({x, y});
    if (filled) size = 0;
  }
  Canvas c;
  for (auto [x, y] : points) DrawPencilDot(c, size, x, y, colour);
  return c;
}

}  // namespace qshe::testing
