// The wheel, the middle button, the status bar, the recent files menu, the
// toolbar's tips and dropped pictures on the real Qt window (offscreen).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>
#include <filesystem>

#include "app/command_table.h"
#include "app/main_window.h"
#include "app/navigation.h"
#include "app/recent_files.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;
using qshe::testing::SendMouse;

namespace {

void SendWheel(QWidget* target, QPoint at, QPoint turn, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               QPoint pixels = {}) {
  QWheelEvent event(QPointF(at), target->mapToGlobal(QPointF(at)), pixels, turn, Qt::NoButton, modifiers,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &event);
}

TEST(QtNavigation, TheWheelScrollsAndCtrlWheelZoomsAtTheMouse) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  q.window.SetWindowScale(2);
  QWidget* area = q.window.clientArea();
  const QPoint canvas(2 * 300, 2 * 120);
  SendWheel(area, canvas, {0, 120}, Qt::ControlModifier);
  EXPECT_EQ(q.editor.view.zoom, 2);
  // The pixel under the mouse is the one that was: (300 - 184, 120 - 8).
  EXPECT_EQ(ScreenToCanvasX(q.editor.view, 300), 116);
  const int before = q.editor.verticalBar.position;
  SendWheel(area, canvas, {0, -120});
  const int notch = q.editor.verticalBar.position - before;
  EXPECT_EQ(notch, kArrowClicksPerNotch * q.editor.verticalBar.step);
  // A touchpad's pixels alone add up too: 40 make a notch.
  for (int i = 0; i < 4; ++i) SendWheel(area, canvas, {}, Qt::NoModifier, {0, -10});
  EXPECT_EQ(q.editor.verticalBar.position, before + 2 * notch);
  // Over the slider: the next shape.
  SendWheel(area, QPoint(2 * 90, 2 * 230), {0, -120});
  EXPECT_EQ(q.editor.doc.list.current, 1);
  q.window.close();
}

TEST(QtNavigation, AMiddleDragPansWithThePencilChosen) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  for (int i = 0; i < 2; ++i) OnCommand(q.editor, kCmdZoomIn);
  q.editor.view.originX = 50;
  QWidget* area = q.window.clientArea();
  SendMouse(area, QEvent::MouseButtonPress, {300, 100}, Qt::MiddleButton, Qt::MiddleButton);
  SendMouse(area, QEvent::MouseMove, {340, 100}, Qt::NoButton, Qt::MiddleButton);
  SendMouse(area, QEvent::MouseButtonRelease, {340, 100}, Qt::MiddleButton, Qt::NoButton);
  EXPECT_DOUBLE_EQ(q.editor.view.originX, 40.0);
  EXPECT_EQ(q.editor.window.canvasChanged, 0);
  EXPECT_EQ(q.editor.tools.currentTool, kPencil);
  q.window.close();
}

TEST(QtNavigation, TheStatusBarSitsUnderThePictureAndFollowsTheScale) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  q.window.SetWindowScale(1);
  QApplication::processEvents();
  platform::QtStatusBar* bar = q.window.statusLine();
  QWidget* area = q.window.clientArea();
  SendMouse(area, QEvent::MouseMove, {184 + 12, 8 + 40}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(bar->FieldText(0), "12, 40");
  EXPECT_EQ(bar->FieldText(1), "index 0  (transparent)");
  EXPECT_EQ(bar->FieldText(2), "1:1");
  EXPECT_EQ(bar->FieldText(3), "Shape 0 of 20");
  // Below the whole picture, inside the window, and every field whole.
  EXPECT_GE(bar->geometry().top(), area->geometry().bottom());
  EXPECT_LE(bar->geometry().bottom(), q.window.height());
  EXPECT_EQ(area->height(), 285);
  const double small = bar->font().pointSizeF();
  q.window.SetWindowScale(3);
  QApplication::processEvents();
  EXPECT_GT(bar->font().pointSizeF(), small);
  EXPECT_GE(bar->geometry().top(), area->geometry().bottom());
  // The pointer gone: no position.
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(area, &leave);
  EXPECT_EQ(bar->FieldText(0), "");
  q.window.close();
}

TEST(QtNavigation, RecentFilesAreMenuEntriesAboveClearList) {
  QtEditor q;
  q.scripted.preferences[kRecentFilesPreference] = "/gone/a.qsh\n/gone/b.qsh\n";
  ASSERT_TRUE(q.Start());
  QAction* clear = q.window.MenuAction(kCmdClearRecent);
  ASSERT_TRUE(clear);
  auto* menu = qobject_cast<QMenu*>(clear->parent());
  ASSERT_TRUE(menu);
  EXPECT_EQ(menu->title(), "Open &Recent");
  const QList<QAction*> entries = menu->actions();
  ASSERT_EQ(entries.size(), 4);  // two files, a separator, Clear List
  EXPECT_EQ(entries[0]->text(), "&1 /gone/a.qsh");
  EXPECT_TRUE(entries[2]->isSeparator());
  // Chosen: the file is gone, so it leaves the list with a message.
  entries[0]->trigger();
  EXPECT_EQ(q.scripted.messages.size(), 1u);
  EXPECT_EQ(menu->actions().size(), 3);
  clear->trigger();
  EXPECT_EQ(menu->actions().size(), 1);
  EXPECT_FALSE(clear->isEnabled());
  q.window.close();
}

TEST(QtNavigation, ToolbarButtonsShowTheirTips) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  q.window.SetWindowScale(1);
  QApplication::processEvents();
  QWidget* area = q.window.clientArea();
  QHelpEvent help(QEvent::ToolTip, QPoint(20, 140), area->mapToGlobal(QPoint(20, 140)));
  QApplication::sendEvent(area, &help);
  EXPECT_EQ(QToolTip::text(), "Pencil (H)");
  QToolTip::hideText();
  q.window.close();
}

TEST(QtNavigation, DroppedPicturesAreImported) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  const std::filesystem::path data = std::filesystem::path(QSHE_TESTS_DIR) / "app" / "data";
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString((data / "im_pic.png").string())),
                QUrl::fromLocalFile(QString::fromStdString((data / "im_pal.bmp").string()))});
  QDragEnterEvent enter(QPoint(300, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&q.window, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(300, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&q.window, &drop);
  EXPECT_EQ(q.editor.doc.list.count, 22);
  EXPECT_EQ(q.window.statusLine()->FieldText(6), "Imported 2 pictures");
  q.window.close();
}

}  // namespace
