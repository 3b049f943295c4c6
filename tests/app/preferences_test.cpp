// What is remembered from one run to the next: grid, background, and the
// folder of each kind of file dialog.
#include <gtest/gtest.h>

#include <string>

#include "app/command_table.h"
#include "app/main_window.h"
#include "app/preferences.h"
#include "editor_fixture.h"

using namespace qshe;
using qshe::testing::EditorFixture;

namespace {

constexpr int kKeyW = 40083;

TEST_F(EditorFixture, GridAndBackgroundAreKeptAndComeBackAtTheNextStart) {
  ASSERT_TRUE(Start());
  OnCommand(e, kCmdGridWhileZooming);
  OnCommand(e, kKeyW);
  OnCommand(e, kKeyW);
  EXPECT_EQ(hp.preferences.at(kGridPreference), "1");
  EXPECT_EQ(hp.preferences.at(kBackgroundPreference), "2");

  // The next run, on the same store.
  platform::HeadlessPlatform next;
  next.preferences = hp.preferences;
  Editor again(next.desktop());
  ASSERT_TRUE(StartEditor(again, dir.path().string() + "/", {}));
  EXPECT_EQ(again.view.gridWhileZooming, 1);
  EXPECT_TRUE(next.menuChecked.at(kCmdGridWhileZooming));
  EXPECT_EQ(again.view.backgroundType, 2);
  EXPECT_EQ(again.toolbar.buttons[12].pressed, 1);
  EXPECT_EQ(again.toolbar.buttons[10].pressed, 0);
  // The toolbar button changes it too.
  ClickButton(11);
  EXPECT_EQ(hp.preferences.at(kBackgroundPreference), "1");
}

TEST_F(EditorFixture, StoredPreferencesThatAreNotOursAreIgnored) {
  hp.preferences[kGridPreference] = "yes";
  hp.preferences[kBackgroundPreference] = "7";
  ASSERT_TRUE(Start());
  EXPECT_EQ(e.view.gridWhileZooming, 0);
  EXPECT_EQ(e.view.backgroundType, 0);
}

TEST(FolderPreferences, EachKindOfDialogHasItsOwnName) {
  platform::FileDialogRequest shapes, pictures;
  shapes.filters = {{"Quorvane Shape file (*.qsh)", "*.qsh"}, {"QS2 (*.qs2)", "*.qs2"}};
  pictures.filters = {{"Pictures (*.bmp;*.png)", "*.bmp;*.png"}};
  EXPECT_EQ(FolderPreferenceName(shapes, false), "Folders/open-qsh-qs2");
  EXPECT_EQ(FolderPreferenceName(shapes, true), "Folders/save-qsh-qs2");
  EXPECT_EQ(FolderPreferenceName(pictures, false), "Folders/open-bmppng");
  EXPECT_EQ(FolderOf("/home/ann/a.bmp"), "/home/ann");
  EXPECT_EQ(FolderOf("/a.bmp"), "/");
  EXPECT_EQ(FolderOf("a.bmp"), "");
}

TEST(FolderPreferences, ADialogOpensWhereItsKindWasLastLeft) {
  platform::HeadlessPlatform hp;
  RememberedFolders folders(hp, hp);
  platform::FileDialogRequest shapes, pictures;
  shapes.filters = {{"Quorvane Shape file (*.qsh)", "*.qsh"}};
  pictures.filters = {{"Bitmap (*.bmp)", "*.bmp"}};
  hp.fileNames = {"/work/art/a.qsh", std::nullopt, "/pics/p.bmp"};
  EXPECT_EQ(folders.AskOpenFileName(shapes), "/work/art/a.qsh");
  EXPECT_EQ(hp.openDialogs[0].directory, "");
  // Cancelled: the folder stays as it was.
  EXPECT_FALSE(folders.AskOpenFileName(shapes));
  EXPECT_EQ(hp.openDialogs[1].directory, "/work/art");
  EXPECT_TRUE(folders.AskOpenFileName(pictures));
  EXPECT_EQ(hp.openDialogs[2].directory, "");
  hp.fileNames = {"/work/art/b.qsh"};
  folders.AskOpenFileName(shapes);
  EXPECT_EQ(hp.openDialogs[3].directory, "/work/art");
  // Saving has a folder of its own, and a name with a folder goes there.
  hp.fileNames = {"/out/c.qsh", "/out/d.qsh"};
  folders.AskSaveFileName(shapes);
  EXPECT_EQ(hp.saveDialogs[0].directory, "");
  platform::FileDialogRequest named = shapes;
  named.initialName = "/else/where.qsh";
  folders.AskSaveFileName(named);
  EXPECT_EQ(hp.saveDialogs[1].directory, "");
  EXPECT_EQ(hp.preferences.at("Folders/save-qsh"), "/out");
  EXPECT_EQ(hp.preferences.at("Folders/open-qsh"), "/work/art");
}

}  // namespace
