// Message boxes, file dialogs and the settings store on Qt.
#pragma once

#include <functional>

#include "platform/platform.h"

class QSettings;
class QWidget;

namespace qshe::platform {

// Boxes and dialogs sit on the window `owner` names: the main window, or the
// window that has the focus.
class QtDialogs : public MessageBoxes, public FileDialogs {
 public:
  explicit QtDialogs(std::function<QWidget*()> mainWindow) : mainWindow_(std::move(mainWindow)) {}
  Answer ShowMessageBox(const MessageBoxRequest& request) override;
  std::optional<std::string> AskOpenFileName(const FileDialogRequest& request) override;
  std::optional<std::string> AskSaveFileName(const FileDialogRequest& request) override;

 private:
  QWidget* OwnerWidget(Owner owner) const;
  std::optional<std::string> RunFileDialog(const FileDialogRequest& request, bool save);
  std::function<QWidget*()> mainWindow_;
};

// The registry on Windows; elsewhere Qt's settings files, the system-wide one
// standing in for the local machine and the user's own for the current user.
class QtSettingsStore : public SettingsStore {
 public:
  bool HasKey(SettingsRoot root, const std::string& key) override;
  std::optional<std::string> ReadText(SettingsRoot root, const std::string& key,
                                      const std::string& name) override;
  bool WriteText(SettingsRoot root, const std::string& key, const std::string& name,
                 const std::string& value) override;
  // The editor's preferences live beside its window state; none are kept
  // without a store (the tests' windows).
  void UsePreferences(QSettings* store) { preferences_ = store; }
  std::optional<std::string> ReadPreference(const std::string& name) override;
  void WritePreference(const std::string& name, const std::string& value) override;

 private:
  QSettings* preferences_ = nullptr;
};

}  // namespace qshe::platform
