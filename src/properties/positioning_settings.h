// The Positioning Settings dialog's resource: a shape file and a shape number
// whose shape both positioning windows draw behind the current one.
#pragma once

#include "platform/dialogs.h"

namespace qshe {

inline constexpr int kPositionSettingsDialog = 112;

enum PositionSettingsControl : int {
  kBackdropFile = 1037,
  kBackdropNumber = 1038,
  kBackdropOk = 1039,
  kBackdropBrowse = 1040,
};

const platform::DialogResource& PositionSettingsDialog();

}  // namespace qshe
