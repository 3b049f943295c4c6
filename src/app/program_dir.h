// Where the program lives, which file it was asked to open, and where its
// support files are.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace qshe {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The registry key (or its stand-in) that names the game's patch directory.
inline constexpr const char* kPatchesKey = "Software\\Lanthorn Hill Studios\\Quorvane\\Patches";
inline constexpr size_t kMaxPathText = 511;

// Appends the separator unless the text is empty or already ends in one.
void AppendSeparator(std::string& path, char separator = kPathSeparator);

// Windows command lines: the program's directory from the full command line
// ("C:\Ed\editor.exe b.qsh" gives "C:\Ed\"), falling back to the current
// directory when the program is not named by a drive path.
std::string ProgramDirFromCommandLine(std::string_view commandLine, std::string_view currentDir);
// Windows command lines: the file to open from everything after the program's
// name; one leading quote and its closing quote are removed.
std::string CommandLineFileFromRemainder(std::string_view remainder);

// This machine: the directory of the running executable, ending in a separator.
std::string ProgramDir();
// This machine: the arguments after the program's name joined by single
// blanks, then the same quote rule.
std::string CommandLineFile(const std::vector<std::string>& arguments);

// Which root holds the patches key: the local machine first, then the user.
std::optional<platform::SettingsRoot> OpenPatchesKey(platform::SettingsStore& settings,
                                                     const std::string& subkey);

// Where an installed editor keeps its support files: share/qshe beside the
// bin directory the program is in ("/usr/bin/" gives "/usr/share/qshe/").
std::string InstalledSupportDir(const std::string& programDir);

// The support file `name`: in the game's patch directory, else in
// patches/default below the program, else beside the program, else in the
// installed support directory, else (untested) beside the program.
std::string LocateSupportFile(const std::string& name, const std::string& programDir,
                              platform::SettingsStore& settings);
// A file of the program's own (the help text): beside the program, else in
// the installed support directory, else (untested) beside the program.
std::string LocateProgramFile(const std::string& name, const std::string& programDir);
// The directory part of LocateSupportFile, ending in a separator.
std::string SupportFileDir(const std::string& name, const std::string& programDir,
                           platform::SettingsStore& settings);

}  // namespace qshe
