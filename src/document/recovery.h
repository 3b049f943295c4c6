// The recovery journal: a copy of the unsaved document kept in a per-user
// folder, so a crash or a killed process loses nothing, and the search for
// copies left behind by editors that are no longer running.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/canvas.h"
#include "document/document.h"
#include "platform/platform.h"

namespace qshe {

inline constexpr const char* kRecoveryExtension = ".qshr";
inline constexpr const char* kRecoveryLockExtension = ".lock";
inline constexpr const char* kDiscardedFolder = "discarded";
inline constexpr int kDefaultRecoverySeconds = 30;

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

// Replaces the document by the copy: the original's name, its flags and
// shapes, the current shape on the canvas, marked modified. False (document
// untouched, reason in `error`) when the copy's shapes cannot be decoded.
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

// This process's side of the journal.
struct RecoveryJournal {
  std::string folder;  // empty: no journal
  int seconds = kDefaultRecoverySeconds;  // 0: no copies written
  uint32_t pid = 0;    // 0: this process's id, taken when opened
  FileLock lock;       // held while this editor runs
  bool haveCopy = false;       // a copy of this process is on disk
  uint64_t writtenHash = 0;    // content of that copy
  bool reportedFailure = false;  // a failed write was told once already

  RecoveryJournal() = default;
  RecoveryJournal(const RecoveryJournal&) = delete;
  RecoveryJournal& operator=(const RecoveryJournal&) = delete;
  // A journal that ends normally takes its lock file with it; its copy stays
  // unless it was removed.
  ~RecoveryJournal() { lock.Release(true); }

  bool open() const { return lock.held(); }
  std::string CopyPath() const;
};

std::string RecoveryCopyPath(const std::string& folder, uint32_t pid);
std::string RecoveryLockPath(const std::string& folder, uint32_t pid);

// Makes the folder and takes this process's lock. Reason in `error` on failure.
bool OpenRecoveryJournal(RecoveryJournal& journal, std::string* error);

enum class RecoveryWrite { Written, Unchanged, Failed };
// Writes this process's copy through the safe-save path unless the document
// is the same as in the copy already written.
RecoveryWrite WriteRecoveryCopy(RecoveryJournal& journal, Document& doc, const Canvas& canvas,
                                bool canvasEdited, int64_t now, std::string* error);
// Writes a copy already made.
RecoveryWrite WriteRecoveryCopy(RecoveryJournal& journal, RecoveryCopy copy, std::string* error);
void RemoveRecoveryCopy(RecoveryJournal& journal);

// A copy whose editor is gone. The lock of that editor is held while the
// copy is dealt with, so two editors starting at once never both offer it.
struct OrphanedCopy {
  std::string path;
  uint32_t pid = 0;
  int64_t modifiedAt = 0;
  FileLock lock;
};

// Copies in the folder whose editor no longer runs, newest first. This
// process's own name counts only while it has written nothing, as a copy
// of that name is then from an earlier process with the same id.
std::vector<OrphanedCopy> FindOrphanedCopies(const RecoveryJournal& journal);
// Moves a copy into the folder's discarded/ and lets its lock go. The new
// path, or nothing (reason in `error`).
std::optional<std::string> DiscardOrphanedCopy(const RecoveryJournal& journal, OrphanedCopy& orphan,
                                               std::string* error);
// Removes a copy that has been restored and lets its lock go.
void RemoveOrphanedCopy(const RecoveryJournal& journal, OrphanedCopy& orphan);

}  // namespace qshe
