#include "properties/animation_dialog.h"

#include "properties/positioning_dialogs.h"

namespace qshe {

const platform::DialogResource& AnimationDialog() {
  using K = platform::ControlKind;
  // The controls stand in a column right of the picture.
  constexpr int x = kPreviewSize + 8;
  constexpr int column = 170;
  static const platform::DialogResource resource{
      kAnimationDialog,
      "Animation",
      x + column + 6,
      kPreviewSize,
      {
          {kAnimationPicture, K::Surface, "", 0, 0, kPreviewSize, kPreviewSize, {}},
          {kAnimationFirstFrame, K::Button, "|<", x, 6, 28, 24, {}},
          {kAnimationPreviousFrame, K::Button, "<", x + 30, 6, 28, 24, {}},
          {kAnimationPlay, K::Button, kAnimationPlayText, x + 60, 6, 50, 24, {}},
          {kAnimationNextFrame, K::Button, ">", x + 112, 6, 28, 24, {}},
          {kAnimationLastFrame, K::Button, ">|", x + 142, 6, 28, 24, {}},
          {kAnimationFirstLabel, K::Label, "First", x, 41, 42, 16, {}},
          {kAnimationFirst, K::Edit, "", x + 44, 38, 48, 22, {}},
          {kAnimationLastLabel, K::Label, "Last", x, 67, 42, 16, {}},
          {kAnimationLast, K::Edit, "", x + 44, 64, 48, 22, {}},
          {kAnimationSpeedLabel, K::Label, "Speed", x, 93, 42, 16, {}},
          {kAnimationSpeed, K::Edit, "", x + 44, 90, 36, 22, {}},
          {kAnimationSpeedUnit, K::Label, "frames/s", x + 84, 93, 86, 16, {}},
          {kAnimationOrder, K::DropDownList, "", x, 116, column, 24,
           {kAnimationLoopText, kAnimationBackAndForthText}},
          {kAnimationShowFloor, K::CheckBox, "Floor and backdrop", x, 142, column, 19, {}},
          {kAnimationShowFigure, K::CheckBox, "Tavrel figure", x, 161, column, 19, {}},
          {kAnimationFrameText, K::Label, "", x, 182, column, 16, {}},
      },
      true,
      {{"Space", kAnimationPlay}},
  };
  return resource;
}

}  // namespace qshe
