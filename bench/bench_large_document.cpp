// The largest document there can be (5000 shapes of 255 x 255, a 325 MB QS2
// file with its side file): the recovery tick's time on the GUI thread with
// and without changes, saving against the disk's own floor (dd writing as
// many bytes with conv=fsync, in the same run), and the open-paint-save-
// recovery cycle whose peak memory `/usr/bin/time -v` measures:
//
//   bench_large_document --benchmark_filter=MakeFile      # writes the file once
//   /usr/bin/time -v bench_large_document --benchmark_filter='EditorCycle$'
//   /usr/bin/time -v qshe-tool info /tmp/qshe-bench-large.qs2
//   /usr/bin/time -v qshe-tool convert /tmp/qshe-bench-large.qs2 /tmp/qshe-bench-out.qsh
//
// The "Before" figures redo the work as it was done before the snapshot and
// the streaming (the whole file in memory, encoded and hashed on the GUI
// thread), in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/canvas.h"
#include "document/document_commands.h"
#include "document/file_io.h"
#include "document/history.h"
#include "document/object_file.h"
#include "document/recovery.h"
#include "document/shape_file.h"
#include "platform/headless/headless.h"

using namespace qshe;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::string BenchPath(const char* name) { return (fs::temp_directory_path() / name).string(); }
const std::string kLargeFile = BenchPath("qshe-bench-large.qs2");

// Every pixel its own: nothing the disk or the file system could shorten.
void MakeLargeDocument(Document& doc) {
  ResetDocument(doc);
  uint32_t x = 12345;
  for (int32_t i = 0; i < kShapeListCapacity; ++i) {
    Shape& s = doc.list.slots[static_cast<size_t>(i)];
    AllocateShape(s, 255, 255);
    uint8_t* p = s.pixels.get();
    for (int j = 0; j < 255 * 255; ++j) {
      x = x * 1664525u + 1013904223u;
      p[j] = static_cast<uint8_t>(x >> 24);
    }
    s.offsetX = i % 100;
    s.walkable = i & 1;
  }
  doc.list.count = kShapeListCapacity;
  doc.state.qs2Flag = 1;
  doc.state.qbjFlag = 1;
  doc.state.modified = kModified;
}

// Seconds dd takes to write `bytes` with conv=fsync beside the file: the
// floor of any save of that many bytes on this disk, now.
double DdFloorSeconds(uint64_t bytes) {
  const std::string out = BenchPath("qshe-bench-dd");
  const std::string command = "dd if=/dev/zero of=" + out + " bs=1M count=" + std::to_string(bytes >> 20) +
                              " conv=fsync status=none";
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  fs::remove(out);
  return status == 0 ? seconds : 0;
}

void BM_MakeFile(benchmark::State& state) {
  auto doc = std::make_unique<Document>();
  MakeLargeDocument(*doc);
  platform::HeadlessPlatform ui;
  for (auto _ : state) {
    auto result = SaveShapeFile(*doc, ui.platform(), kLargeFile, doc->list.Document());
    if (result != kSaved) state.SkipWithError("could not write the large file");
  }
  state.counters["MB"] = static_cast<double>(fs::file_size(kLargeFile)) / 1e6;
}
BENCHMARK(BM_MakeFile)->Iterations(1)->Unit(benchmark::kMillisecond);

// ----- the recovery tick on the GUI thread ---------------------------------------------

struct TempFolder {
  std::string path = BenchPath("qshe-bench-recovery");
  TempFolder() { fs::create_directories(path); }
  ~TempFolder() { fs::remove_all(path); }
};

struct TickFixture {
  TempFolder folder;
  std::unique_ptr<Document> doc = std::make_unique<Document>();
  Canvas canvas;
  RecoveryJournal journal;
  TickFixture() {
    MakeLargeDocument(*doc);
    ShowShape(*doc, canvas, 7, false, 0);
    journal.folder = folder.path + "/recovery";
    OpenRecoveryJournal(journal, nullptr);
  }
};

// A tick with nothing changed since the last copy.
void BM_TickUnchanged(benchmark::State& state) {
  TickFixture f;
  StartRecoveryCopy(f.journal, *f.doc, f.canvas, false, 0, nullptr);
  FinishRecoveryCopy(f.journal, true, nullptr);
  for (auto _ : state) {
    auto r = StartRecoveryCopy(f.journal, *f.doc, f.canvas, true, 0, nullptr);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_TickUnchanged)->Unit(benchmark::kMicrosecond);

// A tick after a change, painting not yet committed: the GUI thread's part
// (the snapshot and the worker's start); the worker's write is waited for
// outside the measured time.
void BM_TickChanged(benchmark::State& state) {
  TickFixture f;
  uint8_t ink = 1;
  for (auto _ : state) {
    f.canvas.At(0, 255) = ink++;
    MarkModified(*f.doc);
    auto r = StartRecoveryCopy(f.journal, *f.doc, f.canvas, true, 0, nullptr);
    benchmark::DoNotOptimize(r);
    state.PauseTiming();
    FinishRecoveryCopy(f.journal, true, nullptr);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TickChanged)->Iterations(5)->Unit(benchmark::kMillisecond);

// What every tick did on the GUI thread before: the whole copy encoded and
// hashed to learn whether it changed (the write came on top).
void BM_TickBefore(benchmark::State& state) {
  TickFixture f;
  for (auto _ : state) {
    auto bytes = EncodeRecoveryCopy(MakeRecoveryCopy(*f.doc, f.canvas, true));
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(BM_TickBefore)->Iterations(3)->Unit(benchmark::kMillisecond);

// ----- saving against the floor ---------------------------------------------------------

// Each save is followed by dd writing as many bytes, so both meet the same
// load of a shared machine; the median of the pairs' ratios is quoted.
void ReportFloor(benchmark::State& state, const std::vector<double>& seconds, const std::vector<double>& floors) {
  std::vector<double> ratios;
  for (size_t i = 0; i < seconds.size(); ++i) {
    if (floors[i] > 0) ratios.push_back(seconds[i] / floors[i]);
  }
  auto median = [](std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  state.counters["s"] = median(seconds);
  state.counters["dd_s"] = median(floors);
  state.counters["x_dd"] = median(ratios);
}

// Each save of the document to `path`, each followed (untimed) by the dd
// floor for as many bytes; reports both, and removes the files.
template <typename Save>
void TimeSavesAgainstDd(benchmark::State& state, const std::string& path, Save save) {
  std::vector<double> seconds, floors;
  for (auto _ : state) {
    const auto start = Clock::now();
    auto result = save(path);
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    benchmark::DoNotOptimize(result);
    state.PauseTiming();
    floors.push_back(DdFloorSeconds(fs::file_size(path)));
    state.ResumeTiming();
  }
  ReportFloor(state, seconds, floors);
  fs::remove(path);
  fs::remove(ObjectFileName(path));
}

// Save as the editor saves: streamed into the pair's temporaries, both
// flushed, then renamed.
void BM_Save(benchmark::State& state) {
  auto doc = std::make_unique<Document>();
  MakeLargeDocument(*doc);
  platform::HeadlessPlatform ui;
  TimeSavesAgainstDd(state, BenchPath("qshe-bench-save.qs2"), [&](const std::string& path) {
    return SaveShapeFile(*doc, ui.platform(), path, doc->list.Document());
  });
}
BENCHMARK(BM_Save)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same bytes as before: the file built whole in memory first.
void BM_SaveBefore(benchmark::State& state) {
  auto doc = std::make_unique<Document>();
  MakeLargeDocument(*doc);
  TimeSavesAgainstDd(state, BenchPath("qshe-bench-save-before.qs2"), [&](const std::string& path) {
    auto bytes = EncodeShapeFile(doc->list.Document(), ShapeFileFormat::Qs2);
    auto side = EncodeObjectFile(doc->list.Document());
    const FileToWrite files[] = {{path, bytes}, {ObjectFileName(path), side}};
    return WriteFilesTogether(files);
  });
}
BENCHMARK(BM_SaveBefore)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// ----- the editor's cycle, for /usr/bin/time -v --------------------------------------------

// Open the large file, paint on a few shapes (each a history step, each
// committed), write the recovery copy on the worker while painting goes
// on, and save.
void BM_EditorCycle(benchmark::State& state) {
  if (!fs::exists(kLargeFile)) {
    state.SkipWithError("run --benchmark_filter=MakeFile first");
    return;
  }
  platform::HeadlessPlatform ui;
  auto doc = std::make_unique<Document>();
  Canvas canvas;
  History history;
  RecoveryJournal journal;
  journal.folder = BenchPath("qshe-bench-cycle-recovery");
  OpenRecoveryJournal(journal, nullptr);
  const std::string out = BenchPath("qshe-bench-cycle.qs2");
  for (auto _ : state) {
    OpenPath(*doc, canvas, ui.platform(), kLargeFile);
    ResetHistory(history, canvas, true);
    auto paint = [&](int shape) {
      ShowShape(*doc, canvas, shape, true, doc->list.current);
      SetPaintingBase(history, canvas);
      for (int x = 0; x < 200; ++x) canvas.At(x, 100) = static_cast<uint8_t>(x);
      RecordPainting(history, *doc, canvas, "Pencil");
      CommitCanvas(*doc, canvas, shape, false);
    };
    for (int shape = 0; shape < 50; ++shape) paint(shape);
    StartRecoveryCopy(journal, *doc, canvas, false, 0, nullptr);
    for (int shape = 50; shape < 100; ++shape) paint(shape);
    FinishRecoveryCopy(journal, true, nullptr);
    StartRecoveryCopy(journal, *doc, canvas, false, 0, nullptr);
    FinishRecoveryCopy(journal, true, nullptr);
    if (SaveShapeFile(*doc, ui.platform(), out, doc->list.Document()) != kSaved) state.SkipWithError("save");
  }
  RemoveRecoveryCopy(journal);
  fs::remove(out);
  fs::remove(ObjectFileName(out));
}
BENCHMARK(BM_EditorCycle)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same cycle as it went before: the whole file read, then decoded; the
// copy encoded whole; the save built whole.
void BM_EditorCycleBefore(benchmark::State& state) {
  if (!fs::exists(kLargeFile)) {
    state.SkipWithError("run --benchmark_filter=MakeFile first");
    return;
  }
  auto doc = std::make_unique<Document>();
  Canvas canvas;
  const std::string out = BenchPath("qshe-bench-cycle-before.qs2");
  for (auto _ : state) {
    ResetDocument(*doc);
    auto file = ReadWholeFile(kLargeFile, kMaxShapeFileBytes);
    auto r = DecodeShapeFile(file->bytes(), doc->list.slots);
    doc->list.count = r.count;
    ShowShape(*doc, canvas, 0, false, 0);
    auto copy = EncodeRecoveryCopy(MakeRecoveryCopy(*doc, canvas, true));
    WriteFileAtomically(BenchPath("qshe-bench-cycle-before.qshr"), copy);
    copy = {};
    auto bytes = EncodeShapeFile(doc->list.Document(), ShapeFileFormat::Qs2);
    WriteFileAtomically(out, bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  fs::remove(out);
  fs::remove(BenchPath("qshe-bench-cycle-before.qshr"));
}
BENCHMARK(BM_EditorCycleBefore)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
