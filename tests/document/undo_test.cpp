#include <gtest/gtest.h>

#include "document/undo.h"

using namespace qshe;

namespace {

// A canvas marked with one number, to tell the recorded states apart.
Canvas State(uint8_t mark) {
  Canvas c;
  c.pixels.fill(mark);
  c.At(255, 255) = static_cast<uint8_t>(mark + 1);
  return c;
}

struct UndoTest : ::testing::Test {
  UndoRing ring;
  Canvas canvas = State(100);  // as the shape was loaded
  DocumentHooks hooks;
  int cleared = 0;

  void SetUp() override {
    hooks.clearSelection = [this] { ++cleared; };
    ResetUndo(ring, canvas);
  }
  // The n-th edit, recorded.
  void Save(uint8_t n) {
    canvas = State(n);
    SaveUndoState(ring, canvas);
  }
  // Each step 0..top has exactly one slot, the rest are free.
  void ExpectSound() {
    EXPECT_LE(0, ring.position);
    EXPECT_LE(ring.position, ring.top);
    EXPECT_LE(ring.top, 9);
    int used = 0;
    for (int32_t label : ring.labels) used += label >= 0;
    EXPECT_EQ(used, ring.top + 1);
    for (int step = 0; step <= ring.top; ++step) EXPECT_GE(FindUndoSlot(ring, step), 0) << step;
  }
  bool Shows(uint8_t mark) const { return canvas.pixels == State(mark).pixels; }
};

TEST_F(UndoTest, ThreeSavesTwoUndosThenANewSaveDropsTheRedoableState) {
  Save(1);
  Save(2);
  Save(3);
  EXPECT_TRUE(Undo(ring, canvas, hooks));
  EXPECT_TRUE(Undo(ring, canvas, hooks));
  EXPECT_TRUE(Shows(1));
  EXPECT_EQ(cleared, 2);
  EXPECT_TRUE(Redo(ring, canvas));
  EXPECT_TRUE(Shows(2));
  EXPECT_EQ(cleared, 2);  // redo keeps the selection
  Save(4);
  EXPECT_FALSE(Redo(ring, canvas));
  EXPECT_TRUE(Shows(4));
  ExpectSound();
  // All the way back reaches the loaded state through 2 and 1.
  for (uint8_t mark : {2, 1, 100}) {
    EXPECT_TRUE(Undo(ring, canvas, hooks));
    EXPECT_TRUE(Shows(mark)) << int{mark};
  }
  EXPECT_FALSE(Undo(ring, canvas, hooks));
}

TEST_F(UndoTest, TwelveSavesKeepTheLastTen) {
  for (uint8_t n = 1; n <= 12; ++n) {
    Save(n);
    ExpectSound();
  }
  for (uint8_t mark = 11; mark >= 3; --mark) {
    EXPECT_TRUE(Undo(ring, canvas, hooks));
    EXPECT_TRUE(Shows(mark)) << int{mark};
  }
  // The state of save 3 is the oldest kept; the loaded one is gone.
  EXPECT_FALSE(Undo(ring, canvas, hooks));
  EXPECT_TRUE(Shows(3));
  for (uint8_t mark = 4; mark <= 12; ++mark) {
    EXPECT_TRUE(Redo(ring, canvas));
    EXPECT_TRUE(Shows(mark)) << int{mark};
  }
  EXPECT_FALSE(Redo(ring, canvas));
}

TEST_F(UndoTest, UndoThenRedoAtTheNewestGivesItBack) {
  Save(1);
  Save(2);
  EXPECT_TRUE(Undo(ring, canvas, hooks));
  EXPECT_TRUE(Redo(ring, canvas));
  EXPECT_TRUE(Shows(2));
  // An edit that was not recorded is lost to the next undo, which goes back
  // to the step before the last recorded one.
  canvas = State(50);
  EXPECT_TRUE(Undo(ring, canvas, hooks));
  EXPECT_TRUE(Shows(1));
}

TEST_F(UndoTest, NothingBeforeTheFirstSaveAndResetForgetsTheShapeBefore) {
  EXPECT_FALSE(Undo(ring, canvas, hooks));
  EXPECT_FALSE(Redo(ring, canvas));
  EXPECT_TRUE(Shows(100));
  EXPECT_EQ(cleared, 0);
  for (uint8_t n = 1; n <= 5; ++n) Save(n);
  EXPECT_TRUE(Undo(ring, canvas, hooks));
  canvas = State(200);
  ResetUndo(ring, canvas);
  ExpectSound();
  EXPECT_EQ(ring.top, 0);
  EXPECT_FALSE(Redo(ring, canvas));
  EXPECT_FALSE(Undo(ring, canvas, hooks));
  Save(7);
  EXPECT_TRUE(Undo(ring, canvas, hooks));
  EXPECT_TRUE(Shows(200));
}

}  // namespace
