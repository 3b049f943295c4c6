// The program's two everyday message boxes: same caption and icons everywhere.
#pragma once

#include <string>

#include "platform/platform.h"

namespace qshe::platform {

inline constexpr const char* kCaption = "QSH Editor";

// Error on the active window: stop icon, OK.
inline void ShowError(MessageBoxes& boxes, const std::string& text) {
  boxes.ShowMessageBox({text, kCaption, Icon::Stop, Buttons::Ok, Owner::ActiveWindow});
}

// Question on the main window; true exactly when the user chose Yes.
inline bool AskYesNo(MessageBoxes& boxes, const std::string& text) {
  return boxes.ShowMessageBox({text, kCaption, Icon::Question, Buttons::YesNo, Owner::MainWindow}) ==
         Answer::Yes;
}

}  // namespace qshe::platform
