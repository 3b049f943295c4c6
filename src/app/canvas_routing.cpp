#include "app/canvas_routing.h"

#include <cstring>

#include "app/color_panel.h"
#include "app/history_commands.h"
#include "app/selection_commands.h"
#include "app/view_commands.h"
#include "editing/tools.h"

namespace qshe {
namespace {

uint8_t StrokeColour(const Editor& e) {
  if (e.tools.dragTool == kEraser) return 0;
  return e.tools.dragButton == 2 ? e.colors.backColor : e.colors.foreColor;
}

void ShowCanvasEdit(Editor& e) {
  e.window.canvasChanged = 1;
  ShowCanvas(e);
}

// The left button picks ForeColor, the right BackColor.
void PickColour(Editor& e, int cx, int cy, bool always) {
  uint8_t& target = e.tools.dragButton == 2 ? e.colors.backColor : e.colors.foreColor;
  uint8_t picked = GetCanvasPixel(e.canvas, cx, cy);
  if (picked == target && !always) return;
  target = picked;
  DrawColorPanel(e);
  PresentColorPanel(e);
}

// The select tool's press: on the selection it starts moving it, elsewhere
// it puts a floating selection down and starts a new rectangle.
void SelectPressAt(Editor& e, int cx, int cy) {
  Selection& s = e.selection;
  const SelectPress press = ClassifySelectPress(s, cx, cy);
  if (press.startsMove) {
    e.ui().window.SetCursor(platform::Cursor::Hand);
    s.state = kMoving;
    return;
  }
  if (s.state == kRectangle || press.dropsFloating) {
    PutDownSelection(e);
    ShowCanvas(e);
  }
  StartSelection(s, cx, cy);
}

void SelectDragTo(Editor& e, int cx, int cy) {
  ToolState& t = e.tools;
  Selection& s = e.selection;
  if (s.state == kMoving) {
    e.ui().window.SetCursor(platform::Cursor::Hand);
    if (cx == t.lastX && cy == t.lastY) return;
  }
  if (DragSelection(s, cx, cy, cx - t.lastX, cy - t.lastY)) {
    t.lastX = cx;
    t.lastY = cy;
    // The release records the move (and marks the work unsaved).
    e.window.canvasChanged = 1;
  }
  DrawSelectionOverlay(e);
  PaintCanvasArea(e);
}

void SelectRelease(Editor& e) {
  const bool moving = e.selection.state == kMoving;
  const SelectRedraw redraw = ReleaseSelection(e.selection, e.canvas, e.tools.dragButton == 1);
  // One drag of floating pixels is one step.
  if (moving) RecordCanvasStep(e, "Move Selection");
  switch (redraw) {
    case SelectRedraw::View:
      ShowCanvas(e);
      break;
    case SelectRedraw::Overlay:
      DrawSelectionOverlay(e);
      PaintCanvasArea(e);
      break;
    case SelectRedraw::None: break;
  }
}

}  // namespace

void UpdateToolCursor(Editor& e, int x, int y, bool eyedropper) {
  using platform::Cursor;
  if (!InsideToolArea(x, y)) {
    if (e.tools.dragTool == -1) e.ui().window.SetCursor(Cursor::Arrow);
    return;
  }
  // Figures take the select tool's crosshair: they start on one pixel exactly.
  static constexpr Cursor kToolCursors[kToolCount] = {Cursor::Pencil, Cursor::Eraser, Cursor::Hand,
                                                      Cursor::Eyedropper, Cursor::Select, Cursor::Bucket,
                                                      Cursor::Select, Cursor::Select, Cursor::Select};
  int tool = eyedropper ? kEyedropper : e.tools.currentTool;
  // Over the selection the select tool shows the hand that moves it.
  if (tool == kSelect && InsideSelection(e.selection, ScreenToCanvasX(e.view, x),
                                         kCanvasSize - 1 - ScreenToCanvasY(e.view, y))) {
    e.ui().window.SetCursor(Cursor::Hand);
    return;
  }
  e.ui().window.SetCursor(tool >= 0 && tool < kToolCount ? kToolCursors[tool] : Cursor::Arrow);
}

void ToolMouseDown(Editor& e, int x, int y, int button, bool ctrl) {
  ToolState& t = e.tools;
  UpdateToolCursor(e, x, y, ctrl);
  if (!InsideToolArea(x, y)) {
    t.dragTool = -1;
    return;
  }
  t.dragTool = ctrl ? kEyedropper : t.currentTool;
  t.dragButton = button;
  if (t.dragTool == kHand) {
    t.lastX = x;
    t.lastY = y;
    return;
  }
  const int cx = ScreenToCanvasX(e.view, x), cy = ScreenToCanvasY(e.view, y);
  t.lastX = cx;
  t.lastY = cy;
  // Painting lands a floating selection first (a tool chosen from the menu
  // leaves it floating).
  if (t.dragTool == kPencil || t.dragTool == kEraser || t.dragTool == kBucket || IsFigureTool(t.dragTool)) {
    PutDownSelection(e);
  }
  switch (t.dragTool) {
    case kPencil:
    case kEraser:
      StartPencilStroke(e.canvas, t, cx, cy, StrokeColour(e));
      ShowCanvasEdit(e);
      break;
    case kLineTool:
    case kRectangleTool:
    case kEllipseTool:
      // Shown over the canvas until the release; the canvas itself waits.
      t.figureX0 = t.figureX1 = cx;
      t.figureY0 = t.figureY1 = cy;
      ShowCanvas(e);
      break;
    case kEyedropper: PickColour(e, cx, cy, true); break;
    case kBucket:
      FloodFill(e.canvas, e.fillStack, cx, cy, StrokeColour(e));
      ShowCanvasEdit(e);
      break;
    case kSelect: SelectPressAt(e, cx, cy); break;
    default: break;
  }
}

void ToolMouseMove(Editor& e, int x, int y, bool ctrl) {
  ToolState& t = e.tools;
  UpdateToolCursor(e, x, y, ctrl || t.dragTool == kEyedropper);
  if (t.dragTool == kHand) {
    if (e.view.zoom <= 0) return;
    PanByHand(e.view, x - t.lastX, y - t.lastY);
    t.lastX = x;
    t.lastY = y;
    ShowCanvas(e);
    return;
  }
  const int cx = ScreenToCanvasX(e.view, x), cy = ScreenToCanvasY(e.view, y);
  switch (t.dragTool) {
    case kPencil:
    case kEraser:
      // A move within the same canvas pixel paints nothing new.
      if (cx == t.lastX && cy == t.lastY) return;
      DrawPencilLine(e.canvas, t.pencilSize, cx, cy, t.lastX, t.lastY, StrokeColour(e));
      t.lastX = cx;
      t.lastY = cy;
      ShowCanvasEdit(e);
      break;
    case kEyedropper: PickColour(e, cx, cy, false); break;
    case kSelect: SelectDragTo(e, cx, cy); break;
    case kLineTool:
    case kRectangleTool:
    case kEllipseTool:
      t.lastX = cx;
      t.lastY = cy;
      if (SetFigureEnd(t, cx, cy)) ShowCanvas(e);
      break;
    default: break;
  }
}

void ToolMouseUp(Editor& e) {
  ToolState& t = e.tools;
  const bool figure = IsFigureTool(t.dragTool);
  if (figure) {
    DrawFigure(e.canvas, DraggedFigure(t, StrokeColour(e)));
    e.window.canvasChanged = 1;
  }
  // Every stroke or figure that changed a pixel is one step.
  if (t.dragTool == kPencil || t.dragTool == kEraser || t.dragTool == kBucket || figure) RecordPendingPainting(e);
  if (t.dragTool == kPencil || t.dragTool == kEraser) {
    t.strokeEndKnown = true;
    t.strokeEndX = t.lastX;
    t.strokeEndY = t.lastY;
  }
  if (t.dragTool == kSelect) SelectRelease(e);
  t.dragTool = -1;
  t.dragButton = -1;
  // The view shows the canvas itself again, the figure now on it.
  if (figure) ShowCanvas(e);
}

void CancelFigure(Editor& e) {
  ToolState& t = e.tools;
  if (!IsFigureTool(t.dragTool)) return;
  // The rest of the drag does nothing, the release included.
  t.dragTool = -1;
  t.dragButton = -1;
  ShowCanvas(e);
}

void ToolShiftKey(Editor& e, bool down) {
  ToolState& t = e.tools;
  t.shift = down;
  if (IsFigureTool(t.dragTool) && SetFigureEnd(t, t.lastX, t.lastY)) ShowCanvas(e);
}

void RenderCanvasView(Editor& e) {
  if (e.window.failed) return;
  const ScreenBuffers& b = e.window.buffers;
  // While a figure is dragged the view shows it on a copy of the canvas,
  // made afresh each time so that it follows anything done to the canvas
  // meanwhile; only the rows in view are copied and drawn (16 of 256 at
  // zoom 16).
  const Canvas* shown = &e.canvas;
  if (IsFigureTool(e.tools.dragTool)) {
    RowRange rows;
    ViewedCanvasRows(e.view, rows.bottom, rows.top);
    if (rows.bottom <= rows.top) {
      const size_t from = static_cast<size_t>(rows.bottom) * kCanvasSize;
      const size_t count = static_cast<size_t>(rows.top - rows.bottom + 1) * kCanvasSize;
      std::memcpy(e.figurePreview.pixels.data() + from, e.canvas.pixels.data() + from, count);
    }
    DrawFigure(e.figurePreview, DraggedFigure(e.tools, StrokeColour(e)), rows);
    shown = &e.figurePreview;
  }
  RenderCanvasView(e.view, *shown, e.display, b.canvasView, b.composition);
  // Floating pixels are part of the picture whatever the tool; the outline
  // belongs to the select tool.
  DrawSelection(e.selection, e.view, e.display, e.tools.currentTool == kSelect);
  SyncScrollBars(e, false);
}

void PaintCanvasArea(Editor& e) {
  if (e.window.failed) return;
  SelectBuffer(e.display, e.window.buffers.composition);
  PasteToWindow(e.display, kViewLeft, kViewLeft + kCanvasSize, 0, kViewTop + kCanvasSize,
                kViewLeft, kViewLeft + kCanvasSize, 0, kViewTop + kCanvasSize);
}

void DrawSelectionOverlay(Editor& e) {
  if (e.window.failed) return;
  const bool outline = e.tools.currentTool == kSelect;
  if (!outline && !IsFloating(e.selection)) return;
  // A fresh copy of the view takes away what was drawn over it last time.
  CopyViewToComposition(e.display, e.window.buffers.canvasView, e.window.buffers.composition);
  DrawSelection(e.selection, e.view, e.display, outline);
}

void ShowCanvas(Editor& e) {
  RenderCanvasView(e);
  PaintCanvasArea(e);
}
void RedrawLiveParts(Editor& e) {
  RenderCanvasView(e);
  DrawColorPanel(e);
}

}  // namespace qshe
