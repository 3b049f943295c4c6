// The one place that touches files: bounded whole-file reads, and writes that
// replace files only once every byte of them is safely on disk.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qshe {

// The error text for a path that names a directory, a device, a FIFO or a socket.
inline constexpr const char* kNotRegularFileText = "Not a regular file";

struct FileBytes {
  std::unique_ptr<uint8_t[]> data;
  size_t size = 0;
  std::span<const uint8_t> bytes() const { return {data.get(), size}; }
};

// Why a read gave nothing.
enum class ReadFailure {
  None,
  CannotOpen,      // missing, not permitted, or the read itself failed
  NotRegularFile,  // a directory, a device, a FIFO or a socket
  TooLarge,        // more bytes than the caller's bound
};

struct ReadProblem {
  ReadFailure kind = ReadFailure::None;
  std::string text;     // the system's text, or ours for the last two kinds
  uint64_t size = 0;    // TooLarge: the size seen (at least bound + 1)
};

// The whole file, when it is a regular file of at most `limit` bytes. The
// size is checked before anything is read, and reading stops past `limit`,
// so a file that is too large, or keeps growing, costs no more than that.
// Without `followLinks`, a link at the path is refused, never followed.
std::optional<FileBytes> ReadWholeFile(const std::string& path, uint64_t limit, ReadProblem* problem = nullptr,
                                       bool followLinks = true);

// Bytes taken in order, from memory or from a file.
class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // All bytes there are, counted from the start.
  virtual uint64_t size() const = 0;
  // Exactly n bytes, or false when the bytes end first or cannot be read.
  virtual bool Read(void* to, size_t n) = 0;
  virtual bool Skip(uint64_t n) = 0;
};

class SpanSource : public ByteStream {
 public:
  explicit SpanSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t size() const override { return bytes_.size(); }
  bool Read(void* to, size_t n) override;
  bool Skip(uint64_t n) override;

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

// A file read a piece at a time, for files too large to hold twice: the same
// checks as ReadWholeFile when opened, and a bounded buffer after that.
class FileReader : public ByteStream {
 public:
  FileReader() = default;
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // False, with the reason, for what ReadWholeFile would refuse.
  bool Open(const std::string& path, uint64_t limit, ReadProblem* problem = nullptr, bool followLinks = true);
  // The size the file had when opened.
  uint64_t size() const override { return size_; }
  // Bytes taken so far.
  uint64_t position() const { return position_; }
  // Exactly n bytes, or false at the end of the file or a failed read (the
  // system's text in error()).
  bool Read(void* to, size_t n) override;
  bool Skip(uint64_t n) override;
  const std::string& error() const { return error_; }

 private:
  bool Fill();
  int fd_ = -1;
  uint64_t size_ = 0;
  uint64_t position_ = 0;
  std::vector<uint8_t> buffer_;
  size_t at_ = 0, end_ = 0;
  std::string error_;
};

// At most `limit` bytes from the start of a regular file of any size.
std::optional<FileBytes> ReadFilePrefix(const std::string& path, size_t limit, ReadProblem* problem = nullptr);

// True when the path names a regular file that can be opened for reading.
bool FileExists(const std::string& path);

// The path from the root, as typed otherwise: links are kept, "." goes,
// ".." stays (it may cross a link). Unchanged when the working folder is unknown.
std::string AbsolutePath(const std::string& path);

// True when `text` ends in `suffix` (given in lower case), whatever the case
// of the letters in `text`: ".png" matches "A.PNG".
bool EndsWithNoCase(const std::string& text, const char* suffix);

// True when both names reach one file (through links or as hard links),
// also when it does not exist yet.
bool SameFile(const std::string& a, const std::string& b);

// Which file a name reaches, how long it is and when it was last written:
// enough to tell that another program changed or replaced it, without
// reading it. A missing file has a stamp too (exists false).
struct FileStamp {
  bool exists = false;
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modifiedSeconds = 0;
  int64_t modifiedNanoseconds = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// The stamp of the file a name reaches through its links.
FileStamp StampFile(const std::string& path);

// ----- writing -----------------------------------------------------------------

struct WriteOptions {
  // The file, and then its folder, are flushed to the disk before the write
  // counts as done.
  bool flush = true;
  // A link at the path is written through to the file it names; without,
  // the link itself is replaced and whatever it names is never touched.
  bool followLinks = true;
  // Permissions of the new file; by default those of the file it replaces,
  // or 0666 less the umask for a new one.
  std::optional<uint32_t> mode;
};

// Where the bytes of a file go as they are made.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False once a write failed; whatever comes after that is dropped.
  virtual bool Write(std::span<const uint8_t> bytes) = 0;
  bool Write(const void* data, size_t n) { return Write({static_cast<const uint8_t*>(data), n}); }
};

// A sink that keeps the bytes in memory.
class VectorSink : public ByteSink {
 public:
  explicit VectorSink(std::vector<uint8_t>& out) : out_(out) {}
  bool Write(std::span<const uint8_t> bytes) override {
    out_.insert(out_.end(), bytes.begin(), bytes.end());
    return true;
  }
  using ByteSink::Write;

 private:
  std::vector<uint8_t>& out_;
};

// Makes a file's bytes into a sink; false when it could not (a failed write
// is the sink's to tell).
using ByteProducer = std::function<bool(ByteSink&)>;

// A file to write: its bytes, or, for a file too large to be held in
// memory besides the document, what makes them while they are written.
struct FileToWrite {
  std::string path;
  std::span<const uint8_t> bytes;
  ByteProducer produce = {};
};

struct WriteFailure {
  std::string path;  // the file whose write failed
  std::string text;  // why, in the system's words where it has them
};

// Writes every file as one: each goes to a temporary beside its target, all
// of them completely and flushed before the first is renamed into place, and
// the renames happen under a lock on the folder, so two writers of the same
// files never mix their halves. On any failure no target changes and no
// temporary is left. Only a regular file its owner may write is ever
// replaced. A dangling link or a loop of links is refused.
std::optional<WriteFailure> WriteFilesTogether(std::span<const FileToWrite> files, const WriteOptions& options = {});

// One file the same way; the system's text for the error, or nothing.
std::optional<std::string> WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                                               const WriteOptions& options);
std::optional<std::string> WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                                               bool flush = true);

// Where a write of `path` lands: the file at the end of its links, which
// need not exist yet. Nothing, with the reason in `error`, for a dangling
// link or a loop.
std::optional<std::string> ResolveWriteTarget(const std::string& path, std::string* error = nullptr);

// Removes the temporaries that writers of `target` left behind when they were
// killed. A writer holds its temporary locked for as long as it lives, so one
// whose lock can be taken is dead; one a live writer holds is never touched.
// Returns how many were removed.
int RemoveDeadTemporaries(const std::string& target);

// The target a temporary of that name stands for ("/d/.a.qsh.qshe-Ab12Cd" ->
// "/d/a.qsh"), or nothing for any other name.
std::optional<std::string> TemporaryTarget(const std::string& path);

// ----- a seam for tests ------------------------------------------------------------

// The steps of a write where the system can fail.
enum class FileStep {
  Check,        // may the file there be replaced
  Create,       // the temporary
  Write,        // its bytes
  Flush,        // its bytes to the disk
  Rename,       // into place
  FlushFolder,  // the renames to the disk
};

// While one lives, the `nth` time (from 1) any write reaches `step` it fails
// with `error`, as if the system had said so; with an `action`, that runs
// first (and with `error` 0 the step then goes on). For tests: the failures
// that root, or a healthy disk, never meets.
class InjectedFileFailure {
 public:
  InjectedFileFailure(FileStep step, int error, int nth = 1, std::function<void()> action = {});
  ~InjectedFileFailure();
  InjectedFileFailure(const InjectedFileFailure&) = delete;
  InjectedFileFailure& operator=(const InjectedFileFailure&) = delete;
  bool happened() const { return happened_; }

  // Called by the file layer at each step: the error to fail with, or 0.
  static int At(FileStep step);

 private:
  FileStep step_;
  int error_;
  int remaining_;
  std::function<void()> action_;
  bool happened_ = false;
  InjectedFileFailure* previous_;
};

}  // namespace qshe
