// Where the recovery journal lives on this desktop.
#pragma once

#include <string>

namespace qshe::platform {

// "recovery" in the per-user data folder of the application (on Linux
// $XDG_DATA_HOME/QSH Editor/recovery); empty when there is none.
std::string RecoveryFolder();

}  // namespace qshe::platform
