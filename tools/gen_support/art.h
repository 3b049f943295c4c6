// The pictures of the helper shape file: toolbar buttons, scroll-bar parts,
// digits, the floor tile and the Tavrel figure.
#pragma once

#include <array>
#include <cstdint>

#include "canvas8.h"

namespace qshe::gen {

struct HelperPicture {
  Image8 image;  // top row first; empty when the slot has no picture
  int offsetX = 0;
  int offsetY = 0;
};
inline constexpr int kHelperSlots = 100;
using HelperPictures = std::array<HelperPicture, kHelperSlots>;

// Slot numbers the editor reads.
inline constexpr int kFirstButtonSlot = 0;  // button i < 23: 2i up, 2i + 1 pressed
inline constexpr int kButtonCount = 26;
// Buttons 23..25 (line, rectangle, ellipse) keep their pictures after the
// digits: up and pressed for each from slot 70, then the filled rectangle's
// and the filled ellipse's from slot 76.
inline constexpr int kFirstFigureButton = 23;
inline constexpr int kFigureButtonSlot = 70;
inline constexpr int kFilledFigureButtonSlot = 76;
// The slot of a button's picture (the outlined form for the figures).
inline constexpr int ButtonSlot(int button, bool pressed) {
  return (button < kFirstFigureButton ? 2 * button : kFigureButtonSlot + 2 * (button - kFirstFigureButton)) +
         (pressed ? 1 : 0);
}
inline constexpr int kHScrollLeft = 46, kHScrollRight = 48, kVScrollUp = 50, kVScrollDown = 52;
inline constexpr int kScrollThumb = 54;
inline constexpr int kFloorTile = 56;
inline constexpr int kTavrel = 58;
inline constexpr int kFirstDigit = 60;

// The button groups and the largest picture each place takes.
struct ButtonPlace {
  int x, y;           // top-left corner of the button's place on the screen
  int maxW, maxH;
};
const std::array<ButtonPlace, kButtonCount>& ButtonPlaces();

HelperPictures MakeHelperPictures();

// 16 x 16 tool pictures (pencil, eraser, hand, eyedropper, select, bucket),
// shared by the buttons and the mouse cursors.
Image8 ToolIcon(int tool);
// 16 x 16 pictures of the line (0), rectangle (1) and ellipse (2) buttons.
Image8 FigureIcon(int figure, bool filled);

}  // namespace qshe::gen
