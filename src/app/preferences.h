// What the editor remembers from one run to the next: the grid switch, the
// background, and the folder each kind of file dialog was last left in.
// Everything goes through the settings store.
#pragma once

#include <string>

#include "app/editor.h"
#include "platform/platform.h"

namespace qshe {

inline constexpr const char* kGridPreference = "View/Grid";
inline constexpr const char* kBackgroundPreference = "View/Background";

// Puts the grid and the background back as they were left (at start-up).
void RestoreViewPreferences(Editor& e);
// Keeps the grid switch and the background as they stand now.
void KeepViewPreferences(Editor& e);

// The name a dialog's folder is kept under: open or save, and the kinds of
// file it lists, so the shape dialogs and the picture dialogs each go back
// to their own folder.
std::string FolderPreferenceName(const platform::FileDialogRequest& request, bool save);
// The folder part of a chosen file name ("/home/ann/art" for
// "/home/ann/art/a.bmp"); empty when it has none.
std::string FolderOf(const std::string& path);

// File dialogs that open in the folder the same kind of dialog was last
// left in, and remember the folder of every file chosen. A dialog given a
// folder, or a name with a folder in it, opens there as asked.
class RememberedFolders : public platform::FileDialogs {
 public:
  RememberedFolders(platform::FileDialogs& dialogs, platform::SettingsStore& store)
      : dialogs_(dialogs), store_(store) {}
  std::optional<std::string> AskOpenFileName(const platform::FileDialogRequest& request) override;
  std::optional<std::string> AskSaveFileName(const platform::FileDialogRequest& request) override;

 private:
  std::optional<std::string> Ask(const platform::FileDialogRequest& request, bool save);
  platform::FileDialogs& dialogs_;
  platform::SettingsStore& store_;
};

}  // namespace qshe
