// The Animation window in the running editor: opened from the View menu,
// its controls, and the clock that plays it. The clock is the window
// system's timer; each tick shows one frame and sets the time to the next.
#pragma once

#include "app/editor.h"
#include "platform/dialogs.h"

namespace qshe {

inline constexpr int kAnimationTimer = 31;

// Makes the window on first use and shows it playing the shape browser's
// selection, or the current shape and the seven after it.
void ShowAnimationWindow(Editor& e);
void OnAnimationWindowEvent(Editor& e, const platform::DialogNotification& n);
// One tick of the clock.
void AnimationTick(Editor& e);
// Draws the frame shown now again (the shapes, their offsets, the
// background or the backdrop changed), while the window is open.
void RefreshAnimationWindow(Editor& e);

}  // namespace qshe
