// The view commands and the scroll bars, driven through the main window's
// command, key and mouse events, checked on what the window shows.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/canvas_routing.h"
#include "app/command_table.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "app/view_commands.h"
#include "editor_fixture.h"

using namespace qshe;
using qshe::testing::EditorFixture;

namespace {

// Shortcut identifiers of the view keys.
constexpr int kKeyR = 40079, kKeyF = 40080, kKeyE = 40081, kKeyD = 40082, kKeyW = 40083;

struct ViewTest : EditorFixture {
  void SetUp() override { ASSERT_TRUE(Start()); }

  // A w x h shape of one colour as the current shape, on the canvas.
  void PutShape(int w, int h, uint8_t colour) {
    Shape& s = e.doc.list.slots[static_cast<size_t>(e.doc.list.current)];
    ASSERT_TRUE(AllocateShape(s, w, h));
    for (int i = 0; i < w * h; ++i) s.pixels[static_cast<size_t>(i)] = colour;
    LoadShapeToCanvas(s, e.canvas);
  }

  void ZoomTo(int zoom) {
    while (e.view.zoom > zoom) OnCommand(e, kCmdZoomOut);
    while (e.view.zoom < zoom) OnCommand(e, kCmdZoomIn);
  }

  // The window's colour where the canvas area shows view pixel (x, y).
  platform::Rgb ShownInView(int x, int y) const { return Shown(184 + x, 8 + y); }

  // The last present copied the whole window.
  bool WholeWindowPresented() const {
    const auto& p = hp.surface.presents.back();
    return p.source.x1 == 0 && p.source.x2 == 614 && p.source.y1 == 0 && p.source.y2 == 284;
  }
  bool CanvasAreaPresented() const {
    for (const auto& p : hp.surface.presents)
      if (p.source.x1 == 184 && p.source.x2 == 440 && p.source.y1 == 0 && p.source.y2 == 264) return true;
    return false;
  }
};

TEST_F(ViewTest, ZoomKeysAndButtonsDoubleUpTo16AndHalveDownToUnmagnified) {
  for (int id : {kCmdZoomIn, kCmdZoomOut, kCmdCenterView, kCmdSecondView, kCmdChangeBackground, kCmdGridWhileZooming})
    EXPECT_TRUE(hp.menuEnabled.at(id)) << id;
  for (int id : {kCmdPanLeft, kCmdPanRight, kCmdPanUp, kCmdPanDown}) EXPECT_TRUE(CommandAvailable(id)) << id;
  EXPECT_EQ(e.horizontalBar.enabled, 0);
  std::vector<int> zooms, steps;
  for (int i = 0; i < 5; ++i) {
    if (i < 2) ClickButton(8);
    else OnCommand(e, kKeyR);
    zooms.push_back(e.view.zoom);
    steps.push_back(e.verticalBar.step);
  }
  EXPECT_EQ(e.horizontalBar.enabled, 1);
  EXPECT_EQ(e.verticalBar.enabled, 1);
  EXPECT_EQ(zooms, (std::vector<int>{2, 4, 8, 16, 16}));
  EXPECT_EQ(steps, (std::vector<int>{5, 4, 3, 1, 1}));
  EXPECT_EQ(e.horizontalBar.step, 1);
  EXPECT_TRUE(WholeWindowPresented());

  // Halving keeps the origin; the last step goes back to (0, 0).
  e.view.originX = 7;
  e.view.originY = -9;
  zooms.clear();
  for (int i = 0; i < 5; ++i) {
    if (i == 1) ClickButton(9);
    else OnCommand(e, i == 0 ? kKeyF : kCmdZoomOut);
    zooms.push_back(e.view.zoom);
    EXPECT_EQ(e.view.originX, e.view.zoom > 0 ? 7.0 : 0.0);
  }
  EXPECT_EQ(zooms, (std::vector<int>{8, 4, 2, 0, 0}));
  EXPECT_EQ(e.view.originY, 0.0);
  EXPECT_EQ(e.horizontalBar.enabled, 0);
  EXPECT_EQ(e.verticalBar.enabled, 0);
  // A new document starts unmagnified too.
  ZoomTo(8);
  e.view.originX = 40;
  OnCommand(e, kCmdNew);
  EXPECT_EQ(e.view.zoom, 0);
  EXPECT_EQ(e.view.originX, 0.0);
  EXPECT_EQ(e.horizontalBar.enabled, 0);
}

TEST_F(ViewTest, TheCanvasShowsTheShapeAtEveryZoomOnTheChosenBackgroundAndGrid) {
  const uint8_t ink = 120;
  PutShape(5, 5, ink);
  ShowCanvas(e);
  for (int zoom : {0, 2, 4, 8, 16}) {
    ZoomTo(zoom);
    const int z = zoom == 0 ? 1 : zoom;
    // Canvas column 1 of top row 1 is ink (row and column 0 carry the frame
    // when magnified).
    EXPECT_EQ(ShownInView(z, z), PaletteColor(ink)) << zoom;
    // The last canvas pixel in view shows where the tools would paint it.
    const int c = ScreenToCanvasX(e.view, 439), r = ScreenToCanvasY(e.view, 263);
    e.canvas.At(c, r) = 121;
    RenderCanvasView(e);
    PaintCanvasArea(e);
    EXPECT_EQ(Shown(439, 263), PaletteColor(121)) << zoom;
    e.canvas.At(c, r) = 0;
  }
  // Background buttons and key: transparent pixels (column 6) show it.
  ASSERT_NE(PaletteColor(kCheckerLight), PaletteColor(kCheckerDark));
  EXPECT_EQ(ShownInView(6 * 16, 16), PaletteColor(kPlainBackground));
  ClickButton(12);
  EXPECT_EQ(e.view.backgroundType, 2);
  EXPECT_EQ(ShownInView(6 * 16, 16), PaletteColor(kContrastBackground));
  ClickButton(11);
  EXPECT_EQ(e.view.backgroundType, 1);
  EXPECT_EQ(ShownInView(6 * 16, 16), PaletteColor(kCheckerLight));
  EXPECT_EQ(ShownInView(6 * 16 + 8, 16), PaletteColor(kCheckerDark));
  OnCommand(e, kKeyW);
  EXPECT_EQ(e.view.backgroundType, 2);
  EXPECT_EQ(e.toolbar.buttons[12].pressed, 1);
  EXPECT_EQ(e.toolbar.buttons[11].pressed, 0);
  EXPECT_TRUE(WholeWindowPresented());
  OnCommand(e, kKeyW);
  EXPECT_EQ(e.view.backgroundType, 0);
  // The grid, with its check mark.
  e.view.originX = 1;  // keeps the frame out of the view
  e.view.originY = -1;
  for (int on : {1, 0}) {
    OnCommand(e, kCmdGridWhileZooming);
    EXPECT_EQ(e.view.gridWhileZooming, on);
    EXPECT_EQ(hp.menuChecked.at(kCmdGridWhileZooming), on == 1);
    EXPECT_EQ(ShownInView(16, 100), PaletteColor(on ? kGridColor : kPlainBackground));
    EXPECT_EQ(ShownInView(17, 101), PaletteColor(kPlainBackground));
    EXPECT_TRUE(CanvasAreaPresented());
  }
}

TEST_F(ViewTest, CenterViewAndSecondViewComeBackToTheViewTheyLeft) {
  PutShape(40, 30, 120);
  e.canvas.At(200, 10) = 122;
  e.canvas.At(101, 255 - 121) = 126;
  OnCommand(e, kKeyR);
  ClickButton(6);  // Center View
  EXPECT_EQ(e.view.originX, -44.0);
  EXPECT_EQ(e.view.originY, 49.0);
  // 44 blocks of 2 to the left, 49 above (the frame lines lie on the
  // shape's first pixel row and column).
  EXPECT_EQ(ShownInView(89, 99), PaletteColor(120));
  EXPECT_EQ(ShownInView(88, 99), PaletteColor(kFrameColor));
  EXPECT_EQ(ShownInView(86, 99), PaletteColor(kPlainBackground));
  EXPECT_EQ(ShownInView(88 + 79, 98 + 59), PaletteColor(120));
  EXPECT_EQ(ShownInView(88 + 80, 98 + 59), PaletteColor(kPlainBackground));
  EXPECT_TRUE(WholeWindowPresented());

  // Second View shows the whole canvas, pressed, and comes back.
  ZoomTo(8);
  e.view.originX = 100;
  e.view.originY = -120;
  const ToolButton& b = e.toolbar.buttons[kSecondViewButton];
  auto buttonRow = [&] {
    std::vector<platform::Rgb> row;
    for (int x = b.x; x < b.x + 20; ++x) row.push_back(Shown(x, b.y + 5));
    return row;
  };
  const auto buttonUp = buttonRow();
  OnCommand(e, kKeyD);
  EXPECT_EQ(e.view.zoom, 0);
  EXPECT_EQ(e.view.originX, 0.0);
  EXPECT_EQ(e.horizontalBar.enabled, 0);
  EXPECT_EQ(b.pressed, 1);
  EXPECT_EQ(Shown(384, 253), PaletteColor(122));
  EXPECT_NE(buttonRow(), buttonUp);  // drawn pressed
  OnCommand(e, kKeyW);  // changing the background keeps it pressed
  EXPECT_EQ(b.pressed, 1);
  ClickButton(7);
  EXPECT_EQ(e.view.zoom, 8);
  EXPECT_EQ(e.view.originX, 100.0);
  EXPECT_EQ(e.view.originY, -120.0);
  EXPECT_EQ(e.horizontalBar.enabled, 1);
  EXPECT_EQ(b.pressed, 0);
  // Canvas column 101, top row 121 is the second block across and down.
  EXPECT_EQ(ShownInView(8 + 3, 8 + 3), PaletteColor(126));

  // Zooming in forgets the second view; from an unmagnified view with
  // nothing kept it stays unmagnified.
  OnCommand(e, kCmdSecondView);
  OnCommand(e, kCmdZoomIn);
  EXPECT_EQ(e.view.zoom, 2);
  EXPECT_EQ(b.pressed, 0);
  EXPECT_EQ(e.view.savedView.zoom, 0);
  OnCommand(e, kCmdZoomOut);
  OnCommand(e, kCmdSecondView);
  OnCommand(e, kCmdSecondView);
  EXPECT_EQ(e.view.zoom, 0);
  EXPECT_EQ(e.horizontalBar.enabled, 0);
  // Unmagnified, Center View puts the canvas back in place.
  e.view.originX = 30;
  OnCommand(e, kKeyE);
  EXPECT_EQ(e.view.originX, 0.0);
  EXPECT_EQ(e.view.originY, 0.0);
}

TEST_F(ViewTest, ScrollBarThumbsPanTheMagnifiedView) {
  // Unmagnified the bars move nothing.
  Click(e.horizontalBar.x + 100, e.horizontalBar.y + 3);
  EXPECT_EQ(e.view.originX, 0.0);
  ZoomTo(4);
  EXPECT_EQ(e.horizontalBar.position, 0);
  for (int r = 0; r < 256; ++r)
    for (int c = 0; c < 256; ++c) e.canvas.At(c, r) = static_cast<uint8_t>(20 + (c * 7 + r * 13) % 200);
  ScrollBar& h = e.horizontalBar;
  ScrollBar& v = e.verticalBar;
  // A press on the track puts the thumb there; the view follows.
  const int p = h.range / 3, q = v.range / 2;
  Click(h.x + e.helperShapes[static_cast<size_t>(h.images[0])].width + p, h.y + 3);
  Click(v.x + 3, v.y + e.helperShapes[static_cast<size_t>(v.images[0])].height + q);
  EXPECT_EQ(h.position, p);
  EXPECT_EQ(v.position, q);
  EXPECT_DOUBLE_EQ(e.view.originX, static_cast<double>(p) / h.range * 192);
  EXPECT_DOUBLE_EQ(e.view.originY, -static_cast<double>(q) / v.range * 192);
  EXPECT_TRUE(CanvasAreaPresented());
  // The window shows the canvas where the mapping puts it.
  for (auto [x, y] : {std::pair{184, 8}, std::pair{300, 100}, std::pair{439, 263}}) {
    const int c = ScreenToCanvasX(e.view, x), r = ScreenToCanvasY(e.view, y);
    EXPECT_EQ(Shown(x, y), PaletteColor(e.canvas.At(c, r))) << x << ", " << y;
  }
  EXPECT_EQ(ScreenToCanvasX(e.view, 184), static_cast<int>(e.view.originX));
  // The origin a thumb makes gives back the same thumb, at every zoom.
  for (int zoom : {2, 4, 8, 16}) {
    ZoomTo(zoom);
    for (int pos : {0, 1, h.range / 3, h.range / 2, h.range - 1, h.range}) {
      h.position = pos;
      h.dragging = 1;
      h.onScroll();
      SyncScrollBars(e, true);
      ASSERT_EQ(h.position, pos) << zoom;
    }
  }
}

TEST_F(ViewTest, ArrowKeysMoveThePictureTheArrowsWayAtEveryZoom) {
  e.canvas.At(10, 255) = 124;
  ShowCanvas(e);
  EXPECT_EQ(Shown(194, 8), PaletteColor(124));
  OnCommand(e, kCmdPanLeft);
  OnCommand(e, kCmdPanDown);
  EXPECT_EQ(e.view.originX, -2.0);
  EXPECT_EQ(e.view.originY, -2.0);
  EXPECT_EQ(Shown(192, 10), PaletteColor(124));
  EXPECT_TRUE(CanvasAreaPresented());
  OnCommand(e, kCmdPanUp);
  OnCommand(e, kCmdPanRight);
  EXPECT_EQ(e.view.originX, 0.0);
  EXPECT_EQ(e.view.originY, 0.0);

  // Magnified the origin moves the other way, and the thumbs follow.
  ZoomTo(4);
  e.canvas.At(12, 255 - 6) = 125;
  OnCommand(e, kCmdPanLeft);
  OnCommand(e, kCmdPanUp);
  EXPECT_EQ(e.view.originX, 2.0);
  EXPECT_EQ(e.view.originY, -2.0);
  EXPECT_EQ(ShownInView(40 + 1, 16 + 1), PaletteColor(125));
  EXPECT_EQ(e.horizontalBar.position, ThumbForOrigin(2.0, e.horizontalBar.range, 4));
  EXPECT_EQ(e.verticalBar.position, ThumbForOrigin(2.0, e.verticalBar.range, 4));
  // No limit: far off the canvas only the background shows.
  for (int i = 0; i < 201; ++i) OnCommand(e, kCmdPanRight);
  OnCommand(e, kCmdPanDown);
  EXPECT_EQ(e.view.originX, -400.0);
  EXPECT_EQ(e.view.originY, 0.0);
  EXPECT_EQ(e.horizontalBar.position, 0);
  EXPECT_EQ(ShownInView(128, 128), PaletteColor(kPlainBackground));
}

}  // namespace
