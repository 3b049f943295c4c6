#include "document/canvas.h"

#include <algorithm>
#include <cstring>

namespace qshe {
namespace {

constexpr int kWordsPerRow = kCanvasSize / 8;

const uint8_t* Row(const Canvas& canvas, int row) { return canvas.pixels.data() + row * kCanvasSize; }

uint64_t Word(const uint8_t* p, int i) {
  uint64_t w;
  std::memcpy(&w, p + 8 * i, 8);
  return w;
}

// ORs the row into the accumulator, word by word.
void Accumulate(const uint8_t* row, uint64_t* acc) {
  for (int i = 0; i < kWordsPerRow; ++i) acc[i] |= Word(row, i);
}

// Copies a row of up to 256 bytes in fixed 32-byte blocks, the last one
// overlapping, so short rows cost a few moves instead of a library call each.
void CopyRow(uint8_t* to, const uint8_t* from, int n) {
  if (n < 32) {
    std::memcpy(to, from, static_cast<size_t>(n));
    return;
  }
  int i = 0;
  for (; i + 32 <= n; i += 32) std::memcpy(to + i, from + i, 32);
  if (i < n) std::memcpy(to + n - 32, from + n - 32, 32);
}

}  // namespace

bool RowIsEmpty(const Canvas& canvas, int row) {
  const uint8_t* p = Row(canvas, row);
  uint64_t any = 0;
  for (int i = 0; i < kWordsPerRow; ++i) any |= Word(p, i);
  return any == 0;
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

  // Right edge: the last column with a pixel in any row, row 0 included.
  // Rows between 0 and `bottom` are empty, so only row 0 and the shape's own
  // rows need looking at.
  uint64_t used[kWordsPerRow] = {};
  Accumulate(Row(canvas, 0), used);
  for (int r = bottom; r < kCanvasSize; ++r) Accumulate(Row(canvas, r), used);
  uint8_t usedBytes[kCanvasSize];
  std::memcpy(usedBytes, used, sizeof usedBytes);
  int width = 1;
  for (int c = kCanvasSize - 1; c >= 1; --c) {
    if (usedBytes[c]) {
      width = c + 1;
      break;
    }
  }
  width = std::min(width, kCanvasSize - 1);

  const int height = kCanvasSize - bottom;
  Shape fresh;
  if (!AllocateShape(fresh, width, height) && height > 0) return false;
  for (int r = bottom; r < kCanvasSize; ++r) {
    CopyRow(fresh.pixels.get() + (r - bottom) * width, Row(canvas, r), width);
  }
  // Everything but the image itself stays as the shape had it.
  shape.width = fresh.width;
  shape.height = fresh.height;
  shape.pixels = std::move(fresh.pixels);
  return true;
}

void LoadShapeToCanvas(const Shape& shape, Canvas& canvas) {
  uint8_t* out = canvas.pixels.data();
  if (!shape.HasPixels() || shape.height < 1) {
    canvas.pixels.fill(0);
    return;
  }
  // A shape larger than the canvas (only an import can make one) shows its
  // top-left part. Every byte is written once: the shape's rows with their
  // empty right part, and the empty rows below.
  const int w = std::min(shape.width, kCanvasSize);
  const int h = std::min(shape.height, kCanvasSize);
  const int firstRow = kCanvasSize - h;
  std::memset(out, 0, static_cast<size_t>(firstRow) * kCanvasSize);
  const uint8_t* top = shape.pixels.get() + static_cast<size_t>(shape.height - h) * shape.width;
  for (int y = 0; y < h; ++y) {
    uint8_t* row = out + (firstRow + y) * kCanvasSize;
    CopyRow(row, top + static_cast<size_t>(y) * shape.width, w);
    std::fill(row + w, row + kCanvasSize, uint8_t{0});
  }
}

void ReplaceColor(Canvas& canvas, uint8_t from, uint8_t to) {
  std::replace(canvas.pixels.begin(), canvas.pixels.end(), from, to);
}

}  // namespace qshe
