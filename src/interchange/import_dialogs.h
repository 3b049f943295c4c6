// The resources of the two many-picture imports, Import Files and Import
// picture collage, with the choice lists they share.
#pragma once

#include <string>
#include <vector>

#include "interchange/picture_imports.h"
#include "platform/dialogs.h"
#include "platform/platform.h"

namespace qshe {

inline constexpr int kImportFilesDialog = 106;
inline constexpr int kImportCollageDialog = 109;

enum ImportDialogControl : int {
  kFilesPattern = 1005,
  kFilesBrowse = 1006,
  kFilesImport = 1007,
  kFilesTransparent = 1025,
  kFilesMode = 1026,
  kFilesCenter = 1027,
  kFilesPlacement = 1028,
  kCollageBrowse = 1030,
  kCollageMode = 1031,
  kCollagePlacement = 1032,
  kCollageCenter = 1033,
  kCollageImport = 1034,
  kCollageFile = 1035,
};

// "Add new shapes", "Replace old shapes".
const std::vector<std::string>& ImportModeNames();
// Where the first imported shape goes, in list order.
const std::vector<std::string>& PlacementModeNames();

const platform::DialogResource& ImportFilesDialog();
const platform::DialogResource& ImportCollageDialog();

// Makes the dialog unless it exists (both lists at their first entry;
// Import Files with its transparency box checked) and shows it.
void ShowImportDialog(platform::DialogHost& host, int dialog);

// The choices the dialog shows now; positions outside the lists read as the
// first entry.
ImportChoice ReadImportChoice(platform::DialogHost& host, int dialog);
// Import Files: whether the background is to be made transparent.
bool ReadTransparency(platform::DialogHost& host);
// The pattern or sheet path typed into the dialog, however long.
std::string ReadImportPath(platform::DialogHost& host, int dialog);

// The "..." button: asks for a file, owned by the dialog, and puts the
// chosen path into its box.
void BrowseImportFile(platform::DialogHost& host, platform::FileDialogs& files, int dialog);

}  // namespace qshe
