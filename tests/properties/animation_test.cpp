// The Animation window on bare records: which shapes play and in what
// order, how fast, where each frame is drawn, what its boxes accept, and
// what it remembers.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "../display/display_fixture.h"
#include "editing/canvas_view.h"
#include "platform/headless/headless.h"
#include "properties/animation.h"
#include "properties/positioning.h"

using namespace qshe;

namespace {

// The shapes the player shows over `ticks` ticks, the first one included.
std::vector<int> Played(AnimationRange range, AnimationOrder order, int ticks) {
  AnimationPlayer p;
  SetAnimationRange(p, range);
  std::vector<int> shapes{ShownShape(p)};
  for (int i = 1; i < ticks; ++i) {
    AdvanceFrame(p, order);
    shapes.push_back(ShownShape(p));
  }
  return shapes;
}

}  // namespace

// ----- range and speed --------------------------------------------------------------

TEST(AnimationRules, TheDefaultRangeIsTheCurrentShapeAndTheSevenAfterItWithinTheDocument) {
  EXPECT_EQ(DefaultAnimationRange(3, 20), (AnimationRange{3, 10}));
  EXPECT_EQ(DefaultAnimationRange(15, 20), (AnimationRange{15, 19}));
  EXPECT_EQ(DefaultAnimationRange(19, 20), (AnimationRange{19, 19}));
  EXPECT_EQ(DefaultAnimationRange(0, 1), (AnimationRange{0, 0}));
  EXPECT_EQ(DefaultAnimationRange(4999, 5000), (AnimationRange{4999, 4999}));
  // A current shape past the end (a document that shrank) is held to it.
  EXPECT_EQ(DefaultAnimationRange(30, 20), (AnimationRange{19, 19}));
}

TEST(AnimationRules, RangesAreHeldToTheDocumentAndMayRunBackwards) {
  EXPECT_EQ(KeepRangeInDocument({30, 37}, 20), (AnimationRange{19, 19}));
  EXPECT_EQ(KeepRangeInDocument({-4, 25}, 20), (AnimationRange{0, 19}));
  EXPECT_EQ(KeepRangeInDocument({12, 5}, 20), (AnimationRange{12, 5}));
  EXPECT_EQ(FrameCount({12, 5}), 8);
  EXPECT_EQ(FrameCount({5, 5}), 1);
  EXPECT_EQ(Played({12, 9}, AnimationOrder::Loop, 5), (std::vector<int>{12, 11, 10, 9, 12}));
}

TEST(AnimationRules, SpeedsAreOneToSixtyFramesASecondAndEverySecondLastsExactlyOne) {
  EXPECT_EQ(KeepAnimationSpeed(0), 1);
  EXPECT_EQ(KeepAnimationSpeed(-5), 1);
  EXPECT_EQ(KeepAnimationSpeed(61), 60);
  EXPECT_EQ(KeepAnimationSpeed(8), 8);
  EXPECT_EQ(FrameInterval(8, 0), 125);
  EXPECT_EQ(FrameInterval(1, 0), 1000);
  for (int speed = kMinAnimationSpeed; speed <= kMaxAnimationSpeed; ++speed) {
    int second = 0, shortest = 1000, longest = 0;
    for (int tick = 0; tick < speed; ++tick) {
      const int interval = FrameInterval(speed, tick);
      second += interval;
      shortest = std::min(shortest, interval);
      longest = std::max(longest, interval);
    }
    // Rounded to whole milliseconds, yet no drift: 60 a second is 16, 17, 17, ...
    EXPECT_EQ(second, 1000) << speed;
    EXPECT_LE(longest - shortest, 1) << speed;
    // The count of ticks wraps into the next second.
    EXPECT_EQ(FrameInterval(speed, speed), FrameInterval(speed, 0)) << speed;
  }
}

// ----- play order -------------------------------------------------------------------

TEST(AnimationOrderRules, LoopingStartsAgainAtFirst) {
  EXPECT_EQ(Played({4, 6}, AnimationOrder::Loop, 7), (std::vector<int>{4, 5, 6, 4, 5, 6, 4}));
  EXPECT_EQ(Played({4, 4}, AnimationOrder::Loop, 3), (std::vector<int>{4, 4, 4}));
}

// Back and forth shows each end once per turn, never twice in a row.
TEST(AnimationOrderRules, BackAndForthTurnsAtEachEndShowingItOnce) {
  EXPECT_EQ(Played({4, 7}, AnimationOrder::BackAndForth, 10), (std::vector<int>{4, 5, 6, 7, 6, 5, 4, 5, 6, 7}));
  EXPECT_EQ(Played({4, 5}, AnimationOrder::BackAndForth, 5), (std::vector<int>{4, 5, 4, 5, 4}));
  EXPECT_EQ(Played({4, 4}, AnimationOrder::BackAndForth, 3), (std::vector<int>{4, 4, 4}));
  EXPECT_EQ(Played({7, 5}, AnimationOrder::BackAndForth, 6), (std::vector<int>{7, 6, 5, 6, 7, 6}));
}

TEST(AnimationOrderRules, SteppingWrapsAtTheEndsAndARangeThatShrankKeepsThePlayerInside) {
  AnimationPlayer p;
  SetAnimationRange(p, {10, 13});
  StepFrame(p, -1);
  EXPECT_EQ(ShownShape(p), 13);
  StepFrame(p, 1);
  EXPECT_EQ(ShownShape(p), 10);
  GoToEnd(p, true);
  EXPECT_EQ(ShownShape(p), 13);
  // Back and forth from the last frame goes back, also after a step there.
  AdvanceFrame(p, AnimationOrder::BackAndForth);
  EXPECT_EQ(ShownShape(p), 12);
  GoToEnd(p, false);
  AdvanceFrame(p, AnimationOrder::BackAndForth);
  EXPECT_EQ(ShownShape(p), 11);
  // The document lost shapes under the player: it goes on from inside.
  p.position = 3;
  p.range = {10, 11};
  AdvanceFrame(p, AnimationOrder::Loop);
  EXPECT_EQ(ShownShape(p), 10);
  p.position = 3;
  p.direction = 1;
  AdvanceFrame(p, AnimationOrder::BackAndForth);
  EXPECT_EQ(ShownShape(p), 10);
}

// ----- drawing ----------------------------------------------------------------------

namespace {

Shape Solid(int w, int h, uint8_t colour, int ox, int oy) {
  Shape s;
  AllocateShape(s, w, h);
  for (int i = 0; i < w * h; ++i) s.pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(colour + i % 3);
  s.offsetX = ox;
  s.offsetY = oy;
  return s;
}

struct AnimationDrawing : qshe::testing::DisplayTest {
  std::vector<Shape> helpers = std::vector<Shape>(kHelperShapeCount);
  Shape backdrop = Solid(30, 12, 120, -20, 70);
  std::vector<Shape> shapes;
  AnimationWindow window;
  int positionBuffer = Buffer(kPreviewSize, kPreviewSize);

  AnimationDrawing() {
    window.buffer = Buffer(kPreviewSize, kPreviewSize);
    helpers[kFloorTileSlot] = Solid(64, 32, 60, 0, 0);
    helpers[kFigureSlot] = Solid(12, 40, 80, 5, 40);
    // Frames of every kind of placement: at the origin, moved, kept above
    // the floor line, far off the picture, empty, and one taller than it.
    shapes.push_back(Solid(20, 10, 30, 0, 0));
    shapes.push_back(Solid(16, 16, 33, 12, -8));
    shapes.push_back(Solid(10, 40, 36, -30, 70));
    shapes.push_back(Solid(8, 8, 39, 127, 127));
    shapes.push_back(Shape{});
    shapes.push_back(Solid(255, 255, 42, -127, -127));
    for (size_t i = 0; i < shapes.size(); ++i) {
      shapes[i].tavrelX = static_cast<int>(i) * 7 - 20;
      shapes[i].tavrelY = 30 - static_cast<int>(i) * 11;
    }
  }
};

}  // namespace

// Every frame, with and without the figure and on each background, is the
// picture the Shape position (or Tavrel position) window draws of that shape.
TEST_F(AnimationDrawing, EveryFrameIsWhatThePositioningWindowsShowOfThatShape) {
  SetAnimationRange(window.player, {0, static_cast<int32_t>(shapes.size()) - 1});
  for (bool figure : {false, true}) {
    window.settings.showFigure = figure;
    const PositionWindow position{figure ? kTavrelPositionDialog : kShapePositionDialog, positionBuffer};
    for (int background : {0, 1, 2}) {
      for (int i = 0; i < static_cast<int>(shapes.size()); ++i) {
        window.player.position = i;
        DrawAnimationFrame(state, window, {helpers, backdrop, shapes, background});
        DrawPositionWindow(state, position, {helpers, backdrop, shapes[static_cast<size_t>(i)], background});
        EXPECT_EQ(Pixels(window.buffer), Pixels(positionBuffer))
            << "frame " << i << (figure ? " with the figure" : "") << " on background " << background;
      }
    }
  }
}

// Without the floor, neither the floor tile nor the backdrop is drawn: what
// is left is the background and the frame.
TEST_F(AnimationDrawing, TheFloorSwitchTakesAwayTheFloorTileAndTheBackdrop) {
  SetAnimationRange(window.player, {0, 0});
  window.settings.showFloor = false;
  DrawAnimationFrame(state, window, {helpers, backdrop, shapes, 0});
  const std::vector<uint8_t> without = Pixels(window.buffer);
  for (uint8_t c : without) {
    EXPECT_TRUE(c == kPlainBackground || (c >= 30 && c <= 32)) << int(c);
  }
  EXPECT_EQ(std::count(without.begin(), without.end(), uint8_t{30}) +
                std::count(without.begin(), without.end(), uint8_t{31}) +
                std::count(without.begin(), without.end(), uint8_t{32}),
            200);
}

// A frame outside the document (a range typed before shapes went away)
// shows the scene without a shape instead of reading past the list.
TEST_F(AnimationDrawing, AFrameOutsideTheDocumentShowsNoShape) {
  SetAnimationRange(window.player, {40, 40});
  DrawAnimationFrame(state, window, {helpers, backdrop, shapes, 2});
  DrawPositionWindow(state, {kShapePositionDialog, positionBuffer}, {helpers, backdrop, Shape{}, 2});
  EXPECT_EQ(Pixels(window.buffer), Pixels(positionBuffer));
}

// ----- the window's controls ----------------------------------------------------

namespace {

struct AnimationControls : ::testing::Test {
  platform::HeadlessDialogs host;
  AnimationWindow window;
  AnimationChange last;

  AnimationControls() {
    host.SetDialogListener([this](const platform::DialogNotification& n) {
      last = OnAnimationNotification(host, window, 20, n);
    });
    host.CreateDialog(AnimationDialog());
    host.ShowDialog(kAnimationDialog);
    SetAnimationRange(window.player, {3, 10});
    FillAnimationWindow(host, window);
  }
  std::string Text(int control) { return host.Item(kAnimationDialog, control).text; }
  std::string Warning(int control) { return host.Item(kAnimationDialog, control).warning; }
};

}  // namespace

TEST_F(AnimationControls, TheBoxesShowTheRangeAndTheSettingsAndWritingThemIsNotTyping) {
  EXPECT_EQ(std::tuple(Text(kAnimationFirst), Text(kAnimationLast), Text(kAnimationSpeed)),
            std::tuple("3", "10", "8"));
  EXPECT_EQ(host.ListSelection(kAnimationDialog, kAnimationOrder), 0);
  EXPECT_TRUE(host.ItemChecked(kAnimationDialog, kAnimationShowFloor));
  EXPECT_FALSE(host.ItemChecked(kAnimationDialog, kAnimationShowFigure));
  EXPECT_EQ(Text(kAnimationFrameText), "Shape 3 (1/8)");
  EXPECT_EQ(Text(kAnimationPlay), "Play");
  // The program's own writing changed nothing.
  EXPECT_FALSE(last.frame || last.clock || last.settings);
}

TEST_F(AnimationControls, TypedRangesAreHeldToTheDocumentAndTheBoxSaysSo) {
  host.Type(kAnimationDialog, kAnimationLast, "35");
  EXPECT_EQ(window.player.range, (AnimationRange{3, 19}));
  EXPECT_TRUE(last.frame);
  EXPECT_EQ(Warning(kAnimationLast), "Allowed: 0 to 19. Used as 19.");
  host.Type(kAnimationDialog, kAnimationLast, "12");
  EXPECT_EQ(window.player.range, (AnimationRange{3, 12}));
  EXPECT_EQ(Warning(kAnimationLast), "");
  // The first steps of typing a number leave the range as it was.
  for (const char* partial : {"", "-", "+"}) {
    host.Type(kAnimationDialog, kAnimationFirst, partial);
    EXPECT_EQ(window.player.range, (AnimationRange{3, 12})) << partial;
    EXPECT_EQ(Warning(kAnimationFirst), "");
  }
  host.Type(kAnimationDialog, kAnimationFirst, "-4");
  EXPECT_EQ(window.player.range.first, 0);
  EXPECT_EQ(Warning(kAnimationFirst), "Allowed: 0 to 19. Used as 0.");
  host.Type(kAnimationDialog, kAnimationFirst, "7x");
  EXPECT_EQ(window.player.range.first, 7);
  EXPECT_NE(Warning(kAnimationFirst), "");
  // A new range plays from First.
  window.player.position = 3;
  host.Type(kAnimationDialog, kAnimationFirst, "15");
  EXPECT_EQ(window.player.position, 0);
  EXPECT_EQ(Text(kAnimationFrameText), "Shape 15 (1/4)");
}

TEST_F(AnimationControls, TypedSpeedsAreOneToSixtyAndChangeTheClock) {
  host.Type(kAnimationDialog, kAnimationSpeed, "0");
  EXPECT_EQ(window.settings.speed, 1);
  EXPECT_TRUE(last.clock && last.settings);
  EXPECT_EQ(Warning(kAnimationSpeed), "Allowed: 1 to 60. Used as 1.");
  host.Type(kAnimationDialog, kAnimationSpeed, "240");
  EXPECT_EQ(window.settings.speed, 60);
  host.Type(kAnimationDialog, kAnimationSpeed, "24");
  EXPECT_EQ(window.settings.speed, 24);
  EXPECT_EQ(Warning(kAnimationSpeed), "");
}

TEST_F(AnimationControls, SteppingPausesAndWrapsAtTheEnds) {
  host.Click(kAnimationDialog, kAnimationPlay);
  EXPECT_EQ(Text(kAnimationPlay), "Pause");
  host.Click(kAnimationDialog, kAnimationLastFrame);
  EXPECT_EQ(Text(kAnimationPlay), "Play");
  EXPECT_FALSE(window.player.playing);
  EXPECT_TRUE(last.frame && last.clock);
  EXPECT_EQ(Text(kAnimationFrameText), "Shape 10 (8/8)");
  host.Click(kAnimationDialog, kAnimationNextFrame);
  EXPECT_EQ(ShownShape(window.player), 3);
  host.Click(kAnimationDialog, kAnimationPreviousFrame);
  host.Click(kAnimationDialog, kAnimationPreviousFrame);
  EXPECT_EQ(ShownShape(window.player), 9);
  host.Click(kAnimationDialog, kAnimationFirstFrame);
  EXPECT_EQ(ShownShape(window.player), 3);
}

TEST(AnimationSettingsStore, SettingsGoThereAndComeBackAndNonsenseKeepsTheDefaults) {
  platform::HeadlessPlatform store;
  const AnimationSettings chosen{24, AnimationOrder::BackAndForth, false, true};
  WriteAnimationSettings(store, chosen);
  AnimationSettings back;
  ReadAnimationSettings(store, back);
  EXPECT_EQ(back, chosen);
  // Nothing stored: the defaults.
  platform::HeadlessPlatform empty;
  AnimationSettings fresh;
  ReadAnimationSettings(empty, fresh);
  EXPECT_EQ(fresh, AnimationSettings{});
  // Values another program or an older editor left there.
  for (auto& [key, values] : store.settingsKeys) {
    values["Speed"] = "900";
    values["Order"] = "sideways";
    values["ShowFloor"] = "yes";
    values["ShowFigure"] = "";
  }
  AnimationSettings odd;
  ReadAnimationSettings(store, odd);
  EXPECT_EQ(odd.speed, 60);
  EXPECT_EQ(odd.order, AnimationOrder::Loop);
  EXPECT_TRUE(odd.showFloor);
  EXPECT_FALSE(odd.showFigure);
}
