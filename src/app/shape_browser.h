// View > Shapes: the browser window in the running editor. It shows the
// document as it is after every change (painting at the commit, list
// operations, properties, undo and redo, New and Open), and its clicks,
// keys, drags and menu act on the document through the history.
#pragma once

#include <cstdint>
#include <vector>

#include "app/editor.h"
#include "platform/dialogs.h"

namespace qshe {

inline constexpr int kShapesDialog = 130;
inline constexpr int kShapesView = 1300;

const platform::DialogResource& ShapesDialog();

// Makes the window on first use, shows it and draws it.
void ShowShapesWindow(Editor& e);
// Brings the open window up to date with the document: the cells whose
// shape, number, frame or mark changed are drawn again, the rest stay.
void RefreshShapesWindow(Editor& e);
void OnShapesWindowEvent(Editor& e, const platform::DialogNotification& n);

// The shapes the list operations act on: those selected in the open window,
// or the current one alone.
std::vector<int32_t> TargetShapes(const Editor& e);
// The window's selection as other windows read it (the animation preview's
// range): ascending indices, the current shape alone when the window is shut.
std::vector<int32_t> BrowserSelectedShapes(const Editor& e);

// Edit > Duplicate Shape (Ctrl+D): copies after the last target, one step.
void DuplicateShapesCommand(Editor& e);
// Remove of several shapes: one question, one step.
void RemoveShapesCommand(Editor& e);
// Edit > Export Selected...: one picture per shape, <name>_<number>.png or
// .bmp, in the folder of the name chosen.
void ExportSelectedCommand(Editor& e);
// The current shape's picture to the clipboard, as Copy puts a selection.
void CopyShapeCommand(Editor& e);

}  // namespace qshe
