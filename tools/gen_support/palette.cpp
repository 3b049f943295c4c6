#include "palette.h"

#include <cstddef>
#include <initializer_list>

namespace qshe::gen {
namespace {

struct Stop {
  int at;  // step within the ramp
  Rgb c;
};

// Fills `count` entries from `first`, interpolating linearly between stops
// in integers so the result is the same everywhere.
void Ramp(Palette& p, int first, int count, std::initializer_list<Stop> stops) {
  const Stop* s = stops.begin();
  const Stop* last = stops.end() - 1;
  for (int i = 0; i < count; ++i) {
    while (s + 1 < last && i > (s + 1)->at) ++s;
    const Stop& a = *s;
    const Stop& b = (s == last) ? *s : *(s + 1);
    const int span = b.at - a.at;
    auto mix = [&](uint8_t u, uint8_t v) {
      if (span == 0) return u;
      return static_cast<uint8_t>((u * (span - (i - a.at)) + v * (i - a.at) + span / 2) / span);
    };
    p[static_cast<size_t>(first + i)] = {mix(a.c.r, b.c.r), mix(a.c.g, b.c.g), mix(a.c.b, b.c.b)};
  }
}

// Fully saturated-ish colour on a 360-degree wheel, integer arithmetic.
Rgb Hue(int degrees, int value, int minimum) {
  const int h = ((degrees % 360) + 360) % 360;
  const int sector = h / 60, f = h % 60;
  const int rise = minimum + (value - minimum) * f / 60;
  const int fall = value - (value - minimum) * f / 60;
  auto u = [](int v) { return static_cast<uint8_t>(v); };
  switch (sector) {
    case 0: return {u(value), u(rise), u(minimum)};
    case 1: return {u(fall), u(value), u(minimum)};
    case 2: return {u(minimum), u(value), u(rise)};
    case 3: return {u(minimum), u(fall), u(value)};
    case 4: return {u(rise), u(minimum), u(value)};
    default: return {u(value), u(minimum), u(fall)};
  }
}

}  // namespace

Palette MakePalette() {
  Palette p{};
  // The reserved colours of a 256-colour display.
  const Rgb reserved[20] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                            {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                            {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
                            {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                            {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  for (int i = 0; i < 10; ++i) p[static_cast<size_t>(i)] = reserved[i];
  for (int i = 0; i < 10; ++i) p[static_cast<size_t>(246 + i)] = reserved[10 + i];

  // Row 0: ink and bright accents.
  p[10] = {22, 18, 26};    // ink
  p[11] = {255, 204, 36};  // badge gold
  p[12] = {230, 46, 38};
  p[13] = {60, 150, 255};
  p[14] = {118, 218, 62};
  p[15] = {250, 244, 228};

  Ramp(p, kBoots, 8, {{0, {32, 19, 12}}, {4, {124, 78, 44}}, {7, {226, 190, 146}}});
  Ramp(p, kSkin, 8, {{0, {82, 44, 32}}, {4, {204, 140, 104}}, {7, {255, 230, 210}}});
  Ramp(p, kCapes, 8, {{0, {44, 6, 16}}, {4, {186, 28, 50}}, {7, {255, 178, 178}}});
  Ramp(p, kSkinDark, 8, {{0, {30, 17, 15}}, {4, {122, 72, 54}}, {7, {218, 170, 140}}});

  // Row 3: a wheel of vivid gem colours; 50 lands on a bright turquoise.
  for (int i = 0; i < 16; ++i) p[static_cast<size_t>(48 + i)] = Hue(140 + i * 45 / 2, 238, 52);
  p[kEyes] = {32, 196, 212};

  p[kBackOutline] = {255, 70, 214};  // hot magenta, unlike any cell
  p[kCanvasFrame] = {54, 40, 150};   // deep indigo, dark on every background
  Ramp(p, kMoss, 6, {{0, {40, 46, 20}}, {3, {104, 118, 46}}, {5, {200, 210, 124}}});
  Ramp(p, kVests, 8, {{0, {10, 38, 18}}, {4, {44, 128, 60}}, {7, {172, 232, 162}}});

  Ramp(p, kBracers, 8, {{0, {14, 34, 46}}, {4, {62, 124, 146}}, {7, {192, 234, 242}}});
  Ramp(p, kGreys, 8, {{0, {98, 96, 92}}, {7, {228, 224, 216}}});  // 89 dark square, 95 canvas

  Ramp(p, kSand, 8, {{0, {62, 46, 20}}, {4, {176, 140, 76}}, {7, {248, 230, 176}}});
  Ramp(p, kClay, 8, {{0, {52, 20, 12}}, {4, {176, 84, 50}}, {7, {252, 194, 156}}});
  Ramp(p, kUmber, 8, {{0, {22, 15, 10}}, {4, {88, 64, 46}}, {7, {184, 154, 120}}});
  Ramp(p, kLeaf, 8, {{0, {24, 40, 8}}, {4, {112, 154, 32}}, {7, {222, 242, 144}}});

  Ramp(p, kHair, 8, {{0, {54, 30, 12}}, {3, {200, 142, 34}}, {5, {240, 206, 110}}, {7, {252, 242, 208}}});
  Ramp(p, kMarkings, 8, {{0, {32, 10, 42}}, {4, {124, 52, 166}}, {7, {236, 192, 252}}});
  Ramp(p, kSky, 8, {{0, {18, 38, 82}}, {4, {72, 142, 222}}, {7, {212, 236, 255}}});
  Ramp(p, kSea, 8, {{0, {6, 32, 30}}, {4, {30, 132, 118}}, {7, {172, 242, 222}}});

  // Row 10: sixteen neutral greys; 173 is the light checker square and 175
  // the grey laid over colours that cannot be picked.
  Ramp(p, kNeutral, 16, {{0, {8, 8, 8}}, {15, {200, 200, 200}}});

  // Row 11: the slider and the window chrome.
  p[kChromeDeep] = {20, 24, 34};
  p[kKnobFill] = {238, 196, 88};
  p[kSliderFill] = {160, 170, 190};
  p[kScrollTrack] = {104, 114, 138};
  p[kTrackFill] = {62, 70, 90};
  Ramp(p, Chrome(0), 10, {{0, {32, 36, 48}}, {5, {122, 132, 154}}, {9, {226, 232, 242}}});
  p[kSliderLine] = {16, 18, 28};

  Ramp(p, kRose, 7, {{0, {42, 20, 30}}, {3, {142, 80, 102}}, {6, {238, 198, 210}}});
  Ramp(p, kFur, 8, {{0, {42, 14, 6}}, {3, {168, 62, 20}}, {6, {244, 136, 44}}, {7, {254, 206, 150}}});
  p[207] = {236, 226, 200};  // bone

  Ramp(p, kFire, 8, {{0, {42, 8, 4}}, {2, {184, 32, 10}}, {4, {250, 122, 20}}, {6, {255, 230, 110}}, {7, {255, 252, 224}}});
  Ramp(p, kArcane, 8, {{0, {42, 8, 34}}, {4, {184, 50, 144}}, {7, {255, 202, 242}}});
  Ramp(p, kTrousers, 8, {{0, {16, 12, 46}}, {4, {72, 62, 164}}, {7, {198, 192, 246}}});
  Ramp(p, kSteel, 8, {{0, {28, 30, 36}}, {4, {122, 128, 140}}, {7, {238, 242, 248}}});
  Ramp(p, kGold, 6, {{0, {62, 42, 8}}, {3, {186, 146, 42}}, {5, {255, 238, 152}}});
  return p;
}

}  // namespace qshe::gen
