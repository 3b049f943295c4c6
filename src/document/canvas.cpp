#include "document/canvas.h"

#include <algorithm>
#include <cstring>

namespace qshe {
namespace {

const uint8_t* Row(const Canvas& canvas, int row) { return canvas.pixels.data() + row * kCanvasSize; }

}  // namespace

bool RowIsEmpty(const Canvas& canvas, int row) {
  const uint8_t* p = Row(canvas, row);
  return std::all_of(p, p + kCanvasSize, [](uint8_t v) { return v == 0; });
}

bool ColumnIsEmpty(const Canvas& canvas, int column) {
  for (int r = 0; r < kCanvasSize; ++r) {
    if (canvas.At(column, r) != 0) return false;
  }
  return true;
}

bool CommitCanvasToShape(const Canvas& canvas, Shape& shape) {
  // Bottom edge: the first row from the bottom with a pixel; row 0 never counts.
  int bottom = kCanvasSize;
  for (int r = 0; r < kCanvasSize; ++r) {
    if (!RowIsEmpty(canvas, r)) {
      bottom = r;
      break;
    }
  }
  bottom = std::max(bottom, 1);

  // Right edge: OR the rows together (rows below `bottom` are empty or row 0,
  // which is left out anyway, but columns count over the whole canvas).
  alignas(16) uint8_t used[kCanvasSize] = {};
  for (int r = 0; r < kCanvasSize; ++r) {
    const uint8_t* p = Row(canvas, r);
    for (int c = 0; c < kCanvasSize; ++c) used[c] |= p[c];
  }
  int width = 1;
  for (int c = kCanvasSize - 1; c >= 1; --c) {
    if (used[c]) {
      width = c + 1;
      break;
    }
  }
  width = std::min(width, kCanvasSize - 1);

  Shape kept;
  kept.offsetX = shape.offsetX;
  kept.offsetY = shape.offsetY;
  kept.tavrelX = shape.tavrelX;
  kept.tavrelY = shape.tavrelY;
  kept.gettable = shape.gettable;
  kept.sittable = shape.sittable;
  kept.walkable = shape.walkable;
  kept.replacement = shape.replacement;

  const int height = kCanvasSize - bottom;
  Shape fresh;
  if (!AllocateShape(fresh, width, height) && height > 0) return false;
  for (int r = bottom; r < kCanvasSize; ++r) {
    std::memcpy(fresh.pixels.get() + (r - bottom) * width, Row(canvas, r), static_cast<size_t>(width));
  }
  kept.width = fresh.width;
  kept.height = fresh.height;
  kept.pixels = std::move(fresh.pixels);
  shape = std::move(kept);
  return true;
}

void LoadShapeToCanvas(const Shape& shape, Canvas& canvas) {
  canvas.pixels.fill(0);
  if (!shape.HasPixels() || shape.height < 1) return;
  // A shape larger than the canvas (only an import can make one) shows its
  // top-left part.
  const int w = std::min(shape.width, kCanvasSize);
  const int h = std::min(shape.height, kCanvasSize);
  for (int y = shape.height - h; y < shape.height; ++y) {
    int row = kCanvasSize - shape.height + y;
    std::memcpy(canvas.pixels.data() + row * kCanvasSize, shape.pixels.get() + y * shape.width,
                static_cast<size_t>(w));
  }
}

void ReplaceColor(Canvas& canvas, uint8_t from, uint8_t to) {
  std::replace(canvas.pixels.begin(), canvas.pixels.end(), from, to);
}

}  // namespace qshe
