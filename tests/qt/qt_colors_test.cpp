// The Colors menu on the Qt window: one check mark, on the chosen set only.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>

#include "../app/editor_fixture.h"
#include "app/command_table.h"
#include "app/startup.h"
#include "platform/qt/qt_main_window.h"

using namespace qshe;
using qshe::testing::TempDir;
using qshe::testing::WriteSupportFiles;

namespace {

// The program's one application object, whichever test made it first.
void EnsureApp() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
}

}  // namespace

TEST(QtColors, OnlyTheChosenSetIsCheckedAndPlainColourCommandsNeverAre) {
  EnsureApp();
  TempDir dir;
  WriteSupportFiles(dir);
  const std::string programDir = dir.path().string() + "/";
  platform::HeadlessPlatform scripted;
  platform::QtMainWindow window(scripted, scripted, scripted, programDir);
  Editor editor(window.desktop());
  window.Attach(&editor);
  ASSERT_TRUE(StartEditor(editor, programDir, {}));

  auto checked = [&](int id) { return window.MenuAction(id)->isChecked(); };
  EXPECT_TRUE(checked(kCmdQuorvaneColors));
  window.MenuAction(kCmdHairColors)->trigger();
  // Choosing the set that is already checked keeps its mark.
  window.MenuAction(kCmdHairColors)->trigger();
  EXPECT_TRUE(checked(kCmdHairColors));
  EXPECT_FALSE(checked(kCmdQuorvaneColors));
  window.MenuAction(kCmdEyeColor)->trigger();
  window.MenuAction(kCmdBadgeColor)->trigger();
  EXPECT_EQ(editor.colors.foreColor, 11);
  EXPECT_FALSE(checked(kCmdEyeColor));
  EXPECT_FALSE(checked(kCmdBadgeColor));
  EXPECT_TRUE(checked(kCmdHairColors));
  window.close();
}
