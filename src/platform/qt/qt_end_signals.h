// Ending the editor from outside without losing work: SIGTERM, SIGHUP and
// SIGINT (a kill, a closed terminal, a logout or a shutdown) and the desktop
// session's request to save have the recovery copy of unsaved work written
// before the program ends.
#pragma once

#include <QApplication>

#include "app/editor.h"
#include "platform/qt/qt_main_window.h"

namespace qshe::platform {

// Ignores SIGXFSZ, so that a write past the file size limit fails with EFBIG
// and is reported like a full disk instead of killing the program.
void IgnoreFileSizeSignal();

// Installs the handlers for the life of `app`. The signal handler itself
// only writes the signal's number into a pipe; the event loop reads it, has
// the copy written and quits with status 128 + the signal's number. A second
// signal of the same kind ends the program at once.
void HandleEndRequests(QApplication& app, QtMainWindow& window, Editor& editor);

}  // namespace qshe::platform
