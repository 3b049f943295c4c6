// A pencil stroke painted with real mouse events on the Qt window reaches the
// shape through the window's own commit timer.
#include <gtest/gtest.h>

#include <QApplication>
#include <tuple>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>

#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;
using qshe::testing::SendMouse;

TEST(QtTools, AStrokeWithTheMouseReachesTheShapeWithinFourSeconds) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  auto [window, editor] = std::tie(q.window, q.editor);

  // From canvas (10, 250) to (30, 250): window y 263 - 250.
  QWidget* area = window.clientArea();
  SendMouse(area, QEvent::MouseButtonPress, {194, 13}, Qt::LeftButton, Qt::LeftButton);
  for (int x = 199; x <= 214; x += 5) SendMouse(area, QEvent::MouseMove, {x, 13}, Qt::NoButton, Qt::LeftButton);
  SendMouse(area, QEvent::MouseButtonRelease, {214, 13}, Qt::LeftButton, Qt::NoButton);
  const uint8_t colour = editor.colors.foreColor;
  EXPECT_EQ(editor.window.canvasChanged, 1);
  EXPECT_FALSE(editor.doc.list.slots[0].HasPixels());

  // The window shows the stroke at once.
  QApplication::processEvents();
  QImage grab = area->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const auto& p = editor.window.gamePalette;
  EXPECT_EQ(grab.pixel(204, 13), qRgb(p[3 * colour], p[3 * colour + 1], p[3 * colour + 2]));

  QElapsedTimer clock;
  clock.start();
  while (editor.window.canvasChanged == 1 && clock.elapsed() < 8000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(editor.window.canvasChanged, 0);
  const Shape& shape = editor.doc.list.slots[0];
  ASSERT_TRUE(shape.HasPixels());
  // Canvas rows 255..250 are the shape's six rows; the stroke is its bottom one.
  EXPECT_EQ(shape.width, 31);
  EXPECT_EQ(shape.height, 6);
  for (int x : {0, 9, 10, 20, 30}) EXPECT_EQ(shape.pixels[static_cast<size_t>(x)], x >= 10 ? colour : 0) << x;
  window.close();
}
