// The Shapes window with a full document, in the editor on the scripted
// desktop: opening it and drawing the first screen, scrolling one screen, one
// changed shape, and the memory its picture holds.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>

#include "app/shape_browser.h"
#include "app/startup.h"
#include "document/document_commands.h"
#include "measure.h"
#include "platform/headless/headless.h"

namespace qshe {
namespace {

using bench::Clock;

struct Session {
  platform::HeadlessPlatform hp;
  Editor e{hp.desktop()};
  bool started = false;

  // 5000 shapes of side x side, each a pattern of its own.
  explicit Session(int side) {
    const auto dir = std::filesystem::temp_directory_path() / "qshe-bench-browser";
    std::filesystem::create_directories(dir);
    started = StartEditor(e, dir.string() + "/", {});
    ShapeList& list = e.doc.list;
    list.count = kShapeListCapacity;
    for (int i = 0; i < list.count; ++i) {
      Shape& s = list.slots[static_cast<size_t>(i)];
      AllocateShape(s, side, side);
      for (int p = 0; p < side * side; ++p) s.pixels[static_cast<size_t>(p)] = static_cast<uint8_t>(10 + (p / side + i) % 200);
    }
    ShowShape(e.doc, e.canvas, 0, false, 0);
    ResetHistory(e.history, e.canvas, true);
  }
  // The window as large as it opens on a 1920 x 1080 screen beside the
  // main window at scale 1, or at `scale`.
  void Open(int width, int height, int scale) {
    ShowShapesWindow(e);
    hp.dialogs.ResizeView(kShapesDialog, kShapesView, width, height, scale);
  }
};

void BM_OpenAndDrawFirstScreen(benchmark::State& state) {
  Session s(64);
  if (!s.started) return state.SkipWithError("the editor did not start");
  const int scale = static_cast<int>(state.range(0));
  s.hp.dialogs.CreateDialog(ShapesDialog());
  s.hp.dialogs.ResizeView(kShapesDialog, kShapesView, 1200, 1000, scale);
  for (auto _ : state) {
    s.e.browser = ShapeBrowser{};
    s.hp.dialogs.HideDialog(kShapesDialog);
    ShowShapesWindow(s.e);
  }
  state.counters["cells"] = static_cast<double>(s.e.browser.view.shown.last - s.e.browser.view.shown.first + 1);
}
BENCHMARK(BM_OpenAndDrawFirstScreen)->Arg(1)->Arg(3)->ArgName("scale")->Unit(benchmark::kMillisecond);

void BM_ScrollOneScreen(benchmark::State& state) {
  Session s(64);
  if (!s.started) return state.SkipWithError("the editor did not start");
  const int scale = static_cast<int>(state.range(0));
  s.Open(1200, 1000, scale);
  int direction = 1;
  for (auto _ : state) {
    const BrowserLayout& l = s.e.browser.view.layout;
    if (s.e.browser.view.scrollY + 2 * l.viewHeight > MaxScroll(l)) direction = -1;
    if (s.e.browser.view.scrollY < l.viewHeight) direction = 1;
    s.hp.dialogs.ScrollBy(kShapesDialog, kShapesView, direction * l.viewHeight);
  }
}
BENCHMARK(BM_ScrollOneScreen)->Arg(1)->Arg(3)->ArgName("scale")->Unit(benchmark::kMillisecond);

void BM_RedrawOneChangedShape(benchmark::State& state) {
  Session s(64);
  if (!s.started) return state.SkipWithError("the editor did not start");
  s.Open(1200, 1000, 1);
  const uint64_t before = s.e.browser.view.cellsDrawn;
  uint8_t v = 0;
  for (auto _ : state) {
    s.e.doc.list.slots[20].pixels[5] = static_cast<uint8_t>(30 + (v++ & 63));
    RefreshShapesWindow(s.e);
  }
  state.counters["cells_per_change"] =
      static_cast<double>(s.e.browser.view.cellsDrawn - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RedrawOneChangedShape)->Unit(benchmark::kMicrosecond);

// 5000 shapes of 255 x 255 (325 MB of pixels): the picture holds only what
// shows, wherever the view goes.
void BM_ThumbnailMemory(benchmark::State& state) {
  Session s(255);
  if (!s.started) return state.SkipWithError("the editor did not start");
  size_t most = 0;
  for (auto _ : state) {
    s.Open(1200, 1000, 1);
    const int screens = MaxScroll(s.e.browser.view.layout) / 1000 + 1;
    for (int i = 0; i < screens; ++i) {
      s.hp.dialogs.ScrollBy(kShapesDialog, kShapesView, 1000);
      most = std::max(most, BrowserMemory(s.e.browser.view));
    }
  }
  state.counters["picture_MB"] = static_cast<double>(most) / (1 << 20);
}
BENCHMARK(BM_ThumbnailMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace qshe
