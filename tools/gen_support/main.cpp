// qshe-gen-support OUTPUT_DIR [SCREENSHOT_PATH] [SHEET_PATH]
// Writes the editor's support files into OUTPUT_DIR; optionally the
// composed window preview and the enlarged sheet of helper pictures.
#include <cstdio>
#include <string>

#include "document/file_io.h"
#include "support_files.h"

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (auto error = qshe::WriteFileAtomically(path, bytes, false)) {
    std::fprintf(stderr, "qshe-gen-support: cannot write %s: %s\n", path.c_str(), error->c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: qshe-gen-support OUTPUT_DIR [SCREENSHOT_PATH] [SHEET_PATH]\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  for (const auto& [name, bytes] : qshe::gen::GenerateSupportFiles()) ok = Write(dir + "/" + name, bytes) && ok;
  if (argc >= 3) ok = Write(argv[2], qshe::gen::GenerateScreenshot()) && ok;
  if (argc >= 4) ok = Write(argv[3], qshe::gen::GenerateHelperSheet()) && ok;
  return ok ? 0 : 1;
}
