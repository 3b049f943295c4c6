// The selection in the running editor: putting floating pixels down, the
// clipboard commands, Select All, Delete and the two flips.
#pragma once

#include "app/editor.h"

namespace qshe {

// Writes a floating selection into the canvas and records the result as an
// undo step when it differs from the state last recorded; the selection is
// then forgotten. Called before the canvas is changed or replaced in a way
// the selection cannot follow (painting, flips, undo, redo, zoom, commits),
// so no undo step ever holds the hole the pixels were lifted from. False
// when nothing floated or nothing changed.
bool PutDownSelection(Editor& e);

void CutSelection(Editor& e);
void CopySelection(Editor& e);
void PasteClipboard(Editor& e);
void SelectAll(Editor& e);
void DeleteSelection(Editor& e);
// Flip Horizontal (rows upside down) and Flip Vertical (columns mirrored).
void FlipCanvas(Editor& e, bool rows);

}  // namespace qshe
