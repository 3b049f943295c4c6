// The document's history on the document records alone: painting steps,
// list, field and flag changes, moving between shapes, the saved state and
// the memory budget.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <tuple>

#include "document/document_commands.h"
#include "document/history.h"
#include "platform/headless/headless.h"

using namespace qshe;

namespace {

struct HistoryTest : ::testing::Test {
  Document doc;
  Canvas canvas;
  History h;
  int selectionsCleared = 0;

  // A document of n shapes; shape i is i+1 pixels wide, two rows high,
  // filled with 10 + i and carrying i in offsetX, so moves can be followed.
  void SetUp() override { Open(8); }

  void Open(int n) {
    doc.hooks = {};
    doc.hooks.clearSelection = [this] { ++selectionsCleared; };
    doc.hooks.canvasLoaded = [this] { SetPaintingBase(h, canvas); };
    doc.hooks.recordPainting = [this] { RecordPainting(h, doc, canvas, "Painting"); };
    doc.list.count = n;
    for (int i = 0; i < n; ++i) {
      Shape& s = doc.list.slots[static_cast<size_t>(i)];
      AllocateShape(s, i + 1, 2);
      std::fill_n(s.pixels.get(), 2 * (i + 1), static_cast<uint8_t>(10 + i));
      s.offsetX = i;
      s.replacement = 100 + i;
    }
    doc.state = {};
    ShowShape(doc, canvas, 0, false, 0);
    ResetHistory(h, canvas, true);
  }

  // Which shape (by its offsetX) sits in each slot; -1 for an empty one.
  std::vector<int> Tags() const {
    std::vector<int> tags;
    for (int i = 0; i < doc.list.count; ++i) {
      const Shape& s = doc.list.slots[static_cast<size_t>(i)];
      tags.push_back(s.HasPixels() ? s.offsetX : -1);
    }
    return tags;
  }

  void Paint(int column, int row, uint8_t colour) { canvas.At(column, row) = colour; }
  bool Step(const char* name) { return RecordPainting(h, doc, canvas, name); }

  size_t StepsBytes() const {
    return std::accumulate(h.steps.begin(), h.steps.end(), size_t{0},
                           [](size_t sum, const HistoryStep& s) { return sum + s.bytes; });
  }
};

std::vector<int> Range(int n) {
  std::vector<int> v(static_cast<size_t>(n));
  std::iota(v.begin(), v.end(), 0);
  return v;
}

TEST_F(HistoryTest, APaintingStepHoldsOnlyTheRectangleThatChanged) {
  const Canvas before = canvas;
  Paint(20, 100, 7);
  Paint(29, 104, 7);
  Paint(25, 102, 8);
  ASSERT_TRUE(Step("Pencil"));
  const auto& change = std::get<PixelsChange>(h.steps.back().changes.at(0));
  EXPECT_EQ(std::make_tuple(change.rect.x1, change.rect.x2, change.rect.y1, change.rect.y2),
            std::make_tuple(20, 29, 100, 104));
  EXPECT_EQ(change.pixels.size(), 50u);
  const Canvas after = canvas;

  // Nothing changed since: no step.
  EXPECT_FALSE(Step("Pencil"));
  EXPECT_EQ(UndoCount(h), 1u);
  EXPECT_EQ(UndoName(h), "Pencil");

  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(canvas.pixels, before.pixels);
  EXPECT_FALSE(Undo(h, doc, canvas));
  ASSERT_TRUE(Redo(h, doc, canvas));
  EXPECT_EQ(canvas.pixels, after.pixels);
  EXPECT_FALSE(Redo(h, doc, canvas));
  EXPECT_EQ(h.bytes, StepsBytes());
}

TEST_F(HistoryTest, UndoOfAStepOnAnotherShapeShowsThatShape) {
  ShowShape(doc, canvas, 3, true, 0);
  const Canvas loaded = canvas;
  Paint(0, 255, 99);
  ASSERT_TRUE(Step("Pencil"));
  // Moving on records nothing and keeps the history.
  ShowShape(doc, canvas, 6, true, 3);
  EXPECT_EQ(UndoCount(h), 1u);
  EXPECT_EQ(doc.list.slots[3].pixels[doc.list.slots[3].width], 99);  // committed, top row

  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(doc.list.current, 3);
  EXPECT_EQ(canvas.pixels, loaded.pixels);
  EXPECT_EQ(doc.list.slots[6].pixels[0], 16);  // the shape left is whole
  ASSERT_TRUE(Redo(h, doc, canvas));
  EXPECT_EQ(canvas.At(0, 255), 99);

  // Painting under way when the shape changes becomes a step of its own.
  Paint(1, 254, 5);
  ShowShape(doc, canvas, 0, true, 3);
  EXPECT_EQ(UndoCount(h), 2u);
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(doc.list.current, 3);
  EXPECT_EQ(canvas.At(1, 254), 13);
  EXPECT_EQ(canvas.At(0, 255), 99);
}

TEST_F(HistoryTest, ListChangesUndoAndRedoExactly) {
  const std::vector<int> start = Range(8);
  struct Case {
    const char* name;
    std::function<void()> change;
    std::vector<int> after;
  };
  std::vector<Shape> two(2);
  const std::vector<Case> cases = {
      {"insert", [&] { InsertShapes(h, doc.list, 3, std::vector<Shape>(2)); }, {0, 1, 2, -1, -1, 3, 4, 5, 6, 7}},
      {"insert at the end", [&] { InsertShapes(h, doc.list, 8, std::vector<Shape>(1)); }, {0, 1, 2, 3, 4, 5, 6, 7, -1}},
      {"remove", [&] { RemoveShapes(h, doc.list, 2, 3); }, {0, 1, 5, 6, 7}},
      {"replace", [&] { ReplaceShapes(h, doc.list, 6, std::vector<Shape>(2)); }, {0, 1, 2, 3, 4, 5, -1, -1}},
      {"move down", [&] { MoveShapes(h, doc.list, 1, 2, 5); }, {0, 3, 4, 5, 6, 1, 2, 7}},
      {"move up", [&] { MoveShapes(h, doc.list, 5, 3, 0); }, {5, 6, 7, 0, 1, 2, 3, 4}},
      {"exchange", [&] { ExchangeShapes(h, doc.list, 6, 1); }, {0, 6, 2, 3, 4, 5, 1, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BeginStep(h, doc, canvas, c.name);
    c.change();
    ASSERT_TRUE(EndStep(h));
    EXPECT_EQ(Tags(), c.after);
    ASSERT_TRUE(Undo(h, doc, canvas));
    EXPECT_EQ(Tags(), start);
    ASSERT_TRUE(Redo(h, doc, canvas));
    EXPECT_EQ(Tags(), c.after);
    ASSERT_TRUE(Undo(h, doc, canvas));
    // Slots past the document are empty again.
    for (int i = 8; i < 12; ++i) EXPECT_FALSE(doc.list.slots[static_cast<size_t>(i)].HasPixels()) << i;
    EXPECT_EQ(h.bytes, StepsBytes());
  }
  // Outside a step the calls only change the list.
  const size_t steps = h.steps.size();
  RemoveShapes(h, doc.list, 0, 1);
  EXPECT_EQ(Tags(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(h.steps.size(), steps);
}

TEST_F(HistoryTest, RemovingAShapeKeepsThePaintingNotYetCommitted) {
  ShowShape(doc, canvas, 2, true, 0);
  Paint(0, 255, 77);  // recorded, not committed
  ASSERT_TRUE(Step("Pencil"));
  Paint(2, 255, 78);  // neither recorded nor committed
  BeginStep(h, doc, canvas, "Remove Shape 2");
  RemoveShapes(h, doc.list, 2, 1);
  EXPECT_TRUE(EndStep(h));
  EXPECT_EQ(doc.list.current, 2);
  EXPECT_EQ(canvas.At(0, 255), 13);  // shape 3 moved up and is shown
  EXPECT_GT(selectionsCleared, 0);

  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(Tags(), Range(8));
  EXPECT_EQ(canvas.At(0, 255), 77);
  EXPECT_EQ(canvas.At(2, 255), 78);
  const Shape& back = doc.list.slots[2];
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.pixels[static_cast<size_t>(back.width * (back.height - 1))], 77);
}

TEST_F(HistoryTest, FieldsAndFlagsChangedInPlaceAreOneStep) {
  BeginStep(h, doc, canvas, "Preset");
  doc.list.slots[2].sittable = 1;
  doc.list.slots[7].tavrelY = -20;
  doc.state.qbjFlag = 1;
  ASSERT_TRUE(EndStep(h));
  EXPECT_EQ(doc.state.modified, kModified);
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(std::make_tuple(doc.list.slots[2].sittable, doc.list.slots[7].tavrelY, doc.state.qbjFlag),
            std::make_tuple(0, 0, 0));
  ASSERT_TRUE(Redo(h, doc, canvas));
  EXPECT_EQ(std::make_tuple(doc.list.slots[2].sittable, doc.list.slots[7].tavrelY, doc.state.qbjFlag),
            std::make_tuple(1, -20, 1));

  // A field changed in place before a list change stays with its shape.
  BeginStep(h, doc, canvas, "Edit and remove");
  doc.list.slots[4].walkable = 1;
  RemoveShapes(h, doc.list, 4, 1);
  doc.list.slots[4].walkable = 1;  // the shape that moved up
  ASSERT_TRUE(EndStep(h));
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(Tags(), Range(8));
  EXPECT_EQ(doc.list.slots[4].walkable, 0);
  EXPECT_EQ(doc.list.slots[5].walkable, 0);

  // A step that changed nothing is not kept.
  BeginStep(h, doc, canvas, "Nothing");
  EXPECT_FALSE(EndStep(h));
  EXPECT_EQ(UndoName(h), "Preset");
}

TEST_F(HistoryTest, StepsWithOneMergeKeyJoinUntilSavedOrUndone) {
  auto type = [&](int value, uint64_t key) {
    BeginShapeStep(h, doc, canvas, 0, "Position X of Shape 0", key);
    doc.list.slots[0].offsetX = value;
    return EndStep(h);
  };
  EXPECT_TRUE(type(1, 5));
  EXPECT_TRUE(type(12, 5));
  EXPECT_TRUE(type(123, 5));
  EXPECT_EQ(UndoCount(h), 1u);
  EXPECT_EQ(h.steps.back().changes.size(), 1u);
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(doc.list.slots[0].offsetX, 0);
  ASSERT_TRUE(Redo(h, doc, canvas));
  EXPECT_EQ(doc.list.slots[0].offsetX, 123);

  // After a save the typing starts a new step, so undo can reach the saved value.
  MarkSaved(h);
  EXPECT_TRUE(type(7, 5));
  EXPECT_EQ(UndoCount(h), 2u);
  // Another key is another step; after an undo nothing joins what was undone.
  EXPECT_TRUE(type(8, 6));
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_TRUE(type(9, 6));
  EXPECT_EQ(UndoCount(h), 3u);
  EXPECT_EQ(RedoCount(h), 0u);
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(doc.list.slots[0].offsetX, 7);
}

TEST_F(HistoryTest, StepsBegunInsideAnOpenStepArePartOfIt) {
  BeginStep(h, doc, canvas, "Outer");
  doc.list.slots[1].gettable = 1;
  BeginShapeStep(h, doc, canvas, 3, "Inner", 9);
  doc.list.slots[3].gettable = 1;
  EXPECT_FALSE(EndStep(h));
  doc.list.slots[5].gettable = 1;
  ASSERT_TRUE(EndStep(h));
  EXPECT_EQ(UndoCount(h), 1u);
  ASSERT_TRUE(Undo(h, doc, canvas));
  for (int i : {1, 3, 5}) EXPECT_EQ(doc.list.slots[static_cast<size_t>(i)].gettable, 0) << i;
}

TEST_F(HistoryTest, ModifiedIsClearExactlyAtTheSavedState) {
  auto paint = [&](uint8_t colour) {
    Paint(5, 250, colour);
    ASSERT_TRUE(Step("Pencil"));
  };
  paint(1);  // state 1
  EXPECT_EQ(doc.state.modified, kModified);
  ASSERT_TRUE(Undo(h, doc, canvas));  // state 0, as opened
  EXPECT_EQ(doc.state.modified, kUnmodified);
  ASSERT_TRUE(Redo(h, doc, canvas));
  EXPECT_EQ(doc.state.modified, kModified);
  MarkSaved(h);  // saved at state 1
  doc.state.modified = kUnmodified;
  paint(2);  // state 2
  EXPECT_EQ(doc.state.modified, kModified);
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(doc.state.modified, kUnmodified);
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(doc.state.modified, kModified);  // before the save
  ASSERT_TRUE(Redo(h, doc, canvas));
  EXPECT_EQ(doc.state.modified, kUnmodified);
  ASSERT_TRUE(Undo(h, doc, canvas));
  // A new step from state 0 drops the saved state for good.
  paint(3);
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(doc.state.modified, kModified);
  ASSERT_TRUE(Redo(h, doc, canvas));
  EXPECT_EQ(doc.state.modified, kModified);

  // A document restored from a copy was never saved as it is.
  ResetHistory(h, canvas, false);
  paint(4);
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(doc.state.modified, kModified);
}

TEST_F(HistoryTest, ThreeStepsTwoUndosThenANewStepDropsTheOneThatCouldBeRedone) {
  EXPECT_FALSE(Undo(h, doc, canvas));  // nothing before the first step
  EXPECT_FALSE(Redo(h, doc, canvas));
  for (uint8_t n : {1, 2, 3}) {
    Paint(9, 200, n);
    ASSERT_TRUE(Step("Pencil"));
  }
  ASSERT_TRUE(Undo(h, doc, canvas));
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(canvas.At(9, 200), 1);
  ASSERT_TRUE(Redo(h, doc, canvas));
  EXPECT_EQ(canvas.At(9, 200), 2);
  Paint(9, 200, 4);
  ASSERT_TRUE(Step("Pencil"));
  EXPECT_FALSE(CanRedo(h));
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(canvas.At(9, 200), 2);
  ASSERT_TRUE(Undo(h, doc, canvas));
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(canvas.At(9, 200), 0);
  EXPECT_FALSE(Undo(h, doc, canvas));
  EXPECT_EQ(h.bytes, StepsBytes());
}

TEST_F(HistoryTest, ResetForgetsTheDocumentBefore) {
  Paint(3, 3, 3);
  ASSERT_TRUE(Step("Pencil"));
  Open(4);
  EXPECT_FALSE(CanUndo(h));
  EXPECT_FALSE(CanRedo(h));
  EXPECT_EQ(h.bytes, 0u);
  EXPECT_EQ(UndoName(h), "");
}

TEST_F(HistoryTest, OverTheBudgetTheOldestStepsGo) {
  // Each step a 16 x 16 rectangle: about 256 bytes of pixels.
  h.budget = 4096;
  for (int i = 0; i < 40; ++i) {
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) Paint(x + i % 16 * 16, y + i / 16 * 16, static_cast<uint8_t>(i + 1));
    ASSERT_TRUE(Step("Pencil"));
    EXPECT_LE(h.bytes, h.budget);
    EXPECT_EQ(h.bytes, StepsBytes());
  }
  const size_t kept = UndoCount(h);
  EXPECT_GT(kept, 3u);
  EXPECT_LT(kept, 40u);
  // Undoing everything kept reaches the state after the last step dropped,
  // not the one the document was opened with: that one is no longer the
  // saved state anyone can reach.
  while (Undo(h, doc, canvas)) {
  }
  const int firstKept = 40 - static_cast<int>(kept);
  EXPECT_EQ(canvas.At((firstKept - 1) % 16 * 16, (firstKept - 1) / 16 * 16), firstKept);
  EXPECT_EQ(canvas.At(firstKept % 16 * 16, firstKept / 16 * 16), 0);
  EXPECT_EQ(doc.state.modified, kModified);
  while (Redo(h, doc, canvas)) {
  }

  // A step larger than the whole budget is still taken, alone.
  for (uint8_t& p : canvas.pixels) p = static_cast<uint8_t>(p + 1);
  ASSERT_TRUE(Step("Forecolor To Backcolor"));
  EXPECT_EQ(UndoCount(h), 1u);
  EXPECT_GT(h.bytes, h.budget);
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(canvas.At(0, 0), 1);
}

TEST_F(HistoryTest, InsertionsAndRemovalsStopAtTheListsCapacity) {
  Open(kShapeListCapacity - 1);
  BeginStep(h, doc, canvas, "Add");
  InsertShapes(h, doc.list, 0, std::vector<Shape>(3));
  ASSERT_TRUE(EndStep(h));
  EXPECT_EQ(doc.list.count, kShapeListCapacity);
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(doc.list.count, kShapeListCapacity - 1);
  EXPECT_EQ(doc.list.slots[0].offsetX, 0);
  // Out of the document: nothing happens.
  RemoveShapes(h, doc.list, kShapeListCapacity - 2, 2);
  MoveShapes(h, doc.list, 0, 2, kShapeListCapacity - 2);
  ReplaceShapes(h, doc.list, -1, std::vector<Shape>(1));
  EXPECT_EQ(doc.list.count, kShapeListCapacity - 1);
  EXPECT_EQ(doc.list.slots[1].offsetX, 1);
}

}  // namespace
