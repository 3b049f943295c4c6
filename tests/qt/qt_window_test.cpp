// The real window on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <tuple>
#include <QImage>
#include <QMenuBar>

#include "app/command_table.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;
using qshe::testing::kThreeShapes;
using qshe::testing::WriteBytes;

TEST(QtWindow, ShowsWhatTheProgramPresentsAndRunsItsCommands) {
  QtEditor q;
  WriteBytes(q.dir.File("three.qsh"), kThreeShapes);
  ASSERT_TRUE(q.Start({q.dir.File("three.qsh")}));
  auto [window, editor] = std::tie(q.window, q.editor);

  EXPECT_EQ(window.clientArea()->size(), QSize(kClientWidth, kClientHeight));
  EXPECT_EQ(window.windowTitle().toStdString(), "Quorvane QSH Editor 1.04 -- [" + q.dir.File("three.qsh") + "]");
  EXPECT_EQ(window.menuBar()->actions().size(), 8);
  EXPECT_EQ(window.clientArea()->lastText(), "Shape 0 / 2");

  // The same start on the scripted desktop shows the same pixels, but for
  // the counter text, which each desktop writes in its own font.
  platform::HeadlessPlatform hp;
  Editor headless(hp.desktop());
  ASSERT_TRUE(StartEditor(headless, q.programDir, {q.dir.File("three.qsh")}));
  QImage grab = window.clientArea()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_GE(grab.width(), kClientWidth);
  int differences = 0;
  for (int y = 0; y < kClientHeight; ++y) {
    for (int x = 0; x < kClientWidth; ++x) {
      if (x >= 20 && x <= 170 && y >= 218 && y <= 242) continue;  // the counter
      platform::Rgb want = hp.surface.Pixel(x, y);
      QRgb got = grab.pixel(x, y);
      differences += qRed(got) != want.red || qGreen(got) != want.green || qBlue(got) != want.blue;
    }
  }
  EXPECT_EQ(differences, 0);

  // A menu command reaches the program.
  ASSERT_NE(window.MenuAction(kCmdNextShape), nullptr);
  window.MenuAction(kCmdNextShape)->trigger();
  EXPECT_EQ(editor.doc.list.current, 1);
  EXPECT_EQ(window.clientArea()->lastText(), "Shape 1 / 2");
  EXPECT_TRUE(window.MenuAction(kCmdShapePosition)->isEnabled());
  EXPECT_TRUE(window.MenuAction(kCmdPaste)->isEnabled());
  // Closing with nothing unsaved ends the program.
  window.close();
  EXPECT_FALSE(editor.doc.state.modified == kModified);
}

// What is presented while the window is small reaches the screen once it is
// enlarged again: the paint after the resize presents from the composition.
TEST(QtWindow, AWindowMadeSmallerAndLargerAgainShowsWhatIsCurrent) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  auto grab = [&] { return q.window.clientArea()->grab().toImage().convertToFormat(QImage::Format_RGB32); };
  const QSize full = q.window.size();
  q.window.resize(200, 150);
  QApplication::processEvents();
  ASSERT_LT(q.window.clientArea()->width(), kClientWidth);
  OnCommand(q.editor, 40062);  // K: the hand tool's button goes down
  OnCommand(q.editor, 40083);  // W: the next background
  q.window.resize(full);
  QApplication::processEvents();
  ASSERT_EQ(q.window.clientArea()->size(), QSize(kClientWidth, kClientHeight));
  QImage after = grab();

  // A fresh present of the same state, shown whole.
  PresentWindow(q.editor);
  QApplication::processEvents();
  QImage fresh = grab();
  int differences = 0;
  for (int y = 0; y < kClientHeight; ++y)
    for (int x = 0; x < kClientWidth; ++x) differences += after.pixel(x, y) != fresh.pixel(x, y);
  EXPECT_EQ(differences, 0);
}
