// The Shapes window in the running editor, on the scripted desktop.
#include <filesystem>

#include "app/command_table.h"
#include "app/commands.h"
#include "app/dialog_routing.h"
#include "app/history_commands.h"
#include "app/shape_browser.h"
#include "document/document_commands.h"
#include "editor_fixture.h"

namespace qshe::testing {
namespace {

using platform::Answer;
using platform::ViewKey;

struct ShapesWindowTest : EditorFixture {
  platform::HeadlessDialogs& dlg = hp.dialogs;

  // A document of `count` 4 x 4 shapes, shape i filled with colour 20 + i %
  // 200 and i in offsetX, shape 0 current, nothing to undo.
  void Document(int count) {
    ShapeList& list = e.doc.list;
    list.count = count;
    for (int i = 0; i < count; ++i) {
      Shape& s = list.slots[static_cast<size_t>(i)];
      AllocateShape(s, 4, 4);
      std::fill_n(s.pixels.get(), 16, static_cast<uint8_t>(20 + i % 200));
      s.offsetX = i % 100;
      s.replacement = i;
    }
    ShowShape(e.doc, e.canvas, 0, false, 0);
    ResetHistory(e.history, e.canvas, true);
    e.doc.state.modified = kUnmodified;
  }
  void Open() {
    RunCommand(e, 40303);  // V
    ASSERT_TRUE(dlg.DialogVisible(kShapesDialog));
  }
  platform::HeadlessScrollView& View() { return *dlg.View(kShapesDialog, kShapesView); }
  // The middle of cell `index` in view pixels.
  std::pair<int, int> Centre(int index) {
    const platform::Rect c = CellRect(e.browser.view.layout, index);
    return {(c.x1 + c.x2) / 2, (c.y1 + c.y2) / 2 - e.browser.view.scrollY};
  }
  void ClickCell(int index, int modifiers = 0, int button = 1) {
    auto [x, y] = Centre(index);
    dlg.PressWith(kShapesDialog, kShapesView, x, y, button, modifiers);
    dlg.Release(kShapesDialog, kShapesView, x, y, button);
  }
  int Id(int index) const { return e.doc.list.slots[static_cast<size_t>(index)].offsetX; }
  const std::vector<int32_t>& Selected() const { return e.browser.selection.indices; }
};

TEST_F(ShapesWindowTest, OpensFromTheViewMenuAndShowsEveryShapeWithItsNumber) {
  ASSERT_TRUE(Start());
  Document(40);
  RunCommand(e, kCmdShapesWindow);
  ASSERT_TRUE(dlg.DialogVisible(kShapesDialog));
  EXPECT_EQ(dlg.Find(kShapesDialog)->title, "Shapes");
  EXPECT_EQ(e.browser.view.layout.count, 40);
  EXPECT_EQ(View().contentHeight, ContentHeight(e.browser.view.layout));
  // Shape 3's colour shows in its cell, at scale 4 in the middle of its square.
  const platform::Rect t = ThumbRect(e.browser.view.layout, 3);
  EXPECT_EQ(View().surface().Pixel((t.x1 + t.x2) / 2, (t.y1 + t.y2) / 2), PaletteColor(23));
  // The menu and the key both lead here; help and the menu name it.
  EXPECT_EQ(MenuIdFor(40303), kCmdShapesWindow);
  EXPECT_EQ(MenuIdFor(40304), kCmdDuplicateShape);
  EXPECT_TRUE(CommandAvailable(kCmdShapesWindow));
}

TEST_F(ShapesWindowTest, AClickMakesTheShapeCurrentAfterCommittingThePainting) {
  ASSERT_TRUE(Start());
  Document(10);
  Open();
  // Painting on shape 0 that the timer has not committed yet.
  e.canvas.At(0, 255) = 99;
  e.window.canvasChanged = 1;
  ClickCell(6);
  EXPECT_EQ(e.doc.list.current, 6);
  EXPECT_EQ(e.doc.list.slots[0].pixels[static_cast<size_t>(3 * 4)], 99);  // top row, first pixel
  EXPECT_EQ(Selected(), (std::vector<int32_t>{6}));
  // The painting is a step of its own.
  EXPECT_TRUE(CanUndo(e.history));
  // A click beside the grid does nothing.
  dlg.PressWith(kShapesDialog, kShapesView, 5, 420, 1, 0);
  EXPECT_EQ(e.doc.list.current, 6);
}

TEST_F(ShapesWindowTest, ShiftAndCtrlClicksSelectSeveralAndDuplicateCopiesThemAsOneStep) {
  ASSERT_TRUE(Start());
  Document(10);
  Open();
  ClickCell(2);
  ClickCell(4, platform::kShiftKey);
  ClickCell(8, platform::kCtrlKey);
  EXPECT_EQ(Selected(), (std::vector<int32_t>{2, 3, 4, 8}));
  EXPECT_EQ(BrowserSelectedShapes(e), (std::vector<int32_t>{2, 3, 4, 8}));
  RunCommand(e, 40304);  // Ctrl+D
  EXPECT_EQ(e.doc.list.count, 14);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Id(9 + i), std::vector<int>({2, 3, 4, 8})[static_cast<size_t>(i)]);
  EXPECT_EQ(Id(13), 9);
  EXPECT_EQ(Selected(), (std::vector<int32_t>{9, 10, 11, 12}));
  EXPECT_EQ(e.doc.list.current, 12);  // the copy of shape 8, current before
  EXPECT_EQ(UndoName(e.history), "Duplicate 4 Shapes");
  EXPECT_EQ(e.doc.state.modified, kModified);
  RunCommand(e, kCmdUndo);
  EXPECT_EQ(e.doc.list.count, 10);
  EXPECT_EQ(e.browser.view.layout.count, 10);  // the window followed
}

TEST_F(ShapesWindowTest, TheAnimationPlaysTheSelectedShapesAndOneSelectedIsNoRange) {
  ASSERT_TRUE(Start());
  Document(20);
  Open();
  ClickCell(12);
  ClickCell(15, platform::kShiftKey);
  RunCommand(e, kCmdAnimation);
  EXPECT_EQ(e.animation.player.range, (AnimationRange{12, 15}));
  ClickCell(3);  // one shape: the current one and the seven after it
  RunCommand(e, kCmdAnimation);
  EXPECT_EQ(e.animation.player.range, (AnimationRange{3, 10}));
}

TEST_F(ShapesWindowTest, DuplicateAtTheLimitSaysSoAndChangesNothing) {
  ASSERT_TRUE(Start());
  Document(kShapeListCapacity);
  Open();
  RunCommand(e, kCmdDuplicateShape);
  EXPECT_EQ(e.doc.list.count, kShapeListCapacity);
  ASSERT_FALSE(hp.messages.empty());
  EXPECT_NE(hp.messages.back().text.find("limited to 5000"), std::string::npos);
  EXPECT_FALSE(CanUndo(e.history));
  // Without the window Ctrl+D duplicates the current shape.
  dlg.Close(kShapesDialog);
  Document(3);
  RunCommand(e, kCmdNextShape);
  RunCommand(e, kCmdDuplicateShape);
  EXPECT_EQ(e.doc.list.count, 4);
  EXPECT_EQ(Id(2), 1);
  EXPECT_EQ(e.doc.list.current, 2);
}

TEST_F(ShapesWindowTest, DraggingSelectedShapesMovesThemAsOneStep) {
  ASSERT_TRUE(Start());
  Document(12);
  Open();
  ClickCell(1);
  ClickCell(2, platform::kShiftKey);
  // Drag shape 1 (with 2) to the right half of cell 6: the gap after it.
  auto [x, y] = Centre(1);
  dlg.PressWith(kShapesDialog, kShapesView, x, y, 1, 0);
  const platform::Rect c6 = CellRect(e.browser.view.layout, 6);
  dlg.Drag(kShapesDialog, kShapesView, c6.x2 - 3, c6.y1 + 10);
  EXPECT_TRUE(e.browser.dragging);
  EXPECT_EQ(e.browser.dropGap, 7);
  dlg.Release(kShapesDialog, kShapesView, c6.x2 - 3, c6.y1 + 10);
  std::vector<int> order;
  for (int i = 0; i < 12; ++i) order.push_back(Id(i));
  EXPECT_EQ(order, (std::vector<int>{0, 3, 4, 5, 6, 1, 2, 7, 8, 9, 10, 11}));
  EXPECT_EQ(Selected(), (std::vector<int32_t>{5, 6}));
  EXPECT_EQ(Id(e.doc.list.current), 1);
  EXPECT_EQ(UndoName(e.history), "Move 2 Shapes");
  EXPECT_EQ(UndoCount(e.history), 1u);
  RunCommand(e, kCmdUndo);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(Id(i), i);
  // A drag back onto its own place changes nothing.
  ClickCell(4);
  auto [x4, y4] = Centre(4);
  dlg.PressWith(kShapesDialog, kShapesView, x4, y4, 1, 0);
  dlg.Drag(kShapesDialog, kShapesView, x4 + 20, y4);
  dlg.Release(kShapesDialog, kShapesView, x4 + 20, y4);
  EXPECT_EQ(Id(4), 4);
  EXPECT_EQ(RedoCount(e.history), 1u);  // nothing new was recorded
}

TEST_F(ShapesWindowTest, APlainClickOnASelectedShapeKeepsTheSelectionForADragUntilRelease) {
  ASSERT_TRUE(Start());
  Document(10);
  Open();
  ClickCell(3);
  ClickCell(5, platform::kShiftKey);
  auto [x, y] = Centre(4);
  dlg.PressWith(kShapesDialog, kShapesView, x, y, 1, 0);
  EXPECT_EQ(Selected(), (std::vector<int32_t>{3, 4, 5}));
  dlg.Release(kShapesDialog, kShapesView, x, y, 1);
  EXPECT_EQ(Selected(), (std::vector<int32_t>{4}));
}

TEST_F(ShapesWindowTest, DeleteRemovesTheSelectedShapesAfterOneQuestion) {
  ASSERT_TRUE(Start());
  Document(10);
  Open();
  ClickCell(3);
  ClickCell(5, platform::kShiftKey);
  hp.answers.push_back(Answer::No);
  dlg.Key(kShapesDialog, kShapesView, ViewKey::Delete);
  EXPECT_EQ(e.doc.list.count, 10);
  EXPECT_EQ(hp.messages.back().text, "Permanently remove the 3 selected shapes?");
  hp.answers.push_back(Answer::Yes);
  dlg.Key(kShapesDialog, kShapesView, ViewKey::Delete);
  EXPECT_EQ(e.doc.list.count, 7);
  EXPECT_EQ(Id(3), 6);
  EXPECT_EQ(e.doc.list.current, 3);
  EXPECT_EQ(UndoName(e.history), "Remove 3 Shapes");
  // Edit > Remove Shape takes the selection too.
  ClickCell(0);
  ClickCell(1, platform::kCtrlKey);
  hp.answers.push_back(Answer::Yes);
  RunCommand(e, kCmdRemoveShape);
  EXPECT_EQ(e.doc.list.count, 5);
  RunCommand(e, kCmdUndo);
  RunCommand(e, kCmdUndo);
  EXPECT_EQ(e.doc.list.count, 10);
}

TEST_F(ShapesWindowTest, KeysMoveTheCurrentShapeAndKeepItInSight) {
  ASSERT_TRUE(Start());
  Document(500);
  Open();
  const int columns = e.browser.view.layout.columns;
  dlg.Key(kShapesDialog, kShapesView, ViewKey::Right);
  EXPECT_EQ(e.doc.list.current, 1);
  dlg.Key(kShapesDialog, kShapesView, ViewKey::Down);
  EXPECT_EQ(e.doc.list.current, 1 + columns);
  dlg.Key(kShapesDialog, kShapesView, ViewKey::Down, platform::kShiftKey);
  EXPECT_EQ(Selected().size(), static_cast<size_t>(columns + 1));
  dlg.Key(kShapesDialog, kShapesView, ViewKey::End);
  EXPECT_EQ(e.doc.list.current, 499);
  EXPECT_EQ(View().scrollY, MaxScroll(e.browser.view.layout));
  EXPECT_EQ(e.browser.view.shown.last, 499);
  dlg.Key(kShapesDialog, kShapesView, ViewKey::Home);
  EXPECT_EQ(e.doc.list.current, 0);
  EXPECT_EQ(View().scrollY, 0);
  dlg.Key(kShapesDialog, kShapesView, ViewKey::Left);  // stays at the first
  EXPECT_EQ(e.doc.list.current, 0);
  dlg.Key(kShapesDialog, kShapesView, ViewKey::Enter);
  EXPECT_EQ(dlg.ownerActivations, 1);
  // Another shape shown from the main window comes into sight.
  RunCommand(e, kCmdPreviousShape);
  EXPECT_EQ(e.doc.list.current, 499);
  EXPECT_EQ(Selected(), (std::vector<int32_t>{499}));
  EXPECT_EQ(View().scrollY, MaxScroll(e.browser.view.layout));
  dlg.Key(kShapesDialog, kShapesView, ViewKey::SelectAll);
  EXPECT_EQ(Selected().size(), 500u);
}

TEST_F(ShapesWindowTest, TheWindowFollowsTheCommitUndoResizeAndNew) {
  ASSERT_TRUE(Start());
  Document(30);
  Open();
  // Painting reaches its cell at the commit, and only that cell is drawn.
  const uint64_t before = e.browser.view.cellsDrawn;
  e.canvas.At(1, 255) = 77;
  e.window.canvasChanged = 1;
  OnTimer(e, kCommitTimer);
  EXPECT_EQ(e.browser.view.cellsDrawn, before + 1);
  // A resize and a scale change lay the grid out again.
  dlg.ResizeView(kShapesDialog, kShapesView, 600, 300, 2);
  EXPECT_EQ(e.browser.view.layout.scale, 2);
  EXPECT_EQ(e.browser.view.layout.columns, 600 / 144);
  // The scroll bar moves the view.
  dlg.ScrollBy(kShapesDialog, kShapesView, 200);
  EXPECT_EQ(e.browser.view.scrollY, 200);
  // New: the grid shows the new document's 20 empty shapes (the painting is not saved).
  hp.answers.push_back(Answer::No);
  RunCommand(e, kCmdNew);
  EXPECT_EQ(e.doc.list.count, 20);
  EXPECT_EQ(e.browser.view.layout.count, e.doc.list.count);
  EXPECT_EQ(e.browser.view.scrollY, 0);
}

TEST_F(ShapesWindowTest, TheReplacementNumberShowsWithTheQs2Switch) {
  ASSERT_TRUE(Start());
  Document(5);
  Open();
  const uint64_t before = e.browser.view.cellsDrawn;
  BeginEditorStep(e, "QS2 Properties");
  e.doc.state.qs2Flag = 1;
  EndEditorStep(e);
  // Every cell gains its number on the right.
  EXPECT_EQ(e.browser.view.cellsDrawn, before + 5);
}

TEST_F(ShapesWindowTest, ExportSelectedWritesOnePicturePerShapeNamedAfterTheFile) {
  ASSERT_TRUE(Start());
  Document(6);
  ClearShape(e.doc.list.slots[4]);
  e.doc.state.documentPath = "/somewhere/ITEMS.QSH";
  Open();
  ClickCell(3);
  ClickCell(5, platform::kShiftKey);
  const std::string folder = dir.path().string() + "/out";
  std::filesystem::create_directory(folder);
  hp.fileNames.push_back(folder + "/ITEMS_3.png");
  RunCommand(e, kCmdExportSelected);
  EXPECT_TRUE(std::filesystem::exists(folder + "/ITEMS_3.png"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/ITEMS_5.png"));
  EXPECT_FALSE(std::filesystem::exists(folder + "/ITEMS_4.png"));  // empty: left out, and said
  EXPECT_NE(hp.messages.back().text.find("1 shape is empty"), std::string::npos);
  const std::vector<uint8_t> png = ReadBytes(folder + "/ITEMS_3.png");
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png[1], 'P');
  // Again, as bitmaps: existing files are asked about once; No writes nothing.
  hp.fileNames.push_back(folder + "/x.png");
  hp.answers.push_back(Answer::No);
  const auto stamp = std::filesystem::last_write_time(folder + "/ITEMS_3.png");
  RunCommand(e, kCmdExportSelected);
  EXPECT_NE(hp.messages.back().text.find("2 files of the export already exist"), std::string::npos);
  EXPECT_EQ(std::filesystem::last_write_time(folder + "/ITEMS_3.png"), stamp);
  hp.fileNames.push_back(folder + "/x.bmp");
  RunCommand(e, kCmdExportSelected);
  EXPECT_EQ(ReadBytes(folder + "/ITEMS_5.bmp")[0], 'B');
}

TEST_F(ShapesWindowTest, TheRightButtonMenuDuplicatesRemovesAndCopies) {
  ASSERT_TRUE(Start());
  Document(6);
  Open();
  View().menuAnswers = {1};  // Duplicate Shape
  ClickCell(2, 0, 2);
  ASSERT_EQ(View().menusShown.size(), 1u);
  EXPECT_EQ(View().menusShown[0][0].label, "&Duplicate Shape");
  EXPECT_EQ(e.doc.list.count, 7);
  EXPECT_EQ(Id(3), 2);
  View().menuAnswers = {4};  // Copy
  ClickCell(0, 0, 2);
  EXPECT_EQ(e.doc.list.current, 0);
  EXPECT_FALSE(hp.clipboard.bitmap.empty());
  EXPECT_FALSE(hp.clipboard.indices.empty());
  View().menuAnswers = {2};  // Remove
  hp.answers.push_back(Answer::Yes);
  ClickCell(0, 0, 2);
  EXPECT_EQ(e.doc.list.count, 6);
  EXPECT_EQ(Id(0), 1);
}

TEST_F(ShapesWindowTest, ClosingHidesTheWindowAndListOperationsThenActOnTheCurrentShape) {
  ASSERT_TRUE(Start());
  Document(6);
  Open();
  ClickCell(1);
  ClickCell(3, platform::kShiftKey);
  dlg.Close(kShapesDialog);
  EXPECT_FALSE(dlg.DialogVisible(kShapesDialog));
  EXPECT_EQ(TargetShapes(e), (std::vector<int32_t>{e.doc.list.current}));
  // Open again: the window shows the document as it is now.
  RunCommand(e, kCmdNextShape);
  ShowModelessDialog(e, kShapesDialog);
  EXPECT_TRUE(dlg.DialogVisible(kShapesDialog));
  EXPECT_TRUE(IsSelected(e.browser.selection, e.doc.list.current));
}

}  // namespace
}  // namespace qshe::testing
