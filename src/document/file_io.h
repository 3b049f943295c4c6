// Whole-file reads and safe whole-file writes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace qshe {

// The error text for a path that names a device, a FIFO or a socket.
inline constexpr const char* kNotRegularFileText = "Not a regular file";

struct FileBytes {
  std::unique_ptr<uint8_t[]> data;
  size_t size = 0;
  std::span<const uint8_t> bytes() const { return {data.get(), size}; }
};

// The whole file, or nothing when it cannot be opened or read, or is not a
// regular file (`error` then says why).
std::optional<FileBytes> ReadWholeFile(const std::string& path, std::string* error = nullptr);

// Writes `bytes` to a new file beside `path` and renames it over `path` only
// when every byte is written (and, with `flush`, on the disk), so a failed
// write never damages the file that was there. An existing file keeps its
// permissions; one that is not a regular file, or that its owner may not
// write, is refused and left alone. Returns the system's text for the error, or nothing on success.
std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               std::span<const uint8_t> bytes,
                                               bool flush = true);

// At most `limit` bytes from the start of a regular file.
std::optional<FileBytes> ReadFilePrefix(const std::string& path, size_t limit,
                                        std::string* error = nullptr);

// True when the path names a regular file that can be opened for reading.
bool FileExists(const std::string& path);

}  // namespace qshe
