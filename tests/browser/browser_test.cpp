#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "browser/browser.h"
#include "browser/browser_view.h"
#include "document/history.h"

namespace qshe {
namespace {

// A list of `count` shapes, each 2 x 1 with its number in offsetX, its
// pixels and its replacement, so a test can tell where every shape went.
void FillList(ShapeList& list, int count) {
  list.count = count;
  for (int i = 0; i < count; ++i) {
    Shape& s = list.slots[static_cast<size_t>(i)];
    AllocateShape(s, 2, 1);
    s.pixels[0] = static_cast<uint8_t>(10 + i % 200);
    s.pixels[1] = static_cast<uint8_t>(i / 200 + 1);
    s.offsetX = i;
    s.replacement = 1000 + i;
  }
}

std::vector<int> Order(const ShapeList& list) {
  std::vector<int> order;
  for (int i = 0; i < list.count; ++i) order.push_back(list.slots[static_cast<size_t>(i)].offsetX);
  return order;
}

// ----- layout and hit-testing ---------------------------------------------------

TEST(BrowserLayout, CellsGrowWithTheWindowScaleAndColumnsFollowTheWidth) {
  for (int scale = 1; scale <= 4; ++scale) {
    const BrowserLayout l = MakeBrowserLayout(100, 400 * scale, 300 * scale, scale);
    EXPECT_EQ(l.box, kThumbBox * scale);
    EXPECT_EQ(l.cellWidth, (kThumbBox + 2 * kCellPad) * scale);
    EXPECT_EQ(l.cellHeight, (kThumbBox + 2 * kCellPad + kLabelHeight) * scale);
    // 400 / 72 at every scale: five columns.
    EXPECT_EQ(l.columns, 5) << scale;
    EXPECT_EQ(ContentHeight(l), 20 * l.cellHeight);
  }
  // Scales outside 1..4 are taken as the nearest; a view narrower than one
  // cell still has one column.
  EXPECT_EQ(MakeBrowserLayout(10, 100, 100, 9).scale, 4);
  EXPECT_EQ(MakeBrowserLayout(10, 100, 100, 0).scale, 1);
  EXPECT_EQ(MakeBrowserLayout(10, 10, 100, 2).columns, 1);
}

TEST(BrowserLayout, EveryPointOfACellHitsItAtEveryScale) {
  for (int scale = 1; scale <= 4; ++scale) {
    const BrowserLayout l = MakeBrowserLayout(23, 5 * 72 * scale + 7, 200, scale);
    for (int index : {0, 4, 5, 17, 22}) {
      const platform::Rect c = CellRect(l, index);
      EXPECT_EQ(CellAt(l, c.x1, c.y1), index);
      EXPECT_EQ(CellAt(l, c.x2, c.y2), index);
      EXPECT_EQ(CellAt(l, (c.x1 + c.x2) / 2, (c.y1 + c.y2) / 2), index);
      const platform::Rect t = ThumbRect(l, index);
      EXPECT_EQ(t.width(), kThumbBox * scale);
      EXPECT_GE(t.x1, c.x1);
      EXPECT_LE(t.y2, c.y2);
    }
    // Past the last shape, right of the last column, above the grid: nothing.
    const platform::Rect last = CellRect(l, 22);
    EXPECT_EQ(CellAt(l, last.x2 + 1, last.y1), -1);
    EXPECT_EQ(CellAt(l, 5 * l.cellWidth + 2, 0), -1);
    EXPECT_EQ(CellAt(l, -1, 5), -1);
    EXPECT_EQ(CellAt(l, 5, -1), -1);
  }
}

TEST(BrowserLayout, GapsLieBetweenCellsAndAtBothEnds) {
  for (int scale = 1; scale <= 4; ++scale) {
    const BrowserLayout l = MakeBrowserLayout(12, 5 * 72 * scale, 300, scale);
    const platform::Rect c = CellRect(l, 7);
    EXPECT_EQ(GapAt(l, c.x1 + 1, c.y1 + 3), 7);  // left half: before it
    EXPECT_EQ(GapAt(l, c.x2 - 1, c.y1 + 3), 8);  // right half: after it
    EXPECT_EQ(GapAt(l, 0, -10), 0);
    EXPECT_EQ(GapAt(l, 0, 0), 0);
    // Right of the last cell of a row: after it.
    EXPECT_EQ(GapAt(l, 5 * l.cellWidth + 40, 1), 5);
    // Below the grid or past the last shape: the end.
    EXPECT_EQ(GapAt(l, 0, 10 * l.cellHeight), 12);
    const platform::Rect last = CellRect(l, 11);
    EXPECT_EQ(GapAt(l, last.x2 + l.cellWidth, last.y1), 12);
  }
}

TEST(BrowserLayout, TheViewShowsTheRowsItCoversAndScrollsToACell) {
  const BrowserLayout l = MakeBrowserLayout(5000, 5 * 72, 400, 1);
  const int h = l.cellHeight;
  CellRange r = CellsInView(l, 0);
  EXPECT_EQ(r.first, 0);
  EXPECT_EQ(r.last, (400 + h - 1) / h * 5 - 1);
  r = CellsInView(l, h + 1);
  EXPECT_EQ(r.first, 5);
  EXPECT_EQ(MaxScroll(l), 1000 * h - 400);
  EXPECT_EQ(CellsInView(l, MaxScroll(l)).last, 4999);
  EXPECT_EQ(ClampScroll(l, 1 << 30), MaxScroll(l));
  EXPECT_EQ(ClampScroll(l, -5), 0);
  // A cell below the view comes up to its bottom edge, one above to its top.
  EXPECT_EQ(ScrollToShow(l, 0, 4999), MaxScroll(l));
  EXPECT_EQ(ScrollToShow(l, MaxScroll(l), 0), 0);
  const int mid = ScrollToShow(l, 0, 500);
  EXPECT_EQ(mid + 400 - 1, CellRect(l, 500).y2);
  EXPECT_EQ(ScrollToShow(l, mid, 500), mid);  // already shown: stays
  // Fewer shapes than fill the view: nothing to scroll.
  EXPECT_EQ(MaxScroll(MakeBrowserLayout(3, 5 * 72, 400, 1)), 0);
  EXPECT_LT(CellsInView(MakeBrowserLayout(0, 360, 400, 1), 0).last, 0);
}

// ----- thumbnails ---------------------------------------------------------------

TEST(BrowserThumbnail, TheLargestWholeScaleThatFitsAndNeverMoreThanFour) {
  EXPECT_EQ(FitThumbnail(64, 64, 64).scale, 1);
  EXPECT_EQ(FitThumbnail(32, 20, 64).scale, 2);
  EXPECT_EQ(FitThumbnail(33, 10, 64).scale, 1);
  EXPECT_EQ(FitThumbnail(1, 1, 64).scale, 4);
  EXPECT_EQ(FitThumbnail(64, 64, 192).scale, 3);
  const ThumbFit big = FitThumbnail(255, 100, 64);
  EXPECT_EQ(big.scale, 1);
  EXPECT_EQ(big.step, 4);
  EXPECT_LE(big.width, 64);
  EXPECT_LE(big.height, 64);
  EXPECT_LE(FitThumbnail(255, 255, 128).width, 128);
  EXPECT_EQ(FitThumbnail(0, 5, 64).width, 0);
}

TEST(BrowserThumbnail, PixelsShowAsWholeBlocksOverTheBackground) {
  BrowserImage image{40, 40, std::vector<uint8_t>(1600, 0)};
  Shape s;
  AllocateShape(s, 2, 2);
  // Bottom row first: bottom-left 0 (transparent), bottom-right 21, top 30, 31.
  s.pixels[0] = 0;
  s.pixels[1] = 21;
  s.pixels[2] = 30;
  s.pixels[3] = 31;
  ThumbBackground bg;
  bg.plain = 95;
  DrawThumbnail(image, {0, 15, 0, 15}, s, bg, 1);
  // 2 x 2 at scale 4 is 8 x 8, centred in the 16 x 16 square from (4, 4).
  EXPECT_EQ(image.At(4, 4), 30);
  EXPECT_EQ(image.At(7, 7), 30);
  EXPECT_EQ(image.At(8, 4), 31);
  EXPECT_EQ(image.At(11, 11), 21);
  EXPECT_EQ(image.At(4, 8), 95);  // transparent pixel: the background
  EXPECT_EQ(image.At(3, 3), 95);
  EXPECT_EQ(image.At(16, 16), 0);  // outside the square: untouched
  // A checkerboard background follows the window scale.
  bg.checker = true;
  bg.light = 173;
  bg.dark = 89;
  ClearShape(s);
  DrawThumbnail(image, {0, 31, 0, 31}, s, bg, 2);
  EXPECT_EQ(image.At(0, 0), 173);
  EXPECT_EQ(image.At(15, 15), 173);
  EXPECT_EQ(image.At(16, 0), 89);
}

TEST(BrowserThumbnail, ALargeShapeIsSampledWithoutLeavingItsSquare) {
  BrowserImage image{80, 80, std::vector<uint8_t>(6400, 0)};
  Shape s;
  AllocateShape(s, 255, 255);
  std::fill_n(s.pixels.get(), 255 * 255, uint8_t{40});
  DrawThumbnail(image, {8, 71, 8, 71}, s, ThumbBackground{false, 95, 0, 0, 8}, 1);
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 80; ++x) {
      const bool inside = x >= 8 && x <= 71 && y >= 8 && y <= 71;
      if (!inside) {
        EXPECT_EQ(image.At(x, y), 0) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(image.At(40, 40), 40);
}

TEST(BrowserThumbnail, NumbersAreDrawnAndClipped) {
  BrowserImage image{40, 10, std::vector<uint8_t>(400, 0)};
  DrawLabel(image, 0, 0, "18", 5, 1, {0, 39, 0, 9});
  // "1": the top row has its one pixel in column 2.
  EXPECT_EQ(image.At(2, 0), 5);
  EXPECT_EQ(image.At(0, 0), 0);
  EXPECT_EQ(LabelWidth("18", 1), 11);
  EXPECT_EQ(LabelWidth("18", 3), 33);
  BrowserImage small{6, 10, std::vector<uint8_t>(60, 0)};
  DrawLabel(small, 0, 0, "88888", 5, 2, {0, 3, 0, 9});  // clip: columns 0..3 only
  for (int y = 0; y < 10; ++y) {
    EXPECT_EQ(small.At(4, y), 0);
    EXPECT_EQ(small.At(5, y), 0);
  }
}

// ----- selection ------------------------------------------------------------------

TEST(BrowserSelection, ClickShiftAndCtrlSelectAsInAFileManager) {
  BrowserSelection s;
  ClickSelect(s, 5, kSelectPlain);
  EXPECT_EQ(s.indices, (std::vector<int32_t>{5}));
  ClickSelect(s, 8, kSelectShift);
  EXPECT_EQ(s.indices, (std::vector<int32_t>{5, 6, 7, 8}));
  // Shift again measures from the same anchor, and backwards.
  ClickSelect(s, 3, kSelectShift);
  EXPECT_EQ(s.indices, (std::vector<int32_t>{3, 4, 5}));
  ClickSelect(s, 10, kSelectCtrl);
  EXPECT_EQ(s.indices, (std::vector<int32_t>{3, 4, 5, 10}));
  ClickSelect(s, 4, kSelectCtrl);
  EXPECT_EQ(s.indices, (std::vector<int32_t>{3, 5, 10}));
  // Ctrl+Shift adds the run from the new anchor (4) and keeps the rest.
  ClickSelect(s, 7, kSelectShift | kSelectCtrl);
  EXPECT_EQ(s.indices, (std::vector<int32_t>{3, 4, 5, 6, 7, 10}));
  ClickSelect(s, 2, kSelectPlain);
  EXPECT_EQ(s.indices, (std::vector<int32_t>{2}));
}

TEST(BrowserSelection, KeptInsideTheListAndAlwaysHoldingTheCurrentShape) {
  BrowserSelection s{{2, 3, 9}, 2};
  KeepSelection(s, 10, 3);
  EXPECT_EQ(s.indices, (std::vector<int32_t>{2, 3, 9}));
  KeepSelection(s, 5, 3);  // shapes went away
  EXPECT_EQ(s.indices, (std::vector<int32_t>{2, 3}));
  KeepSelection(s, 5, 4);  // another window made 4 current
  EXPECT_EQ(s.indices, (std::vector<int32_t>{4}));
  EXPECT_EQ(s.anchor, 4);
}

// ----- reorder ------------------------------------------------------------------------

struct MoveCase {
  int count;
  std::vector<int32_t> selected;
  int gap;
};

// Expected order by the definition: the others before the gap, the
// selected in order, the others after it.
std::vector<int> Expected(const MoveCase& c) {
  std::vector<int> order;
  auto chosen = [&](int i) { return std::find(c.selected.begin(), c.selected.end(), i) != c.selected.end(); };
  for (int i = 0; i < c.gap; ++i) if (!chosen(i)) order.push_back(i);
  for (int i : c.selected) order.push_back(i);
  for (int i = c.gap; i < c.count; ++i) if (!chosen(i)) order.push_back(i);
  return order;
}

TEST(BrowserReorder, RunsMoveForwardsBackwardsToTheEndsAndOverTheirOwnPlace) {
  const std::vector<MoveCase> cases = {
      {10, {2}, 7},           {10, {7}, 2},          {10, {2, 3, 4}, 9},   {10, {6, 7, 8}, 1},
      {10, {0}, 10},          {10, {9}, 0},          {10, {0, 1}, 10},     {10, {8, 9}, 0},
      {10, {3, 4, 5}, 4},     {10, {3, 4, 5}, 6},    {10, {3, 4, 5}, 3},   {10, {1, 4, 8}, 5},
      {10, {1, 2, 6, 7}, 4},  {10, {0, 2, 4, 6, 8}, 3}, {10, {1, 5, 6, 9}, 0}, {10, {0, 3, 4, 9}, 10},
      {10, {2, 3, 7}, 3},     {1, {0}, 0},           {1, {0}, 1},          {12, {4, 5, 6, 7}, 6},
  };
  for (const MoveCase& c : cases) {
    ShapeList list;
    FillList(list, c.count);
    Canvas canvas;
    History h;
    ResetHistory(h, canvas, true);
    const std::vector<int32_t> p = MoveShapesToGap(h, list, c.selected, c.gap);
    EXPECT_EQ(Order(list), Expected(c)) << "gap " << c.gap;
    // The permutation tells where each went.
    for (int i = 0; i < c.count; ++i) {
      EXPECT_EQ(list.slots[static_cast<size_t>(p[static_cast<size_t>(i)])].offsetX, i);
    }
    // Pixels and replacement numbers went with them.
    for (int i = 0; i < c.count; ++i) {
      const Shape& s = list.slots[static_cast<size_t>(i)];
      EXPECT_EQ(s.replacement, 1000 + s.offsetX);
      EXPECT_EQ(s.pixels[0], 10 + s.offsetX % 200);
    }
    std::vector<int> identity(static_cast<size_t>(c.count));
    std::iota(identity.begin(), identity.end(), 0);
    EXPECT_EQ(MoveChangesOrder(c.count, c.selected, c.gap), Expected(c) != identity);
  }
}

TEST(BrowserReorder, OneMoveIsOneStepThatUndoTakesBack) {
  Document doc;
  FillList(doc.list, 20);
  Canvas canvas;
  History h;
  ResetHistory(h, canvas, true);
  const std::vector<int32_t> selected = {1, 2, 3, 10, 15};
  BeginStep(h, doc, canvas, "Move 5 Shapes");
  MoveShapesToGap(h, doc.list, selected, 12);
  EndStep(h);
  EXPECT_EQ(UndoCount(h), 1u);
  EXPECT_EQ(UndoName(h), "Move 5 Shapes");
  const std::vector<int> moved = Order(doc.list);
  ASSERT_TRUE(Undo(h, doc, canvas));
  std::vector<int> original(20);
  std::iota(original.begin(), original.end(), 0);
  EXPECT_EQ(Order(doc.list), original);
  ASSERT_TRUE(Redo(h, doc, canvas));
  EXPECT_EQ(Order(doc.list), moved);
}

TEST(BrowserReorder, AFullListOfFiveThousandReordersLastToFirst) {
  ShapeList list;
  FillList(list, kShapeListCapacity);
  History h;
  const std::vector<int32_t> selected = {4997, 4998, 4999};
  MoveShapesToGap(h, list, selected, 0);
  EXPECT_EQ(list.slots[0].offsetX, 4997);
  EXPECT_EQ(list.slots[2].offsetX, 4999);
  EXPECT_EQ(list.slots[3].offsetX, 0);
  EXPECT_EQ(list.slots[4999].offsetX, 4996);
  EXPECT_EQ(list.count, kShapeListCapacity);
}

// ----- duplicate and remove ----------------------------------------------------------

TEST(BrowserDuplicate, CopiesGoAfterTheLastSelectedWithAllTheirFields) {
  Document doc;
  FillList(doc.list, 10);
  doc.list.slots[6].gettable = 1;
  doc.list.slots[6].tavrelX = -3;
  Canvas canvas;
  History h;
  ResetHistory(h, canvas, true);
  BeginStep(h, doc, canvas, "Duplicate 2 Shapes");
  const std::optional<int32_t> at = DuplicateShapes(h, doc.list, std::vector<int32_t>{2, 6});
  EndStep(h);
  ASSERT_TRUE(at);
  EXPECT_EQ(*at, 7);
  EXPECT_EQ(doc.list.count, 12);
  EXPECT_EQ(Order(doc.list), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 2, 6, 7, 8, 9}));
  const Shape& copy = doc.list.slots[8];
  EXPECT_EQ(copy.gettable, 1);
  EXPECT_EQ(copy.tavrelX, -3);
  EXPECT_EQ(copy.replacement, 1006);
  // A copy, not the same block.
  EXPECT_NE(copy.pixels.get(), doc.list.slots[6].pixels.get());
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(doc.list.count, 10);
}

TEST(BrowserDuplicate, StopsAtTheFiveThousandLimitWithoutChangingAnything) {
  ShapeList list;
  FillList(list, kShapeListCapacity - 1);
  History h;
  // One more fits: the list is then full.
  ASSERT_TRUE(DuplicateShapes(h, list, std::vector<int32_t>{4998}));
  EXPECT_EQ(list.count, kShapeListCapacity);
  EXPECT_EQ(list.slots[4999].offsetX, 4998);
  // Nothing more does, neither one nor several.
  EXPECT_FALSE(DuplicateShapes(h, list, std::vector<int32_t>{0}));
  ShapeList almost;
  FillList(almost, kShapeListCapacity - 2);
  EXPECT_FALSE(DuplicateShapes(h, almost, std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(almost.count, kShapeListCapacity - 2);
  EXPECT_EQ(Order(almost)[1], 1);
  EXPECT_FALSE(DuplicateShapes(h, almost, std::vector<int32_t>{}));
}

TEST(BrowserRemove, SelectedRunsGoAndTheNextShapeBecomesCurrent) {
  Document doc;
  FillList(doc.list, 10);
  doc.list.current = 3;
  Canvas canvas;
  History h;
  ResetHistory(h, canvas, true);
  BeginStep(h, doc, canvas, "Remove 4 Shapes");
  EXPECT_EQ(RemoveSelectedShapes(h, doc.list, std::vector<int32_t>{3, 4, 7, 9}), 4);
  EndStep(h);
  EXPECT_EQ(Order(doc.list), (std::vector<int>{0, 1, 2, 5, 6, 8}));
  EXPECT_EQ(doc.list.current, 3);  // shape 5, now at 3
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(doc.list.count, 10);
  EXPECT_EQ(Order(doc.list)[9], 9);
}

TEST(BrowserRemove, AllShapesOfAFullListLeaveOneEmptyShape) {
  Document doc;
  FillList(doc.list, kShapeListCapacity);
  std::vector<int32_t> all(kShapeListCapacity);
  std::iota(all.begin(), all.end(), 0);
  Canvas canvas;
  History h;
  ResetHistory(h, canvas, true);
  BeginStep(h, doc, canvas, "Remove 5000 Shapes");
  RemoveSelectedShapes(h, doc.list, all);
  EndStep(h);
  EXPECT_EQ(doc.list.count, 1);
  EXPECT_FALSE(doc.list.slots[0].HasPixels());
  EXPECT_EQ(doc.list.current, 0);
  ASSERT_TRUE(Undo(h, doc, canvas));
  EXPECT_EQ(doc.list.count, kShapeListCapacity);
  EXPECT_EQ(doc.list.slots[4999].offsetX, 4999);
  // The last shape of a full list, which leaves the current index past the end.
  doc.list.current = 4999;
  RemoveSelectedShapes(h, doc.list, std::vector<int32_t>{4999});
  EXPECT_EQ(doc.list.current, 4998);
}

// ----- export names -----------------------------------------------------------------

TEST(BrowserExport, NamesAreTheDocumentNameAndTheShapeNumber) {
  EXPECT_EQ(ExportName(DocumentStem("/home/m/art/ITEM2.QSH"), 17, "png"), "ITEM2_17.png");
  EXPECT_EQ(ExportName(DocumentStem("C:\\game\\floors.qs2"), 0, "bmp"), "floors_0.bmp");
  EXPECT_EQ(ExportName(DocumentStem(""), 4999, "png"), "shapes_4999.png");
  EXPECT_EQ(DocumentStem("/a.b/noext"), "noext");
  EXPECT_EQ(DocumentStem("/x/.hidden"), ".hidden");
  EXPECT_EQ(DocumentStem("my.shapes.qsh"), "my.shapes");
}

// ----- the picture --------------------------------------------------------------------

struct ViewFixture {
  ShapeList list;
  BrowserSelection selection;
  BrowserView view;
  BrowserScene Scene() {
    BrowserScene s;
    s.shapes = std::span<const Shape>(list.slots.data(), static_cast<size_t>(list.count));
    s.current = list.current;
    s.selection = &selection;
    s.background = ThumbBackground{false, 95, 0, 0, 8};
    return s;
  }
};

TEST(BrowserPicture, AChangeToOneShapeRedrawsOneCell) {
  ViewFixture f;
  FillList(f.list, 5000);
  f.selection.indices = {0};
  SetBrowserGeometry(f.view, 5000, 5 * 72, 400, 1, 0);
  auto changed = UpdateBrowserView(f.view, f.Scene());
  ASSERT_EQ(changed.size(), 1u);  // everything
  const uint64_t first = f.view.cellsDrawn;
  EXPECT_EQ(first, static_cast<uint64_t>(CellsInView(f.view.layout, 0).last + 1));
  // Nothing changed: nothing drawn.
  EXPECT_TRUE(UpdateBrowserView(f.view, f.Scene()).empty());
  f.list.slots[7].pixels[0] = 99;
  changed = UpdateBrowserView(f.view, f.Scene());
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0], CellRect(f.view.layout, 7));
  EXPECT_EQ(f.view.cellsDrawn, first + 1);
  // A shape out of view changes nothing on screen.
  f.list.slots[4000].pixels[0] = 99;
  EXPECT_TRUE(UpdateBrowserView(f.view, f.Scene()).empty());
  // Another current shape: the two cells whose frames change.
  f.list.current = 2;
  f.selection.indices = {2};
  EXPECT_EQ(UpdateBrowserView(f.view, f.Scene()).size(), 2u);
}

TEST(BrowserPicture, CurrentSelectedAndDropMarksShowInTheirCells) {
  ViewFixture f;
  FillList(f.list, 12);
  f.list.current = 1;
  f.selection.indices = {1, 2};
  SetBrowserGeometry(f.view, 12, 5 * 72 * 2, 400, 2, 0);
  BrowserScene scene = f.Scene();
  UpdateBrowserView(f.view, scene);
  const BrowserLayout& l = f.view.layout;
  const platform::Rect t1 = ThumbRect(l, 1), t2 = ThumbRect(l, 2), t0 = ThumbRect(l, 0);
  EXPECT_EQ(f.view.image.At(t1.x1 - 1, t1.y1 - 1), kBrowserCurrentColor);
  EXPECT_EQ(f.view.image.At(t2.x1 - 1, t2.y1 - 1), kBrowserSelectedColor);
  EXPECT_EQ(f.view.image.At(t0.x1 - 1, t0.y1 - 1), kBrowserWindowColor);
  scene.dropGap = 3;
  ASSERT_EQ(UpdateBrowserView(f.view, scene).size(), 1u);
  const platform::Rect c3 = CellRect(l, 3);
  EXPECT_EQ(f.view.image.At(c3.x1, c3.y1 + 5), kBrowserDropColor);
  scene.dropGap = 12;  // the end: the last cell's right edge
  EXPECT_EQ(UpdateBrowserView(f.view, scene).size(), 2u);
  const platform::Rect c11 = CellRect(l, 11);
  EXPECT_EQ(f.view.image.At(c11.x2, c11.y1 + 5), kBrowserDropColor);
}

TEST(BrowserPicture, MemoryFollowsTheViewNotTheDocument) {
  ViewFixture f;
  f.list.count = kShapeListCapacity;
  // Large shapes where the view goes; what it never shows needs no pixels.
  for (int i = 0; i < kShapeListCapacity; ++i) {
    if (i >= 300 && i < 4700) continue;
    Shape& s = f.list.slots[static_cast<size_t>(i)];
    AllocateShape(s, 255, 255);
    std::fill_n(s.pixels.get(), 255 * 255, uint8_t{30});
  }
  SetBrowserGeometry(f.view, kShapeListCapacity, 1200, 1000, 1, 0);
  UpdateBrowserView(f.view, f.Scene());
  SetBrowserGeometry(f.view, kShapeListCapacity, 1200, 1000, 1, 1 << 30);
  UpdateBrowserView(f.view, f.Scene());
  EXPECT_LT(BrowserMemory(f.view), size_t{2} << 20);
  EXPECT_EQ(f.view.shown.last, 4999);
}

}  // namespace
}  // namespace qshe
