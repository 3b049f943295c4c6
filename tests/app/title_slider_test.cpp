#include <gtest/gtest.h>

#include <tuple>

#include "app/main_window.h"
#include "app/title_slider.h"
#include "editor_fixture.h"

using namespace qshe;
using qshe::testing::EditorFixture;

TEST(SliderAndTitle, KnobAndPickArithmeticAndTitleShortening) {
  for (auto [index, count, offset] : {std::tuple{0, 100, 0}, {99, 100, 143}, {10, 20, 75}, {0, 1, 0}})
    EXPECT_EQ(SliderKnobOffset(index, count), offset) << index << " of " << count;
  // Outside the track's columns nothing is picked; one or no shape gives 0.
  for (auto [x, count, pick] : {std::tuple{23, 100, 1}, {165, 100, 99}, {166, 100, -1}, {22, 100, -1}, {100, 1, 0},
                                {100, 0, 0}})
    EXPECT_EQ(SliderPick(x, count), pick) << x << " of " << count;
  // Long paths in the title are shortened in the middle keeping the file name.
  EXPECT_EQ(DocumentTitle("new"), "Quorvane QSH Editor 1.04 -- [new]");
  std::string dir = "/" + std::string(600, 'd');
  std::string title = DocumentTitle(dir + "/my patch.qsh");
  EXPECT_EQ(title.size(), kMaxTitleLength);
  EXPECT_EQ(title.substr(title.size() - 17), ".../my patch.qsh]");
  EXPECT_EQ(title.rfind("Quorvane QSH Editor 1.04 -- [/ddd", 0), 0u);
  // A file name too long by itself keeps its end.
  std::string huge = DocumentTitle("/x/" + std::string(700, 'f') + ".qsh");
  EXPECT_EQ(huge.size(), kMaxTitleLength);
  EXPECT_EQ(huge.substr(huge.size() - 5), ".qsh]");
}

using SliderTest = EditorFixture;

TEST_F(SliderTest, PressingAndDraggingTheTrackPicksShapes) {
  ASSERT_TRUE(Start());
  e.canvas.At(0, 255) = 9;  // an edit on shape 0, committed by the pick
  OnMouseDown(e, 100, 244, 1, false);
  EXPECT_EQ(e.doc.list.current, SliderPick(100, 20));
  EXPECT_EQ(e.doc.list.slots[0].pixels[0], 9);
  // Dragging keeps picking by x, whatever the y.
  OnMouseMove(e, 165, 10, false);
  EXPECT_EQ(e.doc.list.current, 19);
  OnMouseMove(e, 400, 10, false);  // off the track: nothing changes
  EXPECT_EQ(e.doc.list.current, 19);
  OnMouseUp(e, 400, 10, 1);
  OnMouseMove(e, 30, 244, false);
  EXPECT_EQ(e.doc.list.current, 19);
  // Outside the track's rows a press does nothing.
  Click(100, 250);
  EXPECT_EQ(e.doc.list.current, 19);
  EXPECT_EQ(hp.surface.texts.back().text, "Shape 19 / 19");
  // The knob is drawn at its offset in the slider colours.
  SelectBuffer(e.display, e.window.buffers.composition);
  EXPECT_EQ(ReadPixel(e.display, 143 + 23, 244), 177);
  EXPECT_EQ(ReadPixel(e.display, 143 + 21, 244), 175);
}
