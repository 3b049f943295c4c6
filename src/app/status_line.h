// The status bar under the picture: where the mouse is on the canvas, the
// colour there, the zoom, the shape, its size, unsaved changes, and one line
// about the last long operation. The window system's layer shows the text;
// what it says is worked out here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/editor.h"

namespace qshe {

// "1:1" unmagnified, "x2" .. "x16".
std::string ZoomText(int zoom);
// A count with thousands separated by commas: "1,204".
std::string GroupedNumber(int64_t n);
// "index 123  (r, g, b)"; index 0 shows through, so it says so.
std::string ColorText(const GamePalette& palette, uint8_t index);
// "Saved 1,204 shapes to sprites.qs2".
std::string SavedDocumentText(int32_t count, const std::string& path);
// "Imported 40 pictures", "Imported 1 picture".
std::string ImportedPicturesText(int count);
// Everything the bar shows for the editor as it stands.
StatusText ComposeStatus(const Editor& e);

// Hands the window the status text when it changed. Every event function
// ends with it, so nothing else needs to.
void UpdateStatusLine(Editor& e);
// Puts one line about what an operation did ("Imported 40 pictures") into
// the bar; it stays until the next one. Only the first line is kept.
void ShowStatusMessage(Editor& e, const std::string& message);
// A tool's own line (the form a figure tool draws); empty takes it away.
void SetToolFormText(Editor& e, const std::string& text);
// The pointer left the picture: no position, no colour.
void OnMouseLeave(Editor& e);

}  // namespace qshe
