// Start-up: from the command line to a window showing the first shape.
#pragma once

#include <string>
#include <vector>

#include "app/editor.h"

namespace qshe {

// Connects the document's hooks to the editor's windows and views.
void InstallHooks(Editor& e);

// Runs every start-up step after the window exists: display, support files,
// document, menus, toolbar, timers. `arguments` are the command line's words
// after the program's name; `programDir` ends in a separator. False when the
// program must end (the quit request has been made).
bool StartEditor(Editor& e, const std::string& programDir, const std::vector<std::string>& arguments);

}  // namespace qshe
