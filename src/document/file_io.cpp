#include "document/file_io.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qshe {
namespace {

std::string ErrorText(int err) { return std::strerror(err); }

// ----- the seam -------------------------------------------------------------------

InjectedFileFailure* g_injected = nullptr;

// ----- reading ----------------------------------------------------------------------

void SetProblem(ReadProblem* problem, ReadFailure kind, std::string text, uint64_t size = 0) {
  if (!problem) return;
  problem->kind = kind;
  problem->text = std::move(text);
  problem->size = size;
}

// A descriptor for reading a regular file, or -1 with `problem` set. Without
// O_NONBLOCK, opening a FIFO waits for a writer that may never come.
int OpenRegularFile(const std::string& path, struct stat& st, ReadProblem* problem, bool followLinks = true) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW));
  if (fd < 0) {
    if (!followLinks && errno == ELOOP) {
      SetProblem(problem, ReadFailure::NotRegularFile, kNotRegularFileText);
    } else {
      SetProblem(problem, ReadFailure::CannotOpen, ErrorText(errno));
    }
    return -1;
  }
  if (::fstat(fd, &st) != 0) {
    SetProblem(problem, ReadFailure::CannotOpen, ErrorText(errno));
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    SetProblem(problem, ReadFailure::NotRegularFile, kNotRegularFileText);
    ::close(fd);
    return -1;
  }
  return fd;
}

// Reads on after file.size until `limit` bytes are there or the file ends.
bool ReadUpTo(int fd, FileBytes& file, size_t limit, ReadProblem* problem) {
  while (file.size < limit) {
    ssize_t n = ::read(fd, file.data.get() + file.size, limit - file.size);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      SetProblem(problem, ReadFailure::CannotOpen, ErrorText(errno));
      return false;
    }
    file.size += static_cast<size_t>(n);
  }
  return true;
}

bool Allocate(FileBytes& file, size_t capacity, ReadProblem* problem) {
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[capacity + 1]);
  if (!block) {
    SetProblem(problem, ReadFailure::CannotOpen, ErrorText(ENOMEM));
    return false;
  }
  if (file.size > 0) std::memcpy(block.get(), file.data.get(), file.size);
  file.data = std::move(block);
  return true;
}

// ----- writing ----------------------------------------------------------------------

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

// Writes to a descriptor a large block at a time: few system calls, and
// never more than the block in memory.
class FdSink : public ByteSink {
 public:
  explicit FdSink(int fd) : fd_(fd) { buffer_.reserve(kBlock); }
  bool Write(std::span<const uint8_t> bytes) override {
    if (error_) return false;
    while (!bytes.empty()) {
      if (buffer_.empty() && bytes.size() >= kBlock) {
        // Large pieces go straight through.
        if (!WriteAll(fd_, bytes.data(), bytes.size())) error_ = errno ? errno : EIO;
        written_ += bytes.size();
        return error_ == 0;
      }
      const size_t n = std::min(bytes.size(), kBlock - buffer_.size());
      buffer_.insert(buffer_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
      bytes = bytes.subspan(n);
      if (buffer_.size() == kBlock && !Drain()) return false;
    }
    return true;
  }
  using ByteSink::Write;
  bool Drain() {
    if (error_) return false;
    if (!buffer_.empty() && !WriteAll(fd_, buffer_.data(), buffer_.size())) error_ = errno ? errno : EIO;
    written_ += buffer_.size();
    buffer_.clear();
    // The disk starts on what is written while the rest is still being
    // made, so the flush at the end has little left to wait for.
    if (written_ - started_ >= kStartWriting) {
      ::sync_file_range(fd_, static_cast<off_t>(started_), static_cast<off_t>(written_ - started_),
                        SYNC_FILE_RANGE_WRITE);
      started_ = written_;
    }
    return error_ == 0;
  }
  int error() const { return error_; }

 private:
  static constexpr size_t kBlock = size_t{1} << 20;
  static constexpr uint64_t kStartWriting = uint64_t{8} << 20;
  uint64_t written_ = 0;
  uint64_t started_ = 0;
  int fd_;
  std::vector<uint8_t> buffer_;
  int error_ = 0;
};

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Temporaries are ".NAME.qshe-XXXXXX" beside their target: hidden, and named
// apart from other programs' (rsync's ".NAME.XXXXXX" among them), whose
// files are never ours to remove. Long names are cut so the whole stays
// within the system's limit.
constexpr const char* kTemporaryMark = ".qshe-";
constexpr size_t kLongestNamePart = 200;
constexpr size_t kRandomPart = 6;

std::string TemporaryPrefix(const std::string& name) {
  std::string prefix = ".";
  prefix.append(name, 0, kLongestNamePart);
  return prefix.append(kTemporaryMark);
}

bool IsTemporaryOf(const std::string& entry, const std::string& prefix) {
  if (entry.size() != prefix.size() + kRandomPart || entry.compare(0, prefix.size(), prefix) != 0) return false;
  return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
}

// A folder held open for its lock and its flush.
class Folder {
 public:
  explicit Folder(std::string path) : path_(std::move(path)) {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  }
  ~Folder() {
    Unlock();
    if (fd_ >= 0) ::close(fd_);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  const std::string& path() const { return path_; }

  // Waits a while for writers of the same folder to finish their renames.
  // False only when someone keeps it locked; a folder that cannot be opened
  // or locked at all is written unlocked (and its temporaries never swept).
  bool Lock() {
    if (fd_ < 0 || locked_) return true;
    for (int tries = 0; tries < 1000; ++tries) {
      if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        locked_ = true;
        return true;
      }
      if (errno == EINTR) continue;
      if (errno != EWOULDBLOCK) return true;
      ::usleep(10000);
    }
    return false;
  }
  void Unlock() {
    if (locked_) ::flock(fd_, LOCK_UN);
    locked_ = false;
  }
  bool locked() const { return locked_; }

  // 0, or the error of flushing the folder's entries to the disk.
  int Flush() {
    if (fd_ < 0) return 0;
    if (int err = InjectedFileFailure::At(FileStep::FlushFolder)) return err;
    if (::fsync(fd_) == 0) return 0;
    // Some file systems cannot flush a folder; their renames are as durable
    // as they get.
    return errno == EINVAL || errno == ENOTSUP || errno == EROFS ? 0 : errno;
  }

  // Removes the dead temporaries named after `name`; the folder is locked,
  // so no live writer is between creating and locking its temporary.
  int Sweep(const std::string& name) {
    if (!locked_) return 0;
    const std::string prefix = TemporaryPrefix(name);
    int scan = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (scan < 0) return 0;
    DIR* dir = ::fdopendir(scan);
    if (!dir) {
      ::close(scan);
      return 0;
    }
    std::vector<std::string> candidates;
    while (dirent* entry = ::readdir(dir)) {
      if (IsTemporaryOf(entry->d_name, prefix)) candidates.push_back(entry->d_name);
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string& candidate : candidates) {
      int fd = ::openat(fd_, candidate.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0) continue;
      struct stat held {}, named {};
      if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
          ::fstatat(fd_, candidate.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == held.st_dev &&
          named.st_ino == held.st_ino && ::unlinkat(fd_, candidate.c_str(), 0) == 0) {
        ++removed;
      }
      ::close(fd);
    }
    return removed;
  }

 private:
  std::string path_;
  int fd_ = -1;
  bool locked_ = false;
};

// One file of a write on its way.
struct Pending {
  std::string target;
  std::span<const uint8_t> bytes;
  const ByteProducer* produce = nullptr;
  Folder* folder = nullptr;
  bool existed = false;
  uint32_t mode = 0;
  std::string temporary;
  int fd = -1;            // the temporary, locked while we live
  std::string backup;     // a second name of the file replaced, while renaming
  bool renamed = false;
};

uint32_t DefaultMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// What is at the target now; an error text when it must not be replaced.
std::optional<std::string> CheckTarget(Pending& p, const WriteOptions& options) {
  struct stat st {};
  if (::lstat(p.target.c_str(), &st) != 0) {
    if (errno == ENOENT) {
      p.mode = options.mode.value_or(DefaultMode());
      return std::nullopt;
    }
    return ErrorText(errno);
  }
  // Without following, a link is only a name in the folder: it is replaced.
  if (S_ISLNK(st.st_mode) && !options.followLinks) {
    p.mode = options.mode.value_or(DefaultMode());
    return std::nullopt;
  }
  // Only a regular file is ever replaced: renaming over a device node or a
  // FIFO would swap it for a plain file.
  if (!S_ISREG(st.st_mode)) return std::string(kNotRegularFileText);
  // A file whose owner may not write it is refused as an open for writing
  // would refuse it, root or not; otherwise the system says why it may not
  // be written (a read-only file system, say).
  int err = InjectedFileFailure::At(FileStep::Check);
  if (!err && (st.st_mode & S_IWUSR) == 0) err = EACCES;
  if (!err && ::access(p.target.c_str(), W_OK) != 0) err = errno;
  if (err) return ErrorText(err);
  p.existed = true;
  p.mode = options.mode.value_or(st.st_mode & 07777);
  return std::nullopt;
}

// A fresh name beside the target: the temporary's own pattern, so that if
// the process dies now the next write sweeps it away.
std::string SpareName(const std::string& target) {
  std::string pattern = FolderOf(target) + "/" + TemporaryPrefix(NameOf(target)) + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return {};
  ::close(fd);
  ::unlink(name.data());
  return name.data();
}

// Creates, fills and flushes the temporary of `p`; the error, or 0.
int WriteTemporary(Pending& p, const WriteOptions& options) {
  if (!p.folder->Lock()) return EWOULDBLOCK;
  p.folder->Sweep(NameOf(p.target));
  int err = InjectedFileFailure::At(FileStep::Create);
  if (!err) {
    std::string pattern = FolderOf(p.target) + "/" + TemporaryPrefix(NameOf(p.target)) + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    p.fd = ::mkstemp(name.data());
    if (p.fd < 0) {
      err = errno;
    } else {
      p.temporary = name.data();
      // Locked before the folder is let go: no sweep ever sees it unlocked.
      ::flock(p.fd, LOCK_EX | LOCK_NB);
    }
  }
  p.folder->Unlock();
  if (err) return err;
  err = InjectedFileFailure::At(FileStep::Write);
  if (!err && p.produce && *p.produce) {
    FdSink sink(p.fd);
    const bool made = (*p.produce)(sink);
    const bool drained = sink.Drain();
    if (!made || !drained) err = sink.error() ? sink.error() : EIO;
  } else if (!err && !WriteAll(p.fd, p.bytes.data(), p.bytes.size())) {
    err = errno;
  }
  if (!err && ::fchmod(p.fd, static_cast<mode_t>(p.mode)) != 0) err = errno;
  if (!err && options.flush) {
    err = InjectedFileFailure::At(FileStep::Flush);
    if (!err && ::fsync(p.fd) != 0) err = errno;
  }
  return err;
}

// Puts back what the renames so far replaced.
void UndoRenames(std::vector<Pending>& pending) {
  for (Pending& p : pending) {
    if (!p.renamed) continue;
    if (!p.backup.empty()) {
      ::rename(p.backup.c_str(), p.target.c_str());
      p.backup.clear();
    } else if (!p.existed) {
      ::unlink(p.target.c_str());
    }
    p.renamed = false;
  }
}

void CleanUp(std::vector<Pending>& pending) {
  for (Pending& p : pending) {
    if (!p.backup.empty()) ::unlink(p.backup.c_str());
    if (!p.temporary.empty()) ::unlink(p.temporary.c_str());
    if (p.fd >= 0) ::close(p.fd);
    p.fd = -1;
  }
}

}  // namespace

// ----- the seam -------------------------------------------------------------------

InjectedFileFailure::InjectedFileFailure(FileStep step, int error, int nth, std::function<void()> action)
    : step_(step), error_(error), remaining_(nth), action_(std::move(action)), previous_(g_injected) {
  g_injected = this;
}

InjectedFileFailure::~InjectedFileFailure() { g_injected = previous_; }

int InjectedFileFailure::At(FileStep step) {
  for (InjectedFileFailure* f = g_injected; f; f = f->previous_) {
    if (f->step_ != step || f->remaining_ <= 0 || --f->remaining_ > 0) continue;
    f->happened_ = true;
    if (f->action_) f->action_();
    if (f->error_) return f->error_;
  }
  return 0;
}

// ----- reading ----------------------------------------------------------------------

std::optional<FileBytes> ReadWholeFile(const std::string& path, uint64_t limit, ReadProblem* problem,
                                       bool followLinks) {
  struct stat st {};
  int fd = OpenRegularFile(path, st, problem, followLinks);
  if (fd < 0) return std::nullopt;
  const uint64_t size = static_cast<uint64_t>(std::max<off_t>(st.st_size, 0));
  if (size > limit) {
    SetProblem(problem, ReadFailure::TooLarge, ErrorText(EFBIG), size);
    ::close(fd);
    return std::nullopt;
  }
  const size_t bound = static_cast<size_t>(std::min<uint64_t>(limit, SIZE_MAX - 1));
  FileBytes file;
  size_t capacity = static_cast<size_t>(size);
  if (!Allocate(file, capacity, problem)) {
    ::close(fd);
    return std::nullopt;
  }
  // The size from fstat is only a hint for a file that changes while it is
  // read: it is read to its end, but never past the bound.
  while (true) {
    if (!ReadUpTo(fd, file, capacity, problem)) {
      ::close(fd);
      return std::nullopt;
    }
    if (file.size < capacity) break;  // the end of the file came first
    uint8_t probe;
    ssize_t n = ::read(fd, &probe, 1);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      SetProblem(problem, ReadFailure::CannotOpen, ErrorText(errno));
      ::close(fd);
      return std::nullopt;
    }
    if (capacity >= bound) {
      SetProblem(problem, ReadFailure::TooLarge, ErrorText(EFBIG), uint64_t{bound} + 1);
      ::close(fd);
      return std::nullopt;
    }
    capacity = static_cast<size_t>(std::min<uint64_t>(uint64_t{capacity} * 2 + 4096, bound));
    if (!Allocate(file, capacity, problem)) {
      ::close(fd);
      return std::nullopt;
    }
    file.data[file.size++] = probe;
  }
  ::close(fd);
  return file;
}

bool SpanSource::Read(void* to, size_t n) {
  if (bytes_.size() - at_ < n) return false;
  if (n > 0) std::memcpy(to, bytes_.data() + at_, n);
  at_ += n;
  return true;
}

bool SpanSource::Skip(uint64_t n) {
  if (bytes_.size() - at_ < n) return false;
  at_ += static_cast<size_t>(n);
  return true;
}

FileReader::~FileReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileReader::Open(const std::string& path, uint64_t limit, ReadProblem* problem, bool followLinks) {
  if (fd_ >= 0) ::close(fd_);
  struct stat st {};
  fd_ = OpenRegularFile(path, st, problem, followLinks);
  if (fd_ < 0) return false;
  size_ = static_cast<uint64_t>(std::max<off_t>(st.st_size, 0));
  if (size_ > limit) {
    SetProblem(problem, ReadFailure::TooLarge, ErrorText(EFBIG), size_);
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  // The file's order is the order it is read in; tell the system so.
  ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
  buffer_.resize(static_cast<size_t>(std::min<uint64_t>(size_ + 1, uint64_t{1} << 20)));
  position_ = 0;
  at_ = end_ = 0;
  error_.clear();
  return true;
}

bool FileReader::Fill() {
  if (fd_ < 0 || buffer_.empty()) return false;
  while (true) {
    ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error_ = ErrorText(errno);
    if (n <= 0) return false;
    at_ = 0;
    end_ = static_cast<size_t>(n);
    return true;
  }
}

bool FileReader::Read(void* to, size_t n) {
  auto* out = static_cast<uint8_t*>(to);
  while (n > 0) {
    if (at_ == end_ && !Fill()) return false;
    const size_t take = std::min(n, end_ - at_);
    std::memcpy(out, buffer_.data() + at_, take);
    at_ += take;
    out += take;
    n -= take;
    position_ += take;
  }
  return true;
}

bool FileReader::Skip(uint64_t n) {
  // Far past the buffer: the system moves there without reading.
  if (fd_ >= 0 && n > (end_ - at_) + buffer_.size()) {
    const uint64_t beyond = n - (end_ - at_);
    const off_t now = ::lseek(fd_, 0, SEEK_CUR);
    if (now >= 0 && static_cast<uint64_t>(now) + beyond <= size_ &&
        ::lseek(fd_, static_cast<off_t>(beyond), SEEK_CUR) >= 0) {
      position_ += n;
      at_ = end_ = 0;
      return true;
    }
  }
  while (n > 0) {
    if (at_ == end_ && !Fill()) return false;
    const size_t take = static_cast<size_t>(std::min<uint64_t>(n, end_ - at_));
    at_ += take;
    n -= take;
    position_ += take;
  }
  return true;
}

std::optional<FileBytes> ReadFilePrefix(const std::string& path, size_t limit, ReadProblem* problem) {
  struct stat st {};
  int fd = OpenRegularFile(path, st, problem);
  if (fd < 0) return std::nullopt;
  FileBytes file;
  const bool read = Allocate(file, limit, problem) && ReadUpTo(fd, file, limit, problem);
  ::close(fd);
  if (!read) return std::nullopt;
  return file;
}

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  struct stat st {};
  int fd = OpenRegularFile(path, st, nullptr);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  const size_t n = std::strlen(suffix);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[text.size() - n + i])) != suffix[i]) return false;
  }
  return true;
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty()) return path;
  std::string full = path;
  if (path[0] != '/') {
    char* here = ::getcwd(nullptr, 0);
    if (!here) return path;
    full = std::string(here) + "/" + path;
    std::free(here);
  }
  // Empty and "." parts go; ".." is kept, as it may lead out of a link.
  std::string out;
  size_t at = 0;
  while (at <= full.size()) {
    size_t next = full.find('/', at);
    if (next == std::string::npos) next = full.size();
    const std::string part = full.substr(at, next - at);
    if (!part.empty() && part != ".") out += "/" + part;
    at = next + 1;
  }
  return out.empty() ? "/" : out;
}

FileStamp StampFile(const std::string& path) {
  FileStamp stamp;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return stamp;
  stamp.exists = true;
  stamp.device = static_cast<uint64_t>(st.st_dev);
  stamp.inode = static_cast<uint64_t>(st.st_ino);
  stamp.size = static_cast<uint64_t>(st.st_size);
  stamp.modifiedSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
  stamp.modifiedNanoseconds = static_cast<int64_t>(st.st_mtim.tv_nsec);
  return stamp;
}

bool SameFile(const std::string& a, const std::string& b) {
  auto ra = ResolveWriteTarget(a), rb = ResolveWriteTarget(b);
  if (!ra || !rb) return false;
  if (AbsolutePath(*ra) == AbsolutePath(*rb)) return true;
  struct stat sa {}, sb {};
  return ::stat(ra->c_str(), &sa) == 0 && ::stat(rb->c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// ----- writing ----------------------------------------------------------------------

std::optional<std::string> ResolveWriteTarget(const std::string& path, std::string* error) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  // A link is written through to its file, so it stays a link. One that
  // leads nowhere would be replaced by a plain file: refused.
  auto fail = [&](const std::string& why) -> std::optional<std::string> {
    if (error) *error = why;
    return std::nullopt;
  };
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return fail("Broken symbolic link");
    return fail(ErrorText(errno));
  }
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return fail(ErrorText(errno));
  std::string target = resolved;
  std::free(resolved);
  return target;
}

std::optional<WriteFailure> WriteFilesTogether(std::span<const FileToWrite> files, const WriteOptions& options) {
  std::vector<Pending> pending(files.size());
  std::vector<std::unique_ptr<Folder>> folders;
  auto fail = [&](size_t i, std::string text) -> std::optional<WriteFailure> {
    CleanUp(pending);
    return WriteFailure{files[i].path, std::move(text)};
  };
  for (size_t i = 0; i < files.size(); ++i) {
    Pending& p = pending[i];
    p.bytes = files[i].bytes;
    p.produce = &files[i].produce;
    if (files[i].path.empty()) return fail(i, ErrorText(ENOENT));
    if (options.followLinks) {
      std::string error;
      auto target = ResolveWriteTarget(files[i].path, &error);
      if (!target) return fail(i, error);
      p.target = *target;
    } else {
      p.target = files[i].path;
    }
    if (auto refused = CheckTarget(p, options)) return fail(i, *refused);
    for (size_t j = 0; j < i; ++j) {
      if (pending[j].target == p.target) return fail(i, "The same file is named twice");
    }
    const std::string folder = FolderOf(p.target);
    auto same = std::find_if(folders.begin(), folders.end(), [&](const auto& f) { return f->path() == folder; });
    if (same == folders.end()) {
      folders.push_back(std::make_unique<Folder>(folder));
      same = folders.end() - 1;
    }
    p.folder = same->get();
  }

  // Every temporary complete and on the disk before anything is replaced.
  for (size_t i = 0; i < pending.size(); ++i) {
    if (int err = WriteTemporary(pending[i], options)) return fail(i, ErrorText(err));
  }

  // The renames under the folders' locks, taken in one order by every writer.
  std::sort(folders.begin(), folders.end(), [](const auto& a, const auto& b) { return a->path() < b->path(); });
  for (auto& folder : folders) {
    if (!folder->Lock()) {
      for (auto& f : folders) f->Unlock();
      return fail(0, ErrorText(EWOULDBLOCK));
    }
  }
  for (size_t i = 0; i < pending.size(); ++i) {
    Pending& p = pending[i];
    int err = InjectedFileFailure::At(FileStep::Rename);
    // Should a later rename fail, the files replaced before it come back
    // from a second name kept for them meanwhile.
    if (!err && p.existed && i + 1 < pending.size()) {
      std::string spare = SpareName(p.target);
      if (!spare.empty() && ::link(p.target.c_str(), spare.c_str()) == 0) p.backup = spare;
    }
    if (!err && ::rename(p.temporary.c_str(), p.target.c_str()) != 0) err = errno;
    if (err) {
      UndoRenames(pending);
      for (auto& f : folders) f->Unlock();
      return fail(i, ErrorText(err));
    }
    p.renamed = true;
    p.temporary.clear();  // it is the target now
  }
  int flushError = 0;
  if (options.flush) {
    for (auto& folder : folders) {
      if (int err = folder->Flush(); err && !flushError) flushError = err;
    }
  }
  CleanUp(pending);
  for (auto& f : folders) f->Unlock();
  if (flushError) {
    // The files are in place, but perhaps not yet on the disk: said, so the
    // work is not taken for safe.
    return WriteFailure{files.back().path, ErrorText(flushError)};
  }
  return std::nullopt;
}

std::optional<std::string> WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                                               const WriteOptions& options) {
  const FileToWrite file{path, bytes};
  if (auto failure = WriteFilesTogether(std::span<const FileToWrite>(&file, 1), options)) return failure->text;
  return std::nullopt;
}

std::optional<std::string> WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                                               bool flush) {
  WriteOptions options;
  options.flush = flush;
  return WriteFileAtomically(path, bytes, options);
}

int RemoveDeadTemporaries(const std::string& target) {
  Folder folder(FolderOf(target));
  if (!folder.Lock() || !folder.locked()) return 0;
  return folder.Sweep(NameOf(target));
}

std::optional<std::string> TemporaryTarget(const std::string& path) {
  const std::string name = NameOf(path);
  const std::string mark = kTemporaryMark;
  if (name.size() < 1 + mark.size() + kRandomPart || name[0] != '.') return std::nullopt;
  const size_t at = name.size() - kRandomPart - mark.size();
  if (name.compare(at, mark.size(), mark) != 0) return std::nullopt;
  std::string target = name.substr(1, at - 1);
  if (target.empty() || !IsTemporaryOf(name, TemporaryPrefix(target))) return std::nullopt;
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
}

}  // namespace qshe
