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

#include "platform/platform.h"

namespace qshe::platform {

class HeadlessPlatform : public MessageBoxes,
                         public FileDialogs,
                         public WindowFrame,
                         public SettingsStore {
 public:
  HeadlessPlatform() : platform_{*this, *this, *this, *this} {}
  HeadlessPlatform(const HeadlessPlatform&) = delete;
  HeadlessPlatform& operator=(const HeadlessPlatform&) = delete;

  Platform& platform() { return platform_; }

  // ----- scripting -----
  // Answers for the next questions, in order. A question with no scripted
  // answer gets the safe default: No for Yes/No, Cancel for Yes/No/Cancel.
  std::deque<Answer> answers;
  // Names for the next file dialogs, in order; nothing = the user cancelled.
  // An empty queue means cancel.
  std::deque<std::optional<std::string>> fileNames;
  // Settings values: (root, key) present means the key exists.
  std::map<std::pair<SettingsRoot, std::string>, std::map<std::string, std::string>> settingsKeys;

  // ----- what was shown -----
  std::vector<MessageBoxRequest> messages;
  std::vector<FileDialogRequest> openDialogs;
  std::vector<FileDialogRequest> saveDialogs;
  std::vector<std::string> titles;
  std::vector<Cursor> cursors;

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

 private:
  std::optional<std::string> NextFileName();

  Platform platform_;
  std::string title_;
  Cursor cursor_ = Cursor::Arrow;
};

}  // namespace qshe::platform
