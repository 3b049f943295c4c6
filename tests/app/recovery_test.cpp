// The recovery journal in the running editor: when copies are written and
// removed, and what the next start does with a copy left behind, also by a
// process killed with SIGKILL.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

#include "app/command_table.h"
#include "app/recovery.h"
#include "editor_fixture.h"

using namespace qshe;
using platform::Answer;
using qshe::testing::EditorFixture;
using qshe::testing::ReadBytes;
using qshe::testing::kThreeShapes;
using qshe::testing::WriteBytes;
namespace fs = std::filesystem;

namespace {

// Process ids no system hands out, for editors sharing this test's process.
constexpr uint32_t kFirstPid = 900000001;
constexpr uint32_t kSecondPid = 900000002;

struct RecoveryAppTest : EditorFixture {
  std::string folder = dir.File("recovery");
  std::string file = dir.File("castle.qsh");

  void SetUp() override {
    ::unsetenv(kRecoverySecondsVariable);
    WriteBytes(file, kThreeShapes);
  }

  // Starts an editor on `file` whose journal is in `folder`.
  static bool StartOn(Editor& editor, const std::string& programDir, const std::string& folder, uint32_t pid,
                      const std::vector<std::string>& arguments) {
    editor.recovery.folder = folder;
    editor.recovery.pid = pid;
    return StartEditor(editor, programDir, arguments);
  }
  bool StartHere(uint32_t pid = kFirstPid) {
    WriteSupportFiles(dir);
    return StartOn(e, ProgramDir(), folder, pid, {file});
  }
  std::string ProgramDir() const { return dir.path().string() + "/"; }
  bool CopyThere(uint32_t pid = kFirstPid) const { return fs::exists(RecoveryCopyPath(folder, pid)); }
};

// One pencil dot at canvas pixel (column, row), unmagnified.
void Dot(Editor& e, int column, int row) {
  OnMouseDown(e, 184 + column, 263 - row, 1, false);
  OnMouseUp(e, 184 + column, 263 - row, 1);
}

TEST_F(RecoveryAppTest, ACopyIsKeptWhileChangesAreUnsavedAndGoesWithThem) {
  ASSERT_TRUE(StartHere());
  EXPECT_EQ(hp.timers[kRecoveryTimer], 30000);
  OnTimer(e, kRecoveryTimer);
  EXPECT_FALSE(CopyThere());  // nothing unsaved yet

  // Not in the middle of a stroke; the next tick takes it.
  OnMouseDown(e, 184 + 1, 263 - 254, 1, false);
  OnTimer(e, kRecoveryTimer);
  EXPECT_FALSE(CopyThere());
  OnMouseUp(e, 184 + 1, 263 - 254, 1);
  OnTimer(e, kRecoveryTimer);
  CollectRecoveryCopy(e, true);  // the worker thread's copy is on disk
  EXPECT_TRUE(CopyThere());

  OnCommand(e, kCmdSave);
  EXPECT_FALSE(CopyThere());

  // The window losing the focus writes at once; a command that discards the
  // work by the user's answer removes the copy, a Cancel keeps it.
  struct Discard {
    int command;
    std::optional<std::string> file;  // for the open dialog
  };
  for (const Discard& d : {Discard{kCmdNew, {}}, Discard{kCmdOpen, file}, Discard{kCmdExit, {}}}) {
    Dot(e, 0, 255);
    OnFocusLost(e);
    CollectRecoveryCopy(e, true);  // the worker thread's copy is on disk
    ASSERT_TRUE(CopyThere()) << d.command;
    hp.answers = {Answer::Cancel};
    OnCommand(e, d.command);
    EXPECT_TRUE(CopyThere()) << d.command << ": cancelled, the work is still open";
    hp.answers = {Answer::No};
    hp.fileNames = {d.file};
    OnCommand(e, d.command);
    EXPECT_FALSE(CopyThere()) << d.command;
  }
  EXPECT_EQ(hp.quitCode, 0);
  EXPECT_EQ(hp.messages.size(), 6u) << "only the unsaved-changes questions";
}

TEST_F(RecoveryAppTest, TheIntervalComesFromTheEnvironment) {
  struct Case {
    const char* value;
    int period;  // 0: no timer
  } cases[] = {{"1", 1000}, {"0", 0}, {"45", 45000}, {"soon", 30000}, {"-3", 30000}, {"", 30000}};
  WriteSupportFiles(dir);
  for (const Case& c : cases) {
    ::setenv(kRecoverySecondsVariable, c.value, 1);
    platform::HeadlessPlatform p;
    Editor editor(p.desktop());
    ASSERT_TRUE(StartOn(editor, ProgramDir(), folder, kSecondPid, {file}));
    EXPECT_EQ(p.timers.count(kRecoveryTimer) ? p.timers[kRecoveryTimer] : 0, c.period) << c.value;
    Dot(editor, 0, 255);
    OnFocusLost(editor);
    CollectRecoveryCopy(editor, true);  // the worker thread's copy is on disk
    EXPECT_EQ(CopyThere(kSecondPid), c.period != 0) << c.value;
    DiscardRecovery(editor);
  }
  ::unsetenv(kRecoverySecondsVariable);
}

// A copy of unsaved work made by another editor, whose lock then goes.
void LeaveCopy(const std::string& folder, uint32_t pid, const std::string& programDir,
               const std::string& file) {
  platform::HeadlessPlatform p;
  Editor editor(p.desktop());
  editor.recovery.folder = folder;
  editor.recovery.pid = pid;
  ASSERT_TRUE(StartEditor(editor, programDir, {file}));
  Dot(editor, 0, 255);
  OnFocusLost(editor);
  CollectRecoveryCopy(editor, true);  // the worker thread's copy is on disk
}

TEST_F(RecoveryAppTest, NoMovesTheCopyAsideAndTheStartGoesOn) {
  WriteSupportFiles(dir);
  LeaveCopy(folder, kSecondPid, ProgramDir(), file);
  ASSERT_TRUE(CopyThere(kSecondPid));
  hp.answers = {Answer::No};
  ASSERT_TRUE(StartHere());
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_EQ(hp.messages[0].buttons, platform::Buttons::YesNo);
  EXPECT_FALSE(CopyThere(kSecondPid));
  EXPECT_TRUE(fs::exists(folder + "/discarded/900000002.qshr"));
  EXPECT_EQ(e.doc.state.documentPath, file);
  EXPECT_NE(e.doc.state.modified, kModified);
  EXPECT_EQ(e.canvas.At(0, 255), 5);  // the file as it is on disk
}

// However many entries cannot be used (damaged copies, junk, links, a huge
// file, a folder of a copy's name), the start says so in one message and
// moves them all aside, so the next start is quiet and quick.
TEST_F(RecoveryAppTest, UnusableEntriesAreMovedAsideWithOneMessage) {
  WriteSupportFiles(dir);
  fs::create_directories(folder);
  LeaveCopy(folder, kSecondPid, ProgramDir(), file);
  auto good = ReadBytes(RecoveryCopyPath(folder, kSecondPid));
  std::vector<uint8_t> cut(good.begin(), good.end() - 9);
  std::vector<uint8_t> flipped = good;
  flipped[good.size() / 2] ^= 1;
  const std::vector<std::vector<uint8_t>> damaged = {{}, {'Q', 'S', 'H', 'E'}, cut, flipped};
  for (size_t i = 0; i < damaged.size(); ++i) {
    WriteBytes(RecoveryCopyPath(folder, 900000100 + static_cast<uint32_t>(i)), damaged[i]);
  }
  for (uint32_t i = 0; i < 40; ++i) WriteBytes(RecoveryCopyPath(folder, 900000300 + i), {'j', 'u', 'n', 'k'});
  const std::string huge = RecoveryCopyPath(folder, 900000400);
  WriteBytes(huge, good);
  fs::resize_file(huge, uint64_t{1} << 30);  // a gigabyte, sparse: refused from its size
  fs::create_symlink(file, RecoveryCopyPath(folder, 900000500));
  fs::remove(RecoveryCopyPath(folder, kSecondPid));
  fs::create_directories(RecoveryCopyPath(folder, 900000200));

  ASSERT_TRUE(StartHere());
  ASSERT_EQ(hp.messages.size(), 1u);
  const auto& m = hp.messages[0];
  EXPECT_EQ(m.icon, platform::Icon::Stop);
  EXPECT_NE(m.text.find("47 entries of the recovery folder " + folder + " could not be restored"), std::string::npos)
      << m.text;
  EXPECT_NE(m.text.find("They were moved to " + folder + "/discarded/"), std::string::npos) << m.text;
  EXPECT_NE(m.text.find("... and 37 more."), std::string::npos) << m.text;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename() != "discarded") {
      EXPECT_EQ(entry.path().extension(), ".lock") << entry.path();
    }
  }
  EXPECT_EQ(ReadBytes(file), kThreeShapes) << "the link's file is untouched";
  EXPECT_EQ(e.doc.state.documentPath, file);

  // The next start finds nothing to say.
  platform::HeadlessPlatform p;
  Editor next(p.desktop());
  ASSERT_TRUE(StartOn(next, ProgramDir(), folder, kSecondPid, {file}));
  EXPECT_TRUE(p.messages.empty());

  // A single one is named in full.
  e.recovery.lock.Release(true);
  WriteBytes(RecoveryCopyPath(folder, 900000600), {'x'});
  platform::HeadlessPlatform q;
  Editor third(q.desktop());
  ASSERT_TRUE(StartOn(third, ProgramDir(), folder, kFirstPid, {file}));
  ASSERT_EQ(q.messages.size(), 1u);
  EXPECT_NE(q.messages[0].text.find("The recovery copy " + RecoveryCopyPath(folder, 900000600) +
                                    " could not be restored: it is not a recovery copy. It was moved to " + folder +
                                    "/discarded/"),
            std::string::npos)
      << q.messages[0].text;
}

// A folder the user does not own alone is not used: said once at the start,
// and no copy is written anywhere.
TEST_F(RecoveryAppTest, AnUnsafeFolderIsNamedOnceAndHoldsNoCopies) {
  fs::create_directories(dir.File("shared"));
  ::chmod(dir.File("shared").c_str(), 0777);
  fs::create_symlink("shared", folder);
  ASSERT_TRUE(StartHere());
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_EQ(hp.messages[0].text, "Could not use the recovery folder " + folder +
                                     ": it is a symbolic link. Unsaved changes are not kept safe from a crash.");
  Dot(e, 0, 255);
  OnFocusLost(e);
  OnTimer(e, kRecoveryTimer);
  CollectRecoveryCopy(e, true);  // the worker thread's copy is on disk
  EXPECT_TRUE(fs::is_empty(dir.File("shared")));
  EXPECT_EQ(hp.messages.size(), 1u);
}

// A copy names its file from the root: an editor started in another folder,
// where the same relative name is another file, restores and saves the
// right one.
TEST_F(RecoveryAppTest, ARestoredCopySavesToTheFileItCameFromWhereverTheEditorStarts) {
  WriteSupportFiles(dir);
  fs::create_directories(dir.File("A/ed"));
  fs::create_directories(dir.File("B/ed"));
  WriteBytes(dir.File("A/ed/a.qsh"), kThreeShapes);
  WriteBytes(dir.File("B/ed/a.qsh"), {0, 0});
  char* here = ::getcwd(nullptr, 0);
  const std::string cwd = here;
  std::free(here);
  ASSERT_EQ(::chdir(dir.File("A").c_str()), 0);
  LeaveCopy(folder, kSecondPid, ProgramDir(), "ed/a.qsh");
  ASSERT_EQ(::chdir(dir.File("B").c_str()), 0);
  hp.answers = {Answer::Yes};
  const bool started = StartOn(e, ProgramDir(), folder, kFirstPid, {});
  OnCommand(e, kCmdSave);
  ASSERT_EQ(::chdir(cwd.c_str()), 0);
  ASSERT_TRUE(started);
  ASSERT_FALSE(hp.messages.empty());
  EXPECT_EQ(hp.messages[0].text.rfind("QSH Editor was closed without saving " + dir.File("A/ed/a.qsh") + ". ", 0), 0u)
      << hp.messages[0].text;
  EXPECT_EQ(e.doc.state.documentPath, dir.File("A/ed/a.qsh"));
  EXPECT_NE(ReadBytes(dir.File("A/ed/a.qsh")), kThreeShapes) << "the work went to its own file";
  EXPECT_EQ(ReadBytes(dir.File("B/ed/a.qsh")), (std::vector<uint8_t>{0, 0})) << "another file was overwritten";
}

// The work of an editor killed with SIGKILL: a child process of this test
// paints, lets its recovery timer write, and is killed. A second editor
// started while it runs is offered nothing; one started after it is gone
// gets the work back, and saving it writes what the killed one would have.
TEST_F(RecoveryAppTest, AKilledEditorsWorkComesBackAtTheNextStart) {
  WriteSupportFiles(dir);
  const std::string programDir = ProgramDir();
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(ready[0]);
    platform::HeadlessPlatform p;
    Editor editor(p.desktop());
    editor.recovery.folder = folder;  // named by its real process id
    bool ok = StartEditor(editor, programDir, {file});
    OnCommand(editor, kCmdNextShape);
    Dot(editor, 7, 250);
    OnCommand(editor, kCmdPreviousShape);
    Dot(editor, 1, 255);  // left on the canvas, not yet committed
    OnTimer(editor, kRecoveryTimer);
    CollectRecoveryCopy(editor, true);  // the worker thread's copy is on disk
    char byte = ok && fs::exists(RecoveryCopyPath(folder, static_cast<uint32_t>(::getpid()))) ? '1' : '0';
    if (::write(ready[1], &byte, 1) != 1) ::_exit(2);
    while (true) ::pause();
  }
  ::close(ready[1]);
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ::close(ready[0]);
  ASSERT_EQ(byte, '1');

  {
    platform::HeadlessPlatform p;
    Editor second(p.desktop());
    ASSERT_TRUE(StartOn(second, programDir, folder, kSecondPid, {file}));
    EXPECT_TRUE(p.messages.empty()) << "a running editor's copy is its own";
  }
  ASSERT_EQ(::kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));

  // What the killed editor would have saved: the same edits, made here.
  const std::string reference = dir.File("reference.qsh");
  {
    platform::HeadlessPlatform p;
    Editor same(p.desktop());
    fs::copy_file(file, reference);
    ASSERT_TRUE(StartEditor(same, programDir, {reference}));
    OnCommand(same, kCmdNextShape);
    Dot(same, 7, 250);
    OnCommand(same, kCmdPreviousShape);
    Dot(same, 1, 255);
    OnCommand(same, kCmdSave);
  }

  hp.answers = {Answer::Yes};
  ASSERT_TRUE(StartHere());
  ASSERT_EQ(hp.messages.size(), 1u);
  const std::string& question = hp.messages[0].text;
  const std::string start = "QSH Editor was closed without saving " + file + ". Restore the changes it had on ";
  EXPECT_EQ(question.substr(0, start.size()), start) << question;
  EXPECT_EQ(question.back(), '?');
  EXPECT_EQ(e.doc.state.documentPath, file);
  EXPECT_EQ(e.doc.state.modified, kModified);
  EXPECT_EQ(e.doc.list.count, 3);
  EXPECT_EQ(e.doc.list.slots[1].width, 8);  // shape 1 grew to take the dot
  EXPECT_EQ(e.canvas.At(1, 255), e.colors.foreColor);
  EXPECT_EQ(hp.title(), "Quorvane QSH Editor 1.04 -- [" + file + "]");
  // The work is this editor's copy now; the killed one's is gone.
  EXPECT_TRUE(CopyThere());
  EXPECT_FALSE(fs::exists(RecoveryCopyPath(folder, static_cast<uint32_t>(child))));
  EXPECT_FALSE(fs::exists(RecoveryLockPath(folder, static_cast<uint32_t>(child))));

  EXPECT_EQ(ReadBytes(file), kThreeShapes);  // nothing saved behind the user's back
  OnCommand(e, kCmdSave);
  EXPECT_EQ(ReadBytes(file), ReadBytes(reference));
  EXPECT_FALSE(CopyThere());
}

}  // namespace

TEST_F(RecoveryAppTest, AFileDroppedOnTheWindowAndOpenedTakesTheCopyAway) {
  ASSERT_TRUE(StartHere());
  Dot(e, 3, 3);
  OnTimer(e, kRecoveryTimer);
  CollectRecoveryCopy(e, true);  // the worker thread's copy is on disk
  ASSERT_TRUE(CopyThere());
  hp.answers = {Answer::No};  // discard the painting, open the dropped file
  OnFileDropped(e, file);
  EXPECT_FALSE(CopyThere());
}

// The copy is written on a worker thread; a focus loss while it is on its
// way finds the worker busy and is made up as soon as that copy is done.
TEST_F(RecoveryAppTest, AChangeMadeWhileACopyIsWrittenGoesIntoTheNextCopy) {
  ASSERT_TRUE(StartHere());
  Dot(e, 1, 254);
  {
    // The worker's flush takes its time, as a slow disk's would.
    InjectedFileFailure slow(FileStep::Flush, 0, 1, [] { ::usleep(300000); });
    OnTimer(e, kRecoveryTimer);
    EXPECT_TRUE(e.recovery.worker);
    EXPECT_EQ(hp.timers[kRecoveryDoneTimer], kRecoveryDoneMilliseconds);
    Dot(e, 2, 254);
    OnFocusLost(e);  // busy: nothing started
    CollectRecoveryCopy(e, true);
  }
  EXPECT_FALSE(e.recovery.worker);
  EXPECT_EQ(hp.timers.count(kRecoveryDoneTimer), 0u);
  auto copy = ReadRecoveryCopy(RecoveryCopyPath(folder, kFirstPid), nullptr);
  ASSERT_TRUE(copy);
  RecoveryCopy now = MakeRecoveryCopy(e.doc, e.canvas, e.window.canvasChanged == 1);
  EXPECT_EQ(copy->shapeFile, now.shapeFile);
  EXPECT_TRUE(hp.messages.empty());
}
