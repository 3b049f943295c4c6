// qshe-tool sheet: a whole shape file as one sprite sheet and back.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace qshe::tool {

// `sheet export ...` and `sheet import ...` (the arguments after "sheet").
// Returns the exit status, or nothing when the arguments make no command line.
std::optional<int> SheetCommand(const std::vector<std::string>& args, std::ostream& err);

}  // namespace qshe::tool
