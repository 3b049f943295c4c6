#include "document/undo.h"

#include <cstring>

namespace qshe {
namespace {

CanvasCopy& Slot(UndoRing& ring, int slot) { return (*ring.slots)[static_cast<size_t>(slot)]; }

void StoreCanvas(UndoRing& ring, int slot, const Canvas& canvas) {
  std::memcpy(Slot(ring, slot).data(), canvas.pixels.data(), canvas.pixels.size());
}

// A step whose slot is missing leaves the canvas as it is.
void LoadStep(UndoRing& ring, int32_t step, Canvas& canvas) {
  int slot = FindUndoSlot(ring, step);
  if (slot >= 0) std::memcpy(canvas.pixels.data(), Slot(ring, slot).data(), canvas.pixels.size());
}

}  // namespace

void ResetUndo(UndoRing& ring, const Canvas& canvas) {
  ring.labels.fill(kFreeUndoSlot);
  StoreCanvas(ring, 0, canvas);
  ring.labels[0] = 0;
  ring.position = 0;
  ring.top = 0;
}

void SaveUndoState(UndoRing& ring, const Canvas& canvas) {
  ++ring.position;
  if (ring.position >= kUndoSlotCount) {
    // Full: the oldest step leaves and the others move down by one.
    for (int32_t& label : ring.labels) {
      if (label != kFreeUndoSlot) --label;
      if (label < 0) label = kFreeUndoSlot;
    }
    ring.position = kUndoSlotCount - 1;
  }
  for (int32_t& label : ring.labels) {
    if (label >= ring.position) label = kFreeUndoSlot;
  }
  for (int slot = 0; slot < kUndoSlotCount; ++slot) {
    if (ring.labels[static_cast<size_t>(slot)] != kFreeUndoSlot) continue;
    StoreCanvas(ring, slot, canvas);
    ring.labels[static_cast<size_t>(slot)] = ring.position;
    break;
  }
  ring.top = ring.position;
}

bool Undo(UndoRing& ring, Canvas& canvas, const DocumentHooks& hooks) {
  if (ring.position <= 0) return false;
  --ring.position;
  LoadStep(ring, ring.position, canvas);
  CallHook(hooks.clearSelection);
  return true;
}

bool Redo(UndoRing& ring, Canvas& canvas) {
  if (ring.position >= ring.top) return false;
  ++ring.position;
  LoadStep(ring, ring.position, canvas);
  return true;
}

int FindUndoSlot(const UndoRing& ring, int32_t step) {
  if (step < 0) return -1;
  for (int slot = 0; slot < kUndoSlotCount; ++slot) {
    if (ring.labels[static_cast<size_t>(slot)] == step) return slot;
  }
  return -1;
}

}  // namespace qshe
