// Ending the editor from outside: a real SIGTERM or SIGHUP sent to an editor
// process with unsaved work has the recovery copy written before it ends,
// and a file size limit makes the copy fail with a message instead of
// killing the editor. The editor runs as a child process: this test program
// started again with --end-signal-child (see main.cpp), on Qt's offscreen
// platform with its own data and settings folders.
#include <gtest/gtest.h>

#include <QApplication>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/main_window.h"
#include "app/recovery.h"
#include "document/file_io.h"
#include "document/recovery.h"
#include "platform/qt/qt_end_signals.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;
using qshe::testing::TempDir;
namespace fs = std::filesystem;

// The child: an editor with a painted dot and nothing saved. "run" waits in
// the event loop for the parent's signal; "limit" tries a copy under a file
// size limit and says what happened.
int RunEndSignalChild(int argc, char** argv) {
  if (argc < 4) return 90;
  const std::string folder = argv[2], mode = argv[3];
  QtEditor q;
  q.editor.recovery.folder = folder;
  platform::HandleEndRequests(*qApp, q.window, q.editor);
  if (!q.Start()) return 91;
  qshe::testing::SendMouse(q.window.clientArea(), QEvent::MouseButtonPress, {194, 13}, Qt::LeftButton,
                           Qt::LeftButton);
  qshe::testing::SendMouse(q.window.clientArea(), QEvent::MouseButtonRelease, {194, 13}, Qt::LeftButton,
                           Qt::NoButton);
  if (q.editor.doc.state.modified != kModified) return 92;
  if (mode == "limit") {
    rlimit limit{100, 100};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    OnFocusLost(q.editor);
    CollectRecoveryCopy(q.editor, true);
    std::printf("alive:%s\n", q.scripted.messages.empty() ? "" : q.scripted.messages.back().text.c_str());
    return 0;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return QApplication::exec();
}

namespace {

struct Child {
  pid_t pid = -1;
  int out = -1;
  std::string said;

  // Starts this program as the child editor, with folders of its own.
  Child(const TempDir& dir, const std::string& folder, const char* mode) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return;
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string data = "XDG_DATA_HOME=" + dir.File("data"), config = "XDG_CONFIG_HOME=" + dir.File("config");
    pid = ::fork();
    if (pid == 0) {
      ::dup2(pipeFds[1], 1);
      ::putenv(const_cast<char*>(data.c_str()));
      ::putenv(const_cast<char*>(config.c_str()));
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::unsetenv(kRecoverySecondsVariable);
      ::execl(self.c_str(), self.c_str(), "--end-signal-child", folder.c_str(), mode, static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(pipeFds[1]);
    out = pipeFds[0];
  }
  ~Child() {
    if (out >= 0) ::close(out);
    if (pid > 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
  }
  // Reads until a whole line is there (or the child is silent for long).
  bool ReadLine() {
    while (said.find('\n') == std::string::npos) {
      pollfd p{out, POLLIN, 0};
      if (::poll(&p, 1, 60000) <= 0) return false;
      char buffer[256];
      ssize_t n = ::read(out, buffer, sizeof buffer);
      if (n <= 0) return false;
      said.append(buffer, static_cast<size_t>(n));
    }
    return true;
  }
  int Wait() {
    int status = 0;
    ::waitpid(pid, &status, 0);
    pid = -1;
    return status;
  }
};

}  // namespace

TEST(QtEndSignals, TermAndHangUpHaveTheCopyOfUnsavedWorkWrittenBeforeTheEnd) {
  for (int signal : {SIGTERM, SIGHUP}) {
    TempDir dir;
    const std::string folder = dir.File("recovery");
    Child child(dir, folder, "run");
    ASSERT_GT(child.pid, 0);
    ASSERT_TRUE(child.ReadLine()) << child.said;
    ASSERT_EQ(child.said, "ready\n");
    const auto pid = static_cast<uint32_t>(child.pid);
    ASSERT_EQ(::kill(child.pid, signal), 0);
    const int status = child.Wait();
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << signal << " ended it at once";
    EXPECT_EQ(WEXITSTATUS(status), 128 + signal);

    std::string error;
    auto copy = ReadRecoveryCopy(RecoveryCopyPath(folder, pid), &error);
    ASSERT_TRUE(copy) << signal << ": " << error;
    platform::HeadlessPlatform ui;
    Document doc;
    Canvas canvas;
    ASSERT_TRUE(RestoreRecoveryCopy(doc, canvas, ui.platform(), *copy, &error)) << error;
    EXPECT_NE(canvas.At(10, 250), 0) << "the dot painted two moments before the end";
    EXPECT_FALSE(fs::exists(RecoveryLockPath(folder, pid))) << "its own lock goes at the end";
    for (const auto& entry : fs::directory_iterator(folder))
      EXPECT_FALSE(TemporaryTarget(entry.path().string())) << entry.path();
  }
}

TEST(QtEndSignals, AFileSizeLimitFailsTheCopyWithAMessageInsteadOfKillingTheEditor) {
  TempDir dir;
  const std::string folder = dir.File("recovery");
  Child child(dir, folder, "limit");
  ASSERT_GT(child.pid, 0);
  child.ReadLine();
  const int status = child.Wait();
  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(child.said.find("alive:Could not write the recovery copy"), std::string::npos) << child.said;
  EXPECT_NE(child.said.find(": File too large."), std::string::npos) << child.said;
  for (const auto& entry : fs::directory_iterator(folder))
    EXPECT_EQ(entry.path().extension(), ".lock") << entry.path() << " was left";
}
