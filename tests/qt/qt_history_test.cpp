// Undo and Redo on the real window (offscreen): the Edit menu's entries, their
// tips, and the keys, taking back a Remove Shape.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <tuple>

#include "app/command_table.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;
using qshe::testing::kThreeShapes;
using qshe::testing::WriteBytes;

namespace {

QMenu* EditMenu(platform::QtMainWindow& window) {
  for (QAction* a : window.menuBar()->actions())
    if (a->text() == "&Edit") return a->menu();
  return nullptr;
}

}  // namespace

TEST(QtHistory, RemoveShapeFromTheMenuIsTakenBackWithCtrlZAndDoneAgainWithCtrlShiftZ) {
  QtEditor q;
  const std::string file = q.dir.File("three.qsh");
  WriteBytes(file, kThreeShapes);
  ASSERT_TRUE(q.Start({file}));
  auto [window, editor] = std::tie(q.window, q.editor);
  QAction* undo = window.MenuAction(kCmdUndo);
  QAction* redo = window.MenuAction(kCmdRedo);
  ASSERT_TRUE(undo && redo);
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_FALSE(redo->isEnabled());
  QMenu* edit = EditMenu(window);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->toolTipsVisible());

  window.MenuAction(kCmdNextShape)->trigger();
  q.scripted.answers = {platform::Answer::Yes};
  window.MenuAction(kCmdRemoveShape)->trigger();
  ASSERT_EQ(editor.doc.list.count, 2);
  EXPECT_EQ(editor.doc.list.slots[1].width, 3);  // the last shape moved up
  EXPECT_EQ(window.clientArea()->lastText(), "Shape 1 / 1");
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_EQ(undo->toolTip().toStdString(), "Undo Remove Shape 1");
  EXPECT_EQ(undo->statusTip().toStdString(), "Undo Remove Shape 1");
  EXPECT_EQ(editor.doc.state.modified, kModified);

  QApplication::setActiveWindow(&window);
  QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(editor.doc.list.count, 3);
  EXPECT_EQ(editor.doc.list.current, 1);
  EXPECT_EQ(editor.canvas.At(0, 255), 7);  // shape 1 is back on the canvas
  EXPECT_EQ(window.clientArea()->lastText(), "Shape 1 / 2");
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_TRUE(redo->isEnabled());
  EXPECT_EQ(redo->toolTip().toStdString(), "Redo Remove Shape 1");
  EXPECT_NE(editor.doc.state.modified, kModified);  // as the file has it

  QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QApplication::processEvents();
  EXPECT_EQ(editor.doc.list.count, 2);
  EXPECT_FALSE(redo->isEnabled());
  QTest::keyClick(&window, Qt::Key_U);
  QApplication::processEvents();
  EXPECT_EQ(editor.doc.list.count, 3);
  window.close();
}
