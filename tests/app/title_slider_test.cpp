#include <gtest/gtest.h>

#include <tuple>

#include "app/main_window.h"
#include "app/title_slider.h"

using namespace qshe;

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
