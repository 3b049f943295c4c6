// The screen image behind the main window, and a composed preview of the
// window as the editor first shows it.
#pragma once

#include "art.h"
#include "canvas8.h"

namespace qshe::gen {

inline constexpr int kScreenWidth = 615;
inline constexpr int kScreenHeight = 285;

// Colour grid geometry: the cell of index 16r + c starts at (462 + 9c, 8 + 7r).
inline constexpr int kGridX = 462, kGridY = 8, kCellW = 9, kCellH = 7;

Image8 MakeScreenImage(const HelperPictures& helpers);

// The window as the editor shows it with the helper file itself open at the
// Tavrel, magnified four times: every button, both scroll bars, the colour
// panel and the slider drawn over the screen image the way the editor draws
// them.
Image8 ComposeMainWindow(const Image8& screen, const HelperPictures& helpers);

}  // namespace qshe::gen
