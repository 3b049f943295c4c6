// Every service of the window system the editor's main window uses.
#pragma once

#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/menu.h"
#include "platform/platform.h"
#include "platform/surface.h"

namespace qshe::platform {

struct Desktop {
  Platform& ui;
  WindowSurface& surface;
  MenuBar& menus;
  WindowControl& control;
  DialogHost& dialogs;
  Clipboard& clipboard;
};

}  // namespace qshe::platform
