// The open document: its shape list and the state that goes with it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "document/shape.h"

namespace qshe {

inline constexpr int32_t kModified = 1;
inline constexpr int32_t kUnmodified = -1;

struct DocumentState {
  std::string documentPath;       // empty for a new document
  int32_t modified = kUnmodified;  // kModified or kUnmodified
  int32_t qs2Flag = 0;             // carries replacement numbers
  int32_t qbjFlag = 0;             // carries object properties
};

struct Document {
  ShapeList list;
  DocumentState state;
  // Shows a document name ("new" or a path) in the window title. The shell
  // installs its own; without one the title is set plainly.
  std::function<void(const std::string& name)> showTitle;
};

inline constexpr const char* kTitlePrefix = "Quorvane QSH Editor 1.04 -- [";

}  // namespace qshe
