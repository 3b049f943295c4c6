#include "app/recovery.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <utility>
#include <vector>

#include "document/file_io.h"
#include "platform/messages.h"

namespace qshe {
namespace {

// Longer than a day would overflow nothing, but helps no one either.
constexpr int kLongestInterval = 24 * 60 * 60;

bool Unsaved(const Editor& e) { return e.doc.state.modified == kModified; }

// Tells a failed write once: a full disk should not bring a box every half
// minute.
void Report(Editor& e, RecoveryWrite result, const std::string& error, bool tell) {
  if (result == RecoveryWrite::Failed && tell && !e.recovery.reportedFailure) {
    e.recovery.reportedFailure = true;
    platform::ShowError(e.ui().boxes, "Could not write the recovery copy " + e.recovery.CopyPath() + ": " +
                                          error + ". Unsaved changes are not kept safe from a crash until "
                                                  "it can be written.");
  } else if (result == RecoveryWrite::Written) {
    e.recovery.reportedFailure = false;
  }
}

// Writes the copy: at once (`now`), or from a snapshot on a worker thread
// while the editing goes on.
void WriteNow(Editor& e, bool tell = true, bool now = true) {
  std::string error;
  // Floating pixels are work too: the copy has them where they float, and
  // the canvas and the selection stay as they are.
  const Canvas* canvas = &e.canvas;
  std::unique_ptr<Canvas> withSelection;
  if (IsFloating(e.selection)) {
    withSelection = std::make_unique<Canvas>(e.canvas);
    StampSelection(e.selection, *withSelection);
    canvas = withSelection.get();
  }
  const bool edited = e.window.canvasChanged == 1 || withSelection;
  const auto time = static_cast<int64_t>(std::time(nullptr));
  RecoveryWrite result = now ? WriteRecoveryCopy(e.recovery, e.doc, *canvas, edited, time, &error)
                             : StartRecoveryCopy(e.recovery, e.doc, *canvas, edited, time, &error);
  Report(e, result, error, tell);
  if (result == RecoveryWrite::Started) {
    e.desktop.control.StartTimer(kRecoveryDoneTimer, kRecoveryDoneMilliseconds);
  }
}

// Sets a copy that cannot be used aside and notes it for the report.
void PutAside(Editor& e, OrphanedCopy& orphan, const std::string& why, std::vector<UnusableEntry>& unusable) {
  UnusableEntry entry{orphan.path, why, std::nullopt, {}};
  entry.movedTo = DiscardOrphanedCopy(e.recovery, orphan, &entry.moveError);
  unusable.push_back(std::move(entry));
}

// Asks about one copy; true when it was restored.
bool OfferCopy(Editor& e, OrphanedCopy& orphan, std::vector<UnusableEntry>& unusable) {
  platform::Platform& ui = e.ui();
  std::string error;
  std::optional<RecoveryCopy> copy = ReadRecoveryCopy(orphan.path, &error);
  if (!copy) {
    PutAside(e, orphan, error, unusable);
    return false;
  }
  const std::string& name = copy->info.documentPath;
  std::string question = "QSH Editor was closed without saving " + (name.empty() ? "a new document" : name) +
                         ". Restore the changes it had on " + RecoveryTimeText(copy->info.writtenAt) + "?";
  if (!platform::AskYesNo(ui.boxes, question)) {
    std::string moveError;
    if (!DiscardOrphanedCopy(e.recovery, orphan, &moveError)) {
      unusable.push_back({orphan.path, "it was not restored", std::nullopt, moveError});
    }
    return false;
  }
  if (!RestoreRecoveryCopy(e.doc, e.canvas, ui, *copy, &error)) {
    PutAside(e, orphan, error, unusable);
    return false;
  }
  copy.reset();
  e.window.canvasChanged = 0;
  // A history of its own, and no state of it is the file's.
  ResetHistory(e.history, e.canvas, false);
  // The work is this editor's now: its own copy is on disk before the
  // old one goes, so a crash right now still loses nothing.
  if (e.recovery.seconds > 0) WriteNow(e);
  if (e.recovery.haveCopy || e.recovery.seconds == 0) RemoveOrphanedCopy(e.recovery, orphan);
  return true;
}

std::string FileName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One message for every entry that could not be used, however many: a
// folder full of junk must not bring a box per entry.
void ReportUnusable(Editor& e, const std::vector<UnusableEntry>& unusable) {
  if (unusable.empty()) return;
  auto whereNow = [](const UnusableEntry& u) {
    return u.movedTo ? "It was moved to " + *u.movedTo + "."
                     : "It could not be moved aside either: " + u.moveError + ".";
  };
  if (unusable.size() == 1) {
    const UnusableEntry& u = unusable.front();
    platform::ShowError(e.ui().boxes,
                        "The recovery copy " + u.path + " could not be restored: " + u.why + ". " + whereNow(u));
    return;
  }
  constexpr size_t kListed = 10;
  std::string text = std::to_string(unusable.size()) + " entries of the recovery folder " + e.recovery.folder +
                     " could not be restored:";
  bool allMoved = true;
  for (size_t i = 0; i < unusable.size(); ++i) {
    const UnusableEntry& u = unusable[i];
    allMoved = allMoved && u.movedTo;
    if (i < kListed) {
      text.append("\n").append(FileName(u.path)).append(": ").append(u.why);
      if (!u.movedTo) text.append(" (not moved: ").append(u.moveError).append(")");
    }
  }
  if (unusable.size() > kListed) text += "\n... and " + std::to_string(unusable.size() - kListed) + " more.";
  text += allMoved ? "\nThey were moved to " : "\nThe others were moved to ";
  text += e.recovery.folder + "/" + kDiscardedFolder + "/.";
  platform::ShowError(e.ui().boxes, text);
}

}  // namespace

int RecoverySeconds(int fallback) {
  const char* text = std::getenv(kRecoverySecondsVariable);
  if (!text || !*text) return fallback;
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || value < 0) return fallback;
  return static_cast<int>(value > kLongestInterval ? kLongestInterval : value);
}

std::string RecoveryTimeText(int64_t secondsSinceEpoch) {
  auto t = static_cast<std::time_t>(secondsSinceEpoch);
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return "an unknown date";
  char rest[64];
  std::strftime(rest, sizeof rest, " %B %Y, %H:%M", &tm);
  return std::to_string(tm.tm_mday) + rest;
}

void StartRecovery(Editor& e) {
  if (e.recovery.folder.empty()) return;
  e.recovery.seconds = RecoverySeconds(e.recovery.seconds);
  std::string error;
  if (!OpenRecoveryJournal(e.recovery, &error)) {
    platform::ShowError(e.ui().boxes, "Could not use the recovery folder " + e.recovery.folder + ": " + error +
                                          ". Unsaved changes are not kept safe from a crash.");
    return;
  }
  std::vector<UnusableEntry> unusable = SweepRecoveryFolder(e.recovery);
  // Newest first; once one is restored the others wait for a later start.
  std::vector<OrphanedCopy> orphans = FindOrphanedCopies(e.recovery);
  for (OrphanedCopy& orphan : orphans) {
    if (OfferCopy(e, orphan, unusable)) break;
  }
  ReportUnusable(e, unusable);
  if (e.recovery.seconds > 0) e.desktop.control.StartTimer(kRecoveryTimer, e.recovery.seconds * 1000);
}

void UpdateRecoveryCopy(Editor& e) {
  if (!e.recovery.open() || e.recovery.seconds == 0) return;
  if (!Unsaved(e)) {
    RemoveRecoveryCopy(e.recovery);
    return;
  }
  if (e.tools.dragTool != -1) return;
  WriteNow(e, true, false);
}

void OnFocusLost(Editor& e) { UpdateRecoveryCopy(e); }

void CollectRecoveryCopy(Editor& e, bool wait) {
  while (e.recovery.worker) {
    std::string error;
    const RecoveryWrite result = FinishRecoveryCopy(e.recovery, wait, &error);
    if (result == RecoveryWrite::Busy) break;
    Report(e, result, error, true);
    // A tick or a lost focus that came while this copy was being written
    // found the worker busy: made up for now (nothing happens when nothing
    // changed since the snapshot). A failed write waits for the next tick.
    if (result == RecoveryWrite::Written && Unsaved(e) && e.tools.dragTool == -1) WriteNow(e, true, false);
    if (!wait) break;
  }
  if (!e.recovery.worker) e.desktop.control.StopTimer(kRecoveryDoneTimer);
}

void RecoveryAfterCommand(Editor& e) {
  if (!Unsaved(e)) RemoveRecoveryCopy(e.recovery);
}

void DiscardRecovery(Editor& e) { RemoveRecoveryCopy(e.recovery); }

bool WriteRecoveryBeforeEnd(Editor& e) {
  if (!Unsaved(e) && e.window.canvasChanged != 1) return true;
  if (!e.recovery.open() || e.recovery.seconds == 0) return false;
  // No box: nobody may be there to answer it while the process ends.
  WriteNow(e, false);
  return e.recovery.haveCopy;
}

}  // namespace qshe
