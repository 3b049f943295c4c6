#include "app/color_panel.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/command_table.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "editor_fixture.h"

using namespace qshe;
using qshe::testing::EditorFixture;

namespace {

std::vector<int> Range(int first, int last) {
  std::vector<int> out;
  for (int i = first; i <= last; ++i) out.push_back(i);
  return out;
}

// Index 0 and every colour that is neither reserved nor static.
std::vector<int> GameSet() {
  std::vector<int> game = Range(10, 244);
  game.insert(game.begin(), 0);
  return game;
}

// Window point of the middle of the grid cell of palette index i.
int CellX(int i) { return 462 + 9 * (i % 16) + 4; }
int CellY(int i) { return 8 + 7 * (i / 16) + 3; }

struct ColorPanelTest : EditorFixture {
  void SetUp() override { ASSERT_TRUE(Start()); }

  // Palette index at (x, y) of the composition and of the screen image.
  int IndexIn(int slot, int x, int y) {
    SelectBuffer(e.display, slot);
    return ReadPixel(e.display, x, y);
  }
  int Composed(int x, int y) { return IndexIn(e.window.buffers.composition, x, y); }
  int Background(int x, int y) { return IndexIn(e.window.buffers.background, x, y); }

  void Pick(int i, int button) { Click(CellX(i), CellY(i), button); }

  // Whether the panel's two rectangles went to the window, one after the
  // other, since present number `from`.
  bool PanelPresentedSince(size_t from) const {
    const auto& p = hp.surface.presents;
    auto is = [](const platform::Rect& r, int x1, int x2, int y1, int y2) {
      return r.x1 == x1 && r.x2 == x2 && r.y1 == y1 && r.y2 == y2;
    };
    for (size_t i = from; i + 1 < p.size(); ++i)
      if (is(p[i].target, 461, 606, 7, 120) && is(p[i + 1].target, 558, 596, 136, 186)) return true;
    return false;
  }

  std::vector<int> Pickable() const {
    std::vector<int> out;
    for (int i = 0; i < 256; ++i)
      if (e.colors.mask[static_cast<size_t>(i)] == 1) out.push_back(i);
    return out;
  }

  // The checked entries among the twelve of the Colors menu.
  std::vector<int> Checked() const {
    std::vector<int> out;
    for (int id = 40092; id <= 40103; ++id) {
      auto it = hp.menuChecked.find(id);
      if (it != hp.menuChecked.end() && it->second) out.push_back(id);
    }
    return out;
  }

  // The digit image lies with its lowest row on y from x; its empty pixels
  // show the number strip.
  void ExpectDigit(int digit, int x, int y) {
    const Shape& d = e.helperShapes[static_cast<size_t>(kFirstDigitShape + digit)];
    ASSERT_TRUE(d.HasPixels());
    for (int row = 0; row < d.height; ++row) {
      for (int col = 0; col < d.width; ++col) {
        int v = d.pixels[static_cast<size_t>(row * d.width + col)];
        EXPECT_EQ(Composed(x + col, y - row), v == 0 ? kSwatchFrameColor : v) << digit << " at " << col << "," << row;
      }
    }
  }
};

TEST_F(ColorPanelTest, CornerClicksPickTheCornerIndicesAndJustOutsideNothing) {
  // Division toward zero: a few pixels left of or above the grid is still 0.
  for (auto [x, column] : {std::pair{462, 0}, {470, 0}, {471, 1}, {606, 15}, {700, 15}, {455, 0}, {0, 0}})
    EXPECT_EQ(GridColumn(x), column) << x;
  for (auto [y, row] : {std::pair{8, 0}, {14, 0}, {15, 1}, {120, 15}, {-50, 0}}) EXPECT_EQ(GridRow(y), row) << y;
  RunCommand(e, kCmdAllColors);
  size_t mark = hp.surface.presents.size();
  Click(462, 8, 1);
  Click(606, 120, 2);
  EXPECT_EQ(e.colors.foreColor, 0);
  EXPECT_EQ(e.colors.backColor, 255);
  EXPECT_EQ(e.colors.pickButton, -1);
  EXPECT_TRUE(PanelPresentedSince(mark));
  EXPECT_EQ(Shown(565, 155), PaletteColor(0));
  EXPECT_EQ(Shown(583, 140), PaletteColor(255));
  Click(461, 50, 1);
  Click(607, 50, 2);
  EXPECT_EQ(e.colors.foreColor, 0);
  EXPECT_EQ(e.colors.backColor, 255);
}

TEST_F(ColorPanelTest, DraggingPicksUntilTheReleaseAndBeyondTheGrid) {
  OnMouseDown(e, 462 + 9 * 4, 8 + 7 * 1, 1, false);  // index 20
  EXPECT_EQ(e.colors.foreColor, 20);
  EXPECT_EQ(e.colors.pickButton, 1);
  // Far right of row 3; below and right (255 is greyed); below and left.
  for (auto [x, y, index] : {std::tuple{CellX(38) + 1, CellY(38) - 1, 38}, {700, 8 + 7 * 3 + 1, 63}, {700, 400, 63},
                             {300, 400, 240}}) {
    OnMouseMove(e, x, y, false);
    EXPECT_EQ(e.colors.foreColor, index) << x << "," << y;
  }
  EXPECT_EQ(e.colors.backColor, 58);
  OnMouseUp(e, 300, 400, 1);
  EXPECT_EQ(e.colors.pickButton, -1);
  OnMouseMove(e, 462, 8 + 7 * 4, false);
  EXPECT_EQ(e.colors.foreColor, 240);

  // A press outside the grid starts no pick, even when dragged over it.
  OnMouseDown(e, 300, 50, 2, false);
  OnMouseMove(e, CellX(34), CellY(34), false);
  OnMouseUp(e, CellX(34), CellY(34), 2);
  EXPECT_EQ(e.colors.backColor, 58);
}

TEST_F(ColorPanelTest, EachColourSetAllowsItsIndicesFromMenuAndKeys) {
  // At start the game set, and the first colours drawn with a greyed static
  // colour.
  EXPECT_EQ(Pickable(), GameSet());
  EXPECT_EQ(Checked(), (std::vector<int>{kCmdQuorvaneColors}));
  EXPECT_EQ(e.colors.pickButton, -1);
  EXPECT_EQ(Shown(CellX(5), CellY(5)), PaletteColor(kGreyedCellColor));
  EXPECT_EQ(Shown(565, 155), PaletteColor(34));
  EXPECT_EQ(Shown(583, 140), PaletteColor(58));
  for (int id : Range(40092, 40103)) EXPECT_TRUE(hp.menuEnabled[id]) << id;
  struct Case {
    int menuId;
    int key;  // the shortcut's identifier, 0 without one
    std::vector<int> pickable;
  };
  const std::vector<Case> cases = {
      {kCmdAllColors, 0, Range(0, 255)},          {kCmdQuorvaneColors, 40104, GameSet()},
      {kCmdBootColors, 40105, Range(16, 23)},     {kCmdBracerColors, 40106, Range(80, 87)},
      {kCmdCapeColors, 40107, Range(32, 39)},     {kCmdFurColors, 40108, Range(199, 206)},
      {kCmdHairColors, 40109, Range(128, 135)},   {kCmdMarkingColors, 40110, Range(136, 143)},
      {kCmdTrouserColors, 40111, Range(224, 231)}, {kCmdVestColors, 40112, Range(72, 79)},
  };
  for (const Case& c : cases) {
    for (int identifier : {c.menuId, c.key}) {
      if (identifier == 0) continue;
      RunCommand(e, kCmdAllColors);
      size_t mark = hp.surface.presents.size();
      RunCommand(e, identifier);
      EXPECT_EQ(Pickable(), c.pickable) << identifier;
      EXPECT_EQ(Checked(), (std::vector<int>{c.menuId})) << identifier;
      EXPECT_TRUE(PanelPresentedSince(mark)) << identifier;
    }
  }
  // The colours stay, even outside the set.
  EXPECT_EQ(e.colors.foreColor, 34);
  EXPECT_EQ(e.colors.backColor, 58);
  // Badge and eye set the fore colour only, whatever the set.
  RunCommand(e, kCmdBootColors);
  RunCommand(e, kCmdBadgeColor);
  EXPECT_EQ(e.colors.foreColor, 11);
  EXPECT_EQ(Shown(565, 155), PaletteColor(11));
  RunCommand(e, kCmdEyeColor);
  EXPECT_EQ(e.colors.foreColor, 50);
  EXPECT_EQ(e.colors.backColor, 58);
  EXPECT_EQ(Pickable(), Range(16, 23));
  EXPECT_EQ(Checked(), (std::vector<int>{kCmdBootColors}));
}

TEST_F(ColorPanelTest, PickOnTheCurrentColourDrawsNothingAndOnAGreyedIndexChangesNothingButRedraws) {
  size_t mark = hp.surface.presents.size();
  Pick(34, 1);
  Pick(58, 2);
  // The toolbar presents the whole window on every release; the panel's own
  // rectangles never come.
  EXPECT_FALSE(PanelPresentedSince(mark));
  RunCommand(e, kCmdBootColors);
  mark = hp.surface.presents.size();
  Pick(30, 1);
  EXPECT_EQ(e.colors.foreColor, 34);
  EXPECT_TRUE(PanelPresentedSince(mark));
  Pick(20, 1);
  Pick(21, 2);
  EXPECT_EQ(e.colors.foreColor, 20);
  EXPECT_EQ(e.colors.backColor, 21);
  // The game set: 0 may be picked, static colours may not.
  RunCommand(e, kCmdQuorvaneColors);
  Pick(5, 1);
  Pick(250, 2);
  EXPECT_EQ(e.colors.foreColor, 20);
  EXPECT_EQ(e.colors.backColor, 21);
  Pick(0, 1);
  Pick(58, 2);
  EXPECT_EQ(e.colors.foreColor, 0);
  // Greyed cells cover their cell and stop short at the last row and column.
  RunCommand(e, kCmdBootColors);
  // Index 100 (column 4, row 6): all 9 x 7 pixels, corner to corner.
  for (auto [x, y] : {std::pair{498, 50}, {506, 50}, {498, 56}, {506, 56}})
    EXPECT_EQ(Composed(x, y), kGreyedCellColor) << x << "," << y;
  // Index 47 (column 15, row 2): 8 wide, the ninth column is the screen
  // image's; index 241 (column 1, row 15): 6 high.
  EXPECT_EQ(Composed(604, 22), kGreyedCellColor);
  EXPECT_EQ(Composed(605, 22), Background(605, 22));
  EXPECT_EQ(Composed(471, 118), kGreyedCellColor);
  EXPECT_EQ(Composed(471, 119), Background(471, 119));
  // Pickable cells, and the two current colours though outside the set, keep
  // the screen image's colours.
  for (int i : {20, 0, 58}) EXPECT_EQ(Composed(CellX(i), CellY(i)), Background(CellX(i), CellY(i))) << i;
  // Back to all colours: the greying is gone again.
  RunCommand(e, kCmdAllColors);
  EXPECT_EQ(Composed(475, 25), Background(475, 25));
  EXPECT_EQ(Shown(475, 25), PaletteColor(Background(475, 25)));
}

TEST_F(ColorPanelTest, OutlinesSwatchesAndNumbers) {
  // Fore 7 and back 123 (column 11, row 7).
  e.colors.foreColor = 7;
  e.colors.backColor = 123;
  DrawColorPanel(e);
  for (auto [x, y] : {std::pair{461 + 63, 7}, {470 + 63, 14}, {461 + 63, 10}, {466 + 63, 14}})
    EXPECT_EQ(Composed(x, y), kForeOutlineColor) << x << "," << y;
  for (auto [x, y] : {std::pair{461 + 99, 7 + 49}, {470 + 99, 14 + 49}})
    EXPECT_EQ(Composed(x, y), kBackOutlineColor) << x << "," << y;
  // The old outline of 34 is gone.
  EXPECT_EQ(Composed(461 + 18, 7 + 14), Background(461 + 18, 7 + 14));
  // The number strip shows both numbers digit by digit.
  PresentColorPanel(e);
  int w = e.helperShapes[static_cast<size_t>(kFirstDigitShape)].width;
  ExpectDigit(7, 560, 178);
  ExpectDigit(1, 580, 178);
  ExpectDigit(2, 580 + w + 1, 178);
  ExpectDigit(3, 580 + 2 * (w + 1), 178);
  // One pixel of strip between digits, the separator between the numbers.
  EXPECT_EQ(Composed(580 + w, 175), kSwatchFrameColor);
  for (int y : {171, 175, 179}) EXPECT_EQ(Composed(577, y), kGreyedCellColor);
  // Swatches: the colours inside black frames, the back one behind.
  EXPECT_EQ(Composed(559, 146), 0);
  EXPECT_EQ(Composed(560, 147), 7);
  EXPECT_EQ(Composed(586, 138), 123);
  EXPECT_EQ(Composed(579, 150), 123);  // the back colour covers the front frame
  EXPECT_EQ(Composed(558, 165), kSwatchFrameColor);
  EXPECT_EQ(Shown(560, 147), PaletteColor(7));
  EXPECT_EQ(Shown(586, 138), PaletteColor(123));
  // Both on one cell: the back outline wins.
  e.colors.foreColor = 40;
  e.colors.backColor = 40;
  DrawColorPanel(e);
  int x1 = 461 + 9 * 8, y1 = 7 + 7 * 2;
  for (auto [x, y] : {std::pair{x1, y1}, {x1 + 9, y1 + 7}, {x1 + 4, y1}, {x1, y1 + 3}})
    EXPECT_EQ(Composed(x, y), kBackOutlineColor) << x << "," << y;
  // The outline of the last cell stays inside the grid's rectangle.
  e.colors.backColor = 255;
  DrawColorPanel(e);
  EXPECT_EQ(Composed(605, 119), kBackOutlineColor);
  EXPECT_EQ(Composed(606, 120), Background(606, 120));
  // DrawNumber answers where a following number would start.
  EXPECT_EQ(DrawNumber(e, 10, 200, 255), 10 + 3 * (w + 1));
  EXPECT_EQ(DrawNumber(e, 10, 200, -4), 10 + (w + 1));
}

}  // namespace
