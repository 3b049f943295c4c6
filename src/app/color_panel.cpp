#include "app/color_panel.h"

namespace qshe {

// Picking colours arrives with the colour panel's own work; until then the
// grid is the screen image's.
void ColorGridPress(Editor&, int, int, int) {}
void ColorGridDrag(Editor&, int, int) {}
void ColorGridRelease(Editor&) {}
void DrawColorPanel(Editor&) {}

}  // namespace qshe
