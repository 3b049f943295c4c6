// What each menu entry, shortcut and non-tool toolbar button does.
#pragma once

#include <string>

#include "app/editor.h"

namespace qshe {

// One menu command or shortcut; unknown identifiers do nothing.
void RunCommand(Editor& e, int identifier);
// The view and shape-move buttons of the toolbar (6..9 and 19..22).
void RunButtonCommand(Editor& e, int button);
// True when the command's work is in place; the menu greys the others.
bool CommandAvailable(int menuId);
// Greys every menu entry whose work is not in place yet.
void UpdateMenuAvailability(Editor& e);
// After the current shape or the count changed: canvas, slider, counter and
// positioning windows show the document anew.
void RefreshShapeViews(Editor& e);
// The colour matcher of the game palette, rebuilt when the palette changed.
const ColorMatcher& GameColors(Editor& e);
// Index of the shape a move command goes to.
int MoveTarget(int current, int count, int step);

}  // namespace qshe
