// Many pictures at once: every file a wildcard pattern names, and every
// framed picture of a 640 x 480 PCX contact sheet, each into its own shape.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "display/game_palette.h"
#include "display/virtual_buffer.h"
#include "document/canvas.h"
#include "document/document.h"
#include "document/history.h"
#include "interchange/color_reduction.h"
#include "interchange/picture.h"
#include "platform/platform.h"

namespace qshe {

// Positions of the two choice lists the imports share.
enum class ImportMode : int { AddNew = 0, ReplaceOld = 1 };
enum class PlacementMode : int {
  StartingFromCurrent = 0,
  AfterCurrent = 1,
  BeforeCurrent = 2,
  ToBeginning = 3,
  ToEnd = 4,
};

struct ImportChoice {
  ImportMode mode = ImportMode::AddNew;
  PlacementMode placement = PlacementMode::StartingFromCurrent;
  bool center = false;
};

// The slot the first imported picture goes to.
int32_t FirstImportIndex(const ShapeList& list, PlacementMode placement);

// The files `pattern` names: `?` and `*` in its last part match within the
// names of one directory (the part before the last slash or backslash, or
// the current one). Paths in name order; empty when nothing matches.
std::vector<std::string> MatchingFiles(const std::string& pattern);

// How many pictures an import put into shapes.
struct ImportCount {
  int32_t imported = 0;
  int32_t leftOut = 0;  // not imported because the shape list was full
  int32_t failed = 0;   // could not be used (unreadable, damaged, too big)
};

// Loads every matching file into its own shape, inserted or overwriting from
// the placement's slot on. A file that cannot be used keeps its slot for the
// pictures after it (left empty when inserted, unchanged when replacing);
// when none can be used nothing changes. One message at the end names how
// many failed, the first ten with their reasons, how many were imported, and
// how many were left out when the shape list is full. The shapes go into the
// list through the history: inside an open step the whole import is one
// change.
ImportCount ImportPictureFiles(History& history, Document& doc, platform::MessageBoxes& boxes,
                               const ColorMatcher& colors, const std::string& pattern, const ImportChoice& choice,
                               const ColorChoice& reduction);
// Each picture matched to its nearest colours, with or without the
// "Automatic" transparency.
ImportCount ImportPictureFiles(History& history, Document& doc, platform::MessageBoxes& boxes,
                               const ColorMatcher& colors, const std::string& pattern, const ImportChoice& choice,
                               bool transparent);
// The same for a list of files (pictures dropped on the window), in the
// order given; an empty list does nothing.
ImportCount ImportPictureList(History& history, Document& doc, platform::MessageBoxes& boxes,
                              const ColorMatcher& colors, const std::vector<std::string>& files,
                              const ImportChoice& choice, const ColorChoice& reduction);

inline constexpr int kSheetWidth = 640;
inline constexpr int kSheetHeight = 480;
// The largest PCX sheet file read: an 8-bit picture of 4096 x 4096 (of which
// the top left is cut) with every byte its own two-byte run, its header and
// its palette. A larger file is refused before it is read.
inline constexpr uint64_t kMaxSheetFileBytes = 128 + 2 * 4096 * 4096 + 769;

// A frame's inside, 256 x 256, rows bottom first like a shape.
struct CollageWork {
  std::array<uint8_t, kCanvasSize * kCanvasSize> pixels{};
  uint8_t& At(int column, int row) { return pixels[static_cast<size_t>(row * kCanvasSize + column)]; }
  uint8_t At(int column, int row) const { return pixels[static_cast<size_t>(row * kCanvasSize + column)]; }
};

// Sheet pixel (x, y) with y = 0 the bottom row; the sheet buffer is 640 x 480.
inline int ReadSheetPixel(const VirtualBuffer& sheet, int x, int y) {
  return sheet.Row(kSheetHeight - 1 - y)[x];
}

// Crops the work image to its visible pixels into `shape` (cleared first):
// offsetX is half the empty columns at the left, offsetY the top of the
// visible rows (at most 127, the most a shape file holds). An empty work image gives an empty shape.
void CutShape(Shape& shape, const CollageWork& work);

// Decodes the sheet into the sheet buffer (a smaller sheet sits at its top
// left, the rest filled with the sheet's background) and cuts every frame
// into its own shape, band by band from the bottom. False, with the message,
// when the file is no usable PCX picture. A frame whose picture reaches past
// the 255 x 255 a shape holds is refused, named by `path` and its place,
// and keeps its slot as an unusable file does.
bool LoadSheet(DisplayState& display, int sheetSlot, platform::MessageBoxes& boxes, const std::string& path);
// The same for a file already in memory; `path` only names it in the message.
bool LoadSheet(DisplayState& display, int sheetSlot, platform::MessageBoxes& boxes, std::span<const uint8_t> bytes,
               const std::string& path);
ImportCount CutSheet(History& history, Document& doc, const VirtualBuffer& sheet, platform::MessageBoxes& boxes,
                     const ImportChoice& choice, const std::string& path = "the sheet");
ImportCount ImportCollage(History& history, Document& doc, DisplayState& display, int sheetSlot,
                          platform::MessageBoxes& boxes, const std::string& path, const ImportChoice& choice);

// ----- sheets in any palette ----------------------------------------------

// The largest sheet either way: BMP and PNG sheets, and PCX sheets whose
// colours are matched. A PCX sheet in game colours is 640 x 480 as always.
inline constexpr int kMaxSheetSide = 4096;

// How a sheet's pixels become shape pixels.
struct SheetColors {
  // False: the sheet's pixels are game-palette indices, taken as they are
  // stored. True: each pixel's colour is matched to the game palette as
  // `colors.method` says. A sheet without a colour table (16, 24 or 32
  // bits a pixel) has no indices to keep and is always matched.
  bool match = false;
  // Which pixels become transparent: "Automatic" is the sheet's background
  // (and, in a sheet with alpha, every pixel of alpha 0); "This colour"
  // compares the colour each pixel shows (a stored index: its game colour).
  ColorChoice colors;
};

// A sheet file read: a BMP or PNG picture (or a PCX picture to be matched)
// decoded whole, or a PCX sheet in game colours left to the sheet buffer,
// or why it cannot be used.
struct SheetFile {
  bool decoded = false;
  bool pcxAsStored = false;
  Picture picture;
  std::string message;  // names the file
};
SheetFile DecodeSheet(std::span<const uint8_t> bytes, bool match, const std::string& path);

// Cuts a sheet by the rule above: the sheet buffer with its stored indices,
// the background and pixels transparent as `colors` says ...
ImportCount CutSheet(History& history, Document& doc, const VirtualBuffer& sheet, platform::MessageBoxes& boxes,
                     const ImportChoice& choice, const ColorChoice& colors, const GamePalette& palette,
                     const std::string& path);
// ... or a decoded picture of any size. A frame's inside is reduced as one
// picture, so a dither runs across it and stops at its edges.
ImportCount CutSheet(History& history, Document& doc, const Picture& sheet, platform::MessageBoxes& boxes,
                     const ImportChoice& choice, const SheetColors& colors, const ColorMatcher& matcher, const std::string& path);
// Reads the sheet at `path`, PCX, BMP or PNG, and cuts it. A PCX sheet in
// game colours goes through the sheet buffer as it always did.
ImportCount ImportCollage(History& history, Document& doc, DisplayState& display, int sheetSlot,
                          platform::MessageBoxes& boxes, const std::string& path, const ImportChoice& choice,
                          const SheetColors& colors, const ColorMatcher& matcher);

}  // namespace qshe
