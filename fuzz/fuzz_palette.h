// The editor's own 256 colours as the game palette, so that colour matching
// in the targets meets a real spread of colours and not 256 blacks.
#pragma once

#include "display/game_palette.h"
#include "palette.h"

inline qshe::GamePalette EditorPalette() {
  qshe::GamePalette p{};
  const qshe::gen::Palette colors = qshe::gen::MakePalette();
  for (size_t i = 0; i < colors.size(); ++i) {
    p[3 * i] = colors[i].r;
    p[3 * i + 1] = colors[i].g;
    p[3 * i + 2] = colors[i].b;
  }
  return p;
}
