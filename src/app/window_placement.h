// Where the editor's other windows open: fully on the screen, beside the
// main window where there is room, and never over the canvas, where the
// user paints.
#pragma once

#include <vector>

#include "platform/surface.h"

namespace qshe {

// The canvas with its two scroll bars, in client pixels of the main window:
// no other window opens over it.
platform::Rect CanvasKeepClear();

struct WindowSpot {
  int x = 0;  // top-left corner of the window's frame
  int y = 0;
  int canvasOverlap = 0;  // pixels of the canvas the window covers there
};

// A spot for a window (frame) of `width` x `height`: inside `area` (the
// screen's available area) as far as the size allows, off `canvas`, and
// clear of the windows in `taken` where possible. Beside `main` (right,
// then left, below, above) comes first, then over the main window's sides
// (left of the canvas, then right), then anywhere; when no spot is off the
// canvas, the one covering least of it.
WindowSpot PlaceWindow(const platform::Rect& area, const platform::Rect& main, const platform::Rect& canvas,
                       int width, int height, const std::vector<platform::Rect>& taken);

// Moves the corner (x, y) of a window of `width` x `height` so that the
// window lies inside `area`; a window larger than the area keeps to its
// top-left corner.
void KeepInside(const platform::Rect& area, int width, int height, int& x, int& y);

}  // namespace qshe
