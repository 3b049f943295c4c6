// The Shapes window as a real Qt window (offscreen): clicked, Shift-clicked,
// dragged and typed into, at window scale 1 and 2.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QScrollBar>
#include <QTest>

#include "app/command_table.h"
#include "app/shape_browser.h"
#include "document/document_commands.h"
#include "platform/qt/qt_scroll_view.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;

namespace {

// `count` 8 x 8 shapes, shape i in colour 20 + i with i in offsetX.
void FillDocument(Editor& e, int count) {
  ShapeList& list = e.doc.list;
  list.count = count;
  for (int i = 0; i < count; ++i) {
    Shape& s = list.slots[static_cast<size_t>(i)];
    AllocateShape(s, 8, 8);
    std::fill_n(s.pixels.get(), 64, static_cast<uint8_t>(20 + i));
    s.offsetX = i;
  }
  ShowShape(e.doc, e.canvas, 0, false, 0);
  ResetHistory(e.history, e.canvas, true);
}

QPoint Centre(const Editor& e, int index) {
  const platform::Rect c = CellRect(e.browser.view.layout, index);
  return {(c.x1 + c.x2) / 2, (c.y1 + c.y2) / 2 - e.browser.view.scrollY};
}

}  // namespace

TEST(QtShapesWindow, ClicksSelectAndADragWithTheMouseReordersTheShapes) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  Editor& e = q.editor;
  FillDocument(e, 60);
  platform::QtDialogHost& host = q.window.dialogHost();
  q.window.MenuAction(kCmdShapesWindow)->trigger();
  QApplication::processEvents();
  QDialog* dialog = host.DialogWindow(kShapesDialog);
  auto* view = dynamic_cast<platform::QtScrollView*>(host.ItemWidget(kShapesDialog, kShapesView));
  ASSERT_TRUE(dialog && view && dialog->isVisible());
  EXPECT_EQ(dialog->windowTitle(), "Shapes");
  QWidget* picture = view->picture();
  EXPECT_EQ(e.browser.view.layout.viewWidth, picture->width());
  EXPECT_GE(e.browser.view.layout.columns, 3);
  // Shape 5's colour in the middle of its thumbnail, as the window shows it.
  const platform::Rect t = ThumbRect(e.browser.view.layout, 5);
  const uint8_t* p = &e.window.gamePalette[3 * 25];
  EXPECT_EQ(picture->grab().toImage().pixel((t.x1 + t.x2) / 2, (t.y1 + t.y2) / 2), qRgb(p[0], p[1], p[2]));

  QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, Centre(e, 7));
  EXPECT_EQ(e.doc.list.current, 7);
  QTest::mouseClick(picture, Qt::LeftButton, Qt::ShiftModifier, Centre(e, 9));
  EXPECT_EQ(e.browser.selection.indices, (std::vector<int32_t>{7, 8, 9}));

  // Drag the three from shape 8 to the left half of shape 2.
  const platform::Rect c2 = CellRect(e.browser.view.layout, 2);
  const QPoint target(c2.x1 + 5, (c2.y1 + c2.y2) / 2);
  QTest::mousePress(picture, Qt::LeftButton, Qt::NoModifier, Centre(e, 8));
  QTest::mouseMove(picture, Centre(e, 8) + QPoint(-20, 0));
  QTest::mouseMove(picture, target);
  QTest::mouseRelease(picture, Qt::LeftButton, Qt::NoModifier, target);
  QApplication::processEvents();
  std::vector<int> order;
  for (int i = 0; i < 7; ++i) order.push_back(e.doc.list.slots[static_cast<size_t>(i)].offsetX);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 7, 8, 9, 2, 3}));
  EXPECT_EQ(e.browser.selection.indices, (std::vector<int32_t>{2, 3, 4}));
  EXPECT_EQ(UndoName(e.history), "Move 3 Shapes");

  // Keys stay in the window: End goes to the last shape and scrolls to it.
  picture->setFocus();
  QTest::keyClick(picture, Qt::Key_End);
  EXPECT_EQ(e.doc.list.current, 59);
  EXPECT_EQ(view->bar()->value(), view->bar()->maximum());
  EXPECT_GT(view->bar()->maximum(), 0);
  // Ctrl+D goes on to the main window's Duplicate Shape.
  QTest::keyClick(picture, Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(e.doc.list.count, 61);
  EXPECT_EQ(e.doc.list.slots[60].offsetX, 59);

  // At scale 2 the cells are twice as large and the mouse still finds them.
  q.window.SetWindowScale(2);
  QApplication::processEvents();
  EXPECT_EQ(e.browser.view.layout.scale, view->Scale());
  EXPECT_EQ(e.browser.view.layout.box, view->Scale() * kThumbBox);
  QTest::keyClick(picture, Qt::Key_Home);
  QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, Centre(e, 1));
  EXPECT_EQ(e.doc.list.current, 1);
  // The wheel scrolls.
  view->Wheel(-1);
  EXPECT_GT(e.browser.view.scrollY, 0);
  // Escape closes it.
  QTest::keyClick(picture, Qt::Key_Escape);
  EXPECT_FALSE(dialog->isVisible());
}
