// The document's history: what 10,000 one-pixel strokes keep in memory, undo
// and redo of one stroke against copying its rectangle in the same run, and
// the undo of a 1000-shape import in a full document.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "app/command_table.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "document/history.h"
#include "measure.h"
#include "platform/headless/headless.h"

using namespace qshe;

namespace {

using Clock = std::chrono::steady_clock;

size_t HeapInUse() { return mallinfo2().uordblks; }

// A document whose current shape is 255 x 255, fully painted, on the canvas.
struct PaintedDocument {
  std::unique_ptr<Document> doc = std::make_unique<Document>();
  std::unique_ptr<Canvas> canvas = std::make_unique<Canvas>();
  History history;

  PaintedDocument() {
    doc->list.count = 1;
    Shape& s = doc->list.slots[0];
    AllocateShape(s, 255, 255);
    for (int i = 0; i < 255 * 255; ++i) s.pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(10 + i % 236);
    LoadShapeToCanvas(s, *canvas);
    ResetHistory(history, *canvas, true);
  }
};

// 10,000 strokes of one pixel each at random places of a 255 x 255 shape:
// the bytes the history counts, and what the heap grew by.
void BM_TenThousandOnePixelStrokes(benchmark::State& state) {
  double counted = 0, heap = 0, steps = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto d = std::make_unique<PaintedDocument>();
    std::mt19937 rng(7);
    const size_t before = HeapInUse();
    state.ResumeTiming();
    for (int i = 0; i < 10000; ++i) {
      uint8_t& p = d->canvas->At(static_cast<int>(rng() % 255), 1 + static_cast<int>(rng() % 255));
      p = static_cast<uint8_t>(p == 200 ? 201 : 200);
      RecordPainting(d->history, *d->doc, *d->canvas, "Pencil");
    }
    state.PauseTiming();
    counted = static_cast<double>(d->history.bytes);
    heap = static_cast<double>(HeapInUse() - before);
    steps = static_cast<double>(UndoCount(d->history));
    d.reset();
    state.ResumeTiming();
  }
  state.counters["history_MB"] = counted / 1e6;
  state.counters["heap_MB"] = heap / 1e6;
  state.counters["steps"] = steps;
}
BENCHMARK(BM_TenThousandOnePixelStrokes)->Unit(benchmark::kMillisecond)->Iterations(3);

// Undo and redo of one stroke whose rectangle is n x n, each against copying
// that rectangle out of the canvas row by row, best of several rounds.
void BM_UndoRedoOneStroke(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  PaintedDocument d;
  for (int y = 1; y <= n; ++y)
    for (int x = 0; x < n; ++x) d.canvas->At(x, y) = static_cast<uint8_t>(d.canvas->At(x, y) ^ 1);
  RecordPainting(d.history, *d.doc, *d.canvas, "Pencil");

  std::vector<uint8_t> out(static_cast<size_t>(n) * static_cast<size_t>(n));
  double copyNanos = 1e30;
  for (int round = 0; round < 20; ++round) {
    constexpr int kCopies = 2000;
    auto start = Clock::now();
    for (int i = 0; i < kCopies; ++i) {
      uint8_t* o = out.data();
      for (int y = 1; y <= n; ++y, o += n) std::memcpy(o, &d.canvas->At(0, y), static_cast<size_t>(n));
      benchmark::ClobberMemory();
    }
    copyNanos = std::min(copyNanos, std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kCopies);
  }
  // Best of rounds as for the copy, so load from elsewhere counts for neither.
  double each = 1e30;
  for (auto _ : state) {
    constexpr int kPairs = 200;
    auto start = Clock::now();
    for (int i = 0; i < kPairs; ++i) {
      Undo(d.history, *d.doc, *d.canvas);
      Redo(d.history, *d.doc, *d.canvas);
      benchmark::ClobberMemory();
    }
    each = std::min(each, std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kPairs / 2);
  }
  state.counters["x_rect_copy"] = each / copyNanos;
  state.counters["rect_copy_ns"] = copyNanos;
  state.counters["undo_or_redo_ns"] = each;
}
BENCHMARK(BM_UndoRedoOneStroke)->Arg(1)->Arg(8)->Arg(32)->Arg(64)->Arg(128)->Arg(255)->ArgName("side");

// 4000 shapes of 32 x 32, then 1000 more inserted at the front as one step
// (the shape a multiple-picture import leaves): undo takes all 1000 out and
// redo puts them back. Also a replacement of 1000 shapes in a 5000-shape
// document.
void BM_UndoImportOf1000Shapes(benchmark::State& state) {
  const bool replace = state.range(0) == 1;
  auto doc = std::make_unique<Document>();
  auto canvas = std::make_unique<Canvas>();
  History h;
  h.budget = size_t{1} << 40;
  doc->list.count = replace ? 5000 : 4000;
  for (int i = 0; i < doc->list.count; ++i) {
    AllocateShape(doc->list.slots[static_cast<size_t>(i)], 32, 32);
    std::memset(doc->list.slots[static_cast<size_t>(i)].pixels.get(), i & 0xFF, 32 * 32);
  }
  LoadShapeToCanvas(doc->list.slots[0], *canvas);
  ResetHistory(h, *canvas, true);
  std::vector<Shape> pictures(1000);
  for (Shape& s : pictures) {
    AllocateShape(s, 16, 16);
    std::memset(s.pixels.get(), 99, 16 * 16);
  }
  BeginStep(h, *doc, *canvas, "Import Pictures");
  if (replace) {
    ReplaceShapes(h, doc->list, 0, std::move(pictures));
  } else {
    InsertShapes(h, doc->list, 0, std::move(pictures));
  }
  EndStep(h);
  double undoNanos = 0, redoNanos = 0;
  for (auto _ : state) {
    auto a = Clock::now();
    Undo(h, *doc, *canvas);
    auto b = Clock::now();
    Redo(h, *doc, *canvas);
    auto c = Clock::now();
    undoNanos += std::chrono::duration<double, std::nano>(b - a).count();
    redoNanos += std::chrono::duration<double, std::nano>(c - b).count();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["undo_ms"] = undoNanos / n / 1e6;
  state.counters["redo_ms"] = redoNanos / n / 1e6;
  state.counters["count"] = doc->list.count;
}
BENCHMARK(BM_UndoImportOf1000Shapes)->Arg(0)->Arg(1)->ArgName("replace")->Unit(benchmark::kMicrosecond);

// The same undo as the user gives it: Ctrl+Z in the editor on the scripted
// desktop, the views shown anew afterwards.
void BM_UndoImportCommand(benchmark::State& state) {
  platform::HeadlessPlatform hp;
  Editor e(hp.desktop());
  const auto dir = std::filesystem::temp_directory_path() / "qshe-bench-history";
  std::filesystem::create_directories(dir);
  if (!StartEditor(e, dir.string() + "/", {})) {
    state.SkipWithError("the editor did not start");
    return;
  }
  ShapeList& list = e.doc.list;
  list.count = 4000;
  for (int i = 0; i < list.count; ++i) {
    AllocateShape(list.slots[static_cast<size_t>(i)], 32, 32);
    std::memset(list.slots[static_cast<size_t>(i)].pixels.get(), i & 0xFF, 32 * 32);
  }
  std::vector<Shape> pictures(1000);
  for (Shape& s : pictures) {
    AllocateShape(s, 16, 16);
    std::memset(s.pixels.get(), 99, 16 * 16);
  }
  BeginEditorStep(e, "Import Pictures");
  InsertShapes(e.history, list, 0, std::move(pictures));
  EndEditorStep(e);
  double undoNanos = 0;
  for (auto _ : state) {
    auto a = Clock::now();
    OnCommand(e, kCmdUndo);
    undoNanos += std::chrono::duration<double, std::nano>(Clock::now() - a).count();
    OnCommand(e, kCmdRedo);
  }
  state.counters["undo_ms"] = undoNanos / static_cast<double>(state.iterations()) / 1e6;
  state.counters["count"] = list.count;
}
BENCHMARK(BM_UndoImportCommand)->Unit(benchmark::kMillisecond);

}  // namespace
