#include "app/navigation.h"

#include <algorithm>

#include "app/canvas_routing.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "app/status_line.h"
#include "app/title_slider.h"
#include "app/view_commands.h"
#include "document/document_commands.h"
#include "editing/tools.h"

namespace qshe {
namespace {

// A drag of any kind is under way: the wheel leaves the shape and the zoom
// alone until it ends.
bool DragUnderWay(const Editor& e) {
  return e.tools.dragTool != -1 || e.navigation.panning || e.slider.dragging == 1 ||
         e.horizontalBar.pressedPart != kNoPart || e.verticalBar.pressedPart != kNoPart;
}

void ScrollByNotches(Editor& e, ScrollBar& bar, int notches) {
  // Unmagnified the bars are off and so is the wheel.
  if (notches == 0 || !bar.enabled || e.view.zoom <= 0) return;
  MoveScrollBarBy(e, bar, -notches * kArrowClicksPerNotch * std::max(bar.step, 1));
}

}  // namespace

bool OverCanvasForWheel(int x, int y) {
  // The canvas area, its frame column and row, and the two scroll bars.
  return x >= kViewLeft && x <= kViewFrameRight && y >= kViewTop && y <= kViewFrameBottom;
}

bool OverShapeSlider(int x, int y) {
  return x >= kSliderLeft && x <= kSliderRight && y >= kSliderTop && y <= kSliderBottom;
}

namespace {

void WheelAt(Editor& e, int x, int y, int across, int down, bool shift, bool ctrl) {
  Navigation& n = e.navigation;
  if (OverCanvasForWheel(x, y)) {
    if (ctrl) {
      const int notches = TakeWheelNotches(n.zoom, down != 0 ? down : across);
      if (DragUnderWay(e)) return;
      for (int i = 0; i < std::abs(notches); ++i) ZoomAtPoint(e, x, y, notches > 0 ? 1 : -1);
      return;
    }
    if (shift && across == 0) std::swap(across, down);
    ScrollByNotches(e, e.verticalBar, TakeWheelNotches(n.down, down));
    ScrollByNotches(e, e.horizontalBar, TakeWheelNotches(n.across, across));
  } else if (OverShapeSlider(x, y)) {
    const int notches = TakeWheelNotches(n.shapes, down != 0 ? down : across);
    if (notches == 0 || DragUnderWay(e)) return;
    // Turning down goes on to the next shape; the ends hold.
    const int target = std::clamp(e.doc.list.current - notches, 0, std::max(e.doc.list.count - 1, 0));
    if (target != e.doc.list.current) GoToShape(e, target);
  }
}

}  // namespace

void OnWheel(Editor& e, int x, int y, int across, int down, bool shift, bool ctrl) {
  e.window.lastMouseX = x;
  e.window.lastMouseY = y;
  e.status.mouseInside = true;
  WheelAt(e, x, y, across, down, shift, ctrl);
  // The pixel under the mouse may be another one now.
  UpdateStatusLine(e);
}

void ZoomAtPoint(Editor& e, int x, int y, int direction) {
  const int zoom = ZoomStep(e.view.zoom, direction);
  if (zoom == e.view.zoom) return;
  const ViewOrigin kept = ZoomOriginKeeping(e.view, x, y, zoom);
  const double keptX = kept.x, keptY = kept.y;
  if (direction > 0) {
    ZoomIn(e);
  } else {
    ZoomOut(e);
  }
  if (e.view.zoom > 0) {
    e.view.originX = keptX;
    e.view.originY = keptY;
  }
  RenderCanvasView(e);
  SyncScrollBars(e, true);
  // As the zoom buttons end: the toolbar as it now stands, the whole window.
  DrawAllToolButtons(e);
  PresentWindow(e);
}

void MiddlePress(Editor& e, int x, int y) {
  Navigation& n = e.navigation;
  if (!InsideToolArea(x, y) || e.tools.dragTool != -1 || n.panning) return;
  n.panning = true;
  n.lastX = x;
  n.lastY = y;
  e.ui().window.SetCursor(platform::Cursor::Hand);
}

void MiddleDrag(Editor& e, int x, int y) {
  Navigation& n = e.navigation;
  if (!n.panning) return;
  e.ui().window.SetCursor(platform::Cursor::Hand);
  if (e.view.zoom <= 0 || (x == n.lastX && y == n.lastY)) return;
  PanByHand(e.view, x - n.lastX, y - n.lastY);
  n.lastX = x;
  n.lastY = y;
  ShowCanvas(e);
}

void MiddleRelease(Editor& e, int x, int y) {
  if (!e.navigation.panning) return;
  e.navigation.panning = false;
  UpdateToolCursor(e, x, y, false);
}

void GoToShape(Editor& e, int target) {
  target = std::clamp(target, 0, std::max(e.doc.list.count - 1, 0));
  ShowShape(e.doc, e.canvas, target, true, e.doc.list.current);
  RefreshShapeViews(e);
}

}  // namespace qshe
