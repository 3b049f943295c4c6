// The two positioning previews and their settings: where the current shape
// lands in the game, drawn over the floor tile (and, in the second window,
// beside the Tavrel figure), and the drags that move the shape or the figure.
// Each preview has its own 200 x 200 buffer and its own palette.
#pragma once

#include <cstdint>
#include <span>

#include "display/virtual_buffer.h"
#include "document/document.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "properties/positioning_dialogs.h"

namespace qshe {

// Helper-shape slots the previews draw.
inline constexpr int kFloorTileSlot = 56;
inline constexpr int kFigureSlot = 58;
// The floor tile's lower-left corner.
inline constexpr int kFloorTileX = 68;
inline constexpr int kFloorLine = 160;
// A shape's top-left pixel lies at this point plus its offsets ...
inline constexpr int kPreviewOriginX = 66;
inline constexpr int kPreviewOriginY = 66;
// ... unless that would take its bottom row below the floor line: offsetY +
// height never counts for more than this.
inline constexpr int kFloorDepth = kFloorLine - kPreviewOriginY + 1;
// Offsets and Tavrel positions a drag can give.
inline constexpr int kPositionLimit = 127;

struct PositionWindow {
  int dialog = 0;
  int buffer = -1;  // the window's VirtualBuffer, made at start-up
  PaletteId palette = 0;
  int32_t dragging = -1;  // 1 while the left button is held after a press here
  uint32_t drags = 0;     // drags begun here, so one can be told from the next
  int lastX = -1;
  int lastY = -1;
};

struct PositioningWindows {
  PositionWindow shape{kShapePositionDialog};
  PositionWindow tavrel{kTavrelPositionDialog};
};

// What a preview shows: the helper shapes (floor tile, figure), the backdrop
// from the settings, the current shape and the canvas view's background.
struct PreviewScene {
  std::span<const Shape> helpers;
  const Shape& backdrop;
  const Shape& current;
  int32_t background = 0;
};

// The display the previews draw with, and the main window's surface and
// palette, which the layer goes back to after each preview.
struct PreviewDisplay {
  platform::DialogHost& host;
  DisplayState& display;
  platform::WindowSurface& mainSurface;
  PaletteId mainPalette = 0;
};

// Lower-left corner of a shape drawn with offsets (ox, oy).
struct PreviewPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const PreviewPoint&, const PreviewPoint&) = default;
};
PreviewPoint PlaceInPreview(const Shape& shape, int ox, int oy);
// The figure's: its own offsets give its place, the current shape's Tavrel
// position moves it from there.
PreviewPoint PlaceFigure(const Shape& figure, const Shape& current);

// Makes the window on first use, with a palette of its own in the colours
// the layer holds now, and shows it. The caller draws it afterwards.
void OpenPositionWindow(PreviewDisplay& pd, PositionWindow& window);
// Renders the scene into the window's buffer; the Tavrel window adds the figure.
void DrawPositionWindow(DisplayState& display, const PositionWindow& window, const PreviewScene& scene);
// Copies the buffer to the window; nothing before the window exists.
void PaintPositionWindow(PreviewDisplay& pd, const PositionWindow& window);
// Draw and paint, if the window exists.
void RefreshPositionWindow(PreviewDisplay& pd, const PositionWindow& window, const PreviewScene& scene);

// A mouse notification of the window's picture. Returns true when the drag
// moved the current shape (Shape position) or the figure (Tavrel position,
// which also gives the document QBJ properties); a change marks the
// document modified, so the new placement is saved or asked about.
bool OnPositionMouse(PositionWindow& window, Document& doc, const platform::DialogNotification& n);

// Positioning Settings. "...": the chosen shape file goes into the file box.
void BrowseBackdropFile(platform::DialogHost& host, platform::FileDialogs& files);
// "Ok": an empty file box takes the backdrop away; otherwise the numbered
// shape of the file becomes the backdrop. False when the file could not give
// it: the loader has said why, and the backdrop is as it was.
bool ApplyPositionSettings(platform::DialogHost& host, platform::MessageBoxes& boxes, Shape& backdrop);

}  // namespace qshe
