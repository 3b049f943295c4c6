// The browser's picture: the visible part of the grid drawn into one 8-bit
// image the size of the view. Nothing else is kept, so its memory follows
// the window's size and not the document's; each shown cell remembers what
// it was drawn from, so a change to one shape redraws that cell alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "browser/browser.h"

namespace qshe {

// Palette indices of the window: the display's standard colours, which every
// palette of the editor keeps.
inline constexpr uint8_t kBrowserWindowColor = 7;        // silver
inline constexpr uint8_t kBrowserTextColor = 0;          // black
inline constexpr uint8_t kBrowserReplacementColor = 4;   // navy
inline constexpr uint8_t kBrowserSelectedColor = 252;    // blue
inline constexpr uint8_t kBrowserSelectedText = 255;     // white
inline constexpr uint8_t kBrowserCurrentColor = 249;     // red
inline constexpr uint8_t kBrowserDropColor = 0;          // black

// What the grid shows.
struct BrowserScene {
  std::span<const Shape> shapes;  // the document's
  int32_t current = 0;
  const BrowserSelection* selection = nullptr;
  bool showReplacement = false;  // the QS2 switch is on
  ThumbBackground background;
  int dropGap = -1;  // where a drag would drop, or -1
};

struct BrowserView {
  BrowserLayout layout;
  int scrollY = 0;
  BrowserImage image;  // the view, one pixel per window pixel
  // What the image shows now.
  bool drawn = false;
  BrowserLayout drawnLayout;
  int drawnScroll = 0;
  CellRange shown;
  std::vector<uint64_t> keys;  // one per shown cell
  uint64_t cellsDrawn = 0;     // every cell drawn since the view was made
};

// The browser window's whole state: what is selected, the picture, and the
// press or drag under way.
struct ShapeBrowser {
  BrowserSelection selection;
  BrowserView view;
  int32_t lastCurrent = -1;  // the current shape when the window last looked
  int pressIndex = -1;       // the cell a left press went down on, until release
  int pressX = 0;            // where, in content pixels
  int pressY = 0;
  bool dragging = false;
  bool collapseOnRelease = false;  // a plain click on a selected cell of several
  int dropGap = -1;
};

// The view's size, scale, shape count and scroll position (clamped). The
// picture is drawn anew at the next update when any of them changed.
void SetBrowserGeometry(BrowserView& v, int count, int viewWidth, int viewHeight, int scale, int scrollY);
// What cell `index` shows, as one number: its shape's size, pixels and
// fields, whether it is current or selected, the drop mark beside it.
uint64_t CellKey(const BrowserScene& scene, const BrowserLayout& l, int index);
// Brings the picture up to date: all of it after a change of geometry,
// otherwise the cells whose key changed. Returns the view rectangles
// (window pixels) that changed, to be presented.
std::vector<platform::Rect> UpdateBrowserView(BrowserView& v, const BrowserScene& scene);
// The bytes the picture and its keys hold.
size_t BrowserMemory(const BrowserView& v);
// The view point (window pixels) in content pixels.
inline int ContentY(const BrowserView& v, int viewY) { return viewY + v.scrollY; }

}  // namespace qshe
