// The paint bucket, a pencil move at the highest magnification, a filled
// ellipse's live figure there and a selection drag, each quoted against
// copying 64 KiB in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/command_table.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "measure.h"
#include "editing/tools.h"
#include "platform/headless/headless.h"

using namespace qshe;

namespace {

// The yardstick every figure here is quoted against: copying 64 KiB.
uint8_t copyFrom[65536];
uint8_t copyTo[65536];


// Fills the region of (x, y) over and over, with alternating colours so that
// every round fills all of it.
void FillRounds(benchmark::State& state, Canvas canvas, int x, int y) {
  FillStack stack;
  uint8_t colour = 1;
  bench::Measure(state, copyTo, copyFrom, sizeof copyTo, [&] {
    FloodFill(canvas, stack, x, y, colour);
    colour ^= 3;
    benchmark::ClobberMemory();
  });
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

// An editor on the scripted desktop, without support files.
bool StartBenchEditor(benchmark::State& state, Editor& e) {
  const auto dir = std::filesystem::temp_directory_path() / "qshe-bench-tools";
  std::filesystem::create_directories(dir);
  if (StartEditor(e, dir.string() + "/", {})) return true;
  state.SkipWithError("the editor did not start");
  return false;
}

// One mouse move of a pencil drag at zoom 16 through the main window's own
// routing: a line stamped, the view rendered and the canvas area presented.
void BM_PencilMoveAtZoom16(benchmark::State& state) {
  platform::HeadlessPlatform hp;
  Editor e(hp.desktop());
  if (!StartBenchEditor(state, e)) return;
  for (int i = 0; i < 4; ++i) OnCommand(e, kCmdZoomIn);  // 2, 4, 8, 16
  if (e.view.zoom != 16) {
    state.SkipWithError("zoom 16 not reached");
    return;
  }
  OnMouseDown(e, 300, 100, 1, false);
  int x = 300;
  bench::Measure(state, copyTo, copyFrom, sizeof copyTo, [&] {
    x = x == 300 ? 316 : 300;  // one canvas pixel further each time
    OnMouseMove(e, x, 100, false);
  });
  OnMouseUp(e, x, 100, 1);
}
BENCHMARK(BM_PencilMoveAtZoom16);

// A whole stroke at zoom 16: the press, eight moves of one canvas pixel and
// the release, which records the stroke for undo.
void BM_PencilStrokeAtZoom16(benchmark::State& state) {
  platform::HeadlessPlatform hp;
  Editor e(hp.desktop());
  if (!StartBenchEditor(state, e)) return;
  for (int i = 0; i < 4; ++i) OnCommand(e, kCmdZoomIn);
  if (e.view.zoom != 16) {
    state.SkipWithError("zoom 16 not reached");
    return;
  }
  bench::Measure(state, copyTo, copyFrom, sizeof copyTo, [&] {
    OnMouseDown(e, 300, 100, 1, false);
    for (int x = 316; x <= 300 + 8 * 16; x += 16) OnMouseMove(e, x, 100, false);
    OnMouseUp(e, 300 + 8 * 16, 100, 1);
    e.colors.foreColor = static_cast<uint8_t>(e.colors.foreColor == 34 ? 35 : 34);  // every stroke changes pixels
  });
}
BENCHMARK(BM_PencilStrokeAtZoom16);

// One mouse move of an ellipse drag at zoom 16, filled and 255 x 255 (the
// largest shape), through the same routing: the figure drawn over a copy of
// the canvas, the view rendered and the canvas area presented. Quoted
// against the pencil move above.
void BM_FilledEllipseMoveAtZoom16(benchmark::State& state) {
  platform::HeadlessPlatform hp;
  Editor e(hp.desktop());
  if (!StartBenchEditor(state, e)) return;
  for (int i = 0; i < 4; ++i) OnCommand(e, kCmdZoomIn);
  OnCommand(e, kCmdEllipse);
  OnCommand(e, kCmdEllipse);  // filled
  if (e.view.zoom != 16 || !e.tools.filledEllipse) {
    state.SkipWithError("zoom 16 or the filled ellipse not reached");
    return;
  }
  // From the top-left canvas pixel to 254 pixels right and down, and back
  // and forth by one pixel; the captured mouse goes far past the window.
  OnMouseDown(e, 190, 14, 1, false);
  const int far = 190 + 254 * 16, y = 14 + 254 * 16;
  int x = far;
  bench::Measure(state, copyTo, copyFrom, sizeof copyTo, [&] {
    x = x == far ? far - 16 : far;
    OnMouseMove(e, x, y, false);
  });
  OnCommand(e, kCmdCancelFigure);
  OnMouseUp(e, x, y, 1);
}
BENCHMARK(BM_FilledEllipseMoveAtZoom16);

// One mouse move dragging the whole canvas as a floating selection, the
// largest there is, unmagnified and at zoom 16: the selection and its
// outline drawn over the view and the canvas area presented.
void BM_SelectionMove(benchmark::State& state) {
  platform::HeadlessPlatform hp;
  Editor e(hp.desktop());
  if (!StartBenchEditor(state, e)) return;
  const int zoomIns = static_cast<int>(state.range(0));
  for (int i = 0; i < zoomIns; ++i) OnCommand(e, kCmdZoomIn);
  for (int i = 0; i < 65536; ++i) e.canvas.pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(i % 236 + 10);
  OnCommand(e, kCmdSelectAll);
  const int step = zoomIns == 0 ? 1 : 16;
  OnMouseDown(e, 300, 100, 1, false);
  int x = 300;
  bench::Measure(state, copyTo, copyFrom, sizeof copyTo, [&] {
    x = x == 300 ? 300 + step : 300;
    OnMouseMove(e, x, 100, false);
  });
  OnMouseUp(e, x, 100, 1);
}
BENCHMARK(BM_SelectionMove)->Arg(0)->Arg(4)->ArgName("zoomIns");

}  // namespace
