// The canvas view is rebuilt on every tool stroke: a whole render (background,
// the canvas unmagnified or magnified, grid, frame, the copy into the
// composition and the scroll-bar check) against memcpy of its 64 KiB in the
// same run. Each benchmark reports `x_memcpy` (its time over memcpy's) and
// `allocs` (heap allocations per render).
#include <benchmark/benchmark.h>

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
