// qshe-tool's commands, callable from tests and from the editor.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qshe::tool {

// Runs one command line (without the program's name). Returns the exit status.
int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qshe::tool
