#include "app/color_panel.h"

#include <algorithm>
#include <string>

#include "app/canvas_routing.h"
#include "app/command_table.h"
#include "app/history_commands.h"
#include "app/selection_commands.h"

namespace qshe {
namespace {

// Cell (c, r) starts at (462 + 9c, 8 + 7r) and is 9 x 7 pixels.
constexpr int kGridLeft = 462;
constexpr int kGridTop = 8;
constexpr int kCellWidth = 9;
constexpr int kCellHeight = 7;
constexpr int kGridRight = 606;
constexpr int kGridBottom = 120;

// What the panel copies to the window: the grid with its outline margin,
// and the swatches with the number strip.
constexpr int kGridRect[4] = {461, 606, 7, 120};
constexpr int kSwatchRect[4] = {558, 596, 136, 186};

// The Colors menu entries that select a set, and the entries whose check
// marks a selection clears (the sets with Badge and Eye between them).
struct ColorSet {
  int menuId;
  int first;
  int last;
  int count;
};
constexpr ColorSet kColorSets[] = {
    {kCmdAllColors, -1, 0, 256},     {kCmdQuorvaneColors, -1, 0, 236}, {kCmdBootColors, 16, 24, 256},
    {kCmdBracerColors, 80, 88, 256}, {kCmdCapeColors, 32, 40, 256},    {kCmdFurColors, 199, 207, 256},
    {kCmdHairColors, 128, 136, 256}, {kCmdMarkingColors, 136, 144, 256}, {kCmdTrouserColors, 224, 232, 256},
    {kCmdVestColors, 72, 80, 256},
};
constexpr int kFirstColorsEntry = 40092;
constexpr int kLastColorsEntry = 40103;

// Both panel rectangles, drawn and shown.
void ShowColorPanel(Editor& e) {
  DrawColorPanel(e);
  PresentColorPanel(e);
}

void PickAt(Editor& e, int x, int y) {
  uint8_t* target = e.colors.pickButton == 1   ? &e.colors.foreColor
                    : e.colors.pickButton == 2 ? &e.colors.backColor
                                               : nullptr;
  if (target == nullptr) return;
  int i = 16 * GridRow(y) + GridColumn(x);
  if (i == *target) return;
  // A greyed index keeps the colour, yet the panel is still drawn anew.
  if (e.colors.mask[static_cast<size_t>(i)] == 1) *target = static_cast<uint8_t>(i);
  ShowColorPanel(e);
}

// Left and top edges of the cell of palette index i.
int CellX(int i) { return kGridLeft + kCellWidth * (i % 16); }
int CellY(int i) { return kGridTop + kCellHeight * (i / 16); }

void OutlineCell(Editor& e, int i, uint8_t color) {
  SetColor(e.display, color);
  DrawBox(e.display, CellX(i) - 1, CellX(i) + kCellWidth - 1, CellY(i) - 1, CellY(i) + kCellHeight - 1);
}

// Inside a swatch's outer frame: a black inner frame, then the colour.
void FillSwatch(Editor& e, int x1, int x2, int y1, int y2, uint8_t color) {
  SetColor(e.display, 0);
  DrawBox(e.display, x1 + 1, x2 - 1, y1 + 1, y2 - 1);
  SetColor(e.display, color);
  FillRect(e.display, x1 + 2, x2 - 2, y1 + 2, y2 - 2);
}

}  // namespace

int GridColumn(int x) { return std::clamp((x - kGridLeft) / kCellWidth, 0, 15); }
int GridRow(int y) { return std::clamp((y - kGridTop) / kCellHeight, 0, 15); }

void ColorGridPress(Editor& e, int x, int y, int button) {
  if (x < kGridLeft || y < kGridTop || x > kGridRight || y > kGridBottom) {
    e.colors.pickButton = -1;
    return;
  }
  e.colors.pickButton = button;
  PickAt(e, x, y);
}

void ColorGridDrag(Editor& e, int x, int y) {
  if (e.colors.pickButton != -1) PickAt(e, x, y);
}

void ColorGridRelease(Editor& e) { e.colors.pickButton = -1; }

void DrawColorPanel(Editor& e) {
  if (e.window.failed) return;
  const ScreenBuffers& b = e.window.buffers;
  DisplayState& d = e.display;
  SelectBuffer(d, b.composition);
  auto [gx1, gx2, gy1, gy2] = kGridRect;
  CopyRect(d, gx1, gx2, gy1, gy2, gx1, gy2, b.background, b.composition);

  const ColorPanel& p = e.colors;
  SetColor(d, kGreyedCellColor);
  for (int i = 0; i < 256; ++i) {
    if (p.mask[static_cast<size_t>(i)] != 0 || i == p.foreColor || i == p.backColor) continue;
    // The last column and row stop short of the grid's outer edge.
    int right = CellX(i) + (i % 16 == 15 ? kCellWidth - 2 : kCellWidth - 1);
    int bottom = CellY(i) + (i / 16 == 15 ? kCellHeight - 2 : kCellHeight - 1);
    FillRect(d, CellX(i), right, CellY(i), bottom);
  }
  // The back colour's outline last, so it shows when both colours are one.
  OutlineCell(e, p.foreColor, kForeOutlineColor);
  OutlineCell(e, p.backColor, kBackOutlineColor);

  // Back swatch behind at the upper right, fore swatch in front of it; both
  // outer frames first, so the back colour covers the front one's frame
  // where they overlap.
  SetColor(d, kSwatchFrameColor);
  DrawBox(d, 567, 588, 136, 156);
  DrawBox(d, 558, 579, 145, 165);
  FillSwatch(e, 567, 588, 136, 156, p.backColor);
  FillSwatch(e, 558, 579, 145, 165, p.foreColor);

  SetColor(d, kSwatchFrameColor);
  FillRect(d, 558, 596, 171, 179);
  SetColor(d, kGreyedCellColor);
  FillRect(d, 577, 577, 171, 179);
  DrawNumber(e, 560, 178, p.foreColor);
  DrawNumber(e, 580, 178, p.backColor);
}

void PresentColorPanel(Editor& e) {
  if (e.window.failed) return;
  SelectBuffer(e.display, e.window.buffers.composition);
  for (const auto& r : {kGridRect, kSwatchRect}) {
    PasteToWindow(e.display, r[0], r[1], r[2], r[3], r[0], r[1], r[2], r[3]);
  }
}

int DrawNumber(Editor& e, int x, int y, int value) {
  for (char ch : std::to_string(value)) {
    if (ch < '0' || ch > '9') continue;
    const Shape& digit = e.helperShapes[static_cast<size_t>(kFirstDigitShape + (ch - '0'))];
    if (digit.HasPixels()) {
      MoveTo(e.display, x, y);
      PutImage(e.display, digit.pixels.get(), digit.width, digit.height);
    }
    x += digit.width + 1;
  }
  return x;
}

void SetColorSet(Editor& e, int first, int last, int count, int menuId) {
  auto& mask = e.colors.mask;
  if (first < 0) {
    mask.fill(1);
    if (count < 256) {
      // The window system's colours, and 245 with them: 0 and 10..244 remain.
      std::fill(mask.begin() + 1, mask.begin() + 10, uint8_t{0});
      std::fill(mask.begin() + 245, mask.end(), uint8_t{0});
    }
  } else {
    mask.fill(0);
    for (int i = first; i < last && i < 256; ++i) mask[static_cast<size_t>(i)] = 1;
  }
  for (int id = kFirstColorsEntry; id <= kLastColorsEntry; ++id) e.desktop.menus.SetMenuChecked(id, false);
  e.desktop.menus.SetMenuChecked(menuId, true);
}

bool ChooseColorSet(Editor& e, int menuId) {
  for (const ColorSet& s : kColorSets) {
    if (s.menuId != menuId) continue;
    SetColorSet(e, s.first, s.last, s.count, s.menuId);
    ShowColorPanel(e);
    return true;
  }
  return false;
}

void SetForeColorAndShow(Editor& e, uint8_t color) {
  e.colors.foreColor = color;
  ShowColorPanel(e);
}

void ForecolorToBackcolor(Editor& e) {
  PutDownSelection(e);  // its pixels change colour with the rest
  const ColorPanel& p = e.colors;
  ReplaceColor(e.canvas, p.foreColor, p.backColor);
  // Only a replacement that changes a pixel is a step and unsaved work.
  if (RecordCanvasStep(e, "Forecolor To Backcolor")) e.window.canvasChanged = 1;
  ShowCanvas(e);
}

}  // namespace qshe
