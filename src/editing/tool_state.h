// Which tool and brush the user has chosen, and the drag under way.
#pragma once

#include <cstdint>

namespace qshe {

enum Tool : int32_t { kPencil = 0, kEraser = 1, kHand = 2, kEyedropper = 3, kSelect = 4, kBucket = 5 };

struct ToolState {
  int32_t currentTool = kPencil;
  int32_t pencilSize = 0;  // 0..5
  int32_t dragTool = -1;   // the tool of the drag under way, -1 for none
  int32_t dragButton = -1; // 1 left, 2 right
  int32_t lastX = 0;       // previous point of the drag
  int32_t lastY = 0;
};

}  // namespace qshe
