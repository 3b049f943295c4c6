// Many-picture imports: a full contact sheet cut into shapes, and a folder of
// a thousand small bitmaps, each into a fresh document.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../tests/display/pcx_builder.h"
#include "display/game_palette.h"
#include "display/virtual_buffer.h"
#include "interchange/picture_imports.h"
#include "platform/headless/headless.h"

namespace {

using namespace qshe;
namespace fs = std::filesystem;

void Write(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// 12 x 9 frames of 52 x 52 filling a 640 x 480 sheet (key colour 200), each
// with a picture of varied pixels inside.
std::string FullSheet() {
  static const std::string path = [] {
    const fs::path p = fs::temp_directory_path() / "qshe-bench-sheet.pcx";
    auto pixel = [](int x, int y) -> uint8_t {
      const int fx = x % 53, fy = y % 53;
      if (x >= 12 * 53 || y >= 9 * 53 || fx == 52 || fy == 52) return 200;
      if (fx == 0 || fy == 0 || fx == 51 || fy == 51) return 5;
      return static_cast<uint8_t>(10 + (x * 7 + y * 13) % 180);
    };
    Write(p, testing::MakePcx8(kSheetWidth, kSheetHeight, pixel, std::vector<uint8_t>(768, 0)));
    return p.string();
  }();
  return path;
}

void BM_ImportCollageFullSheet(benchmark::State& state) {
  const std::string sheet = FullSheet();
  auto display = std::make_unique<DisplayState>();
  InitDisplay(*display);
  const int slot = AllocBuffer(*display, kSheetWidth, kSheetHeight);
  platform::HeadlessPlatform hp;
  History history;
  int64_t shapes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<Document>();
    doc->list.count = 1;
    state.ResumeTiming();
    shapes += ImportCollage(history, *doc, *display, slot, hp, sheet, {ImportMode::AddNew, PlacementMode::ToEnd, false})
                  .imported;
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  state.counters["shapes"] = benchmark::Counter(static_cast<double>(shapes) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_ImportCollageFullSheet)->Unit(benchmark::kMillisecond);

// 1000 8-bit bitmaps of 16 x 16.
std::string SmallBitmaps() {
  static const std::string pattern = [] {
    const fs::path dir = fs::temp_directory_path() / "qshe-bench-many";
    fs::create_directories(dir);
    std::vector<uint8_t> b(54 + 1024 + 16 * 16, 0);
    auto put = [&](size_t at, uint32_t v) {
      for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, static_cast<uint32_t>(b.size())), put(10, 54 + 1024), put(14, 40), put(18, 16), put(22, 16);
    b[26] = 1, b[28] = 8;
    for (size_t k = 0; k < 256; ++k) b[54 + 4 * k] = b[55 + 4 * k] = b[56 + 4 * k] = static_cast<uint8_t>(k);
    for (int n = 0; n < 1000; ++n) {
      for (size_t i = 0; i < 256; ++i) b[54 + 1024 + i] = static_cast<uint8_t>(i + static_cast<size_t>(n));
      Write(dir / ("pic" + std::to_string(1000 + n) + ".bmp"), b);
    }
    return (dir / "pic*.bmp").string();
  }();
  return pattern;
}

void BM_ImportPictureFiles1000(benchmark::State& state) {
  const std::string pattern = SmallBitmaps();
  GamePalette palette{};
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<uint8_t>(i * 37);
  const ColorMatcher colors(palette);
  platform::HeadlessPlatform hp;
  History history;
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<Document>();
    doc->list.count = 1;
    state.ResumeTiming();
    benchmark::DoNotOptimize(ImportPictureFiles(history, *doc, hp, colors, pattern,
                                                {ImportMode::AddNew, PlacementMode::ToEnd, false}, true));
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ImportPictureFiles1000)->Unit(benchmark::kMillisecond);

// 1000 files that are no pictures: every one read and refused, one message
// at the end, nothing changed.
void BM_ImportPictureFiles1000Unusable(benchmark::State& state) {
  static const std::string pattern = [] {
    const fs::path dir = fs::temp_directory_path() / "qshe-bench-unusable";
    fs::create_directories(dir);
    const std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
    for (int n = 0; n < 1000; ++n) Write(dir / ("note" + std::to_string(1000 + n) + ".bmp"), text);
    return (dir / "note*.bmp").string();
  }();
  const ColorMatcher colors(GamePalette{});
  platform::HeadlessPlatform hp;
  History history;
  auto doc = std::make_unique<Document>();
  doc->list.count = 1;
  for (auto _ : state) {
    ImportCount n =
        ImportPictureFiles(history, *doc, hp, colors, pattern, {ImportMode::AddNew, PlacementMode::ToEnd, false}, true);
    if (n.failed != 1000 || doc->list.count != 1) {
      state.SkipWithError("the import changed the document");
      return;
    }
  }
  state.counters["messages_per_run"] =
      static_cast<double>(hp.messages.size()) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ImportPictureFiles1000Unusable)->Unit(benchmark::kMillisecond);

}  // namespace
