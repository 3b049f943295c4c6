// The shape browser: every shape of the document as a thumbnail in a
// scrolling grid, with its number. This is the window's whole logic without
// a window system: where the cells lie at each window scale, which cell or
// gap a point is over, the thumbnails with whole pixels, the selection, and
// the list operations (reorder, duplicate, remove) as steps of the history.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/history.h"
#include "document/shape.h"
#include "platform/surface.h"

namespace qshe {

// ----- layout and hit-testing ---------------------------------------------------

// At window scale 1: the thumbnail square, the room around it and the
// height of the number line. Everything grows with the scale.
inline constexpr int kThumbBox = 64;
inline constexpr int kCellPad = 4;
inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphAdvance = 6;
inline constexpr int kLabelHeight = kGlyphHeight + 4;

// Positions are content pixels: x from the left edge, y from the top of the
// whole grid (the view shows scrollY .. scrollY + viewHeight - 1).
struct BrowserLayout {
  int scale = 1;
  int count = 0;  // shapes in the grid
  int viewWidth = 0;
  int viewHeight = 0;
  int columns = 1;
  int box = kThumbBox;  // thumbnail square
  int pad = kCellPad;
  int labelHeight = kLabelHeight;
  int cellWidth = kThumbBox + 2 * kCellPad;
  int cellHeight = kThumbBox + 2 * kCellPad + kLabelHeight;
  friend bool operator==(const BrowserLayout&, const BrowserLayout&) = default;
};

// The grid for `count` shapes in a view of the given size at window scale
// 1..4 (others are taken as the nearest). As many columns as fit, at least one.
BrowserLayout MakeBrowserLayout(int count, int viewWidth, int viewHeight, int scale);
int ContentHeight(const BrowserLayout& l);
// The largest scroll position; 0 when everything fits.
int MaxScroll(const BrowserLayout& l);
int ClampScroll(const BrowserLayout& l, int scrollY);
// Cell `index` and its thumbnail square, in content pixels.
platform::Rect CellRect(const BrowserLayout& l, int index);
platform::Rect ThumbRect(const BrowserLayout& l, int index);
// The shape whose cell holds the point, or -1 (outside the grid, past the
// last shape, right of the last column).
int CellAt(const BrowserLayout& l, int x, int y);
// Where a drop at the point inserts: 0..count, the gap before the cell under
// it (after it when the point is in the cell's right half). Points above the
// grid give 0, below it or past the last shape give count.
int GapAt(const BrowserLayout& l, int x, int y);
// The shapes whose cells show at least one row in the view.
struct CellRange {
  int first = 0;
  int last = -1;  // last < first: none
};
CellRange CellsInView(const BrowserLayout& l, int scrollY);
// The scroll position nearest to `scrollY` that shows all of cell `index`.
int ScrollToShow(const BrowserLayout& l, int scrollY, int index);

// ----- thumbnails ---------------------------------------------------------------

// How a shape of width x height shows in a square of `box`: each pixel as a
// scale x scale block, the largest whole scale 1..4 that fits; a shape larger
// than the box shows every step-th pixel instead (scale 1), never smoothed.
struct ThumbFit {
  int scale = 1;
  int step = 1;
  int width = 0;  // size on screen
  int height = 0;
};
ThumbFit FitThumbnail(int width, int height, int box);

// What shows behind a shape's transparent pixels: the canvas view's
// background, plain or a checkerboard of `cell` x `cell` squares (at scale 1).
struct ThumbBackground {
  bool checker = false;
  uint8_t plain = 0;
  uint8_t light = 0;
  uint8_t dark = 0;
  int cell = 8;
  friend bool operator==(const ThumbBackground&, const ThumbBackground&) = default;
};

// An 8-bit picture, rows bottom first as the window surfaces take them.
struct BrowserImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
  uint8_t* Row(int y) { return pixels.data() + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width); }
  uint8_t At(int x, int y) const {
    return pixels[static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

// Draws the shape centred in `square` (image pixels, clipped to the image)
// over the background, whose squares grow by `scale`.
void DrawThumbnail(BrowserImage& image, const platform::Rect& square, const Shape& shape,
                   const ThumbBackground& background, int scale);
// The digits of a number line (0-9, '-', ' '; others show as blanks), in
// the browser's own pixel font at `scale`, clipped to `clip`.
void DrawLabel(BrowserImage& image, int x, int y, const std::string& text, uint8_t color, int scale,
               const platform::Rect& clip);
int LabelWidth(const std::string& text, int scale);

// ----- selection ------------------------------------------------------------------

// The shapes selected in the browser, in ascending order, without repeats.
// This is the plain record other windows read (the animation preview's
// range): first and last are indices.front() and indices.back().
struct BrowserSelection {
  std::vector<int32_t> indices;
  int32_t anchor = -1;  // where Shift ranges start
};

enum SelectModifier : int { kSelectPlain = 0, kSelectShift = 1, kSelectCtrl = 2 };
// A click on shape `index` with Shift and/or Ctrl (SelectModifier bits):
// plain selects it alone, Ctrl adds or takes it away, Shift selects the run
// from the anchor (added to the selection with Ctrl as well).
void ClickSelect(BrowserSelection& s, int32_t index, int modifiers);
bool IsSelected(const BrowserSelection& s, int32_t index);
// The selection kept inside a list of `count` shapes and holding `current`
// (after another window moved or removed shapes): when it does not hold the
// current shape it becomes that shape alone.
void KeepSelection(BrowserSelection& s, int32_t count, int32_t current);

// ----- list operations ------------------------------------------------------------

// Where each shape goes when the selected ones (ascending) move to `gap`
// (0..count, counted before the move), in their order: result[old] = new.
std::vector<int32_t> MovePermutation(int32_t count, std::span<const int32_t> selected, int32_t gap);
// Whether the move changes anything.
bool MoveChangesOrder(int32_t count, std::span<const int32_t> selected, int32_t gap);
// Moves them through the history, run by run; returns the permutation. The
// caller sets the current shape (its new index is permutation[current]).
std::vector<int32_t> MoveShapesToGap(History& h, ShapeList& list, std::span<const int32_t> selected, int32_t gap);

// Copies of the selected shapes (ascending), all their fields included,
// inserted in their order right after the last of them. Returns the index of
// the first copy, or nothing when the list would pass its capacity (nothing
// is changed then) or memory for a copy ran out.
std::optional<int32_t> DuplicateShapes(History& h, ShapeList& list, std::span<const int32_t> selected);

// Removes the selected shapes (ascending). A document never has fewer than
// one shape: when all go, one empty shape stays. The current shape becomes
// the one after the first removed (or the last). Returns the count removed.
int32_t RemoveSelectedShapes(History& h, ShapeList& list, std::span<const int32_t> selected);

// "<name>_<number>.<extension>" for each exported shape; `name` is the
// document's file name without folder and extension ("shapes" for a new one).
std::string ExportName(const std::string& name, int32_t number, const std::string& extension);
std::string DocumentStem(const std::string& documentPath);

}  // namespace qshe
