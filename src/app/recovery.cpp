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

void WriteNow(Editor& e) {
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
  RecoveryWrite result = WriteRecoveryCopy(e.recovery, e.doc, *canvas, e.window.canvasChanged == 1 || withSelection,
                                           static_cast<int64_t>(std::time(nullptr)), &error);
  if (result == RecoveryWrite::Failed && !e.recovery.reportedFailure) {
    // Said once: a full disk should not bring a box every half minute.
    e.recovery.reportedFailure = true;
    platform::ShowError(e.ui().boxes, "Could not write the recovery copy " + e.recovery.CopyPath() + ": " +
                                          error + ". Unsaved changes are not kept safe from a crash until "
                                                  "it can be written.");
  } else if (result != RecoveryWrite::Failed) {
    e.recovery.reportedFailure = false;
  }
}

// Asks about one copy; true when it was restored.
bool OfferCopy(Editor& e, OrphanedCopy& orphan) {
  platform::Platform& ui = e.ui();
  std::string error;
  std::optional<RecoveryCopy> copy;
  if (auto file = ReadWholeFile(orphan.path, &error)) copy = DecodeRecoveryCopy(file->bytes(), &error);
  if (copy) {
    const std::string& name = copy->info.documentPath;
    std::string question = "QSH Editor was closed without saving " + (name.empty() ? "a new document" : name) +
                           ". Restore the changes it had on " + RecoveryTimeText(copy->info.writtenAt) + "?";
    if (!platform::AskYesNo(ui.boxes, question)) {
      DiscardOrphanedCopy(e.recovery, orphan, nullptr);
      return false;
    }
    if (RestoreRecoveryCopy(e.doc, e.canvas, ui, *copy, &error)) {
      e.window.canvasChanged = 0;
      // A history of its own, and no state of it is the file's.
      ResetHistory(e.history, e.canvas, false);
      // The work is this editor's now: its own copy is on disk before the
      // old one goes, so a crash right now still loses nothing.
      if (e.recovery.seconds > 0) WriteNow(e);
      if (e.recovery.haveCopy || e.recovery.seconds == 0) RemoveOrphanedCopy(e.recovery, orphan);
      return true;
    }
  }
  std::string moveError;
  auto moved = DiscardOrphanedCopy(e.recovery, orphan, &moveError);
  platform::ShowError(ui.boxes, "The recovery copy " + orphan.path + " could not be restored: " + error +
                                    (moved ? ". It was moved to " + *moved + "."
                                           : ". It could not be moved aside either: " + moveError + "."));
  return false;
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
  // Newest first; once one is restored the others wait for a later start.
  std::vector<OrphanedCopy> orphans = FindOrphanedCopies(e.recovery);
  for (OrphanedCopy& orphan : orphans) {
    if (OfferCopy(e, orphan)) break;
  }
  if (e.recovery.seconds > 0) e.desktop.control.StartTimer(kRecoveryTimer, e.recovery.seconds * 1000);
}

void UpdateRecoveryCopy(Editor& e) {
  if (!e.recovery.open() || e.recovery.seconds == 0) return;
  if (!Unsaved(e)) {
    RemoveRecoveryCopy(e.recovery);
    return;
  }
  if (e.tools.dragTool != -1) return;
  WriteNow(e);
}

void OnFocusLost(Editor& e) { UpdateRecoveryCopy(e); }

void RecoveryAfterCommand(Editor& e) {
  if (!Unsaved(e)) RemoveRecoveryCopy(e.recovery);
}

void DiscardRecovery(Editor& e) { RemoveRecoveryCopy(e.recovery); }

}  // namespace qshe
