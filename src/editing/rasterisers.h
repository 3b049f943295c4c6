// Lines, rectangles and ellipses on the canvas, and what Shift makes of a
// drag. Points are canvas columns and bottom-up canvas rows; they may lie
// off the canvas, whose edges then clip what is drawn.
#pragma once

#include <cstdint>

#include "document/canvas.h"

namespace qshe {

enum class Figure : int32_t { Line, Rectangle, Ellipse };

// One figure as it will land: from the press point (x0, y0) to the release
// point (x1, y1). Lines and outlines are stamped with the brush of `size`
// (the pencil's six); a filled figure covers exactly its box's ellipse or
// rectangle, whatever the size.
struct FigureStroke {
  Figure figure = Figure::Line;
  bool filled = false;
  int size = 0;
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  uint8_t colour = 0;
};

// How far off the canvas a figure's points may lie; points further out are
// moved in to this distance (no mouse on any screen reaches that far), which
// keeps every sum of the ellipse inside 64 bits.
inline constexpr int kFigureReach = 8192;

// Box of two corner points: inclusive bounds, any drag direction.
struct FigureBox {
  int left, right, bottom, top;
};
FigureBox BoxBetween(int x0, int y0, int x1, int y1);

// Canvas rows, bottom-up, inclusive.
struct RowRange {
  int bottom = 0;
  int top = kCanvasSize - 1;
};

// Draws the figure; with `rows`, rectangles and ellipses draw everything
// that lands in those rows and skip what cannot (a live figure needs only
// the rows in view).
void DrawFigure(Canvas& canvas, const FigureStroke& stroke, RowRange rows = {});

// The stroke a pencil leaves when the mouse jumps from the press point to
// the release point: both ends and the pencil's own steps between them.
void DrawLine(Canvas& canvas, int size, int x0, int y0, int x1, int y1, uint8_t colour);
void DrawRectangle(Canvas& canvas, int size, const FigureBox& box, bool filled, uint8_t colour,
                   RowRange rows = {});
// The pixels whose centres lie inside the ellipse a quarter pixel within the
// box's edges, and never less than the middle pixel (or two) of every row
// and column, so that the ellipse always reaches all four sides of its box.
// The outline is every such pixel with an edge-neighbour outside. Mirrored
// in both axes by construction, so all four drag directions give the same
// pixels and a circle is also the same about both diagonals.
void DrawEllipse(Canvas& canvas, int size, const FigureBox& box, bool filled, uint8_t colour,
                 RowRange rows = {});

// Shift: the end point moves to the nearest multiple of 45 degrees round
// the press point.
void ConstrainLine(int x0, int y0, int& x1, int& y1);
// Shift for rectangles and ellipses: the box becomes a square in the drag's
// direction, its side the longer of the two.
void ConstrainSquare(int x0, int y0, int& x1, int& y1);

}  // namespace qshe
