#include "editing/rasterisers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "editing/tools.h"

namespace qshe {
namespace {

// The widest brush reaches three pixels past its point, so points further
// off the canvas than this paint nothing.
constexpr int kBrushReach = 3;

int Reach(int v) { return std::clamp(v, -kFigureReach, kCanvasSize - 1 + kFigureReach); }

// The rows asked for, on the canvas.
RowRange OnCanvas(RowRange rows) { return {std::max(rows.bottom, 0), std::min(rows.top, kCanvasSize - 1)}; }

// Whether a stamp of `size` at row y can reach the rows.
bool RowReachable(const RowRange& rows, int size, int y) {
  const int reach = size == 0 ? 0 : kBrushReach;
  return y >= rows.bottom - reach && y <= rows.top + reach;
}

// Columns xl..xr of row y: set outright with the one-pixel brush, else the
// brush stamped on each of them.
void StampSpan(Canvas& canvas, const RowRange& rows, int size, int xl, int xr, int y, uint8_t colour) {
  if (!RowReachable(rows, size, y)) return;
  if (size == 0) {
    xl = std::max(xl, 0);
    xr = std::min(xr, kCanvasSize - 1);
    if (xl <= xr) std::memset(&canvas.At(xl, y), colour, static_cast<size_t>(xr - xl + 1));
    return;
  }
  xl = std::max(xl, -kBrushReach);
  xr = std::min(xr, kCanvasSize - 1 + kBrushReach);
  for (int x = xl; x <= xr; ++x) DrawPencilDot(canvas, size, x, y, colour);
}

// Column x, rows yb..yt.
void StampColumn(Canvas& canvas, const RowRange& rows, int size, int x, int yb, int yt, uint8_t colour) {
  yb = std::max(yb, rows.bottom - kBrushReach);
  yt = std::min(yt, rows.top + kBrushReach);
  for (int y = yb; y <= yt; ++y) StampSpan(canvas, rows, size, x, x, y, colour);
}

// The ellipse in quarter pixels from its centre: a pixel centre (u, v) is
// inside when u²b² + v²a² <= a²b², with a = 2w - 1 and b = 2h - 1 (half
// axes a quarter pixel short of the box's edges).
class EllipseTest {
 public:
  EllipseTest(int w, int h)
      : w_(w), a2_(static_cast<int64_t>(2 * w - 1) * (2 * w - 1)), b2_(static_cast<int64_t>(2 * h - 1) * (2 * h - 1)) {}
  // Whether the pixel `inset` columns in from the box's side, on the row
  // `fromMiddle` half rows from the middle, is inside.
  bool Inside(int inset, int fromMiddle) const {
    const int64_t u = 2 * (w_ - 1) - 4 * static_cast<int64_t>(inset);
    const int64_t v = 2 * static_cast<int64_t>(fromMiddle);
    return u * u * b2_ + v * v * a2_ <= a2_ * b2_;
  }

 private:
  int w_;
  int64_t a2_, b2_;
};

}  // namespace

FigureBox BoxBetween(int x0, int y0, int x1, int y1) {
  x0 = Reach(x0), x1 = Reach(x1), y0 = Reach(y0), y1 = Reach(y1);
  return {std::min(x0, x1), std::max(x0, x1), std::min(y0, y1), std::max(y0, y1)};
}

void DrawLine(Canvas& canvas, int size, int x0, int y0, int x1, int y1, uint8_t colour) {
  x0 = Reach(x0), x1 = Reach(x1), y0 = Reach(y0), y1 = Reach(y1);
  DrawPencilDot(canvas, size, x0, y0, colour);
  DrawPencilLine(canvas, size, x1, y1, x0, y0, colour);
}

void DrawRectangle(Canvas& canvas, int size, const FigureBox& box, bool filled, uint8_t colour, RowRange rows) {
  rows = OnCanvas(rows);
  if (filled) {
    for (int y = std::max(box.bottom, rows.bottom); y <= std::min(box.top, rows.top); ++y)
      StampSpan(canvas, rows, 0, box.left, box.right, y, colour);
    return;
  }
  StampSpan(canvas, rows, size, box.left, box.right, box.bottom, colour);
  if (box.top != box.bottom) StampSpan(canvas, rows, size, box.left, box.right, box.top, colour);
  StampColumn(canvas, rows, size, box.left, box.bottom + 1, box.top - 1, colour);
  if (box.right != box.left) StampColumn(canvas, rows, size, box.right, box.bottom + 1, box.top - 1, colour);
}

void DrawEllipse(Canvas& canvas, int size, const FigureBox& box, bool filled, uint8_t colour, RowRange rows) {
  rows = OnCanvas(rows);
  const int w = box.right - box.left + 1, h = box.top - box.bottom + 1;
  const EllipseTest ellipse(w, h);
  // Rows pair off round the middle: row pair j lies 2j (odd heights) or
  // 2j + 1 (even heights) half rows from it. The middle pixel or two of a
  // row are always kept, and so the middle row or two are always whole.
  const int pairs = (h + 1) / 2, firstOffset = h % 2 == 1 ? 0 : 1, maxInset = (w - 1) / 2;
  const int rowSum = box.bottom + box.top;
  int inset = 0;
  for (int j = 0; j < pairs; ++j) {
    // The next row out, whose inset says how much of this row is edge.
    int outer = inset;
    if (j + 1 < pairs) {
      while (outer < maxInset && !ellipse.Inside(outer, 2 * (j + 1) + firstOffset)) ++outer;
    }
    const int fromMiddle = 2 * j + firstOffset;
    const int yUp = (rowSum + fromMiddle) / 2, yDown = (rowSum - fromMiddle) / 2;
    const int left = box.left + inset, right = box.right - inset;
    const int pair[2] = {yUp, yDown};
    for (int r = 0; r < (fromMiddle == 0 ? 1 : 2); ++r) {
      const int y = pair[r];
      if (filled || j + 1 == pairs) {
        StampSpan(canvas, rows, filled ? 0 : size, left, right, y, colour);
      } else {
        // The row's ends, and whatever of it lies past the next row out.
        const int edge = std::max(inset, outer - 1);
        StampSpan(canvas, rows, size, left, box.left + edge, y, colour);
        StampSpan(canvas, rows, size, box.right - edge, right, y, colour);
      }
    }
    inset = outer;
  }
}

void DrawFigure(Canvas& canvas, const FigureStroke& s, RowRange rows) {
  const FigureBox box = BoxBetween(s.x0, s.y0, s.x1, s.y1);
  switch (s.figure) {
    case Figure::Line: DrawLine(canvas, s.size, s.x0, s.y0, s.x1, s.y1, s.colour); break;
    case Figure::Rectangle: DrawRectangle(canvas, s.size, box, s.filled, s.colour, rows); break;
    case Figure::Ellipse: DrawEllipse(canvas, s.size, box, s.filled, s.colour, rows); break;
  }
}

void ConstrainLine(int x0, int y0, int& x1, int& y1) {
  x0 = Reach(x0), y0 = Reach(y0), x1 = Reach(x1), y1 = Reach(y1);
  const int64_t dx = static_cast<int64_t>(x1) - x0, dy = static_cast<int64_t>(y1) - y0;
  const int64_t adx = std::abs(dx), ady = std::abs(dy);
  // Within 22.5 degrees of an axis (tan 22.5 = sqrt 2 - 1, squared out):
  // along that axis.
  if ((adx + ady) * (adx + ady) <= 2 * adx * adx) {
    y1 = y0;
  } else if ((adx + ady) * (adx + ady) <= 2 * ady * ady) {
    x1 = x0;
  } else {
    // The diagonal point nearest the mouse.
    const int64_t m = (adx + ady + 1) / 2;
    x1 = static_cast<int>(x0 + (dx < 0 ? -m : m));
    y1 = static_cast<int>(y0 + (dy < 0 ? -m : m));
  }
}

void ConstrainSquare(int x0, int y0, int& x1, int& y1) {
  x0 = Reach(x0), y0 = Reach(y0), x1 = Reach(x1), y1 = Reach(y1);
  const int64_t dx = static_cast<int64_t>(x1) - x0, dy = static_cast<int64_t>(y1) - y0;
  const int64_t side = std::max(std::abs(dx), std::abs(dy));
  x1 = static_cast<int>(x0 + (dx < 0 ? -side : side));
  y1 = static_cast<int>(y0 + (dy < 0 ? -side : side));
}

}  // namespace qshe
