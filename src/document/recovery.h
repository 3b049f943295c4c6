// The recovery journal: a copy of the unsaved document kept in a per-user
// folder, so a crash or a killed process loses nothing, and the search for
// copies left behind by editors that are no longer running.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "document/canvas.h"
#include "document/document.h"
#include "document/file_io.h"
#include "platform/platform.h"

namespace qshe {

inline constexpr const char* kRecoveryExtension = ".qshr";
inline constexpr const char* kRecoveryLockExtension = ".lock";
inline constexpr const char* kDiscardedFolder = "discarded";
inline constexpr int kDefaultRecoverySeconds = 30;

// The longest document name a copy carries.
inline constexpr size_t kMaxRecoveryPathBytes = 4096;
// The largest copy: its header, the longest name, and the largest shape and
// side files. A larger file in the folder is no copy and is not read.
uint64_t MaxRecoveryCopyBytes();

struct RecoveryInfo {
  uint32_t pid = 0;
  int64_t writtenAt = 0;  // seconds since the epoch
  std::string documentPath;  // empty for a new document
  int32_t qs2Flag = 0;
  int32_t qbjFlag = 0;
  int32_t current = 0;
};

// What a copy holds: the shapes as a QS2 file (which keeps every field,
// empty shapes and replacement numbers included) and the object properties
// as a QBJ file, whatever the document's own format.
struct RecoveryCopy {
  RecoveryInfo info;
  std::vector<uint8_t> shapeFile;
  std::vector<uint8_t> objectFile;
};

std::vector<uint8_t> EncodeRecoveryCopy(const RecoveryCopy& copy);
// Nothing, with the reason in `error`, for bytes that are not a whole,
// undamaged copy.
std::optional<RecoveryCopy> DecodeRecoveryCopy(std::span<const uint8_t> bytes, std::string* error);

// The document as a copy. With `canvasEdited`, the canvas is committed into a
// copy of the current shape; the document itself, the canvas and any
// floating selection are left exactly as they were.
RecoveryCopy MakeRecoveryCopy(Document& doc, const Canvas& canvas, bool canvasEdited);

// What a copy holds, taken on the GUI thread in a moment: the shapes share
// their pixel blocks with the document instead of copying them (a block
// the document then writes into is copied first, so the snapshot never
// sees a change, half-done or whole). The painting not yet committed is a
// shape of its own in the current slot.
struct RecoverySnapshot {
  RecoveryInfo info;
  std::vector<Shape> shapes;
};
RecoverySnapshot TakeRecoverySnapshot(const Document& doc, const Canvas& canvas, bool canvasEdited);
// The copy's bytes from a snapshot, as they are made: the same bytes
// EncodeRecoveryCopy gives for the same document. False when the sink failed.
bool WriteRecoverySnapshotTo(const RecoverySnapshot& snapshot, ByteSink& out);

// Whether the document may differ from the last copy, known without looking
// at its bytes: its change count, the shape shown, and the painting not yet
// committed (a hash of one canvas).
struct RecoveryKey {
  uint64_t changeCount = 0;
  int32_t current = 0;
  bool canvasEdited = false;
  uint64_t picture = 0;
  friend bool operator==(const RecoveryKey&, const RecoveryKey&) = default;
};
RecoveryKey RecoveryKeyOf(const Document& doc, const Canvas& canvas, bool canvasEdited);

// Replaces the document by the copy: the original's name, its flags and
// shapes, the current shape on the canvas, marked modified. A name not from
// the root (from an older editor) is not kept: it could name another file
// from wherever this editor runs. False (document untouched, reason in
// `error`) when the copy's shapes cannot be decoded.
bool RestoreRecoveryCopy(Document& doc, Canvas& canvas, platform::Platform& ui, const RecoveryCopy& copy,
                         std::string* error);

// An advisory lock held on a file for as long as the object lives; the
// system lets go of it when the process ends in any way.
class FileLock {
 public:
  FileLock() = default;
  ~FileLock() { Release(); }
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Creates the file if needed and takes the lock without waiting. False
  // when someone else holds it or the file cannot be made.
  bool Acquire(const std::string& path);
  // Lets go; with `remove`, the file goes first, while the lock is still held.
  void Release(bool remove = false);
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
  std::string path_;
};

// One copy on its way to the disk on a thread of its own.
class RecoveryWorker {
 public:
  RecoveryWorker(std::string path, RecoverySnapshot snapshot);
  ~RecoveryWorker();  // waits for the write
  RecoveryWorker(const RecoveryWorker&) = delete;
  RecoveryWorker& operator=(const RecoveryWorker&) = delete;
  bool finished() const { return done_.load(std::memory_order_acquire); }
  // Waits for the write; its error text, or nothing when it was written.
  const std::optional<std::string>& Wait();

 private:
  RecoverySnapshot snapshot_;
  std::optional<std::string> failure_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// This process's side of the journal. The folder is used only when it is a
// real directory (no link) owned by this user that no one else may write in.
struct RecoveryJournal {
  std::string folder;  // empty: no journal
  int seconds = kDefaultRecoverySeconds;  // 0: no copies written
  uint32_t pid = 0;    // 0: this process's id, taken when opened
  FileLock lock;       // held while this editor runs
  bool haveCopy = false;       // a copy of this process is on disk
  std::optional<RecoveryKey> writtenKey;  // what that copy holds, when known
  bool reportedFailure = false;  // a failed write was told once already
  // The copy being written, and what it holds.
  std::unique_ptr<RecoveryWorker> worker;
  RecoveryKey workerKey;

  RecoveryJournal() = default;
  RecoveryJournal(const RecoveryJournal&) = delete;
  RecoveryJournal& operator=(const RecoveryJournal&) = delete;
  // A journal that ends normally takes its lock file with it; its copy stays
  // unless it was removed.
  ~RecoveryJournal() {
    worker.reset();
    lock.Release(true);
  }

  bool open() const { return lock.held(); }
  std::string CopyPath() const;
};

std::string RecoveryCopyPath(const std::string& folder, uint32_t pid);
std::string RecoveryLockPath(const std::string& folder, uint32_t pid);

// Makes the folder (0700) or checks the one there, and takes this process's
// lock. Reason in `error` on failure; the mode of a folder this call did not
// make is never changed.
bool OpenRecoveryJournal(RecoveryJournal& journal, std::string* error);

// An entry of the folder that could not be used, already moved aside (or,
// when that failed, left where it was).
struct UnusableEntry {
  std::string path;   // where it was
  std::string why;
  std::optional<std::string> movedTo;
  std::string moveError;  // when not moved
};

// Tidies the folder at start: the temporaries of writers that were killed
// and the locks of editors that ended without taking them go; an entry named
// like a copy or a lock that is no regular file is moved to discarded/.
std::vector<UnusableEntry> SweepRecoveryFolder(const RecoveryJournal& journal);

enum class RecoveryWrite { Written, Unchanged, Failed, Started, Busy };
// Writes this process's copy through the safe-save path, here and now,
// unless the document has not changed since the copy already written.
RecoveryWrite WriteRecoveryCopy(RecoveryJournal& journal, Document& doc, const Canvas& canvas,
                                bool canvasEdited, int64_t now, std::string* error);
// Writes a copy already made.
RecoveryWrite WriteRecoveryCopy(RecoveryJournal& journal, RecoveryCopy copy, std::string* error);
// The same on a worker thread: Started when a snapshot went to a new
// worker, Unchanged when the copy written or on its way holds the document
// as it is, Busy while an earlier copy is still being written (the next
// tick tries again). A finished worker's result is taken first: Failed,
// with its reason, when that write failed.
RecoveryWrite StartRecoveryCopy(RecoveryJournal& journal, Document& doc, const Canvas& canvas,
                                bool canvasEdited, int64_t now, std::string* error);
// Takes the result of a finished worker (waiting for it with `wait`):
// Written, Failed with the reason, or Unchanged when there was none.
RecoveryWrite FinishRecoveryCopy(RecoveryJournal& journal, bool wait, std::string* error);
// Waits for any write on its way, then removes the copy.
void RemoveRecoveryCopy(RecoveryJournal& journal);

// A copy whose editor is gone. The lock of that editor is held while the
// copy is dealt with, so two editors starting at once never both offer it.
struct OrphanedCopy {
  std::string path;
  uint32_t pid = 0;
  int64_t modifiedAt = 0;
  FileLock lock;
};

// Copies in the folder whose editor no longer runs, newest first: regular
// files only, never followed through a link. This process's own name counts
// only while it has written nothing, as a copy of that name is then from an
// earlier process with the same id.
std::vector<OrphanedCopy> FindOrphanedCopies(const RecoveryJournal& journal);
// Reads a copy without following a link and decodes it; nothing, with the
// reason, for a file that is too large, damaged or no copy at all.
std::optional<RecoveryCopy> ReadRecoveryCopy(const std::string& path, std::string* error);
// Moves a copy into the folder's discarded/ and lets its lock go. The new
// path, or nothing (reason in `error`).
std::optional<std::string> DiscardOrphanedCopy(const RecoveryJournal& journal, OrphanedCopy& orphan,
                                               std::string* error);
// Moves any entry of the folder into discarded/ (a link as the link itself).
std::optional<std::string> MoveToDiscarded(const RecoveryJournal& journal, const std::string& path,
                                           std::string* error);
// Removes a copy that has been restored and lets its lock go.
void RemoveOrphanedCopy(const RecoveryJournal& journal, OrphanedCopy& orphan);

}  // namespace qshe
