#include "properties/positioning_settings.h"

namespace qshe {

const platform::DialogResource& PositionSettingsDialog() {
  using K = platform::ControlKind;
  using platform::kNoControl;
  static const platform::DialogResource resource{
      kPositionSettingsDialog,
      "Positioning Settings",
      175,
      119,
      {
          {kNoControl, K::GroupBox, "Positioning settings", 7, 4, 161, 88, {}},
          {kNoControl, K::Label,
           "Draw additional shape in the background of the positioning window(s) from this file (set empty if "
           "none):",
           15, 15, 145, 32, {}},
          {kBackdropFile, K::Edit, "", 15, 50, 126, 12, {}},
          {kBackdropBrowse, K::Button, "...", 143, 50, 15, 12, {}},
          {kNoControl, K::Label, "Shape number", 15, 71, 50, 8, {}},
          {kBackdropNumber, K::Edit, "", 68, 69, 30, 12, {}},
          {kBackdropOk, K::DefaultButton, "&Ok", 64, 99, 50, 14, {}},
          {platform::kCancelButton, K::Button, "&Cancel", 118, 99, 50, 14, {}},
      }};
  return resource;
}

}  // namespace qshe
