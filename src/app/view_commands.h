// The view commands (zoom, centre, second view, background, grid, panning)
// and the scroll bars that pan the magnified view. Each command leaves the
// composition up to date; the menu and the toolbar present the window after
// the ones that change the toolbar.
#pragma once

#include "app/editor.h"

namespace qshe {

// 0 becomes 2, then 4, 8, 16 and stays there; forgets the second view.
void ZoomIn(Editor& e);
// 16 becomes 8, 4, 2, then unmagnified at origin (0, 0).
void ZoomOut(Editor& e);
// Puts the current shape in the middle of the magnified view, or the canvas
// back in place unmagnified.
void CenterView(Editor& e);
// Switches between the magnified view and the whole canvas, keeping the
// magnified view to come back to.
void SecondView(Editor& e);
// Background 0 plain, 1 checkerboard, 2 contrast, shown on the toolbar.
void SetBackground(Editor& e, int background);
// Switches the grid of the magnified view and its menu check mark.
void ToggleGrid(Editor& e);
// Moves the picture two units right (right = 1) or left (-1), up (up = 1)
// or down (-1), whatever the zoom; no limit.
void PanView(Editor& e, int right, int up);
// Back to no magnification at origin (0, 0), the bars disabled: a new
// document starts so.
void ResetView(Editor& e);

// Sets both thumbs from the origin; draws and shows a bar whose thumb moved,
// or both when forced. Right after a movement made through a bar it only
// notes that the movement was seen, so the thumb stays where the mouse put it.
void SyncScrollBars(Editor& e, bool force);
// What the bars call when their thumb moves: the origin follows the thumb
// and the canvas area is shown anew.
void ScrollHorizontally(Editor& e);
void ScrollVertically(Editor& e);

}  // namespace qshe
