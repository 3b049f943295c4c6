// The desktop clipboard on Qt. Pictures go out as PNG and BMP and come in
// from whatever image another program offers; the editor's own block of
// palette indices travels beside them under a type of its own.
#pragma once

#include "platform/clipboard.h"

namespace qshe::platform {

// The clipboard type of the exact indices; other programs never ask for it.
inline constexpr const char* kIndicesMimeType = "application/x-qshe-indices";

class QtClipboard : public Clipboard {
 public:
  bool PutClipboard(const ClipboardContent& content) override;
  ClipboardContent GetClipboard() override;
};

}  // namespace qshe::platform
