// The drawing tools' work on the canvas: pixels, brushes, lines between mouse
// points, the paint bucket, and the hand's panning of the view.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "document/canvas.h"
#include "editing/canvas_view.h"
#include "editing/rasterisers.h"
#include "editing/tool_state.h"

namespace qshe {

inline constexpr int kPencilSizeCount = 6;

// The window rectangle the tools answer in: the canvas area plus one column
// and one row.
inline constexpr int kToolAreaLeft = 184, kToolAreaRight = 440, kToolAreaTop = 8, kToolAreaBottom = 264;
inline bool InsideToolArea(int x, int y) {
  return x >= kToolAreaLeft && x <= kToolAreaRight && y >= kToolAreaTop && y <= kToolAreaBottom;
}

// The byte at column x, bottom-up row y; 0 off the canvas.
uint8_t GetCanvasPixel(const Canvas& canvas, int x, int y);
// Writes only on the canvas.
void SetCanvasPixel(Canvas& canvas, int x, int y, uint8_t colour);

// Stamps the brush of `size` (0..5) around (x, y); pixels off the canvas are
// skipped.
void DrawPencilDot(Canvas& canvas, int size, int x, int y, uint8_t colour);
// Stamps from the new point (x0, y0) towards the previous one (x1, y1), every
// step but the previous point itself, which its own event stamped.
void DrawPencilLine(Canvas& canvas, int size, int x0, int y0, int x1, int y1, uint8_t colour);

// One run of filled pixels waiting for the row above or below it to be
// explored: `row` is that next row, `direction` the way the fill came.
struct FillSegment {
  uint8_t row;
  uint8_t left;
  uint8_t right;
  int8_t direction;
};

// Runs in one row are separated by at least one pixel the fill does not take,
// so a region has at most 128 runs a row; each run pushes at most three
// segments, and the seed two. The store therefore never runs out, whatever
// the region.
inline constexpr int kFillStackCapacity = 3 * (kCanvasSize / 2) * kCanvasSize + 2;

// The bucket's segment store, made once so that a fill never allocates.
struct FillStack {
  FillStack() : segments(std::make_unique<std::array<FillSegment, kFillStackCapacity>>()) {}
  std::unique_ptr<std::array<FillSegment, kFillStackCapacity>> segments;
};

// Gives the whole 4-connected region of (x, y)'s colour the new colour.
// Nothing happens off the canvas or when the colours are the same.
void FloodFill(Canvas& canvas, FillStack& stack, int x, int y, uint8_t colour);

// The hand: the picture follows a mouse move of (dx, dy) window pixels. Only
// a magnified view moves.
void PanByHand(CanvasView& view, int dx, int dy);

// ----- tool choice and figures ------------------------------------------------

// The current tool's name and, for rectangles and ellipses, its form:
// "Pencil", "Rectangle (filled)", "Ellipse (outlined)".
const char* ToolFormText(const ToolState& tools);
// The form the rectangle or ellipse tool draws in (false for the others).
bool FigureFilled(const ToolState& tools, int tool);
// Before `tool` becomes current: a rectangle or ellipse chosen again while
// it is current switches between outlined and filled.
void SwitchFigureFormIfCurrent(ToolState& tools, int tool);

// The press of a pencil or eraser stroke at (x, y): a dot, or with Shift
// held after an earlier stroke, the straight stroke from that stroke's end.
void StartPencilStroke(Canvas& canvas, const ToolState& tools, int x, int y, uint8_t colour);

// The end of the figure being dragged for the mouse at (x, y), with Shift's
// constraint. True when the figure changed.
bool SetFigureEnd(ToolState& tools, int x, int y);
// The figure being dragged with the current tool form, as it lands in
// `colour`.
FigureStroke DraggedFigure(const ToolState& tools, uint8_t colour);

}  // namespace qshe
