// Which window system the editor talks to, decided before Qt starts: with no
// display at all Qt would abort with a page about platform plugins, so the
// editor says in one line what is missing and how to run it instead.
#pragma once

#include <optional>
#include <string>

namespace qshe::platform {

struct SessionEnvironment {
  std::string display;         // DISPLAY
  std::string waylandDisplay;  // WAYLAND_DISPLAY
  std::string qpaPlatform;     // QT_QPA_PLATFORM
  bool platformArgument = false;  // -platform given on the command line
};

struct SessionChoice {
  // The one line to print when there is nothing to show a window on.
  std::optional<std::string> noDisplay;
  // A platform list for QT_QPA_PLATFORM, or empty to leave Qt's own choice.
  std::string platform;
};

SessionChoice ChooseSession(const SessionEnvironment& env);
// The environment of this process and its arguments.
SessionEnvironment CurrentSession(int argc, char** argv);

}  // namespace qshe::platform
