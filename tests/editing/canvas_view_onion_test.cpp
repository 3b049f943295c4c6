// The onion skin in the canvas view: the neighbouring shapes behind the
// canvas, where they lie relative to it, alternating pixel by pixel, never
// over a canvas pixel, and made again whenever a neighbour changes.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "editing/canvas_view.h"
#include "editing/canvas_view_onion.h"

using namespace qshe;

namespace {

constexpr uint8_t kPreviousShows = 200;
constexpr uint8_t kNextShows = 201;

// A w x h shape of one colour, or of `pattern` where given (bottom row first).
Shape Block(int w, int h, uint8_t colour) {
  Shape s;
  AllocateShape(s, w, h);
  std::fill(s.pixels.get(), s.pixels.get() + w * h, colour);
  return s;
}

struct OnionViewTest : ::testing::Test {
  OnionViewTest() {
    InitDisplay(display);
    composition = AllocBuffer(display, 615, 285);
    viewSlot = AllocBuffer(display, 256, 256);
    // Tints that say which neighbour a view pixel shows.
    onion->tints[0].fill(kPreviousShows);
    onion->tints[1].fill(kNextShows);
    onion->tints[0][0] = onion->tints[1][0] = 0;
    onion->tinted = true;
    onion->enabled = 1;
  }

  // The view as the composition shows it, row by row from the top.
  std::vector<uint8_t> Render(const OnionSkin* with) {
    RenderCanvasView(*view, canvas, display, viewSlot, composition, with);
    std::vector<uint8_t> shown;
    const VirtualBuffer& b = display.buffers[static_cast<size_t>(composition)];
    for (int y = kViewTop; y < kViewTop + 256; ++y) shown.insert(shown.end(), b.Row(y) + kViewLeft, b.Row(y) + kViewLeft + 256);
    return shown;
  }

  void SetView(int zoom, double ox, double oy) {
    view->zoom = zoom;
    view->originX = ox;
    view->originY = oy;
  }

  // The neighbour pixel at canvas column c, top row t, or 0.
  static uint8_t NeighbourAt(const OnionSource& s, int c, int t) {
    if (!s.shape || !s.shape->HasPixels()) return 0;
    const int x = c - s.shiftX, y = t - s.shiftY;
    if (x < 0 || y < 0 || x >= s.shape->width || y >= s.shape->height) return 0;
    return s.shape->pixels[static_cast<size_t>((s.shape->height - 1 - y) * s.shape->width + x)];
  }

  static uint8_t BackgroundAt(int type, int x, int y) {
    if (type == 1) return ((x / 8 + y / 8) & 1) ? kCheckerDark : kCheckerLight;
    return type == 2 ? kContrastBackground : kPlainBackground;
  }

  // Whose turn a view pixel is, 0 previous or 1 next: by canvas pixel
  // unmagnified (so panning keeps the pattern), by view pixel magnified (so
  // every block shows both).
  int Turn(int x, int y, int c, int t) const { return view->zoom == 0 ? (c + t) & 1 : (x + y) & 1; }

  // Checks every view pixel against the view without the onion skin: the
  // same, except that a transparent canvas pixel showing background shows
  // the neighbour whose turn it is there, if that one has a pixel there.
  // Returns how many pixels showed a neighbour.
  int ExpectNeighboursBehind(const OnionSource& previous, const OnionSource& next) {
    UpdateOnionSkin(*onion, previous, next);
    const std::vector<uint8_t> without = Render(nullptr);
    const std::vector<uint8_t> with = Render(onion.get());
    int ghosts = 0, wrong = 0;
    for (int y = 0; y < 256; ++y) {
      for (int x = 0; x < 256; ++x) {
        const size_t i = static_cast<size_t>(y * 256 + x);
        const int c = ScreenToCanvasX(*view, kViewLeft + x), r = ScreenToCanvasY(*view, kViewTop + y);
        uint8_t expected = without[i];
        if (c >= 0 && c < 256 && r >= 0 && r < 256 && canvas.At(c, r) == 0 &&
            without[i] == BackgroundAt(view->backgroundType, x, y)) {
          const int t = 255 - r;
          const bool previousTurn = Turn(x, y, c, t) == 0;
          if (NeighbourAt(previousTurn ? previous : next, c, t) != 0) {
            expected = previousTurn ? kPreviousShows : kNextShows;
            ++ghosts;
          }
        }
        if (with[i] != expected && ++wrong <= 5) {
          ADD_FAILURE() << "view (" << x << ", " << y << ") canvas (" << c << ", " << r << ") shows " << int(with[i])
                        << ", expected " << int(expected) << " at zoom " << view->zoom << " origin ("
                        << view->originX << ", " << view->originY << ")";
        }
      }
    }
    return ghosts;
  }

  std::unique_ptr<DisplayState> ownedDisplay = std::make_unique<DisplayState>();
  DisplayState& display = *ownedDisplay;
  std::unique_ptr<CanvasView> view = std::make_unique<CanvasView>();
  std::unique_ptr<OnionSkin> onion = std::make_unique<OnionSkin>();
  Canvas canvas;
  int composition = -1;
  int viewSlot = -1;
};

}  // namespace

// ----- where and how the neighbours show --------------------------------------------

// Both neighbours, moved by their shifts, at every zoom and at origins that
// pan the view: each shows on its own half of the pixels, only where the
// canvas is transparent.
TEST_F(OnionViewTest, NeighboursShowBehindTheCanvasMovedByTheirShiftsAtEveryZoom) {
  // A canvas with a hole: the neighbours show in the hole and around it.
  for (int r = 200; r < 240; ++r)
    for (int c = 10; c < 50; ++c) canvas.At(c, r) = (c >= 20 && c < 40 && r >= 210 && r < 230) ? 0 : 77;
  const Shape before = Block(30, 20, 5), after = Block(25, 25, 6);
  const OnionSource previous{&before, 3, 12}, next{&after, 30, 8};
  struct Case {
    int zoom;
    double ox, oy;
  };
  const Case cases[] = {{0, 0, 0}, {0, 7, -3}, {0, -5, 4}, {2, 0, 0}, {2, 3.5, -1}, {4, 5, -6},
                        {8, 10, -10}, {16, 12, -14}, {16, 0, 0}};
  for (const Case& k : cases) {
    SetView(k.zoom, k.ox, k.oy);
    EXPECT_GT(ExpectNeighboursBehind(previous, next), 0) << k.zoom;
  }
}

TEST_F(OnionViewTest, NeighboursShowOnTheCheckerboardAndTheContrastBackgroundToo) {
  const Shape before = Block(40, 40, 5), after = Block(40, 40, 6);
  for (int background : {1, 2}) {
    view->backgroundType = background;
    for (int zoom : {0, 4}) {
      SetView(zoom, 0, 0);
      EXPECT_GT(ExpectNeighboursBehind({&before, 0, 0}, {&after, 20, 20}), 0) << background << " " << zoom;
    }
  }
}

// A neighbour moved right and down by its shift lands exactly there: its
// top-left pixel at canvas column shiftX, top row shiftY.
TEST_F(OnionViewTest, AShiftMovesTheNeighbourByWholeCanvasPixels) {
  Shape dot = Block(2, 2, 9);
  SetView(0, 0, 0);
  UpdateOnionSkin(*onion, {&dot, 10, 20}, {});
  const std::vector<uint8_t> shown = Render(onion.get());
  auto at = [&](int c, int t) { return shown[static_cast<size_t>(t * 256 + c)]; };
  // The previous shape takes the pixels whose column and row add up to an
  // even number.
  EXPECT_EQ(at(10, 20), kPreviousShows);
  EXPECT_EQ(at(11, 21), kPreviousShows);
  EXPECT_EQ(at(11, 20), kPlainBackground);
  EXPECT_EQ(at(9, 19), kPlainBackground);
  EXPECT_EQ(at(12, 22), kPlainBackground);
  // The next shape takes the others.
  UpdateOnionSkin(*onion, {}, {&dot, 10, 20});
  const std::vector<uint8_t> next = Render(onion.get());
  EXPECT_EQ(next[20 * 256 + 11], kNextShows);
  EXPECT_EQ(next[20 * 256 + 10], kPlainBackground);
}

// A neighbour partly or wholly off the canvas is cut at its edges.
TEST_F(OnionViewTest, NeighboursOffTheCanvasAreCutAtItsEdges) {
  const Shape big = Block(255, 255, 5);
  for (auto [sx, sy] : {std::pair{-200, -200}, std::pair{200, 200}, std::pair{-300, 0}, std::pair{0, 256},
                        std::pair{250, -250}}) {
    SetView(0, 0, 0);
    ExpectNeighboursBehind({&big, sx, sy}, {&big, sx, sy});
    SetView(4, 60, -60);
    ExpectNeighboursBehind({&big, sx, sy}, {&big, sx, sy});
  }
  UpdateOnionSkin(*onion, {&big, 256, 0}, {&big, 0, -255});
  EXPECT_FALSE(OnionShowsAnything(*onion));
}

// Canvas pixels always win: a fully painted canvas looks the same with the
// onion skin on as off, whatever lies behind it.
TEST_F(OnionViewTest, APaintedCanvasHidesTheNeighboursCompletely) {
  std::mt19937 rng(3);
  for (auto& p : canvas.pixels) p = static_cast<uint8_t>(1 + rng() % 255);
  const Shape big = Block(255, 255, 5);
  UpdateOnionSkin(*onion, {&big, 0, 0}, {&big, 1, 1});
  for (int zoom : {0, 2, 4, 8, 16}) {
    SetView(zoom, zoom ? 7 : 0, zoom ? -9 : 0);
    view->gridWhileZooming = 1;
    EXPECT_EQ(Render(onion.get()), Render(nullptr)) << zoom;
  }
}

// ----- keeping the neighbours up to date ---------------------------------------------

TEST(OnionSkinLayers, ANeighbourChangedInPlaceMovedOrGoneIsDrawnAnew) {
  auto onion = std::make_unique<OnionSkin>();
  onion->tints[0].fill(kPreviousShows);
  onion->tints[0][0] = 0;
  Shape s = Block(4, 4, 5);
  auto plane = [&](int c, int t) { return onion->layers[0].plane[static_cast<size_t>((255 - t) * 256 + c)]; };
  UpdateOnionSkin(*onion, {&s, 0, 0}, {});
  EXPECT_EQ(plane(3, 3), kPreviousShows);
  // The same block, one pixel taken out: a plane kept by the block's
  // address alone would miss it.
  s.pixels[0] = 0;  // bottom-left
  UpdateOnionSkin(*onion, {&s, 0, 0}, {});
  EXPECT_EQ(plane(0, 3), 0);
  EXPECT_EQ(plane(1, 3), kPreviousShows);
  // Moved by its offsets.
  UpdateOnionSkin(*onion, {&s, 100, 50}, {});
  EXPECT_EQ(plane(3, 3), 0);
  EXPECT_EQ(plane(103, 53), kPreviousShows);
  EXPECT_EQ(onion->layers[0].firstRow, 255 - 53);
  EXPECT_EQ(onion->layers[0].lastRow, 255 - 50);
  // Emptied, or no neighbour at all.
  ClearShape(s);
  UpdateOnionSkin(*onion, {&s, 100, 50}, {});
  EXPECT_FALSE(OnionShowsAnything(*onion));
  Shape t = Block(2, 2, 5);
  UpdateOnionSkin(*onion, {&t, 0, 0}, {});
  EXPECT_TRUE(OnionShowsAnything(*onion));
  UpdateOnionSkin(*onion, {}, {});
  EXPECT_FALSE(OnionShowsAnything(*onion));
  EXPECT_EQ(plane(0, 0), 0);
}

// New tints (another palette) colour the neighbours anew even though the
// neighbours themselves did not change.
TEST(OnionSkinLayers, NewTintsRedrawUnchangedNeighbours) {
  auto onion = std::make_unique<OnionSkin>();
  GamePalette palette{};
  for (int i = 0; i < 256; ++i) palette[static_cast<size_t>(3 * i)] = static_cast<uint8_t>(i);
  SetOnionTints(*onion, palette);
  Shape s = Block(1, 1, 120);
  UpdateOnionSkin(*onion, {&s, 0, 0}, {&s, 0, 0});
  const uint8_t before = onion->layers[0].plane[255 * 256];
  EXPECT_EQ(before, onion->tints[0][120]);
  for (int i = 0; i < 256; ++i) palette[static_cast<size_t>(3 * i + 2)] = static_cast<uint8_t>(255 - i);
  SetOnionTints(*onion, palette);
  UpdateOnionSkin(*onion, {&s, 0, 0}, {&s, 0, 0});
  EXPECT_EQ(onion->layers[0].plane[255 * 256], onion->tints[0][120]);
  EXPECT_EQ(onion->layers[1].plane[255 * 256], onion->tints[1][120]);
}

// The tints: transparent stays transparent, everything else becomes a game
// colour that none of the backgrounds has, so a neighbour never vanishes.
TEST(OnionSkinLayers, TintsAreGameColoursUnlikeEveryBackground) {
  auto onion = std::make_unique<OnionSkin>();
  GamePalette palette{};
  // Every game colour grey, the backgrounds' included: the nearest colour to
  // any mix is some grey, often a background's.
  for (int i = 0; i < 256; ++i)
    for (int k = 0; k < 3; ++k) palette[static_cast<size_t>(3 * i + k)] = static_cast<uint8_t>(i);
  SetOnionTints(*onion, palette);
  for (const auto& tint : onion->tints) {
    EXPECT_EQ(tint[0], 0);
    for (int i = 1; i < 256; ++i) {
      EXPECT_GE(tint[static_cast<size_t>(i)], kFirstGameColor);
      EXPECT_LE(tint[static_cast<size_t>(i)], kLastGameColor);
      for (int background : {kPlainBackground, kCheckerLight, kCheckerDark, kContrastBackground}) {
        EXPECT_NE(tint[static_cast<size_t>(i)], background) << i;
      }
    }
  }
}
