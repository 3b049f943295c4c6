// The editor in a real Qt window (offscreen), started from a folder that
// holds the generated support files. Boxes and dialogs are answered by a
// scripted desktop. The tests' main() makes the application object.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <string>
#include <vector>

#include "../app/editor_fixture.h"
#include "app/startup.h"
#include "platform/qt/qt_main_window.h"

namespace qshe::testing {

inline std::string WithSupportFiles(const TempDir& dir) {
  WriteSupportFiles(dir);
  return dir.path().string() + "/";
}

struct QtEditor {
  TempDir dir;
  std::string programDir = WithSupportFiles(dir);
  platform::HeadlessPlatform scripted;
  platform::QtMainWindow window{scripted, scripted, scripted, programDir};
  Editor editor{window.desktop()};

  QtEditor() { window.Attach(&editor); }
  // The editor goes first; the window must not call into it afterwards.
  ~QtEditor() { window.Attach(nullptr); }

  // Starts the editor on the command-line words and shows the window.
  bool Start(const std::vector<std::string>& arguments = {}) {
    bool started = StartEditor(editor, programDir, arguments);
    window.FitAndPlace();
    window.show();
    QApplication::processEvents();
    return started;
  }
};

// A mouse event as the window system delivers it to `target`.
inline void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

}  // namespace qshe::testing
