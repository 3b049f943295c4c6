#include "app/tooltips.h"

#include <array>

#include "app/main_window.h"

namespace qshe {
namespace {

// In toolbar order: tools, view buttons, backgrounds, brush sizes, moves.
constexpr std::array<const char*, kFirstFigureButton> kTips = {
    "Pencil (H)",
    "Eraser (J)",
    "Hand: drag to pan the magnified canvas (K)",
    "Eyedropper: pick a colour from the canvas (B)",
    "Select (N)",
    "Paint Bucket (M)",
    "Center View (E)",
    "Second View: the whole canvas and back (D)",
    "Zoom In (R)",
    "Zoom Out (F)",
    "Plain background (W for the next)",
    "Checkerboard background (W for the next)",
    "Contrast background (W for the next)",
    "Pencil size 1 (S for the next)",
    "Pencil size 2 (S for the next)",
    "Pencil size 3 (S for the next)",
    "Pencil size 4 (S for the next)",
    "Pencil size 5 (S for the next)",
    "Pencil size 6 (S for the next)",
    "Next Shape (+)",
    "Previous Shape (-)",
    "Forward 8 Shapes (. or Page Down)",
    "Backward 8 Shapes (, or Page Up)",
};

}  // namespace

int ToolbarButtonAt(const Editor& e, int x, int y) {
  for (int i = 0; i < kFirstFigureButton; ++i) {
    const ToolButton& b = e.toolbar.buttons[static_cast<size_t>(i)];
    const size_t slot = static_cast<size_t>(2 * i + (b.pressed ? 1 : 0));
    if (slot >= e.helperShapes.size()) continue;
    const Shape& image = e.helperShapes[slot];
    if (x >= b.x && x < b.x + image.width && y >= b.y && y < b.y + image.height) return i;
  }
  return -1;
}

std::string ToolbarButtonTip(int button) {
  if (button < 0 || button >= kFirstFigureButton) return {};
  return kTips[static_cast<size_t>(button)];
}

std::string TipAt(const Editor& e, int x, int y) {
  const int button = ToolbarButtonAt(e, x, y);
  // The figure buttons say how their drags go.
  return button >= 0 ? ToolbarButtonTip(button) : ToolTipAt(e, x, y);
}

}  // namespace qshe
