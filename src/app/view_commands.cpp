#include "app/view_commands.h"

#include "app/canvas_routing.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "app/picture_import_routing.h"
#include "app/preferences.h"
#include "app/selection_commands.h"
#include "app/shape_browser.h"

namespace qshe {
namespace {

// The bars move the view only while it is magnified; an arrow steps further
// the less the view is magnified.
void EnableScrollBars(Editor& e, bool on) {
  for (ScrollBar* bar : {&e.horizontalBar, &e.verticalBar}) {
    bar->enabled = on ? 1 : 0;
    if (on) bar->step = 5 - e.view.zoom / 4;
  }
}

void SetSecondViewButton(Editor& e, int pressed) {
  e.toolbar.buttons[static_cast<size_t>(kSecondViewButton)].pressed = pressed;
}

// A floating selection goes down on the canvas and the selection is gone:
// it would not sit on the same pixels at another magnification.
void DropSelection(Editor& e) {
  PutDownSelection(e);
  ClearSelection(e.selection);
}

void MoveThumb(Editor& e, ScrollBar& bar, int position, bool force) {
  const bool moved = bar.position != position;
  bar.position = position;
  if (moved || force) {
    DrawScrollBar(e, bar);
    ShowScrollBar(e, bar);
  }
}

}  // namespace

void ZoomIn(Editor& e) {
  CanvasView& v = e.view;
  if (v.zoom < kMaxZoom) v.zoom = v.zoom == 0 ? 2 : v.zoom * 2;
  v.savedView = SavedView{};
  SetSecondViewButton(e, 0);
  EnableScrollBars(e, true);
  DropSelection(e);
  RenderCanvasView(e);
  SyncScrollBars(e, true);
}

void ZoomOut(Editor& e) {
  CanvasView& v = e.view;
  if (v.zoom > 0) v.zoom /= 2;
  DropSelection(e);
  if (v.zoom == 1) {
    v.zoom = 0;
    v.originX = v.originY = 0.0;
  }
  EnableScrollBars(e, v.zoom >= 2);
  RenderCanvasView(e);
  SyncScrollBars(e, true);
}

void CenterView(Editor& e) {
  CanvasView& v = e.view;
  if (v.zoom > 0) {
    const Shape& s = e.doc.list.slots[static_cast<size_t>(e.doc.list.current)];
    const int n = kCanvasSize / v.zoom;
    v.originX = (s.width - n) * 0.5;
    v.originY = (n - s.height) * 0.5;
  } else {
    v.originX = v.originY = 0.0;
  }
  RenderCanvasView(e);
}

void SecondView(Editor& e) {
  CanvasView& v = e.view;
  if (v.zoom != 0) {
    v.savedView = {v.zoom, v.originX, v.originY};
    v.zoom = 0;
    v.originX = v.originY = 0.0;
    SetSecondViewButton(e, 1);
    EnableScrollBars(e, false);
  } else {
    v.zoom = v.savedView.zoom;
    v.originX = v.savedView.originX;
    v.originY = v.savedView.originY;
    DropSelection(e);
    SetSecondViewButton(e, 0);
    if (v.zoom != 0) EnableScrollBars(e, true);
  }
  RenderCanvasView(e);
  SyncScrollBars(e, true);
}

void SetBackground(Editor& e, int background) {
  SetToolState(e, e.tools.currentTool, background, e.tools.pencilSize);
  KeepViewPreferences(e);
  RenderCanvasView(e);
  // The shape-position window shows the shape on the same background, and
  // so does the import's preview.
  RefreshPositionWindows(e);
  RefreshImportPictureWindow(e);
  RefreshShapesWindow(e);
}

void ToggleGrid(Editor& e) {
  CanvasView& v = e.view;
  v.gridWhileZooming = 1 - v.gridWhileZooming;
  e.desktop.menus.SetMenuChecked(kCmdGridWhileZooming, v.gridWhileZooming == 1);
  KeepViewPreferences(e);
  RenderCanvasView(e);
  PaintCanvasArea(e);
}

void PanView(Editor& e, int right, int up) {
  CanvasView& v = e.view;
  // Unmagnified the origin is where the picture sits; magnified it is the
  // canvas place at the view's corner, which moves the other way.
  const double step = v.zoom == 0 ? 2.0 : -2.0;
  v.originX += step * right;
  v.originY += step * up;
  RenderCanvasView(e);
  PaintCanvasArea(e);
  SyncScrollBars(e, true);
}

void ResetView(Editor& e) {
  ResetCanvasView(e.view);
  EnableScrollBars(e, false);
}

void SyncScrollBars(Editor& e, bool force) {
  ScrollBar& h = e.horizontalBar;
  ScrollBar& v = e.verticalBar;
  if (h.dragging || v.dragging) {
    h.dragging = v.dragging = 0;
    return;
  }
  MoveThumb(e, h, ThumbForOrigin(e.view.originX, h.range, e.view.zoom), force);
  MoveThumb(e, v, ThumbForOrigin(-e.view.originY, v.range, e.view.zoom), force);
}

void ScrollHorizontally(Editor& e) {
  const ScrollBar& bar = e.horizontalBar;
  if (e.view.zoom > 0) e.view.originX = OriginForThumb(bar.position, bar.range, e.view.zoom);
  // Rendered also unmagnified: its sync notes the movement as seen.
  RenderCanvasView(e);
  PaintCanvasArea(e);
}

void ScrollVertically(Editor& e) {
  const ScrollBar& bar = e.verticalBar;
  if (e.view.zoom > 0) e.view.originY = -OriginForThumb(bar.position, bar.range, e.view.zoom);
  RenderCanvasView(e);
  PaintCanvasArea(e);
}

}  // namespace qshe
