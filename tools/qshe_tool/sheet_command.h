// qshe-tool sheet: a whole shape file as one sprite sheet and back.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "display/game_palette.h"
#include "document/shape_file.h"

namespace qshe::tool {

// `sheet export ...` and `sheet import ...` (the arguments after "sheet").
// Returns the exit status, or nothing when the arguments make no command line.
std::optional<int> SheetCommand(const std::vector<std::string>& args, std::ostream& err);

struct DecodedSheet {
  std::string problem;  // empty on success, else the one line naming the first problem
  ShapeFileFormat format = ShapeFileFormat::Qsh;
  bool objectFile = false;  // the shapes' object properties were given
  std::vector<Shape> shapes;
};

// The shapes of a sheet held in memory: its JSON text and its PNG picture,
// colours matched to `palette`. The names go into the problem's text.
DecodedSheet DecodeSheet(std::span<const uint8_t> json, std::span<const uint8_t> png, const GamePalette& palette,
                         const std::string& jsonName, const std::string& sheetName);

}  // namespace qshe::tool
