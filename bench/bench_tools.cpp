// The paint bucket, a pencil move at the highest magnification and the undo
// ring's save, each quoted against copying 64 KiB in the same run.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>

#include "app/command_table.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "document/undo.h"
#include "editing/tools.h"
#include "platform/headless/headless.h"

using namespace qshe;

// Every allocation of the program is counted, so a benchmark can say how
// many its loop made.
namespace {
std::atomic<long> allocations{0};
}  // namespace

// Kept out of line: inlined into a delete expression, GCC takes the malloc
// inside for a mismatch with the free in the matching delete.
[[gnu::noinline]] void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

void BM_Memcpy64K(benchmark::State& state) {
  static uint8_t from[65536], to[65536];
  std::memset(from, 3, sizeof from);
  for (auto _ : state) {
    std::memcpy(to, from, sizeof to);
    benchmark::DoNotOptimize(to);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Memcpy64K);

// Fills the region of (x, y) over and over, with alternating colours so that
// every round fills all of it.
void FillRounds(benchmark::State& state, Canvas canvas, int x, int y) {
  FillStack stack;
  uint8_t colour = 1;
  for (auto _ : state) {
    FloodFill(canvas, stack, x, y, colour);
    colour ^= 3;
    benchmark::ClobberMemory();
  }
}

// The whole empty canvas, one region.
void BM_FloodFillEmptyCanvas(benchmark::State& state) { FillRounds(state, Canvas{}, 128, 128); }
BENCHMARK(BM_FloodFillEmptyCanvas);

// A comb of one-pixel teeth: every other row has a wall at every odd
// column, the worst case found for the segments kept waiting.
void BM_FloodFillMaze(benchmark::State& state) {
  Canvas canvas;
  for (int y = 1; y < 256; y += 2)
    for (int x = 1; x < 256; x += 2) canvas.At(x, y) = 200;
  FillRounds(state, canvas, 0, 0);
}
BENCHMARK(BM_FloodFillMaze);

// One mouse move of a pencil drag at zoom 16 through the main window's own
// routing: a line stamped, the view rendered and the canvas area presented.
void BM_PencilMoveAtZoom16(benchmark::State& state) {
  platform::HeadlessPlatform hp;
  Editor e(hp.desktop());
  const auto dir = std::filesystem::temp_directory_path() / "qshe-bench-tools";
  std::filesystem::create_directories(dir);
  if (!StartEditor(e, dir.string() + "/", {})) {
    state.SkipWithError("the editor did not start");
    return;
  }
  for (int i = 0; i < 4; ++i) OnCommand(e, kCmdZoomIn);  // 2, 4, 8, 16
  if (e.view.zoom != 16) {
    state.SkipWithError("zoom 16 not reached");
    return;
  }
  OnMouseDown(e, 300, 100, 1, false);
  int x = 300;
  long before = allocations.load();
  for (auto _ : state) {
    x = x == 300 ? 316 : 300;  // one canvas pixel further each time
    OnMouseMove(e, x, 100, false);
  }
  state.counters["allocs/move"] = benchmark::Counter(static_cast<double>(allocations.load() - before),
                                                     benchmark::Counter::kAvgIterations);
  OnMouseUp(e, x, 100, 1);
}
BENCHMARK(BM_PencilMoveAtZoom16);

void BM_SaveUndoState(benchmark::State& state) {
  UndoRing ring;
  Canvas canvas;
  canvas.pixels.fill(5);
  ResetUndo(ring, canvas);
  long before = allocations.load();
  for (auto _ : state) {
    SaveUndoState(ring, canvas);
    benchmark::ClobberMemory();
  }
  state.counters["allocs/save"] =
      benchmark::Counter(static_cast<double>(allocations.load() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SaveUndoState);

}  // namespace
