// Reading PCX pictures: the editor's screen image and the 640 x 480 contact
// sheets that shapes are cut from.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "display/virtual_buffer.h"

namespace qshe {

// ShowPcx results.
inline constexpr int kPcxShown = 0;
inline constexpr int kPcxCannotOpen = 1;
// Not a PCX file, a header this reader cannot honour, or image data that ends
// before the last row. Nothing is drawn and the palette is left alone.
inline constexpr int kPcxRefused = 2;
inline constexpr int kPcxNothingFits = 3;
inline constexpr int kPcxNoBuffer = 4;

// ReadPcxPalette results besides the number of colours.
inline constexpr int kPcxPaletteCannotOpen = -1;
inline constexpr int kPcxPaletteNotPcx = -2;

// Where PCX bytes come from: a file, or memory for tests and fuzzing.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual int64_t Size() = 0;
  // Reads up to `n` bytes at `offset`; returns how many were read.
  virtual size_t ReadAt(int64_t offset, uint8_t* out, size_t n) = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  size_t ReadAt(int64_t offset, uint8_t* out, size_t n) override;

 private:
  std::span<const uint8_t> bytes_;
};

// The file's colours as red, green, blue triples: 256 from an 8-bit file's
// trailing palette, else the 16 of its header. Returns the count, or
// kPcxPaletteCannotOpen / kPcxPaletteNotPcx.
int ReadPcxPalette(const std::string& path, std::span<uint8_t, 768> rgb);
int ReadPcxPalette(ByteSource& source, std::span<uint8_t, 768> rgb);

// Decodes the picture into the active buffer with its top-left pixel at the
// current position, cut to the buffer, and loads its colours into palette
// entries 10..245 (the display's own entries are never taken from a file).
int ShowPcx(DisplayState& state, const std::string& path);
int ShowPcx(DisplayState& state, ByteSource& source);

}  // namespace qshe
