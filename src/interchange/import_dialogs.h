// The resources of the two many-picture imports, Import Files and Import
// picture collage, with the choice lists they share.
#pragma once

#include <string>
#include <vector>

#include "platform/dialogs.h"

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

}  // namespace qshe
