// The canvas area as the main window sees it: mouse input for the drawing
// tools, and redrawing the view and the panels around it.
#pragma once

#include "app/editor.h"

namespace qshe {

void ToolsMouseDown(Editor& e, int x, int y, int button, bool ctrl);
void ToolsMouseMove(Editor& e, int x, int y, bool ctrl);
void ToolsMouseUp(Editor& e);

// Rebuilds the canvas view and copies the canvas area to the window.
void ShowCanvas(Editor& e);
// Draws the parts of the composition that follow the document: canvas view
// and colour panel.
void RedrawLiveParts(Editor& e);
// The two positioning windows show the current shape anew.
void RefreshPositionWindows(Editor& e);

}  // namespace qshe
