// The Animation window's resource: the frame picture, the buttons that play
// and step, the range and speed boxes, the play order and the two show
// switches. Laid out in pixels beside a 200 x 200 picture, so the whole
// window grows with the window scale.
#pragma once

#include "platform/dialogs.h"

namespace qshe {

inline constexpr int kAnimationDialog = 131;

enum AnimationControl : int {
  kAnimationPicture = 100,
  kAnimationFirstFrame = 3101,
  kAnimationPreviousFrame = 3102,
  kAnimationPlay = 3103,
  kAnimationNextFrame = 3104,
  kAnimationLastFrame = 3105,
  kAnimationFirstLabel = 3106,
  kAnimationFirst = 3107,
  kAnimationLastLabel = 3108,
  kAnimationLast = 3109,
  kAnimationSpeedLabel = 3110,
  kAnimationSpeed = 3111,
  kAnimationSpeedUnit = 3112,
  kAnimationOrder = 3113,
  kAnimationShowFloor = 3114,
  kAnimationShowFigure = 3115,
  kAnimationFrameText = 3116,
};

// Entries of the play-order list, in order.
inline constexpr const char* kAnimationLoopText = "Loop";
inline constexpr const char* kAnimationBackAndForthText = "Back and forth";
// The play button's two faces.
inline constexpr const char* kAnimationPlayText = "Play";
inline constexpr const char* kAnimationPauseText = "Pause";

const platform::DialogResource& AnimationDialog();

}  // namespace qshe
