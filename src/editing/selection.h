// The select tool's rectangle, the floating selection lifted out of the
// canvas, and the two whole-canvas flips.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "display/virtual_buffer.h"
#include "document/canvas.h"
#include "editing/canvas_view.h"

namespace qshe {

// All four bounds hold this while nothing is marked.
inline constexpr int32_t kNoSelection = -1000000;

// Columns 0..255 from the left and top rows 0..255 from the top (top row t
// is canvas row 255 - t). (x1, y1) is where the drag started, (x2, y2) the
// moving corner, so the pairs need not be ordered.
struct SelectionRect {
  int32_t x1 = kNoSelection, x2 = kNoSelection, y1 = kNoSelection, y2 = kNoSelection;
};

enum SelectionPhase : int32_t { kNoRectangle = -1, kRectangle = 1, kMoving = 2 };

struct Selection {
  Selection() : pixels(std::make_unique<std::array<uint8_t, kCanvasSize * kCanvasSize>>()) {}
  SelectionRect rect;
  int32_t state = kNoRectangle;
  int32_t floating = 0;  // 1 while `pixels` holds the lifted rectangle
  // The lifted pixels, (maxx-minx+1) x (maxy-miny+1), the rectangle's bottom
  // row first; 0 is transparent. Kept when the flag is cleared.
  std::unique_ptr<std::array<uint8_t, kCanvasSize * kCanvasSize>> pixels;
};

// The rectangle with its pairs in order.
struct SelectionBounds {
  int minX, maxX, minY, maxY;
  int width() const { return maxX - minX + 1; }
  int height() const { return maxY - minY + 1; }
};

inline bool SelectionExists(const Selection& s) { return s.rect.x1 >= -100000; }
SelectionBounds Bounds(const Selection& s);
inline bool IsFloating(const Selection& s) { return s.floating == 1 && SelectionExists(s); }
// Whether the column and top row lie inside the rectangle (bounds included).
bool InsideSelection(const Selection& s, int x, int topRow);

// Nothing marked; the canvas is not touched.
void ClearSelection(Selection& s);
// Moves the pixels under the rectangle into the floating buffer and leaves 0
// behind on the canvas.
void LiftSelection(Selection& s, Canvas& canvas);
// Writes the floating pixels that are not 0 and lie on the canvas into
// `canvas`; those off the canvas are lost. Leaves flag and rectangle alone.
void StampSelection(const Selection& s, Canvas& canvas);
// The rectangle's pixels, bottom row first: the floating ones when lifted,
// else those of the canvas under it (0 off the canvas).
std::vector<uint8_t> SelectionPixels(const Selection& s, const Canvas& canvas);
// The largest block that floats in: no shape is larger, and the canvas
// commits no more of its 256 x 256.
inline constexpr int kLargestFloat = kCanvasSize - 1;
// A floating selection of `width` x `height` indices (rows bottom first) at
// the canvas's top-left corner; larger blocks keep their top-left 255 x 255.
void FloatPixels(Selection& s, int width, int height, const uint8_t* pixels);
// Sets every floating pixel to 0; true when one of the lifted rectangle's
// pixels was not 0.
bool EmptyFloatingPixels(Selection& s);

// The select tool. Points are a canvas column and a bottom-up canvas row.
enum class SelectRedraw { None, Overlay, View };
struct SelectPress {
  bool startsMove = false;      // the press is on the selection: the hand shows
  bool dropsFloating = false;   // the caller puts the floating selection down first
};
// What a press does; the caller drops a floating selection when asked and
// then calls StartSelection unless the press moves the selection.
SelectPress ClassifySelectPress(const Selection& s, int cx, int cy);
void StartSelection(Selection& s, int cx, int cy);
// A move of the drag: a moving selection follows the mouse by (dx, dy)
// (bottom-up rows, unclamped); a rubber band stretches to the point, held
// on the canvas. True when the selection was moved.
bool DragSelection(Selection& s, int cx, int cy, int dx, int dy);
// The release. A left-button rubber band of at least 2 x 2 is lifted; a
// click that marked a single pixel clears the selection unless it floats.
// Returns what must be redrawn.
SelectRedraw ReleaseSelection(Selection& s, Canvas& canvas, bool leftButton);

// Turns the occupied rows upside down (from the lowest occupied row up to
// the top) / mirrors the occupied columns (column 0 up to the rightmost
// occupied). False when the canvas is empty and nothing changed.
bool FlipRows(Canvas& canvas);
bool FlipColumns(Canvas& canvas);

// The floating pixels (when floating) and, with `outline`, a dashed black
// and white outline that shows on every background, over the canvas area of
// the active buffer, clipped to it; at the view's magnification.
void DrawSelection(const Selection& s, const CanvasView& view, DisplayState& display, bool outline);

}  // namespace qshe
