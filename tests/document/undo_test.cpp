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
    EXPECT_TRUE(0 <= ring.position && ring.position <= ring.top && ring.top <= 9) << ring.position << " " << ring.top;
    EXPECT_EQ(std::count_if(ring.labels.begin(), ring.labels.end(), [](int32_t l) { return l >= 0; }), ring.top + 1);
    for (int step = 0; step <= ring.top; ++step) EXPECT_GE(FindUndoSlot(ring, step), 0) << step;
  }
  bool Shows(uint8_t mark) const { return canvas.pixels == State(mark).pixels; }
  // Undoes (or redoes) through the marks in order, then finds nothing more.
  void Walk(bool undo, std::initializer_list<uint8_t> marks) {
    for (uint8_t mark : marks) {
      EXPECT_TRUE(undo ? Undo(ring, canvas, hooks) : Redo(ring, canvas));
      EXPECT_TRUE(Shows(mark)) << int{mark};
    }
    EXPECT_FALSE(undo ? Undo(ring, canvas, hooks) : Redo(ring, canvas));
  }
};

TEST_F(UndoTest, ThreeSavesTwoUndosThenANewSaveDropsTheRedoableState) {
  Walk(true, {});  // nothing before the first save
  Walk(false, {});
  EXPECT_EQ(cleared, 0);
  for (uint8_t n : {1, 2, 3}) Save(n);
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
  Walk(true, {2, 1, 100});  // all the way back to the loaded state
}

TEST_F(UndoTest, TwelveSavesKeepTheLastTen) {
  for (uint8_t n = 1; n <= 12; ++n) {
    Save(n);
    ExpectSound();
  }
  // The state of save 3 is the oldest kept; the loaded one is gone.
  Walk(true, {11, 10, 9, 8, 7, 6, 5, 4, 3});
  Walk(false, {4, 5, 6, 7, 8, 9, 10, 11, 12});
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

TEST_F(UndoTest, ResetForgetsTheShapeBefore) {
  for (uint8_t n = 1; n <= 5; ++n) Save(n);
  EXPECT_TRUE(Undo(ring, canvas, hooks));
  canvas = State(200);
  ResetUndo(ring, canvas);
  ExpectSound();
  EXPECT_EQ(ring.top, 0);
  Walk(false, {});
  Walk(true, {});
  Save(7);
  Walk(true, {200});
}

}  // namespace
