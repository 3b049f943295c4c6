// Turning a picture's colours into game colours: which pixels become
// transparent, and how the others are matched, each to its nearest game
// colour or dithered so that an area keeps its mean colour. Every method
// gives only the game colours 10..245, gives 0 only where the transparency
// choice says so, and counts in integers, so a picture and its choices come
// out the same on every run and machine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display/game_palette.h"
#include "interchange/picture.h"
#include "platform/surface.h"

namespace qshe {

// Positions in the windows' lists.
enum class Transparency : int {
  Automatic = 0,  // colour-table index 0, else alpha 0, else the bottom-right pixel's colour
  None = 1,       // no pixel becomes transparent
  ThisColor = 2,  // every pixel of exactly one colour
};
enum class ColorMethod : int { Nearest = 0, OrderedDither = 1, ErrorDiffusion = 2 };

struct ColorChoice {
  Transparency transparency = Transparency::Automatic;
  platform::Rgb color{};  // the colour ThisColor makes transparent
  ColorMethod method = ColorMethod::Nearest;
  friend bool operator==(const ColorChoice&, const ColorChoice&) = default;
};

// What the methods work on: four bytes a pixel (red, green, blue and a byte
// they do not look at), rows bottom first, and per pixel whether it becomes
// transparent (0).
struct ColorSource {
  int32_t width = 0;
  int32_t height = 0;
  const uint8_t* rgba = nullptr;
  const uint8_t* transparent = nullptr;  // non-zero: becomes 0; null: none does
};

// One method each; `out` takes width x height indices. Dither patterns are
// laid from the picture's top-left pixel.
void ReduceNearest(const ColorSource& source, const ColorMatcher& colors, uint8_t* out);
void ReduceOrdered(const ColorSource& source, const ColorMatcher& colors, uint8_t* out);
void ReduceDiffusion(const ColorSource& source, const ColorMatcher& colors, uint8_t* out);
void ReduceWith(ColorMethod method, const ColorSource& source, const ColorMatcher& colors, uint8_t* out);

// The picture's pixels as red, green, blue, alpha; a palettised picture's
// as the colours of their entries.
std::vector<uint8_t> PictureRgba(const Picture& picture);
// 1 for every pixel the choice makes transparent, else 0.
std::vector<uint8_t> TransparentPixels(const Picture& picture, const ColorChoice& choice);
// Game-palette indices, width x height, rows bottom first.
std::vector<uint8_t> ReduceColors(const Picture& picture, const ColorMatcher& colors, const ColorChoice& choice);

// Which rule "Automatic" follows for this picture, in the user's words.
std::string AutomaticRuleText(const Picture& picture);

// "#rrggbb", either case; nothing for anything else.
std::optional<platform::Rgb> ParseHexColor(std::string_view text);
std::string HexColor(platform::Rgb color);

// The words the command line and the settings use: "auto", "none" or
// "#rrggbb"; and "none", "ordered" or "diffusion".
bool ParseTransparencyWord(std::string_view word, ColorChoice& choice);
std::string TransparencyWord(const ColorChoice& choice);
std::optional<ColorMethod> ParseDitherWord(std::string_view word);
const char* DitherWord(ColorMethod method);

}  // namespace qshe
