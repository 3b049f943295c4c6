#include "app/canvas_routing.h"

#include "app/color_panel.h"

namespace qshe {

// The drawing tools, the canvas view and the positioning windows connect
// here as they arrive; until then the canvas area shows the screen image.
void ToolsMouseDown(Editor&, int, int, int, bool) {}
void ToolsMouseMove(Editor&, int, int, bool) {}
void ToolsMouseUp(Editor&) {}
void RenderCanvasView(Editor&) {}
void PaintCanvasArea(Editor&) {}
void DrawSelectionOverlay(Editor&) {}
void ShowCanvas(Editor& e) {
  RenderCanvasView(e);
  PaintCanvasArea(e);
}
void RedrawLiveParts(Editor& e) {
  RenderCanvasView(e);
  DrawColorPanel(e);
}
void RefreshPositionWindows(Editor&) {}

}  // namespace qshe
