#include "app/recent_files.h"

#include <algorithm>
#include <sstream>
#include <string_view>

#include "app/command_table.h"
#include "document/document_commands.h"
#include "document/file_io.h"
#include "platform/messages.h"

namespace qshe {
namespace {

constexpr size_t kLongestLabelPath = 70;

bool SamePath(const std::string& a, const std::string& b) { return a == b || SameFile(a, b); }

void KeepAndShow(Editor& e) {
  e.ui().settings.WritePreference(kRecentFilesPreference, FormatRecentFiles(e.recent));
  std::vector<platform::MenuItem> entries;
  for (size_t i = 0; i < e.recent.paths.size(); ++i) {
    entries.push_back({platform::MenuItem::Kind::Command, RecentEntryLabel(i, e.recent.paths[i]),
                       kCmdRecentFile0 + static_cast<int>(i), "", {}});
  }
  e.desktop.menus.SetDynamicEntries(kCmdClearRecent, entries);
  e.desktop.menus.SetMenuEnabled(kCmdClearRecent, !e.recent.paths.empty());
}

}  // namespace

void AddRecentPath(RecentFiles& recent, const std::string& path) {
  if (path.empty() || path.find_first_of("\r\n") != std::string::npos) return;
  RemoveRecentPath(recent, path);
  recent.paths.insert(recent.paths.begin(), path);
  if (recent.paths.size() > kMaxRecentFiles) recent.paths.resize(kMaxRecentFiles);
}

void RemoveRecentPath(RecentFiles& recent, const std::string& path) {
  std::erase_if(recent.paths, [&](const std::string& p) { return SamePath(p, path); });
}

RecentFiles ParseRecentFiles(const std::string& stored) {
  RecentFiles recent;
  std::istringstream in(stored);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || recent.paths.size() >= kMaxRecentFiles) continue;
    // A store edited by hand may name a file twice; the first counts.
    if (std::find(recent.paths.begin(), recent.paths.end(), line) == recent.paths.end()) recent.paths.push_back(line);
  }
  return recent;
}

std::string FormatRecentFiles(const RecentFiles& recent) {
  std::string out;
  for (const std::string& p : recent.paths) out += p + "\n";
  return out;
}

std::string RecentEntryLabel(size_t i, const std::string& path) {
  // Ten entries: 1..9 and 0 are the mnemonics.
  std::string label = "&";
  label.push_back(static_cast<char>('0' + (i + 1) % 10));
  label.push_back(' ');
  auto append = [&label](std::string_view part) {
    for (char c : part) {
      if (c == '&') label.push_back('&');
      label.push_back(c);
    }
  };
  const std::string_view p(path);
  if (p.size() <= kLongestLabelPath) {
    append(p);
  } else {
    // The file name matters most: keep the end and the start of the folder.
    const size_t keepEnd = kLongestLabelPath * 2 / 3, keepStart = kLongestLabelPath - keepEnd - 3;
    append(p.substr(0, keepStart));
    label.append("...");
    append(p.substr(p.size() - keepEnd));
  }
  return label;
}

void LoadRecentFiles(Editor& e) {
  auto stored = e.ui().settings.ReadPreference(kRecentFilesPreference);
  e.recent = stored ? ParseRecentFiles(*stored) : RecentFiles{};
  KeepAndShow(e);
}

void NoteRecentFile(Editor& e, const std::string& path) {
  if (path.empty()) return;
  AddRecentPath(e.recent, AbsolutePath(path));
  KeepAndShow(e);
}

void OpenRecentFile(Editor& e, size_t i) {
  if (i >= e.recent.paths.size()) return;
  const std::string path = e.recent.paths[i];
  if (!FileExists(path)) {
    RemoveRecentPath(e.recent, path);
    KeepAndShow(e);
    platform::ShowError(e.ui().boxes, "The file " + path +
                                          " is no longer there. It has been taken off the list of recent files.");
    return;
  }
  OpenNamedDocument(e.doc, e.canvas, e.ui(), path);
}

void ClearRecentFiles(Editor& e) {
  e.recent.paths.clear();
  KeepAndShow(e);
}

}  // namespace qshe
