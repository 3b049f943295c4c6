// Independent references for the line, rectangle and ellipse: pixel by pixel
// (or step by step in closed form) rather than the way the drawing walks.
// Shared by the rasteriser tests and the tests that draw with the mouse.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "editing/rasterisers.h"
#include "editing/tools.h"

namespace qshe::testing {

inline constexpr uint8_t kInk = 9;

using Points = std::vector<std::pair<int, int>>;

// Stamps the brush at every point: the brush itself is the pencil's, tested
// on its own elsewhere.
inline Canvas Stamped(const Points& points, int size, uint8_t colour = kInk) {
  Canvas c;
  for (auto [x, y] : points) {
    if (size == 0) {
      SetCanvasPixel(c, x, y, colour);
    } else {
      DrawPencilDot(c, size, x, y, colour);
    }
  }
  return c;
}

// Where two canvases differ, as text for the failure message.
inline std::string FirstDifference(const Canvas& got, const Canvas& want) {
  for (int y = 0; y < kCanvasSize; ++y)
    for (int x = 0; x < kCanvasSize; ++x)
      if (got.At(x, y) != want.At(x, y))
        return "first difference at (" + std::to_string(x) + ", " + std::to_string(y) + "): drawn " +
               std::to_string(got.At(x, y)) + ", reference " + std::to_string(want.At(x, y));
  return "";
}

// ----- references ----------------------------------------------------------------

// The pencil's steps from the release point towards the press point in closed
// form: at step i along the longer axis the shorter one has moved
// ceil(i * minor / steps) - 1 times (never below 0); the press point itself
// is stamped by the press.
inline Points ReferenceLine(int x0, int y0, int x1, int y1) {
  Points p{{x0, y0}};
  const int dx = x0 - x1, dy = y0 - y1;
  const int sx = dx >= 0 ? 1 : -1, sy = dy >= 0 ? 1 : -1;
  const int adx = std::abs(dx), ady = std::abs(dy);
  const bool steep = adx <= ady;
  const int steps = steep ? ady : adx, minor = steep ? adx : ady;
  for (int i = 0; i < steps; ++i) {
    const int moved = i * minor == 0 ? 0 : (i * minor - 1) / steps;
    p.push_back(steep ? std::pair{x1 + sx * moved, y1 + sy * i} : std::pair{x1 + sx * i, y1 + sy * moved});
  }
  return p;
}

struct Box {
  int left, right, bottom, top;
};
inline Box Normalised(int x0, int y0, int x1, int y1) {
  return {std::min(x0, x1), std::max(x0, x1), std::min(y0, y1), std::max(y0, y1)};
}

inline bool InRectangle(const Box& b, int x, int y) {
  return x >= b.left && x <= b.right && y >= b.bottom && y <= b.top;
}

// A pixel belongs to the ellipse when its centre lies inside the ellipse whose
// half axes are a quarter pixel short of the box's edges, or when it is a
// middle pixel of its row or column (so the ellipse touches every side).
inline bool InEllipse(const Box& b, int x, int y) {
  if (!InRectangle(b, x, y)) return false;
  const int64_t w = b.right - b.left + 1, h = b.top - b.bottom + 1;
  // Centre offsets and half axes, all in quarter pixels.
  const int64_t u = 4 * (x - b.left) + 2 - 2 * w, v = 4 * (y - b.bottom) + 2 - 2 * h;
  const int64_t a = 2 * w - 1, bb = 2 * h - 1;
  if (u * u * bb * bb + v * v * a * a <= a * a * bb * bb) return true;
  return std::abs(2 * x - b.left - b.right) <= 1 || std::abs(2 * y - b.bottom - b.top) <= 1;
}

// The figure's pixels, or only those with an edge-neighbour outside it. Only
// pixels a brush there could still bring onto the canvas are looked at.
template <typename Inside>
Points Region(const Box& b, bool filled, Inside inside) {
  const int x1 = std::max(b.left, -4), x2 = std::min(b.right, 259);
  const int y1 = std::max(b.bottom, -4), y2 = std::min(b.top, 259);
  Points p;
  if (x1 > x2 || y1 > y2) return p;
  // Membership of the looked-at pixels and a ring round them.
  const int w = x2 - x1 + 3, h = y2 - y1 + 3;
  std::vector<char> in(static_cast<size_t>(w * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) in[static_cast<size_t>(y * w + x)] = inside(b, x1 - 1 + x, y1 - 1 + y);
  auto at = [&](int x, int y) { return in[static_cast<size_t>((y - y1 + 1) * w + (x - x1 + 1))] != 0; };
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x) {
      if (!at(x, y)) continue;
      if (filled || !at(x - 1, y) || !at(x + 1, y) || !at(x, y - 1) || !at(x, y + 1)) p.push_back({x, y});
    }
  return p;
}

inline Canvas Drawn(Figure figure, bool filled, int size, int x0, int y0, int x1, int y1) {
  Canvas c;
  DrawFigure(c, {figure, filled, size, x0, y0, x1, y1, kInk});
  return c;
}

inline Canvas Reference(Figure figure, bool filled, int size, int x0, int y0, int x1, int y1,
                        uint8_t colour = kInk) {
  const Box b = Normalised(x0, y0, x1, y1);
  switch (figure) {
    case Figure::Line: return Stamped(ReferenceLine(x0, y0, x1, y1), size, colour);
    case Figure::Rectangle: return Stamped(Region(b, filled, InRectangle), filled ? 0 : size, colour);
    case Figure::Ellipse: break;
  }
  return Stamped(Region(b, filled, InEllipse), filled ? 0 : size, colour);
}

}  // namespace qshe::testing
