#include "screen.h"

#include <cstdio>
#include <string>

#include "palette.h"

namespace qshe::gen {
namespace {

void Panel(Image8& s, int x1, int x2, int y1, int y2) {
  Fill(s, x1, x2, y1, y2, Chrome(6));
  Bevel(s, x1, x2, y1, y2, Chrome(8), Chrome(3));
}

void Well(Image8& s, int x1, int x2, int y1, int y2) {
  Bevel(s, x1, x2, y1, y2, Chrome(3), Chrome(8));
}

void Caption(Image8& s, int x, int y, const char* text) { DrawText(s, x, y, text, kBlack); }

// Slider frame and track exactly as the editor paints them, so restoring
// any part of this area from the screen image matches the live drawing.
void SliderFrame(Image8& s) {
  Fill(s, 16, 171, 213, 252, kSliderFill);
  Fill(s, 23, 165, 242, 246, kTrackFill);
  Box(s, 16, 171, 213, 252, kSliderLine);
  Box(s, 23, 165, 242, 246, kSliderLine);
}

}  // namespace

Image8 MakeScreenImage(const HelperPictures& helpers) {
  Image8 s(kScreenWidth, kScreenHeight, Chrome(5));
  Bevel(s, 0, kScreenWidth - 1, 0, kScreenHeight - 1, Chrome(8), Chrome(2));

  // Title plate with a small scene of the floor tile and the figure.
  Fill(s, 6, 177, 5, 89, kChromeDeep);
  Well(s, 5, 178, 4, 90);
  const char* title = "QSH EDITOR";
  DrawText(s, 92 - TextWidth(title, 2) / 2 + 1, 9, title, kSliderLine, 2);
  DrawText(s, 92 - TextWidth(title, 2) / 2, 8, title, kBadge, 2);
  const char* sub = "QUORVANE SPRITES";
  DrawText(s, 92 - TextWidth(sub) / 2, 26, sub, Chrome(8));
  const Image8& tile = helpers[kFloorTile].image;
  const HelperPicture& fig = helpers[kTavrel];
  // The same placement the positioning windows use, moved into the plate.
  const int sx = 26, sy = -72;
  Blit(s, tile, sx + 68, sy + 160 - tile.height + 1);
  const int figBottom = 65 + std::min(fig.offsetY + fig.image.height, 95);
  Blit(s, fig.image, sx + 66 + fig.offsetX, sy + figBottom - fig.image.height + 1);

  // Tools and view group: the figure tools in the top row.
  Panel(s, 8, 176, 94, 190);
  Caption(s, 15, 98, "TOOLS");
  Caption(s, 22, 168, "VIEW");
  for (int i = 0; i < 4; ++i) Fill(s, 50 + i, 50 + i, 168 + i, 174 - i, kBlack);  // points at the view buttons

  // Shape group: slider frame, then the move buttons hanging below it.
  Panel(s, 8, 176, 196, 278);
  Caption(s, 16, 202, "SHAPES");
  SliderFrame(s);
  Caption(s, 16, 257, "MOVE");
  for (int i = 0; i < 4; ++i) Fill(s, 44 + i, 44 + i, 257 + i, 263 - i, kBlack);

  // Canvas well with both scroll bars; the corner between them is closed.
  Fill(s, 184, 439, 8, 263, kCanvasBack);
  Box(s, 183, 455, 7, 277, kSliderLine);
  Fill(s, 440, 440, 8, 263, kSliderLine);
  Fill(s, 184, 440, 264, 264, kSliderLine);
  Fill(s, 184, 440, 265, 276, kScrollTrack);
  Fill(s, 441, 454, 8, 263, kScrollTrack);
  Fill(s, 441, 454, 264, 276, Chrome(4));
  for (int i = 0; i < 3; ++i) Line(s, 446 + 3 * i, 275, 453, 268 + 3 * i, Chrome(8));
  Well(s, 182, 456, 6, 278);
  Fill(s, 184, 440, 0, 5, Chrome(5));

  // Colour grid: black lines around 8 x 6 colour cells; a cell's 9 x 7
  // place is its colour plus the line to its right and below.
  Fill(s, 461, 605, 7, 119, kBlack);
  for (int r = 0; r < 16; ++r)
    for (int c = 0; c < 16; ++c) {
      const int x = kGridX + kCellW * c, y = kGridY + kCellH * r;
      Fill(s, x, x + 7, y, y + 5, static_cast<uint8_t>(16 * r + c));
    }
  Fill(s, 606, 606, 7, 120, Chrome(2));
  Fill(s, 461, 606, 120, 120, Chrome(2));
  Well(s, 459, 608, 5, 122);

  // Background and pencil-size groups.
  Panel(s, 457, 537, 123, 147);
  Panel(s, 457, 537, 148, 194);

  // Swatch area: the live swatches and number strip go over this plate;
  // L and R say which mouse button paints with which colour.
  Panel(s, 540, 611, 123, 194);
  Fill(s, 558, 596, 136, 186, Chrome(7));
  Well(s, 557, 597, 135, 187);
  Caption(s, 548, 126, "COLOURS");
  DrawText(s, 582, 158, "L", kBlack);
  DrawText(s, 591, 138, "R", kBlack);
  Fill(s, 558, 596, 171, 179, kCanvasBack);

  // Key reminder.
  Panel(s, 457, 611, 197, 279);
  const char* keys[] = {
      "H PENCIL   J ERASER",   "K HAND     B DROPPER", "N SELECT   M BUCKET",
      "L LINE     T RECTANGLE", "O ELLIPSE  S PEN SIZE", "R ZOOM IN  F ZOOM OUT",
      "E CENTRE   D 2ND VIEW", "W BACKGROUND",         "CTRL PICKS A COLOUR",
  };
  for (int i = 0; i < 9; ++i) Caption(s, 463, 201 + 8 * i, keys[i]);
  return s;
}

namespace {

// Lower-left anchored, value 0 transparent: how the editor draws a shape
// whose pixels are stored bottom row first. Here the picture is top-down, so
// its top row lands at y - height + 1.
void PutPicture(Image8& dst, const Image8& pic, int x, int y) { Blit(dst, pic, x, y - pic.height + 1); }

void DrawButtons(Image8& s, const Image8& screen, const HelperPictures& h, const bool pressed[kButtonCount]) {
  for (int i = 0; i < kButtonCount; ++i) {
    const ButtonPlace& p = ButtonPlaces()[static_cast<size_t>(i)];
    const Image8& pic = h[static_cast<size_t>(ButtonSlot(i, pressed[i]))].image;
    for (int y = p.y; y <= p.y + pic.height; ++y)  // restore x..x+w, y..y+h first
      for (int x = p.x; x <= p.x + pic.width; ++x) s.Set(x, y, screen.At(x, y));
    PutPicture(s, pic, p.x, p.y + pic.height);
  }
}

void DrawNumber(Image8& s, const HelperPictures& h, int x, int y, int value) {
  for (char ch : std::to_string(value)) {
    const Image8& d = h[static_cast<size_t>(kFirstDigit + (ch - '0'))].image;
    PutPicture(s, d, x, y);
    x += d.width + 1;
  }
}

}  // namespace

Image8 ComposeMainWindow(const Image8& screen, const HelperPictures& h) {
  Image8 s = screen;
  // Canvas view at zoom 4, centred on the figure.
  const Image8& fig = h[kTavrel].image;
  const int z = 4, n = 256 / z;
  const int ox = (fig.width - n) / 2, oy = (n - fig.height) / 2;  // canvas columns and rows
  Fill(s, 184, 439, 8, 263, kCanvasBack);
  for (int t = 0; t < fig.height; ++t)
    for (int c = 0; c < fig.width; ++c)
      if (const uint8_t v = fig.At(c, t); v != 0)
        Fill(s, 184 + (c - ox) * z, 184 + (c - ox) * z + z - 1, 8 + (t + oy) * z, 8 + (t + oy) * z + z - 1, v);
  Fill(s, 184 + (-ox - 1) * z + z - 1, 184 + (-ox - 1) * z + z - 1, 8, 263, kCanvasFrame);
  Fill(s, 184, 439, 8 + (oy - 1) * z + z - 1, 8 + (oy - 1) * z + z - 1, kCanvasFrame);

  // Scroll bars: track, both arrows, the thumb.
  const Image8& thumb = h[kScrollThumb].image;
  Fill(s, 184, 440, 265, 276, kScrollTrack);
  PutPicture(s, h[kHScrollLeft].image, 184, 265 + 11);
  PutPicture(s, h[kHScrollRight].image, 184 + 256 - 12 + 1, 265 + 11);
  PutPicture(s, thumb, 184 + 12, 265 + 11);  // a centred small shape scrolls to position 0
  Fill(s, 441, 454, 8, 263, kScrollTrack);
  PutPicture(s, h[kVScrollUp].image, 441, 8 + 11);
  PutPicture(s, h[kVScrollDown].image, 441, 8 + 256 - 1);
  PutPicture(s, thumb, 441, 8 + 12 + 11);

  // Colour panel with the game's colour set: the reserved colours greyed.
  const int fore = 34, back = 58;
  for (int i = 1; i < 256; ++i) {
    if ((i >= 10 && i <= 244) || i == fore || i == back) continue;
    const int c = i % 16, r = i / 16;
    Fill(s, 462 + 9 * c, 469 + 9 * c + (c == 15 ? 0 : 1), 8 + 7 * r, 13 + 7 * r + (r == 15 ? 0 : 1), kGreyedCell);
  }
  Box(s, 461 + 9 * (fore % 16), 470 + 9 * (fore % 16), 7 + 7 * (fore / 16), 14 + 7 * (fore / 16), kForeOutline);
  Box(s, 461 + 9 * (back % 16), 470 + 9 * (back % 16), 7 + 7 * (back / 16), 14 + 7 * (back / 16), kBackOutline);
  Box(s, 567, 588, 136, 156, kCanvasBack);
  Box(s, 558, 579, 145, 165, kCanvasBack);
  Box(s, 568, 587, 137, 155, kBlack);
  Fill(s, 569, 586, 138, 154, back);
  Box(s, 559, 578, 146, 164, kBlack);
  Fill(s, 560, 577, 147, 163, fore);
  Fill(s, 558, 596, 171, 179, kCanvasBack);
  Fill(s, 577, 577, 171, 179, kGreyedCell);
  DrawNumber(s, h, 560, 178, fore);
  DrawNumber(s, h, 580, 178, back);

  // Slider and counter: shape 58 of 100.
  const int count = 100, current = 58;
  const int p = static_cast<int>(143.0 / (count - 1) * current);
  SliderFrame(s);
  Fill(s, p + 21, p + 25, 239, 249, kKnobFill);
  Box(s, p + 21, p + 25, 239, 249, kGreyedCell);
  const std::string counter = "SHAPE " + std::to_string(current) + " / " + std::to_string(count - 1);
  DrawText(s, 165 - TextWidth(counter), 224, counter, kBlack);
  // Pencil, the first background and the smallest size are chosen at start.
  bool pressed[kButtonCount] = {};
  pressed[0] = pressed[10] = pressed[13] = true;
  DrawButtons(s, screen, h, pressed);
  return s;
}

}  // namespace qshe::gen
