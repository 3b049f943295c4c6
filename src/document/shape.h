// One palettised image and the fixed table of them that forms the document.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "document/pixel_block.h"
#include "platform/platform.h"

namespace qshe {

struct Shape {
  int32_t width = 0;
  int32_t height = 0;
  int32_t offsetX = 0;
  int32_t offsetY = 0;
  // width x height palette indices, bottom row first; null when empty.
  PixelBlock pixels;
  int32_t tavrelX = 0;
  int32_t tavrelY = 0;
  int32_t gettable = 0;
  int32_t sittable = 0;
  int32_t walkable = 0;
  int32_t replacement = 0;

  // True when the shape has a pixel block (both sizes at least 1).
  bool HasPixels() const { return pixels != nullptr; }
  // Number of pixel bytes the block holds; 0 when empty.
  int32_t PixelCount() const { return pixels ? width * height : 0; }
};

// Releases the pixel block and zeroes every field.
void ClearShape(Shape& shape);
// Clears the shape, then obtains an uninitialised block when both sizes are at
// least 1. The sizes are stored even when no block is obtained. True when a
// block was obtained.
bool AllocateShape(Shape& shape, int32_t width, int32_t height);
// Everything of a shape besides its image.
struct ShapeFields {
  int32_t offsetX = 0;
  int32_t offsetY = 0;
  int32_t tavrelX = 0;
  int32_t tavrelY = 0;
  int32_t gettable = 0;
  int32_t sittable = 0;
  int32_t walkable = 0;
  int32_t replacement = 0;
  friend bool operator==(const ShapeFields&, const ShapeFields&) = default;
};
ShapeFields FieldsOf(const Shape& shape);
void SetFields(Shape& shape, const ShapeFields& fields);

// Every field, pixels duplicated. False (target cleared but sized) when the
// block could not be obtained.
bool CopyShape(const Shape& from, Shape& to);

inline constexpr int32_t kShapeListCapacity = 5000;
inline constexpr int32_t kHelperShapeCount = 100;

struct ShapeList {
  std::vector<Shape> slots = std::vector<Shape>(kShapeListCapacity);
  int32_t count = 0;
  int32_t current = 0;

  Shape& Current() { return slots[static_cast<size_t>(current)]; }
  std::span<Shape> Document() { return {slots.data(), static_cast<size_t>(count)}; }
};

// Codes of the `where` argument of AddShapes.
enum AddWhere : int32_t {
  kAddAfterCurrent = 0,
  kAddBeforeCurrent = 1,
  kAddAtBeginning = 2,
  kAddAtEnd = 3,
  kAddAtIndex = 10000,  // kAddAtIndex + i inserts at index i
};

// Slot `to` takes over everything slot `from` holds, pixels by ownership;
// `from` is left empty. Callers pass valid slots.
void MoveShape(ShapeList& list, int32_t from, int32_t to);
// Exchanges all fields of two document shapes; nothing happens unless both
// indices lie in 0..count-1.
void SwapShapes(ShapeList& list, int32_t a, int32_t b);
// Removes one shape (after asking, when `ask`). A document never drops below
// one shape. True when the shape was removed.
bool RemoveShape(ShapeList& list, platform::MessageBoxes& boxes, int32_t index, bool ask);
// Inserts n empty shapes where `where` says. False (with the limit message)
// when the list would grow past its capacity.
bool AddShapes(ShapeList& list, platform::MessageBoxes& boxes, int32_t n, int32_t where);

// Where AddShapes puts n shapes and which shape is current afterwards (the
// same one, under its new number when the shapes go before it). Nothing,
// after the limit message, when the list would grow past its capacity.
struct AddPlacement {
  int32_t at = 0;
  int32_t current = 0;
};
std::optional<AddPlacement> PlaceAddedShapes(const ShapeList& list, platform::MessageBoxes& boxes, int32_t n,
                                             int32_t where);

}  // namespace qshe
