// The drawing tools driven through the main window's mouse, key and command
// events, as the window system delivers them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/command_table.h"
#include "app/commands.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "editor_fixture.h"

using namespace qshe;
using platform::Answer;
using platform::Cursor;
using qshe::testing::EditorFixture;

namespace {

using ToolsTest = EditorFixture;

// Window point of canvas pixel (column, row) at zoom 0 with origin (0, 0).
int WindowX(int column) { return 184 + column; }
int WindowY(int row) { return 263 - row; }

struct Stroke {
  Editor& e;
  int button = 1;
  bool ctrl = false;
  void Press(int column, int row) { OnMouseDown(e, WindowX(column), WindowY(row), button, ctrl); }
  void Move(int column, int row) { OnMouseMove(e, WindowX(column), WindowY(row), ctrl); }
  void Release(int column, int row) { OnMouseUp(e, WindowX(column), WindowY(row), button); }
};

TEST_F(ToolsTest, PencilStrokePaintsAndItsReleaseIsOneUndoStep) {
  ASSERT_TRUE(Start());
  Stroke s{e};
  s.Press(0, 0);  // window (184, 263): the bottom-left pixel
  EXPECT_EQ(e.canvas.At(0, 0), e.colors.foreColor);
  EXPECT_EQ(e.window.canvasChanged, 1);
  EXPECT_EQ(hp.cursor(), Cursor::Pencil);
  s.Move(10, 5);
  s.Move(10, 5);  // no new pixel, nothing to do
  // A line to the new point: one pixel in every column, no gaps.
  EXPECT_EQ(std::count(e.canvas.pixels.begin(), e.canvas.pixels.end(), e.colors.foreColor), 11);
  EXPECT_EQ(e.canvas.At(10, 5), e.colors.foreColor);
  EXPECT_NE(e.doc.state.modified, kModified);
  EXPECT_EQ(UndoCount(e.history), 0u);
  s.Release(10, 5);
  EXPECT_EQ(e.doc.state.modified, kModified);
  EXPECT_EQ(UndoCount(e.history), 1u);
  EXPECT_EQ(e.tools.dragTool, -1);

  // The right button paints BackColor; a move after the release paints nothing.
  Stroke right{e, 2};
  right.Press(50, 50);
  right.Release(50, 50);
  EXPECT_EQ(e.canvas.At(50, 50), e.colors.backColor);
  s.Move(60, 60);
  EXPECT_EQ(e.canvas.At(60, 60), 0);
  EXPECT_EQ(UndoCount(e.history), 2u);

  // Undo through its three keys and redo through both of its own.
  OnCommand(e, 40040);  // Ctrl+Z
  EXPECT_EQ(e.canvas.At(50, 50), 0);
  EXPECT_EQ(e.canvas.At(0, 0), e.colors.foreColor);
  OnCommand(e, 40116);  // U
  EXPECT_EQ(e.canvas.At(0, 0), 0);
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(UndoCount(e.history), 0u);
  OnCommand(e, 40119);  // Ctrl+Y
  OnCommand(e, kCmdRedo);
  EXPECT_EQ(e.canvas.At(50, 50), e.colors.backColor);
  EXPECT_TRUE(hp.menuEnabled.at(kCmdUndo));
  EXPECT_FALSE(hp.menuEnabled.at(kCmdRedo));  // nothing more to redo

  // Another shape keeps the history: the undo goes back to shape 0 and takes
  // the last stroke there.
  OnCommand(e, kCmdNextShape);
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.doc.list.current, 0);
  EXPECT_EQ(UndoCount(e.history), 1u);
  EXPECT_EQ(e.canvas.At(50, 50), 0);
  EXPECT_EQ(e.canvas.At(10, 5), e.colors.foreColor);
}

TEST_F(ToolsTest, EraserAndBucketAreStrokesToo) {
  ASSERT_TRUE(Start());
  for (int y = 0; y < 256; ++y) e.canvas.At(40, y) = 3;  // a wall
  OnCommand(e, kCmdBucket);
  Stroke s{e};
  s.Press(10, 10);
  EXPECT_EQ(e.window.canvasChanged, 1);
  s.Move(100, 100);  // the bucket does not follow the mouse
  s.Release(100, 100);
  EXPECT_EQ(e.canvas.At(0, 255), e.colors.foreColor);
  EXPECT_EQ(e.canvas.At(39, 0), e.colors.foreColor);
  EXPECT_EQ(e.canvas.At(41, 0), 0);
  EXPECT_EQ(UndoCount(e.history), 1u);

  // A fill with the colour already there changes nothing: no step, and
  // nothing unsaved.
  e.doc.state.modified = kUnmodified;
  s.Press(10, 10);
  s.Release(10, 10);
  EXPECT_EQ(UndoCount(e.history), 1u);
  EXPECT_EQ(e.doc.state.modified, kUnmodified);

  OnCommand(e, kCmdEraser);
  OnCommand(e, kCmdChangePencilSize);  // 2 x 2
  s.Press(39, 100);
  s.Release(39, 100);
  for (auto [x, y] : {std::pair{39, 100}, {40, 100}, {39, 99}, {40, 99}}) EXPECT_EQ(e.canvas.At(x, y), 0);
  EXPECT_EQ(e.canvas.At(40, 101), 3);
  EXPECT_EQ(hp.cursor(), Cursor::Eraser);
}

TEST_F(ToolsTest, CtrlPicksColoursWithoutChangingTheTool) {
  ASSERT_TRUE(Start());
  e.canvas.At(20, 30) = 77;
  e.canvas.At(21, 30) = 78;
  OnMouseMove(e, WindowX(20), WindowY(30), false);
  EXPECT_EQ(hp.cursor(), Cursor::Pencil);
  OnCtrlKey(e, true);
  EXPECT_EQ(hp.cursor(), Cursor::Eyedropper);
  Stroke left{e, 1, true};
  left.Press(20, 30);
  EXPECT_EQ(e.colors.foreColor, 77);
  left.Move(21, 30);  // a drag keeps picking
  EXPECT_EQ(e.colors.foreColor, 78);
  left.Release(21, 30);
  Stroke right{e, 2, true};
  right.Press(20, 30);
  right.Release(20, 30);
  EXPECT_EQ(e.colors.backColor, 77);
  OnCtrlKey(e, false);
  EXPECT_EQ(hp.cursor(), Cursor::Pencil);
  EXPECT_EQ(e.tools.currentTool, kPencil);
  EXPECT_EQ(e.canvas.At(20, 30), 77);  // nothing was painted
  EXPECT_EQ(UndoCount(e.history), 0u);
  EXPECT_EQ(e.window.canvasChanged, 0);

  // The eyedropper tool itself; off the canvas it picks transparent.
  OnCommand(e, kCmdEyedropper);
  Stroke pick{e};
  pick.Press(20, 30);
  pick.Move(-1, 30);  // still inside the tool area, one column left of the canvas
  pick.Release(-1, 30);
  EXPECT_EQ(e.colors.foreColor, 0);
}

TEST_F(ToolsTest, AToolFromTheMenuEndsTheDragTheHandPansAndSizeButtonsBringThePencilBack) {
  ASSERT_TRUE(Start());
  Stroke s{e};
  s.Press(5, 5);
  s.Move(8, 5);
  OnCommand(e, kCmdSelect);  // N, with the mouse still down
  EXPECT_EQ(e.tools.dragTool, -1);
  EXPECT_EQ(UndoCount(e.history), 1u);
  EXPECT_EQ(e.doc.state.modified, kModified);
  EXPECT_EQ(hp.cursor(), Cursor::Select);
  // The select tool does nothing to the canvas yet.
  s.Move(20, 5);
  s.Release(20, 5);
  s.Press(30, 30);
  s.Release(30, 30);
  EXPECT_EQ(e.canvas.At(20, 5), 0);
  EXPECT_EQ(e.canvas.At(30, 30), 0);
  EXPECT_EQ(UndoCount(e.history), 1u);

  // The hand pans a magnified view by window moves, on past the canvas.
  OnCommand(e, kCmdHand);
  e.view.zoom = 4;
  OnMouseDown(e, 300, 100, 1, false);
  EXPECT_EQ(hp.cursor(), Cursor::Hand);
  OnMouseMove(e, 308, 100, false);
  EXPECT_EQ(e.view.originX, -2.0);
  OnMouseMove(e, 600, 96, false);
  EXPECT_EQ(e.view.originX, -75.0);
  EXPECT_EQ(e.view.originY, -1.0);
  EXPECT_EQ(hp.cursor(), Cursor::Hand);  // no arrow while dragging
  OnMouseUp(e, 600, 96, 1);
  EXPECT_EQ(UndoCount(e.history), 1u);  // panning is no edit
  OnMouseMove(e, 600, 96, false);
  EXPECT_EQ(hp.cursor(), Cursor::Arrow);

  // A pencil-size button brings the pencil back.
  ClickButton(16);
  EXPECT_EQ(e.tools.currentTool, kPencil);
  EXPECT_EQ(e.tools.pencilSize, 3);
}

TEST_F(ToolsTest, ForecolorToBackcolorMarksTheDocumentOnlyWhenAPixelChangesAndIsAnUndoStep) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(hp.menuEnabled.at(kCmdForeToBack));
  OnCommand(e, kCmdForeToBack);  // nothing of the fore colour: nothing unsaved
  EXPECT_EQ(e.doc.state.modified, kUnmodified);
  e.canvas.At(0, 255) = e.canvas.At(200, 3) = 34;
  e.canvas.At(6, 6) = 12;
  OnCommand(e, kCmdForeToBack);
  EXPECT_EQ(e.canvas.At(0, 255), 58);
  EXPECT_EQ(e.canvas.At(200, 3), 58);
  EXPECT_EQ(e.canvas.At(6, 6), 12);
  EXPECT_EQ(e.window.canvasChanged, 1);
  EXPECT_EQ(e.doc.state.modified, kModified);
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.canvas.At(0, 255), 0);  // back to the state at load time
  OnCommand(e, kCmdRedo);
  EXPECT_EQ(e.canvas.At(0, 255), 58);
}

TEST_F(ToolsTest, TheTimerCommitsOnlyAfterAnEditAndAStrokeReachesTheSavedFile) {
  ASSERT_TRUE(Start());
  e.canvas.At(0, 255) = 7;  // not an edit the window knows of
  OnTimer(e, kCommitTimer);
  EXPECT_FALSE(e.doc.list.slots[0].HasPixels());
  Stroke s{e};
  s.Press(6, 253);
  s.Move(16, 253);
  s.Release(16, 253);
  const uint8_t colour = e.colors.foreColor;
  OnTimer(e, kCommitTimer);
  EXPECT_EQ(e.window.canvasChanged, 0);
  ASSERT_EQ(e.doc.list.slots[0].width, 17);
  EXPECT_EQ(e.doc.list.slots[0].height, 3);

  const std::string path = dir.File("painted.qsh");
  hp.fileNames = {path};
  OnCommand(e, kCmdSaveAs);
  EXPECT_NE(e.doc.state.modified, kModified);
  OnCommand(e, kCmdNew);
  hp.fileNames = {path};
  OnCommand(e, kCmdOpen);
  for (int x : {5, 6, 11, 16, 17}) EXPECT_EQ(e.canvas.At(x, 253), x >= 6 && x <= 16 ? colour : 0) << x;
}

}  // namespace

// Ways a change used to slip past the unsaved-changes question or be dropped.
TEST_F(ToolsTest, EveryChangeReachesTheQuestionAndANoKeepsThePainting) {
  ASSERT_TRUE(Start());
  const std::string path = dir.File("work.qsh");
  Stroke s{e};
  // Paint, save, undo: the undone stroke is a change to save.
  s.Press(1, 1);
  s.Release(1, 1);
  hp.fileNames = {path};
  OnCommand(e, kCmdSave);
  ASSERT_EQ(e.doc.state.modified, kUnmodified);
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.doc.state.modified, kModified);
  EXPECT_EQ(e.window.canvasChanged, 1);
  hp.answers = {Answer::Yes};
  OnCommand(e, kCmdExit);
  EXPECT_EQ(hp.quitCode, 0);
  EXPECT_EQ(hp.messages.back().buttons, platform::Buttons::YesNoCancel);
  hp.quitCode.reset();
  OnCommand(e, kCmdRedo);
  EXPECT_EQ(e.doc.state.modified, kModified);
  OnCommand(e, kCmdSave);
  OnCommand(e, kCmdUndo);
  OnCommand(e, kCmdUndo);  // at the oldest step already: no change
  EXPECT_EQ(e.doc.state.modified, kModified);
  OnCommand(e, kCmdRedo);  // back at the state just saved
  EXPECT_EQ(e.doc.state.modified, kUnmodified);
  s.Press(2, 2);
  s.Release(2, 2);
  EXPECT_EQ(e.doc.state.modified, kModified);

  // A side file that cannot be written: the question stops New as a failed
  // shape file does, and the document stays modified.
  e.doc.state.qbjFlag = 1;
  std::filesystem::create_directory(dir.File("work.qbj"));
  hp.answers = {Answer::Yes};
  OnCommand(e, kCmdNew);
  EXPECT_EQ(e.doc.state.modified, kModified);
  EXPECT_EQ(e.doc.state.documentPath, path);
  std::filesystem::remove(dir.File("work.qbj"));

  // Remove Shape answered No changes nothing, not even the painting the
  // timer has not committed yet.
  s.Press(7, 7);
  s.Release(7, 7);
  hp.answers = {Answer::No};
  OnCommand(e, kCmdRemoveShape);
  EXPECT_EQ(e.canvas.At(7, 7), e.colors.foreColor);
  const int count = e.doc.list.count;
  hp.answers = {Answer::Yes};
  e.doc.state.modified = kUnmodified;
  OnCommand(e, kCmdRemoveShape);
  EXPECT_EQ(e.doc.list.count, count - 1);
  EXPECT_EQ(e.doc.state.modified, kModified);
}

// Magnified with the origin at or past the right edge the view starts again
// at column 0; a click paints the pixel it is on.
TEST_F(ToolsTest, AClickPaintsThePixelShownAlsoPastTheRightEdge) {
  ASSERT_TRUE(Start());
  for (double ox : {256.0, 256.5, 300.0}) {
    e.canvas.pixels.fill(0);
    e.view.zoom = 4;
    e.view.originX = ox;
    e.view.originY = 0;
    // The block of canvas pixel (2, top row 3) at zoom 4.
    const int x = 184 + 2 * 4 + 1, y = 8 + 3 * 4 + 1;
    Click(x, y);
    EXPECT_EQ(e.canvas.At(2, 255 - 3), e.colors.foreColor) << ox;
  }
}

TEST(CommandTable, ExitKeepsItsMnemonicAndTheWallPresetIsAGreyedEntry) {
  std::vector<char> fileKeys;
  for (const auto& pulldown : MainMenu()) {
    if (pulldown.label != "&File") continue;
    for (const auto& item : pulldown.children) {
      auto amp = item.label.find('&');
      if (amp != std::string::npos) fileKeys.push_back(static_cast<char>(std::tolower(item.label[amp + 1])));
    }
  }
  std::sort(fileKeys.begin(), fileKeys.end());
  EXPECT_EQ(std::adjacent_find(fileKeys.begin(), fileKeys.end()), fileKeys.end()) << "two File entries share a key";
  EXPECT_NE(std::find(fileKeys.begin(), fileKeys.end(), 'x'), fileKeys.end());
  EXPECT_FALSE(CommandAvailable(kCmdPresetWall));
  const std::vector<int> ids = MenuCommandIds();
  EXPECT_NE(std::find(ids.begin(), ids.end(), kCmdPresetWall), ids.end());
}
