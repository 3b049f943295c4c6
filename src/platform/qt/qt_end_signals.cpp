#include "platform/qt/qt_end_signals.h"

#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "app/recovery.h"

namespace qshe::platform {
namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The write end of the pipe; the handler's only business.
int g_signalPipe = -1;

void OnEndSignal(int signal) {
  const int saved = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  if (g_signalPipe >= 0) {
    [[maybe_unused]] ssize_t written = ::write(g_signalPipe, &number, 1);
  }
  errno = saved;
}

}  // namespace

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

void HandleEndRequests(QApplication& app, QtMainWindow& window, Editor& editor) {
  IgnoreFileSizeSignal();
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  g_signalPipe = fds[1];
  auto* notifier = new QSocketNotifier(fds[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [fds, &window, &editor] {
    unsigned char number = 0;
    if (::read(fds[0], &number, 1) != 1) return;
    // A second signal, while this one is dealt with, ends the program at once.
    std::signal(number, SIG_DFL);
    WriteRecoveryBeforeEnd(editor);
    window.Quit(128 + number);
  });
  struct sigaction action {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kEndSignals) ::sigaction(signal, &action, nullptr);

  // The desktop session is ending (or asks everyone to be ready for it): the
  // copy is written now, while the program may still be asked to close.
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                   [&editor](QSessionManager&) { WriteRecoveryBeforeEnd(editor); });
}

}  // namespace qshe::platform
