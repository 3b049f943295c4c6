// The scripted desktop used by tests and by qshe-tool. Questions are answered
// from queues that a test fills beforehand; everything the program shows is
// recorded so a test can look at it afterwards.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/headless/headless_surface.h"
#include "platform/menu.h"
#include "platform/platform.h"

namespace qshe::platform {

class HeadlessPlatform : public MessageBoxes,
                         public FileDialogs,
                         public WindowFrame,
                         public SettingsStore,
                         public MenuBar,
                         public WindowControl,
                         public Clipboard {
 public:
  HeadlessPlatform() : platform_{*this, *this, *this, *this} {}
  HeadlessPlatform(const HeadlessPlatform&) = delete;
  HeadlessPlatform& operator=(const HeadlessPlatform&) = delete;

  Platform& platform() { return platform_; }
  Desktop& desktop() { return desktop_; }

  // ----- scripting -----
  // Answers for the next questions, in order. A question with no scripted
  // answer gets the safe default: No for Yes/No, Cancel for Yes/No/Cancel.
  std::deque<Answer> answers;
  // Names for the next file dialogs, in order; nothing = the user cancelled.
  // An empty queue means cancel.
  std::deque<std::optional<std::string>> fileNames;
  // The filter the user leaves chosen in the next file dialogs, in order;
  // when the queue is empty, the dialog's first filter.
  std::deque<int> chosenFilters;
  // Settings values: (root, key) present means the key exists.
  std::map<std::pair<SettingsRoot, std::string>, std::map<std::string, std::string>> settingsKeys;

  // ----- what was shown -----
  std::vector<MessageBoxRequest> messages;
  std::vector<FileDialogRequest> openDialogs;
  std::vector<FileDialogRequest> saveDialogs;
  std::vector<std::string> titles;
  std::vector<Cursor> cursors;

  // ----- the main window -----
  HeadlessSurface surface{615, 285};
  HeadlessDialogs dialogs;
  std::vector<MenuItem> menus;
  std::vector<Accelerator> accelerators;
  std::map<int, bool> menuChecked;
  std::map<int, bool> menuEnabled;
  std::map<int, std::string> menuTips;
  std::map<int, std::vector<MenuItem>> dynamicEntries;  // by anchor
  // The editor's preferences as kept between runs.
  std::map<std::string, std::string> preferences;
  bool mouseCaptured = false;
  std::map<int, int> timers;  // id -> period of the running timers
  std::optional<int> quitCode;
  int screenWidth = 1024;
  int screenHeight = 768;
  std::vector<std::string> openedTextFiles;
  bool openTextFileWorks = true;  // what OpenTextFile answers
  // What the clipboard holds; another program's picture is put here.
  ClipboardContent clipboard;
  bool clipboardOpens = true;  // false: the clipboard cannot be opened

  const std::string& title() const { return title_; }
  Cursor cursor() const { return cursor_; }
  // Texts of the boxes shown so far.
  std::vector<std::string> messageTexts() const;

  // ----- the interfaces -----
  Answer ShowMessageBox(const MessageBoxRequest& request) override;
  std::optional<std::string> AskOpenFileName(const FileDialogRequest& request) override;
  std::optional<std::string> AskSaveFileName(const FileDialogRequest& request) override;
  void SetTitle(const std::string& title) override;
  void SetCursor(Cursor cursor) override;
  bool HasKey(SettingsRoot root, const std::string& key) override;
  std::optional<std::string> ReadText(SettingsRoot root, const std::string& key,
                                      const std::string& name) override;
  bool WriteText(SettingsRoot root, const std::string& key, const std::string& name,
                 const std::string& value) override {
    settingsKeys[{root, key}][name] = value;
    return true;
  }
  void BuildMenus(const std::vector<MenuItem>& pulldowns,
                  const std::vector<Accelerator>& keys) override;
  void SetMenuChecked(int id, bool checked) override { menuChecked[id] = checked; }
  void SetMenuEnabled(int id, bool enabled) override { menuEnabled[id] = enabled; }
  void SetMenuTip(int id, const std::string& tip) override { menuTips[id] = tip; }
  void SetDynamicEntries(int anchorId, const std::vector<MenuItem>& entries) override {
    dynamicEntries[anchorId] = entries;
  }
  std::optional<std::string> ReadPreference(const std::string& name) override {
    auto it = preferences.find(name);
    if (it == preferences.end()) return std::nullopt;
    return it->second;
  }
  void WritePreference(const std::string& name, const std::string& value) override { preferences[name] = value; }
  void CaptureMouse() override { mouseCaptured = true; }
  void ReleaseMouse() override { mouseCaptured = false; }
  void StartTimer(int id, int milliseconds) override { timers[id] = milliseconds; }
  void StopTimer(int id) override { timers.erase(id); }
  void Quit(int exitCode) override { quitCode = exitCode; }
  void ScreenSize(int& width, int& height) override;
  bool OpenTextFile(const std::string& path) override;
  bool PutClipboard(const ClipboardContent& content) override;
  ClipboardContent GetClipboard() override { return clipboardOpens ? clipboard : ClipboardContent{}; }

 private:
  std::optional<std::string> NextFileName();
  void ChooseFilter(const FileDialogRequest& request);

  Platform platform_;
  Desktop desktop_{platform_, surface, *this, *this, dialogs, *this};
  std::string title_;
  Cursor cursor_ = Cursor::Arrow;
};

}  // namespace qshe::platform
