// Files dropped on the main window from a file manager.
#pragma once

#include <string>
#include <vector>

#include "app/editor.h"

namespace qshe {

// BMP and PNG pictures, by their ending.
bool IsPictureFileName(const std::string& path);
// A dropped file taken as a picture: by its ending, or by its first bytes
// whatever it is called.
bool IsDroppedPicture(const std::string& path);

// A shape file opens as Open opens it (the first one, when several come);
// one picture goes through the "Import picture" window as File > Import >
// Single picture takes it, several become new shapes after the current one
// as the multiple-picture import adds them, with its remembered colour
// choices. Either is one step of the history.
void OnFilesDropped(Editor& e, const std::vector<std::string>& paths);

// Several pictures as new shapes after the current one, one step.
void ImportDroppedPictures(Editor& e, const std::vector<std::string>& paths);

}  // namespace qshe
