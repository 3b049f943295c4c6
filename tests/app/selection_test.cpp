// The select tool, the clipboard commands and the flips driven through the
// main window's mouse and command events, with the scripted clipboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "app/command_table.h"
#include "app/main_window.h"
#include "app/recovery.h"
#include "document/file_io.h"
#include "document/recovery.h"
#include "app/history_commands.h"
#include "editor_fixture.h"
#include "interchange/clipboard_bitmap.h"
#include "interchange/picture.h"

using namespace qshe;
using qshe::testing::EditorFixture;

namespace {

int WindowX(int column) { return 184 + column; }
int WindowY(int row) { return 263 - row; }

struct SelectionTest : EditorFixture {
  void SetUp() override {
    ASSERT_TRUE(Start());
    OnCommand(e, kCmdSelect);
  }
  // A left-button drag between canvas points (column, bottom-up row).
  void Drag(int c0, int r0, int c1, int r1, int button = 1) {
    OnMouseDown(e, WindowX(c0), WindowY(r0), button, false);
    OnMouseMove(e, WindowX(c1), WindowY(r1), false);
    OnMouseUp(e, WindowX(c1), WindowY(r1), button);
  }
  // Column c of row r gets c + 16 * (r - r0) + 10 over a w x h block.
  void Paint(int c0, int r0, int w, int h) {
    for (int r = r0; r < r0 + h; ++r)
      for (int c = c0; c < c0 + w; ++c) e.canvas.At(c, r) = static_cast<uint8_t>(10 + c + 16 * (r - r0));
    // As a stroke would, then saved.
    RecordCanvasStep(e, "Pencil");
    MarkSaved(e.history);
    e.doc.state.modified = kUnmodified;
  }
  bool Floating() const { return IsFloating(e.selection); }
};

TEST_F(SelectionTest, ADragLiftsTheRectangleAndAClickElsewhereDropsItWhereItWasMoved) {
  Paint(10, 197, 4, 4);
  const Canvas before = e.canvas;
  Drag(10, 200, 13, 197);
  // Columns 10..13, top rows 55..58; the 16 pixels float and leave 0 behind.
  const SelectionBounds b = Bounds(e.selection);
  EXPECT_EQ((std::array{b.minX, b.maxX, b.minY, b.maxY}), (std::array{10, 13, 55, 58}));
  ASSERT_TRUE(Floating());
  for (int i = 0; i < 16; ++i) {
    const int c = 10 + i % 4, r = 197 + i / 4;  // bottom row first
    EXPECT_EQ((*e.selection.pixels)[static_cast<size_t>(i)], before.At(c, r)) << i;
    EXPECT_EQ(e.canvas.At(c, r), 0);
  }
  EXPECT_EQ(e.doc.state.modified, kUnmodified);  // lifting alone changes nothing

  // Pressed on the selection, it moves 5 right and 2 up; the hand shows.
  OnMouseDown(e, WindowX(11), WindowY(198), 1, false);
  EXPECT_EQ(hp.cursor(), platform::Cursor::Hand);
  OnMouseMove(e, WindowX(16), WindowY(200), false);
  OnMouseUp(e, WindowX(16), WindowY(200), 1);
  EXPECT_EQ(e.selection.state, kRectangle);
  EXPECT_EQ(e.doc.state.modified, kModified);
  // The window shows the floating pixels at their new place.
  EXPECT_EQ(Shown(WindowX(16), WindowY(200)), PaletteColor(before.At(11, 198)));

  Click(WindowX(100), WindowY(100));
  EXPECT_FALSE(SelectionExists(e.selection));
  EXPECT_EQ(e.canvas.At(15, 199), before.At(10, 197));
  EXPECT_EQ(e.canvas.At(18, 202), before.At(13, 200));
  EXPECT_EQ(e.canvas.At(10, 197), 0);

  // One undo takes back the whole move (not the step before it); a redo
  // brings it back.
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.canvas.pixels, before.pixels);
  OnCommand(e, kCmdRedo);
  EXPECT_EQ(e.canvas.At(15, 199), before.At(10, 197));
}

TEST_F(SelectionTest, ClicksAndThinRectanglesLiftNothing) {
  Paint(0, 250, 6, 6);
  const Canvas before = e.canvas;
  Drag(2, 252, 4, 254);
  ASSERT_TRUE(Floating());
  // A click without a drag elsewhere drops the selection and clears it.
  Click(WindowX(100), WindowY(100));
  EXPECT_FALSE(SelectionExists(e.selection));
  EXPECT_EQ(e.canvas.pixels, before.pixels);
  // A one-pixel-wide rectangle stays marked but is not lifted; so does one
  // drawn with the right button.
  Drag(1, 251, 1, 254);
  EXPECT_TRUE(SelectionExists(e.selection));
  EXPECT_FALSE(Floating());
  Drag(0, 250, 3, 253, 2);
  EXPECT_TRUE(SelectionExists(e.selection));
  EXPECT_FALSE(Floating());
  EXPECT_EQ(e.canvas.pixels, before.pixels);
}

TEST_F(SelectionTest, ARightButtonMoveOfAFloatingSelectionKeepsItsPixels) {
  Paint(20, 200, 4, 4);
  const uint8_t corner = e.canvas.At(20, 200);
  Drag(20, 203, 23, 200);
  OnMouseDown(e, WindowX(21), WindowY(201), 2, false);
  OnMouseMove(e, WindowX(31), WindowY(201), false);
  OnMouseUp(e, WindowX(31), WindowY(201), 2);
  // The next press elsewhere puts the pixels down instead of dropping them.
  Click(WindowX(150), WindowY(50));
  EXPECT_EQ(e.canvas.At(30, 200), corner);
}

TEST_F(SelectionTest, ASelectionMovedPartlyOffTheCanvasKeepsOnlyWhatLiesOnIt) {
  Paint(0, 240, 8, 4);
  const Canvas before = e.canvas;
  Drag(0, 243, 7, 240);
  OnMouseDown(e, WindowX(4), WindowY(241), 1, false);
  OnMouseMove(e, WindowX(1), WindowY(241), false);  // three columns past the left edge
  OnMouseUp(e, WindowX(1), WindowY(241), 1);
  EXPECT_EQ(e.selection.rect.x1, -3);
  Click(WindowX(100), WindowY(100));
  for (int c = 0; c < 8; ++c) EXPECT_EQ(e.canvas.At(c, 240), c < 5 ? before.At(c + 3, 240) : 0) << c;
}

TEST_F(SelectionTest, CopyAndPasteKeepTheIndicesAndTheKeyColourStandsForTransparent) {
  Paint(0, 252, 4, 4);
  e.canvas.At(1, 253) = 0;
  const Canvas before = e.canvas;
  Drag(0, 255, 3, 252);
  OnCommand(e, kCmdCopy);
  // The picture for other programs: 24 bits, index 0 as the key colour.
  auto fromBitmap = ClipboardBitmapToIndices(hp.clipboard.bitmap, ColorMatcher(e.window.gamePalette));
  ASSERT_TRUE(fromBitmap);
  const std::vector<uint8_t>& dib = hp.clipboard.bitmap;
  EXPECT_EQ(dib[14], 24);
  const size_t keyAt = 40 + 12 + 3;  // row 1 (canvas row 253), column 1
  EXPECT_EQ((std::array{dib[keyAt], dib[keyAt + 1], dib[keyAt + 2]}), (std::array<uint8_t, 3>{186, 144, 199}));
  EXPECT_EQ(fromBitmap->pixels[5], 0);

  // Pasted back from the indices: the same pixels at the top-left corner,
  // floating, and the document has unsaved work.
  Click(WindowX(100), WindowY(100));
  e.canvas.pixels.fill(0);
  RecordCanvasStep(e, "Eraser");
  MarkSaved(e.history);
  e.doc.state.modified = kUnmodified;
  OnCommand(e, kCmdPaste);
  ASSERT_TRUE(Floating());
  EXPECT_EQ(e.doc.state.modified, kModified);
  Click(WindowX(100), WindowY(100));
  EXPECT_EQ(e.canvas.pixels, before.pixels);

  // From the picture alone the colours are matched again; the key colour
  // is transparent.
  hp.clipboard.indices.clear();
  e.canvas.pixels.fill(0);
  OnCommand(e, kCmdPaste);
  Click(WindowX(100), WindowY(100));
  EXPECT_EQ(e.canvas.At(1, 253), 0);
  EXPECT_NE(e.canvas.At(0, 253), 0);
}

platform::ClipboardContent Offer(std::vector<uint8_t> bitmap, std::vector<uint8_t> file = {}) {
  platform::ClipboardContent content;
  content.bitmap = std::move(bitmap);
  content.file = std::move(file);
  return content;
}

TEST_F(SelectionTest, APasteOfNothingUsableChangesNothingAndSaysWhyWhenAPictureIsThere) {
  struct Case {
    const char* what;
    platform::ClipboardContent content;
    bool opens;
    bool told;  // a picture was there: the user learns why it was not taken
  };
  std::vector<uint8_t> fourBit(40 + 64 + 4, 0);
  fourBit[0] = 40, fourBit[4] = 2, fourBit[8] = 2, fourBit[12] = 1, fourBit[14] = 4;
  std::vector<uint8_t> twoBit = fourBit;
  twoBit[14] = 2;
  platform::ClipboardContent problem;
  problem.problem = "It could not be read as image/webp (no reader).";
  const Case cases[] = {
      {"empty clipboard", {}, true, false},
      {"2-bit bitmap", Offer(twoBit), true, true},
      {"cut-short bitmap", Offer(std::vector<uint8_t>(20, 1)), true, true},
      {"damaged PNG file", Offer({}, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0}), true, true},
      {"a format the desktop could not read", problem, true, true},
      {"clipboard that cannot be opened", Offer(fourBit), false, false},
  };
  for (const Case& c : cases) {
    hp.clipboard = c.content;
    hp.clipboardOpens = c.opens;
    hp.messages.clear();
    OnCommand(e, kCmdPencil);
    OnCommand(e, kCmdPaste);
    EXPECT_FALSE(SelectionExists(e.selection)) << c.what;
    EXPECT_EQ(e.tools.currentTool, kPencil) << c.what;
    EXPECT_EQ(e.doc.state.modified, kUnmodified) << c.what;
    ASSERT_EQ(hp.messages.size(), c.told ? 1u : 0u) << c.what;
    if (c.told) {
      EXPECT_EQ(hp.messages[0].text.rfind("The picture on the clipboard can not be pasted. ", 0), 0u) << c.what;
    }
  }
}

TEST_F(SelectionTest, APasteKeepsTheTopLeft255x255) {
  // Select All in another window copies 256 x 256 indices: index 10 +
  // column % 200, the top row 77. The 256th column and row never reach a
  // shape, and are not pasted either.
  IndexBlock big{256, 256, std::vector<uint8_t>(256 * 256)};
  for (int row = 0; row < 256; ++row)
    for (int x = 0; x < 256; ++x) big.pixels[static_cast<size_t>(row * 256 + x)] = static_cast<uint8_t>(row == 255 ? 77 : 10 + x % 200);
  hp.clipboard = {};
  hp.clipboard.indices = EncodeIndexBlock(big);
  e.canvas.pixels.fill(0);
  OnCommand(e, kCmdPaste);
  const SelectionBounds b = Bounds(e.selection);
  EXPECT_EQ(b.width(), 255);
  EXPECT_EQ(b.height(), 255);
  Click(WindowX(255), WindowY(0));  // the one column left free
  EXPECT_EQ(e.canvas.At(0, 255), 77);
  EXPECT_EQ(e.canvas.At(254, 254), 10 + 254 % 200);
  EXPECT_EQ(e.canvas.At(255, 254), 0) << "no 256th column";
  EXPECT_EQ(e.canvas.At(3, 0), 0) << "no 256th row";
  EXPECT_EQ(e.canvas.At(3, 1), 13);
}

TEST_F(SelectionTest, APasteDuringASelectDragEndsTheDragFirst) {
  // A 16 x 8 block of our own on the clipboard.
  IndexBlock block{16, 8, std::vector<uint8_t>(16 * 8)};
  for (size_t i = 0; i < block.pixels.size(); ++i) block.pixels[i] = static_cast<uint8_t>(20 + i);
  hp.clipboard = {};
  hp.clipboard.indices = EncodeIndexBlock(block);
  OnMouseDown(e, WindowX(100), WindowY(100), 1, false);
  OnMouseMove(e, WindowX(120), WindowY(90), false);
  OnCommand(e, kCmdPaste);  // the button is still held
  OnMouseMove(e, WindowX(150), WindowY(60), false);
  OnMouseUp(e, WindowX(150), WindowY(60), 1);
  ASSERT_TRUE(Floating());
  const SelectionBounds b = Bounds(e.selection);
  EXPECT_EQ((std::array{b.minX, b.maxX, b.minY, b.maxY}), (std::array{0, 15, 0, 7}));
  EXPECT_EQ(SelectionPixels(e.selection, e.canvas), block.pixels);
}

TEST_F(SelectionTest, DeleteCountsOnlyTheRectanglesPixels) {
  // A 4 x 4 lift leaves its pixels in the buffer after it is put down ...
  Paint(0, 252, 4, 4);
  Drag(0, 255, 3, 252);
  Click(WindowX(100), WindowY(100));
  e.doc.state.modified = kUnmodified;
  // ... and a 2 x 2 lift of empty canvas holds only zeros in its rectangle.
  Drag(50, 150, 51, 149);
  ASSERT_TRUE(Floating());
  OnCommand(e, kCmdDelete);
  EXPECT_EQ(e.doc.state.modified, kUnmodified);
  // A rectangle with a pixel in it does count.
  Click(WindowX(100), WindowY(100));
  Drag(0, 255, 1, 254);
  OnCommand(e, kCmdDelete);
  EXPECT_EQ(e.doc.state.modified, kModified);
}

TEST_F(SelectionTest, CutCopyAndDeleteOfAMarkedRectangleTakeTheCanvasPixels) {
  Paint(0, 250, 6, 6);
  const Canvas before = e.canvas;
  // A right-button rectangle is marked, not lifted.
  Drag(0, 255, 2, 253, 2);
  OnCommand(e, kCmdCopy);
  auto copied = DecodeIndexBlock(hp.clipboard.indices);
  ASSERT_TRUE(copied);
  EXPECT_EQ(copied->width, 3);
  EXPECT_EQ(copied->pixels[0], before.At(0, 253));
  EXPECT_EQ(e.canvas.pixels, before.pixels);

  OnCommand(e, kCmdCut);
  EXPECT_EQ(e.canvas.At(0, 253), 0);
  EXPECT_EQ(e.canvas.At(3, 253), before.At(3, 253));
  EXPECT_EQ(e.doc.state.modified, kModified);
  // Cut and then put down: the hole is one undo step.
  Click(WindowX(100), WindowY(100));
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.canvas.pixels, before.pixels);

  e.doc.state.modified = kUnmodified;
  Drag(3, 255, 5, 253, 2);
  OnCommand(e, kCmdDelete);
  EXPECT_EQ(e.canvas.At(4, 254), 0);
  EXPECT_EQ(e.doc.state.modified, kModified);
  // Cut, Copy and Delete need the select tool.
  OnCommand(e, kCmdPencil);
  hp.clipboard = {};
  OnCommand(e, kCmdCopy);
  EXPECT_TRUE(hp.clipboard.bitmap.empty());
}

TEST_F(SelectionTest, FloatingPixelsLandBeforeZoomToolButtonsPaintingAndCommits) {
  struct Case {
    const char* what;
    std::function<void()> action;
  };
  const Case cases[] = {
      {"zoom in", [&] { OnCommand(e, kCmdZoomIn); }},
      {"tool button", [&] { ClickButton(kPencil); }},
      {"pencil from the keys", [&] {
         OnCommand(e, kCmdPencil);
         Click(WindowX(200), WindowY(10));
       }},
      {"flip", [&] { OnCommand(e, kCmdFlipVertical); }},
      {"save", [&] {
         hp.fileNames = {dir.File("s.qsh")};
         OnCommand(e, kCmdSave);
       }},
  };
  for (const Case& c : cases) {
    while (e.view.zoom != 0) OnCommand(e, kCmdZoomOut);
    OnCommand(e, kCmdSelect);
    e.canvas.pixels.fill(0);
    Paint(0, 250, 4, 4);
    Drag(0, 253, 3, 250);
    OnMouseDown(e, WindowX(1), WindowY(251), 1, false);
    OnMouseMove(e, WindowX(41), WindowY(251), false);
    OnMouseUp(e, WindowX(41), WindowY(251), 1);
    c.action();
    EXPECT_FALSE(Floating()) << c.what;
    const bool flipped = std::string(c.what) == "flip";
    // After the flip the block sits mirrored against the left edge.
    EXPECT_EQ(e.canvas.At(flipped ? 3 : 40, 250), 10) << c.what;
  }
  // What was saved holds the moved pixels.
  EXPECT_EQ(e.doc.list.slots[0].width, 44);
}

TEST_F(SelectionTest, SelectAllLiftsTheWholeCanvasAndTheFlipsKeepTheirEdges) {
  Paint(0, 200, 10, 56);
  OnCommand(e, kCmdPencil);
  OnCommand(e, kCmdSelectAll);
  EXPECT_EQ(e.tools.currentTool, kSelect);
  EXPECT_TRUE(Floating());
  EXPECT_TRUE(std::all_of(e.canvas.pixels.begin(), e.canvas.pixels.end(), [](uint8_t v) { return v == 0; }));
  Click(WindowX(300), WindowY(100));  // outside the tool area: nothing happens
  EXPECT_TRUE(Floating());
  OnCommand(e, kCmdFlipHorizontal);
  EXPECT_FALSE(Floating());
  // Rows 200..255 turned upside down within themselves.
  EXPECT_EQ(e.canvas.At(3, 255), 10 + 3);
  EXPECT_EQ(e.canvas.At(3, 200), static_cast<uint8_t>(10 + 3 + 16 * 55));
  EXPECT_EQ(e.doc.state.modified, kModified);
}

TEST_F(SelectionTest, TheRecoveryCopyHoldsFloatingPixelsWithoutPuttingThemDown) {
  e.recovery.folder = dir.File("recovery");
  e.recovery.seconds = 30;
  StartRecovery(e);
  Paint(0, 252, 4, 4);
  Drag(0, 255, 3, 252);
  OnMouseDown(e, WindowX(1), WindowY(253), 1, false);
  OnMouseMove(e, WindowX(21), WindowY(253), false);
  OnMouseUp(e, WindowX(21), WindowY(253), 1);
  UpdateRecoveryCopy(e);
  CollectRecoveryCopy(e, true);  // the worker thread's copy is on disk
  EXPECT_TRUE(Floating());
  EXPECT_EQ(e.canvas.At(20, 252), 0);
  std::string error;
  auto file = ReadWholeFile(e.recovery.CopyPath(), MaxRecoveryCopyBytes());
  ASSERT_TRUE(file) << error;
  auto copy = DecodeRecoveryCopy(file->bytes(), &error);
  ASSERT_TRUE(copy) << error;
  platform::HeadlessPlatform other;
  Editor restored{other.desktop()};
  ASSERT_TRUE(RestoreRecoveryCopy(restored.doc, restored.canvas, other.platform(), *copy, &error)) << error;
  EXPECT_EQ(restored.canvas.At(20, 255), 10 + 16 * 3);
  EXPECT_EQ(restored.canvas.At(0, 255), 0);
}

}  // namespace
