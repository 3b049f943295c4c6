// The editor: a Qt application around the program's own main window.
#include <QApplication>
#include <string>
#include <vector>

#include "app/editor.h"
#include "app/program_dir.h"
#include "app/startup.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_recovery.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("QSH Editor");
  // Qt takes its own options out of the arguments; what is left is ours.
  std::vector<std::string> arguments;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) arguments.push_back(args[i].toStdString());

  const std::string programDir = qshe::ProgramDir();
  qshe::platform::QtMainWindow* window = nullptr;
  qshe::platform::QtDialogs dialogs([&window]() -> QWidget* { return window; });
  qshe::platform::QtSettingsStore settings;
  qshe::platform::QtMainWindow mainWindow(dialogs, dialogs, settings, programDir);
  window = &mainWindow;

  qshe::Editor editor(mainWindow.desktop());
  mainWindow.Attach(&editor);
  editor.recovery.folder = qshe::platform::RecoveryFolder();
  if (!qshe::StartEditor(editor, programDir, arguments)) return QApplication::exec();
  mainWindow.FitAndPlace();
  mainWindow.show();
  return QApplication::exec();
}
