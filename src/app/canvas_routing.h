// The canvas area as the main window sees it: mouse input for the drawing
// tools, and redrawing the view and the panels around it.
#pragma once

#include "app/editor.h"

namespace qshe {

// The drawing tools. A press inside the tool area starts a drag (with Ctrl
// held, an eyedropper drag whatever the tool); moves continue it wherever the
// mouse is; the release ends it, recording a painted stroke for undo.
// Buttons: 1 left, 2 right.
void ToolMouseDown(Editor& e, int x, int y, int button, bool ctrl);
void ToolMouseMove(Editor& e, int x, int y, bool ctrl);
void ToolMouseUp(Editor& e);
// Escape: the figure being dragged goes away and the canvas stays as it was.
void CancelFigure(Editor& e);
// Shift went down or up: a figure being dragged follows at once.
void ToolShiftKey(Editor& e, bool down);
// The cursor of the current tool over the tool area (the eyedropper's when
// asked), the arrow elsewhere unless a drag is under way.
void UpdateToolCursor(Editor& e, int x, int y, bool eyedropper);

// Rebuilds the canvas view, floating pixels and outline included, into the
// composition and syncs the scroll bars; does not touch the window.
void RenderCanvasView(Editor& e);
// Copies the canvas area (184..440 x 0..264) of the composition to the window.
void PaintCanvasArea(Editor& e);
// With the select tool: the floating selection and its outline over the view.
void DrawSelectionOverlay(Editor& e);
// RenderCanvasView, then PaintCanvasArea.
void ShowCanvas(Editor& e);
// Draws the parts of the composition that follow the document: canvas view
// and colour panel.
void RedrawLiveParts(Editor& e);
// The two positioning windows show the current shape anew.
void RefreshPositionWindows(Editor& e);

}  // namespace qshe
