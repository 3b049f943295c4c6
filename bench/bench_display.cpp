// The display layer's hot paths against memcpy of the same bytes, measured in
// the same run: the transparent canvas image, the whole-composition copy, a
// fill, and reading a 640 x 480 contact sheet. Each benchmark reports
// `x_memcpy` (its time over memcpy's) and `allocs` (heap allocations per call).
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <vector>

#include "../tests/display/pcx_builder.h"
#include "display/pcx.h"
#include "display/virtual_buffer.h"
#include "measure.h"

using namespace qshe;
using qshe::bench::Measure;

namespace {

std::unique_ptr<DisplayState> Display() {
  auto display = std::make_unique<DisplayState>();
  InitDisplay(*display);
  return display;
}

// The canvas view on every redraw: a 256 x 256 shape, a quarter of it
// transparent in scattered pixels and runs.
void BM_PutImage256Transparent(benchmark::State& state) {
  auto display = Display();
  SelectBuffer(*display, AllocBuffer(*display, 256, 256));
  std::vector<uint8_t> image(256 * 256);
  std::mt19937 rng(7);
  for (auto& p : image) p = rng() % 4 == 0 ? 0 : static_cast<uint8_t>(1 + rng() % 255);
  for (size_t row = 0; row < 256; row += 3) std::memset(&image[row * 256 + 40], 0, 60);
  MoveTo(*display, 0, 255);
  Measure(state, ActiveBuffer(*display)->pixels, image.data(), image.size(), [&] {
    PutImage(*display, image.data(), 256, 256);
    benchmark::ClobberMemory();
  });
}
BENCHMARK(BM_PutImage256Transparent)->Unit(benchmark::kMicrosecond);

// Presenting starts with the background copied into the composition.
void BM_CopyRectComposition(benchmark::State& state) {
  auto display = Display();
  int from = AllocBuffer(*display, 615, 285);
  int to = AllocBuffer(*display, 615, 285);
  Measure(state, display->buffers[to].pixels, display->buffers[from].pixels, static_cast<size_t>(616) * 285, [&] {
    CopyRect(*display, 0, 614, 0, 284, 0, 284, from, to);
    benchmark::ClobberMemory();
  });
}
BENCHMARK(BM_CopyRectComposition)->Unit(benchmark::kMicrosecond);

void BM_FillRectCanvas(benchmark::State& state) {
  auto display = Display();
  SelectBuffer(*display, AllocBuffer(*display, 256, 256));
  uint8_t color = 0;
  std::vector<uint8_t> flat(256 * 256, 1);
  Measure(state, ActiveBuffer(*display)->pixels, flat.data(), flat.size(), [&] {
    SetColor(*display, ++color);
    FillRect(*display, 0, 255, 0, 255);
    benchmark::ClobberMemory();
  });
}
BENCHMARK(BM_FillRectCanvas)->Unit(benchmark::kMicrosecond);

// A contact sheet: framed pictures with flat areas and detail, read from disk.
void BM_ShowPcxSheet(benchmark::State& state) {
  std::vector<uint8_t> rgb(768);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i);
  std::mt19937 rng(11);
  auto file = testing::MakePcx8(640, 480, [&](int x, int y) -> uint8_t {
    if (x % 128 < 4 || y % 96 < 4) return 250;  // frames
    if ((x / 128 + y / 96) % 2) return static_cast<uint8_t>(10 + rng() % 200);  // detail
    return static_cast<uint8_t>(20 + (x / 16) % 8);                             // flat
  }, rgb);
  auto path = (std::filesystem::temp_directory_path() / "qshe-bench-sheet.pcx").string();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                               static_cast<std::streamsize>(file.size()));
  auto display = Display();
  SelectBuffer(*display, AllocBuffer(*display, 640, 480));
  std::vector<uint8_t> decoded(640 * 480, 1);
  Measure(state, ActiveBuffer(*display)->pixels, decoded.data(), decoded.size(), [&] {
    MoveTo(*display, 0, 0);
    int result = ShowPcx(*display, path);
    benchmark::DoNotOptimize(result);
  });
  state.counters["file_bytes"] = static_cast<double>(file.size());
  std::filesystem::remove(path);
}
BENCHMARK(BM_ShowPcxSheet)->Unit(benchmark::kMicrosecond);

}  // namespace
