// The colour grid, the two colour swatches and the colour sets.
#pragma once

#include "app/editor.h"

namespace qshe {

// Palette indices the panel paints with.
inline constexpr uint8_t kGreyedCellColor = 175;  // also the number-strip separator
inline constexpr uint8_t kForeOutlineColor = 131;
inline constexpr uint8_t kBackOutlineColor = 64;
inline constexpr uint8_t kSwatchFrameColor = 95;  // also the number strip
inline constexpr int kFirstDigitShape = 60;       // helper shapes 60..69 hold the digits 0..9

// Grid cell under a client position, limited to 0..15 so that positions
// beyond the grid give the nearest edge cell.
int GridColumn(int x);
int GridRow(int y);

void ColorGridPress(Editor& e, int x, int y, int button);
void ColorGridDrag(Editor& e, int x, int y);
void ColorGridRelease(Editor& e);

// Redraws grid overlay, swatches and numbers into the composition only.
void DrawColorPanel(Editor& e);
// Copies the grid and the swatches from the composition to the window.
void PresentColorPanel(Editor& e);
// Writes value in the digit images with its lowest row on y; returns the x
// behind the last digit.
int DrawNumber(Editor& e, int x, int y, int value);

// Makes indices first..last-1 pickable, or with a negative first the whole
// palette (count 256) or the game's 236 colours (count below 256), and checks
// the menu entry. Leaves the two colours and the screen alone.
void SetColorSet(Editor& e, int first, int last, int count, int menuId);

// Colors menu: a colour-set entry selects its set and redraws the panel;
// false for an identifier that is none of the ten sets.
bool ChooseColorSet(Editor& e, int menuId);
// Badge Color and Eye Color: a fixed ForeColor, whatever the set.
void SetForeColorAndShow(Editor& e, uint8_t color);
// Forecolor To Backcolor on the whole canvas, then the canvas view anew.
void ForecolorToBackcolor(Editor& e);

}  // namespace qshe
