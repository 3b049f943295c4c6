// Picture import speed: colour matching, LoadBitmapFile, a clipboard PNG of
// any size, and qshe-tool import
// as a whole process against ImageMagick remapping the same picture to the
// same 236 colours.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "display/game_palette.h"
#include "document/canvas.h"
#include "document/document.h"
#include "interchange/bitmap_import.h"
#include "interchange/clipboard_bitmap.h"
#include "interchange/png_codec.h"
#include "platform/headless/headless.h"

namespace {

using namespace qshe;
namespace fs = std::filesystem;

const std::string kBuild = QSHE_BINARY_DIR;

// The editor's palette, from its own screen image.
const GamePalette& Palette() {
  static const GamePalette p = *GamePaletteFromPcx(kBuild + "/qshe.pcx");
  return p;
}

// side x side pixels of different colours in random order, 24-bit.
std::string RandomBitmap(uint32_t side) {
  {
    const uint32_t stride = (3 * side + 3) / 4 * 4;
    std::string p = (fs::temp_directory_path() / ("qshe-bench-random" + std::to_string(side) + ".bmp")).string();
    std::vector<uint32_t> colors(65536);
    std::mt19937 rng(1);
    for (uint32_t i = 0; i < 65536; ++i) colors[i] = (i * 2654435761u) & 0xFFFFFF;  // distinct: odd multiplier
    std::shuffle(colors.begin(), colors.end(), rng);
    std::vector<uint8_t> b(54, 0);
    auto put = [&](size_t at, uint32_t v) {
      for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, 54 + stride * side), put(10, 54), put(14, 40), put(18, side), put(22, side);
    b[26] = 1, b[28] = 24;
    for (uint32_t y = 0; y < side; ++y) {
      for (uint32_t x = 0; x < side; ++x) {
        uint32_t c = colors[y * side + x];
        b.insert(b.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
      }
      b.resize(b.size() + stride - 3 * side);
    }
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return p;
  }
}

void BM_FindNearestColor_65536Colors(benchmark::State& state) {
  const ColorMatcher m(Palette());
  for (auto _ : state) {
    unsigned sum = 0;
    for (uint32_t i = 0; i < 65536; ++i) {
      uint32_t c = i * 2654435761u;
      sum += m.Nearest(uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16));
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_FindNearestColor_65536Colors)->Unit(benchmark::kMillisecond);

void BM_FindNearestColor_PlainRule_65536Colors(benchmark::State& state) {
  for (auto _ : state) {
    unsigned sum = 0;
    for (uint32_t i = 0; i < 65536; ++i) {
      uint32_t c = i * 2654435761u;
      sum += FindNearestColorPlain(Palette(), uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16));
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_FindNearestColor_PlainRule_65536Colors)->Unit(benchmark::kMillisecond);

void BM_ColorMatcherBuild(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ColorMatcher(Palette()));
}
BENCHMARK(BM_ColorMatcherBuild)->Unit(benchmark::kMillisecond);

void BM_LoadBitmapFile_Random24Bit255(benchmark::State& state) {
  const ColorMatcher m(Palette());
  platform::HeadlessPlatform hp;
  auto doc = std::make_unique<Document>();
  auto canvas = std::make_unique<Canvas>();
  const std::string path = RandomBitmap(255);
  for (auto _ : state) {
    if (!LoadBitmapFile(*doc, *canvas, hp, m, path, true, -1)) {
      state.SkipWithError("the picture was refused");
      return;
    }
  }
}
BENCHMARK(BM_LoadBitmapFile_Random24Bit255)->Unit(benchmark::kMillisecond);

// A palettised PNG of side x side whose top-left 255 x 255 is the same
// whatever the side, as another program puts it on the clipboard.
const std::vector<uint8_t>& ClipboardPng(uint32_t side) {
  static std::map<uint32_t, std::vector<uint8_t>> made;
  std::vector<uint8_t>& png = made[side];
  if (png.empty()) {
    std::vector<uint8_t> pixels(static_cast<size_t>(side) * side, 90);
    for (uint32_t y = 0; y < std::min(side, 255u); ++y)
      for (uint32_t x = 0; x < std::min(side, 255u); ++x)
        pixels[(side - 1 - y) * side + x] = static_cast<uint8_t>(10 + (x * 7 + y) % 236);
    png = *EncodeIndexedPng({static_cast<int32_t>(side), static_cast<int32_t>(side), pixels.data(), Palette(), {}});
  }
  return png;
}

// Pasting another program's PNG: its top-left read and matched. The
// 9000 x 9000 one reads 255 of its rows; the ratio to the 255 x 255 one in
// the same run is what the size costs.
void BM_ClipboardPngTopLeft(benchmark::State& state) {
  const ColorMatcher m(Palette());
  const std::vector<uint8_t>& png = ClipboardPng(static_cast<uint32_t>(state.range(0)));
  for (auto _ : state) {
    auto block = ClipboardFileToIndices(png, m);
    if (!block) {
      state.SkipWithError("the picture was refused");
      return;
    }
    benchmark::DoNotOptimize(block->pixels.data());
  }
  state.counters["png_bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_ClipboardPngTopLeft)->Arg(255)->Arg(9000)->Unit(benchmark::kMillisecond);

double SecondsOf(const std::string& command) {
  auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Both whole processes in the same run; the ratio is ImageMagick's time over
// qshe-tool's. The picture is 255 x 255, the largest a shape file holds.
void BM_ToolImportVsImageMagickRemap(benchmark::State& state) {
  // In memory when the system has a memory file system: the tool's safe save
  // waits for the disk (fsync) and ImageMagick does not, and the disk is not
  // what is measured here.
  const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  const fs::path dir = base / "qshe-bench-import";
  fs::create_directories(dir);
  const std::string bmp = RandomBitmap(255);
  const std::string shapes = (dir / "s.qsh").string();
  const std::string ppm = (dir / "palette.ppm").string(), png = (dir / "palette.png").string();
  {
    std::ofstream out(ppm, std::ios::binary);
    out << "P6\n236 1\n255\n";
    out.write(reinterpret_cast<const char*>(Palette().data() + 30), 236 * 3);
  }
  if (std::system(("convert '" + ppm + "' '" + png + "'").c_str()) != 0) {
    state.SkipWithError("ImageMagick's convert is not installed");
    return;
  }
  const std::string tool = "'" + kBuild + "/qshe-tool' import --palette '" + kBuild + "/qshe.pcx' '" + shapes +
                           "' '" + bmp + "'";
  const std::string magick =
      "convert '" + bmp + "' +dither -remap '" + png + "' '" + (dir / "out.bmp").string() + "'";
  double toolSeconds = 0, magickSeconds = 0;
  for (auto _ : state) {
    fs::remove(shapes);
    double t = SecondsOf(tool), m = SecondsOf(magick);
    if (t < 0 || m < 0) {
      state.SkipWithError("a command failed");
      return;
    }
    toolSeconds += t;
    magickSeconds += m;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["qshe_tool_ms"] = 1000 * toolSeconds / n;
  state.counters["imagemagick_ms"] = 1000 * magickSeconds / n;
  state.counters["magick_over_tool"] = magickSeconds / toolSeconds;
  fs::remove_all(dir);
}
BENCHMARK(BM_ToolImportVsImageMagickRemap)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
