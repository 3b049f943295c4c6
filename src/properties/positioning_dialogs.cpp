#include "properties/positioning_dialogs.h"

namespace qshe {
namespace {

platform::DialogResource Preview(int id, const char* caption) {
  return {id,
          caption,
          kPreviewSize,
          kPreviewSize,
          {{kPreviewSurface, platform::ControlKind::Surface, "", 0, 0, kPreviewSize, kPreviewSize, {}}},
          true};
}

}  // namespace

const platform::DialogResource& ShapePositionDialog() {
  static const platform::DialogResource resource = Preview(kShapePositionDialog, "Shape position");
  return resource;
}

const platform::DialogResource& TavrelPositionDialog() {
  static const platform::DialogResource resource = Preview(kTavrelPositionDialog, "Tavrel position");
  return resource;
}

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
          {kBackdropNumber, K::Edit, "", 68, 69, 30, 12, {}, "4999"},
          {kBackdropOk, K::DefaultButton, "&Ok", 64, 99, 50, 14, {}},
          {platform::kCancelButton, K::Button, "&Cancel", 118, 99, 50, 14, {}},
      }};
  return resource;
}

}  // namespace qshe
