// The 256 x 256 working image every tool paints on, and its transfer to and
// from the current shape.
#pragma once

#include <array>
#include <cstdint>

#include "document/shape.h"

namespace qshe {

inline constexpr int kCanvasSize = 256;

// Rows bottom first: byte 256 * r + c is column c of row r, row 0 the bottom.
struct Canvas {
  std::array<uint8_t, kCanvasSize * kCanvasSize> pixels{};
  uint8_t& At(int column, int row) { return pixels[static_cast<size_t>(row * kCanvasSize + column)]; }
  uint8_t At(int column, int row) const { return pixels[static_cast<size_t>(row * kCanvasSize + column)]; }
};

bool RowIsEmpty(const Canvas& canvas, int row);
bool ColumnIsEmpty(const Canvas& canvas, int column);

// Copies the canvas into `shape`: its top-left corner is the canvas's, empty
// rows at the bottom and empty columns at the right are cut off, and canvas
// row 0 and column 255 never belong to it. Offsets, object properties and
// replacement are kept. False when the pixel block could not be obtained (the
// shape is then left as it was).
bool CommitCanvasToShape(const Canvas& canvas, Shape& shape);

// Clears the canvas and puts the shape on it, top-left corner to top-left
// corner.
void LoadShapeToCanvas(const Shape& shape, Canvas& canvas);

// Every byte equal to `from` becomes `to`.
void ReplaceColor(Canvas& canvas, uint8_t from, uint8_t to);

}  // namespace qshe
