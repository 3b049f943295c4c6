// One shape's fields as the tool's JSON output names them.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>

#include "document/shape.h"

namespace qshe::tool {

// index, width, height, offsetX, offsetY, replacement and, with
// `objectProperties`, tavrelX, tavrelY, gettable, sittable, walkable.
nlohmann::ordered_json ShapeJson(const Shape& shape, size_t index, bool objectProperties);

}  // namespace qshe::tool
