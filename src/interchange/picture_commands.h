// The single-picture menu commands: File > Import > Single picture and
// File > Export > Shape As Bitmap.
#pragma once

#include <optional>
#include <string>

#include "display/game_palette.h"
#include "document/canvas.h"
#include "document/document.h"
#include "platform/platform.h"

namespace qshe {

// Asks for a picture and loads it onto the canvas with the background made
// transparent. True when the canvas now holds the picture.
bool ImportSinglePicture(Document& doc, Canvas& canvas, platform::Platform& ui, const ColorMatcher& colors);
// Its two halves: the question for the picture, and loading the named one
// (a dropped picture comes straight to the second).
std::optional<std::string> AskPictureToImport(platform::Platform& ui);
bool ImportPictureFile(Document& doc, Canvas& canvas, platform::Platform& ui, const ColorMatcher& colors,
                       const std::string& path);

// Commits the canvas into the current shape and saves that shape as a
// picture, asking for the name.
bool ExportShapeAsBitmap(Document& doc, Canvas& canvas, platform::Platform& ui, const GamePalette& palette);

}  // namespace qshe
