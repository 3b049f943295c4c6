// The document's history in the running editor: the commands name and record
// their steps through these calls, Undo and Redo take them back and do them
// again, and the Edit menu shows what they would take.
//
//   painting:            RecordCanvasStep(e, "Line");
//   list, field, flag:   BeginEditorStep(e, "Remove Shape 12");
//                        RemoveShapes(e.history, e.doc.list, 12, 1);
//                        EndEditorStep(e);
// (see document/history.h for the list changes and what a step may do).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/editor.h"

namespace qshe {

// Where the editor's own settings are kept (beside the window's scale and
// place: ~/.config/qshe/qshe.conf, the registry on Windows), and the value
// that holds the history's memory budget in megabytes (a whole number, 1 or
// more).
inline constexpr const char* kEditorSettingsKey = "Software\\qshe\\qshe";
inline constexpr const char* kHistoryBudgetValue = "HistoryMegabytes";

// The budget the settings give, or the default of 256 MB.
size_t HistoryBudget(platform::SettingsStore& settings);

// The canvas as the user sees it (floating pixels on it) became a step named
// `name` if it differs from what the history last saw. True when it did.
bool RecordCanvasStep(Editor& e, const std::string& name);
// Painting not recorded yet (a stroke still under way) becomes a step named
// after its tool.
void RecordPendingPainting(Editor& e);

// Opens a step of list, field and flag changes; painting not recorded yet
// is kept as a step of its own first. Steps with the same merge key join
// (see MergeKey).
void BeginEditorStep(Editor& e, std::string name, uint64_t mergeKey = 0);
// The same for changes to the fields of one shape and the flags only.
void BeginShapeFieldsStep(Editor& e, int32_t index, std::string name, uint64_t mergeKey = 0);
// Closes the step; true when it was kept. After a list change the current
// shape is on the canvas afresh: the caller redraws.
bool EndEditorStep(Editor& e);

// What joins: the typing in one box of one shape, the moves of one drag.
enum class MergeKind : uint64_t { PropertiesBox = 1, ShapeDrag = 2, TavrelDrag = 3 };
uint64_t MergeKey(MergeKind kind, uint32_t a, uint32_t b);

// Undo and Redo: a stroke under way ends and floating pixels go down first;
// the shape the step touched becomes current and everything is shown anew.
void UndoCommand(Editor& e);
void RedoCommand(Editor& e);

// Undo and Redo are greyed when there is nothing to take back or do again;
// their tips name the step ("Undo Remove Shape 12").
void UpdateHistoryMenu(Editor& e);

}  // namespace qshe
