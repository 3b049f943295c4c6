#include "editing/tools.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace qshe {
namespace {

// One row of a brush: columns from..to relative to the point, `dy` rows up.
struct BrushRow {
  int8_t dy, from, to;
};
struct Brush {
  int count;
  BrushRow rows[7];
};

constexpr Brush kBrushes[kPencilSizeCount] = {
    {1, {{0, 0, 0}}},
    {2, {{-1, 0, 1}, {0, 0, 1}}},
    {4, {{-2, -1, 2}, {-1, -1, 2}, {0, -1, 2}, {1, -1, 2}}},
    {6, {{-3, -2, 3}, {-2, -2, 3}, {-1, -2, 3}, {0, -2, 3}, {1, -2, 3}, {2, -2, 3}}},
    {5, {{-2, -1, 1}, {-1, -2, 2}, {0, -2, 2}, {1, -2, 2}, {2, -1, 1}}},
    {7, {{-3, -1, 1}, {-2, -2, 2}, {-1, -3, 3}, {0, -3, 3}, {1, -3, 3}, {2, -2, 2}, {3, -1, 1}}},
};

const Brush& BrushOf(int size) { return kBrushes[std::clamp(size, 0, kPencilSizeCount - 1)]; }

// Whether a stamp at row y can reach the canvas at all.
bool BrushReachesRow(const Brush& brush, int y) {
  return y + brush.rows[brush.count - 1].dy >= 0 && y + brush.rows[0].dy < kCanvasSize;
}

// ----- flood fill: run scans eight bytes at a time --------------------------

// Byte i of a loaded word is the byte at address i.
static_assert(std::endian::native == std::endian::little);

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHighs = 0x8080808080808080ULL;

uint64_t Load(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
// A byte 0x80 wherever the word holds a zero byte (exact for the lowest one).
uint64_t ZeroBytes(uint64_t v) { return (v - kOnes) & ~v & kHighs; }

// First column from c on (up to 255) whose byte differs from `old`.
int RunEndRight(const uint8_t* row, int c, uint8_t old) {
  const uint64_t pattern = kOnes * old;
  while (c <= kCanvasSize - 8) {
    uint64_t diff = Load(row + c) ^ pattern;
    if (diff != 0) return c + std::countr_zero(diff) / 8;
    c += 8;
  }
  while (c < kCanvasSize && row[c] == old) ++c;
  return c;
}

// The lowest column l such that every byte l..c equals `old` (c + 1 when
// byte c itself differs).
int RunStartLeft(const uint8_t* row, int c, uint8_t old) {
  const uint64_t pattern = kOnes * old;
  while (c >= 7) {
    uint64_t diff = Load(row + c - 7) ^ pattern;
    if (diff != 0) return c - 7 + (63 - std::countl_zero(diff)) / 8 + 1;
    c -= 8;
  }
  while (c >= 0 && row[c] == old) --c;
  return c + 1;
}

// First column c..right whose byte equals `old`, or right + 1.
int NextOld(const uint8_t* row, int c, int right, uint8_t old) {
  const uint64_t pattern = kOnes * old;
  while (c + 7 <= right) {
    uint64_t zeros = ZeroBytes(Load(row + c) ^ pattern);
    if (zeros != 0) return c + std::countr_zero(zeros) / 8;
    c += 8;
  }
  while (c <= right && row[c] != old) ++c;
  return c;
}

class SegmentStack {
 public:
  explicit SegmentStack(FillStack& store) : data_(store.segments->data()) {}
  bool Empty() const { return size_ == 0; }
  // Segments whose next row lies off the canvas are not kept.
  void Push(int row, int left, int right, int direction) {
    int next = row + direction;
    if (next < 0 || next >= kCanvasSize || size_ >= kFillStackCapacity) return;
    data_[size_++] = {static_cast<uint8_t>(next), static_cast<uint8_t>(left), static_cast<uint8_t>(right),
                      static_cast<int8_t>(direction)};
  }
  FillSegment Pop() { return data_[--size_]; }

 private:
  FillSegment* data_;
  int size_ = 0;
};

}  // namespace

uint8_t GetCanvasPixel(const Canvas& canvas, int x, int y) {
  if (x < 0 || x >= kCanvasSize || y < 0 || y >= kCanvasSize) return 0;
  return canvas.At(x, y);
}

void SetCanvasPixel(Canvas& canvas, int x, int y, uint8_t colour) {
  if (x < 0 || x >= kCanvasSize || y < 0 || y >= kCanvasSize) return;
  canvas.At(x, y) = colour;
}

void DrawPencilDot(Canvas& canvas, int size, int x, int y, uint8_t colour) {
  const Brush& brush = BrushOf(size);
  for (int i = 0; i < brush.count; ++i) {
    const BrushRow& r = brush.rows[i];
    int row = y + r.dy;
    int from = std::max(x + r.from, 0), to = std::min(x + r.to, kCanvasSize - 1);
    if (row < 0 || row >= kCanvasSize || from > to) continue;
    std::memset(&canvas.At(from, row), colour, static_cast<size_t>(to - from + 1));
  }
}

void DrawPencilLine(Canvas& canvas, int size, int x0, int y0, int x1, int y1, uint8_t colour) {
  const Brush& brush = BrushOf(size);
  const int adx = std::abs(x1 - x0), ady = std::abs(y1 - y0);
  const int sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
  // Steps along the longer axis; the shorter one moves once the error
  // passes the longer extent.
  const bool steep = adx <= ady;
  const int steps = steep ? ady : adx, minor = steep ? adx : ady;
  int x = x0, y = y0, e = 0;
  for (int i = 0; i < steps; ++i) {
    if (BrushReachesRow(brush, y)) DrawPencilDot(canvas, size, x, y, colour);
    e += minor;
    if (steep) {
      y += sy;
      if (e > steps) { x += sx; e -= steps; }
    } else {
      x += sx;
      if (e > steps) { y += sy; e -= steps; }
    }
  }
}

void FloodFill(Canvas& canvas, FillStack& store, int x, int y, uint8_t colour) {
  if (x < 0 || x >= kCanvasSize || y < 0 || y >= kCanvasSize) return;
  const uint8_t old = canvas.At(x, y);
  if (old == colour) return;
  SegmentStack stack(store);
  // The seed is explored from the row above it, and its row above from it.
  stack.Push(y, x, x, 1);
  stack.Push(y + 1, x, x, -1);
  while (!stack.Empty()) {
    const FillSegment s = stack.Pop();
    const int row = s.row, left = s.left, right = s.right, d = s.direction;
    uint8_t* line = &canvas.At(0, row);
    // The run through `left`, as far left as it goes.
    int l = RunStartLeft(line, left, old);
    int c;
    if (l > left) {
      c = NextOld(line, left + 1, right, old);
      if (c > right) continue;
      l = c;
    } else if (l < left) {
      stack.Push(row, l, left - 1, -d);  // leaks back round the left end
    }
    // Each run found below right: fill it, and look on along the segment.
    for (;;) {
      c = RunEndRight(line, std::max(l, left), old);
      std::memset(line + l, colour, static_cast<size_t>(c - l));
      stack.Push(row, l, c - 1, d);
      if (c > right + 1) stack.Push(row, right + 1, c - 1, -d);  // leaks back round the right end
      c = NextOld(line, c + 1, right, old);
      if (c > right) break;
      l = c;
    }
  }
}

void PanByHand(CanvasView& view, int dx, int dy) {
  if (view.zoom <= 0) return;
  view.originX -= static_cast<double>(dx) / view.zoom;
  view.originY += static_cast<double>(dy) / view.zoom;
}

const char* ToolFormText(const ToolState& t) {
  switch (t.currentTool) {
    case kPencil: return "Pencil";
    case kEraser: return "Eraser";
    case kHand: return "Hand";
    case kEyedropper: return "Eyedropper";
    case kSelect: return "Select";
    case kBucket: return "Paint Bucket";
    case kLineTool: return "Line";
    case kRectangleTool: return t.filledRectangle ? "Rectangle (filled)" : "Rectangle (outlined)";
    case kEllipseTool: return t.filledEllipse ? "Ellipse (filled)" : "Ellipse (outlined)";
    default: return "";
  }
}

bool FigureFilled(const ToolState& t, int tool) {
  return (tool == kRectangleTool && t.filledRectangle) || (tool == kEllipseTool && t.filledEllipse);
}

void SwitchFigureFormIfCurrent(ToolState& t, int tool) {
  if (tool != t.currentTool) return;
  if (tool == kRectangleTool) t.filledRectangle = !t.filledRectangle;
  if (tool == kEllipseTool) t.filledEllipse = !t.filledEllipse;
}

void StartPencilStroke(Canvas& canvas, const ToolState& t, int x, int y, uint8_t colour) {
  if (t.shift && t.strokeEndKnown) {
    // As if the pencil had gone down at the old end and been dragged here.
    DrawLine(canvas, t.pencilSize, t.strokeEndX, t.strokeEndY, x, y, colour);
  } else {
    DrawPencilDot(canvas, t.pencilSize, x, y, colour);
  }
}

bool SetFigureEnd(ToolState& t, int x, int y) {
  if (t.shift) {
    if (t.dragTool == kLineTool) {
      ConstrainLine(t.figureX0, t.figureY0, x, y);
    } else {
      ConstrainSquare(t.figureX0, t.figureY0, x, y);
    }
  }
  if (x == t.figureX1 && y == t.figureY1) return false;
  t.figureX1 = x;
  t.figureY1 = y;
  return true;
}

FigureStroke DraggedFigure(const ToolState& t, uint8_t colour) {
  const Figure figure = t.dragTool == kRectangleTool ? Figure::Rectangle
                        : t.dragTool == kEllipseTool ? Figure::Ellipse
                                                 : Figure::Line;
  return {figure, FigureFilled(t, t.dragTool), t.pencilSize, t.figureX0, t.figureY0, t.figureX1, t.figureY1, colour};
}

}  // namespace qshe
