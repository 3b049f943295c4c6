// The recovery journal in the running editor: copies of unsaved work on a
// timer and when the window loses the focus, and the offer to restore a copy
// left by an editor that ended without saving.
#pragma once

#include <cstdint>
#include <string>

#include "app/editor.h"

namespace qshe {

inline constexpr int kRecoveryTimer = 3;
// Runs while a copy is being written on the worker thread, to take its
// result on the GUI thread soon after it is done.
inline constexpr int kRecoveryDoneTimer = 9;
inline constexpr int kRecoveryDoneMilliseconds = 50;
inline constexpr const char* kRecoverySecondsVariable = "QSHE_RECOVERY_SECONDS";

// The interval from QSHE_RECOVERY_SECONDS when it holds a whole number of
// seconds (0 turns the copies off), else `fallback`.
int RecoverySeconds(int fallback);

// Opens the journal in e.recovery.folder (nothing happens when it is empty),
// offers the copies of editors no longer running and starts the timer.
void StartRecovery(Editor& e);
// Writes a copy when the document holds unsaved changes that the last copy
// does not have, and removes it once nothing is unsaved. Never in the middle
// of a stroke: the next tick takes it.
void UpdateRecoveryCopy(Editor& e);
void OnFocusLost(Editor& e);
// Takes the result of the copy written on the worker thread when it is done
// (with `wait`, waits for it): a failure is told once, as for any write.
void CollectRecoveryCopy(Editor& e, bool wait);
// After a command: a document with nothing unsaved (saved, new, opened)
// needs no copy.
void RecoveryAfterCommand(Editor& e);
// The user let the editor end without saving: the copy goes.
void DiscardRecovery(Editor& e);
// The editor is being ended from outside (a signal, the desktop session
// closing): unsaved work goes into the copy at once, also in the middle of a
// stroke. True when nothing unsaved is left without a copy.
bool WriteRecoveryBeforeEnd(Editor& e);

// "9 December 2026, 02:40" in local time.
std::string RecoveryTimeText(int64_t secondsSinceEpoch);

}  // namespace qshe
