// The canvas view is rebuilt on every tool stroke, so it works a row at a
// time into buffers that already exist and never allocates.
#include "editing/canvas_view.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <type_traits>

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

// The background and the magnified canvas in one pass over the view: each
// canvas pixel a z x z block. A block row is spread once and then laid over
// the background of each of its z view rows.
void DrawMagnified(const CanvasView& view, const Canvas& canvas, const VirtualBuffer& b) {
  const int z = view.zoom;
  const int n = kSize / z;
  const int firstColumn = FirstViewColumn(view);
  // The canvas columns of the view; the rest of `columns` stays 0.
  const int from = std::clamp(firstColumn, 0, kSize), to = std::clamp(firstColumn + n, 0, kSize);
  const int oy = Whole(view.originY);
  const ViewBackground background(view.backgroundType);
  uint8_t columns[kSize] = {};
  uint8_t line[kSize];
  for (int i = 0; i < n; ++i) {
    const int top = i - oy;
    const bool onCanvas = top >= 0 && top < kSize;
    if (onCanvas) {
      const uint8_t* src = canvas.pixels.data() + static_cast<size_t>(kSize - 1 - top) * kSize;
      if (from < to) std::memcpy(columns + (from - firstColumn), src + from, static_cast<size_t>(to - from));
      SpreadRow(z, columns, line);
    }
    for (int y = i * z; y < (i + 1) * z; ++y) {
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
                      int compositionSlot) {
  if (SelectBuffer(display, viewSlot) != 0) return;
  const VirtualBuffer* b = ActiveBuffer(display);
  if (b->width < kSize || b->height < kSize) return;
  if (view.zoom > 0) {
    DrawMagnified(view, canvas, *b);
    DrawZoomGrid(view, display, 0, 0);
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
