#include <csignal>
#include <iostream>

#include "tool.h"

int main(int argc, char** argv) {
  // Past the file size limit a write fails with EFBIG, reported like a full
  // disk, instead of the signal killing the tool halfway through.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  return qshe::tool::RunTool(args, std::cout, std::cerr);
}
