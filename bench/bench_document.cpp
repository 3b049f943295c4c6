// Shape-file reading and writing on a full-size document, and list inserts.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "document/canvas.h"
#include "document/file_io.h"
#include "document/recovery.h"
#include "document/shape_file.h"
#include "measure.h"
#include "platform/headless/headless.h"

using namespace qshe;

namespace {

// 5000 shapes of 64 x 64, the size the read and write targets are set for.
std::vector<Shape> MakeDocument() {
  std::vector<Shape> shapes(kShapeListCapacity);
  for (size_t i = 0; i < shapes.size(); ++i) {
    AllocateShape(shapes[i], 64, 64);
    std::memset(shapes[i].pixels.get(), static_cast<int>(i & 0xFF), 64 * 64);
  }
  return shapes;
}

std::string BenchPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

void BM_ReadShapeFile(benchmark::State& state) {
  auto shapes = MakeDocument();
  std::string path = BenchPath("qshe-bench-read.qsh");
  auto bytes = EncodeShapeFile(shapes, ShapeFileFormat::Qsh);
  WriteFileAtomically(path, bytes, false);
  std::vector<Shape> table(kShapeListCapacity);
  for (auto _ : state) {
    auto r = LoadShapeFile(path, table);
    benchmark::DoNotOptimize(r.count);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadShapeFile)->Unit(benchmark::kMillisecond);

void BM_WriteShapeFile(benchmark::State& state) {
  auto shapes = MakeDocument();
  std::string path = BenchPath("qshe-bench-write.qsh");
  size_t size = 0;
  for (auto _ : state) {
    auto bytes = EncodeShapeFile(shapes, ShapeFileFormat::Qsh);
    size = bytes.size();
    // The final flush to the disk is left out: it measures the disk, not us.
    auto error = WriteFileAtomically(path, bytes, false);
    benchmark::DoNotOptimize(error);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteShapeFile)->Unit(benchmark::kMillisecond);

// One shape inserted at the front of a list that holds 4999, then removed
// again so the next round starts from the same list.
void BM_AddShapesAtFront(benchmark::State& state) {
  platform::HeadlessPlatform ui;
  ShapeList list;
  list.slots = MakeDocument();
  list.count = kShapeListCapacity - 1;
  for (auto _ : state) {
    AddShapes(list, ui, 1, kAddAtIndex + 0);
    state.PauseTiming();
    RemoveShape(list, ui, 0, false);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AddShapesAtFront)->Unit(benchmark::kMicrosecond);

// One recovery copy of a full document, as the recovery timer writes it:
// the canvas committed into a copy of the current shape, the copy encoded,
// and the safe write with its flush to the disk. The document changes by one
// pixel each round, so every round really writes.
void BM_RecoveryWrite(benchmark::State& state) {
  Document doc;
  doc.list.slots = MakeDocument();
  doc.list.count = kShapeListCapacity;
  doc.state.modified = kModified;
  Canvas canvas;
  LoadShapeToCanvas(doc.list.slots[0], canvas);
  RecoveryJournal journal;
  journal.folder = BenchPath("qshe-bench-recovery");
  OpenRecoveryJournal(journal, nullptr);
  uint8_t ink = 1;
  for (auto _ : state) {
    canvas.At(0, 255) = ink++;
    auto result = WriteRecoveryCopy(journal, doc, canvas, true, 0, nullptr);
    benchmark::DoNotOptimize(result);
  }
  RemoveRecoveryCopy(journal);
}
BENCHMARK(BM_RecoveryWrite)->Unit(benchmark::kMillisecond);

// The yardstick the canvas figures are quoted against: copying 64 KiB.
uint8_t copyFrom[65536];
uint8_t copyTo[65536];

void BM_CommitFullCanvas(benchmark::State& state) {
  Canvas canvas;
  for (int r = 1; r < 256; ++r) {
    for (int c = 0; c < 255; ++c) canvas.At(c, r) = static_cast<uint8_t>(1 + (r * c) % 200);
  }
  Shape shape;
  bench::Measure(state, copyTo, copyFrom, sizeof copyTo, [&] {
    CommitCanvasToShape(canvas, shape);
    benchmark::DoNotOptimize(shape.pixels.get());
  });
}
BENCHMARK(BM_CommitFullCanvas);

void BM_CommitEmptyCanvas(benchmark::State& state) {
  Canvas canvas;
  Shape shape;
  bench::Measure(state, copyTo, copyFrom, sizeof copyTo, [&] {
    CommitCanvasToShape(canvas, shape);
    benchmark::DoNotOptimize(shape.width);
  });
}
BENCHMARK(BM_CommitEmptyCanvas);

void BM_ShowFullShape(benchmark::State& state) {
  Shape shape;
  AllocateShape(shape, 255, 255);
  std::memset(shape.pixels.get(), 9, 255 * 255);
  Canvas canvas;
  bench::Measure(state, copyTo, copyFrom, sizeof copyTo, [&] {
    LoadShapeToCanvas(shape, canvas);
    benchmark::DoNotOptimize(canvas.pixels.data());
    benchmark::ClobberMemory();
  });
}
BENCHMARK(BM_ShowFullShape);

}  // namespace
