// The history in the running editor: the Edit menu's Undo and Redo, the
// steps the commands and dialogs record, the saved state that Exit asks
// about, and the budget from the settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/command_table.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "app/recovery.h"
#include "document/history.h"
#include "editor_fixture.h"
#include "interchange/import_dialogs.h"
#include "properties/positioning_dialogs.h"
#include "properties/properties_window.h"

using namespace qshe;
using platform::Answer;
using qshe::testing::EditorFixture;
namespace fs = std::filesystem;

namespace {

const fs::path kAppData = fs::path(QSHE_TESTS_DIR) / "app" / "data";

struct HistoryCommandsTest : EditorFixture {
  platform::HeadlessDialogs& dlg = hp.dialogs;

  void SetUp() override { ASSERT_TRUE(Start()); }
  // One pencil dot at canvas pixel (column, row), unmagnified.
  void Dot(int column, int row) {
    OnMouseDown(e, 184 + column, 263 - row, 1, false);
    OnMouseUp(e, 184 + column, 263 - row, 1);
  }
  Shape& S(int i) { return e.doc.list.slots[static_cast<size_t>(i)]; }
  bool Enabled(int id) { return hp.menuEnabled.at(id); }
  std::string Tip(int id) { return hp.menuTips.at(id); }
  // Exit with the answer to the unsaved-changes question; true when it was asked.
  bool ExitAsks() {
    const size_t before = hp.messages.size();
    hp.answers = {Answer::Cancel};
    OnCommand(e, kCmdExit);
    return hp.messages.size() > before;
  }
};

TEST_F(HistoryCommandsTest, UndoAndRedoAreGreyedUntilThereIsAStepAndNameIt) {
  EXPECT_FALSE(Enabled(kCmdUndo));
  EXPECT_FALSE(Enabled(kCmdRedo));
  EXPECT_EQ(Tip(kCmdUndo), "Nothing to undo");
  Dot(3, 250);
  EXPECT_TRUE(Enabled(kCmdUndo));
  EXPECT_EQ(Tip(kCmdUndo), "Undo Pencil");
  OnCommand(e, kCmdNextShape);
  hp.answers = {Answer::Yes};
  OnCommand(e, kCmdRemoveShape);
  EXPECT_EQ(Tip(kCmdUndo), "Undo Remove Shape 1");
  OnCommand(e, kCmdUndo);
  EXPECT_TRUE(Enabled(kCmdRedo));
  EXPECT_EQ(Tip(kCmdRedo), "Redo Remove Shape 1");
  EXPECT_EQ(Tip(kCmdUndo), "Undo Pencil");
  OnCommand(e, 40208);  // Ctrl+Shift+Z
  EXPECT_EQ(e.doc.list.count, 19);
  EXPECT_FALSE(Enabled(kCmdRedo));
  EXPECT_EQ(Tip(kCmdRedo), "Nothing to redo");
}

TEST_F(HistoryCommandsTest, ExitAsksExactlyWhenTheDocumentDiffersFromItsFile) {
  hp.fileNames = {dir.File("saved.qsh")};
  OnCommand(e, kCmdSaveAs);
  EXPECT_FALSE(ExitAsks());
  hp.quitCode.reset();
  Dot(1, 255);
  EXPECT_TRUE(ExitAsks());
  OnCommand(e, kCmdUndo);  // back to the file
  EXPECT_EQ(e.doc.state.modified, kUnmodified);
  EXPECT_FALSE(ExitAsks());
  hp.quitCode.reset();
  OnCommand(e, kCmdRedo);
  EXPECT_TRUE(ExitAsks());
  OnCommand(e, kCmdSave);
  OnCommand(e, kCmdUndo);  // now the older state is the one not saved
  EXPECT_TRUE(ExitAsks());

  // A stroke still under way is a change too.
  OnCommand(e, kCmdRedo);
  OnMouseDown(e, 184 + 9, 263 - 250, 1, false);
  EXPECT_TRUE(ExitAsks());
  EXPECT_EQ(UndoName(e.history), "Pencil");
}

TEST_F(HistoryCommandsTest, UndoOfRemoveShapeBringsTheShapeBackWithItsPaintingAndShowsIt) {
  OnCommand(e, kCmdForward8);
  Dot(2, 254);  // not yet committed
  hp.answers = {Answer::Yes};
  OnCommand(e, kCmdRemoveShape);
  EXPECT_EQ(e.doc.list.count, 19);
  EXPECT_EQ(e.canvas.At(2, 254), 0);
  OnCommand(e, kCmdPreviousShape);
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.doc.list.count, 20);
  EXPECT_EQ(e.doc.list.current, 8);
  EXPECT_EQ(e.canvas.At(2, 254), e.colors.foreColor);
  EXPECT_EQ(hp.surface.texts.back().text, "Shape 8 / 19");
  // The stroke before it is the next undo.
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.canvas.At(2, 254), 0);
  EXPECT_FALSE(Enabled(kCmdUndo));
}

TEST_F(HistoryCommandsTest, AnImportOfManyPicturesIsOneStep) {
  fs::create_directories(dir.File("many"));
  for (int i = 0; i < 40; ++i) fs::copy_file(kAppData / "im_pic24.bmp", dir.File("many/p" + std::to_string(100 + i) + ".bmp"));
  OnCommand(e, kCmdNextShape);
  Dot(0, 255);
  OnCommand(e, kCmdImportMultiple);
  dlg.Type(kImportFilesDialog, kFilesPattern, dir.File("many/*.bmp"));
  dlg.Choose(kImportFilesDialog, kFilesPlacement, 2);  // before the current shape
  dlg.Click(kImportFilesDialog, kFilesImport);
  EXPECT_EQ(e.doc.list.count, 60);
  EXPECT_EQ(e.doc.list.current, 1);  // the first picture
  EXPECT_EQ(S(1).width, 9);
  EXPECT_EQ(UndoCount(e.history), 2u);
  EXPECT_EQ(UndoName(e.history), "Import Pictures");
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.doc.list.count, 20);
  EXPECT_EQ(e.canvas.At(0, 255), e.colors.foreColor);  // shape 1 with its dot
  OnCommand(e, kCmdRedo);
  EXPECT_EQ(e.doc.list.count, 60);
  EXPECT_EQ(S(41).pixels[0], e.colors.foreColor);
}

TEST_F(HistoryCommandsTest, EachPropertiesBoxOfEachShapeIsOneStepAndItsDigitsJoin) {
  OnCommand(e, kCmdShapeProperties);
  dlg.Type(kPropertiesDialog, kPropOffsetX, "1");
  dlg.Type(kPropertiesDialog, kPropOffsetX, "12");
  dlg.Type(kPropertiesDialog, kPropOffsetX, "-12");
  EXPECT_EQ(UndoCount(e.history), 1u);
  EXPECT_EQ(UndoName(e.history), "Position X of Shape 0");
  dlg.Type(kPropertiesDialog, kPropOffsetY, "7");
  OnCommand(e, kCmdNextShape);
  dlg.Type(kPropertiesDialog, kPropOffsetX, "3");
  dlg.Click(kPropertiesDialog, kPropQbjFlag);
  dlg.Click(kPropertiesDialog, kPropSittable);
  EXPECT_EQ(UndoCount(e.history), 5u);
  EXPECT_EQ(UndoName(e.history), "Sittable of Shape 1");

  OnCommand(e, kCmdUndo);
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(S(1).sittable, 0);
  EXPECT_EQ(e.doc.state.qbjFlag, 0);
  EXPECT_FALSE(dlg.Item(kPropertiesDialog, kPropQbjFlag).checked);
  OnCommand(e, kCmdUndo);
  OnCommand(e, kCmdUndo);  // on shape 0: it is shown again
  EXPECT_EQ(e.doc.list.current, 0);
  EXPECT_EQ(dlg.Find(kPropertiesDialog)->title, "Shape 0 properties");
  EXPECT_EQ(S(0).offsetY, 0);
  EXPECT_EQ(dlg.Item(kPropertiesDialog, kPropOffsetX).text, "-12");
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(S(0).offsetX, 0);
  EXPECT_EQ(dlg.Item(kPropertiesDialog, kPropOffsetX).text, "0");
  EXPECT_EQ(e.doc.state.modified, kUnmodified);
}

TEST_F(HistoryCommandsTest, OneDragInAPositioningWindowIsOneStep) {
  OnCommand(e, kCmdShapePosition);
  dlg.Press(kShapePositionDialog, kPreviewSurface, 50, 50);
  for (int x = 52; x <= 70; x += 2) dlg.Drag(kShapePositionDialog, kPreviewSurface, x, 50);
  dlg.Release(kShapePositionDialog, kPreviewSurface, 70, 50);
  EXPECT_EQ(S(0).offsetX, 20);
  dlg.Press(kShapePositionDialog, kPreviewSurface, 70, 50);
  dlg.Drag(kShapePositionDialog, kPreviewSurface, 75, 50);
  dlg.Release(kShapePositionDialog, kPreviewSurface, 75, 50);
  EXPECT_EQ(UndoCount(e.history), 2u);
  EXPECT_EQ(UndoName(e.history), "Position of Shape 0");
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(S(0).offsetX, 20);
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(S(0).offsetX, 0);
}

TEST_F(HistoryCommandsTest, UndoDuringAStrokeTakesBackThatStroke) {
  Dot(5, 250);
  OnMouseDown(e, 184 + 20, 263 - 240, 1, false);
  OnMouseMove(e, 184 + 30, 263 - 240, false);
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.canvas.At(25, 240), 0);
  EXPECT_EQ(e.canvas.At(5, 250), e.colors.foreColor);
  EXPECT_EQ(e.tools.dragTool, -1);
  OnMouseMove(e, 184 + 40, 263 - 240, false);  // the rest of that drag paints nothing
  OnMouseUp(e, 184 + 40, 263 - 240, 1);
  EXPECT_EQ(e.canvas.At(35, 240), 0);
  EXPECT_EQ(RedoName(e.history), "Pencil");
}

TEST_F(HistoryCommandsTest, NewAndOpenStartTheHistoryEmpty) {
  const std::string path = dir.File("doc.qsh");
  hp.fileNames = {path};
  OnCommand(e, kCmdSaveAs);
  Dot(1, 1);
  hp.answers = {Answer::No};
  OnCommand(e, kCmdNew);
  EXPECT_FALSE(CanUndo(e.history));
  EXPECT_FALSE(Enabled(kCmdUndo));
  Dot(1, 1);
  hp.answers = {Answer::No};
  hp.fileNames = {path};
  OnCommand(e, kCmdOpen);
  EXPECT_FALSE(CanUndo(e.history));
  EXPECT_EQ(e.history.bytes, 0u);
  // Moving between shapes keeps it.
  Dot(1, 1);
  OnCommand(e, kCmdNextShape);
  EXPECT_TRUE(CanUndo(e.history));
}

TEST_F(HistoryCommandsTest, TheBudgetComesFromTheSettings) {
  auto& values = hp.settingsKeys[{platform::SettingsRoot::CurrentUser, kEditorSettingsKey}];
  EXPECT_EQ(HistoryBudget(hp), kDefaultHistoryBudget);
  for (auto [text, budget] : {std::pair{"3", size_t{3} << 20}, {"1024", size_t{1} << 30}, {"0", kDefaultHistoryBudget},
                              {"-5", kDefaultHistoryBudget}, {"lots", kDefaultHistoryBudget},
                              {"12MB", kDefaultHistoryBudget}, {"99999999999999", kDefaultHistoryBudget}}) {
    values[kHistoryBudgetValue] = text;
    EXPECT_EQ(HistoryBudget(hp), budget) << text;
  }
  values[kHistoryBudgetValue] = "1";
  platform::HeadlessPlatform other;
  other.settingsKeys = hp.settingsKeys;
  Editor second(other.desktop());
  ASSERT_TRUE(StartEditor(second, dir.path().string() + "/", {}));
  EXPECT_EQ(second.history.budget, size_t{1} << 20);
  // Every stroke a quarter of the canvas: the oldest go, the newest stay.
  for (int i = 0; i < 40; ++i) {
    second.colors.foreColor = static_cast<uint8_t>(10 + i);
    OnCommand(second, kCmdBucket);
    OnMouseDown(second, 184 + 5, 263 - 5, 1, false);
    OnMouseUp(second, 184 + 5, 263 - 5, 1);
  }
  EXPECT_LT(UndoCount(second.history), 40u);
  EXPECT_LE(second.history.bytes, size_t{1} << 20);
}

// A copy of unsaved work left by another editor, restored at the start.
TEST_F(HistoryCommandsTest, ARestoredCopyStartsAHistoryWithNoSavedStateInIt) {
  const std::string folder = dir.File("recovery");
  const std::string file = dir.File("work.qsh");
  hp.fileNames = {file};
  OnCommand(e, kCmdSaveAs);
  {
    platform::HeadlessPlatform p;
    Editor left(p.desktop());
    left.recovery.folder = folder;
    left.recovery.pid = 900000003;
    ASSERT_TRUE(StartEditor(left, dir.path().string() + "/", {file}));
    OnMouseDown(left, 184 + 4, 263 - 255, 1, false);
    OnMouseUp(left, 184 + 4, 263 - 255, 1);
    OnFocusLost(left);
    CollectRecoveryCopy(left, true);
  }
  platform::HeadlessPlatform p;
  p.answers = {Answer::Yes};
  Editor restored(p.desktop());
  restored.recovery.folder = folder;
  restored.recovery.pid = 900000004;
  ASSERT_TRUE(StartEditor(restored, dir.path().string() + "/", {file}));
  ASSERT_EQ(restored.doc.state.modified, kModified);
  EXPECT_FALSE(CanUndo(restored.history));
  OnMouseDown(restored, 184 + 6, 263 - 255, 1, false);
  OnMouseUp(restored, 184 + 6, 263 - 255, 1);
  OnCommand(restored, kCmdUndo);
  EXPECT_EQ(restored.doc.state.modified, kModified);  // the restored work is still unsaved
  DiscardRecovery(restored);
}

}  // namespace
