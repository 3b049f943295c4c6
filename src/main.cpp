// The editor. Until its window exists it reports on the file it is given,
// the way `qshe-tool info` does.
#include <iostream>
#include <string>
#include <vector>

#include "app/program_dir.h"
#include "qshe_tool/tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string file = qshe::CommandLineFile(args);
  if (file.empty()) {
    std::cout << "qshe: no file given (make run FILE=path/to/file.qsh)\n";
    return 0;
  }
  return qshe::tool::RunTool({"info", file}, std::cout, std::cerr);
}
