// The one application object of the Qt test program, made by whichever test
// needs it first.
#pragma once

#include <QApplication>

namespace qshe::testing {

inline void EnsureQtApp() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
}

}  // namespace qshe::testing
