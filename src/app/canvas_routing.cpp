#include "app/canvas_routing.h"

#include "app/color_panel.h"
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

}  // namespace

void UpdateToolCursor(Editor& e, int x, int y, bool eyedropper) {
  using platform::Cursor;
  if (!InsideToolArea(x, y)) {
    if (e.tools.dragTool == -1) e.ui().window.SetCursor(Cursor::Arrow);
    return;
  }
  // The select tool shows the hand over a selection once selections exist.
  static constexpr Cursor kToolCursors[] = {Cursor::Pencil,     Cursor::Eraser, Cursor::Hand,
                                            Cursor::Eyedropper, Cursor::Select, Cursor::Bucket};
  int tool = eyedropper ? kEyedropper : e.tools.currentTool;
  e.ui().window.SetCursor(tool >= 0 && tool <= kBucket ? kToolCursors[tool] : Cursor::Arrow);
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
  switch (t.dragTool) {
    case kPencil:
    case kEraser:
      DrawPencilDot(e.canvas, t.pencilSize, cx, cy, StrokeColour(e));
      ShowCanvasEdit(e);
      break;
    case kEyedropper: PickColour(e, cx, cy, true); break;
    case kBucket:
      FloodFill(e.canvas, e.fillStack, cx, cy, StrokeColour(e));
      ShowCanvasEdit(e);
      break;
    default: break;  // the select tool's rubber band arrives with the selection
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
    default: break;
  }
}

void ToolMouseUp(Editor& e) {
  ToolState& t = e.tools;
  if (t.dragTool == kPencil || t.dragTool == kEraser || t.dragTool == kBucket) {
    // Every stroke is one undo step, also one that changed no pixel.
    e.doc.state.modified = kModified;
    SaveUndoState(e.undo, e.canvas);
  }
  t.dragTool = -1;
  t.dragButton = -1;
}

void RenderCanvasView(Editor& e) {
  if (e.window.failed) return;
  const ScreenBuffers& b = e.window.buffers;
  RenderCanvasView(e.view, e.canvas, e.display, b.canvasView, b.composition);
  SyncScrollBars(e, false);
}

void PaintCanvasArea(Editor& e) {
  if (e.window.failed) return;
  SelectBuffer(e.display, e.window.buffers.composition);
  PasteToWindow(e.display, kViewLeft, kViewLeft + kCanvasSize, 0, kViewTop + kCanvasSize,
                kViewLeft, kViewLeft + kCanvasSize, 0, kViewTop + kCanvasSize);
}

void DrawSelectionOverlay(Editor& e) {
  if (e.tools.currentTool != kSelect || e.window.failed) return;
  // A fresh copy of the view takes away the outline drawn last time.
  CopyViewToComposition(e.display, e.window.buffers.canvasView, e.window.buffers.composition);
  // The floating selection and the selection's outline are drawn over it
  // here, clipped to the canvas area, once the selection exists.
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
