// The desktop's clipboard as the program sees it: a device-independent
// bitmap (information header, optional colour table, bottom-up rows) for
// other programs, and beside it the editor's own block of exact palette
// indices, which only its own windows read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qshe::platform {

struct ClipboardContent {
  std::vector<uint8_t> bitmap;   // empty when the clipboard holds no picture
  std::vector<uint8_t> indices;  // empty when it holds none of ours
  // A PNG or BMP file as another program offered it, for the program's own
  // readers (they keep alpha and read any size); `bitmap` is then empty.
  std::vector<uint8_t> file;
  // Why a picture the clipboard offers could not be turned into a bitmap;
  // empty when there was none or it worked.
  std::string problem;
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces what the clipboard holds; false when it could not be opened.
  virtual bool PutClipboard(const ClipboardContent& content) = 0;
  // What it holds now, converted from whatever image another program offers.
  virtual ClipboardContent GetClipboard() = 0;
};

}  // namespace qshe::platform
