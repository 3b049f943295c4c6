// The selection in the running editor: putting floating pixels down, the
// clipboard commands, Select All, Delete and the two flips.
#pragma once

#include "app/editor.h"

namespace qshe {

// Writes a floating selection into the canvas and forgets the selection.
// Called before the canvas is changed or replaced in a way the selection
// cannot follow (painting, flips, undo, redo, zoom, commits). The pixels
// land where the history already sees them, so this is no step of its own
// unless the selection moved without being recorded. False when nothing
// floated or nothing new was recorded.
bool PutDownSelection(Editor& e);

void CutSelection(Editor& e);
void CopySelection(Editor& e);
void PasteClipboard(Editor& e);
void SelectAll(Editor& e);
void DeleteSelection(Editor& e);
// Flip Horizontal (rows upside down) and Flip Vertical (columns mirrored).
void FlipCanvas(Editor& e, bool rows);

}  // namespace qshe
