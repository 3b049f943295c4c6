// The recovery folder trusts nothing it finds: it is used only when it is
// the user's own private folder, its copies and locks are for the user's
// eyes alone and never written through a planted link, and what killed
// writers and ended editors left behind is swept away at start.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "document/document_commands.h"
#include "document/file_io.h"
#include "document/recovery.h"
#include "test_files.h"

using namespace qshe;
using namespace qshe::testing;
namespace fs = std::filesystem;

namespace {

uint32_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0xFFFF;
}

// Sets the umask for a scope.
struct Umask {
  mode_t old;
  explicit Umask(mode_t mask) : old(::umask(mask)) {}
  ~Umask() { ::umask(old); }
};

struct RecoveryFolderTest : ::testing::Test {
  TempDir dir;
  std::string folder = dir.File("recovery");
  Document doc;
  Canvas canvas;
  void SetUp() override {
    ResetDocument(doc);
    doc.list.count = 2;
    doc.state.documentPath = "/somewhere/castle.qsh";
  }
  std::string Open(RecoveryJournal& journal, uint32_t pid) {
    journal.folder = folder;
    journal.pid = pid;
    std::string error;
    return OpenRecoveryJournal(journal, &error) ? std::string() : error;
  }
};

}  // namespace

TEST_F(RecoveryFolderTest, OnlyTheUsersOwnPrivateFolderIsUsedAndItsModeIsNeverChanged) {
  // A link to a folder anyone may write in: not used, and the folder it
  // leads to keeps its mode.
  fs::create_directories(dir.File("open"));
  ::chmod(dir.File("open").c_str(), 0777);
  fs::create_symlink("open", folder);
  RecoveryJournal viaLink;
  EXPECT_EQ(Open(viaLink, 5001), "it is a symbolic link");
  EXPECT_EQ(ModeOf(dir.File("open")), 0777u);
  EXPECT_TRUE(fs::is_empty(dir.File("open")));
  fs::remove(folder);

  // A real folder that others may write in: the same.
  for (uint32_t mode : {0777u, 0770u, 01733u}) {
    fs::create_directories(folder);
    ::chmod(folder.c_str(), mode);
    RecoveryJournal shared;
    EXPECT_EQ(Open(shared, 5002), "other users may write in it") << mode;
    EXPECT_EQ(ModeOf(folder), mode);
    fs::remove(folder);
  }
  WriteBytes(folder, {1});
  RecoveryJournal file;
  EXPECT_EQ(Open(file, 5003), "it is not a folder");
  fs::remove(folder);

  // Another user's folder (only root can make one to try).
  if (::geteuid() == 0) {
    fs::create_directories(folder);
    ::chmod(folder.c_str(), 0700);
    ASSERT_EQ(::chown(folder.c_str(), 12345, 12345), 0);
    RecoveryJournal theirs;
    EXPECT_EQ(Open(theirs, 5004), "it belongs to another user");
    fs::remove(folder);
  }

  // A private folder of the user's own keeps its mode; a new one is 0700
  // whatever the umask.
  fs::create_directories(folder);
  ::chmod(folder.c_str(), 0750);
  {
    RecoveryJournal mine;
    EXPECT_EQ(Open(mine, 5005), "");
    EXPECT_EQ(ModeOf(folder), 0750u);
  }
  fs::remove_all(folder);
  Umask strict(0277);
  RecoveryJournal fresh;
  EXPECT_EQ(Open(fresh, 5006), "");
  EXPECT_EQ(ModeOf(folder), 0700u);
}

TEST_F(RecoveryFolderTest, CopiesAndLocksAreTheUsersAloneAndNeverFollowALink) {
  Umask loose(0);
  RecoveryJournal journal;
  ASSERT_EQ(Open(journal, 6001), "");
  EXPECT_EQ(ModeOf(RecoveryLockPath(folder, 6001)), 0600u);
  // A link planted at the copy's name: the copy replaces the link, the file
  // it leads to stays as it was.
  const std::string victim = dir.File("victim.txt");
  WriteBytes(victim, {'k', 'e', 'e', 'p'});
  fs::create_symlink(victim, journal.CopyPath());
  ASSERT_EQ(WriteRecoveryCopy(journal, doc, canvas, false, 1, nullptr), RecoveryWrite::Written);
  EXPECT_EQ(ReadBytes(victim), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
  EXPECT_FALSE(fs::is_symlink(journal.CopyPath()));
  EXPECT_EQ(ModeOf(journal.CopyPath()), 0600u);
  EXPECT_EQ(ModeOf(victim), 0666u);
  std::string error;
  EXPECT_TRUE(ReadRecoveryCopy(journal.CopyPath(), &error)) << error;

  // Nor is a copy read through a link, and a file far larger than any copy
  // is refused from its size.
  fs::create_symlink(journal.CopyPath(), dir.File("link.qshr"));
  EXPECT_FALSE(ReadRecoveryCopy(dir.File("link.qshr"), &error));
  EXPECT_EQ(error, "it is not a regular file");
  WriteBytes(dir.File("huge.qshr"), {'Q', 'S', 'H', 'E'});
  fs::resize_file(dir.File("huge.qshr"), MaxRecoveryCopyBytes() + 1);
  EXPECT_FALSE(ReadRecoveryCopy(dir.File("huge.qshr"), &error));
  EXPECT_NE(error.find("more than any recovery copy can be"), std::string::npos) << error;
}

TEST_F(RecoveryFolderTest, TheStartSweepsStaleLocksAndDeadTemporariesButNothingLive) {
  fs::create_directories(folder);
  ::chmod(folder.c_str(), 0700);
  // Locks of editors long gone, one still held, and one whose copy waits.
  WriteBytes(RecoveryLockPath(folder, 7001), {});
  WriteBytes(RecoveryLockPath(folder, 7002), {});
  FileLock held;
  ASSERT_TRUE(held.Acquire(RecoveryLockPath(folder, 7003)));
  WriteBytes(RecoveryLockPath(folder, 7004), {});
  WriteBytes(RecoveryCopyPath(folder, 7004), {1});
  // Temporaries: one of a killed write, one a live writer holds.
  const std::string dead = folder + "/.7005.qshr.qshe-Dead01", live = folder + "/.7006.qshr.qshe-Live01";
  WriteBytes(dead, std::vector<uint8_t>(1000, 0));
  WriteBytes(live, {});
  int liveFd = ::open(live.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(liveFd, LOCK_EX), 0);
  // Entries named like copies and locks that are no regular files.
  fs::create_symlink("/etc/passwd", RecoveryCopyPath(folder, 7007));
  fs::create_directories(RecoveryLockPath(folder, 7008));
  ASSERT_EQ(::mkfifo(RecoveryCopyPath(folder, 7009).c_str(), 0600), 0);

  RecoveryJournal journal;
  ASSERT_EQ(Open(journal, 7010), "");
  std::vector<UnusableEntry> unusable = SweepRecoveryFolder(journal);

  EXPECT_FALSE(fs::exists(RecoveryLockPath(folder, 7001)));
  EXPECT_FALSE(fs::exists(RecoveryLockPath(folder, 7002)));
  EXPECT_TRUE(fs::exists(RecoveryLockPath(folder, 7003)));
  EXPECT_TRUE(fs::exists(RecoveryLockPath(folder, 7004)));
  EXPECT_TRUE(fs::exists(RecoveryLockPath(folder, 7010)));
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_TRUE(fs::exists(live));
  ASSERT_EQ(unusable.size(), 3u);
  for (const UnusableEntry& u : unusable) {
    EXPECT_EQ(u.why, "it is not a regular file") << u.path;
    ASSERT_TRUE(u.movedTo) << u.path << ": " << u.moveError;
    EXPECT_EQ(fs::path(*u.movedTo).parent_path(), fs::path(folder) / "discarded");
    EXPECT_FALSE(fs::exists(fs::symlink_status(u.path))) << u.path;
  }
  EXPECT_TRUE(fs::is_symlink(folder + "/discarded/7007.qshr")) << "moved as the link itself";
  EXPECT_EQ(ModeOf(folder + "/discarded"), 0700u);
  auto orphans = FindOrphanedCopies(journal);
  ASSERT_EQ(orphans.size(), 1u);
  EXPECT_EQ(orphans[0].pid, 7004u);
  ::close(liveFd);
}
