// An editor on the scripted desktop, started from a folder that holds the
// generated support files (or none).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "../document/test_files.h"
#include "app/editor.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "platform/headless/headless.h"
#include "support_files.h"

namespace qshe::testing {

// Writes the support files into the folder.
inline void WriteSupportFiles(const TempDir& dir) {
  for (const auto& [name, bytes] : gen::GenerateSupportFiles()) WriteBytes(dir.File(name), bytes);
}

struct EditorFixture : ::testing::Test {
  TempDir dir;
  platform::HeadlessPlatform hp;
  Editor e{hp.desktop()};

  // Starts the editor with the support files beside it (unless told not to)
  // and the given command-line words.
  bool Start(std::vector<std::string> arguments = {}, bool withSupportFiles = true) {
    if (withSupportFiles) WriteSupportFiles(dir);
    return StartEditor(e, dir.path().string() + "/", arguments);
  }

  // A press and release of the mouse button at window point (x, y).
  void Click(int x, int y, int button = 1) {
    OnMouseDown(e, x, y, button, false);
    OnMouseUp(e, x, y, button);
  }
  // Window point of the middle of toolbar button i as the editor placed it.
  std::pair<int, int> ButtonCentre(int i) const {
    const ToolButton& b = e.toolbar.buttons[static_cast<size_t>(i)];
    const int slot = i < kFirstFigureButton ? 2 * i : kFigureButtonSlot + 2 * (i - kFirstFigureButton);
    const Shape& image = e.helperShapes[static_cast<size_t>(slot)];
    return {b.x + image.width / 2, b.y + image.height / 2};
  }
  void ClickButton(int i, int button = 1) {
    auto [x, y] = ButtonCentre(i);
    Click(x, y, button);
  }

  // The colour the window shows at (x, y).
  platform::Rgb Shown(int x, int y) const { return hp.surface.Pixel(x, y); }
  platform::Rgb PaletteColor(int index) const {
    const auto& p = e.window.gamePalette;
    return {p[3 * index], p[3 * index + 1], p[3 * index + 2]};
  }
};

}  // namespace qshe::testing
