// Off-screen 8-bit images and everything drawn into them. The editor composes
// every picture in VirtualBuffers and then hands a rectangle to the window.
// All state sits in one DisplayState record that the caller owns; operations
// work on its active buffer, in its current colour, at its current position.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "platform/surface.h"

namespace qshe {

using platform::ColorUsage;
using platform::PaletteEntry;
using platform::PaletteId;
using platform::Rect;

inline constexpr int kBufferSlots = 32;
inline constexpr int kInfoHeaderSize = 40;
inline constexpr int kPcxReadChunk = 4096;
inline constexpr int kPcxWorkArea = 10240;
// Larger requests are refused as if memory had run out.
inline constexpr int64_t kMaxBufferBytes = int64_t{1} << 28;

// AllocBuffer results besides a slot number.
inline constexpr int kNoFreeSlot = -1;
inline constexpr int kNoMemory = -2;
inline constexpr int kBadBufferSize = -3;

// One slot of the buffer table. The block is laid out as a packed bottom-up
// device-independent bitmap: a 40-byte information header, the colour table
// (256 quads, or 256 16-bit palette indices), then the rows, bottom row first,
// so handing it to a window copies nothing.
struct VirtualBuffer {
  std::unique_ptr<uint8_t[]> block;
  uint8_t* pixels = nullptr;  // null: the slot is free
  int width = 0;              // bytes per row: the requested width rounded up to 4
  int height = 0;
  int headerSize = 0;  // information header plus colour table
  ColorUsage usage = ColorUsage::RgbColors;
  Rect clip;

  bool free() const { return pixels == nullptr; }
  uint8_t* colorTable() const { return block.get() + kInfoHeaderSize; }
  // Row y counted from the top.
  uint8_t* Row(int y) const { return pixels + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width); }
};

struct DisplayState {
  std::array<VirtualBuffer, kBufferSlots> buffers;
  int activeSlot = -1;  // negative: no active buffer, drawing does nothing

  int x = 0;  // current position: anchor of PutImage, ShowPcx and DrawText
  int y = 0;
  uint8_t color = 0;
  Rect clip;  // the active buffer's clipping rectangle

  platform::WindowSurface* surface = nullptr;  // target of PasteToWindow and DrawText
  platform::PaletteDevice* paletteDevice = nullptr;
  PaletteId palette = 0;  // the one SetPalette animates
  ColorUsage usage = ColorUsage::RgbColors;
  int headerSize = kInfoHeaderSize + 1024;

  std::array<PaletteEntry, 256> logicalPalette{};
  std::array<uint8_t, 1024> colorTable{};  // the logical palette as blue, green, red, 0

  int8_t justifyH = -1;
  int8_t justifyV = -1;
  int lineHeight = 0;  // character height plus external leading
  int externalLeading = 0;

  std::array<uint8_t, kPcxReadChunk> pcxRead{};
  std::array<uint8_t, kPcxWorkArea> pcxWork{};
};

// The active buffer, or null.
VirtualBuffer* ActiveBuffer(DisplayState& state);
// The current clipping rectangle cut to the buffer's bounds: a rectangle set
// wider than the buffer must never let a clipped operation out of it.
Rect VisibleClip(const DisplayState& state, const VirtualBuffer& buffer);

// ----- buffers and state --------------------------------------------------

// Frees every slot and reads colour depth and font metrics from the surface
// (without one: RGB colour tables, no text). Keeps the palette and surface.
int InitDisplay(DisplayState& state);
// Slot number of a new zero-filled buffer, or kNoFreeSlot / kNoMemory /
// kBadBufferSize. The active buffer stays as it is.
int AllocBuffer(DisplayState& state, int width, int height);
// 0, or -1 for a slot number outside 0..31, -2 for a free slot; on failure
// the active buffer stays active.
int SelectBuffer(DisplayState& state, int slot);
int MoveTo(DisplayState& state, int x, int y);
int SetColor(DisplayState& state, uint8_t index);
int SetClip(DisplayState& state, int xmin, int xmax, int ymin, int ymax);
void GetClip(const DisplayState& state, int& xmin, int& xmax, int& ymin, int& ymax);
// Palette index at (x, y), or -1 outside the clipping rectangle or without an
// active buffer.
int ReadPixel(DisplayState& state, int x, int y);

// ----- drawing into the active buffer --------------------------------------

// Unclipped: the caller keeps the rectangle inside the active buffer. A
// rectangle that is not is a caller's bug: it asserts in debug builds and is
// ignored otherwise.
int FillRect(DisplayState& state, int x1, int x2, int y1, int y2);
// A checkerboard of cell x cell squares over the rectangle, `first` in the
// square at its top-left corner. Unclipped like FillRect.
int FillChecker(DisplayState& state, int x1, int x2, int y1, int y2, uint8_t first, uint8_t second, int cell);
// One-pixel outline, clipped.
int DrawBox(DisplayState& state, int x1, int x2, int y1, int y2);
// Outline XORed with the current colour, every pixel once, clipped; drawing
// it twice restores the buffer.
int DrawXorBox(DisplayState& state, int x1, int x2, int y1, int y2);
// A bottom-row-first image with its lower-left corner at the current
// position, clipped; pixels of value 0 leave the buffer alone.
int PutImage(DisplayState& state, const uint8_t* pixels, int width, int height);
// Copies (x1..x2, y1..y2) of slot `source` so that (x1, y2) lands on
// (dx, dy) of slot `destination`, whatever the active buffer. Slots count
// modulo 32; a free slot does nothing. Unclipped like FillRect.
int CopyRect(DisplayState& state, int x1, int x2, int y1, int y2, int dx, int dy, int source,
             int destination);

// ----- palette -------------------------------------------------------------

// Static colours from the display into 0..9 and 246..255, the triples into
// first.., black for the rest of 10..245; returns a new palette object (0
// without a surface or for a range outside 0..255).
PaletteId CreateLogicalPalette(DisplayState& state, int first, int count, std::span<const uint8_t> rgb);
// Changes entries of the logical palette and animates the selected palette.
// Needs an active buffer; -1 for a bad range.
int SetPalette(DisplayState& state, int first, int count, std::span<const uint8_t> rgb);
int GetPalette(const DisplayState& state, int first, int count, std::span<uint8_t> rgb);
int UpdateBufferPalette(DisplayState& state);

// ----- the window ----------------------------------------------------------

int SetWindowDC(DisplayState& state, platform::WindowSurface* surface);
int SelectWindowPalette(DisplayState& state, PaletteId palette);
// Copies (x1..x2, y1..y2) of the active buffer to the window rectangle,
// stretching when the sizes differ. -1 when the source does not lie inside
// the buffer or either rectangle is empty.
int PasteToWindow(DisplayState& state, int x1, int x2, int y1, int y2, int wx1, int wx2, int wy1, int wy2);
// -1 starts/ends text at the position, 0 centres, 1 the other side; values
// beyond are taken as the nearest of these.
int SetTextJustify(DisplayState& state, int horizontal, int vertical);
// Writes the text straight to the window at the current position, justified,
// in the current colour.
int DrawText(DisplayState& state, std::string_view text);

}  // namespace qshe
