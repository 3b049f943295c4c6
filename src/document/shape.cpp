#include "document/shape.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "platform/messages.h"

namespace qshe {

void ClearShape(Shape& shape) { shape = Shape{}; }

bool AllocateShape(Shape& shape, int32_t width, int32_t height) {
  ClearShape(shape);
  shape.width = width;
  shape.height = height;
  if (width < 1 || height < 1) return false;
  return shape.pixels.Allocate(static_cast<size_t>(width) * static_cast<size_t>(height));
}

ShapeFields FieldsOf(const Shape& s) {
  return {s.offsetX, s.offsetY, s.tavrelX, s.tavrelY, s.gettable, s.sittable, s.walkable, s.replacement};
}

void SetFields(Shape& s, const ShapeFields& f) {
  s.offsetX = f.offsetX;
  s.offsetY = f.offsetY;
  s.tavrelX = f.tavrelX;
  s.tavrelY = f.tavrelY;
  s.gettable = f.gettable;
  s.sittable = f.sittable;
  s.walkable = f.walkable;
  s.replacement = f.replacement;
}

bool CopyShape(const Shape& from, Shape& to) {
  bool ok = true;
  if (&from == &to) return true;
  if (from.HasPixels()) {
    ok = AllocateShape(to, from.width, from.height);
    if (ok) std::memcpy(to.pixels.get(), from.pixels.get(), static_cast<size_t>(from.PixelCount()));
  } else {
    ClearShape(to);
    to.width = from.width;
    to.height = from.height;
  }
  SetFields(to, FieldsOf(from));
  return ok;
}

void MoveShape(ShapeList& list, int32_t from, int32_t to) {
  if (from == to) return;
  list.slots[static_cast<size_t>(to)] = std::move(list.slots[static_cast<size_t>(from)]);
  ClearShape(list.slots[static_cast<size_t>(from)]);
}

void SwapShapes(ShapeList& list, int32_t a, int32_t b) {
  if (a < 0 || b < 0 || a >= list.count || b >= list.count) return;
  std::swap(list.slots[static_cast<size_t>(a)], list.slots[static_cast<size_t>(b)]);
}

bool RemoveShape(ShapeList& list, platform::MessageBoxes& boxes, int32_t index, bool ask) {
  if (index < 0 || index >= list.count) return false;
  if (ask && !platform::AskYesNo(boxes, "Permanently remove this shape?")) return false;
  // The removed shape rotates to the end of the document, where it is cleared;
  // every later shape moves up one slot with all its fields.
  auto first = list.slots.begin() + index;
  auto end = list.slots.begin() + list.count;
  std::rotate(first, first + 1, end);
  ClearShape(*(end - 1));
  if (list.count > 1) --list.count;
  if (list.current >= list.count) list.current = 0;
  return true;
}

std::optional<AddPlacement> PlaceAddedShapes(const ShapeList& list, platform::MessageBoxes& boxes, int32_t n,
                                             int32_t where) {
  if (n < 0) return std::nullopt;
  if (list.count + n > kShapeListCapacity) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Can't add the shapes: The maximum number in an QSH file is limited to %d.",
                  kShapeListCapacity);
    platform::ShowError(boxes, text);
    return std::nullopt;
  }
  AddPlacement place{0, list.current};
  switch (where) {
    case kAddAfterCurrent: place.at = list.current + 1; break;
    case kAddBeforeCurrent: place.at = list.current; place.current += n; break;
    case kAddAtBeginning: place.at = 0; place.current += n; break;
    case kAddAtEnd: place.at = list.count; break;
    default: place.at = where >= kAddAtIndex ? where - kAddAtIndex : 0; break;
  }
  // Callers pass an index inside the document; keep a stray one from tearing a
  // hole in the list.
  place.at = std::clamp(place.at, 0, list.count);
  return place;
}

bool AddShapes(ShapeList& list, platform::MessageBoxes& boxes, int32_t n, int32_t where) {
  const std::optional<AddPlacement> place = PlaceAddedShapes(list, boxes, n, where);
  if (!place) return false;
  const int32_t p = place->at;
  list.current = place->current;
  // Shapes from p on move n slots down with all their fields; the n slots that
  // come round to p are the new, empty shapes.
  auto first = list.slots.begin() + p;
  auto end = list.slots.begin() + list.count + n;
  std::rotate(first, end - n, end);
  for (int32_t i = p; i < p + n; ++i) ClearShape(list.slots[static_cast<size_t>(i)]);
  list.count += n;
  return true;
}

}  // namespace qshe
