#include "app/program_dir.h"

#include <climits>
#include <filesystem>
#include <unistd.h>

#include "document/file_io.h"

namespace qshe {
namespace {

// Drops one leading double quote and, when something is left, one trailing one.
std::string StripQuotes(std::string_view text) {
  if (text.empty() || text.front() != '"') return std::string(text);
  text.remove_prefix(1);
  if (!text.empty() && text.back() == '"') text.remove_suffix(1);
  return std::string(text);
}

}  // namespace

void AppendSeparator(std::string& path, char separator) {
  if (!path.empty() && path.back() != separator) path.push_back(separator);
}

std::string ProgramDirFromCommandLine(std::string_view commandLine, std::string_view currentDir) {
  char delimiter = ' ';
  if (!commandLine.empty() && commandLine.front() == '"') {
    commandLine.remove_prefix(1);
    delimiter = '"';
  }
  std::string text(commandLine.substr(0, kMaxPathText));
  if (text.size() >= 2 && text[1] == ':') {
    size_t end = text.find(delimiter);
    if (end != std::string::npos) text.resize(end);
    // The last backslash from the end down to the second character ends the
    // directory; the file name goes.
    for (size_t i = text.size(); i-- > 1;) {
      if (text[i] == '\\') {
        text.resize(i);
        break;
      }
    }
    text.push_back('\\');
    return text;
  }
  std::string dir(currentDir.substr(0, kMaxPathText));
  AppendSeparator(dir, '\\');
  return dir;
}

std::string CommandLineFileFromRemainder(std::string_view remainder) {
  return StripQuotes(remainder.substr(0, kMaxPathText));
}

std::string ProgramDir() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe", ec);
  std::string dir;
  if (!ec) {
    dir = exe.parent_path().string();
  } else {
    dir = std::filesystem::current_path(ec).string();
  }
  AppendSeparator(dir);
  return dir;
}

std::string CommandLineFile(const std::vector<std::string>& arguments) {
  std::string joined;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i) joined.push_back(' ');
    joined += arguments[i];
  }
  return StripQuotes(joined);
}

std::optional<platform::SettingsRoot> OpenPatchesKey(platform::SettingsStore& settings,
                                                     const std::string& subkey) {
  for (auto root : {platform::SettingsRoot::LocalMachine, platform::SettingsRoot::CurrentUser}) {
    if (settings.HasKey(root, subkey)) return root;
  }
  return std::nullopt;
}

std::string LocateSupportFile(const std::string& name, const std::string& programDir,
                              platform::SettingsStore& settings) {
  std::string patches;
  if (auto root = OpenPatchesKey(settings, kPatchesKey)) {
    patches = settings.ReadText(*root, kPatchesKey, "default").value_or("");
    if (patches.size() > kMaxPathText) patches.resize(kMaxPathText);
  }
  AppendSeparator(patches);
  std::string candidate = patches + name;
  if (FileExists(candidate)) return candidate;
  candidate = programDir + "patches" + kPathSeparator + "default" + kPathSeparator + name;
  if (FileExists(candidate)) return candidate;
  return LocateProgramFile(name, programDir);
}

std::string LocateProgramFile(const std::string& name, const std::string& programDir) {
  if (FileExists(programDir + name)) return programDir + name;
  std::string installed = InstalledSupportDir(programDir) + name;
  if (FileExists(installed)) return installed;
  return programDir + name;
}

std::string InstalledSupportDir(const std::string& programDir) {
  if (programDir.empty()) return "";
  std::filesystem::path dir = std::filesystem::path(programDir) / ".." / "share" / "qshe";
  std::string text = dir.lexically_normal().string();
  AppendSeparator(text);
  return text;
}

std::string SupportFileDir(const std::string& name, const std::string& programDir,
                           platform::SettingsStore& settings) {
  std::string path = LocateSupportFile(name, programDir, settings);
  return path.substr(0, path.size() - name.size());
}

}  // namespace qshe
