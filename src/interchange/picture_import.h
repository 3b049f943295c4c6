// The "Import picture" window: before a picture goes onto the canvas, it
// shows the result in game colours, at its own size and twice that, on the
// canvas view's background, with the transparency and colour choices that
// make it. "Always use these settings" skips the window next time. The
// choices of all three picture imports are kept in the settings store.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/game_palette.h"
#include "interchange/color_reduction.h"
#include "interchange/picture.h"
#include "platform/dialogs.h"
#include "platform/platform.h"

namespace qshe {

inline constexpr int kImportPictureDialog = 133;

enum PictureImportControl : int {
  kPictureSmall = 1301,  // the result at 1:1
  kPictureLarge = 1302,  // and at x2
  kPictureTransparencyLabel = 1303,
  kPictureTransparency = 1304,
  kPictureColor = 1305,  // "#rrggbb" for "This colour"
  kPictureMethodLabel = 1306,
  kPictureMethod = 1307,
  kPictureAlways = 1308,
  kPictureInfo = 1309,  // the file, its size and what "Automatic" does with it
  kPictureImport = 1310,
};

// The two previews: the largest picture at 1:1 and at x2, with a margin
// around them; the choices sit below the small one.
inline constexpr int kPreviewMargin = 8;
inline constexpr int kSmallPreviewSide = kMaxPictureSide;
inline constexpr int kLargePreviewSide = 2 * kMaxPictureSide;

// "Automatic", "None", "This colour".
const std::vector<std::string>& TransparencyNames();
// "Nearest colour", "Ordered dither", "Error diffusion".
const std::vector<std::string>& ColorMethodNames();

const platform::DialogResource& ImportPictureDialog();

// Where the imports keep their choices.
inline constexpr const char* kImportSettingsKey = "Software\\qshe\\qshe\\Import";

// The remembered choices of the three picture imports.
struct ImportSettings {
  ColorChoice picture;        // Import picture
  bool alwaysUse = false;     // "Always use these settings"
  ColorChoice files;          // Multiple pictures
  bool matchSheet = false;    // Picture collage: "Match to the game palette"
  bool read = false;          // read from the store once
};
// Reads them once; values that cannot be understood keep their defaults.
void ReadImportSettings(platform::SettingsStore& store, ImportSettings& settings);
void WriteImportSettings(platform::SettingsStore& store, const ImportSettings& settings);

// The window's state: the picture being looked at and what it becomes.
struct PictureImport {
  std::string path;
  Picture picture;
  ColorChoice choice;
  bool alwaysUse = false;
  std::vector<uint8_t> result;  // game-palette indices, rows bottom first
  // The two previews as shown, rows bottom first.
  std::vector<uint8_t> small;
  std::vector<uint8_t> large;
};

// Reads and decodes the picture file. False, with a message naming it, when
// it cannot be used; the window's state is then as it was.
bool ReadPictureForImport(PictureImport& state, platform::MessageBoxes& boxes, const std::string& path);

// Reduces the picture with the window's choices and draws both previews on
// the canvas view's background (0 plain, 1 checkerboard, 2 contrast).
void UpdatePictureResult(PictureImport& state, const ColorMatcher& colors, int32_t background);
// Copies the previews to the window, through the colours of `palette`.
void PaintPicturePreviews(platform::DialogHost& host, const PictureImport& state, const GamePalette& palette);

// Makes the window unless it exists, sets its controls from the state and
// shows it. The caller updates and paints the previews.
void ShowImportPictureWindow(platform::DialogHost& host, const PictureImport& state);

enum class PictureWindowOutcome { Nothing, ChoiceChanged, Import, Cancel };
// A notification of the window: the choices read into the state (a click
// on a preview picks the picture's colour there for "This colour"), or what
// the buttons ask for.
PictureWindowOutcome OnImportPictureEvent(platform::DialogHost& host, PictureImport& state,
                                          const platform::DialogNotification& n);

// The source pixel's colour under a point of a preview, if it shows one.
std::optional<platform::Rgb> PreviewColorAt(const PictureImport& state, int control, int x, int y);

// "This colour" with a text that is no colour: the message to show, else empty.
std::string ColorChoiceProblem(platform::DialogHost& host, int dialog, int colorControl, int listControl);

}  // namespace qshe
