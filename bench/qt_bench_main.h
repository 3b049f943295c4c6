// The main of a benchmark that drives the Qt window: Qt's offscreen platform
// with one screen of the given size (unless QT_QPA_PLATFORM names another),
// then every benchmark of the program.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string>

namespace qshe::bench {

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
