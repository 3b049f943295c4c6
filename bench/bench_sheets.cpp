// Whole-file sprite sheets: `qshe-tool sheet export` and `sheet import` of a
// full 5000-shape file of 64 x 64 shapes, against `convert` of the same file
// (read, encode, safe save) in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "document/object_file.h"
#include "document/shape_file.h"
#include "qshe_tool/tool.h"

namespace {

using namespace qshe;
namespace fs = std::filesystem;

const std::string kBuild = QSHE_BINARY_DIR;

std::string Temp(const std::string& name) { return (fs::temp_directory_path() / ("qshe-bench-" + name)).string(); }

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// 5000 shapes of 64 x 64 game colours in runs (as drawn art has), with a QBJ
// side file; written once.
const std::string& BigFile() {
  static const std::string path = [] {
    std::vector<Shape> shapes(kShapeListCapacity);
    std::mt19937 rng(5);
    for (Shape& s : shapes) {
      AllocateShape(s, 64, 64);
      for (int i = 0; i < 64 * 64;) {
        const uint8_t c = static_cast<uint8_t>(rng() % 4 == 0 ? 0 : 10 + rng() % 236);
        for (int run = 1 + static_cast<int>(rng() % 12); run > 0 && i < 64 * 64; --run) s.pixels[static_cast<size_t>(i++)] = c;
      }
      s.offsetX = static_cast<int32_t>(rng() % 64);
      s.walkable = 1;
    }
    const std::string p = Temp("sheet-big.qs2");
    Write(p, EncodeShapeFile(shapes, ShapeFileFormat::Qs2));
    Write(ObjectFileName(p), EncodeObjectFile(shapes));
    return p;
  }();
  return path;
}

void Run(benchmark::State& state, const std::vector<std::string>& args) {
  std::ostringstream out, err;
  if (tool::RunTool(args, out, err) != 0) state.SkipWithError(err.str().c_str());
}

const std::string kPalette = kBuild + "/qshe.pcx";

void BM_ConvertBaseline(benchmark::State& state) {
  for (auto _ : state) Run(state, {"convert", BigFile(), Temp("sheet-conv.qs2")});
}
BENCHMARK(BM_ConvertBaseline)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_SheetExport(benchmark::State& state) {
  for (auto _ : state) Run(state, {"sheet", "export", "--palette", kPalette, BigFile(), Temp("sheet.png")});
  state.counters["png_MB"] = static_cast<double>(fs::file_size(Temp("sheet.png"))) / 1e6;
}
BENCHMARK(BM_SheetExport)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_SheetImport(benchmark::State& state) {
  Run(state, {"sheet", "export", "--palette", kPalette, BigFile(), Temp("sheet.png")});
  for (auto _ : state) Run(state, {"sheet", "import", "--palette", kPalette, Temp("sheet.png"), Temp("sheet-back.qs2")});
}
BENCHMARK(BM_SheetImport)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
