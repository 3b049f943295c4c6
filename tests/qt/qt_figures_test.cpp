// The line, rectangle and ellipse tools in the real Qt window: keys, mouse
// drags with and without Shift, Escape, tooltips and the saved file.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>
#include <vector>

#include "../editing/figure_reference.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "document/shape_file.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;
using qshe::testing::Reference;

namespace {

// Window point of canvas pixel (column, bottom-up row) unmagnified.
QPoint At(int column, int row) { return {184 + column, 263 - row}; }

void Mouse(QWidget* area, QEvent::Type type, QPoint at, Qt::MouseButtons held, Qt::KeyboardModifiers keys) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(at), area->mapToGlobal(QPointF(at)), button, held, keys);
  QApplication::sendEvent(area, &event);
}

// A left-button drag in steps, as a hand moves the mouse.
void Drag(QWidget* area, QPoint from, QPoint to, Qt::KeyboardModifiers keys = Qt::NoModifier) {
  Mouse(area, QEvent::MouseButtonPress, from, Qt::LeftButton, keys);
  for (int step = 1; step <= 4; ++step) {
    const QPoint p = from + (to - from) * step / 4;
    Mouse(area, QEvent::MouseMove, p, Qt::LeftButton, keys);
  }
  Mouse(area, QEvent::MouseButtonRelease, to, Qt::NoButton, keys);
}

void Key(QWidget* window, Qt::Key key, Qt::KeyboardModifiers keys = Qt::NoModifier) {
  QTest::keyClick(window, key, keys);
  QApplication::processEvents();
}

// Adds a figure's reference pixels to the picture.
void Add(Canvas& picture, Figure figure, int x0, int y0, int x1, int y1, uint8_t colour) {
  const Canvas f = Reference(figure, false, 0, x0, y0, x1, y1, colour);
  for (size_t i = 0; i < f.pixels.size(); ++i)
    if (f.pixels[i] != 0) picture.pixels[i] = f.pixels[i];
}

TEST(QtFigures, ACrateOfTwoRectanglesALineAndACircleSavesExactlyTheReferencePixels) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  QApplication::setActiveWindow(&q.window);
  QWidget* area = q.window.clientArea();
  const uint8_t colour = q.editor.colors.foreColor;
  Canvas want;

  // The crate: an outer and an inner frame, a brace across, and a round
  // knot hole drawn with Shift from a drag that was not square.
  Key(&q.window, Qt::Key_T);
  ASSERT_EQ(q.editor.tools.currentTool, kRectangleTool);
  Drag(area, At(10, 200), At(70, 150));
  Add(want, Figure::Rectangle, 10, 200, 70, 150, colour);
  Drag(area, At(14, 196), At(66, 154));
  Add(want, Figure::Rectangle, 14, 196, 66, 154, colour);
  Key(&q.window, Qt::Key_L);
  Drag(area, At(14, 154), At(66, 196));
  Add(want, Figure::Line, 14, 154, 66, 196, colour);
  Key(&q.window, Qt::Key_O);
  Drag(area, At(90, 200), At(110, 190), Qt::ShiftModifier);
  Add(want, Figure::Ellipse, 90, 200, 110, 180, colour);
  EXPECT_EQ(q.editor.canvas.pixels, want.pixels);

  // Ctrl+S asks for a name the first time; the file holds the reference.
  const std::string path = q.dir.File("crate.qsh");
  q.scripted.fileNames.push_back(path);
  Key(&q.window, Qt::Key_S, Qt::ControlModifier);
  std::vector<Shape> saved(20);
  ASSERT_EQ(LoadShapeFile(path, saved).status, LoadStatus::Ok);
  Shape expected;
  ASSERT_TRUE(CommitCanvasToShape(want, expected));
  ASSERT_EQ(saved[0].width, expected.width);
  ASSERT_EQ(saved[0].height, expected.height);
  ASSERT_EQ(saved[0].width, 111);
  EXPECT_TRUE(std::equal(saved[0].pixels.get(), saved[0].pixels.get() + saved[0].PixelCount(), expected.pixels.get()));
  q.window.close();
}

TEST(QtFigures, ShiftAndEscapeKeysActOnTheDragTheMenuChecksTheFormAndButtonsHaveTooltips) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  QApplication::setActiveWindow(&q.window);
  QWidget* area = q.window.clientArea();
  Key(&q.window, Qt::Key_L);
  // Shift pressed mid-drag straightens the line at once.
  Mouse(area, QEvent::MouseButtonPress, At(20, 20), Qt::LeftButton, Qt::NoModifier);
  Mouse(area, QEvent::MouseMove, At(60, 28), Qt::LeftButton, Qt::NoModifier);
  QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
  QApplication::sendEvent(&q.window, &shift);
  EXPECT_EQ(q.editor.tools.figureY1, 20);
  // Escape: nothing lands.
  Key(&q.window, Qt::Key_Escape);
  Mouse(area, QEvent::MouseButtonRelease, At(60, 28), Qt::NoButton, Qt::ShiftModifier);
  for (uint8_t p : q.editor.canvas.pixels) ASSERT_EQ(p, 0);

  QAction* filled = q.window.MenuAction(kCmdFilledEllipses);
  Key(&q.window, Qt::Key_O);
  EXPECT_FALSE(filled->isChecked());
  Key(&q.window, Qt::Key_O);
  EXPECT_TRUE(filled->isChecked());
  // The tooltip over the rectangle button, at the window's own scale.
  const QPoint over = QPoint(41 + 12, 108 + 12) * q.window.WindowScale();
  QHelpEvent help(QEvent::ToolTip, over, area->mapToGlobal(over));
  QApplication::sendEvent(area, &help);
  EXPECT_TRUE(QToolTip::text().startsWith("Rectangle (T)")) << QToolTip::text().toStdString();
  QToolTip::hideText();
  q.window.close();
}

}  // namespace
