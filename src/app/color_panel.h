// The colour grid, the two colour swatches and the colour sets.
#pragma once

#include "app/editor.h"

namespace qshe {

void ColorGridPress(Editor& e, int x, int y, int button);
void ColorGridDrag(Editor& e, int x, int y);
void ColorGridRelease(Editor& e);
void DrawColorPanel(Editor& e);

}  // namespace qshe
