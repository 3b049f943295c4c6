// The editor: a Qt application around the program's own main window.
#include <QApplication>
#include <QSettings>
#include <cstdio>
#include <string>
#include <vector>

#include "app/editor.h"
#include "app/preferences.h"
#include "app/program_dir.h"
#include "app/startup.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_end_signals.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_session.h"
#include "platform/qt/qt_recovery.h"

int main(int argc, char** argv) {
  const qshe::platform::SessionChoice session =
      qshe::platform::ChooseSession(qshe::platform::CurrentSession(argc, argv));
  if (session.noDisplay) {
    std::fprintf(stderr, "%s\n", session.noDisplay->c_str());
    return 1;
  }
  if (!session.platform.empty()) qputenv("QT_QPA_PLATFORM", session.platform.c_str());

  QApplication app(argc, argv);
  QApplication::setApplicationName("QSH Editor");
  // The desktop file names the window's icon and groups its windows.
  QGuiApplication::setDesktopFileName("qshe");
  // Qt takes its own options out of the arguments; what is left is ours.
  std::vector<std::string> arguments;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) arguments.push_back(args[i].toStdString());

  const std::string programDir = qshe::ProgramDir();
  qshe::platform::QtMainWindow* window = nullptr;
  qshe::platform::QtDialogs dialogs([&window]() -> QWidget* { return window; });
  qshe::platform::QtSettingsStore settings;
  // The cursors and the icon sit with the other support files.
  const std::string supportDir = qshe::SupportFileDir("qshe-icon.png", programDir, settings);
  // The editor's own window state (scale, place) and preferences, apart
  // from the game's keys.
  QSettings windowState(QSettings::UserScope, "qshe", "qshe");
  settings.UsePreferences(&windowState);
  // Each kind of file dialog opens where it was last left.
  qshe::RememberedFolders folders(dialogs, settings);
  qshe::platform::QtMainWindow mainWindow(dialogs, folders, settings, supportDir);
  window = &mainWindow;
  mainWindow.UseStateStore(&windowState);

  qshe::Editor editor(mainWindow.desktop());
  mainWindow.Attach(&editor);
  // A kill, a logout or a file size limit never costs unsaved work.
  qshe::platform::HandleEndRequests(app, mainWindow, editor);
  editor.recovery.folder = qshe::platform::RecoveryFolder();
  if (!qshe::StartEditor(editor, programDir, arguments)) return QApplication::exec();
  mainWindow.FitAndPlace();
  mainWindow.show();
  // The windows left open last time open again beside it.
  mainWindow.ReopenWindows();
  return QApplication::exec();
}
