#include "app/save_line.h"

namespace qshe {

std::string SaveLineText(int32_t count, const std::string& path) {
  const std::string plain = std::to_string(count < 0 ? 0 : count);
  std::string digits;
  for (size_t i = 0; i < plain.size(); ++i) {
    if (i > 0 && (plain.size() - i) % 3 == 0) digits += ',';
    digits += plain[i];
  }
  const size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return "Saved " + digits + (count == 1 ? " shape to " : " shapes to ") + name;
}

}  // namespace qshe
