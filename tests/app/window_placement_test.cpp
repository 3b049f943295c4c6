// Where the editor's other windows open, on screens of several sizes.
#include <gtest/gtest.h>

#include "app/window_placement.h"

using namespace qshe;
using platform::Rect;

namespace {

const Rect kScreen{0, 1919, 0, 1079};

// The main window's frame with its top-left at (x, y) at window scale s,
// `menu` pixels of menu bar above the client area, and its canvas on screen.
struct Main {
  Rect frame;
  Rect canvas;
};
Main MainAt(int x, int y, int s, int menu = 30) {
  const Rect c = CanvasKeepClear();
  return {{x, x + 615 * s - 1, y, y + menu + 285 * s - 1},
          {x + c.x1 * s, x + (c.x2 + 1) * s - 1, y + menu + c.y1 * s, y + menu + (c.y2 + 1) * s - 1}};
}

bool Inside(const Rect& area, const WindowSpot& at, int w, int h) {
  return at.x >= area.x1 && at.y >= area.y1 && at.x + w - 1 <= area.x2 && at.y + h - 1 <= area.y2;
}

Rect At(const WindowSpot& s, int w, int h) { return {s.x, s.x + w - 1, s.y, s.y + h - 1}; }

}  // namespace

TEST(WindowPlacement, BesideTheMainWindowFirstAndStackedBelowEachOther) {
  const Main m = MainAt(652, 300, 1);
  const WindowSpot first = PlaceWindow(kScreen, m.frame, m.canvas, 180, 380, {});
  EXPECT_EQ(first.x, m.frame.x2 + 9);
  EXPECT_EQ(first.y, m.frame.y1);
  EXPECT_EQ(first.canvasOverlap, 0);
  // The next one goes below it, not over it.
  const WindowSpot second = PlaceWindow(kScreen, m.frame, m.canvas, 200, 200, {At(first, 180, 380)});
  EXPECT_EQ(second.x, m.frame.x2 + 9);
  EXPECT_EQ(second.y, first.y + 380 + 8);
  // A main window at the screen's right edge leaves room on its left only.
  const Main right = MainAt(1920 - 615, 300, 1);
  const WindowSpot left = PlaceWindow(kScreen, right.frame, right.canvas, 180, 380, {});
  EXPECT_EQ(left.x, right.frame.x1 - 8 - 180);
  EXPECT_EQ(left.canvasOverlap, 0);
}

TEST(WindowPlacement, AtThreeTimesOnAFullHdScreenTheWindowsGoBesideTheCanvasOverTheMainWindow) {
  const Main m = MainAt(37, 60, 3);
  ASSERT_LE(m.frame.y2, kScreen.y2);
  std::vector<Rect> taken;
  // The properties window, Insert Shapes and two 400-pixel previews: the
  // first three each find a place of their own, the last one only a place
  // off the canvas.
  int n = 0;
  for (auto [w, h] : {std::pair{360, 760}, {460, 360}, {400, 400}, {400, 400}}) {
    const WindowSpot s = PlaceWindow(kScreen, m.frame, m.canvas, w, h, taken);
    EXPECT_TRUE(Inside(kScreen, s, w, h)) << w << " x " << h;
    EXPECT_EQ(s.canvasOverlap, 0) << w << " x " << h;
    const Rect r = At(s, w, h);
    for (const Rect& t : taken) {
      const bool apart = r.x2 < t.x1 || t.x2 < r.x1 || r.y2 < t.y1 || t.y2 < r.y1;
      EXPECT_TRUE(apart || n == 3) << w << " x " << h;
    }
    taken.push_back(r);
    ++n;
  }
  // A 600-pixel preview has no such place: it stays on the screen and
  // covers as little of the canvas as it can.
  const WindowSpot big = PlaceWindow(kScreen, m.frame, m.canvas, 600, 600, {});
  EXPECT_TRUE(Inside(kScreen, big, 600, 600));
  EXPECT_GT(big.canvasOverlap, 0);
  EXPECT_LE(big.canvasOverlap, (600 - 552 + 37) * 600);
}

TEST(WindowPlacement, StaysInsideTheAvailableAreaWhateverItsSize) {
  // A panel takes the top 40 pixels; the main window sits in the corner.
  const Rect area{0, 1279, 40, 1023};
  const Main m = MainAt(0, 40, 2);
  for (auto [w, h] : {std::pair{200, 200}, {700, 900}, {1279, 983}}) {
    const WindowSpot s = PlaceWindow(area, m.frame, m.canvas, w, h, {});
    EXPECT_TRUE(Inside(area, s, w, h)) << w << " x " << h;
  }
  // Larger than the area: its top-left corner at the area's.
  const WindowSpot huge = PlaceWindow(area, m.frame, m.canvas, 2000, 1200, {});
  EXPECT_EQ(huge.x, 0);
  EXPECT_EQ(huge.y, 40);
  int x = 1500, y = -30;
  KeepInside(area, 300, 200, x, y);
  EXPECT_EQ(x, 980);
  EXPECT_EQ(y, 40);
}
