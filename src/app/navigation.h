// Moving around with the mouse wheel, the middle button and the Home, End,
// Page Up and Page Down keys.
#pragma once

#include "app/editor.h"

namespace qshe {

// The program's number of the middle mouse button (1 left, 2 right).
inline constexpr int kMiddleButton = 3;
// One wheel notch moves a scroll bar's thumb as far as this many clicks on
// its arrow.
inline constexpr int kArrowClicksPerNotch = 3;

// Where the wheel acts: the canvas area with its scroll bars, and the shape
// slider.
bool OverCanvasForWheel(int x, int y);
bool OverShapeSlider(int x, int y);

// A wheel turn with the mouse at window point (x, y): `across` and `down` in
// eighths of a degree (120 a notch), positive for a turn away from the user
// (up) and to the left. Over the canvas it scrolls the magnified view (Shift
// turns an upright wheel into a sideways one) or, with Ctrl, zooms keeping
// the pixel under the mouse; over the slider it goes to the next or previous
// shape; elsewhere it does nothing.
void OnWheel(Editor& e, int x, int y, int across, int down, bool shift, bool ctrl);

// One zoom step in (direction > 0) or out keeping the canvas pixel under
// window point (x, y) where it is, as far as the scroll bars' range allows.
void ZoomAtPoint(Editor& e, int x, int y, int direction);

// The middle button pans the magnified view as the hand does, whatever the
// tool, and leaves the tool as it was.
void MiddlePress(Editor& e, int x, int y);
void MiddleDrag(Editor& e, int x, int y);
void MiddleRelease(Editor& e, int x, int y);

// Shows shape `target` (held to the document), the canvas committed first.
void GoToShape(Editor& e, int target);

}  // namespace qshe
