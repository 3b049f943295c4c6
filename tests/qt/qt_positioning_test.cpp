// The positioning previews as real Qt windows: drawn at the main window's
// whole-number scale and dragged with the mouse, also out of the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTest>

#include "app/canvas_routing.h"
#include "app/command_table.h"
#include "document/document_commands.h"
#include "properties/positioning.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;

TEST(QtPositioning, ThePreviewShowsTheShapeAtEveryScaleAndAMouseDragOutOfItMovesTheShape) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  Editor& e = q.editor;
  platform::QtDialogHost& host = q.window.dialogHost();
  Shape& s = e.doc.list.Current();
  AllocateShape(s, 20, 10);
  std::fill(s.pixels.get(), s.pixels.get() + 200, uint8_t{34});
  ShowShape(e.doc, e.canvas, 0, false, 0);

  q.window.MenuAction(kCmdShapePosition)->trigger();
  QApplication::processEvents();
  QDialog* dialog = host.DialogWindow(kShapePositionDialog);
  QWidget* picture = host.ItemWidget(kShapePositionDialog, kPreviewSurface);
  ASSERT_TRUE(dialog && picture && dialog->isVisible());
  EXPECT_EQ(dialog->size(), QSize(kPreviewSize, kPreviewSize));
  const QRgb shapeColour = qRgb(e.window.gamePalette[102], e.window.gamePalette[103], e.window.gamePalette[104]);
  auto shown = [&](int x, int y) { return picture->grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(x, y); };
  EXPECT_EQ(shown(66, 66), shapeColour);
  EXPECT_NE(shown(65, 66), shapeColour);

  // Pressed at x = 10, dragged to 5 pixels left of the window.
  QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(10, 50));
  QTest::mouseMove(picture, QPoint(3, 50));
  QTest::mouseMove(picture, QPoint(-5, 50));
  QTest::mouseRelease(picture, Qt::LeftButton, {}, QPoint(-5, 50));
  QApplication::processEvents();
  EXPECT_EQ(s.offsetX, -15);
  EXPECT_EQ(e.doc.state.modified, kModified);
  EXPECT_EQ(shown(51, 66), shapeColour);

  // At twice the size every picture pixel is a 2 x 2 block, and the mouse
  // counts in picture pixels.
  q.window.SetWindowScale(2);
  QApplication::processEvents();
  EXPECT_EQ(dialog->size(), QSize(2 * kPreviewSize, 2 * kPreviewSize));
  EXPECT_EQ(picture->size(), dialog->size());
  for (auto [x, y] : {std::pair{102, 132}, {103, 133}, {140, 151}}) EXPECT_EQ(shown(x, y), shapeColour) << x;
  EXPECT_NE(shown(101, 132), shapeColour);
  QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(100, 100));
  QTest::mouseMove(picture, QPoint(141, 100));
  QTest::mouseRelease(picture, Qt::LeftButton, {}, QPoint(141, 100));
  EXPECT_EQ(s.offsetX, 5);
}
