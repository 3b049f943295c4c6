#include "editing/canvas_view.h"

namespace qshe {

int ScreenToCanvasX(const CanvasView& view, int x) {
  const int ox = static_cast<int>(view.originX);
  if (view.zoom == 0) return x - ox - 184;
  return ox + (x - 184) / view.zoom;
}

int ScreenToCanvasY(const CanvasView& view, int y) {
  const int oy = static_cast<int>(view.originY);
  if (view.zoom == 0) return 263 - oy - y;
  return oy - (y - 8) / view.zoom + 255;
}

}  // namespace qshe
