// The two positioning previews and Positioning Settings in the running
// editor: opening them, their mouse and activation notifications, and the
// refreshes (RefreshPositionWindows, declared with the canvas routing).
#pragma once

#include "app/editor.h"
#include "platform/dialogs.h"

namespace qshe {

// Makes the Shape position or Tavrel position window on first use, shows
// it and draws it.
void ShowPositionWindow(Editor& e, int dialog);
void OnPositionWindowEvent(Editor& e, const platform::DialogNotification& n);
// Positioning Settings' Ok.
void ApplyBackdropSettings(Editor& e);

}  // namespace qshe
