// qshe-tool import, collage and export: pictures into shape files and out of them.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "display/game_palette.h"
#include "interchange/color_reduction.h"

namespace qshe::tool {

// Each returns the exit status, or nothing when the arguments do not make a
// command line (the caller shows the usage).
std::optional<int> ImportCommand(const std::vector<std::string>& args, std::ostream& err);
std::optional<int> ExportCommand(const std::vector<std::string>& args, std::ostream& err);
std::optional<int> CollageCommand(const std::vector<std::string>& args, std::ostream& err);

// --transparent [auto|none|#rrggbb] and --dither none|ordered|diffusion at
// args[i]: true when it was one of them (i then stands on its last word).
// A bare --transparent is "auto", as the flag without a value always was.
// A value that is neither sets `status` to 2, with a line on `err`.
bool ParseColorOption(const std::vector<std::string>& args, size_t& i, ColorChoice& choice, bool& ditherGiven,
                      std::optional<int>& status, std::ostream& err);

struct Loaded;
// The number after --at: 0..4999, or nothing (with a line on `err`).
std::optional<int> ParseAtOption(const std::string& text, std::ostream& err);
// Reads the shape file pictures go into (none yet: an empty one) and returns
// the first slot they take: `at`, else the end. Nothing (with a line on
// `err`) when the file cannot be used or `at` lies past its end.
std::optional<int> LoadImportTarget(const std::string& shapePath, std::optional<int> at, Loaded& loaded,
                                    std::ostream& err);

// The editor's palette: from `pcxPath` when given, else from "qshe.pcx" where
// the editor finds it. False (with a line on `err`) when there is none.
bool LoadToolPalette(const std::string& pcxPath, GamePalette& palette, std::ostream& err);

}  // namespace qshe::tool
