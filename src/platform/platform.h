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
  std::string directory;         // the folder it opens in; empty: the window system's choice
  int maxLength = 260;           // longest name the caller takes
  bool fileMustExist = false;
  bool pathMustExist = false;
  bool promptOverwrite = false;
  bool hideReadOnly = true;
  Owner owner = Owner::MainWindow;
  // When set, receives the index of the filter the user left chosen.
  int* chosenFilter = nullptr;
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
  // Stores a text value, making the key when it is missing; false when the
  // store cannot be written.
  virtual bool WriteText(SettingsRoot root, const std::string& key, const std::string& name,
                         const std::string& value) = 0;
  // The editor's own preferences, kept from one run to the next under names
  // such as "View/Grid". A store that keeps none reads nothing back.
  virtual std::optional<std::string> ReadPreference(const std::string& /*name*/) { return std::nullopt; }
  virtual void WritePreference(const std::string& /*name*/, const std::string& /*value*/) {}
};

// ----- the main window itself ----------------------------------------------

class WindowControl {
 public:
  virtual ~WindowControl() = default;
  // Mouse moves and releases keep coming to the main window while captured,
  // also from outside it.
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;
  // A timer that calls back the event function for `id` every period.
  virtual void StartTimer(int id, int milliseconds) = 0;
  virtual void StopTimer(int id) = 0;
  // Ends the program once the current event is handled.
  virtual void Quit(int exitCode) = 0;
  // Size of the screen the window is on, for placing it.
  virtual void ScreenSize(int& width, int& height) = 0;
  // Opens a text file for reading in the desktop's own viewer; false when
  // nothing could be started.
  virtual bool OpenTextFile(const std::string& path) = 0;
};

// Everything at once, as handed to the handlers that need the desktop.
struct Platform {
  MessageBoxes& boxes;
  FileDialogs& files;
  WindowFrame& window;
  SettingsStore& settings;
};

}  // namespace qshe::platform
