// The flips at the canvas's edges, and the selection drawn over the view.
#include <gtest/gtest.h>

#include <set>

#include "editing/selection.h"

using namespace qshe;

namespace {

TEST(Flips, ReverseOnlyTheOccupiedRowsAndColumns) {
  Canvas canvas;
  EXPECT_FALSE(FlipRows(canvas));
  EXPECT_FALSE(FlipColumns(canvas));

  // Only the top row holds pixels: turning it upside down changes nothing.
  canvas.At(5, 255) = 9;
  EXPECT_FALSE(FlipRows(canvas));
  EXPECT_EQ(canvas.At(5, 255), 9);

  // Occupied rows 250..255 reverse within themselves.
  canvas.At(7, 250) = 3;
  EXPECT_TRUE(FlipRows(canvas));
  EXPECT_EQ(canvas.At(7, 255), 3);
  EXPECT_EQ(canvas.At(5, 250), 9);

  // A pixel in column 255 mirrors all 256 columns; column 0 counts as
  // occupied, so a shape only there stays.
  Canvas wide;
  wide.At(255, 100) = 4;
  wide.At(1, 100) = 6;
  EXPECT_TRUE(FlipColumns(wide));
  EXPECT_EQ(wide.At(0, 100), 4);
  EXPECT_EQ(wide.At(254, 100), 6);
  Canvas left;
  left.At(0, 17) = 8;
  EXPECT_FALSE(FlipColumns(left));
  EXPECT_EQ(left.At(0, 17), 8);
}

struct OverlayCase {
  const char* what;
  int zoom;
  double originX, originY;
  // Window points on the outline's four sides, and one inside that shows
  // the floating pixel.
  int left, right, top, bottom, insideX, insideY;
};

TEST(SelectionOverlay, TheOutlineShowsBlackAndWhiteOnEverySideAtEveryZoom) {
  const OverlayCase cases[] = {
      // Columns 10..29, top rows 40..59, drawn over the boundary pixels.
      {"unmagnified", 0, 0.0, 0.0, 194, 213, 48, 67, 195, 49},
      // Zoom 4, origin (5, -30): column c at 184 + (c - 5) * 4, top row t
      // at 8 + (t - 30) * 4; the outline runs one pixel past the last block.
      {"zoom 4", 4, 5.0, -30.0, 204, 284, 48, 128, 206, 50},
  };
  for (const OverlayCase& c : cases) {
    DisplayState display;
    InitDisplay(display);
    const int slot = AllocBuffer(display, 615, 285);
    SelectBuffer(display, slot);
    SetColor(display, 95);
    FillRect(display, 0, 614, 0, 284);
    Selection s;
    s.rect = {10, 29, 40, 59};
    s.state = kRectangle;
    s.pixels->fill(77);
    s.floating = 1;
    CanvasView view;
    view.zoom = c.zoom;
    view.originX = c.originX;
    view.originY = c.originY;
    DrawSelection(s, view, display, true);
    const VirtualBuffer& b = *ActiveBuffer(display);
    auto colours = [&](bool vertical, int at, int from, int to) {
      std::set<int> seen;
      for (int i = from; i <= to; ++i) seen.insert(vertical ? b.Row(i)[at] : b.Row(at)[i]);
      return seen;
    };
    const std::set<int> dashes = {0, 255};
    EXPECT_EQ(colours(true, c.left, c.top, c.bottom), dashes) << c.what;
    EXPECT_EQ(colours(true, c.right, c.top, c.bottom), dashes) << c.what;
    EXPECT_EQ(colours(false, c.top, c.left, c.right), dashes) << c.what;
    EXPECT_EQ(colours(false, c.bottom, c.left, c.right), dashes) << c.what;
    EXPECT_EQ(b.Row(c.insideY)[c.insideX], 77) << c.what;
    // Nothing outside the canvas area is touched.
    EXPECT_EQ(b.Row(4)[c.insideX], 95) << c.what;
    EXPECT_EQ(b.Row(c.insideY)[180], 95) << c.what;
  }
}

}  // namespace
