// The Qt tests run inside the application object made by their main().
#pragma once

#include <QApplication>
#include <cassert>

namespace qshe::testing {

inline void EnsureQtApp() { assert(QCoreApplication::instance() != nullptr); }

}  // namespace qshe::testing
