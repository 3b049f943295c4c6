// What the program asks of the window system. Everything above this folder
// talks to the desktop only through these interfaces: the Qt implementation
// drives real windows, the headless one answers from scripted queues.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qshe::platform {

// ----- message boxes -------------------------------------------------------

enum class Icon { Stop, Question, Exclamation, Information };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };
// Which window a box or dialog sits on.
enum class Owner { MainWindow, ActiveWindow, None };

struct MessageBoxRequest {
  std::string text;
  std::string caption;
  Icon icon = Icon::Stop;
  Buttons buttons = Buttons::Ok;
  Owner owner = Owner::MainWindow;
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual Answer ShowMessageBox(const MessageBoxRequest& request) = 0;
};

// ----- file dialogs --------------------------------------------------------

struct FileFilter {
  std::string description;  // "Quorvane Shape file (*.qsh)"
  std::string pattern;      // "*.qsh"
};

struct FileDialogRequest {
  std::vector<FileFilter> filters;
  int firstFilter = 0;  // index into filters selected when the dialog opens
  std::string initialName;
  std::string defaultExtension;  // without the dot; appended when the user types none
  std::string title;             // empty: the window system's own
  int maxLength = 260;           // longest name the caller takes
  bool fileMustExist = false;
  bool pathMustExist = false;
  bool promptOverwrite = false;
  bool hideReadOnly = true;
  Owner owner = Owner::MainWindow;
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen name, or nothing when the user cancelled.
  virtual std::optional<std::string> AskOpenFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> AskSaveFileName(const FileDialogRequest& request) = 0;
};

// ----- the main window's frame --------------------------------------------

enum class Cursor { Arrow, Wait, Pencil, Eraser, Hand, Eyedropper, Select, Bucket };

class WindowFrame {
 public:
  virtual ~WindowFrame() = default;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void SetCursor(Cursor cursor) = 0;
};

// ----- settings (the registry on Windows) ----------------------------------

enum class SettingsRoot { LocalMachine, CurrentUser };

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // True when the key exists under the root.
  virtual bool HasKey(SettingsRoot root, const std::string& key) = 0;
  // A text value of an existing key, or nothing when the value is missing.
  virtual std::optional<std::string> ReadText(SettingsRoot root, const std::string& key,
                                              const std::string& name) = 0;
};

// Everything at once, as handed to the handlers that need the desktop.
struct Platform {
  MessageBoxes& boxes;
  FileDialogs& files;
  WindowFrame& window;
  SettingsStore& settings;
};

}  // namespace qshe::platform
