// What the benchmarks that drive the Qt window share: the editor's support
// files written into a folder, and a main on Qt's offscreen platform with one
// screen of the given size (unless QT_QPA_PLATFORM names another).
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support_files.h"

namespace qshe::bench {

// Writes freshly generated support files into `programDir` (ending in '/').
inline bool WriteSupportFiles(const std::string& programDir) {
  std::filesystem::create_directories(programDir);
  for (const auto& [name, bytes] : gen::GenerateSupportFiles()) {
    FILE* f = std::fopen((programDir + name).c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !written) return false;
  }
  return true;
}

inline int RunQtBenchmarks(int argc, char** argv, int width, int height, const char* screenFile) {
  const std::string screens = (std::filesystem::temp_directory_path() / screenFile).string();
  if (FILE* f = std::fopen(screens.c_str(), "w")) {
    std::fprintf(f,
                 "{\"screens\": [{\"name\": \"bench\", \"x\": 0, \"y\": 0, \"width\": %d, \"height\": %d, "
                 "\"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}",
                 width, height);
    std::fclose(f);
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).c_str());
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace qshe::bench
