// The canvas view is rebuilt on every tool stroke: a whole render (background,
// the canvas unmagnified or magnified, grid, frame, the copy into the
// composition and the scroll-bar check) against memcpy of its 64 KiB in the
// same run. Each benchmark reports `x_memcpy` (its time over memcpy's) and
// `allocs` (heap allocations per render).
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <random>

#include "app/canvas_routing.h"
#include "app/main_window.h"
#include "measure.h"
#include "platform/headless/headless.h"

using namespace qshe;
using qshe::bench::Measure;

namespace {

// Arguments: zoom (0, 2, 4, 8, 16; the grid is on while magnified) and
// background (0 plain, 1 checkerboard).
void BM_RenderCanvasView(benchmark::State& state) {
  platform::HeadlessPlatform hp;
  auto e = std::make_unique<Editor>(hp.desktop());
  SetUpDisplay(*e);
  InitScrollBars(*e);
  // A large shape with scattered transparent pixels and runs.
  std::mt19937 rng(5);
  for (int r = 40; r < 256; ++r) {
    for (int c = 0; c < 220; ++c) e->canvas.At(c, r) = rng() % 5 == 0 ? 0 : static_cast<uint8_t>(10 + rng() % 236);
  }
  CanvasView& view = e->view;
  view.zoom = static_cast<int32_t>(state.range(0));
  view.backgroundType = static_cast<int32_t>(state.range(1));
  view.gridWhileZooming = view.zoom > 0 ? 1 : 0;
  view.originX = view.zoom > 0 ? 20 : 3;
  view.originY = view.zoom > 0 ? -10 : -2;
  RenderCanvasView(*e);  // the thumbs settle once
  uint8_t* viewPixels = e->display.buffers[static_cast<size_t>(e->window.buffers.canvasView)].pixels;
  Measure(state, viewPixels, e->canvas.pixels.data(), e->canvas.pixels.size(), [&] {
    RenderCanvasView(*e);
    benchmark::ClobberMemory();
  });
}
BENCHMARK(BM_RenderCanvasView)
    ->ArgNames({"zoom", "background"})
    ->ArgsProduct({{0, 2, 4, 8, 16}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// The same render with the onion skin on, both neighbours large shapes with
// scattered transparent pixels, a few pixels apart, so that much of the view
// shows them. Each iteration renders once without and once with it; `ratio`
// is the onion render's time over the plain one's in the same run. With
// `stroke` 1 the renders are those of a tool dragged over the canvas (the
// neighbours' blocks are only recognised); with 0 those after any other
// change (every pixel of both neighbours compared with what was drawn).
void BM_RenderCanvasViewOnionOverPlain(benchmark::State& state) {
  platform::HeadlessPlatform hp;
  auto e = std::make_unique<Editor>(hp.desktop());
  SetUpDisplay(*e);
  InitScrollBars(*e);
  std::mt19937 rng(7);
  ShapeList& list = e->doc.list;
  list.count = 3;
  list.current = 1;
  for (int i = 0; i < 3; ++i) {
    Shape& s = list.slots[static_cast<size_t>(i)];
    AllocateShape(s, 220, 216);
    for (int p = 0; p < 220 * 216; ++p) s.pixels[static_cast<size_t>(p)] = rng() % 5 == 0 ? 0 : static_cast<uint8_t>(10 + rng() % 236);
    s.offsetX = 3 * i;
    s.offsetY = -2 * i;
  }
  LoadShapeToCanvas(list.Current(), e->canvas);
  CanvasView& view = e->view;
  view.zoom = static_cast<int32_t>(state.range(0));
  view.backgroundType = static_cast<int32_t>(state.range(1));
  view.gridWhileZooming = view.zoom > 0 ? 1 : 0;
  view.originX = view.zoom > 0 ? 20 : 3;
  view.originY = view.zoom > 0 ? -10 : -2;
  e->onion.enabled = 1;
  RenderCanvasView(*e);  // the tints and planes are made once
  e->onion.onlyCanvasChanges = state.range(2) == 1;
  // Batches of renders timed by the thread's CPU clock, so that the other
  // programs on a shared machine weigh on neither side more than the other.
  constexpr int kBatch = 16;
  auto cpuMicros = [] {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
  };
  double plain = 0, onion = 0;
  for (auto _ : state) {
    const double t0 = cpuMicros();
    e->onion.enabled = 0;
    for (int i = 0; i < kBatch; ++i) RenderCanvasView(*e);
    benchmark::ClobberMemory();
    const double t1 = cpuMicros();
    e->onion.enabled = 1;
    for (int i = 0; i < kBatch; ++i) RenderCanvasView(*e);
    benchmark::ClobberMemory();
    const double t2 = cpuMicros();
    plain += t1 - t0;
    onion += t2 - t1;
  }
  const double n = static_cast<double>(state.iterations()) * kBatch;
  state.counters["plain_us"] = plain / n;
  state.counters["onion_us"] = onion / n;
  state.counters["ratio"] = onion / plain;
}
BENCHMARK(BM_RenderCanvasViewOnionOverPlain)
    ->ArgNames({"zoom", "background", "stroke"})
    ->ArgsProduct({{0, 2, 4, 8, 16}, {0, 1}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
