// The editor's 256-colour palette and the indices the generated art uses.
#pragma once

#include <array>
#include <cstdint>

namespace qshe::gen {

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};
using Palette = std::array<Rgb, 256>;

// Entries 0..9 and 246..255 are the window system's reserved colours; the
// rest is ours.
Palette MakePalette();

// Indices the program itself draws with (their colours are chosen together).
inline constexpr uint8_t kBlack = 0;
inline constexpr uint8_t kWhite = 255;
inline constexpr uint8_t kInk = 10;           // near-black usable inside shapes (0 is transparent)
inline constexpr uint8_t kBadge = 11;
inline constexpr uint8_t kEyes = 50;          // also the third canvas background
inline constexpr uint8_t kForeOutline = 131;
inline constexpr uint8_t kBackOutline = 64;
inline constexpr uint8_t kCanvasFrame = 65;
inline constexpr uint8_t kCheckerDark = 89;
inline constexpr uint8_t kCanvasBack = 95;
inline constexpr uint8_t kCheckerLight = 173;
inline constexpr uint8_t kGreyedCell = 175;
inline constexpr uint8_t kKnobFill = 177;
inline constexpr uint8_t kSliderFill = 178;
inline constexpr uint8_t kScrollTrack = 179;
inline constexpr uint8_t kTrackFill = 180;
inline constexpr uint8_t kSliderLine = 191;
inline constexpr uint8_t kGridLine = 205;

// Window chrome: a slate ramp, dark (0) to light (9), at 181..190.
inline constexpr uint8_t Chrome(int step) { return static_cast<uint8_t>(181 + step); }
inline constexpr uint8_t kChromeDeep = 176;

// Ramps used by the pictures (first index of 8, dark to light).
inline constexpr uint8_t kBoots = 16, kSkin = 24, kCapes = 32, kSkinDark = 40, kMoss = 66,
                         kVests = 72, kBracers = 80, kGreys = 88, kSand = 96, kClay = 104,
                         kUmber = 112, kLeaf = 120, kHair = 128, kMarkings = 136, kSky = 144,
                         kSea = 152, kNeutral = 160, kRose = 192, kFur = 199, kFire = 208,
                         kArcane = 216, kTrousers = 224, kSteel = 232, kGold = 240;

}  // namespace qshe::gen
