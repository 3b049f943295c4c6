// The line a toolbar button shows while the pointer rests on it: what it
// does and its key.
#pragma once

#include <string>

#include "app/editor.h"

namespace qshe {

// The toolbar button under window point (x, y), or -1; the figure buttons
// have tips of their own (ToolTipAt).
int ToolbarButtonAt(const Editor& e, int x, int y);
// "Pencil (H)" for button 0, and so on; empty for none.
std::string ToolbarButtonTip(int button);
// The tip for window point (x, y); empty where there is none.
std::string TipAt(const Editor& e, int x, int y);

}  // namespace qshe
