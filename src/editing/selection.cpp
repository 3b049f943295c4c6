#include "editing/selection.h"

#include <algorithm>
#include <cstring>

#include "editing/tools.h"

namespace qshe {
namespace {

constexpr int kLast = kCanvasSize - 1;

int ClampToCanvas(int v) { return std::clamp(v, 0, kLast); }

// The canvas area of the window, where everything of the selection is clipped.
constexpr Rect kArea{kViewLeft, kViewLeft + kLast, kViewTop, kViewTop + kLast};

// Screen rectangle of canvas column c and top row t, at the view's zoom.
struct Cell {
  int x1, x2, y1, y2;
};
Cell CellOf(const CanvasView& view, int c, int t) {
  const int oy = WholeOrigin(view.originY);
  if (view.zoom <= 0) {
    const int x = c + WholeOrigin(view.originX) + kViewLeft, y = t - oy + kViewTop;
    return {x, x, y, y};
  }
  const int z = view.zoom;
  const int x = (c - FirstViewColumn(view)) * z + kViewLeft, y = (t + oy) * z + kViewTop;
  return {x, x + z - 1, y, y + z - 1};
}

// Black and white dashes, four pixels each, running diagonally so that
// every side shows both colours whatever lies under it.
void DashedPixel(const VirtualBuffer& b, const Rect& clip, int x, int y) {
  if (x < clip.x1 || x > clip.x2 || y < clip.y1 || y > clip.y2) return;
  b.Row(y)[x] = ((x + y) >> 2) & 1 ? 255 : 0;
}

void DashedBox(const VirtualBuffer& b, const Rect& clip, int x1, int x2, int y1, int y2) {
  for (int x = std::max(x1, clip.x1); x <= std::min(x2, clip.x2); ++x) {
    DashedPixel(b, clip, x, y1);
    DashedPixel(b, clip, x, y2);
  }
  for (int y = std::max(y1, clip.y1); y <= std::min(y2, clip.y2); ++y) {
    DashedPixel(b, clip, x1, y);
    DashedPixel(b, clip, x2, y);
  }
}

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Only the rows and columns that reach the clipped area are looked at, so a
// whole-canvas selection at zoom 16 costs its 16 x 16 visible blocks.
void DrawFloatingPixels(const Selection& s, const SelectionBounds& bounds, const CanvasView& view,
                        const VirtualBuffer& b, const Rect& clip) {
  const int z = std::max(view.zoom, 1);
  const int firstColumn = view.zoom > 0 ? FirstViewColumn(view) : -WholeOrigin(view.originX);
  const int from = std::max(bounds.minX, firstColumn + FloorDiv(clip.x1 - kViewLeft, z));
  const int to = std::min(bounds.maxX, firstColumn + FloorDiv(clip.x2 - kViewLeft, z));
  if (from > to) return;
  const int w = bounds.width();
  for (int t = bounds.maxY; t >= bounds.minY; --t) {
    const Cell row = CellOf(view, from, t);
    const int y1 = std::max(row.y1, clip.y1), y2 = std::min(row.y2, clip.y2);
    if (y1 > y2) continue;
    const uint8_t* in = s.pixels->data() + static_cast<size_t>(bounds.maxY - t) * static_cast<size_t>(w);
    if (view.zoom <= 0) {
      // One byte a pixel, written as a select so that it runs on vectors.
      uint8_t* out = b.Row(y1) + (from - firstColumn) + kViewLeft;
      const uint8_t* src = in + (from - bounds.minX);
      for (int i = 0; i <= to - from; ++i) out[i] = src[i] ? src[i] : out[i];
      continue;
    }
    for (int y = y1; y <= y2; ++y) {
      uint8_t* out = b.Row(y);
      for (int c = from; c <= to; ++c) {
        const uint8_t v = in[c - bounds.minX];
        if (v == 0) continue;
        const int x = (c - firstColumn) * z + kViewLeft;
        const int x1 = std::max(x, clip.x1), x2 = std::min(x + z - 1, clip.x2);
        std::memset(out + x1, v, static_cast<size_t>(x2 - x1 + 1));
      }
    }
  }
}

bool SwapRows(Canvas& canvas, int a, int b) {
  uint8_t* ra = &canvas.At(0, a);
  uint8_t* rb = &canvas.At(0, b);
  if (std::memcmp(ra, rb, kCanvasSize) == 0) return false;
  std::swap_ranges(ra, ra + kCanvasSize, rb);
  return true;
}

}  // namespace

SelectionBounds Bounds(const Selection& s) {
  const SelectionRect& r = s.rect;
  return {std::min(r.x1, r.x2), std::max(r.x1, r.x2), std::min(r.y1, r.y2), std::max(r.y1, r.y2)};
}

bool InsideSelection(const Selection& s, int x, int topRow) {
  if (!SelectionExists(s)) return false;
  const SelectionBounds b = Bounds(s);
  return x >= b.minX && x <= b.maxX && topRow >= b.minY && topRow <= b.maxY;
}

void ClearSelection(Selection& s) {
  s.floating = 0;
  s.rect = SelectionRect{};
  s.state = kNoRectangle;
}

void LiftSelection(Selection& s, Canvas& canvas) {
  if (!SelectionExists(s)) return;
  const SelectionBounds b = Bounds(s);
  uint8_t* out = s.pixels->data();
  for (int t = b.maxY; t >= b.minY; --t) {
    for (int c = b.minX; c <= b.maxX; ++c) {
      *out++ = GetCanvasPixel(canvas, c, kLast - t);
      SetCanvasPixel(canvas, c, kLast - t, 0);
    }
  }
  s.floating = 1;
}

void StampSelection(const Selection& s, Canvas& canvas) {
  if (!SelectionExists(s)) return;
  const SelectionBounds b = Bounds(s);
  const uint8_t* in = s.pixels->data();
  for (int t = b.maxY; t >= b.minY; --t) {
    for (int c = b.minX; c <= b.maxX; ++c, ++in) {
      if (*in != 0) SetCanvasPixel(canvas, c, kLast - t, *in);
    }
  }
}

std::vector<uint8_t> SelectionPixels(const Selection& s, const Canvas& canvas) {
  if (!SelectionExists(s)) return {};
  const SelectionBounds b = Bounds(s);
  const size_t count = static_cast<size_t>(b.width()) * static_cast<size_t>(b.height());
  if (s.floating == 1) return std::vector<uint8_t>(s.pixels->begin(), s.pixels->begin() + static_cast<ptrdiff_t>(count));
  std::vector<uint8_t> out;
  out.reserve(count);
  for (int t = b.maxY; t >= b.minY; --t) {
    for (int c = b.minX; c <= b.maxX; ++c) out.push_back(GetCanvasPixel(canvas, c, kLast - t));
  }
  return out;
}

void FloatPixels(Selection& s, int width, int height, const uint8_t* pixels) {
  const int w = std::clamp(width, 1, kLargestFloat), h = std::clamp(height, 1, kLargestFloat);
  s.rect = {0, w - 1, 0, h - 1};
  s.pixels->fill(0);
  // The top rows are the last ones of a bottom-first block.
  for (int row = 0; row < h && pixels; ++row) {
    const uint8_t* in = pixels + static_cast<size_t>(height - h + row) * static_cast<size_t>(width);
    std::memcpy(s.pixels->data() + static_cast<size_t>(row) * static_cast<size_t>(w), in, static_cast<size_t>(w));
  }
  s.state = kRectangle;
  s.floating = 1;
}

bool EmptyFloatingPixels(Selection& s) {
  // Only the rectangle's pixels count: the buffer keeps older content past
  // them (and all of it while nothing floats).
  bool any = false;
  if (SelectionExists(s) && s.floating == 1) {
    const SelectionBounds b = Bounds(s);
    const ptrdiff_t count =
        std::min<ptrdiff_t>(static_cast<ptrdiff_t>(b.width()) * b.height(), static_cast<ptrdiff_t>(s.pixels->size()));
    const auto end = s.pixels->begin() + count;
    any = std::any_of(s.pixels->begin(), end, [](uint8_t v) { return v != 0; });
  }
  s.pixels->fill(0);
  return any;
}

SelectPress ClassifySelectPress(const Selection& s, int cx, int cy) {
  SelectPress press;
  if (s.state == kRectangle && InsideSelection(s, cx, kLast - cy)) {
    press.startsMove = true;
    return press;
  }
  // Whatever state a floating selection is in, a new rectangle must not
  // take its pixels away with it.
  press.dropsFloating = IsFloating(s);
  return press;
}

void StartSelection(Selection& s, int cx, int cy) {
  s.floating = 0;
  s.state = kNoRectangle;
  s.rect.x1 = s.rect.x2 = ClampToCanvas(cx);
  s.rect.y1 = s.rect.y2 = ClampToCanvas(kLast - cy);
}

bool DragSelection(Selection& s, int cx, int cy, int dx, int dy) {
  if (s.state == kMoving) {
    s.rect.x1 += dx;
    s.rect.x2 += dx;
    s.rect.y1 -= dy;
    s.rect.y2 -= dy;
    return true;
  }
  s.rect.x2 = ClampToCanvas(cx);
  s.rect.y2 = ClampToCanvas(kLast - cy);
  s.state = kRectangle;
  return false;
}

SelectRedraw ReleaseSelection(Selection& s, Canvas& canvas, bool leftButton) {
  SelectRedraw redraw = SelectRedraw::None;
  const SelectionRect& r = s.rect;
  if (leftButton && s.state == kRectangle && s.floating == 0 && r.x1 != r.x2 && r.y1 != r.y2) {
    LiftSelection(s, canvas);
    redraw = SelectRedraw::View;
  }
  // A move ends with either button, or the next press would lose the pixels.
  if (s.state == kMoving) s.state = kRectangle;
  if (leftButton && r.x1 == r.x2 && r.y1 == r.y2 && s.floating == 0) {
    s.rect = SelectionRect{};
    s.state = kNoRectangle;
    redraw = SelectRedraw::Overlay;
  }
  return redraw;
}

bool FlipRows(Canvas& canvas) {
  int low = 0;
  while (low < kCanvasSize && RowIsEmpty(canvas, low)) ++low;
  bool changed = false;
  for (int a = low, b = kLast; a < b; ++a, --b) changed |= SwapRows(canvas, a, b);
  return changed;
}

bool FlipColumns(Canvas& canvas) {
  int right = kLast;
  while (right >= 1 && ColumnIsEmpty(canvas, right)) --right;
  bool changed = false;
  for (int r = 0; r < kCanvasSize; ++r) {
    uint8_t* row = &canvas.At(0, r);
    for (int a = 0, b = right; a < b; ++a, --b) {
      if (row[a] == row[b]) continue;
      std::swap(row[a], row[b]);
      changed = true;
    }
  }
  return changed;
}

void DrawSelection(const Selection& s, const CanvasView& view, DisplayState& display, bool outline) {
  const VirtualBuffer* b = ActiveBuffer(display);
  if (!b || !SelectionExists(s)) return;
  const Rect clip{std::max(kArea.x1, 0), std::min(kArea.x2, b->width - 1), std::max(kArea.y1, 0),
                  std::min(kArea.y2, b->height - 1)};
  const SelectionBounds bounds = Bounds(s);
  if (IsFloating(s)) {
    DrawFloatingPixels(s, bounds, view, *b, clip);
    // The grid shows over floating pixels as over the canvas's own.
    if (b->width >= kViewLeft + kCanvasSize && b->height >= kViewTop + kCanvasSize)
      DrawZoomGrid(view, display, kViewLeft, kViewTop);
  }
  if (!outline) return;
  const Cell first = CellOf(view, bounds.minX, bounds.minY), last = CellOf(view, bounds.maxX, bounds.maxY);
  // Magnified, the outline runs round the blocks, one pixel past the last.
  if (view.zoom > 0) {
    DashedBox(*b, clip, first.x1, last.x2 + 1, first.y1, last.y2 + 1);
  } else {
    DashedBox(*b, clip, first.x1, last.x2, first.y1, last.y2);
  }
}

}  // namespace qshe
