// The document's change count, which the recovery journal reads instead of
// the document's bytes: every operation that changes the document moves it
// on, and nothing else does, or a tick would write copies for nothing (or,
// worse, keep an old copy of changed work).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/recovery.h"
#include "editor_fixture.h"
#include "properties/positioning_dialogs.h"
#include "properties/properties_window.h"

using namespace qshe;
using platform::Answer;
using qshe::testing::EditorFixture;

namespace {

struct ChangeCountTest : EditorFixture {
  platform::HeadlessDialogs& dlg = hp.dialogs;
  std::string path = dir.File("count.qsh");

  void SetUp() override { ASSERT_TRUE(Start()); }
  void Dot(int column, int row) {
    OnMouseDown(e, 184 + column, 263 - row, 1, false);
    OnMouseUp(e, 184 + column, 263 - row, 1);
  }
  uint64_t Count() const { return e.doc.changeCount; }

  struct Operation {
    std::string name;
    std::function<void()> run;
  };
  void ExpectEachCounts(const std::vector<Operation>& operations) {
    for (const Operation& op : operations) {
      const uint64_t before = Count();
      op.run();
      EXPECT_GT(Count(), before) << op.name << " changed the document but not its count";
    }
  }
  void ExpectNoneCounts(const std::vector<Operation>& operations) {
    for (const Operation& op : operations) {
      const uint64_t before = Count();
      op.run();
      EXPECT_EQ(Count(), before) << op.name << " changed nothing but counted";
    }
  }
};

}  // namespace

TEST_F(ChangeCountTest, EveryOperationThatChangesTheDocumentCountsIt) {
  ExpectEachCounts({
      {"a pencil dot", [&] { Dot(3, 250); }},
      {"another dot, committed by the timer",
       [&] {
         Dot(9, 240);
         OnTimer(e, kCommitTimer);
       }},
      {"Undo", [&] { OnCommand(e, kCmdUndo); }},
      {"Redo", [&] { OnCommand(e, kCmdRedo); }},
      {"Flip Vertical", [&] { OnCommand(e, kCmdFlipVertical); }},
      {"Remove Shape",
       [&] {
         hp.answers = {Answer::Yes};
         OnCommand(e, kCmdRemoveShape);
       }},
      {"a properties box",
       [&] {
         OnCommand(e, kCmdShapeProperties);
         dlg.Type(kPropertiesDialog, kPropOffsetX, "12");
       }},
      {"the QBJ switch", [&] { dlg.Click(kPropertiesDialog, kPropQbjFlag); }},
      {"the QS2 switch", [&] { dlg.Click(kPropertiesDialog, kPropQs2Flag); }},
      {"a drag in Shape position",
       [&] {
         OnCommand(e, kCmdShapePosition);
         dlg.Press(kShapePositionDialog, kPreviewSurface, 50, 50);
         dlg.Drag(kShapePositionDialog, kPreviewSurface, 60, 50);
         dlg.Release(kShapePositionDialog, kPreviewSurface, 60, 50);
       }},
      {"Default QS2 Numbering",
       [&] {
         hp.answers = {Answer::Yes};
         OnCommand(e, kCmdDefaultQs2Numbering);
       }},
      {"Save As (a name, nothing unsaved)",
       [&] {
         hp.fileNames = {path};
         hp.answers = {Answer::Yes};  // QS2 question, if asked
         OnCommand(e, kCmdSaveAs);
         ASSERT_EQ(e.doc.state.modified, kUnmodified);
       }},
      {"New", [&] { OnCommand(e, kCmdNew); }},
      {"Open",
       [&] {
         hp.fileNames = {e.doc.state.documentPath.empty() ? path : e.doc.state.documentPath};
         OnCommand(e, kCmdOpen);
       }},
  });
}

TEST_F(ChangeCountTest, LookingMovingAndSavingWhatIsSavedCountNothing) {
  Dot(3, 250);
  OnTimer(e, kCommitTimer);
  hp.fileNames = {path};
  OnCommand(e, kCmdSaveAs);
  ASSERT_EQ(e.doc.state.modified, kUnmodified);
  ExpectNoneCounts({
      {"the commit timer with nothing painted", [&] { OnTimer(e, kCommitTimer); }},
      {"the next and the previous shape",
       [&] {
         OnCommand(e, kCmdNextShape);
         OnCommand(e, kCmdPreviousShape);
       }},
      {"zoom", [&] {
         OnCommand(e, kCmdZoomIn);
         OnCommand(e, kCmdZoomOut);
       }},
      {"another tool and colour set",
       [&] {
         OnCommand(e, kCmdEraser);
         OnCommand(e, kCmdQuorvaneColors);
         OnCommand(e, kCmdPencil);
       }},
      {"Select All and Copy then put down", [&] {
         OnCommand(e, kCmdSelectAll);
         OnCommand(e, kCmdCopy);
         OnCommand(e, kCmdPencil);
       }},
      {"Redo with nothing to redo", [&] { OnCommand(e, kCmdRedo); }},
      {"a recovery tick", [&] { OnTimer(e, kRecoveryTimer); }},
      {"Save with nothing unsaved", [&] { OnCommand(e, kCmdSave); }},
      {"the properties window opened, a box typed with its own value",
       [&] {
         OnCommand(e, kCmdShapeProperties);
         dlg.Type(kPropertiesDialog, kPropOffsetX, dlg.Item(kPropertiesDialog, kPropOffsetX).text);
       }},
  });
}

TEST_F(ChangeCountTest, TheCountNeverGoesBackSoAnOldCopyIsNeverTakenForANewState) {
  Dot(3, 250);
  const uint64_t painted = Count();
  OnCommand(e, kCmdUndo);
  OnCommand(e, kCmdRedo);
  // The same pixels as after the dot, but a later state: counted anew.
  EXPECT_GT(Count(), painted);
  const uint64_t before = Count();
  hp.answers = {Answer::No};
  OnCommand(e, kCmdNew);
  EXPECT_GT(Count(), before);
}
