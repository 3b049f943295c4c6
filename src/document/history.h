// One history for the whole document: every change is a step that Undo
// takes back and Redo does again, across shapes, for as long as the document
// is open and as far back as a memory budget allows.
//
// A step is a list of small changes. Each change holds only the side of
// itself that is not in the document right now (the pixels of one canvas
// rectangle, the shapes a list change took out or put over, the values a
// field change replaced), so applying a change exchanges that side with the
// document and applying it again exchanges it back. Undo applies a step's
// changes last to first, Redo first to last.
//
// Recording, from the layer that names the steps:
//   - painting (anything that changed the canvas of the current shape):
//       RecordPainting(history, doc, picture, "Pencil");
//     where `picture` is the canvas as the user sees it (floating pixels
//     stamped on). The step holds the rectangle of pixels that differ from
//     the picture as the history last saw it.
//   - everything else:
//       BeginStep(history, doc, canvas, "Remove Shape 12");
//       RemoveShapes(history, doc.list, 12, 1);   // list changes through these calls
//       doc.list.Current().offsetX = 5;           // fields and flags in place
//       EndStep(history);
//     Fields and the QS2 / QBJ flags may be changed in place between the two
//     calls: BeginStep notes them all and EndStep keeps those that differ.
//     The shape list's structure and the shapes' images change only through
//     InsertShapes, RemoveShapes, ReplaceShapes and MoveShapes; before the
//     first of them the canvas is committed into the current shape, and
//     EndStep puts the current shape back on the canvas.
//   A step begun while another is open is part of that one (its name and
//   merge key count for nothing); its EndStep only closes it again.
//   A step that changed nothing is not kept. A step opened with the merge key
//   of the newest step (and nothing undone, nothing saved since) joins it:
//   the digits typed into one box, the moves of one drag.
//
// Outside BeginStep / EndStep the list calls only make their change, so code
// without an editor behind it (the command-line tool, tests) uses them too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "document/canvas.h"
#include "document/document.h"

namespace qshe {

inline constexpr size_t kDefaultHistoryBudget = size_t{256} << 20;  // 256 MB


// ----- the changes a step is made of -------------------------------------------

// Canvas rectangle x1..x2, y1..y2 (bottom-up rows), bounds included.
struct PixelRect {
  int16_t x1 = 0, x2 = -1, y1 = 0, y2 = -1;
  int width() const { return x2 - x1 + 1; }
  int height() const { return y2 - y1 + 1; }
};

// Pixels of one rectangle of shape `shape`'s canvas.
struct PixelsChange {
  int32_t shape = 0;
  PixelRect rect;
  std::vector<uint8_t> pixels;  // rows bottom first
};

// Shapes at..at+n-1 of the list. A range change inserts or removes them: while
// they are in the list `shapes` is empty, while out it holds them. A
// replacement exchanges them with `shapes`.
struct ShapesChange {
  enum class Kind : uint8_t { Range, Replace };
  Kind kind = Kind::Range;
  bool inList = false;  // range changes: whether the shapes are in the list now
  int32_t at = 0;
  int32_t n = 0;
  std::vector<Shape> shapes;
};

// The n shapes at `from` were moved so that they start at `to`.
struct MoveChange {
  int32_t from = 0;
  int32_t n = 0;
  int32_t to = 0;
};

struct FieldsChange {
  int32_t index = 0;
  ShapeFields fields;
};

struct FlagsChange {
  int32_t qs2Flag = 0;
  int32_t qbjFlag = 0;
};

using HistoryChange = std::variant<PixelsChange, ShapesChange, MoveChange, FieldsChange, FlagsChange>;

struct HistoryStep {
  std::string name;  // "Remove Shape 12"; shown as "Undo Remove Shape 12"
  std::vector<HistoryChange> changes;
  uint64_t serial = 0;     // names the document state this step leads to
  uint64_t mergeKey = 0;   // 0: never merged
  int32_t currentBefore = 0;  // the current shape before and after the step
  int32_t currentAfter = 0;
  size_t bytes = 0;  // memory the step holds
};

// The step being recorded between BeginStep and EndStep.
struct OpenStep {
  bool open = false;
  int depth = 0;            // steps begun inside this one, not ended yet
  bool merging = false;     // the changes go into the newest step
  bool committed = false;   // the canvas went into its shape; EndStep reloads it
  Document* doc = nullptr;
  Canvas* canvas = nullptr;
  HistoryStep step;
  // The fields of shapes fieldsFrom, fieldsFrom + 1, ... as the step last
  // saw them: all shapes, or the one the step was opened for.
  int32_t fieldsFrom = 0;
  std::vector<ShapeFields> fields;
  FlagsChange flags;
};

struct History {
  History();
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  std::deque<HistoryStep> steps;  // oldest first
  size_t position = 0;            // steps[0, position) are done
  size_t bytes = 0;               // memory all steps hold
  size_t budget = kDefaultHistoryBudget;
  uint64_t nextSerial = 1;
  uint64_t baseSerial = 0;   // the state before steps[0]
  uint64_t savedSerial = 0;  // the state last saved (kNeverSaved: none kept)
  uint64_t changeCount = 0;  // steps recorded, merged, undone and redone
  // The current shape's picture as the history last saw it: a painting step
  // holds what differs from it.
  std::unique_ptr<Canvas> base;
  OpenStep open;
  // Called after every change of the history (a step kept, merged, undone,
  // redone, dropped, or the whole history cleared).
  std::function<void()> changed;
};

inline constexpr uint64_t kNeverSaved = UINT64_MAX;

// ----- the history as a whole --------------------------------------------------

// Empties the history for a document just made, opened or restored: the
// canvas as it is now is where painting is measured from. With `saved` the
// document is as its file holds it (undoing back to here clears Modified).
void ResetHistory(History& h, const Canvas& canvas, bool saved);
// The canvas was loaded afresh from its shape (another shape is shown).
void SetPaintingBase(History& h, const Canvas& canvas);
// The document was written: this state is the saved one.
void MarkSaved(History& h);
// Whether the document is in the state last saved.
bool AtSavedState(const History& h);

bool CanUndo(const History& h);
bool CanRedo(const History& h);
// Name of the step Undo / Redo would take; empty when none.
std::string UndoName(const History& h);
std::string RedoName(const History& h);
// Number of steps that can be undone / redone.
size_t UndoCount(const History& h);
size_t RedoCount(const History& h);

// ----- recording ---------------------------------------------------------------

// The picture of the current shape (the canvas with any floating pixels on
// it) differs from what the history last saw: the difference becomes a step
// of its own, or part of the open step. False when nothing differs.
bool RecordPainting(History& h, Document& doc, const Canvas& picture, std::string name);

void BeginStep(History& h, Document& doc, Canvas& canvas, std::string name, uint64_t mergeKey = 0);
// The same for a step that changes the fields of shape `index` and the flags
// only (a box of the properties window, a drag in a positioning window): it
// notes one shape instead of all, which keeps steps taken on every mouse move
// cheap in a long list.
void BeginShapeStep(History& h, Document& doc, Canvas& canvas, int32_t index, std::string name,
                    uint64_t mergeKey = 0);
// Closes the step: kept when it changed something (Modified is then set),
// the canvas reloaded when the list changed. True when a step was kept or
// merged.
bool EndStep(History& h);

// The list changes. Indices are document indices; callers pass valid ones
// (0 <= at <= count, and the list's capacity is not passed). `current` is the
// caller's to set.
void InsertShapes(History& h, ShapeList& list, int32_t at, std::vector<Shape> shapes);
void RemoveShapes(History& h, ShapeList& list, int32_t at, int32_t n);
// Shapes at, at+1, ... become `shapes` (all within the document).
void ReplaceShapes(History& h, ShapeList& list, int32_t at, std::vector<Shape> shapes);
// The n shapes at `from` move so that they start at `to` (0 <= to <= count - n);
// those between shift to make room.
void MoveShapes(History& h, ShapeList& list, int32_t from, int32_t n, int32_t to);
// Two shapes exchange places (two moves).
void ExchangeShapes(History& h, ShapeList& list, int32_t a, int32_t b);

// ----- undo and redo ----------------------------------------------------------

// Takes back the newest step done / does the oldest step undone again. The
// shape the step left current becomes current and is on the canvas; a
// floating selection must have been put down first (the canvas may be
// reloaded). Modified is cleared exactly when the result is the saved state.
// False when there was nothing to undo / redo.
bool Undo(History& h, Document& doc, Canvas& canvas);
bool Redo(History& h, Document& doc, Canvas& canvas);

}  // namespace qshe
