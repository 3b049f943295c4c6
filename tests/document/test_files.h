// Temporary folders and raw file helpers for the document tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace qshe::testing {

// One shape, 2 x 1 at offset (3, -1), pixels 5 6, replacement 7: as a QSH file
// and as a QS2 file.
inline const std::vector<uint8_t> kQsh = {0x01, 0x00, 0x06, 0x00, 0x02, 0x01, 0x03, 0xFF, 0x05, 0x06};
// Three shapes: 2 x 1 (pixels 5 6), 1 x 1 and 3 x 2.
inline const std::vector<uint8_t> kThreeShapes = {0x03, 0x00, 0x06, 0x00, 0x05, 0x00, 0x0A, 0x00, 0x02, 0x01,
                                                  0x03, 0xFF, 0x05, 0x06, 0x01, 0x01, 0x00, 0x00, 0x07, 0x03,
                                                  0x02, 0x00, 0x00, 1,    2,    3,    4,    5,    6};
inline const std::vector<uint8_t> kQs2 = {'Q', 'S', 'H', '2', '.', '0', '0', '1', 0x01, 0x00, 0x00, 0x00,
                                          0x00, 0x00, 0x00, 0x00, 0x02, 0x01, 0x03, 0xFF, 0x07, 0x00, 0x05, 0x06};

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("qshe-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Paths that are there but must never be read as, or replaced by, a plain
// file: a FIFO, a character device of our own (root only), a file its owner
// may not write and a link to it. Each comes with what it is for messages.
inline std::vector<std::pair<std::string, std::string>> MakeSpecialFiles(const TempDir& dir,
                                                                         const std::string& ext) {
  std::vector<std::pair<std::string, std::string>> made;
  std::string fifo = dir.File("fifo" + ext);
  if (::mkfifo(fifo.c_str(), 0644) == 0) made.push_back({fifo, "FIFO"});
  std::string device = dir.File("device" + ext);
  if (::geteuid() == 0 && ::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    made.push_back({device, "device"});
  }
  std::string locked = dir.File("readonly" + ext);
  WriteBytes(locked, {1, 2, 3});
  ::chmod(locked.c_str(), 0444);
  made.push_back({locked, "mode 0444"});
  std::string link = dir.File("link" + ext);
  std::filesystem::create_symlink(fifo, link);
  made.push_back({link, "link to a FIFO"});
  return made;
}

// What a path is now: its type and, for a regular file, its bytes.
inline std::string Describe(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return "missing";
  if (S_ISFIFO(st.st_mode)) return "fifo";
  if (S_ISCHR(st.st_mode)) return "chr";
  if (S_ISLNK(st.st_mode)) return "link";
  if (S_ISDIR(st.st_mode)) return "dir";
  std::string out = "file " + std::to_string(st.st_mode & 0777) + ":";
  for (uint8_t b : ReadBytes(path)) out += std::to_string(b) + ",";
  return out;
}

}  // namespace qshe::testing
