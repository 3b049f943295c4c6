#include "support_files.h"

#include <vector>

#include "art.h"
#include "encoders.h"

namespace qshe::gen {
namespace {

struct Rgba {
  int width, height;
  std::vector<uint8_t> bytes;
};

// Paints a palettised picture into an RGBA image at (x, y), then rings
// every opaque pixel with white so the cursor shows on dark and light
// pictures alike.
Rgba CursorImage(const Image8& pic, const Palette& pal, int x, int y) {
  Rgba out{32, 32, std::vector<uint8_t>(32 * 32 * 4, 0)};
  auto px = [&](int cx, int cy) { return &out.bytes[static_cast<size_t>((cy * 32 + cx) * 4)]; };
  for (int py = 0; py < pic.height; ++py)
    for (int pxl = 0; pxl < pic.width; ++pxl)
      if (const uint8_t c = pic.At(pxl, py); c != 0) {
        uint8_t* p = px(x + pxl, y + py);
        p[0] = pal[c].r, p[1] = pal[c].g, p[2] = pal[c].b, p[3] = 255;
      }
  std::vector<uint8_t> halo(32 * 32, 0);
  for (int cy = 0; cy < 32; ++cy)
    for (int cx = 0; cx < 32; ++cx) {
      if (px(cx, cy)[3] != 0) continue;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = cx + dx, ny = cy + dy;
          if ((dx == 0 || dy == 0) && nx >= 0 && ny >= 0 && nx < 32 && ny < 32 && px(nx, ny)[3] == 255)
            halo[static_cast<size_t>(cy * 32 + cx)] = 1;
        }
    }
  for (int i = 0; i < 32 * 32; ++i)
    if (halo[static_cast<size_t>(i)]) {
      uint8_t* p = &out.bytes[static_cast<size_t>(i * 4)];
      p[0] = p[1] = p[2] = p[3] = 255;
    }
  return out;
}

// The select cursor is a crosshair rather than the button's frame picture:
// it has to mark one pixel exactly.
Image8 Crosshair() {
  Image8 img(15, 15);
  Fill(img, 7, 7, 0, 5, kInk);
  Fill(img, 7, 7, 9, 14, kInk);
  Fill(img, 0, 5, 7, 7, kInk);
  Fill(img, 9, 14, 7, 7, kInk);
  img.Set(7, 7, kInk);
  return img;
}

}  // namespace

std::vector<CursorInfo> CursorList() {
  // Hot spots in the 32 x 32 image; the 16 x 16 pictures sit at (1, 1).
  return {
      {"cursor-pencil.png", 0, 2, 15},     {"cursor-eraser.png", 1, 4, 13},
      {"cursor-hand.png", 2, 8, 10},       {"cursor-eyedropper.png", 3, 2, 15},
      {"cursor-select.png", 4, 8, 8},      {"cursor-bucket.png", 5, 15, 13},
  };
}

std::vector<uint8_t> EncodeCursor(const CursorInfo& info, const Palette& pal) {
  const Rgba img = info.tool == 4 ? CursorImage(Crosshair(), pal, 1, 1) : CursorImage(ToolIcon(info.tool), pal, 1, 1);
  return EncodePngRgba(img.width, img.height, img.bytes,
                       {{"HotSpotX", std::to_string(info.hotX)}, {"HotSpotY", std::to_string(info.hotY)}});
}

std::vector<uint8_t> EncodeIcon(const Palette& pal, int scale) {
  // A slate tile with a corner of the colour grid and the pencil over it.
  Image8 icon(32, 32);
  Fill(icon, 1, 30, 1, 30, Chrome(2));
  Box(icon, 0, 31, 1, 30, Chrome(0));
  Box(icon, 1, 30, 0, 31, Chrome(0));
  Bevel(icon, 1, 30, 1, 30, Chrome(4), Chrome(1));
  const uint8_t cells[4][4] = {{kCapes + 4, kFur + 5, kHair + 4, kLeaf + 4},
                               {kVests + 4, kBracers + 4, kSky + 4, kTrousers + 4},
                               {kMarkings + 4, kArcane + 4, kSkin + 4, kBoots + 4},
                               {kSea + 4, kSand + 4, kClay + 4, kGold + 4}};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) Fill(icon, 4 + 6 * c, 8 + 6 * c, 4 + 6 * r, 8 + 6 * r, cells[r][c]);
  Blit(icon, ToolIcon(0), 14, 14);
  // The larger sizes repeat every pixel as a block: pixel art stays crisp.
  const int side = 32 * scale;
  std::vector<uint8_t> rgba(static_cast<size_t>(side * side * 4), 0);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      if (const uint8_t c = icon.At(x / scale, y / scale); c != 0) {
        uint8_t* p = &rgba[static_cast<size_t>((y * side + x) * 4)];
        p[0] = pal[c].r, p[1] = pal[c].g, p[2] = pal[c].b, p[3] = 255;
      }
  return EncodePngRgba(side, side, rgba);
}

}  // namespace qshe::gen
