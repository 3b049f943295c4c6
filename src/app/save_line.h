// The status line's words after a save, kept apart until the status line
// shows them.
#pragma once

#include <cstdint>
#include <string>

namespace qshe {

// "Saved 1,204 shapes to sprites.qs2": the count with thousands marked, the
// file by its name alone ("Saved 1 shape to a.qsh" for one).
std::string SaveLineText(int32_t count, const std::string& path);

}  // namespace qshe
