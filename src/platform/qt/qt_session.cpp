#include "platform/qt/qt_session.h"

#include <cstdlib>
#include <string_view>

namespace qshe::platform {

SessionChoice ChooseSession(const SessionEnvironment& env) {
  SessionChoice choice;
  // A platform the user named is the user's business.
  if (!env.qpaPlatform.empty() || env.platformArgument) return choice;
  if (env.display.empty() && env.waylandDisplay.empty()) {
    choice.noDisplay =
        "qshe: no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set); "
        "run it under a virtual one with `xvfb-run make run` (or `xvfb-run qshe [FILE]`)";
    return choice;
  }
  // On Wayland the native plugin first, X through XWayland when that plugin
  // is missing.
  if (!env.waylandDisplay.empty()) choice.platform = "wayland;xcb";
  return choice;
}

SessionEnvironment CurrentSession(int argc, char** argv) {
  auto get = [](const char* name) {
    const char* v = std::getenv(name);
    return std::string(v ? v : "");
  };
  SessionEnvironment env{get("DISPLAY"), get("WAYLAND_DISPLAY"), get("QT_QPA_PLATFORM"), false};
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    if (a == "-platform" || a == "--platform" || a.starts_with("-platform=")) env.platformArgument = true;
  }
  return env;
}

}  // namespace qshe::platform
