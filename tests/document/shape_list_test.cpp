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
    for (int x = 0; x <= i; ++x) s.pixels[x] = static_cast<uint8_t>(i);
    s.offsetX = i;
    s.offsetY = -i;
    s.tavrelX = i;
    s.tavrelY = 2 * i;
    s.gettable = s.sittable = s.walkable = 1;
    s.replacement = 100 + i;
  }
}

// Which original shape (by its replacement tag) sits in slot i, -1 for empty.
int Tag(const ShapeList& list, int i) {
  const Shape& s = list.slots[i];
  if (!s.HasPixels()) return -1;
  EXPECT_EQ(s.replacement, 100 + s.offsetX) << "fields of slot " << i << " got separated";
  EXPECT_EQ(s.tavrelY, 2 * s.offsetX);
  EXPECT_EQ(s.width, s.offsetX + 1);
  EXPECT_EQ(s.pixels[0], s.offsetX);
  return s.offsetX;
}

struct ShapeListTest : ::testing::Test {
  ShapeList list;
  platform::HeadlessPlatform ui;
};

}  // namespace

TEST_F(ShapeListTest, AllocateKeepsSizesButNoPixelsWhenASideIsBelowOne) {
  Shape s;
  s.offsetX = 9;
  s.replacement = 4;
  EXPECT_FALSE(AllocateShape(s, 5, 0));
  EXPECT_EQ(s.width, 5);
  EXPECT_EQ(s.height, 0);
  EXPECT_FALSE(s.HasPixels());
  EXPECT_EQ(s.offsetX, 0);
  EXPECT_EQ(s.replacement, 0);
  EXPECT_TRUE(AllocateShape(s, 3, 2));
  EXPECT_EQ(s.PixelCount(), 6);
}

TEST_F(ShapeListTest, RemoveShiftsLaterShapesWithAllTheirFields) {
  Fill(list, 5);
  list.current = 1;
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(RemoveShape(list, ui, 1, true));
  EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Permanently remove this shape?"});
  EXPECT_EQ(list.count, 4);
  EXPECT_EQ(list.current, 1);
  EXPECT_EQ(Tag(list, 0), 0);
  EXPECT_EQ(Tag(list, 1), 2);
  EXPECT_EQ(Tag(list, 3), 4);
  EXPECT_EQ(Tag(list, 4), -1);
  EXPECT_EQ(list.slots[4].replacement, 0);
}

TEST_F(ShapeListTest, RemovingTheLastShapeWhileCurrentJumpsToTheFirst) {
  Fill(list, 5);
  list.current = 4;
  EXPECT_TRUE(RemoveShape(list, ui, 4, false));
  EXPECT_EQ(list.count, 4);
  EXPECT_EQ(list.current, 0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ShapeListTest, RemovingTheOnlyShapeLeavesOneEmptyShape) {
  Fill(list, 1);
  EXPECT_TRUE(RemoveShape(list, ui, 0, false));
  EXPECT_EQ(list.count, 1);
  EXPECT_FALSE(list.slots[0].HasPixels());
  EXPECT_EQ(list.slots[0].width, 0);
  EXPECT_EQ(list.slots[0].replacement, 0);
}

TEST_F(ShapeListTest, RemoveAnsweredNoOrOutOfRangeChangesNothing) {
  Fill(list, 3);
  ui.answers = {Answer::No};
  EXPECT_FALSE(RemoveShape(list, ui, 1, true));
  EXPECT_FALSE(RemoveShape(list, ui, 3, false));
  EXPECT_FALSE(RemoveShape(list, ui, -1, false));
  EXPECT_EQ(list.count, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Tag(list, i), i);
}

TEST_F(ShapeListTest, AddBeforeCurrentKeepsTheSameShapeCurrent) {
  Fill(list, 10);
  list.current = 5;
  EXPECT_TRUE(AddShapes(list, ui, 3, kAddBeforeCurrent));
  EXPECT_EQ(list.count, 13);
  EXPECT_EQ(list.current, 8);
  EXPECT_EQ(Tag(list, 4), 4);
  for (int i = 5; i <= 7; ++i) {
    EXPECT_EQ(Tag(list, i), -1);
    EXPECT_EQ(list.slots[i].width, 0);
    EXPECT_EQ(list.slots[i].replacement, 0);
  }
  EXPECT_EQ(Tag(list, 8), 5);
  EXPECT_EQ(Tag(list, 12), 9);
}

TEST_F(ShapeListTest, AddWhereCodes) {
  struct Case {
    int32_t where;
    int32_t insertedAt;
    int32_t currentAfter;
  };
  // current is 2 in a list of 4.
  for (Case c : {Case{kAddAfterCurrent, 3, 2}, Case{kAddAtBeginning, 0, 3}, Case{kAddAtEnd, 4, 2},
                 Case{kAddAtIndex + 1, 1, 2}, Case{kAddAtIndex + 4, 4, 2}, Case{7, 0, 2},
                 Case{-5, 0, 2}}) {
    ShapeList l;
    Fill(l, 4);
    l.current = 2;
    ASSERT_TRUE(AddShapes(l, ui, 1, c.where)) << c.where;
    EXPECT_EQ(l.count, 5);
    EXPECT_EQ(l.current, c.currentAfter) << c.where;
    for (int i = 0, original = 0; i < 5; ++i) {
      if (i == c.insertedAt) {
        EXPECT_EQ(Tag(l, i), -1) << c.where;
      } else {
        EXPECT_EQ(Tag(l, i), original++) << c.where;
      }
    }
  }
}

TEST_F(ShapeListTest, AddAtAnIndexBeyondTheDocumentAppendsInsteadOfLeavingAHole) {
  Fill(list, 3);
  EXPECT_TRUE(AddShapes(list, ui, 2, kAddAtIndex + 50));
  EXPECT_EQ(list.count, 5);
  EXPECT_EQ(Tag(list, 2), 2);
  EXPECT_EQ(Tag(list, 3), -1);
  EXPECT_EQ(Tag(list, 4), -1);
}

TEST_F(ShapeListTest, AddStopsAtTheCapacityWithTheLimitMessage) {
  list.count = 4990;
  EXPECT_FALSE(AddShapes(list, ui, 11, kAddAfterCurrent));
  EXPECT_EQ(list.count, 4990);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Can't add the shapes: The maximum number in an QSH file is limited to 5000.");
  EXPECT_EQ(ui.messages[0].caption, "QSH Editor");
  EXPECT_EQ(ui.messages[0].icon, platform::Icon::Stop);
  EXPECT_TRUE(AddShapes(list, ui, 10, kAddAfterCurrent));
  EXPECT_EQ(list.count, 5000);
}

TEST_F(ShapeListTest, AddedSlotsAreClearedEvenWhenStaleShapesLayBeyondTheDocument) {
  Fill(list, 6);
  list.count = 3;  // slots 3..5 still hold old shapes, as after a shorter file was opened
  EXPECT_TRUE(AddShapes(list, ui, 2, kAddAtBeginning));
  EXPECT_EQ(list.count, 5);
  EXPECT_EQ(Tag(list, 0), -1);
  EXPECT_EQ(Tag(list, 1), -1);
  EXPECT_EQ(Tag(list, 2), 0);
  EXPECT_EQ(Tag(list, 4), 2);
}

TEST_F(ShapeListTest, SwapExchangesEverythingOnlyInsideTheDocument) {
  Fill(list, 4);
  SwapShapes(list, 0, 3);
  EXPECT_EQ(Tag(list, 0), 3);
  EXPECT_EQ(Tag(list, 3), 0);
  SwapShapes(list, 0, 4);  // index equal to count
  SwapShapes(list, -1, 2);
  EXPECT_EQ(Tag(list, 0), 3);
  EXPECT_EQ(Tag(list, 2), 2);
}

TEST_F(ShapeListTest, CopyShapeDuplicatesPixels) {
  Fill(list, 3);
  Shape copy;
  ASSERT_TRUE(CopyShape(list.slots[2], copy));
  EXPECT_NE(copy.pixels.get(), list.slots[2].pixels.get());
  copy.pixels[0] = 77;
  EXPECT_EQ(list.slots[2].pixels[0], 2);
  EXPECT_EQ(copy.replacement, 102);
}
