// Undo and redo within one shape: full copies of the canvas in a ring of ten
// slots, obtained once so that recording a step never allocates.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "document/canvas.h"
#include "document/document.h"

namespace qshe {

inline constexpr int kUndoSlotCount = 10;
inline constexpr int32_t kFreeUndoSlot = -1;

using CanvasCopy = std::array<uint8_t, kCanvasSize * kCanvasSize>;

struct UndoRing {
  UndoRing() : slots(std::make_unique<std::array<CanvasCopy, kUndoSlotCount>>()) { labels.fill(kFreeUndoSlot); }

  // Every slot holds a whole canvas; the block is made once with the ring.
  std::unique_ptr<std::array<CanvasCopy, kUndoSlotCount>> slots;
  // The step each slot holds, 0 the oldest kept; kFreeUndoSlot when unused.
  std::array<int32_t, kUndoSlotCount> labels{};
  int32_t position = 0;  // the step the canvas was last set to or recorded as
  int32_t top = 0;       // the newest step redo may reach
};

// Starts afresh: the canvas as it is now becomes step 0 and the only one.
void ResetUndo(UndoRing& ring, const Canvas& canvas);
// Records the canvas as the step after `position`, dropping the steps that
// could have been redone; a full ring forgets its oldest step.
void SaveUndoState(UndoRing& ring, const Canvas& canvas);
// One step back, then the selection is forgotten (through the hooks). False
// when already at the oldest step.
bool Undo(UndoRing& ring, Canvas& canvas, const DocumentHooks& hooks);
// One step forward; false when already at the newest.
bool Redo(UndoRing& ring, Canvas& canvas);
// The slot holding `step`, or -1.
int FindUndoSlot(const UndoRing& ring, int32_t step);

}  // namespace qshe
