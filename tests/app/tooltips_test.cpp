// Every toolbar button names what it does and the key of its command.
#include <gtest/gtest.h>

#include <string>

#include "app/command_table.h"
#include "app/tooltips.h"
#include "editor_fixture.h"

using namespace qshe;
using qshe::testing::EditorFixture;

namespace {

// "(K)": built by appending, which GCC 12 does not warn about at -O3.
std::string InBrackets(const std::string& key) { return std::string("(").append(key).append(")"); }

std::string KeyOf(int menuId) {
  for (const auto& a : MainAccelerators())
    if (MenuIdFor(a.id) == menuId && a.key.size() == 1) return a.key;
  return "";
}

TEST_F(EditorFixture, EveryToolbarButtonHasATipAtItsPlace) {
  ASSERT_TRUE(Start());
  for (int i = 0; i < kFirstFigureButton; ++i) {
    auto [x, y] = ButtonCentre(i);
    EXPECT_EQ(ToolbarButtonAt(e, x, y), i);
    EXPECT_FALSE(TipAt(e, x, y).empty()) << i;
  }
  EXPECT_EQ(TipAt(e, 300, 100), "");  // the canvas
  EXPECT_EQ(TipAt(e, 0, 0), "");
  EXPECT_EQ(TipAt(e, 15, 134), "Pencil (H)");
  // The figure buttons keep their own tips.
  const ToolButton& line = e.toolbar.buttons[kFirstFigureButton];
  EXPECT_EQ(TipAt(e, line.x + 2, line.y + 2).substr(0, 8), "Line (L)");
}

TEST(Tooltips, NameTheKeyTheCommandTableGives) {
  const int commands[] = {kCmdPencil, kCmdEraser,     kCmdHand,       kCmdEyedropper, kCmdSelect,
                          kCmdBucket, kCmdCenterView, kCmdSecondView, kCmdZoomIn,     kCmdZoomOut};
  for (int i = 0; i < 10; ++i) {
    const std::string key = KeyOf(commands[i]);
    ASSERT_FALSE(key.empty());
    EXPECT_NE(ToolbarButtonTip(i).find(InBrackets(key)), std::string::npos) << ToolbarButtonTip(i);
  }
  for (int i = 10; i <= 12; ++i) EXPECT_NE(ToolbarButtonTip(i).find(std::string("(").append(KeyOf(kCmdChangeBackground))), std::string::npos);
  for (int i = 13; i <= 18; ++i) EXPECT_NE(ToolbarButtonTip(i).find(std::string("(").append(KeyOf(kCmdChangePencilSize))), std::string::npos);
  EXPECT_EQ(ToolbarButtonTip(19), "Next Shape (+)");
  EXPECT_NE(ToolbarButtonTip(21).find("Page Down"), std::string::npos);
  EXPECT_EQ(ToolbarButtonTip(kFirstFigureButton), "");
  EXPECT_EQ(ToolbarButtonTip(-1), "");
}

}  // namespace
