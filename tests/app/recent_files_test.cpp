// File > Open Recent: the list's order and bounds, its keeping in the
// settings store, its menu entries, and a file that has gone.
#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/main_window.h"
#include "app/recent_files.h"
#include "editor_fixture.h"

using namespace qshe;
using qshe::testing::EditorFixture;
using qshe::testing::kQsh;
using qshe::testing::WriteBytes;

namespace {

TEST(RecentList, NewestFirstEachFileOnceAtMostTen) {
  RecentFiles r;
  for (int i = 0; i < 12; ++i) AddRecentPath(r, "/art/f" + std::to_string(i) + ".qsh");
  ASSERT_EQ(r.paths.size(), kMaxRecentFiles);
  EXPECT_EQ(r.paths.front(), "/art/f11.qsh");
  EXPECT_EQ(r.paths.back(), "/art/f2.qsh");
  AddRecentPath(r, "/art/f5.qsh");
  EXPECT_EQ(r.paths.front(), "/art/f5.qsh");
  EXPECT_EQ(std::count(r.paths.begin(), r.paths.end(), "/art/f5.qsh"), 1);
  EXPECT_EQ(r.paths.size(), kMaxRecentFiles);
  // Nothing the one-line-a-file store could not give back.
  AddRecentPath(r, "");
  AddRecentPath(r, "/art/two\nlines.qsh");
  EXPECT_EQ(r.paths.front(), "/art/f5.qsh");
}

TEST(RecentList, StoredOneLineAFileAndReadBackForgiving) {
  RecentFiles r;
  AddRecentPath(r, "/b.qs2");
  AddRecentPath(r, "/a b/c.qsh");
  EXPECT_EQ(ParseRecentFiles(FormatRecentFiles(r)).paths, r.paths);
  // A store edited by hand: blank lines, Windows line ends, a repeat, too many.
  std::string stored = "\r\n/x.qsh\r\n\n/x.qsh\n";
  for (int i = 0; i < 15; ++i) stored += "/y" + std::to_string(i) + ".qsh\n";
  const RecentFiles read = ParseRecentFiles(stored);
  ASSERT_EQ(read.paths.size(), kMaxRecentFiles);
  EXPECT_EQ(read.paths[0], "/x.qsh");
  EXPECT_EQ(read.paths[1], "/y0.qsh");
}

TEST(RecentList, EntryLabelsNumberEscapeAndShorten) {
  EXPECT_EQ(RecentEntryLabel(0, "/art/a.qsh"), "&1 /art/a.qsh");
  EXPECT_EQ(RecentEntryLabel(9, "/art/a.qsh"), "&0 /art/a.qsh");
  // An ampersand in a name is shown, not taken as the mnemonic.
  EXPECT_EQ(RecentEntryLabel(1, "/R&D/a.qsh"), "&2 /R&&D/a.qsh");
  const std::string deep = "/home/ann/" + std::string(120, 'd') + "/walls.qs2";
  const std::string label = RecentEntryLabel(2, deep);
  EXPECT_LT(label.size(), 80u);
  EXPECT_EQ(label.substr(label.size() - 10), "/walls.qs2");
  EXPECT_NE(label.find("..."), std::string::npos);
}

struct RecentTest : EditorFixture {
  std::string Write(const std::string& name) {
    WriteBytes(dir.File(name), kQsh);
    return dir.File(name);
  }
  std::vector<std::string> MenuLabels() const {
    std::vector<std::string> labels;
    auto it = hp.dynamicEntries.find(kCmdClearRecent);
    if (it == hp.dynamicEntries.end()) return labels;
    for (const auto& item : it->second) labels.push_back(item.label);
    return labels;
  }
};

TEST_F(RecentTest, OpenedAndSavedDocumentsGoFirstIntoStoreAndMenu) {
  const std::string a = Write("a.qsh");
  ASSERT_TRUE(Start({a}));
  ASSERT_EQ(e.recent.paths.size(), 1u);
  EXPECT_EQ(e.recent.paths[0], a);
  EXPECT_EQ(hp.preferences.at(kRecentFilesPreference), a + "\n");
  EXPECT_EQ(MenuLabels(), std::vector<std::string>{"&1 " + a});
  EXPECT_TRUE(hp.menuEnabled.at(kCmdClearRecent));
  hp.fileNames.push_back(dir.File("b.qsh"));
  OnCommand(e, kCmdSaveAs);
  ASSERT_EQ(e.recent.paths.size(), 2u);
  EXPECT_EQ(e.recent.paths[0], dir.File("b.qsh"));
  EXPECT_EQ(MenuLabels()[1], "&2 " + a);
  // A cancelled open changes nothing.
  OnCommand(e, kCmdOpen);
  EXPECT_EQ(e.recent.paths[0], dir.File("b.qsh"));
}

TEST_F(RecentTest, AFileThatCouldNotBeReadIsNotListed) {
  WriteBytes(dir.File("bad.qsh"), {1, 2, 3});
  ASSERT_TRUE(Start({dir.File("bad.qsh")}));
  EXPECT_TRUE(e.recent.paths.empty());
  EXPECT_FALSE(hp.menuEnabled.at(kCmdClearRecent));
}

TEST_F(RecentTest, TheListComesBackAtTheNextStartAndAnEntryOpensItsFile) {
  const std::string a = Write("a.qsh"), b = Write("b.qsh");
  hp.preferences[kRecentFilesPreference] = b + "\n" + a + "\n";
  ASSERT_TRUE(Start());
  EXPECT_EQ(MenuLabels().size(), 2u);
  OnCommand(e, kCmdRecentFile0 + 1);
  EXPECT_EQ(e.doc.state.documentPath, a);
  EXPECT_EQ(e.doc.list.count, 1);
  EXPECT_EQ(e.recent.paths[0], a);
  EXPECT_EQ(e.recent.paths[1], b);
}

TEST_F(RecentTest, AnEntryAsksAboutUnsavedWorkFirst) {
  const std::string a = Write("a.qsh");
  hp.preferences[kRecentFilesPreference] = a + "\n";
  ASSERT_TRUE(Start());
  Click(200, 20);
  hp.answers.push_back(platform::Answer::Cancel);
  OnCommand(e, kCmdRecentFile0);
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_EQ(hp.messages[0].buttons, platform::Buttons::YesNoCancel);
  // Cancel keeps the painting and the document.
  EXPECT_EQ(e.doc.state.documentPath, "");
  EXPECT_EQ(e.window.canvasChanged + (e.doc.state.modified == kModified ? 1 : 0) > 0, true);
}

TEST_F(RecentTest, AFileThatIsGoneIsTakenOffWithAMessage) {
  const std::string a = Write("a.qsh"), b = Write("b.qsh");
  hp.preferences[kRecentFilesPreference] = b + "\n" + a + "\n";
  ASSERT_TRUE(Start());
  std::filesystem::remove(b);
  OnCommand(e, kCmdRecentFile0);
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_NE(hp.messages[0].text.find(b), std::string::npos);
  EXPECT_EQ(e.recent.paths, std::vector<std::string>{a});
  EXPECT_EQ(hp.preferences.at(kRecentFilesPreference), a + "\n");
  EXPECT_EQ(MenuLabels().size(), 1u);
  EXPECT_EQ(e.doc.state.documentPath, "");  // the new document stays
}

TEST_F(RecentTest, ClearListEmptiesMenuAndStore) {
  hp.preferences[kRecentFilesPreference] = Write("a.qsh") + "\n";
  ASSERT_TRUE(Start());
  OnCommand(e, kCmdClearRecent);
  EXPECT_TRUE(e.recent.paths.empty());
  EXPECT_TRUE(MenuLabels().empty());
  EXPECT_EQ(hp.preferences.at(kRecentFilesPreference), "");
  EXPECT_FALSE(hp.menuEnabled.at(kCmdClearRecent));
}

}  // namespace
