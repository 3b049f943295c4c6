// What the mouse wheel and the pointer mean for the canvas view: wheel
// turns counted into whole steps, the zoom that keeps a pixel under the
// mouse, and the canvas pixel a window point shows.
#pragma once

#include <optional>

#include "editing/canvas_view.h"

namespace qshe {

// One notch of an ordinary wheel, in the window system's eighths of a degree.
inline constexpr int kWheelNotch = 120;

// Turns not yet worth a whole step. A touchpad sends many small turns; they
// add up here so that no step is lost or counted twice, in either direction.
struct WheelRemainder {
  int pending = 0;
};

// Adds `delta` (eighths of a degree, positive away from the user) and
// returns the whole notches it completes, keeping the rest.
int TakeWheelNotches(WheelRemainder& remainder, int delta);

// The zoom one step in (direction > 0) or out (< 0) from `zoom`, along 0, 2,
// 4, 8, 16, staying at the ends.
int ZoomStep(int zoom, int direction);

struct ViewOrigin {
  double x = 0.0;
  double y = 0.0;
};

// The origin at `newZoom` that keeps the canvas pixel now under window point
// (x, y) under it, held inside the panning range of the scroll bars (0 ..
// 256 - 256/zoom across, the negative of that down); unmagnified the origin
// is always (0, 0).
ViewOrigin ZoomOriginKeeping(const CanvasView& view, int x, int y, int newZoom);

// A canvas pixel as the user counts it: column from the left, row from the
// top (the shape's top-left corner is the canvas's).
struct CanvasPixel {
  int x = 0;
  int y = 0;
};

// The canvas pixel shown at window point (x, y), or nothing off the canvas
// (outside the canvas area, or where the view shows only background).
std::optional<CanvasPixel> CanvasPixelAt(const CanvasView& view, int x, int y);

}  // namespace qshe
