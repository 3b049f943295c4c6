#include "editing/view_navigation.h"

#include <algorithm>
#include <cstdint>

namespace qshe {
namespace {

// Window point of the canvas area's top-left pixel and its size.
constexpr int kAreaSize = kCanvasSize;

// Division rounding toward minus infinity: the block left of the area's
// corner is block -1, not 0.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

int TakeWheelNotches(WheelRemainder& remainder, int delta) {
  // Held far from overflow: no real wheel turns this far between events.
  constexpr int64_t kMost = 1000 * kWheelNotch;
  remainder.pending = static_cast<int>(std::clamp(int64_t{remainder.pending} + delta, -kMost, kMost));
  const int notches = remainder.pending / kWheelNotch;  // toward zero: the rest keeps its sign
  remainder.pending -= notches * kWheelNotch;
  return notches;
}

int ZoomStep(int zoom, int direction) {
  if (direction > 0) return zoom >= kMaxZoom ? kMaxZoom : (zoom == 0 ? 2 : zoom * 2);
  if (direction < 0) return zoom <= 2 ? 0 : zoom / 2;
  return zoom;
}

ViewOrigin ZoomOriginKeeping(const CanvasView& view, int x, int y, int newZoom) {
  if (newZoom <= 0) return {};
  // The pixel under the mouse now: column, and row counted from the top.
  int column = 0, top = 0;
  if (view.zoom > 0) {
    column = FirstViewColumn(view) + FloorDiv(x - kViewLeft, view.zoom);
    top = FloorDiv(y - kViewTop, view.zoom) - WholeOrigin(view.originY);
  } else {
    column = x - kViewLeft - WholeOrigin(view.originX);
    top = y - kViewTop + WholeOrigin(view.originY);
  }
  // The mouse may rest on the frame's extra column and row; it stays inside
  // the area for the arithmetic.
  const int ax = std::clamp(x - kViewLeft, 0, kAreaSize - 1);
  const int ay = std::clamp(y - kViewTop, 0, kAreaSize - 1);
  const int pan = kCanvasSize - kCanvasSize / newZoom;
  ViewOrigin o;
  o.x = std::clamp(column - ax / newZoom, 0, pan);
  o.y = std::clamp(ay / newZoom - top, -pan, 0);
  return o;
}

std::optional<CanvasPixel> CanvasPixelAt(const CanvasView& view, int x, int y) {
  if (x < kViewLeft || x >= kViewLeft + kAreaSize || y < kViewTop || y >= kViewTop + kAreaSize) return std::nullopt;
  int column = 0, top = 0;
  if (view.zoom > 0) {
    // The same blocks the view draws and the tools paint.
    column = ScreenToCanvasX(view, x);
    top = (y - kViewTop) / view.zoom - WholeOrigin(view.originY);
  } else {
    column = ScreenToCanvasX(view, x);
    top = kCanvasSize - 1 - ScreenToCanvasY(view, y);
  }
  if (column < 0 || column >= kCanvasSize || top < 0 || top >= kCanvasSize) return std::nullopt;
  return CanvasPixel{column, top};
}

}  // namespace qshe
