#include "interchange/color_reduction.h"

#include <cstring>

namespace qshe {

void ReduceWith(ColorMethod method, const ColorSource& source, const ColorMatcher& colors, uint8_t* out) {
  switch (method) {
    case ColorMethod::OrderedDither: ReduceOrdered(source, colors, out); return;
    case ColorMethod::ErrorDiffusion: ReduceDiffusion(source, colors, out); return;
    case ColorMethod::Nearest:
    default: ReduceNearest(source, colors, out); return;
  }
}

std::vector<uint8_t> PictureRgba(const Picture& picture) {
  const size_t count = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
  if (!picture.indexed) return std::vector<uint8_t>(picture.pixels.begin(), picture.pixels.begin() + 4 * count);
  std::vector<uint8_t> rgba(4 * count);
  for (size_t i = 0; i < count; ++i) {
    std::memcpy(&rgba[4 * i], picture.palette.data() + 3 * picture.pixels[i], 3);
    rgba[4 * i + 3] = 255;
  }
  return rgba;
}

std::vector<uint8_t> TransparentPixels(const Picture& picture, const ColorChoice& choice) {
  const size_t count = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
  std::vector<uint8_t> mask(count, 0);
  if (count == 0 || choice.transparency == Transparency::None) return mask;
  const uint8_t* px = picture.pixels.data();
  if (choice.transparency == Transparency::ThisColor) {
    const uint8_t key[3] = {choice.color.red, choice.color.green, choice.color.blue};
    if (picture.indexed) {
      // By the colour each entry shows, whichever entries share it.
      uint8_t keyed[256];
      for (int k = 0; k < 256; ++k) keyed[k] = std::memcmp(picture.palette.data() + 3 * k, key, 3) == 0;
      for (size_t i = 0; i < count; ++i) mask[i] = keyed[px[i]];
    } else {
      for (size_t i = 0; i < count; ++i) mask[i] = std::memcmp(px + 4 * i, key, 3) == 0;
    }
    return mask;
  }
  if (picture.indexed) {
    for (size_t i = 0; i < count; ++i) mask[i] = px[i] == 0;
  } else if (picture.alphaUsed) {
    for (size_t i = 0; i < count; ++i) mask[i] = px[4 * i + 3] == 0;
  } else {
    const uint8_t* key = px + 4 * (static_cast<size_t>(picture.width) - 1);  // bottom-right
    const uint8_t keyRgb[3] = {key[0], key[1], key[2]};
    for (size_t i = 0; i < count; ++i) mask[i] = std::memcmp(px + 4 * i, keyRgb, 3) == 0;
  }
  return mask;
}

std::vector<uint8_t> ReduceColors(const Picture& picture, const ColorMatcher& colors, const ColorChoice& choice) {
  const size_t count = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
  std::vector<uint8_t> out(count);
  if (count == 0) return out;
  const std::vector<uint8_t> mask = TransparentPixels(picture, choice);
  if (picture.indexed && choice.method == ColorMethod::Nearest) {
    // Each entry matched once.
    uint8_t remap[256];
    for (int k = 0; k < 256; ++k) {
      const uint8_t* c = picture.palette.data() + 3 * k;
      remap[k] = colors.Nearest(c[0], c[1], c[2]);
    }
    for (size_t i = 0; i < count; ++i) out[i] = mask[i] ? 0 : remap[picture.pixels[i]];
    return out;
  }
  std::vector<uint8_t> expanded;
  const uint8_t* rgba = picture.pixels.data();
  if (picture.indexed) {
    expanded = PictureRgba(picture);
    rgba = expanded.data();
  }
  ReduceWith(choice.method, {picture.width, picture.height, rgba, mask.data()}, colors, out.data());
  return out;
}

std::string AutomaticRuleText(const Picture& picture) {
  if (picture.indexed) return "colour-table entry 0 is transparent";
  if (picture.alphaUsed) return "pixels of alpha 0 are transparent";
  if (picture.width <= 0 || picture.height <= 0) return {};
  const uint8_t* key = picture.pixels.data() + 4 * (static_cast<size_t>(picture.width) - 1);
  return "the bottom-right pixel's colour " + HexColor({key[0], key[1], key[2]}) + " is transparent";
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<platform::Rgb> ParseHexColor(std::string_view text) {
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  uint8_t v[3];
  for (int k = 0; k < 3; ++k) {
    const int hi = HexDigit(text[static_cast<size_t>(1 + 2 * k)]);
    const int lo = HexDigit(text[static_cast<size_t>(2 + 2 * k)]);
    if (hi < 0 || lo < 0) return std::nullopt;
    v[k] = static_cast<uint8_t>(hi * 16 + lo);
  }
  return platform::Rgb{v[0], v[1], v[2]};
}

std::string HexColor(platform::Rgb color) {
  static const char digits[] = "0123456789abcdef";
  std::string s = "#";
  for (uint8_t v : {color.red, color.green, color.blue}) {
    s += digits[v >> 4];
    s += digits[v & 15];
  }
  return s;
}

bool ParseTransparencyWord(std::string_view word, ColorChoice& choice) {
  if (word == "auto") {
    choice.transparency = Transparency::Automatic;
  } else if (word == "none") {
    choice.transparency = Transparency::None;
  } else if (auto color = ParseHexColor(word)) {
    choice.transparency = Transparency::ThisColor;
    choice.color = *color;
  } else {
    return false;
  }
  return true;
}

std::string TransparencyWord(const ColorChoice& choice) {
  switch (choice.transparency) {
    case Transparency::None: return "none";
    case Transparency::ThisColor: return HexColor(choice.color);
    case Transparency::Automatic:
    default: return "auto";
  }
}

std::optional<ColorMethod> ParseDitherWord(std::string_view word) {
  if (word == "none") return ColorMethod::Nearest;
  if (word == "ordered") return ColorMethod::OrderedDither;
  if (word == "diffusion") return ColorMethod::ErrorDiffusion;
  return std::nullopt;
}

const char* DitherWord(ColorMethod method) {
  switch (method) {
    case ColorMethod::OrderedDither: return "ordered";
    case ColorMethod::ErrorDiffusion: return "diffusion";
    case ColorMethod::Nearest:
    default: return "none";
  }
}

}  // namespace qshe
