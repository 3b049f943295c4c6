// The Colors menu on the Qt window: one check mark, on the chosen set only.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <tuple>

#include "app/command_table.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;

TEST(QtColors, OnlyTheChosenSetIsCheckedAndPlainColourCommandsNeverAre) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  auto [window, editor] = std::tie(q.window, q.editor);

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
