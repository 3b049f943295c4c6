#include <gtest/gtest.h>

#include "document/shape.h"
#include "platform/headless/headless.h"

using namespace qshe;
using platform::Answer;

namespace {

// A list of n shapes, shape i being i+1 pixels wide, one row high, filled
// with i, and carrying i in every other field so moves can be followed.
void Fill(ShapeList& list, int n) {
  list.count = n;
  for (int i = 0; i < n; ++i) {
    Shape& s = list.slots[i];
    AllocateShape(s, i + 1, 1);
    std::fill_n(s.pixels.get(), i + 1, static_cast<uint8_t>(i));
    std::tie(s.offsetX, s.offsetY, s.tavrelX, s.tavrelY, s.replacement) = std::make_tuple(i, -i, i, 2 * i, 100 + i);
    s.gettable = s.sittable = s.walkable = 1;
  }
}

// Which original shape sits in each slot, -1 for an empty, cleared slot.
std::vector<int> Tags(const ShapeList& list) {
  std::vector<int> tags;
  for (int i = 0; i < list.count; ++i) {
    const Shape& s = list.slots[i];
    if (!s.HasPixels()) {
      EXPECT_EQ(s.width + s.replacement + s.tavrelX, 0) << "slot " << i << " not cleared";
      tags.push_back(-1);
      continue;
    }
    EXPECT_EQ(std::make_tuple(s.replacement, s.tavrelY, s.width, int{s.pixels[0]}),
              std::make_tuple(100 + s.offsetX, 2 * s.offsetX, s.offsetX + 1, s.offsetX))
        << "fields of slot " << i << " got separated";
    tags.push_back(s.offsetX);
  }
  return tags;
}

struct ShapeListTest : ::testing::Test {
  ShapeList list;
  platform::HeadlessPlatform ui;
};

}  // namespace

TEST_F(ShapeListTest, AllocateKeepsSizesButNoPixelsWhenASideIsBelowOne) {
  Shape s;
  s.replacement = 4;
  EXPECT_FALSE(AllocateShape(s, 5, 0));
  EXPECT_EQ(std::tie(s.width, s.height, s.replacement), std::make_tuple(5, 0, 0));
  EXPECT_FALSE(s.HasPixels());
  EXPECT_TRUE(AllocateShape(s, 3, 2));
  EXPECT_EQ(s.PixelCount(), 6);
}

TEST_F(ShapeListTest, RemoveShiftsLaterShapesWithAllTheirFields) {
  Fill(list, 5);
  list.current = 1;
  // Answered No, or out of range: nothing changes.
  ui.answers = {Answer::No, Answer::Yes};
  for (int i : {1, 5, -1}) EXPECT_FALSE(RemoveShape(list, ui, i, i == 1));
  EXPECT_EQ(Tags(list), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_TRUE(RemoveShape(list, ui, 1, true));
  EXPECT_EQ(ui.messageTexts(), std::vector<std::string>(2, "Permanently remove this shape?"));
  list.count = 5;
  EXPECT_EQ(Tags(list), (std::vector<int>{0, 2, 3, 4, -1}));
  EXPECT_EQ(list.current, 1);
  // The last shape while current: the first becomes current.
  list.count = 4;
  list.current = 3;
  EXPECT_TRUE(RemoveShape(list, ui, 3, false));
  EXPECT_EQ(Tags(list), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(list.current, 0);
  EXPECT_EQ(ui.messages.size(), 2u);
  // The only shape: one empty shape is left.
  Fill(list, 1);
  EXPECT_TRUE(RemoveShape(list, ui, 0, false));
  EXPECT_EQ(Tags(list), std::vector<int>{-1});
}

// Slots past the document still hold old shapes, as after a shorter file was
// opened; added slots must come out cleared all the same.
TEST_F(ShapeListTest, AddWhereCodes) {
  struct Case {
    int32_t where, count;
    std::vector<int> tags;
    int32_t currentAfter;
  };
  // current is 2 in a list of 4.
  for (const Case& c : {Case{kAddAfterCurrent, 1, {0, 1, 2, -1, 3}, 2},
                        Case{kAddBeforeCurrent, 3, {0, 1, -1, -1, -1, 2, 3}, 5},
                        Case{kAddAtBeginning, 2, {-1, -1, 0, 1, 2, 3}, 4},
                        Case{kAddAtEnd, 1, {0, 1, 2, 3, -1}, 2},
                        Case{kAddAtIndex + 1, 1, {0, -1, 1, 2, 3}, 2},
                        Case{kAddAtIndex + 4, 1, {0, 1, 2, 3, -1}, 2},
                        Case{kAddAtIndex + 50, 2, {0, 1, 2, 3, -1, -1}, 2},  // appends, no hole
                        Case{7, 1, {-1, 0, 1, 2, 3}, 2}, Case{-5, 1, {-1, 0, 1, 2, 3}, 2}}) {
    ShapeList l;
    Fill(l, 8);
    l.count = 4;
    l.current = 2;
    ASSERT_TRUE(AddShapes(l, ui, c.count, c.where)) << c.where;
    EXPECT_EQ(Tags(l), c.tags) << c.where;
    EXPECT_EQ(l.current, c.currentAfter) << c.where;
  }
  // Past the capacity: nothing added, and the limit is told.
  list.count = 4990;
  EXPECT_FALSE(AddShapes(list, ui, 11, kAddAfterCurrent));
  EXPECT_EQ(list.count, 4990);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Can't add the shapes: The maximum number in an QSH file is limited to 5000.");
  EXPECT_EQ(ui.messages[0].icon, platform::Icon::Stop);
  EXPECT_TRUE(AddShapes(list, ui, 10, kAddAfterCurrent));
  EXPECT_EQ(list.count, 5000);
}

TEST_F(ShapeListTest, SwapAndCopy) {
  Fill(list, 4);
  SwapShapes(list, 0, 3);
  SwapShapes(list, 0, 4);  // index equal to count: nothing
  SwapShapes(list, -1, 2);
  EXPECT_EQ(Tags(list), (std::vector<int>{3, 1, 2, 0}));
  Shape copy;
  ASSERT_TRUE(CopyShape(list.slots[2], copy));
  copy.pixels[0] = 77;  // its own pixels
  EXPECT_EQ(list.slots[2].pixels[0], 2);
  EXPECT_EQ(copy.replacement, 102);
}
