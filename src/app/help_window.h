// Help > Help...: help.txt in the desktop's text viewer, or, when none can be
// started, in a window of the editor's own.
#pragma once

#include <string>

#include "app/editor.h"
#include "platform/dialogs.h"

namespace qshe {

inline constexpr int kHelpDialog = 115;
inline constexpr int kHelpText = 1100;

const platform::DialogResource& HelpDialog();

// Where the help text is: beside the program, or in the installed share/qshe/.
std::string HelpPath(const Editor& e);
// The command: the desktop's viewer first, the editor's own window when
// nothing could be started.
void ShowHelp(Editor& e);
// The help text in the editor's own window; a text that cannot be read is
// reported instead.
void ShowHelpWindow(Editor& e);
// The desktop's viewer was started but gave up (no viewer for text files).
void OnTextViewerFailed(Editor& e, const std::string& path);

}  // namespace qshe
