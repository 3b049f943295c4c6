// The wheel's notches, the zoom that keeps a pixel under the mouse, and the
// canvas pixel a window point shows.
#include <gtest/gtest.h>

#include <climits>

#include "editing/view_navigation.h"

using namespace qshe;

namespace {

// ----- wheel notches ----------------------------------------------------------

TEST(WheelNotches, AWholeNotchIsOneStepAndSmallTurnsAddUp) {
  WheelRemainder r;
  EXPECT_EQ(TakeWheelNotches(r, 120), 1);
  EXPECT_EQ(r.pending, 0);
  // A touchpad's ten small turns make exactly one step, on the tenth.
  for (int i = 0; i < 9; ++i) EXPECT_EQ(TakeWheelNotches(r, -12), 0);
  EXPECT_EQ(TakeWheelNotches(r, -12), -1);
  EXPECT_EQ(r.pending, 0);
  EXPECT_EQ(TakeWheelNotches(r, 360), 3);
}

TEST(WheelNotches, TurningBackCancelsWhatWasNotAStepYet) {
  WheelRemainder r;
  EXPECT_EQ(TakeWheelNotches(r, 100), 0);
  EXPECT_EQ(TakeWheelNotches(r, -100), 0);
  // Nothing is left over to give a step too early or twice.
  EXPECT_EQ(TakeWheelNotches(r, 100), 0);
  EXPECT_EQ(TakeWheelNotches(r, 30), 1);
  EXPECT_EQ(r.pending, 10);
  EXPECT_EQ(TakeWheelNotches(r, -250), -2);
  EXPECT_EQ(r.pending, 0);
}

TEST(WheelNotches, AHugeTurnNeitherOverflowsNorIsLost) {
  WheelRemainder r;
  EXPECT_EQ(TakeWheelNotches(r, 2'000'000'000), 1000);
  EXPECT_EQ(TakeWheelNotches(r, -2'000'000'000), -1000);
  EXPECT_EQ(r.pending, 0);
  EXPECT_EQ(TakeWheelNotches(r, 110), 0);
  EXPECT_EQ(TakeWheelNotches(r, INT_MAX), 1000);
  EXPECT_EQ(TakeWheelNotches(r, INT_MIN), -1000);
}

TEST(ZoomSteps, FollowTheZoomCommands) {
  EXPECT_EQ(ZoomStep(0, 1), 2);
  EXPECT_EQ(ZoomStep(2, 1), 4);
  EXPECT_EQ(ZoomStep(16, 1), 16);
  EXPECT_EQ(ZoomStep(16, -1), 8);
  EXPECT_EQ(ZoomStep(2, -1), 0);
  EXPECT_EQ(ZoomStep(0, -1), 0);
}

// ----- pixel under the mouse -------------------------------------------------

TEST(CanvasPixelAt, CountsFromTheTopLeftCornerUnmagnifiedAndMagnified) {
  CanvasView v;
  ASSERT_TRUE(CanvasPixelAt(v, 184, 8));
  EXPECT_EQ(CanvasPixelAt(v, 184, 8)->x, 0);
  EXPECT_EQ(CanvasPixelAt(v, 184, 8)->y, 0);
  EXPECT_EQ(CanvasPixelAt(v, 439, 263)->x, 255);
  EXPECT_EQ(CanvasPixelAt(v, 439, 263)->y, 255);
  v.zoom = 4;
  v.originX = 10;
  v.originY = -20;
  EXPECT_EQ(CanvasPixelAt(v, 184, 8)->x, 10);
  EXPECT_EQ(CanvasPixelAt(v, 184, 8)->y, 20);
  EXPECT_EQ(CanvasPixelAt(v, 187, 11)->x, 10);  // the same 4 x 4 block
  EXPECT_EQ(CanvasPixelAt(v, 188, 12)->y, 21);
}

TEST(CanvasPixelAt, IsBlankOffTheCanvas) {
  CanvasView v;
  EXPECT_FALSE(CanvasPixelAt(v, 183, 100));
  EXPECT_FALSE(CanvasPixelAt(v, 440, 100));  // the frame column the tools still take
  EXPECT_FALSE(CanvasPixelAt(v, 300, 264));
  // Panned unmagnified: the strip left of the canvas shows background.
  v.originX = 10;
  EXPECT_FALSE(CanvasPixelAt(v, 190, 100));
  EXPECT_EQ(CanvasPixelAt(v, 194, 100)->x, 0);
  // Magnified with the origin left of the canvas (the hand reaches it).
  v.zoom = 2;
  v.originX = -3;
  EXPECT_FALSE(CanvasPixelAt(v, 184, 100));
  EXPECT_EQ(CanvasPixelAt(v, 190, 100)->x, 0);
}

TEST(CanvasPixelAt, IsThePixelTheToolsPaint) {
  for (int zoom : {0, 2, 4, 8, 16}) {
    CanvasView v;
    v.zoom = zoom;
    v.originX = zoom ? 17.6 : 0;
    v.originY = zoom ? -33.2 : 0;
    for (int x = 184; x < 440; x += 7) {
      for (int y = 8; y < 264; y += 5) {
        auto p = CanvasPixelAt(v, x, y);
        if (!p) continue;
        EXPECT_EQ(p->x, ScreenToCanvasX(v, x)) << zoom << " " << x << " " << y;
        EXPECT_EQ(p->y, 255 - ScreenToCanvasY(v, y)) << zoom << " " << x << " " << y;
      }
    }
  }
}

// ----- zoom keeping the pixel ---------------------------------------------------

TEST(ZoomOriginKeeping, KeepsThePixelUnderTheMouseEveryStepIn) {
  // From the whole canvas down to x16 with the mouse over pixel (130, 90).
  CanvasView v;
  const int x = 184 + 130, y = 8 + 90;
  for (int zoom = 2; zoom <= 16; zoom *= 2) {
    const ViewOrigin o = ZoomOriginKeeping(v, x, y, zoom);
    v.zoom = zoom;
    v.originX = o.x;
    v.originY = o.y;
    auto p = CanvasPixelAt(v, x, y);
    ASSERT_TRUE(p) << zoom;
    EXPECT_EQ(p->x, 130) << zoom;
    EXPECT_EQ(p->y, 90) << zoom;
  }
  // And back out again.
  for (int zoom = 8; zoom >= 2; zoom /= 2) {
    const ViewOrigin o = ZoomOriginKeeping(v, x, y, zoom);
    v.zoom = zoom;
    v.originX = o.x;
    v.originY = o.y;
    EXPECT_EQ(CanvasPixelAt(v, x, y)->x, 130) << zoom;
    EXPECT_EQ(CanvasPixelAt(v, x, y)->y, 90) << zoom;
  }
}

TEST(ZoomOriginKeeping, StaysInsideTheScrollBarsRange) {
  CanvasView v;
  // The hand pushed the view past the canvas's corner: keeping the pixel
  // under the mouse would leave it there.
  v.zoom = 2;
  v.originX = -20;
  v.originY = 10;
  ViewOrigin o = ZoomOriginKeeping(v, 190, 20, 4);
  EXPECT_EQ(o.x, 0.0);
  EXPECT_EQ(o.y, 0.0);
  // The far corner at x16: at most 256 - 16 across and down.
  v = CanvasView{};
  o = ZoomOriginKeeping(v, 439, 263, 16);
  EXPECT_EQ(o.x, 240.0);
  EXPECT_EQ(o.y, -240.0);
  // Unmagnified the origin is (0, 0) whatever the mouse.
  o = ZoomOriginKeeping(v, 300, 100, 0);
  EXPECT_EQ(o.x, 0.0);
  EXPECT_EQ(o.y, 0.0);
}

}  // namespace
