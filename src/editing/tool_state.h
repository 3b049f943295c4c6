// Which tool and brush the user has chosen, and the drag under way.
#pragma once

#include <cstdint>

namespace qshe {

enum Tool : int32_t {
  kPencil = 0, kEraser = 1, kHand = 2, kEyedropper = 3, kSelect = 4, kBucket = 5,
  kLineTool = 6, kRectangleTool = 7, kEllipseTool = 8,
};
inline constexpr int kToolCount = 9;

// The tools that drag out a figure, shown over the canvas until the release.
inline bool IsFigureTool(int tool) { return tool == kLineTool || tool == kRectangleTool || tool == kEllipseTool; }

struct ToolState {
  int32_t currentTool = kPencil;
  int32_t pencilSize = 0;  // 0..5
  int32_t dragTool = -1;   // the tool of the drag under way, -1 for none
  int32_t dragButton = -1; // 1 left, 2 right
  int32_t lastX = 0;       // previous point of the drag
  int32_t lastY = 0;
  // Rectangles and ellipses start outlined; choosing the tool again while it
  // is current switches its form.
  bool filledRectangle = false;
  bool filledEllipse = false;
  bool shift = false;  // held at the last mouse event or Shift key
  // The figure being dragged: the press point and the end the mouse (and
  // Shift) make of the last point.
  int32_t figureX0 = 0, figureY0 = 0, figureX1 = 0, figureY1 = 0;
  // Where the last pencil or eraser stroke ended, the start of a Shift+click
  // stroke; forgotten when another shape is shown.
  bool strokeEndKnown = false;
  int32_t strokeEndX = 0, strokeEndY = 0;
};

}  // namespace qshe
