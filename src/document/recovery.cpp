#include "document/recovery.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "document/document_commands.h"
#include "document/file_io.h"
#include "document/object_file.h"
#include "document/shape_file.h"

namespace qshe {
namespace {

namespace fs = std::filesystem;

constexpr uint8_t kMagic[8] = {'Q', 'S', 'H', 'E', 'R', 'C', 'V', '1'};
constexpr size_t kFixedHeader = 28;  // magic, pid, time, current, flags

// A fast 64-bit hash, eight bytes at a time: it tells a damaged copy,
// nothing more. Taken in pieces, so that a copy is hashed as it is written.
class StreamHash {
 public:
  explicit StreamHash(uint64_t seed = 0xcbf29ce484222325ULL) : h_(seed) {}
  void Add(std::span<const uint8_t> bytes) {
    total_ += bytes.size();
    while (!bytes.empty()) {
      if (pending_ > 0 || bytes.size() < 8) {
        const size_t take = std::min(bytes.size(), 8 - pending_);
        std::memcpy(part_ + pending_, bytes.data(), take);
        pending_ += take;
        bytes = bytes.subspan(take);
        if (pending_ == 8) {
          Mix(part_);
          pending_ = 0;
        }
        continue;
      }
      const size_t whole = bytes.size() & ~size_t{7};
      for (size_t i = 0; i < whole; i += 8) Mix(bytes.data() + i);
      bytes = bytes.subspan(whole);
    }
  }
  uint64_t Finish() const {
    uint64_t h = h_;
    for (size_t i = 0; i < pending_; ++i) h = (h ^ part_[i]) * kPrime;
    return h ^ (total_ * kPrime);
  }

 private:
  static constexpr uint64_t kPrime = 0x100000001b3ULL;
  void Mix(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    h_ = (h_ ^ word) * kPrime;
    h_ ^= h_ >> 29;
  }
  uint64_t h_;
  uint64_t total_ = 0;
  uint8_t part_[8] = {};
  size_t pending_ = 0;
};

uint64_t Hash(std::span<const uint8_t> bytes, uint64_t h = 0xcbf29ce484222325ULL) {
  StreamHash hash(h);
  hash.Add(bytes);
  return hash.Finish();
}

// Passes bytes on and hashes them on the way.
class HashingSink : public ByteSink {
 public:
  explicit HashingSink(ByteSink& out) : out_(out) {}
  bool Write(std::span<const uint8_t> bytes) override {
    hash_.Add(bytes);
    return out_.Write(bytes);
  }
  using ByteSink::Write;
  uint64_t Finish() const { return hash_.Finish(); }

 private:
  ByteSink& out_;
  StreamHash hash_;
};

void Put(std::vector<uint8_t>& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint64_t Get(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint64_t{p[i]} << (8 * i);
  return v;
}

void PutBlock(std::vector<uint8_t>& out, std::span<const uint8_t> block) {
  Put(out, block.size(), 4);
  out.insert(out.end(), block.begin(), block.end());
}

// Reads a length-prefixed block at `at`; false when it runs past `end`.
bool GetBlock(std::span<const uint8_t> bytes, size_t& at, size_t end, std::vector<uint8_t>& block) {
  if (end - at < 4) return false;
  size_t length = static_cast<size_t>(Get(bytes.data() + at, 4));
  at += 4;
  if (end - at < length) return false;
  block.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
               bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
  at += length;
  return true;
}

// Bytes 8..19 hold the writer's pid and the time. The checksum is the hash
// of those over the hash of everything after them, so the inner hash alone
// tells whether a document differs from the one last written.
constexpr size_t kStampEnd = 20;

uint64_t Checksum(std::span<const uint8_t> bytes, uint64_t* body) {
  uint64_t inner = Hash(bytes.subspan(kStampEnd));
  if (body) *body = inner;
  return Hash(bytes.first(kStampEnd), inner);
}

std::vector<uint8_t> Encode(const RecoveryCopy& copy, uint64_t* body) {
  std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
  out.reserve(kFixedHeader + 20 + copy.info.documentPath.size() + copy.shapeFile.size() +
              copy.objectFile.size());
  Put(out, copy.info.pid, 4);
  Put(out, static_cast<uint64_t>(copy.info.writtenAt), 8);
  Put(out, static_cast<uint32_t>(copy.info.current), 4);
  Put(out, static_cast<uint8_t>(copy.info.qs2Flag), 1);
  Put(out, static_cast<uint8_t>(copy.info.qbjFlag), 1);
  Put(out, 0, 2);
  const std::string& p = copy.info.documentPath;
  PutBlock(out, {reinterpret_cast<const uint8_t*>(p.data()), p.size()});
  PutBlock(out, copy.shapeFile);
  PutBlock(out, copy.objectFile);
  Put(out, Checksum(out, body), 8);
  return out;
}

std::string ErrorText(int err) { return std::strerror(err); }

// "1234.qshr" -> 1234 (or "1234.lock" with that extension); 0 for any other name.
uint32_t PidOfCopyName(const std::string& name, const std::string& ext = kRecoveryExtension) {
  if (name.size() <= ext.size() || name.compare(name.size() - ext.size(), ext.size(), ext) != 0) return 0;
  std::string digits = name.substr(0, name.size() - ext.size());
  if (digits.empty() || digits.size() > 9 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return 0;
  }
  return static_cast<uint32_t>(std::stoul(digits));
}

// The names in a folder, without following anything.
std::vector<std::string> EntriesOf(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

// Why a folder must not hold copies of unsaved work, or nothing when it may.
std::optional<std::string> UnsafeFolder(const struct stat& st) {
  if (!S_ISDIR(st.st_mode)) return std::string("it is not a folder");
  if (st.st_uid != ::geteuid()) return std::string("it belongs to another user");
  if (st.st_mode & (S_IWGRP | S_IWOTH)) return std::string("other users may write in it");
  return std::nullopt;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return (fs::path(folder) / name).string();
}

}  // namespace

uint64_t MaxRecoveryCopyBytes() {
  return kFixedHeader + 4 + kMaxRecoveryPathBytes + 4 + kMaxShapeFileBytes + 4 + kMaxObjectFileBytes + 8;
}

// ----- the copy's bytes ----------------------------------------------------------

std::vector<uint8_t> EncodeRecoveryCopy(const RecoveryCopy& copy) { return Encode(copy, nullptr); }

std::optional<RecoveryCopy> DecodeRecoveryCopy(std::span<const uint8_t> bytes, std::string* error) {
  auto fail = [&](const char* why) -> std::optional<RecoveryCopy> {
    if (error) *error = why;
    return std::nullopt;
  };
  if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    return fail("it is not a recovery copy");
  }
  if (bytes.size() < kFixedHeader + 8) return fail("it is cut short");
  const size_t end = bytes.size() - 8;
  if (Checksum(bytes.first(end), nullptr) != Get(bytes.data() + end, 8)) return fail("its contents are damaged");

  RecoveryCopy copy;
  const uint8_t* p = bytes.data();
  copy.info.pid = static_cast<uint32_t>(Get(p + 8, 4));
  copy.info.writtenAt = static_cast<int64_t>(Get(p + 12, 8));
  copy.info.current = static_cast<int32_t>(static_cast<uint32_t>(Get(p + 20, 4)));
  copy.info.qs2Flag = p[24] ? 1 : 0;
  copy.info.qbjFlag = p[25] ? 1 : 0;
  size_t at = kFixedHeader;
  std::vector<uint8_t> path;
  if (!GetBlock(bytes, at, end, path) || !GetBlock(bytes, at, end, copy.shapeFile) ||
      !GetBlock(bytes, at, end, copy.objectFile) || at != end) {
    return fail("its contents are damaged");
  }
  copy.info.documentPath.assign(path.begin(), path.end());
  return copy;
}

RecoveryCopy MakeRecoveryCopy(Document& doc, const Canvas& canvas, bool canvasEdited) {
  RecoveryCopy copy;
  copy.info.documentPath = doc.state.documentPath;
  copy.info.qs2Flag = doc.state.qs2Flag;
  copy.info.qbjFlag = doc.state.qbjFlag;
  copy.info.current = doc.list.current;
  // The shape file is made with the committed copy standing in the current
  // slot for a moment; the real shape goes back untouched.
  Shape committed;
  Shape* slot = nullptr;
  if (canvasEdited && doc.list.current >= 0 && doc.list.current < doc.list.count) {
    Shape& current = doc.list.Current();
    if (CopyShape(current, committed) && CommitCanvasToShape(canvas, committed)) {
      slot = &current;
      std::swap(*slot, committed);
    }
  }
  copy.shapeFile = EncodeShapeFile(doc.list.Document(), ShapeFileFormat::Qs2);
  copy.objectFile = EncodeObjectFile(doc.list.Document());
  if (slot) std::swap(*slot, committed);
  return copy;
}

namespace {

// The fields and the very pixel block of a shape.
Shape ShareShape(const Shape& from) {
  Shape to;
  to.width = from.width;
  to.height = from.height;
  SetFields(to, FieldsOf(from));
  to.pixels = from.pixels.Share();
  return to;
}

}  // namespace

RecoverySnapshot TakeRecoverySnapshot(const Document& doc, const Canvas& canvas, bool canvasEdited) {
  RecoverySnapshot snapshot;
  snapshot.info.documentPath = doc.state.documentPath;
  snapshot.info.qs2Flag = doc.state.qs2Flag;
  snapshot.info.qbjFlag = doc.state.qbjFlag;
  snapshot.info.current = doc.list.current;
  const int32_t count = std::clamp(doc.list.count, 0, kShapeListCapacity);
  snapshot.shapes.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) snapshot.shapes.push_back(ShareShape(doc.list.slots[static_cast<size_t>(i)]));
  if (canvasEdited && doc.list.current >= 0 && doc.list.current < count) {
    Shape& slot = snapshot.shapes[static_cast<size_t>(doc.list.current)];
    Shape committed;
    SetFields(committed, FieldsOf(slot));
    // Without the memory for it the copy keeps the shape as last committed.
    if (CommitCanvasToShape(canvas, committed)) slot = std::move(committed);
  }
  return snapshot;
}

bool WriteRecoverySnapshotTo(const RecoverySnapshot& snapshot, ByteSink& out) {
  const RecoveryInfo& info = snapshot.info;
  std::vector<uint8_t> stamp(kMagic, kMagic + sizeof kMagic);
  Put(stamp, info.pid, 4);
  Put(stamp, static_cast<uint64_t>(info.writtenAt), 8);
  if (!out.Write(stamp)) return false;
  // Everything after the stamp is hashed on its way; the checksum is the
  // hash of the stamp over that.
  HashingSink body(out);
  std::vector<uint8_t> head;
  Put(head, static_cast<uint32_t>(info.current), 4);
  Put(head, static_cast<uint8_t>(info.qs2Flag), 1);
  Put(head, static_cast<uint8_t>(info.qbjFlag), 1);
  Put(head, 0, 2);
  const std::string& p = info.documentPath;
  PutBlock(head, {reinterpret_cast<const uint8_t*>(p.data()), p.size()});
  Put(head, ShapeFileSize(snapshot.shapes, ShapeFileFormat::Qs2), 4);
  if (!body.Write(head)) return false;
  if (!WriteShapeFileTo(snapshot.shapes, ShapeFileFormat::Qs2, body)) return false;
  std::vector<uint8_t> tail;
  PutBlock(tail, EncodeObjectFile(snapshot.shapes));
  if (!body.Write(tail)) return false;
  std::vector<uint8_t> checksum;
  Put(checksum, Hash(stamp, body.Finish()), 8);
  return out.Write(checksum);
}

RecoveryKey RecoveryKeyOf(const Document& doc, const Canvas& canvas, bool canvasEdited) {
  RecoveryKey key;
  key.changeCount = doc.changeCount;
  key.current = doc.list.current;
  key.canvasEdited = canvasEdited;
  // One canvas, and only while it holds painting not yet committed.
  if (canvasEdited) key.picture = Hash(canvas.pixels);
  return key;
}

bool RestoreRecoveryCopy(Document& doc, Canvas& canvas, platform::Platform& ui, const RecoveryCopy& copy,
                         std::string* error) {
  // Decoded aside first, so a copy that turns out damaged changes nothing.
  std::vector<Shape> table(kShapeListCapacity);
  LoadResult r = DecodeShapeFile(copy.shapeFile, table);
  if (r.status != LoadStatus::Ok || r.format != ShapeFileFormat::Qs2) {
    if (error) *error = r.detail.empty() ? "its shapes are damaged" : r.detail;
    return false;
  }
  ResetDocument(doc);
  for (int32_t i = 0; i < r.count; ++i) std::swap(doc.list.slots[static_cast<size_t>(i)], table[static_cast<size_t>(i)]);
  doc.list.count = r.count;
  DecodeObjectFile(copy.objectFile, doc.list.Document());
  const std::string& name = copy.info.documentPath;
  doc.state.documentPath = !name.empty() && name[0] == '/' ? name : std::string();
  // What the file was when the copy was made is not known; from here on
  // a change by another program is asked about.
  if (!doc.state.documentPath.empty()) StampDocumentFiles(doc, doc.state.documentPath);
  doc.state.qs2Flag = copy.info.qs2Flag;
  doc.state.qbjFlag = copy.info.qbjFlag;
  int32_t current = r.count > 0 ? std::clamp(copy.info.current, 0, r.count - 1) : 0;
  ShowShape(doc, canvas, current, false, 0);
  ShowDocumentTitle(doc, ui, doc.state.documentPath.empty() ? "new" : doc.state.documentPath);
  MarkModified(doc);
  CallHook(doc.hooks.refreshShapeViews);
  return true;
}

// ----- locks -----------------------------------------------------------------------

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

bool FileLock::Acquire(const std::string& path) {
  Release();
  // A lock file removed by the editor that held it, between our open and our
  // lock, is taken again under its name; never one locked under no name.
  for (int attempt = 0; attempt < 3; ++attempt) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    struct stat held {}, named {};
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool same = ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
                      held.st_dev == named.st_dev && held.st_ino == named.st_ino;
    if (locked && same) {
      fd_ = fd;
      path_ = path;
      return true;
    }
    ::close(fd);
    if (!locked && same) return false;  // someone holds it
    ::usleep(10000);
  }
  return false;
}

void FileLock::Release(bool remove) {
  if (fd_ < 0) return;
  if (remove) ::unlink(path_.c_str());
  ::close(fd_);
  fd_ = -1;
  path_.clear();
}

// ----- the journal -------------------------------------------------------------------

std::string RecoveryCopyPath(const std::string& folder, uint32_t pid) {
  return (fs::path(folder) / (std::to_string(pid) + kRecoveryExtension)).string();
}

std::string RecoveryLockPath(const std::string& folder, uint32_t pid) {
  return (fs::path(folder) / (std::to_string(pid) + kRecoveryLockExtension)).string();
}

std::string RecoveryJournal::CopyPath() const { return RecoveryCopyPath(folder, pid); }

bool OpenRecoveryJournal(RecoveryJournal& journal, std::string* error) {
  if (journal.folder.empty()) {
    if (error) *error = ErrorText(ENOENT);
    return false;
  }
  if (journal.pid == 0) journal.pid = static_cast<uint32_t>(::getpid());
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  // The folders above it are the user's own data folders.
  const fs::path folder(journal.folder);
  std::error_code ec;
  if (folder.has_parent_path()) fs::create_directories(folder.parent_path(), ec);
  const bool made = ::mkdir(journal.folder.c_str(), 0700) == 0;
  if (!made && errno != EEXIST) return fail(ErrorText(errno));
  // Looked at through a descriptor that is the folder itself, never a link:
  // copies hold unsaved work, for this user's eyes only.
  struct stat named {};
  if (::lstat(journal.folder.c_str(), &named) != 0) return fail(ErrorText(errno));
  if (S_ISLNK(named.st_mode)) return fail("it is a symbolic link");
  if (!S_ISDIR(named.st_mode)) return fail("it is not a folder");
  int fd = ::open(journal.folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return fail(errno == ELOOP || errno == ENOTDIR ? "it is not a folder" : ErrorText(errno));
  struct stat st {};
  int statError = ::fstat(fd, &st) == 0 ? 0 : errno;
  if (!statError && (st.st_dev != named.st_dev || st.st_ino != named.st_ino)) statError = EAGAIN;
  // The umask may have taken bits from a folder just made; only that one
  // is ever given its mode.
  if (!statError && made && (st.st_mode & 07777) != 0700 && ::fchmod(fd, 0700) == 0) st.st_mode = S_IFDIR | 0700;
  ::close(fd);
  if (statError) return fail(ErrorText(statError));
  if (auto why = UnsafeFolder(st)) return fail(*why);
  if (!journal.lock.Acquire(RecoveryLockPath(journal.folder, journal.pid))) {
    return fail(ErrorText(errno ? errno : EAGAIN));
  }
  return true;
}

namespace {

WriteOptions CopyWriteOptions() {
  // Never through a link planted at the copy's name, and for no one else's eyes.
  WriteOptions options;
  options.followLinks = false;
  options.mode = 0600;
  return options;
}

std::optional<std::string> WriteSnapshotFile(const std::string& path, const RecoverySnapshot& snapshot) {
  const FileToWrite file{path, {}, [&snapshot](ByteSink& out) { return WriteRecoverySnapshotTo(snapshot, out); }};
  if (auto failure = WriteFilesTogether(std::span<const FileToWrite>(&file, 1), CopyWriteOptions())) {
    return failure->text;
  }
  return std::nullopt;
}

RecoveryWrite NotOpen(std::string* error) {
  if (error) *error = ErrorText(ENOENT);
  return RecoveryWrite::Failed;
}

}  // namespace

RecoveryWorker::RecoveryWorker(std::string path, RecoverySnapshot snapshot) : snapshot_(std::move(snapshot)) {
  thread_ = std::thread([this, path = std::move(path)] {
    failure_ = WriteSnapshotFile(path, snapshot_);
    done_.store(true, std::memory_order_release);
  });
}

RecoveryWorker::~RecoveryWorker() {
  if (thread_.joinable()) thread_.join();
}

const std::optional<std::string>& RecoveryWorker::Wait() {
  if (thread_.joinable()) thread_.join();
  return failure_;
}

RecoveryWrite FinishRecoveryCopy(RecoveryJournal& journal, bool wait, std::string* error) {
  if (!journal.worker) return RecoveryWrite::Unchanged;
  if (!wait && !journal.worker->finished()) return RecoveryWrite::Busy;
  const std::optional<std::string> failure = journal.worker->Wait();
  journal.worker.reset();
  if (failure) {
    if (error) *error = *failure;
    return RecoveryWrite::Failed;
  }
  journal.haveCopy = true;
  journal.writtenKey = journal.workerKey;
  return RecoveryWrite::Written;
}

RecoveryWrite WriteRecoveryCopy(RecoveryJournal& journal, RecoveryCopy copy, std::string* error) {
  if (!journal.open()) return NotOpen(error);
  FinishRecoveryCopy(journal, true, nullptr);
  copy.info.pid = journal.pid;
  std::vector<uint8_t> bytes = Encode(copy, nullptr);
  if (auto failure = WriteFileAtomically(journal.CopyPath(), bytes, CopyWriteOptions())) {
    if (error) *error = *failure;
    return RecoveryWrite::Failed;
  }
  journal.haveCopy = true;
  journal.writtenKey.reset();  // made elsewhere: what it holds is not known
  return RecoveryWrite::Written;
}

RecoveryWrite WriteRecoveryCopy(RecoveryJournal& journal, Document& doc, const Canvas& canvas,
                                bool canvasEdited, int64_t now, std::string* error) {
  if (!journal.open()) return NotOpen(error);
  // A copy on its way is let finish first: two writers of one copy would
  // only race for its name.
  FinishRecoveryCopy(journal, true, nullptr);
  const RecoveryKey key = RecoveryKeyOf(doc, canvas, canvasEdited);
  if (journal.haveCopy && journal.writtenKey == key) return RecoveryWrite::Unchanged;
  RecoverySnapshot snapshot = TakeRecoverySnapshot(doc, canvas, canvasEdited);
  snapshot.info.pid = journal.pid;
  snapshot.info.writtenAt = now;
  if (auto failure = WriteSnapshotFile(journal.CopyPath(), snapshot)) {
    if (error) *error = *failure;
    return RecoveryWrite::Failed;
  }
  journal.haveCopy = true;
  journal.writtenKey = key;
  return RecoveryWrite::Written;
}

RecoveryWrite StartRecoveryCopy(RecoveryJournal& journal, Document& doc, const Canvas& canvas,
                                bool canvasEdited, int64_t now, std::string* error) {
  if (!journal.open()) return NotOpen(error);
  const RecoveryWrite finished = FinishRecoveryCopy(journal, false, error);
  if (finished == RecoveryWrite::Busy || finished == RecoveryWrite::Failed) return finished;
  // Nothing is encoded or hashed to learn that nothing changed.
  const RecoveryKey key = RecoveryKeyOf(doc, canvas, canvasEdited);
  if (journal.haveCopy && journal.writtenKey == key) return RecoveryWrite::Unchanged;
  RecoverySnapshot snapshot = TakeRecoverySnapshot(doc, canvas, canvasEdited);
  snapshot.info.pid = journal.pid;
  snapshot.info.writtenAt = now;
  journal.workerKey = key;
  journal.worker = std::make_unique<RecoveryWorker>(journal.CopyPath(), std::move(snapshot));
  return RecoveryWrite::Started;
}

void RemoveRecoveryCopy(RecoveryJournal& journal) {
  // A copy still on its way would land after the removal.
  FinishRecoveryCopy(journal, true, nullptr);
  if (!journal.open() || !journal.haveCopy) return;
  ::unlink(journal.CopyPath().c_str());
  journal.haveCopy = false;
  journal.writtenKey.reset();
}

std::vector<UnusableEntry> SweepRecoveryFolder(const RecoveryJournal& journal) {
  std::vector<UnusableEntry> unusable;
  if (!journal.open()) return unusable;
  std::set<std::string> written;
  for (const std::string& name : EntriesOf(journal.folder)) {
    const std::string path = JoinPath(journal.folder, name);
    if (auto target = TemporaryTarget(path)) {
      written.insert(*target);
      continue;
    }
    const uint32_t copyPid = PidOfCopyName(name), lockPid = PidOfCopyName(name, kRecoveryLockExtension);
    if (copyPid == 0 && lockPid == 0) continue;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) continue;
    if (!S_ISREG(st.st_mode)) {
      UnusableEntry entry{path, "it is not a regular file", std::nullopt, {}};
      entry.movedTo = MoveToDiscarded(journal, path, &entry.moveError);
      unusable.push_back(std::move(entry));
      continue;
    }
    // A lock nobody holds whose editor left no copy: that editor is gone.
    struct stat copy {};
    if (lockPid == 0 || lockPid == journal.pid ||
        ::lstat(RecoveryCopyPath(journal.folder, lockPid).c_str(), &copy) == 0) {
      continue;
    }
    FileLock stale;
    if (stale.Acquire(path)) stale.Release(true);
  }
  for (const std::string& target : written) RemoveDeadTemporaries(target);
  return unusable;
}

std::optional<RecoveryCopy> ReadRecoveryCopy(const std::string& path, std::string* error) {
  ReadProblem problem;
  auto file = ReadWholeFile(path, MaxRecoveryCopyBytes(), &problem, false);
  if (!file) {
    if (error) {
      switch (problem.kind) {
        case ReadFailure::TooLarge:
          *error = "it is " + std::to_string(problem.size) + " bytes long, more than any recovery copy can be";
          break;
        case ReadFailure::NotRegularFile: *error = "it is not a regular file"; break;
        default: *error = problem.text;
      }
    }
    return std::nullopt;
  }
  return DecodeRecoveryCopy(file->bytes(), error);
}

std::vector<OrphanedCopy> FindOrphanedCopies(const RecoveryJournal& journal) {
  std::vector<OrphanedCopy> found;
  if (journal.folder.empty()) return found;
  for (const std::string& name : EntriesOf(journal.folder)) {
    uint32_t pid = PidOfCopyName(name);
    if (pid == 0) continue;
    OrphanedCopy orphan;
    orphan.path = JoinPath(journal.folder, name);
    orphan.pid = pid;
    struct stat first {};
    if (::lstat(orphan.path.c_str(), &first) != 0 || !S_ISREG(first.st_mode)) continue;
    if (pid == journal.pid) {
      if (journal.haveCopy) continue;
    } else if (!orphan.lock.Acquire(RecoveryLockPath(journal.folder, pid))) {
      continue;  // its editor is still running, or is dealing with it
    }
    // Looked at again under the lock: another editor starting at the same
    // time may have dealt with it meanwhile.
    struct stat st {};
    if (::lstat(orphan.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    orphan.modifiedAt = st.st_mtime;
    found.push_back(std::move(orphan));
  }
  std::sort(found.begin(), found.end(),
            [](const OrphanedCopy& a, const OrphanedCopy& b) { return a.modifiedAt > b.modifiedAt; });
  return found;
}

std::optional<std::string> MoveToDiscarded(const RecoveryJournal& journal, const std::string& path,
                                           std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<std::string> {
    if (error) *error = why;
    return std::nullopt;
  };
  const fs::path dir = fs::path(journal.folder) / kDiscardedFolder;
  const bool made = ::mkdir(dir.c_str(), 0700) == 0;
  if (!made && errno != EEXIST) return fail(ErrorText(errno));
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0) return fail(ErrorText(errno));
  if (auto why = UnsafeFolder(st)) return fail(dir.string() + ": " + *why);
  // A name not used yet in discarded/: the entry's own, then a number if
  // need be. Nothing is followed: a link moves as the link.
  const fs::path name = fs::path(path).filename();
  fs::path target = dir / name;
  struct stat there {};
  for (int n = 1; ::lstat(target.c_str(), &there) == 0 && n < 10000; ++n) {
    target = dir / (name.stem().string() + "-" + std::to_string(n) + name.extension().string());
  }
  if (::rename(path.c_str(), target.c_str()) != 0) return fail(ErrorText(errno));
  return target.string();
}

std::optional<std::string> DiscardOrphanedCopy(const RecoveryJournal& journal, OrphanedCopy& orphan,
                                               std::string* error) {
  std::optional<std::string> moved = MoveToDiscarded(journal, orphan.path, error);
  orphan.lock.Release(true);
  return moved;
}

void RemoveOrphanedCopy(const RecoveryJournal& journal, OrphanedCopy& orphan) {
  // The restored document's own copy may carry the same name.
  if (orphan.path != journal.CopyPath() || !journal.haveCopy) ::unlink(orphan.path.c_str());
  orphan.lock.Release(true);
}

}  // namespace qshe
