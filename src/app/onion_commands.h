// The onion skin in the running editor: its View menu entries, and the
// neighbouring shapes the canvas view is fed on every render.
#pragma once

#include <cstdint>

#include "app/editor.h"

namespace qshe {

// Where `neighbour` lies for the onion skin: moved from the current shape by
// the difference of their places in the game (their offsets, each shape
// kept above the floor line as the Shape position window keeps it).
OnionSource OnionNeighbour(const Shape& current, const Shape& neighbour);
// The onion skin brought up to date with the shapes before and after the
// current one, for the canvas view; null while it is off.
const OnionSkin* PrepareOnionSkin(Editor& e);

// View > Onion Skin: on or off, with its check mark.
void ToggleOnionSkin(Editor& e);
// Which neighbours it shows (kOnionPrevious, kOnionNext, kOnionBoth).
void ChooseOnionSides(Editor& e, int32_t sides);
// The check marks of the onion entries as they stand.
void ShowOnionChecks(Editor& e);
// The current shape's offsets changed: with the onion skin on, its
// neighbours now lie elsewhere on the canvas.
void RefreshOnionSkin(Editor& e);

}  // namespace qshe
