// Dithering onto the game colours, against ImageMagick in the same run:
// `qshe-tool import --dither diffusion` of a 255 x 255 24-bit picture against
// `convert -dither FloydSteinberg -remap` onto the same 236 colours, both as
// whole processes; the colour error of each method on a smooth gradient
// (mean distance per component after an 8 x 8 box blur of source and
// result); and the time the "Import picture" window takes to show a changed
// choice.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "display/game_palette.h"
#include "interchange/bitmap_import.h"
#include "interchange/color_reduction.h"
#include "interchange/picture_import.h"
#include "platform/headless/headless.h"

extern char** environ;

namespace {

using namespace qshe;
namespace fs = std::filesystem;

const std::string kBuild = QSHE_BINARY_DIR;
const std::string kPalette = kBuild + "/qshe.pcx";

std::string Temp(const std::string& name) { return (fs::temp_directory_path() / ("qshe-bench-" + name)).string(); }

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

const GamePalette& Palette() {
  static const GamePalette p = *GamePaletteFromPcx(kPalette);
  return p;
}

// A smooth gradient between four corner colours, as a photo's sky or skin
// has, as a 24-bit bitmap; written once.
const std::string& Gradient() {
  static const std::string path = [] {
    constexpr int kSide = 255;
    const int corners[4][3] = {{0x10, 0x30, 0x7a}, {0xe0, 0xa0, 0x40}, {0x40, 0xc0, 0x80}, {0xf0, 0xf0, 0xe0}};
    const int row = (3 * kSide + 3) / 4 * 4;
    std::vector<uint8_t> bmp(54 + static_cast<size_t>(row) * kSide, 0);
    auto put32 = [&](size_t at, uint32_t v) {
      for (int k = 0; k < 4; ++k) bmp[at + static_cast<size_t>(k)] = static_cast<uint8_t>(v >> (8 * k));
    };
    bmp[0] = 'B', bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, kSide);
    put32(22, kSide);
    put32(26, 1 | 24 << 16);
    for (int y = 0; y < kSide; ++y) {      // rows bottom first
      const double v = 1.0 - y / 254.0;    // 0 at the top
      for (int x = 0; x < kSide; ++x) {
        const double u = x / 254.0;
        uint8_t* px = bmp.data() + 54 + static_cast<size_t>(y) * static_cast<size_t>(row) + 3 * static_cast<size_t>(x);
        for (int c = 0; c < 3; ++c) {
          const double top = corners[0][c] * (1 - u) + corners[1][c] * u;
          const double bottom = corners[2][c] * (1 - u) + corners[3][c] * u;
          px[2 - c] = static_cast<uint8_t>(std::lround(top * (1 - v) + bottom * v));
        }
      }
    }
    const std::string p = Temp("gradient.bmp");
    Write(p, bmp);
    return p;
  }();
  return path;
}

// The game colours 10..245 as a 236 x 1 picture, for -remap.
const std::string& RemapColours() {
  static const std::string path = [] {
    const std::string header = "P6\n236 1\n255\n";
    std::vector<uint8_t> ppm(header.begin(), header.end());
    for (int i = kFirstGameColor; i <= kLastGameColor; ++i)
      for (int c = 0; c < 3; ++c) ppm.push_back(Palette()[3 * static_cast<size_t>(i) + static_cast<size_t>(c)]);
    const std::string p = Temp("game-colours.ppm");
    Write(p, ppm);
    return p;
  }();
  return path;
}

bool Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double imageMagickSeconds = 0;

void BM_ImageMagickFloydSteinbergRemap(benchmark::State& state) {
  const std::vector<std::string> args = {"convert", Gradient(), "-dither", "FloydSteinberg", "-remap", RemapColours(),
                                         Temp("im-remap.ppm")};
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state)
    if (!Spawn(args)) state.SkipWithError("convert did not run");
  imageMagickSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                       static_cast<double>(state.iterations());
}
BENCHMARK(BM_ImageMagickFloydSteinbergRemap)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_QsheToolImportDiffusion(benchmark::State& state) {
  const std::string out = Temp("dither.qsh");
  const std::vector<std::string> args = {kBuild + "/qshe-tool", "import", "--palette", kPalette, "--dither",
                                         "diffusion", out, Gradient()};
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    fs::remove(out);
    if (!Spawn(args)) state.SkipWithError("qshe-tool did not run");
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                         static_cast<double>(state.iterations());
  if (imageMagickSeconds > 0) state.counters["times_faster_than_IM"] = imageMagickSeconds / seconds;
}
BENCHMARK(BM_QsheToolImportDiffusion)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// Mean distance per component after an 8 x 8 box blur of both.
double BlurredError(const std::vector<uint8_t>& want, const std::vector<uint8_t>& got, int side) {
  double sum = 0;
  long n = 0;
  for (int y = 0; y + 8 <= side; ++y)
    for (int x = 0; x + 8 <= side; ++x)
      for (int c = 0; c < 3; ++c) {
        double a = 0, b = 0;
        for (int j = 0; j < 8; ++j)
          for (int i = 0; i < 8; ++i) {
            const size_t k = 3 * (static_cast<size_t>(y + j) * static_cast<size_t>(side) + static_cast<size_t>(x + i)) +
                             static_cast<size_t>(c);
            a += want[k];
            b += got[k];
          }
        sum += std::abs(a - b) / 64.0;
        ++n;
      }
  return sum / static_cast<double>(n);
}

// Rows top first, three bytes a pixel.
std::vector<uint8_t> TopFirstRgb(const Picture& p) {
  std::vector<uint8_t> rgb;
  const std::vector<uint8_t> rgba = PictureRgba(p);
  for (int top = 0; top < p.height; ++top)
    for (int x = 0; x < p.width; ++x)
      for (int c = 0; c < 3; ++c)
        rgb.push_back(rgba[4 * (static_cast<size_t>(p.height - 1 - top) * static_cast<size_t>(p.width) +
                                static_cast<size_t>(x)) +
                           static_cast<size_t>(c)]);
  return rgb;
}

std::vector<uint8_t> Shown(const std::vector<uint8_t>& indices, int side) {
  std::vector<uint8_t> rgb;
  for (int top = 0; top < side; ++top)
    for (int x = 0; x < side; ++x) {
      const uint8_t i = indices[static_cast<size_t>(side - 1 - top) * static_cast<size_t>(side) + static_cast<size_t>(x)];
      for (int c = 0; c < 3; ++c) rgb.push_back(Palette()[3 * static_cast<size_t>(i) + static_cast<size_t>(c)]);
    }
  return rgb;
}

void BM_ColourErrorOfASmoothGradient(benchmark::State& state) {
  PictureFile file = ReadPictureFile(Gradient());
  const Picture& p = file.result.picture;
  const ColorMatcher colors(Palette());
  const std::vector<uint8_t> source = TopFirstRgb(p);
  double nearest = 0, diffusion = 0, ordered = 0;
  for (auto _ : state) {
    nearest = BlurredError(source, Shown(ReduceColors(p, colors, {Transparency::None, {}, ColorMethod::Nearest}), 255), 255);
    diffusion = BlurredError(
        source, Shown(ReduceColors(p, colors, {Transparency::None, {}, ColorMethod::ErrorDiffusion}), 255), 255);
    ordered = BlurredError(
        source, Shown(ReduceColors(p, colors, {Transparency::None, {}, ColorMethod::OrderedDither}), 255), 255);
  }
  state.counters["err_nearest"] = nearest;
  state.counters["err_ordered"] = ordered;
  state.counters["err_diffusion"] = diffusion;
  state.counters["diffusion_over_nearest"] = diffusion / nearest;
  // ImageMagick's result of the same picture onto the same colours.
  if (Spawn({"convert", Gradient(), "-dither", "FloydSteinberg", "-remap", RemapColours(), Temp("im-remap.ppm")})) {
    std::ifstream in(Temp("im-remap.ppm"), std::ios::binary);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    std::vector<uint8_t> im(static_cast<size_t>(3 * w * h));
    in.read(reinterpret_cast<char*>(im.data()), static_cast<std::streamsize>(im.size()));
    if (in && w == 255 && h == 255) {
      const double magick = BlurredError(source, im, 255);
      state.counters["err_imagemagick"] = magick;
      state.counters["diffusion_over_IM"] = diffusion / magick;
    }
  }
}
BENCHMARK(BM_ColourErrorOfASmoothGradient)->Unit(benchmark::kMillisecond)->Iterations(3);

// A changed choice in the "Import picture" window: the picture reduced anew
// and both previews drawn and shown, for the slowest method.
void BM_PreviewUpdateAfterAChangedChoice(benchmark::State& state) {
  platform::HeadlessPlatform hp;
  PictureImport import;
  ReadPictureForImport(import, hp, Gradient());
  ShowImportPictureWindow(hp.dialogs, import);
  const ColorMatcher colors(Palette());
  const ColorMethod methods[] = {ColorMethod::ErrorDiffusion, ColorMethod::OrderedDither};
  int k = 0;
  for (auto _ : state) {
    import.choice.method = methods[k++ & 1];
    UpdatePictureResult(import, colors, 1);
    PaintPicturePreviews(hp.dialogs, import, Palette());
  }
}
BENCHMARK(BM_PreviewUpdateAfterAChangedChoice)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
