#include "shape_json.h"

namespace qshe::tool {

nlohmann::ordered_json ShapeJson(const Shape& s, size_t index, bool objectProperties) {
  nlohmann::ordered_json e;
  e["index"] = index;
  e["width"] = s.width;
  e["height"] = s.height;
  e["offsetX"] = s.offsetX;
  e["offsetY"] = s.offsetY;
  e["replacement"] = s.replacement;
  if (objectProperties) {
    e["tavrelX"] = s.tavrelX;
    e["tavrelY"] = s.tavrelY;
    e["gettable"] = s.gettable;
    e["sittable"] = s.sittable;
    e["walkable"] = s.walkable;
  }
  return e;
}

}  // namespace qshe::tool
