// The game's 256 colours and the one rule that turns any RGB colour into one
// of them. Picture imports and the clipboard call the same matcher, so a
// colour lands on the same index whichever way it comes in.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qshe {

// 256 entries of red, green, blue, read back from the logical palette once the
// screen image is loaded. 10..245 are the game's colours.
using GamePalette = std::array<uint8_t, 768>;

inline constexpr int kFirstGameColor = 10;
inline constexpr int kLastGameColor = 245;

// What exported pictures carry in entry 0 instead of the palette's own colour.
inline constexpr uint8_t kExportColor0[3] = {199, 144, 186};

// The rule spelled out: the index of 10..245 with the smallest sum of absolute
// component differences, the highest index on equal sums. Slow; the matcher
// below gives the same answers.
uint8_t FindNearestColorPlain(const GamePalette& palette, uint8_t red, uint8_t green, uint8_t blue);

// The rule made fast. The colour cube is cut into 16 x 16 x 16 cells and each
// cell keeps only the game colours that can be nearest to some colour in it
// (those no farther from the cell than the best colour's farthest corner), so
// a look-up compares a handful of colours instead of 236.
class ColorMatcher {
 public:
  ColorMatcher() : ColorMatcher(GamePalette{}) {}
  explicit ColorMatcher(const GamePalette& palette);

  uint8_t Nearest(uint8_t red, uint8_t green, uint8_t blue) const {
    const unsigned cell = (red >> 4) << 8 | (green >> 4) << 4 | (blue >> 4);
    const Candidate* c = candidates_.data() + cellStart_[cell];
    const Candidate* end = candidates_.data() + cellStart_[cell + 1];
    int best = 1 << 30;
    uint8_t index = kFirstGameColor;
    for (; c != end; ++c) {
      int d = Abs(c->red - red) + Abs(c->green - green) + Abs(c->blue - blue);
      if (d <= best) {  // ascending order: an equal distance goes to the higher index
        best = d;
        index = c->index;
      }
    }
    return index;
  }

  const GamePalette& palette() const { return palette_; }

 private:
  struct Candidate {
    uint8_t red, green, blue, index;
  };
  static int Abs(int v) { return v < 0 ? -v : v; }

  GamePalette palette_;
  std::vector<uint32_t> cellStart_;  // 4097 entries into candidates_
  std::vector<Candidate> candidates_;
};

// The palette the editor shows with the screen image at `path`: its colours
// in 10..245, the display's standard colours around them. Nothing when the
// file is not a PCX picture with a palette.
std::optional<GamePalette> GamePaletteFromPcx(const std::string& path);

inline uint8_t FindNearestColor(const ColorMatcher& matcher, uint8_t red, uint8_t green, uint8_t blue) {
  return matcher.Nearest(red, green, blue);
}

}  // namespace qshe
