// Drawing into VirtualBuffers: fills, outlines, transparent images and
// rectangle copies. These run on every redraw, so they work a row at a time
// and never allocate.
#include <algorithm>
#include <cassert>
#include <cstring>

#include "display/virtual_buffer.h"

namespace qshe {

namespace {

bool Inside(const VirtualBuffer& b, int64_t x1, int64_t x2, int64_t y1, int64_t y2) {
  return 0 <= x1 && x1 <= x2 && x2 < b.width && 0 <= y1 && y1 <= y2 && y2 < b.height;
}

// Rows y1..y2 are stored bottom-up, so row y2 is the lowest address and the
// rows above it follow one stride apart.
void Fill(const VirtualBuffer& b, int x1, int x2, int y1, int y2, uint8_t color) {
  uint8_t* row = b.Row(y2) + x1;
  size_t n = static_cast<size_t>(x2 - x1 + 1);
  for (int y = y2; y >= y1; --y, row += b.width) std::memset(row, color, n);
}

void ClippedFill(const DisplayState& state, const VirtualBuffer& b, int x1, int x2, int y1, int y2) {
  Rect c = VisibleClip(state, b);
  x1 = std::max(x1, c.x1);
  x2 = std::min(x2, c.x2);
  y1 = std::max(y1, c.y1);
  y2 = std::min(y2, c.y2);
  if (x1 > x2 || y1 > y2) return;
  Fill(b, x1, x2, y1, y2, state.color);
}

void XorRow(const VirtualBuffer& b, const Rect& c, int y, int x1, int x2, uint8_t color) {
  if (y < c.y1 || y > c.y2) return;
  x1 = std::max(x1, c.x1);
  x2 = std::min(x2, c.x2);
  uint8_t* row = b.Row(y);
  for (int x = x1; x <= x2; ++x) row[x] ^= color;
}

// Source bytes that are 0 leave the destination alone. Written branch-free
// so the compiler turns it into vector selects; on x86 a second copy for
// 32-byte vectors is chosen at load time where the processor has them.
#if defined(__GNUC__) && defined(__x86_64__)
__attribute__((target_clones("avx2", "default")))
#endif
void BlendRow(uint8_t* __restrict dst, const uint8_t* __restrict src, size_t n) {
  for (size_t i = 0; i < n; ++i) dst[i] = src[i] ? src[i] : dst[i];
}

}  // namespace

int FillRect(DisplayState& state, int x1, int x2, int y1, int y2) {
  VirtualBuffer* b = ActiveBuffer(state);
  if (!b) return 0;
  assert(Inside(*b, x1, x2, y1, y2) && "FillRect outside the active buffer");
  if (!Inside(*b, x1, x2, y1, y2)) return -1;
  Fill(*b, x1, x2, y1, y2, state.color);
  return 0;
}

int FillChecker(DisplayState& state, int x1, int x2, int y1, int y2, uint8_t first, uint8_t second, int cell) {
  VirtualBuffer* b = ActiveBuffer(state);
  if (!b || cell <= 0) return 0;
  assert(Inside(*b, x1, x2, y1, y2) && "FillChecker outside the active buffer");
  if (!Inside(*b, x1, x2, y1, y2)) return -1;
  for (int y = y1; y <= y2; ++y) {
    uint8_t* row = b->Row(y);
    const int rowCell = (y - y1) / cell;
    for (int x = x1; x <= x2; ++x) row[x] = (((x - x1) / cell + rowCell) & 1) ? second : first;
  }
  return 0;
}

int DrawBox(DisplayState& state, int x1, int x2, int y1, int y2) {
  VirtualBuffer* b = ActiveBuffer(state);
  if (!b) return 0;
  ClippedFill(state, *b, x1, x2, y1, y1);
  ClippedFill(state, *b, x1, x2, y2, y2);
  ClippedFill(state, *b, x1, x1, y1, y2);
  ClippedFill(state, *b, x2, x2, y1, y2);
  return 0;
}

int DrawXorBox(DisplayState& state, int x1, int x2, int y1, int y2) {
  VirtualBuffer* b = ActiveBuffer(state);
  if (!b) return 0;
  Rect c = VisibleClip(state, *b);
  XorRow(*b, c, y1, x1, x2, state.color);
  if (y1 < y2) XorRow(*b, c, y2, x1, x2, state.color);
  for (int y = std::max(y1 + 1, c.y1); y < y2 && y <= c.y2; ++y) {
    XorRow(*b, c, y, x1, x1, state.color);
    if (x1 < x2) XorRow(*b, c, y, x2, x2, state.color);
  }
  return 0;
}

int PutImage(DisplayState& state, const uint8_t* pixels, int width, int height) {
  VirtualBuffer* b = ActiveBuffer(state);
  if (!b || !pixels || width <= 0 || height <= 0) return 0;
  Rect c = VisibleClip(state, *b);
  // Image row r lands on buffer row y - r, image column i on x + i.
  int64_t x = state.x, y = state.y;
  int64_t left = std::max<int64_t>(x, c.x1);
  int64_t right = std::min<int64_t>(x + width - 1, c.x2);
  int64_t firstRow = std::max<int64_t>(0, y - c.y2);
  int64_t lastRow = std::min<int64_t>(height - 1, y - c.y1);
  if (left > right || firstRow > lastRow) return 0;
  size_t n = static_cast<size_t>(right - left + 1);
  const uint8_t* src = pixels + firstRow * width + (left - x);
  uint8_t* dst = b->Row(static_cast<int>(y - firstRow)) + left;
  for (int64_t r = firstRow; r <= lastRow; ++r, src += width, dst += b->width) BlendRow(dst, src, n);
  return 0;
}

int CopyRect(DisplayState& state, int x1, int x2, int y1, int y2, int dx, int dy, int source, int destination) {
  const VirtualBuffer& from = state.buffers[static_cast<unsigned>(source) % kBufferSlots];
  const VirtualBuffer& to = state.buffers[static_cast<unsigned>(destination) % kBufferSlots];
  if (from.free() || to.free()) return 0;
  bool ok = Inside(from, x1, x2, y1, y2) &&
            Inside(to, dx, int64_t{dx} + x2 - x1, int64_t{dy} - (int64_t{y2} - y1), dy);
  assert(ok && "CopyRect outside its buffers");
  if (!ok) return -1;
  const uint8_t* src = from.Row(y2) + x1;
  uint8_t* dst = to.Row(dy) + dx;
  size_t n = static_cast<size_t>(x2 - x1 + 1);
  ptrdiff_t srcStep = from.width, dstStep = to.width;
  int rows = y2 - y1 + 1;
  // Within one buffer the rectangles may overlap: copy the rows in the order
  // that reads each source row before it is overwritten.
  if (&from == &to && dst > src) {
    src += srcStep * (rows - 1);
    dst += dstStep * (rows - 1);
    srcStep = -srcStep;
    dstStep = -dstStep;
  }
  for (int i = 0; i < rows; ++i, src += srcStep, dst += dstStep) std::memmove(dst, src, n);
  return 0;
}

}  // namespace qshe
