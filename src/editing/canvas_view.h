// How the canvas is shown: magnification, panning, background and grid.
#pragma once

#include <cstdint>

namespace qshe {

struct SavedView {
  int32_t zoom = 0;
  double originX = 0.0;
  double originY = 0.0;
};

struct CanvasView {
  int32_t zoom = 0;  // 0, 2, 4, 8 or 16
  double originX = 0.0;
  double originY = 0.0;
  SavedView savedView;
  int32_t backgroundType = 0;  // 0 plain, 1 checkerboard, 2 contrast
  int32_t gridWhileZooming = 0;
};

// Canvas column under window x, and bottom-up canvas row under window y.
int ScreenToCanvasX(const CanvasView& view, int x);
int ScreenToCanvasY(const CanvasView& view, int y);

// Back to no magnification at origin (0, 0), as a new document starts.
inline void ResetCanvasView(CanvasView& view) {
  view.zoom = 0;
  view.originX = 0.0;
  view.originY = 0.0;
}

}  // namespace qshe
