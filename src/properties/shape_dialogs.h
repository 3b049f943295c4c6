// Insert Shapes, Swap Shapes and Jump To: their resources and what their
// buttons do to the shape list. Redrawing afterwards is the caller's part.
#pragma once

#include <cstdint>
#include <optional>

#include "document/shape.h"
#include "platform/dialogs.h"

namespace qshe {

inline constexpr int kInsertDialog = 105;
inline constexpr int kSwapDialog = 108;
inline constexpr int kJumpDialog = 114;

enum ShapeDialogControl : int {
  kInsertAddButton = 1000,
  kInsertCount = 1001,
  kInsertWhere = 1004,
  kSwapButton = 1028,
  kSwapNumber = 1029,
  kJumpNumber = 1041,
  kJumpButton = 1042,
};

// Most shapes one Add inserts.
inline constexpr int32_t kMaxInsertCount = 2000;

const platform::DialogResource& InsertShapesDialog();
const platform::DialogResource& SwapShapesDialog();
const platform::DialogResource& JumpToDialog();

// The count typed into Insert Shapes, or nothing when it lies outside
// 0..kMaxInsertCount.
std::optional<int32_t> InsertCount(platform::DialogHost& host);
// Where Insert Shapes puts them: an AddShapes code.
int32_t InsertPlace(platform::DialogHost& host);
// The shape number typed into a dialog's box, or nothing when the document
// has no such shape.
std::optional<int32_t> TypedShapeNumber(platform::DialogHost& host, int dialog, int control,
                                        const ShapeList& list);

}  // namespace qshe
