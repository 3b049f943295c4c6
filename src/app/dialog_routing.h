// The modeless dialogs as the editor runs them: opening by the one pattern
// (made once, then shown as they were left) and what each notification does.
#pragma once

#include "app/editor.h"
#include "platform/dialogs.h"

namespace qshe {

// Makes the dialog on first use and shows it. Jump To shows the current shape
// number each time; Shape Properties is filled at once.
void ShowModelessDialog(Editor& e, int dialog);
// One notification of a dialog's control, its close box or Escape.
void OnDialogEvent(Editor& e, const platform::DialogNotification& n);

}  // namespace qshe
