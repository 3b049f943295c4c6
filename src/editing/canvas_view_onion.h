// Onion skin: the shapes before and after the current one shown faintly
// behind it in the canvas view, each where the game places it relative to
// the current shape. The neighbours are kept here as tinted 256 x 256
// planes in canvas rows, made again only when a neighbour's pixels, size or
// place change, so a pencil stroke pays for drawing them and nothing more.
// Nothing here ever reaches the canvas or a shape: the planes exist only
// for the view.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "display/game_palette.h"
#include "document/shape.h"

namespace qshe {

// Which neighbours the onion skin shows.
enum OnionSides : int32_t {
  kOnionPrevious = 1,
  kOnionNext = 2,
  kOnionBoth = 3,
};

// A neighbouring shape and where it lies: its top-left pixel `shiftX`
// columns right of and `shiftY` rows below the current shape's, which sits
// at the canvas's top-left corner. A null shape shows nothing.
struct OnionSource {
  const Shape* shape = nullptr;
  int shiftX = 0;
  int shiftY = 0;
};

// One neighbour as the view draws it.
struct OnionLayer {
  // What the plane was made from, to tell whether it is still right.
  std::vector<uint8_t> source;
  const uint8_t* block = nullptr;  // the shape's pixel block it was made from
  int width = -1;
  int height = -1;
  int shiftX = 0;
  int shiftY = 0;
  bool made = false;
  // 256 x 256, rows bottom first like the canvas: the tinted colour where
  // the neighbour has a pixel, 0 elsewhere.
  std::vector<uint8_t> plane;
  // Canvas rows (bottom-up) holding any of it; lastRow < firstRow when none.
  int firstRow = 0;
  int lastRow = -1;
};

struct OnionSkin {
  int32_t enabled = 0;
  int32_t sides = kOnionBoth;
  // Palette index -> the index the neighbour's pixel shows in: previous
  // shapes warm, next shapes cool. 0 stays 0.
  std::array<std::array<uint8_t, 256>, 2> tints{};
  bool tinted = false;
  std::array<OnionLayer, 2> layers;  // previous, next
  // Set while only the canvas can change (a tool dragged over it): the
  // neighbours' pixel blocks are then known to hold what they held, and
  // only which blocks they are is checked, not every pixel.
  bool onlyCanvasChanges = false;
  // Both layers in one plane as the unmagnified view shows them: the
  // previous shape where column + top row is even, the next one elsewhere.
  std::vector<uint8_t> alternating;
};

// Makes the two tints for the palette: each colour mixed half and half with
// red (previous) or blue (next), then the nearest game colour that is none
// of the backgrounds'. The layers are made afresh on their next update.
void SetOnionTints(OnionSkin& onion, const GamePalette& palette);

// Brings both layers up to date with the neighbours; a layer whose
// neighbour has not changed is left as it is.
void UpdateOnionSkin(OnionSkin& onion, const OnionSource& previous, const OnionSource& next);

// True when either layer has something to show.
bool OnionShowsAnything(const OnionSkin& onion);

}  // namespace qshe
