// How the canvas is shown: magnification, panning, background and grid, and
// the drawing of the view into its buffer.
#pragma once

#include <cstdint>

#include "display/virtual_buffer.h"
#include "document/canvas.h"

namespace qshe {

struct OnionSkin;

inline constexpr int kMaxZoom = 16;

// Where the canvas area sits in the window (and in the composition).
inline constexpr int kViewLeft = 184;
inline constexpr int kViewTop = 8;
// The canvas area with its frame and scroll bars ends here (inclusive).
inline constexpr int kViewFrameRight = 455;
inline constexpr int kViewFrameBottom = 277;

// Palette indices of the view.
inline constexpr uint8_t kPlainBackground = 95;
inline constexpr uint8_t kCheckerLight = 173;
inline constexpr uint8_t kCheckerDark = 89;
inline constexpr uint8_t kContrastBackground = 50;
inline constexpr uint8_t kGridColor = 205;
inline constexpr uint8_t kFrameColor = 65;

struct SavedView {
  int32_t zoom = 0;
  double originX = 0.0;
  double originY = 0.0;
};

struct CanvasView {
  int32_t zoom = 0;  // 0, 2, 4, 8 or 16
  // Truncated toward zero wherever used. Unmagnified: where the canvas sits
  // on screen. Magnified: originX is the canvas column at the left edge and
  // -originY the top row at the top edge.
  double originX = 0.0;
  double originY = 0.0;
  SavedView savedView;
  int32_t backgroundType = 0;  // 0 plain, 1 checkerboard, 2 contrast
  int32_t gridWhileZooming = 0;
};

// An origin as a whole number. Arrow keys may push origins anywhere, so they
// are held to a range where every product of the drawing fits.
int WholeOrigin(double v);

// The canvas column at the left edge of a magnified view. An origin at or
// past the canvas's right edge (the arrow keys and the hand reach those) is
// shown as if it were 0; drawing and the mouse both go by this.
int FirstViewColumn(const CanvasView& view);

// The canvas rows (bottom-up) the view shows: those `first`..`last` that
// a magnified view reaches, every row unmagnified. `first` > `last` when
// none are in view.
void ViewedCanvasRows(const CanvasView& view, int& first, int& last);

// Canvas column under window x, and bottom-up canvas row under window y.
int ScreenToCanvasX(const CanvasView& view, int x);
int ScreenToCanvasY(const CanvasView& view, int y);

// Back to no magnification at origin (0, 0), as a new document starts.
inline void ResetCanvasView(CanvasView& view) {
  view.zoom = 0;
  view.originX = 0.0;
  view.originY = 0.0;
}

// Draws the canvas into the 256 x 256 buffer `viewSlot` (background, the
// canvas, grid and frame) and copies it into the canvas area of
// `compositionSlot`, which is left selected. Allocates nothing: it works a
// row at a time. With an onion skin, its neighbours show between the
// background and the canvas: where the canvas is transparent, the previous
// shape on every other pixel and the next shape on the pixels between.
void RenderCanvasView(const CanvasView& view, const Canvas& canvas, DisplayState& display, int viewSlot,
                      int compositionSlot, const OnionSkin* onion = nullptr);
// Copies the finished view buffer into the canvas area of the composition
// again and leaves the composition selected.
void CopyViewToComposition(DisplayState& display, int viewSlot, int compositionSlot);
// Grid lines in the active buffer on the first pixel column and row of every
// magnified block, with the view's top-left corner at (x0, y0); only while
// magnified with the grid switched on.
void DrawZoomGrid(const CanvasView& view, DisplayState& display, int x0, int y0);

// The scroll bars. A thumb at `position` of 0..range stands for an origin of
// position / range of the widest pan, 256 - 256/zoom; unmagnified, or with
// no room to move, everything is at 0.
double OriginForThumb(int position, int range, int zoom);
int ThumbForOrigin(double origin, int range, int zoom);

}  // namespace qshe
