// The onion skin in the running editor: View > Onion Skin (G) and its
// choice of neighbours, the neighbours placed by their offsets as the game
// places them, and that no tool, no clipboard, no file and no recovery copy
// ever sees a pixel of them.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "app/canvas_routing.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "app/onion_commands.h"
#include "document/document_commands.h"
#include "document/recovery.h"
#include "editor_fixture.h"
#include "properties/properties_window.h"

using namespace qshe;
using qshe::testing::EditorFixture;
using qshe::testing::ReadBytes;

namespace {

// Window point of canvas column c, top row t, unmagnified at origin (0, 0).
constexpr int X(int c) { return kViewLeft + c; }
constexpr int Y(int t) { return kViewTop + t; }

// Three shapes: a 40 x 40 ring (colour 100) with a 32 x 32 hole between two
// solid blocks (120 before, 130 after), all at the same offsets unless the
// test moves them.
void MakeRingBetweenBlocks(Editor& e) {
  ShapeList& list = e.doc.list;
  for (int i = 0; i < 3; ++i) {
    Shape& s = list.slots[static_cast<size_t>(i)];
    AllocateShape(s, 40, 40);
    for (int r = 0; r < 40; ++r) {
      for (int c = 0; c < 40; ++c) {
        const bool hole = i == 1 && r >= 4 && r < 36 && c >= 4 && c < 36;
        s.pixels[static_cast<size_t>(r * 40 + c)] = hole ? 0 : static_cast<uint8_t>(i == 0 ? 120 : i == 1 ? 100 : 130);
      }
    }
    s.offsetX = 10;
    s.offsetY = 20;
  }
  ShowShape(e.doc, e.canvas, 1, false, 0);
}

struct OnionTest : EditorFixture {
  void SetUp() override {
    ASSERT_TRUE(Start());
    MakeRingBetweenBlocks(e);
    ShowCanvas(e);
  }
  Shape& S(int i) { return e.doc.list.slots[static_cast<size_t>(i)]; }
  platform::Rgb Tinted(int side, int index) const { return PaletteColor(e.onion.tints[side][index]); }
};

}  // namespace

TEST_F(OnionTest, GShowsBothNeighboursFaintlyInTheHoleAndGAgainTakesThemAway) {
  EXPECT_FALSE(hp.menuChecked[kCmdOnionSkin]);
  EXPECT_TRUE(hp.menuChecked[kCmdOnionBoth]);
  EXPECT_EQ(Shown(X(20), Y(20)), PaletteColor(kPlainBackground));
  OnCommand(e, kCmdOnionSkin);
  EXPECT_TRUE(hp.menuChecked[kCmdOnionSkin]);
  // The shape before on pixels whose column and row add up to an even
  // number, the one after on the others; the ring itself as it is.
  EXPECT_EQ(Shown(X(20), Y(20)), Tinted(0, 120));
  EXPECT_EQ(Shown(X(21), Y(20)), Tinted(1, 130));
  EXPECT_EQ(Shown(X(1), Y(1)), PaletteColor(100));
  EXPECT_NE(Tinted(0, 120), Tinted(1, 130));
  // Outside the neighbours only the background.
  EXPECT_EQ(Shown(X(60), Y(20)), PaletteColor(kPlainBackground));
  OnCommand(e, kCmdOnionSkin);
  EXPECT_FALSE(hp.menuChecked[kCmdOnionSkin]);
  EXPECT_EQ(Shown(X(20), Y(20)), PaletteColor(kPlainBackground));
}

TEST_F(OnionTest, TheViewMenuChoosesThePreviousTheNextOrBoth) {
  OnCommand(e, kCmdOnionPrevious);  // choosing switches it on
  EXPECT_TRUE(hp.menuChecked[kCmdOnionSkin]);
  EXPECT_TRUE(hp.menuChecked[kCmdOnionPrevious]);
  EXPECT_FALSE(hp.menuChecked[kCmdOnionBoth]);
  EXPECT_EQ(Shown(X(20), Y(20)), Tinted(0, 120));
  EXPECT_EQ(Shown(X(21), Y(20)), PaletteColor(kPlainBackground));
  OnCommand(e, kCmdOnionNext);
  EXPECT_EQ(Shown(X(20), Y(20)), PaletteColor(kPlainBackground));
  EXPECT_EQ(Shown(X(21), Y(20)), Tinted(1, 130));
  // The first shape has no shape before it, the last none after it: the
  // list does not wrap round as the move keys do.
  OnCommand(e, kCmdOnionBoth);
  OnCommand(e, kCmdPreviousShape);
  ASSERT_EQ(e.doc.list.current, 0);
  EXPECT_EQ(e.onion.layers[0].lastRow, -1);
  EXPECT_GE(e.onion.layers[1].lastRow, 0);
  e.doc.list.count = 3;
  OnCommand(e, kCmdNextShape);
  OnCommand(e, kCmdNextShape);
  ASSERT_EQ(e.doc.list.current, 2);
  EXPECT_GE(e.onion.layers[0].lastRow, 0);
  EXPECT_EQ(e.onion.layers[1].lastRow, -1);
}

// A neighbour lies where the game puts it relative to the current shape:
// moved by the difference of their offsets, and, when the game keeps it
// above the floor line, from there.
TEST_F(OnionTest, NeighboursAreMovedByTheDifferenceOfTheirOffsets) {
  OnCommand(e, kCmdOnionPrevious);
  S(0).offsetX = 10 + 50;  // 50 right
  S(0).offsetY = 20 + 6;   // 6 down
  ShowCanvas(e);
  // Its top-left pixel at column 50, top row 6, its bottom-right at 89, 45.
  EXPECT_EQ(Shown(X(50), Y(6)), Tinted(0, 120));
  EXPECT_EQ(Shown(X(89), Y(45)), Tinted(0, 120));
  EXPECT_EQ(Shown(X(48), Y(6)), PaletteColor(kPlainBackground));
  EXPECT_EQ(Shown(X(50), Y(4)), PaletteColor(kPlainBackground));
  EXPECT_EQ(Shown(X(91), Y(45)), PaletteColor(kPlainBackground));
  EXPECT_EQ(Shown(X(89), Y(47)), PaletteColor(kPlainBackground));
  // 40 rows at offsetY 70 would end below the floor line: the game puts
  // its top row at 55, 35 rows below the current shape's (offset 20).
  S(0).offsetY = 70;
  ShowCanvas(e);
  EXPECT_EQ(Shown(X(51), Y(35)), Tinted(0, 120));
  EXPECT_EQ(Shown(X(51), Y(33)), PaletteColor(kPlainBackground));
  // Typing the current shape's offsets in the properties window moves the
  // neighbours the other way at once.
  S(0).offsetY = 20;
  OnCommand(e, kCmdShapeProperties);
  hp.dialogs.Type(kPropertiesDialog, kPropOffsetX, "20");  // 10 right: the neighbour 40 right of it now
  EXPECT_EQ(S(1).offsetX, 20);
  EXPECT_EQ(Shown(X(40), Y(0)), Tinted(0, 120));
  EXPECT_EQ(Shown(X(79), Y(39)), Tinted(0, 120));
  EXPECT_EQ(Shown(X(82), Y(0)), PaletteColor(kPlainBackground));
}

namespace {

// What the editor's tools, clipboard, files and recovery copies made of the
// same work, with the onion skin on or off.
struct Outcome {
  uint8_t picked = 0;
  std::vector<uint8_t> canvas;
  platform::ClipboardContent clipboard;
  std::vector<uint8_t> file;
  std::vector<uint8_t> recoveryShapes;
  std::vector<uint8_t> recoveryObjects;
};

Outcome Work(const qshe::testing::TempDir& dir, bool onion, std::vector<platform::Rgb>* shownHole) {
  platform::HeadlessPlatform hp;
  auto e = std::make_unique<Editor>(hp.desktop());
  EXPECT_TRUE(StartEditor(*e, dir.path().string() + "/", {}));
  MakeRingBetweenBlocks(*e);
  if (onion) OnCommand(*e, kCmdOnionSkin);
  ShowCanvas(*e);
  for (int x = 0; x < 4; ++x) shownHole->push_back(hp.surface.Pixel(X(20 + x), Y(20)));
  Outcome out;
  auto click = [&](int x, int y, bool ctrl = false) {
    OnMouseDown(*e, x, y, 1, ctrl);
    OnMouseUp(*e, x, y, 1);
  };
  // The eyedropper over a neighbour's pixel in the hole.
  click(X(20), Y(20), true);
  out.picked = e->colors.foreColor;
  // The bucket fills the hole: the whole hole, whatever shows in it.
  e->colors.foreColor = 140;
  OnCommand(*e, kCmdBucket);
  click(X(10), Y(30));
  // A pencil stroke through the ring and out of it.
  OnCommand(*e, kCmdPencil);
  e->colors.foreColor = 150;
  OnMouseDown(*e, X(30), Y(2), 1, false);
  OnMouseMove(*e, X(70), Y(2), false);
  OnMouseUp(*e, X(70), Y(2), 1);
  // The eraser makes another hole, where the neighbours show again.
  OnCommand(*e, kCmdEraser);
  OnMouseDown(*e, X(2), Y(20), 1, false);
  OnMouseMove(*e, X(2), Y(30), false);
  OnMouseUp(*e, X(2), Y(30), 1);
  // A selection over the ring and what lies beside it, copied.
  OnCommand(*e, kCmdSelect);
  OnMouseDown(*e, X(0), Y(0), 1, false);
  OnMouseMove(*e, X(79), Y(45), false);
  OnMouseUp(*e, X(79), Y(45), 1);
  OnCommand(*e, kCmdCopy);
  out.clipboard = hp.clipboard;
  out.canvas.assign(e->canvas.pixels.begin(), e->canvas.pixels.end());
  // The recovery copy, as the journal would write it now.
  const RecoveryCopy copy = MakeRecoveryCopy(e->doc, e->canvas, e->window.canvasChanged == 1);
  out.recoveryShapes = copy.shapeFile;
  out.recoveryObjects = copy.objectFile;
  const std::string path = dir.File(onion ? "with.qsh" : "without.qsh");
  hp.fileNames.push_back(path);
  OnCommand(*e, kCmdSaveAs);
  out.file = ReadBytes(path);
  return out;
}

}  // namespace

TEST(OnionSkinUnseen, NoToolClipboardFileOrRecoveryCopyEverSeesANeighboursPixel) {
  qshe::testing::TempDir dir;
  qshe::testing::WriteSupportFiles(dir);
  std::vector<platform::Rgb> withShown, withoutShown;
  const Outcome with = Work(dir, true, &withShown);
  const Outcome without = Work(dir, false, &withoutShown);
  ASSERT_NE(withShown, withoutShown) << "the onion skin showed nothing to be seen";
  EXPECT_EQ(with.picked, 0);  // transparent, as without
  EXPECT_EQ(with.picked, without.picked);
  EXPECT_EQ(with.canvas, without.canvas);
  EXPECT_FALSE(with.clipboard.indices.empty());
  EXPECT_EQ(with.clipboard.indices, without.clipboard.indices);
  EXPECT_EQ(with.clipboard.bitmap, without.clipboard.bitmap);
  EXPECT_FALSE(with.file.empty());
  EXPECT_EQ(with.file, without.file);
  EXPECT_EQ(with.recoveryShapes, without.recoveryShapes);
  EXPECT_EQ(with.recoveryObjects, without.recoveryObjects);
}

// With the editor's own palette every colour of the shape before turns into
// another colour than the same colour of the shape after, and neither into
// a background's: the two neighbours are told apart by colour alone, and
// never vanish into the background.
TEST_F(OnionTest, ThePreviousAndTheNextShapeAreToldApartForEveryColour) {
  OnCommand(e, kCmdOnionSkin);
  ASSERT_TRUE(e.onion.tinted);
  for (int i = 1; i < 256; ++i) {
    EXPECT_NE(Tinted(0, i), Tinted(1, i)) << i;
    for (int background : {kPlainBackground, kCheckerLight, kCheckerDark, kContrastBackground}) {
      EXPECT_NE(Tinted(0, i), PaletteColor(background)) << i;
      EXPECT_NE(Tinted(1, i), PaletteColor(background)) << i;
    }
  }
}
