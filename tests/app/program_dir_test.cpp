#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/program_dir.h"
#include "platform/headless/headless.h"

using namespace qshe;
using platform::SettingsRoot;

TEST(CommandLine, ProgramDirectory) {
  EXPECT_EQ(ProgramDirFromCommandLine("\"C:\\Games\\Ed\\editor.exe\" \"C:\\x y\\a.qsh\"", "D:\\cur"),
            "C:\\Games\\Ed\\");
  EXPECT_EQ(ProgramDirFromCommandLine("C:\\Ed\\editor.exe C:\\p\\b.qsh", "D:\\cur"), "C:\\Ed\\");
  EXPECT_EQ(ProgramDirFromCommandLine("editor.exe b.qsh", "D:\\cur"), "D:\\cur\\");
  EXPECT_EQ(ProgramDirFromCommandLine("editor.exe b.qsh", "C:\\"), "C:\\");
  // A drive path with no backslash after the drive keeps the whole name.
  EXPECT_EQ(ProgramDirFromCommandLine("C:editor.exe", "D:\\"), "C:editor.exe\\");
  // This machine's: the executable's folder.
  std::string dir = ProgramDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(dir + "test_app"));
}

TEST(CommandLine, FileToOpenKeepsBlanksAndDropsOneQuotePair) {
  EXPECT_EQ(CommandLineFileFromRemainder("\"C:\\x y\\a.qsh\""), "C:\\x y\\a.qsh");
  EXPECT_EQ(CommandLineFileFromRemainder("a b.qsh"), "a b.qsh");
  EXPECT_EQ(CommandLineFileFromRemainder("\"a.qsh"), "a.qsh");
  EXPECT_EQ(CommandLineFileFromRemainder("\""), "");
  EXPECT_EQ(CommandLineFileFromRemainder(""), "");
  EXPECT_EQ(CommandLineFileFromRemainder(std::string(600, 'x')).size(), kMaxPathText);
  // Arguments of this machine's command line are joined by single blanks.
  EXPECT_EQ(CommandLineFile({"a", "b.qsh"}), "a b.qsh");
  EXPECT_EQ(CommandLineFile({"\"/tmp/x y.qsh\""}), "/tmp/x y.qsh");
  EXPECT_EQ(CommandLineFile({}), "");
}

TEST(SupportFiles, SearchOrderRegistryThenPatchesThenProgramDirAndOneSeparator) {
  namespace fs = std::filesystem;
  fs::path root = fs::temp_directory_path() / ("qshe-locate-" + std::to_string(::getpid()));
  fs::create_directories(root / "game");
  fs::create_directories(root / "prog" / "patches" / "default");
  std::string prog = (root / "prog").string() + "/";
  platform::HeadlessPlatform ui;
  auto touch = [](const fs::path& p) { std::ofstream(p) << "x"; };

  // Nothing anywhere: the untested last candidate.
  EXPECT_EQ(LocateSupportFile("qshe.qsh", prog, ui), prog + "qshe.qsh");
  // An installed editor: bin/qshe finds share/qshe/qshe.qsh, but a file
  // beside the program still wins.
  fs::create_directories(root / "share" / "qshe");
  touch(root / "share" / "qshe" / "qshe.qsh");
  EXPECT_EQ(InstalledSupportDir(prog), (root / "share" / "qshe").string() + "/");
  EXPECT_EQ(LocateSupportFile("qshe.qsh", prog, ui), (root / "share" / "qshe" / "qshe.qsh").string());
  EXPECT_EQ(SupportFileDir("qshe.qsh", prog, ui), (root / "share" / "qshe").string() + "/");
  touch(root / "prog" / "qshe.qsh");
  EXPECT_EQ(LocateSupportFile("qshe.qsh", prog, ui), prog + "qshe.qsh");
  touch(root / "prog" / "patches" / "default" / "qshe.qsh");
  EXPECT_EQ(LocateSupportFile("qshe.qsh", prog, ui), prog + "patches/default/qshe.qsh");

  // The registry value, without its trailing separator, comes first; the
  // current user's key counts when the machine has none.
  ui.settingsKeys[{SettingsRoot::CurrentUser, kPatchesKey}]["default"] = (root / "game").string();
  touch(root / "game" / "qshe.qsh");
  EXPECT_EQ(LocateSupportFile("qshe.qsh", prog, ui), (root / "game" / "qshe.qsh").string());
  EXPECT_EQ(OpenPatchesKey(ui, kPatchesKey), SettingsRoot::CurrentUser);
  ui.settingsKeys[{SettingsRoot::LocalMachine, kPatchesKey}];  // key without the value
  EXPECT_EQ(OpenPatchesKey(ui, kPatchesKey), SettingsRoot::LocalMachine);
  EXPECT_EQ(LocateSupportFile("qshe.qsh", prog, ui), prog + "patches/default/qshe.qsh");
  fs::remove_all(root);

  // The separator is appended once.
  auto appended = [](std::string path, char separator) {
    AppendSeparator(path, separator);
    return path;
  };
  EXPECT_EQ(appended("/x", '/'), "/x/");
  EXPECT_EQ(appended("/x/", '/'), "/x/");
  EXPECT_EQ(appended("", '/'), "");
  EXPECT_EQ(appended("D:\\Game\\patches\\default", '\\'), "D:\\Game\\patches\\default\\");
}
