// The canvas view is rebuilt on every tool stroke, so it works a row at a
// time into buffers that already exist and never allocates.
#include "editing/canvas_view.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <type_traits>

#include "editing/canvas_view_onion.h"

namespace qshe {
namespace {

constexpr int kSize = kCanvasSize;

int Whole(double v) { return WholeOrigin(v); }

// A thumb that was placed by the mouse must come back to the same place
// when its origin is turned back into a position: position / range x pan
// / pan x range can land a hair below the whole number it started as.
constexpr double kThumbSlack = 1e-6;

// The two rows of the checkerboard: 8 x 8 squares, light where the square's
// column and row numbers add up to an even number.
struct CheckerRows {
  uint8_t rows[2][kSize];
  constexpr CheckerRows() : rows{} {
    for (int parity = 0; parity < 2; ++parity) {
      for (int x = 0; x < kSize; ++x) rows[parity][x] = ((x / 8 + parity) & 1) ? kCheckerDark : kCheckerLight;
    }
  }
};
constexpr CheckerRows kChecker;

// What shows behind view row y: a plain row, or one of the checkerboard's.
class ViewBackground {
 public:
  explicit ViewBackground(int type) : checker_(type == 1) {
    std::memset(plain_, type == 2 ? kContrastBackground : kPlainBackground, kSize);
  }
  const uint8_t* Row(int y) const { return checker_ ? kChecker.rows[(y / 8) & 1] : plain_; }

 private:
  bool checker_;
  uint8_t plain_[kSize];
};

// Each of the 256 / Z bytes of `src` becomes Z equal bytes of `dst`: one
// multiplication spreads a byte over a whole word, so the loop runs on
// vectors.
template <int Z>
void SpreadRow(const uint8_t* src, uint8_t* dst) {
  using Word = std::conditional_t<Z == 2, uint16_t, std::conditional_t<Z == 4, uint32_t, uint64_t>>;
  constexpr Word kSpread = static_cast<Word>(static_cast<Word>(~Word{0}) / 0xFF);  // 0x0101...
  constexpr int kBytes = static_cast<int>(sizeof(Word));
  for (int j = 0; j < kSize / kBytes; ++j) {
    const Word word = static_cast<Word>(src[j * kBytes / Z] * kSpread);
    std::memcpy(dst + j * kBytes, &word, kBytes);
  }
}

void SpreadRow(int z, const uint8_t* src, uint8_t* dst) {
  switch (z) {
    case 2: SpreadRow<2>(src, dst); break;
    case 4: SpreadRow<4>(src, dst); break;
    case 8: SpreadRow<8>(src, dst); break;
    default: SpreadRow<16>(src, dst); break;
  }
}

// dst = src where src is not 0, else the background: the view's transparent
// pixels show the background.
void OverBackground(uint8_t* __restrict dst, const uint8_t* __restrict src, const uint8_t* __restrict background) {
  // Both read unconditionally, so the choice is a vector select.
  for (int x = 0; x < kSize; ++x) {
    const uint8_t pixel = src[x], behind = background[x];
    dst[x] = pixel ? pixel : behind;
  }
}

// ----- onion skin ------------------------------------------------------------------

// Unmagnified, the onion skin reads three images a pixel where the plain
// view reads two; where the processor has wider vectors that drawing uses
// them.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QSHE_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define QSHE_WIDE_VECTORS
#endif

// A neighbour the view does not show reads as this empty plane, so the
// loops need no test for it.
const uint8_t kNoPlane[kSize * kSize] = {};

// The two planes as the drawing reads them, and the canvas rows (bottom-up)
// where either has something.
struct OnionRows {
  const uint8_t* previous = kNoPlane;
  const uint8_t* next = kNoPlane;
  const uint8_t* alternating = kNoPlane;
  int firstRow = 0;
  int lastRow = -1;
  bool Has(int row) const { return row >= firstRow && row <= lastRow; }
};

OnionRows RowsOf(const OnionSkin* onion) {
  OnionRows rows;
  if (!onion || !OnionShowsAnything(*onion)) return rows;
  rows.firstRow = kSize;
  const OnionLayer* layers[2] = {&onion->layers[0], &onion->layers[1]};
  const uint8_t** planes[2] = {&rows.previous, &rows.next};
  for (int i = 0; i < 2; ++i) {
    const OnionLayer& l = *layers[i];
    if (l.lastRow < 0 || l.plane.size() < static_cast<size_t>(kSize) * kSize) continue;
    *planes[i] = l.plane.data();
    rows.firstRow = std::min(rows.firstRow, l.firstRow);
    rows.lastRow = std::max(rows.lastRow, l.lastRow);
  }
  if (onion->alternating.size() == static_cast<size_t>(kSize) * kSize) rows.alternating = onion->alternating.data();
  return rows;
}

// dst = the canvas pixel where there is one, else the neighbour's (`ghost`),
// else the background.
void OverGhost(uint8_t* __restrict dst, const uint8_t* __restrict src, const uint8_t* __restrict ghost,
               const uint8_t* __restrict background, int n) {
  for (int x = 0; x < n; ++x) {
    const uint8_t pixel = src[x], g = ghost[x], behind = background[x];
    dst[x] = pixel ? pixel : (g ? g : behind);
  }
}

// dst = src where src is not 0, else the background, for part of a row.
void OverBackgroundPart(uint8_t* __restrict dst, const uint8_t* __restrict src, const uint8_t* __restrict background,
                        int n) {
  for (int x = 0; x < n; ++x) {
    const uint8_t pixel = src[x], behind = background[x];
    dst[x] = pixel ? pixel : behind;
  }
}

// The unmagnified view with the onion skin: background, neighbours and
// canvas in one pass per row. Neighbours alternate by canvas pixel, so they
// keep their pattern wherever the view is moved.
QSHE_WIDE_VECTORS void DrawUnmagnifiedWithOnion(const CanvasView& view, const Canvas& canvas,
                                                const OnionRows& onion, const VirtualBuffer& b) {
  const ViewBackground background(view.backgroundType);
  const int ox = WholeOrigin(view.originX), oy = WholeOrigin(view.originY);
  // View columns the canvas covers.
  const int x0 = std::clamp(ox, 0, kSize), x1 = std::clamp(ox + kSize, 0, kSize);
  for (int y = 0; y < kSize; ++y) {
    const uint8_t* behind = background.Row(y);
    uint8_t* dst = b.Row(y);
    const int top = y + oy;
    if (top < 0 || top >= kSize || x0 >= x1) {
      std::memcpy(dst, behind, kSize);
      continue;
    }
    std::memcpy(dst, behind, static_cast<size_t>(x0));
    std::memcpy(dst + x1, behind + x1, static_cast<size_t>(kSize - x1));
    const int row = kSize - 1 - top, c0 = x0 - ox, n = x1 - x0;
    const size_t at = static_cast<size_t>(row) * kSize + static_cast<size_t>(c0);
    const uint8_t* src = canvas.pixels.data() + at;
    if (onion.Has(row)) {
      OverGhost(dst + x0, src, onion.alternating + at, behind + x0, n);
    } else {
      OverBackgroundPart(dst + x0, src, behind + x0, n);
    }
  }
}

// ----- the magnified view -----------------------------------------------------------

// Each of the 256 / Z byte pairs (a[j], b[j]) becomes Z bytes alternating
// a, b, a, b: one block of a view row whose even pixels show a and odd
// pixels b.
template <int Z>
void SpreadPairs(const uint8_t* __restrict a, const uint8_t* __restrict b, uint8_t* __restrict dst) {
  using Word = std::conditional_t<Z == 2, uint16_t, std::conditional_t<Z == 4, uint32_t, uint64_t>>;
  constexpr Word kSpread = static_cast<Word>(static_cast<Word>(~Word{0}) / 0xFFFF);  // 0x...00010001
  constexpr int kBytes = static_cast<int>(sizeof(Word));
  for (int j = 0; j < kSize / kBytes; ++j) {
    const int k = j * kBytes / Z;
    const Word word = static_cast<Word>((a[k] | (b[k] << 8)) * kSpread);
    std::memcpy(dst + j * kBytes, &word, kBytes);
  }
}

void SpreadPairs(int z, const uint8_t* a, const uint8_t* b, uint8_t* dst) {
  switch (z) {
    case 2: SpreadPairs<2>(a, b, dst); break;
    case 4: SpreadPairs<4>(a, b, dst); break;
    default: SpreadPairs<8>(a, b, dst); break;
  }
}

// The background and the magnified canvas in one pass over the view: each
// canvas pixel a z x z block. A block row is spread once and then laid over
// the background of each of its z view rows.
//
// The onion skin's neighbours alternate by view pixel, so each block shows
// both where both have a pixel. A block row with neighbours in it is put
// together in units that lie on one colour of the background (the block
// itself, or a quarter of it at zoom 16 on the checkerboard): once for the
// pixels that show the previous shape, once for those that show the next,
// and then spread in pairs to its view rows.
void DrawMagnified(const CanvasView& view, const Canvas& canvas, const OnionRows& onion, const VirtualBuffer& b) {
  const int z = view.zoom;
  const int n = kSize / z;
  const int firstColumn = FirstViewColumn(view);
  // The canvas columns of the view; the rest of `columns` stays 0.
  const int from = std::clamp(firstColumn, 0, kSize), to = std::clamp(firstColumn + n, 0, kSize);
  const int oy = Whole(view.originY);
  const ViewBackground background(view.backgroundType);
  uint8_t columns[kSize] = {};
  uint8_t line[kSize];
  auto take = [&](uint8_t* into, const uint8_t* plane, int row) {
    if (from < to) {
      std::memcpy(into + (from - firstColumn), plane + static_cast<size_t>(row) * kSize + from,
                  static_cast<size_t>(to - from));
    }
  };
  // The onion skin's units: u x u view pixels, `per` of them across a block.
  const int unit = std::min(z, 8), units = kSize / unit, per = z / unit;
  uint8_t unitBackground[2][kSize];  // by row of checker squares
  uint8_t previousColumns[kSize] = {}, nextColumns[kSize] = {};
  uint8_t canvasUnits[kSize], previousUnits[kSize], nextUnits[kSize];
  uint8_t showsPrevious[kSize], showsNext[kSize];
  if (onion.lastRow >= 0) {
    for (int p = 0; p < 2; ++p)
      for (int k = 0; k < units; ++k) unitBackground[p][k] = background.Row(p * 8)[k * unit];
  }
  // A copy this short of unknown length is slower through memcpy, and the
  // onion skin takes three per block row.
  auto takeShort = [&](uint8_t* __restrict into, const uint8_t* __restrict plane, int row) {
    const uint8_t* src = plane + static_cast<size_t>(row) * kSize;
    for (int c = from; c < to; ++c) into[c - firstColumn] = src[c];
  };
  // Block columns to unit columns: at zoom 16 each block is two units wide.
  auto toUnits = [&](const uint8_t* __restrict blocks, uint8_t* __restrict into) -> const uint8_t* {
    if (per == 1) return blocks;
    for (int k = 0; k < units; ++k) into[k] = blocks[k >> 1];
    return into;
  };
  for (int i = 0; i < n; ++i) {
    const int top = i - oy;
    const bool onCanvas = top >= 0 && top < kSize;
    const int row = kSize - 1 - top;
    const int y0 = i * z;
    if (onCanvas && onion.Has(row)) {
      takeShort(columns, canvas.pixels.data(), row);
      takeShort(previousColumns, onion.previous, row);
      takeShort(nextColumns, onion.next, row);
      const uint8_t* c = toUnits(columns, canvasUnits);
      const uint8_t* p = toUnits(previousColumns, previousUnits);
      const uint8_t* x = toUnits(nextColumns, nextUnits);
      for (int y = y0; y < y0 + z; y += unit) {
        const uint8_t* behind = unitBackground[(y / 8) & 1];
        OverGhost(showsPrevious, c, p, behind, units);
        OverGhost(showsNext, c, x, behind, units);
        // Even view rows show the previous shape on even pixels, odd rows
        // on odd ones.
        SpreadPairs(unit, showsPrevious, showsNext, b.Row(y));
        SpreadPairs(unit, showsNext, showsPrevious, b.Row(y + 1));
        for (int k = y + 2; k < y + unit; ++k) std::memcpy(b.Row(k), b.Row(y + (k & 1)), kSize);
      }
      continue;
    }
    if (onCanvas) {
      take(columns, canvas.pixels.data(), row);
      SpreadRow(z, columns, line);
    }
    for (int y = y0; y < y0 + z; ++y) {
      if (onCanvas) {
        OverBackground(b.Row(y), line, background.Row(y));
      } else {
        std::memcpy(b.Row(y), background.Row(y), kSize);
      }
    }
  }
}

// One view row or column in the current colour, only where it lies in the
// view. A column is written directly: a fill of one byte per row would cost
// a call per row.
void FrameRow(DisplayState& display, int y) {
  if (y >= 0 && y < kSize) FillRect(display, 0, kSize - 1, y, y);
}
void FrameColumn(const DisplayState& display, const VirtualBuffer& buffer, int x) {
  if (x < 0 || x >= kSize) return;
  const uint8_t color = display.color;
  for (int y = 0; y < kSize; ++y) buffer.Row(y)[x] = color;
}

// Lines marking the canvas edges. Magnified, the top and left lines cover
// the canvas's own first pixel row and column, and the bottom and right ones
// lie a whole block clear of the canvas.
void DrawFrame(const CanvasView& view, DisplayState& display, const VirtualBuffer& buffer) {
  SetColor(display, kFrameColor);
  const int z = view.zoom;
  if (z == 0) {
    const int ox = Whole(view.originX), oy = Whole(view.originY);
    FrameRow(display, -oy - 1);
    FrameRow(display, kSize - oy);
    FrameColumn(display, buffer, ox - 1);
    FrameColumn(display, buffer, ox + kSize);
    return;
  }
  const int a = Whole(view.originY + 1.0) * z;
  const int b = Whole(1.0 - view.originX) * z;
  FrameRow(display, a - z);
  FrameRow(display, a + kSize * z);
  FrameColumn(display, buffer, b - z);
  FrameColumn(display, buffer, b + kSize * z);
}

}  // namespace

int WholeOrigin(double v) { return static_cast<int>(std::clamp(v, -1e6, 1e6)); }

int FirstViewColumn(const CanvasView& view) {
  const int ox = Whole(view.originX);
  return view.zoom > 0 && ox >= kSize ? 0 : ox;
}

void ViewedCanvasRows(const CanvasView& view, int& first, int& last) {
  first = 0;
  last = kSize - 1;
  if (view.zoom <= 0) return;
  // View block i shows the canvas's top-down row i - oy.
  const int oy = Whole(view.originY), n = kSize / view.zoom;
  first = std::max(first, kSize - n + oy);
  last = std::min(last, kSize - 1 + oy);
}

int ScreenToCanvasX(const CanvasView& view, int x) {
  if (view.zoom == 0) return x - Whole(view.originX) - kViewLeft;
  // The column drawn there, also for origins past the right edge.
  return FirstViewColumn(view) + (x - kViewLeft) / view.zoom;
}

int ScreenToCanvasY(const CanvasView& view, int y) {
  const int oy = Whole(view.originY);
  if (view.zoom == 0) return kViewTop + kSize - 1 - oy - y;
  return oy - (y - kViewTop) / view.zoom + kSize - 1;
}

void RenderCanvasView(const CanvasView& view, const Canvas& canvas, DisplayState& display, int viewSlot,
                      int compositionSlot, const OnionSkin* onionSkin) {
  if (SelectBuffer(display, viewSlot) != 0) return;
  const VirtualBuffer* b = ActiveBuffer(display);
  if (b->width < kSize || b->height < kSize) return;
  const OnionRows onion = RowsOf(onionSkin);
  if (view.zoom > 0) {
    DrawMagnified(view, canvas, onion, *b);
    DrawZoomGrid(view, display, 0, 0);
    DrawFrame(view, display, *b);
  } else if (onion.lastRow >= 0 && Whole(view.originX) < kSize && Whole(view.originY) < kSize) {
    DrawUnmagnifiedWithOnion(view, canvas, onion, *b);
    DrawFrame(view, display, *b);
  } else {
    const ViewBackground background(view.backgroundType);
    for (int y = 0; y < kSize; ++y) std::memcpy(b->Row(y), background.Row(y), kSize);
    // An origin at or past the far edges shows the background alone;
    // otherwise PutImage's clipping cuts the canvas to the view.
    if (Whole(view.originX) < kSize && Whole(view.originY) < kSize) {
      MoveTo(display, Whole(view.originX), kSize - 1 - Whole(view.originY));
      PutImage(display, canvas.pixels.data(), kSize, kSize);
      DrawFrame(view, display, *b);
    }
  }
  CopyViewToComposition(display, viewSlot, compositionSlot);
}

void CopyViewToComposition(DisplayState& display, int viewSlot, int compositionSlot) {
  if (SelectBuffer(display, compositionSlot) != 0) return;
  CopyRect(display, 0, kSize - 1, 0, kSize - 1, kViewLeft, kViewTop + kSize - 1, viewSlot, compositionSlot);
}

void DrawZoomGrid(const CanvasView& view, DisplayState& display, int x0, int y0) {
  const int z = view.zoom;
  if (z <= 0 || view.gridWhileZooming != 1) return;
  const VirtualBuffer* b = ActiveBuffer(display);
  if (!b) return;
  const bool inside = x0 >= 0 && y0 >= 0 && x0 + kSize <= b->width && y0 + kSize <= b->height;
  assert(inside && "zoom grid outside the active buffer");
  if (!inside) return;
  SetColor(display, kGridColor);
  // Every row but the blocks' first gets the colour where the mask is set;
  // written as a bitwise select so that it runs on vectors.
  uint8_t mask[kSize];
  for (int x = 0; x < kSize; ++x) mask[x] = x % z == 0 ? 0xFF : 0;
  const uint8_t color = kGridColor;
  for (int y = 0; y < kSize; ++y) {
    uint8_t* row = b->Row(y0 + y) + x0;
    if (y % z == 0) {
      std::memset(row, color, kSize);
    } else {
      for (int x = 0; x < kSize; ++x) row[x] = static_cast<uint8_t>((row[x] & ~mask[x]) | (color & mask[x]));
    }
  }
}

double OriginForThumb(int position, int range, int zoom) {
  if (zoom <= 0 || range <= 0) return 0.0;
  const int pan = kSize - kSize / zoom;
  if (pan <= 0) return 0.0;
  return static_cast<double>(position) / range * pan;
}

int ThumbForOrigin(double origin, int range, int zoom) {
  if (zoom <= 0 || range <= 0) return 0;
  const int pan = kSize - kSize / zoom;
  if (pan <= 0) return 0;
  const double position = origin / pan * range + kThumbSlack;
  return static_cast<int>(std::clamp(position, 0.0, static_cast<double>(range)));
}

}  // namespace qshe
