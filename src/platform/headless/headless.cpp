#include "platform/headless/headless.h"

namespace qshe::platform {

std::vector<std::string> HeadlessPlatform::messageTexts() const {
  std::vector<std::string> texts;
  texts.reserve(messages.size());
  for (const auto& m : messages) texts.push_back(m.text);
  return texts;
}

Answer HeadlessPlatform::ShowMessageBox(const MessageBoxRequest& request) {
  messages.push_back(request);
  if (request.buttons == Buttons::Ok) return Answer::Ok;
  Answer answer = request.buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  return answer;
}

std::optional<std::string> HeadlessPlatform::NextFileName() {
  if (fileNames.empty()) return std::nullopt;
  auto name = fileNames.front();
  fileNames.pop_front();
  return name;
}

void HeadlessPlatform::ChooseFilter(const FileDialogRequest& request) {
  int chosen = request.firstFilter;
  if (!chosenFilters.empty()) {
    chosen = chosenFilters.front();
    chosenFilters.pop_front();
  }
  if (request.chosenFilter) *request.chosenFilter = chosen;
}

std::optional<std::string> HeadlessPlatform::AskOpenFileName(const FileDialogRequest& request) {
  openDialogs.push_back(request);
  ChooseFilter(request);
  return NextFileName();
}

std::optional<std::string> HeadlessPlatform::AskSaveFileName(const FileDialogRequest& request) {
  saveDialogs.push_back(request);
  ChooseFilter(request);
  return NextFileName();
}

void HeadlessPlatform::SetTitle(const std::string& title) {
  title_ = title;
  titles.push_back(title);
}

void HeadlessPlatform::SetCursor(Cursor cursor) {
  cursor_ = cursor;
  cursors.push_back(cursor);
}

bool HeadlessPlatform::HasKey(SettingsRoot root, const std::string& key) {
  return settingsKeys.count({root, key}) != 0;
}

std::optional<std::string> HeadlessPlatform::ReadText(SettingsRoot root, const std::string& key,
                                                      const std::string& name) {
  auto k = settingsKeys.find({root, key});
  if (k == settingsKeys.end()) return std::nullopt;
  auto v = k->second.find(name);
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

void HeadlessPlatform::BuildMenus(const std::vector<MenuItem>& pulldowns,
                                  const std::vector<Accelerator>& keys) {
  menus = pulldowns;
  accelerators = keys;
  menuChecked.clear();
  menuEnabled.clear();
}

void HeadlessPlatform::ScreenSize(int& width, int& height) {
  width = screenWidth;
  height = screenHeight;
}

bool HeadlessPlatform::OpenTextFile(const std::string& path) {
  openedTextFiles.push_back(path);
  return openTextFileWorks;
}

bool HeadlessPlatform::PutClipboard(const ClipboardContent& content) {
  if (!clipboardOpens) return false;
  clipboard = content;
  return true;
}

}  // namespace qshe::platform
