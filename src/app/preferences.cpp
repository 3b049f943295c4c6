#include "app/preferences.h"

#include <cctype>

#include "app/command_table.h"
#include "app/main_window.h"

namespace qshe {
namespace {

// A stored number, or `fallback` when it is missing or not one of ours.
int StoredChoice(platform::SettingsStore& store, const char* name, int fallback, int last) {
  auto text = store.ReadPreference(name);
  if (!text || text->size() != 1 || text->front() < '0' || text->front() - '0' > last) return fallback;
  return text->front() - '0';
}

}  // namespace

void RestoreViewPreferences(Editor& e) {
  platform::SettingsStore& store = e.ui().settings;
  e.view.gridWhileZooming = StoredChoice(store, kGridPreference, e.view.gridWhileZooming, 1);
  e.desktop.menus.SetMenuChecked(kCmdGridWhileZooming, e.view.gridWhileZooming == 1);
  const int background = StoredChoice(store, kBackgroundPreference, e.view.backgroundType, 2);
  if (background != e.view.backgroundType) SetToolState(e, e.tools.currentTool, background, e.tools.pencilSize);
}

void KeepViewPreferences(Editor& e) {
  platform::SettingsStore& store = e.ui().settings;
  store.WritePreference(kGridPreference, std::to_string(e.view.gridWhileZooming));
  store.WritePreference(kBackgroundPreference, std::to_string(e.view.backgroundType));
}

std::string FolderPreferenceName(const platform::FileDialogRequest& request, bool save) {
  std::string name = save ? "Folders/save" : "Folders/open";
  for (const platform::FileFilter& f : request.filters) {
    std::string word;
    for (char c : f.pattern) {
      if (std::isalnum(static_cast<unsigned char>(c))) word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (!word.empty()) name += "-" + word;
  }
  return name;
}

std::string FolderOf(const std::string& path) {
  const size_t cut = path.find_last_of("/\\");
  if (cut == std::string::npos) return {};
  return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

std::optional<std::string> RememberedFolders::AskOpenFileName(const platform::FileDialogRequest& request) {
  return Ask(request, false);
}

std::optional<std::string> RememberedFolders::AskSaveFileName(const platform::FileDialogRequest& request) {
  return Ask(request, true);
}

std::optional<std::string> RememberedFolders::Ask(const platform::FileDialogRequest& request, bool save) {
  const std::string name = FolderPreferenceName(request, save);
  platform::FileDialogRequest asked = request;
  if (asked.directory.empty() && FolderOf(asked.initialName).empty()) {
    if (auto folder = store_.ReadPreference(name)) asked.directory = *folder;
  }
  auto chosen = save ? dialogs_.AskSaveFileName(asked) : dialogs_.AskOpenFileName(asked);
  if (chosen) {
    const std::string folder = FolderOf(*chosen);
    if (!folder.empty()) store_.WritePreference(name, folder);
  }
  return chosen;
}

}  // namespace qshe
