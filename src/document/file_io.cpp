#include "document/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qshe {
namespace {

std::string ErrorText(int err) { return std::strerror(err); }

const char* const kNotRegular = kNotRegularFileText;

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// A descriptor for reading a regular file, or -1 with `error` set. Without
// O_NONBLOCK, opening a FIFO waits for a writer that may never come.
int OpenRegularFile(const std::string& path, struct stat& st, std::string* error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (error) *error = ErrorText(errno);
    return -1;
  }
  if (::fstat(fd, &st) != 0) {
    if (error) *error = ErrorText(errno);
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    if (error) *error = S_ISDIR(st.st_mode) ? ErrorText(EISDIR) : kNotRegular;
    ::close(fd);
    return -1;
  }
  return fd;
}

// Reads on after file.size until `limit` bytes are there or the file ends.
bool ReadUpTo(int fd, FileBytes& file, size_t limit, std::string* error) {
  while (file.size < limit) {
    ssize_t n = ::read(fd, file.data.get() + file.size, limit - file.size);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = ErrorText(errno);
      return false;
    }
    file.size += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::optional<FileBytes> ReadWholeFile(const std::string& path, std::string* error) {
  struct stat st {};
  int fd = OpenRegularFile(path, st, error);
  if (fd < 0) return std::nullopt;
  FileBytes file;
  size_t capacity = static_cast<size_t>(st.st_size);
  file.data.reset(new (std::nothrow) uint8_t[capacity + 1]);
  if (!file.data) {
    if (error) *error = ErrorText(ENOMEM);
    ::close(fd);
    return std::nullopt;
  }
  // Read until end of file; the size from fstat is only a hint for files that
  // change while they are read.
  while (true) {
    if (!ReadUpTo(fd, file, capacity, error)) {
      ::close(fd);
      return std::nullopt;
    }
    if (file.size < capacity) break;  // the end of the file came first
    uint8_t probe;
    ssize_t n = ::read(fd, &probe, 1);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = ErrorText(errno);
      ::close(fd);
      return std::nullopt;
    }
    // The file grew: take the larger buffer and go on.
    capacity = capacity * 2 + 4096;
    std::unique_ptr<uint8_t[]> bigger(new (std::nothrow) uint8_t[capacity + 1]);
    if (!bigger) {
      if (error) *error = ErrorText(ENOMEM);
      ::close(fd);
      return std::nullopt;
    }
    std::memcpy(bigger.get(), file.data.get(), file.size);
    bigger[file.size++] = probe;
    file.data = std::move(bigger);
  }
  ::close(fd);
  return file;
}

std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               std::span<const uint8_t> bytes, bool flush) {
  namespace fs = std::filesystem;
  if (path.empty()) return ErrorText(ENOENT);
  fs::path target(path);
  // Write through a link to the file it names, so the link stays a link.
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  // Only a regular file is ever replaced: renaming over a device node or a
  // FIFO would swap it for a plain file. A file whose owner may not write it
  // is refused as an open for writing would refuse it, root or not.
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) return ErrorText(EISDIR);
    if (!S_ISREG(existing.st_mode)) return kNotRegular;
    if ((existing.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0) {
      return ErrorText(EACCES);
    }
  }
  fs::path dir = target.parent_path();
  std::string pattern = (dir.empty() ? std::string(".") : dir.string()) + "/." +
                        target.filename().string() + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return ErrorText(errno);

  // The new file takes the permissions of the one it replaces, or the usual
  // ones for a new file.
  mode_t mode;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }

  int err = 0;
  if (!WriteAll(fd, bytes.data(), bytes.size())) err = errno;
  if (!err && ::fchmod(fd, mode) != 0) err = errno;
  if (!err && flush && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(name.data(), target.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(name.data());
    return ErrorText(err);
  }
  return std::nullopt;
}

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  struct stat st {};
  int fd = OpenRegularFile(path, st, nullptr);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::optional<FileBytes> ReadFilePrefix(const std::string& path, size_t limit, std::string* error) {
  struct stat st {};
  int fd = OpenRegularFile(path, st, error);
  if (fd < 0) return std::nullopt;
  FileBytes file;
  file.data.reset(new (std::nothrow) uint8_t[limit + 1]);
  if (!file.data) {
    if (error) *error = ErrorText(ENOMEM);
    ::close(fd);
    return std::nullopt;
  }
  const bool read = ReadUpTo(fd, file, limit, error);
  ::close(fd);
  if (!read) return std::nullopt;
  return file;
}

}  // namespace qshe
