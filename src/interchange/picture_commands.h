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

// Asks for the picture File > Import > Single picture puts on the canvas.
std::optional<std::string> AskPictureToImport(platform::Platform& ui);

// Commits the canvas into the current shape and saves that shape as a
// picture, asking for the name.
bool ExportShapeAsBitmap(Document& doc, Canvas& canvas, platform::Platform& ui, const GamePalette& palette);

}  // namespace qshe
