// Whole-file reads and safe whole-file writes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace qshe {

struct FileBytes {
  std::unique_ptr<uint8_t[]> data;
  size_t size = 0;
  std::span<const uint8_t> bytes() const { return {data.get(), size}; }
};

// The whole file, or nothing when it cannot be opened or read (`error` then
// holds the system's text).
std::optional<FileBytes> ReadWholeFile(const std::string& path, std::string* error = nullptr);

// Writes `bytes` to a new file beside `path` and renames it over `path` only
// when every byte is written (and, with `flush`, on the disk), so a failed
// write never damages the file that was there. An existing file keeps its
// permissions. Returns the system's text for the error, or nothing on success.
std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               std::span<const uint8_t> bytes,
                                               bool flush = true);

// True when the file can be opened for reading.
bool FileExists(const std::string& path);

}  // namespace qshe
