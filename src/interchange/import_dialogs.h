// The resources of the two many-picture imports, Import Files and Import
// picture collage, with the choice lists they share.
#pragma once

#include <string>
#include <vector>

#include "interchange/picture_import.h"
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
  kFilesMode = 1026,
  kFilesCenter = 1027,
  kFilesPlacement = 1028,
  kCollageBrowse = 1030,
  kCollageMode = 1031,
  kCollagePlacement = 1032,
  kCollageCenter = 1033,
  kCollageImport = 1034,
  kCollageFile = 1035,
  kFilesTransparency = 1040,  // "Automatic", "None", "This colour"
  kFilesColor = 1041,         // "#rrggbb" for "This colour"
  kFilesMethod = 1042,        // "Nearest colour", "Ordered dither", "Error diffusion"
  kCollageSheetColors = 1045,
};

// "Add new shapes", "Replace old shapes".
const std::vector<std::string>& ImportModeNames();
// Where the first imported shape goes, in list order.
const std::vector<std::string>& PlacementModeNames();
// "game colours (as stored)", "Match to the game palette".
const std::vector<std::string>& SheetColorNames();

const platform::DialogResource& ImportFilesDialog();
const platform::DialogResource& ImportCollageDialog();

// Makes the dialog unless it exists (both lists at their first entry, the
// colour choices as remembered) and shows it.
void ShowImportDialog(platform::DialogHost& host, int dialog, const ImportSettings& settings);

// The choices the dialog shows now; positions outside the lists read as the
// first entry.
ImportChoice ReadImportChoice(platform::DialogHost& host, int dialog);
// Import Files: the transparency and colour choices. A "This colour" whose
// text is no colour keeps the colour it had.
ColorChoice ReadFilesColorChoice(platform::DialogHost& host, const ColorChoice& before);
// Import picture collage: whether the sheet's colours are matched.
bool ReadSheetMatch(platform::DialogHost& host);
// A change of one of the colour controls: the colour box is usable only
// with "This colour", and tinted while its text is no colour.
void OnImportColorControl(platform::DialogHost& host, int dialog, const platform::DialogNotification& n);
// The pattern or sheet path typed into the dialog, however long.
std::string ReadImportPath(platform::DialogHost& host, int dialog);

// The "..." button: asks for a file, owned by the dialog, and puts the
// chosen path into its box.
void BrowseImportFile(platform::DialogHost& host, platform::FileDialogs& files, int dialog);

}  // namespace qshe
