// File > Open Recent: the last documents opened or saved, newest first, kept
// in the settings store from one run to the next.
#pragma once

#include <string>
#include <vector>

#include "app/editor.h"

namespace qshe {

inline constexpr size_t kMaxRecentFiles = 10;
inline constexpr const char* kRecentFilesPreference = "Recent/Files";

// Puts `path` first, dropping an older mention of the same file and what
// falls off the end. An empty path, or one that cannot be kept in the
// store's one-line-per-file form, changes nothing.
void AddRecentPath(RecentFiles& recent, const std::string& path);
void RemoveRecentPath(RecentFiles& recent, const std::string& path);

// The stored list and back: one path a line.
RecentFiles ParseRecentFiles(const std::string& stored);
std::string FormatRecentFiles(const RecentFiles& recent);

// The menu entry of the i-th file (0 newest): "&1 /home/ann/sprites.qs2",
// a long path shortened in its middle, ampersands doubled.
std::string RecentEntryLabel(size_t i, const std::string& path);

// Reads the list from the settings store and shows it in the menu.
void LoadRecentFiles(Editor& e);
// A document was opened or saved under `path`: it goes first, into the
// store and the menu.
void NoteRecentFile(Editor& e, const std::string& path);
// The i-th entry chosen: the document opens as Open opens it (asking about
// unsaved changes first); a file that is gone is taken off the list with a
// message.
void OpenRecentFile(Editor& e, size_t i);
// "Clear List".
void ClearRecentFiles(Editor& e);

}  // namespace qshe
