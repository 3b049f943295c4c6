// The recovery journal on the real window: its timer writes a copy of a
// stroke on its own, the window losing the focus writes one at once, and the
// folder the program uses is the per-user data folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMouseEvent>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>

#include "app/recovery.h"
#include "platform/qt/qt_recovery.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;

namespace {

void Click(QWidget* target, QPoint at) {
  for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
  }
}

bool WaitFor(const std::function<bool()>& done, int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 50);
  return done();
}

}  // namespace

TEST(QtRecovery, TheTimerWritesACopyOfAStrokeOnItsOwnAndASaveRemovesIt) {
  ::setenv(kRecoverySecondsVariable, "1", 1);
  QtEditor q;
  q.editor.recovery.folder = q.dir.File("recovery");
  ASSERT_TRUE(q.Start());
  ::unsetenv(kRecoverySecondsVariable);
  const std::string copy = q.editor.recovery.CopyPath();

  Click(q.window.clientArea(), {194, 13});  // canvas pixel (10, 250)
  ASSERT_EQ(q.editor.doc.state.modified, kModified);
  EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(copy); }, 5000));

  // Losing the focus writes what changed since, without waiting.
  q.window.StopTimer(kRecoveryTimer);
  Click(q.window.clientArea(), {195, 13});
  QWidget other;
  other.show();
  other.activateWindow();
  EXPECT_TRUE(WaitFor([&] { return !q.window.isActiveWindow(); }, 2000));
  CollectRecoveryCopy(q.editor, true);  // the worker thread's copy is on disk
  auto bytes = qshe::testing::ReadBytes(copy);
  auto written = DecodeRecoveryCopy(bytes, nullptr);
  ASSERT_TRUE(written);
  RecoveryCopy now = MakeRecoveryCopy(q.editor.doc, q.editor.canvas, true);
  EXPECT_EQ(written->shapeFile, now.shapeFile);

  q.scripted.fileNames = {q.dir.File("saved.qsh")};
  OnCommand(q.editor, 40034);  // Save
  EXPECT_FALSE(std::filesystem::exists(copy));
  q.window.close();
}

TEST(QtRecovery, CopiesGoIntoThePerUserDataFolder) {
  QStandardPaths::setTestModeEnabled(true);
  std::string folder = platform::RecoveryFolder();
  QStandardPaths::setTestModeEnabled(false);
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(std::filesystem::path(folder).filename(), "recovery");
  EXPECT_NE(folder.find(QApplication::applicationName().toStdString()), std::string::npos) << folder;
}
