// The Animation window in the running editor on the scripted desktop: View
// > Animation opens it playing, the test drives its clock, every frame is
// the Shape position window's picture of that shape, editing goes on while
// it plays, and its settings outlive the editor.
#include <gtest/gtest.h>

#include <numeric>
#include <set>
#include <tuple>
#include <vector>

#include "app/animation_window.h"
#include "app/canvas_routing.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "document/document_commands.h"
#include "editor_fixture.h"
#include "properties/animation.h"
#include "properties/positioning.h"

using namespace qshe;
using qshe::testing::EditorFixture;

namespace {

struct AnimationTest : EditorFixture {
  platform::HeadlessDialogs& dlg = hp.dialogs;

  void SetUp() override {
    ASSERT_TRUE(Start());
    // Ten frames of a bouncing block: each a little further right, higher
    // or lower, one kept above the floor line, one empty.
    for (int i = 0; i < 10; ++i) {
      Shape& s = S(i);
      if (i == 6) continue;
      AllocateShape(s, 12 + i, 10 + 2 * i);
      for (int p = 0; p < s.width * s.height; ++p) s.pixels[static_cast<size_t>(p)] = static_cast<uint8_t>(30 + i);
      s.offsetX = 4 * i - 10;
      s.offsetY = i == 8 ? 90 : 60 - 5 * i;
      s.tavrelX = i;
      s.tavrelY = -i;
    }
    ShowShape(e.doc, e.canvas, 0, false, 0);
  }
  Shape& S(int i) { return e.doc.list.slots[static_cast<size_t>(i)]; }
  std::vector<platform::Rgb> Picture(int dialog, int control) {
    const platform::HeadlessSurface& s = *dlg.Find(dialog)->controls.at(control).surface;
    std::vector<platform::Rgb> pixels;
    for (int y = 0; y < s.height(); ++y)
      for (int x = 0; x < s.width(); ++x) pixels.push_back(s.Pixel(x, y));
    return pixels;
  }
  std::vector<platform::Rgb> Frame() { return Picture(kAnimationDialog, kAnimationPicture); }
  std::string Text(int control) { return dlg.Item(kAnimationDialog, control).text; }
  bool ClockRuns() const { return hp.timers.count(kAnimationTimer) != 0; }
  int Clock() const { return hp.timers.at(kAnimationTimer); }
  void Tick() { OnTimer(e, kAnimationTimer); }
};

}  // namespace

TEST_F(AnimationTest, POpensItPlayingTheCurrentShapeAndTheSevenAfterIt) {
  OnCommand(e, kCmdNextShape);
  OnCommand(e, kCmdNextShape);
  OnCommand(e, kCmdAnimation);
  ASSERT_TRUE(dlg.DialogVisible(kAnimationDialog));
  EXPECT_EQ(dlg.Find(kAnimationDialog)->title, "Animation");
  EXPECT_EQ(std::tuple(Text(kAnimationFirst), Text(kAnimationLast), Text(kAnimationSpeed)),
            std::tuple("2", "9", "8"));
  EXPECT_EQ(Text(kAnimationPlay), "Pause");
  EXPECT_EQ(Text(kAnimationFrameText), "Shape 2 (1/8)");
  // The platform's timer, at eight frames a second.
  ASSERT_TRUE(ClockRuns());
  EXPECT_EQ(Clock(), 125);
  // Near the end of the document fewer shapes follow.
  dlg.Close(kAnimationDialog);
  for (int i = 0; i < 15; ++i) OnCommand(e, kCmdNextShape);
  OnCommand(e, kCmdAnimation);
  EXPECT_EQ(std::tuple(Text(kAnimationFirst), Text(kAnimationLast)), std::tuple("17", "19"));
}

// The frames, clock tick by clock tick, are exactly what the Shape position
// window shows of each shape when it is the current one, also with the
// figure, the backdrop of the settings and the other backgrounds.
TEST_F(AnimationTest, EveryFrameIsTheShapePositionWindowsPictureOfThatShape) {
  OnCommand(e, kCmdAnimation);
  OnCommand(e, kCmdShapePosition);
  OnCommand(e, kCmdTavrelPosition);
  CopyShape(S(3), e.backdropShape);
  e.backdropShape.offsetX = -40;
  RefreshPositionWindows(e);  // as the settings' Ok does
  std::vector<std::vector<platform::Rgb>> frames, figureFrames;
  for (int background = 0; background < 3; ++background) {
    frames.clear();
    for (int i = 0; i < 8; ++i) {
      frames.push_back(Frame());
      EXPECT_EQ(Text(kAnimationFrameText), "Shape " + std::to_string(i) + " (" + std::to_string(i + 1) + "/8)");
      Tick();
    }
    dlg.Click(kAnimationDialog, kAnimationShowFigure);
    figureFrames.clear();
    for (int i = 0; i < 8; ++i) {
      figureFrames.push_back(Frame());
      Tick();
    }
    dlg.Click(kAnimationDialog, kAnimationShowFigure);
    for (int i = 0; i < 8; ++i) {
      ShowShape(e.doc, e.canvas, i, false, 0);
      RefreshPositionWindows(e);
      EXPECT_EQ(frames[static_cast<size_t>(i)], Picture(kShapePositionDialog, kPreviewSurface))
          << "frame " << i << " on background " << background;
      EXPECT_EQ(figureFrames[static_cast<size_t>(i)], Picture(kTavrelPositionDialog, kPreviewSurface))
          << "frame " << i << " with the figure on background " << background;
    }
    ShowShape(e.doc, e.canvas, 0, false, 0);
    OnCommand(e, kCmdChangeBackground);
  }
}

TEST_F(AnimationTest, SpaceAndThePlayButtonPauseAndGoOnAndClosingStopsTheClock) {
  OnCommand(e, kCmdAnimation);
  Tick();
  Tick();
  EXPECT_EQ(Text(kAnimationFrameText), "Shape 2 (3/8)");
  ASSERT_TRUE(dlg.PressKey(kAnimationDialog, "Space"));
  EXPECT_FALSE(ClockRuns());
  EXPECT_EQ(Text(kAnimationPlay), "Play");
  // A tick that was already under way changes nothing.
  Tick();
  EXPECT_EQ(Text(kAnimationFrameText), "Shape 2 (3/8)");
  dlg.Click(kAnimationDialog, kAnimationPlay);
  EXPECT_TRUE(ClockRuns());
  Tick();
  EXPECT_EQ(Text(kAnimationFrameText), "Shape 3 (4/8)");
  dlg.Click(kAnimationDialog, kAnimationPreviousFrame);
  EXPECT_FALSE(ClockRuns());
  EXPECT_EQ(Text(kAnimationFrameText), "Shape 2 (3/8)");
  dlg.Click(kAnimationDialog, kAnimationPlay);
  dlg.Close(kAnimationDialog);
  EXPECT_FALSE(dlg.DialogVisible(kAnimationDialog));
  EXPECT_FALSE(ClockRuns());
  Tick();
  EXPECT_FALSE(ClockRuns());
}

// At sixty frames a second the clock alternates 16 and 17 ms so that sixty
// frames take exactly one second; back and forth turns at both ends.
TEST_F(AnimationTest, TheClockKeepsTheSpeedAndTheOrderHolds) {
  OnCommand(e, kCmdAnimation);
  dlg.Type(kAnimationDialog, kAnimationSpeed, "60");
  dlg.Choose(kAnimationDialog, kAnimationOrder, 1);
  dlg.Type(kAnimationDialog, kAnimationLast, "3");
  std::vector<int> intervals;
  std::vector<std::string> shown;
  for (int i = 0; i < 60; ++i) {
    intervals.push_back(Clock());
    Tick();
    shown.push_back(Text(kAnimationFrameText).substr(0, 7));
  }
  EXPECT_EQ(std::accumulate(intervals.begin(), intervals.end(), 0), 1000);
  EXPECT_EQ(std::set<int>(intervals.begin(), intervals.end()), (std::set<int>{16, 17}));
  EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 7),
            (std::vector<std::string>{"Shape 1", "Shape 2", "Shape 3", "Shape 2", "Shape 1", "Shape 0", "Shape 1"}));
}

// Playing never holds up editing: the clock's ticks leave the document,
// the canvas and the unsaved-changes mark alone, and the frame being edited
// shows its new pixels once the painting is committed.
TEST_F(AnimationTest, EditingGoesOnWhilePlayingAndTheEditedFrameFollowsAtTheCommit) {
  OnCommand(e, kCmdAnimation);
  dlg.Click(kAnimationDialog, kAnimationPlay);  // stays on shape 0
  const std::vector<platform::Rgb> before = Frame();
  dlg.Click(kAnimationDialog, kAnimationPlay);
  // A stroke across the top-left of shape 0 while the clock runs.
  OnMouseDown(e, kViewLeft + 1, kViewTop + 1, 1, false);
  Tick();
  OnMouseMove(e, kViewLeft + 8, kViewTop + 1, false);
  Tick();
  OnMouseUp(e, kViewLeft + 8, kViewTop + 1, 1);
  EXPECT_EQ(e.canvas.At(5, 254), e.colors.foreColor);
  EXPECT_EQ(e.window.canvasChanged, 1);
  EXPECT_EQ(S(0).pixels[static_cast<size_t>((S(0).height - 2) * S(0).width + 5)], 30)
      << "a tick committed the canvas";
  // Back to shape 0, paused: it still shows the shape as committed.
  dlg.Click(kAnimationDialog, kAnimationFirstFrame);
  EXPECT_EQ(Frame(), before);
  OnTimer(e, kCommitTimer);
  EXPECT_NE(Frame(), before);
  // 66 + offsetX + 5, 66 + offsetY + 1: the new pixel.
  const platform::HeadlessSurface& s = *dlg.Find(kAnimationDialog)->controls.at(kAnimationPicture).surface;
  EXPECT_EQ(s.Pixel(66 + S(0).offsetX + 5, 66 + S(0).offsetY + 1), PaletteColor(e.colors.foreColor));
}

TEST_F(AnimationTest, TheShapeBrowsersSelectionIsTheRangeWhenThereIsOne) {
  e.animation.selectedRange = [] { return std::optional<AnimationRange>(AnimationRange{5, 2}); };
  OnCommand(e, kCmdAnimation);
  EXPECT_EQ(std::tuple(Text(kAnimationFirst), Text(kAnimationLast)), std::tuple("5", "2"));
  Tick();
  EXPECT_EQ(Text(kAnimationFrameText), "Shape 4 (2/4)");
  e.animation.selectedRange = [] { return std::optional<AnimationRange>(); };
  OnCommand(e, kCmdAnimation);
  EXPECT_EQ(std::tuple(Text(kAnimationFirst), Text(kAnimationLast)), std::tuple("0", "7"));
}

// A range past the end of a new, shorter document plays what is left.
TEST_F(AnimationTest, ARangePastTheEndOfTheDocumentIsHeldToIt) {
  OnCommand(e, kCmdAnimation);
  hp.answers = {platform::Answer::Yes};
  AddShapes(e.doc.list, hp, 30, kAddAtEnd);
  dlg.Type(kAnimationDialog, kAnimationFirst, "40");
  dlg.Type(kAnimationDialog, kAnimationLast, "45");
  EXPECT_EQ(e.animation.player.range, (AnimationRange{40, 45}));
  hp.answers = {platform::Answer::No};  // do not save the changes
  OnCommand(e, kCmdNew);
  Tick();
  EXPECT_EQ(e.animation.player.range, (AnimationRange{19, 19}));
  EXPECT_EQ(std::tuple(Text(kAnimationFirst), Text(kAnimationLast)), std::tuple("19", "19"));
  EXPECT_EQ(Text(kAnimationFrameText), "Shape 19 (1/1)");
}

// The speed, the order and the two switches outlive the editor; the range
// does not (it belongs to the document shown).
TEST_F(AnimationTest, TheWindowsSettingsAreRememberedForTheNextStart) {
  OnCommand(e, kCmdAnimation);
  dlg.Type(kAnimationDialog, kAnimationSpeed, "24");
  dlg.Choose(kAnimationDialog, kAnimationOrder, 1);
  dlg.Click(kAnimationDialog, kAnimationShowFloor);
  dlg.Click(kAnimationDialog, kAnimationShowFigure);

  platform::HeadlessPlatform next;
  next.settingsKeys = hp.settingsKeys;
  Editor later{next.desktop()};
  ASSERT_TRUE(StartEditor(later, dir.path().string() + "/", {}));
  OnCommand(later, kCmdAnimation);
  platform::HeadlessDialogs& d = next.dialogs;
  EXPECT_EQ(d.Item(kAnimationDialog, kAnimationSpeed).text, "24");
  EXPECT_EQ(d.ListSelection(kAnimationDialog, kAnimationOrder), 1);
  EXPECT_FALSE(d.ItemChecked(kAnimationDialog, kAnimationShowFloor));
  EXPECT_TRUE(d.ItemChecked(kAnimationDialog, kAnimationShowFigure));
  EXPECT_EQ(next.timers.at(kAnimationTimer), FrameInterval(24, 0));
}
