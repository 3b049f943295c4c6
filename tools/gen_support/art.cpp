#include "art.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "palette.h"

namespace qshe::gen {

const std::array<ButtonPlace, kButtonCount>& ButtonPlaces() {
  // Tool and view buttons sit 26 apart, so 25 wide leaves a one-pixel gap;
  // the background and size rows are 25 and 22 apart; the move buttons 15.
  static const std::array<ButtonPlace, kButtonCount> places = {{
      {15, 134, 25, 24}, {41, 134, 25, 24}, {67, 134, 25, 24}, {93, 134, 25, 24},
      {119, 134, 25, 24}, {145, 134, 25, 24},                                       // tools
      {67, 159, 25, 24}, {93, 159, 25, 24}, {119, 159, 25, 24}, {145, 159, 25, 24},  // view
      {459, 124, 25, 21}, {485, 124, 25, 21}, {511, 124, 25, 21},                    // backgrounds
      {459, 149, 25, 21}, {485, 149, 25, 21}, {511, 149, 25, 21},
      {459, 171, 25, 21}, {485, 171, 25, 21}, {511, 171, 25, 21},  // pencil sizes
      {143, 252, 14, 16}, {128, 252, 14, 16}, {158, 252, 14, 16}, {113, 252, 14, 16},  // moves
      {15, 108, 25, 24}, {41, 108, 25, 24}, {67, 108, 25, 24},                       // figures
  }};
  return places;
}

namespace {

// Rings every coloured area with ink where it meets transparency, so the
// pictures stay readable on any face colour.
void Outline(Image8& img) {
  Image8 out = img;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      if (img.At(x, y) != 0) continue;
      const int nx[4] = {x - 1, x + 1, x, x};
      const int ny[4] = {y, y, y - 1, y + 1};
      for (int k = 0; k < 4; ++k)
        if (img.Inside(nx[k], ny[k]) && img.At(nx[k], ny[k]) != 0 && img.At(nx[k], ny[k]) != kInk) {
          out.Set(x, y, kInk);
          break;
        }
    }
  img = std::move(out);
}

// Along a diagonal from lower left to upper right: u runs along it, v across.
template <typename F>
void Diagonal(Image8& img, F colourAt) {
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      const int u = x - y, v = x + y - (img.width - 1);
      if (const uint8_t c = colourAt(u, v); c != 0) img.Set(x, y, c);
    }
}

Image8 Pencil() {
  Image8 img(16, 16);
  Diagonal(img, [](int u, int v) -> uint8_t {
    const int a = std::abs(v);
    if (u < -13 || u > 11 || a > 1) return 0;
    if (u <= -12) return a == 0 ? kInk : 0;                              // lead
    if (u <= -8) return a <= (u + 13) / 2 ? (a == 0 && u <= -11 ? kInk : kSand + 6) : 0;  // wood
    if (u <= 5) return v < 0 ? kGold + 4 : (v == 0 ? kGold + 3 : kGold + 1);  // paint
    if (u <= 7) return v < 0 ? kSteel + 6 : kSteel + 3;                  // ferrule
    return v < 0 ? kRose + 5 : kRose + 3;                                 // rubber
  });
  Outline(img);
  return img;
}

Image8 Eraser() {
  Image8 img(16, 16);
  Diagonal(img, [](int u, int v) -> uint8_t {
    if (u < -9 || u > 9 || v < -4 || v > 2) return 0;
    const bool top = v < -2;
    if (u < -1) return top ? kRose + 6 : kRose + 4;
    return top ? kSky + 5 : kSky + 3;
  });
  Outline(img);
  return img;
}

Image8 Hand() {
  Image8 img = FromArt(
      {
          "......kk........",
          "...kk.kwk.kk....",
          "..kwwkkwkkwwk...",
          "..kwwkkwkkwwk...",
          "..kwwkkwkkwwkk..",
          "..kwwkkwkkwwkwk.",
          "..kwwkkwkkwwkwk.",
          "kk.kwwwwwwwwkwk.",
          "kwwkwwwwwwwwwwk.",
          ".kwwwwwwwwwwwwk.",
          ".kwwwwwwwwwwwsk.",
          "..kwwwwwwwwwwk..",
          "...kwwwwwwwwsk..",
          "....kwwwwwwsk...",
          "....kwwwwwwwk...",
          "....kkkkkkkkk...",
      },
      {{'k', kInk}, {'w', static_cast<uint8_t>(kSkin + 6)}, {'s', static_cast<uint8_t>(kSkin + 4)}});
  return img;
}

Image8 Eyedropper() {
  Image8 img(16, 16);
  Diagonal(img, [](int u, int v) -> uint8_t {
    const int a = std::abs(v);
    if (u < -13 || u > 12) return 0;
    if (u <= -10) return a == 0 ? kSky + 3 : 0;                    // drop at the tip
    if (u <= 2) return a <= 1 ? (u <= -4 ? kSky + 3 : kSky + 7) : 0;  // glass with paint
    if (u <= 4) return a <= 2 ? kSteel + 5 : 0;                    // collar
    return a <= 2 ? (v < 0 ? kCapes + 5 : kCapes + 3) : 0;         // bulb
  });
  Outline(img);
  return img;
}

Image8 Select() {
  Image8 img(16, 16);
  // A marching-ants frame with a handle at one corner.
  for (int i = 0; i < 14; ++i) {
    const uint8_t c = (i / 2) % 2 ? kWhite : kInk;
    img.Set(1 + i, 2, c);
    img.Set(1 + i, 13, c);
    if (i < 12) {
      img.Set(1, 2 + i, c);
      img.Set(14, 2 + i, c);
    }
  }
  Fill(img, 12, 15, 11, 14, kInk);
  Fill(img, 13, 14, 12, 13, kWhite);
  return img;
}

Image8 Bucket() {
  return FromArt(
      {
          "....kk..........",
          "...k..k.........",
          "...k...kk.......",
          "...k.kkssk......",
          "...kksssssk.....",
          "..kslsssssskk...",
          ".kslssssssskbk..",
          "kslssssssskbbbk.",
          ".kssssssssdkbbbk",
          "..kssssssdk.kbbk",
          "...kssssdk..kbbk",
          "....kssdk...kbbk",
          ".....kdk.....kk.",
          "......k.........",
      },
      {{'k', kInk}, {'s', static_cast<uint8_t>(kSteel + 5)}, {'l', static_cast<uint8_t>(kSteel + 7)},
       {'d', static_cast<uint8_t>(kSteel + 3)}, {'b', static_cast<uint8_t>(kSky + 4)}});
}

Image8 Magnifier(bool plus) {
  Image8 img(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const int dx = 2 * x - 12, dy = 2 * y - 12;  // centre (6, 6), doubled
      const int d = dx * dx + dy * dy;
      if (d <= 100) img.Set(x, y, d > 64 ? kInk : kSky + 6);
    }
  for (int i = 0; i < 5; ++i) {  // handle
    Fill(img, 10 + i, 11 + i, 10 + i, 11 + i, kUmber + 3);
  }
  Fill(img, 4, 8, 6, 6, kInk);
  if (plus) Fill(img, 6, 6, 4, 8, kInk);
  Outline(img);
  return img;
}

Image8 CentreView() {
  Image8 img(16, 16);
  Box(img, 1, 14, 1, 14, kSteel + 3);
  Fill(img, 2, 13, 2, 13, kSky + 7);
  Fill(img, 7, 8, 2, 13, kInk);
  Fill(img, 2, 13, 7, 8, kInk);
  Fill(img, 5, 10, 5, 10, kCapes + 4);
  Box(img, 5, 10, 5, 10, kInk);
  return img;
}

Image8 SecondView() {
  Image8 img(16, 16);
  // A magnified view behind, the whole canvas in front of it.
  Fill(img, 5, 15, 0, 10, kSky + 5);
  Box(img, 5, 15, 0, 10, kInk);
  for (int y = 1; y < 10; y += 2)
    for (int x = 6; x < 15; x += 2) img.Set(x, y, kSky + 3);
  Fill(img, 0, 9, 6, 15, kSky + 7);
  Box(img, 0, 9, 6, 15, kInk);
  Fill(img, 4, 5, 9, 12, kCapes + 4);
  img.Set(4, 9, kSkin + 5);
  img.Set(5, 9, kSkin + 5);
  return img;
}

// A raised button face, or the same pushed in with the picture one pixel
// down and right.
Image8 Button(int w, int h, const Image8& picture, bool pressed) {
  Image8 img(w, h, pressed ? Chrome(6) : Chrome(8));
  Box(img, 0, w - 1, 0, h - 1, kSliderLine);
  if (pressed) {
    Fill(img, 1, w - 2, 1, 1, Chrome(3));
    Fill(img, 1, 1, 1, h - 2, Chrome(3));
  } else {
    Bevel(img, 1, w - 2, 1, h - 2, Chrome(9), Chrome(5));
  }
  const int shift = pressed ? 1 : 0;
  Blit(img, picture, (w - picture.width) / 2 + shift, (h - picture.height) / 2 + shift);
  return img;
}

Image8 BackgroundSample(int kind) {
  Image8 img(17, 13);
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 17; ++x) {
      uint8_t c = kCanvasBack;
      if (kind == 1) c = ((x / 4 + y / 4) % 2) ? kCheckerDark : kCheckerLight;
      if (kind == 2) c = kEyes;
      img.Set(x, y, c);
    }
  Box(img, 0, 16, 0, 12, kInk);
  return img;
}

// The brush footprint of a pencil size, one canvas pixel drawn as 2 x 2 so
// the smallest sizes stay visible.
Image8 Footprint(int size) {
  static const char* const kRows[6][7] = {
      {"#"},
      {"##", "##"},
      {"####", "####", "####", "####"},
      {"######", "######", "######", "######", "######", "######"},
      {".###.", "#####", "#####", "#####", ".###."},
      {"..###..", ".#####.", "#######", "#######", "#######", ".#####.", "..###.."},
  };
  const int n = size == 0 ? 1 : size == 1 ? 2 : size == 2 ? 4 : size == 3 ? 6 : size == 4 ? 5 : 7;
  Image8 img(2 * n, 2 * n);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x)
      if (kRows[size][y][x] == '#') Fill(img, 2 * x, 2 * x + 1, 2 * y, 2 * y + 1, kInk);
  return img;
}

Image8 MoveArrows(bool forward, bool twice) {
  Image8 img(twice ? 9 : 5, 7);
  auto tri = [&](int x0) {
    for (int i = 0; i < 4; ++i) {  // columns of a triangle 4 wide, 7 high
      const int col = forward ? x0 + i : x0 + 3 - i;
      Fill(img, col, col, i, 6 - i, kInk);
    }
  };
  tri(0);
  if (twice) tri(5);
  return img;
}

Image8 ScrollArrow(int w, int h, int dir, bool pressed) {
  // dir: 0 left, 1 right, 2 up, 3 down
  Image8 arrow(7, 7);
  for (int i = 0; i < 4; ++i) {
    switch (dir) {
      case 0: Fill(arrow, 1 + i, 1 + i, 3 - i, 3 + i, kInk); break;
      case 1: Fill(arrow, 5 - i, 5 - i, 3 - i, 3 + i, kInk); break;
      case 2: Fill(arrow, 3 - i, 3 + i, 1 + i, 1 + i, kInk); break;
      default: Fill(arrow, 3 - i, 3 + i, 5 - i, 5 - i, kInk); break;
    }
  }
  return Button(w, h, arrow, pressed);
}

Image8 Thumb() {
  Image8 img(14, 12, kKnobFill);
  Box(img, 0, 13, 0, 11, kSliderLine);
  Bevel(img, 1, 12, 1, 10, kGold + 5, kGold + 2);
  for (int i = 0; i < 3; ++i) {  // grip: reads the same along either bar
    Fill(img, 4 + 2 * i, 4 + 2 * i, 4, 7, kGold + 1);
  }
  return img;
}

Image8 Digit(int d) {
  static const char* const kDigits[10][7] = {
      {".##.", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."},
      {".#..", "##..", ".#..", ".#..", ".#..", ".#..", "###."},
      {".##.", "#..#", "...#", "..#.", ".#..", "#...", "####"},
      {"###.", "...#", "...#", ".##.", "...#", "...#", "###."},
      {"..#.", ".##.", "#.#.", "#.#.", "####", "..#.", "..#."},
      {"####", "#...", "###.", "...#", "...#", "#..#", ".##."},
      {".##.", "#...", "#...", "###.", "#..#", "#..#", ".##."},
      {"####", "...#", "..#.", "..#.", ".#..", ".#..", ".#.."},
      {".##.", "#..#", "#..#", ".##.", "#..#", "#..#", ".##."},
      {".##.", "#..#", "#..#", ".###", "...#", "...#", ".##."},
  };
  Image8 img(4, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 4; ++x)
      if (kDigits[d][y][x] == '#') img.Set(x, y, kInk);
  return img;
}

// A 64 x 32 isometric flagstone.
Image8 FloorTile() {
  Image8 img(64, 32);
  uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  for (int y = 0; y < 32; ++y) {
    const int dy = y < 16 ? y : 31 - y;
    const int x1 = 31 - 2 * dy, x2 = 32 + 2 * dy;
    for (int x = x1; x <= x2; ++x) {
      uint8_t c = kUmber + 5;
      if ((next() % 11) == 0) c = kUmber + 4;
      if ((next() % 17) == 0) c = kUmber + 6;
      // Two seams split the stone into four flags.
      if (std::abs((x - 32) - 2 * (y - 16)) <= 1) c = kUmber + 3;
      if (std::abs((x - 32) + 2 * (y - 16)) <= 1) c = kUmber + 3;
      if (x == x1 || x == x2) c = y < 16 ? kUmber + 7 : kUmber + 2;
      img.Set(x, y, c);
    }
  }
  return img;
}

// The player figure, dressed in the game's body-part colour sets.
Image8 Tavrel() {
  // Drawn on a 17-column plan, shifted so the outline touches every edge.
  Image8 img(13, 40);
  auto rect = [&](int x1, int x2, int y1, int y2, uint8_t c) { Fill(img, x1 - 2, x2 - 2, y1 + 1, y2 + 1, c); };
  rect(3, 13, 9, 30, kCapes + 2);    // cape behind
  rect(3, 3, 9, 30, kCapes + 4);
  rect(6, 7, 25, 33, kTrousers + 4);  // legs
  rect(9, 10, 25, 33, kTrousers + 3);
  rect(5, 7, 34, 37, kBoots + 3);     // boots
  rect(9, 11, 34, 37, kBoots + 2);
  rect(5, 7, 34, 34, kBoots + 5);
  rect(9, 11, 34, 34, kBoots + 4);
  rect(5, 11, 10, 20, kVests + 4);    // body
  rect(10, 11, 10, 20, kVests + 3);
  rect(7, 9, 10, 11, kSkin + 5);      // collar opening
  rect(5, 11, 21, 21, kUmber + 2);    // belt
  rect(8, 8, 21, 21, kGold + 4);
  rect(5, 11, 22, 24, kTrousers + 4);
  rect(3, 4, 10, 15, kVests + 5);     // sleeves
  rect(12, 13, 10, 15, kVests + 3);
  rect(3, 4, 16, 19, kBracers + 4);   // bracers
  rect(12, 13, 16, 19, kBracers + 3);
  rect(3, 4, 20, 21, kSkin + 5);      // hands
  rect(12, 13, 20, 21, kSkin + 4);
  rect(6, 10, 2, 7, kSkin + 5);       // head
  rect(10, 10, 3, 7, kSkin + 4);
  rect(8, 8, 8, 9, kSkin + 4);        // neck
  rect(5, 11, 0, 1, kHair + 4);       // hair
  rect(5, 5, 2, 5, kHair + 3);
  rect(11, 11, 2, 5, kHair + 2);
  rect(6, 10, 2, 2, kHair + 3);
  rect(6, 8, 0, 0, kHair + 6);
  rect(7, 7, 4, 4, kEyes);            // eyes
  rect(9, 9, 4, 4, kEyes);
  rect(8, 8, 6, 6, kSkin + 3);
  rect(7, 7, 13, 13, kBadge);         // badge
  rect(10, 10, 12, 16, kMarkings + 5);  // a marking across the vest
  rect(9, 9, 17, 18, kMarkings + 5);
  Outline(img);
  return img;
}

// A line between two round ends, lower left to upper right.
Image8 LineIcon() {
  Image8 img(16, 16);
  Line(img, 3, 12, 12, 3, kInk);
  Line(img, 4, 12, 12, 4, kInk);
  for (auto [x, y] : {std::pair{1, 12}, {12, 1}}) {
    Fill(img, x, x + 2, y, y + 2, kSky + 4);
    Box(img, x, x + 2, y, y + 2, kInk);
  }
  return img;
}

// Outlined: the frame alone, so the button's face shows through it.
Image8 RectangleIcon(bool filled) {
  Image8 img(16, 16);
  if (filled) Fill(img, 1, 14, 3, 12, kSky + 4);
  Box(img, 1, 14, 3, 12, kInk);
  Box(img, 2, 13, 4, 11, kInk);
  if (filled) Fill(img, 4, 11, 6, 9, kSky + 6);
  return img;
}

Image8 EllipseIcon(bool filled) {
  Image8 img(16, 16);
  // 14 x 12 ellipse, centre (7.5, 7.5), in doubled coordinates.
  auto inside = [](int x, int y, int rx, int ry) {
    const int dx = 2 * x - 15, dy = 2 * y - 15;
    return dx * dx * ry * ry + dy * dy * rx * rx <= rx * rx * ry * ry;
  };
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      if (!inside(x, y, 14, 11)) continue;
      const bool ring = !inside(x, y, 10, 7);
      if (ring) {
        img.Set(x, y, kInk);
      } else if (filled) {
        img.Set(x, y, inside(x + 1, y + 1, 10, 7) && !inside(x + 1, y + 1, 6, 4) ? kSky + 4 : kSky + 6);
      }
    }
  return img;
}

}  // namespace

Image8 FigureIcon(int figure, bool filled) {
  switch (figure) {
    case 0: return LineIcon();
    case 1: return RectangleIcon(filled);
    default: return EllipseIcon(filled);
  }
}

Image8 ToolIcon(int tool) {
  switch (tool) {
    case 0: return Pencil();
    case 1: return Eraser();
    case 2: return Hand();
    case 3: return Eyedropper();
    case 4: return Select();
    default: return Bucket();
  }
}

HelperPictures MakeHelperPictures() {
  HelperPictures slots;
  const auto& places = ButtonPlaces();
  auto button = [&](int i, const Image8& picture) {
    const ButtonPlace& p = places[static_cast<size_t>(i)];
    slots[static_cast<size_t>(2 * i)].image = Button(p.maxW, p.maxH, picture, false);
    slots[static_cast<size_t>(2 * i + 1)].image = Button(p.maxW, p.maxH, picture, true);
  };
  for (int t = 0; t < 6; ++t) button(t, ToolIcon(t));
  for (int f = 0; f < 3; ++f) {
    const ButtonPlace& p = places[static_cast<size_t>(kFirstFigureButton + f)];
    for (bool pressed : {false, true}) {
      slots[static_cast<size_t>(ButtonSlot(kFirstFigureButton + f, pressed))].image =
          Button(p.maxW, p.maxH, FigureIcon(f, false), pressed);
      if (f > 0) {
        slots[static_cast<size_t>(kFilledFigureButtonSlot + 2 * (f - 1) + (pressed ? 1 : 0))].image =
            Button(p.maxW, p.maxH, FigureIcon(f, true), pressed);
      }
    }
  }
  button(6, CentreView());
  button(7, SecondView());
  button(8, Magnifier(true));
  button(9, Magnifier(false));
  for (int k = 0; k < 3; ++k) button(10 + k, BackgroundSample(k));
  for (int s = 0; s < 6; ++s) button(13 + s, Footprint(s));
  // Move buttons: 19 next, 20 previous, 21 forward 8, 22 backward 8.
  const bool forward[4] = {true, false, true, false};
  const bool twice[4] = {false, false, true, true};
  for (int k = 0; k < 4; ++k) {
    const ButtonPlace& p = places[static_cast<size_t>(19 + k)];
    const Image8 arrows = MoveArrows(forward[k], twice[k]);
    slots[static_cast<size_t>(2 * (19 + k))].image = Button(p.maxW, 12, arrows, false);
    slots[static_cast<size_t>(2 * (19 + k) + 1)].image = Button(p.maxW, 12, arrows, true);
  }
  slots[kHScrollLeft].image = ScrollArrow(12, 12, 0, false);
  slots[kHScrollLeft + 1].image = ScrollArrow(12, 12, 0, true);
  slots[kHScrollRight].image = ScrollArrow(12, 12, 1, false);
  slots[kHScrollRight + 1].image = ScrollArrow(12, 12, 1, true);
  slots[kVScrollUp].image = ScrollArrow(14, 12, 2, false);
  slots[kVScrollUp + 1].image = ScrollArrow(14, 12, 2, true);
  slots[kVScrollDown].image = ScrollArrow(14, 12, 3, false);
  slots[kVScrollDown + 1].image = ScrollArrow(14, 12, 3, true);
  slots[kScrollThumb].image = Thumb();
  slots[kFloorTile].image = FloorTile();
  HelperPicture& figure = slots[kTavrel];
  figure.image = Tavrel();
  // Stand the feet a little below the tile's centre in the preview windows:
  // the tile's centre is at (100, 144) there, and a figure's bottom row lands
  // on row 65 + offsetY + height.
  figure.offsetX = 34 - figure.image.width / 2;
  figure.offsetY = 82 - figure.image.height;
  for (int d = 0; d < 10; ++d) slots[static_cast<size_t>(kFirstDigit + d)].image = Digit(d);
  return slots;
}

}  // namespace qshe::gen
