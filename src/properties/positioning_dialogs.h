// The resources of the two positioning previews and of Positioning Settings:
// each preview is a 200 x 200 picture; the settings name a shape file and a
// shape number whose shape both previews draw behind the current one.
#pragma once

#include "platform/dialogs.h"

namespace qshe {

inline constexpr int kShapePositionDialog = 110;
inline constexpr int kTavrelPositionDialog = 111;
inline constexpr int kPositionSettingsDialog = 112;

// The picture of either preview.
inline constexpr int kPreviewSurface = 100;
inline constexpr int kPreviewSize = 200;

enum PositionSettingsControl : int {
  kBackdropFile = 1037,
  kBackdropNumber = 1038,
  kBackdropOk = 1039,
  kBackdropBrowse = 1040,
};

const platform::DialogResource& ShapePositionDialog();
const platform::DialogResource& TavrelPositionDialog();
const platform::DialogResource& PositionSettingsDialog();

}  // namespace qshe
