// File > Import > Single picture as the editor runs it: the picture is read,
// shown in the "Import picture" window with the remembered choices, and put
// on the canvas when the user imports it, or at once when the user asked to
// always use the settings. A dropped picture goes the same way.
#pragma once

#include <string>

#include "app/editor.h"
#include "interchange/picture_imports.h"
#include "platform/dialogs.h"

namespace qshe {

// Ctrl+I (`alwaysShow` false) and Ctrl+Shift+I (true): asks for a picture.
void ImportPictureCommand(Editor& e, bool alwaysShow);
// The same for a picture already named (a dropped file).
void ImportPictureFile(Editor& e, const std::string& path, bool alwaysShow);
// True when the file starts as a BMP or PNG picture does.
bool IsPictureFile(const std::string& path);
// A notification of the "Import picture" window.
void OnImportPictureWindowEvent(Editor& e, const platform::DialogNotification& n);
// The window follows the canvas view's background.
void RefreshImportPictureWindow(Editor& e);
// Ends the step an import of pictures into shapes was: the properties
// window and the views follow the changed list, and the status line says
// how many came in.
void EndShapeImport(Editor& e, const ImportCount& count);
// The remembered choices, read from the settings store on first use.
ImportSettings& RememberedImportSettings(Editor& e);

}  // namespace qshe
