// The file layer: every way a write can fail keeps the old files and leaves
// no temporary, killed writers' temporaries are swept but live ones never,
// links are written through but never swapped for a plain file, and reads
// are bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "document/file_io.h"
#include "test_files.h"

using namespace qshe;
using namespace qshe::testing;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

namespace {

// Every name in the folder that a writer of ours made as a temporary.
std::vector<std::string> Temporaries(const TempDir& dir) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    if (TemporaryTarget(entry.path().string())) found.push_back(entry.path().filename().string());
  }
  return found;
}

struct PairTest : ::testing::Test {
  TempDir dir;
  std::string shapes = dir.File("a.qsh"), side = dir.File("a.qbj");
  Bytes oldShapes = {1, 2, 3}, oldSide = {'Q', 'O'}, newShapes = Bytes(5000, 7), newSide = Bytes(300, 9);

  void SetUp() override {
    WriteBytes(shapes, oldShapes);
    WriteBytes(side, oldSide);
  }
  std::optional<WriteFailure> WritePair(const Bytes& a, const Bytes& b) {
    const FileToWrite files[] = {{shapes, a}, {side, b}};
    return WriteFilesTogether(files);
  }
  bool Old() const { return ReadBytes(shapes) == oldShapes && ReadBytes(side) == oldSide; }
};

}  // namespace

TEST_F(PairTest, EachFailingStepKeepsBothOldFilesAndLeavesNoTemporary) {
  struct Case {
    FileStep step;
    int nth;  // 1: the shape file's step, 2: the side file's
    int error;
    const char* path;
  };
  const Case cases[] = {
      {FileStep::Check, 1, EROFS, "a.qsh"},   {FileStep::Check, 2, EACCES, "a.qbj"},
      {FileStep::Create, 1, ENOSPC, "a.qsh"}, {FileStep::Create, 2, EMFILE, "a.qbj"},
      {FileStep::Write, 1, EFBIG, "a.qsh"},   {FileStep::Write, 2, ENOSPC, "a.qbj"},
      {FileStep::Flush, 1, EIO, "a.qsh"},     {FileStep::Flush, 2, EIO, "a.qbj"},
      {FileStep::Rename, 1, EPERM, "a.qsh"},  {FileStep::Rename, 2, EIO, "a.qbj"},
  };
  for (const Case& c : cases) {
    InjectedFileFailure failing(c.step, c.error, c.nth);
    auto failure = WritePair(newShapes, newSide);
    const std::string what = std::to_string(static_cast<int>(c.step)) + "/" + std::to_string(c.nth);
    ASSERT_TRUE(failure) << what;
    EXPECT_TRUE(failing.happened()) << what;
    EXPECT_EQ(failure->text, std::strerror(c.error)) << what;
    EXPECT_EQ(failure->path, dir.File(c.path)) << what;
    EXPECT_TRUE(Old()) << what << ": a half of the pair was replaced";
    EXPECT_TRUE(Temporaries(dir).empty()) << what;
  }
  // A folder that cannot be flushed is said too: the files are in place but
  // perhaps not on the disk, so the work must not be taken for safe.
  {
    InjectedFileFailure failing(FileStep::FlushFolder, EIO);
    auto failure = WritePair(newShapes, newSide);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->text, std::strerror(EIO));
    EXPECT_TRUE(Temporaries(dir).empty());
  }
  ASSERT_FALSE(WritePair(newShapes, newSide));
  EXPECT_EQ(ReadBytes(shapes), newShapes);
  EXPECT_EQ(ReadBytes(side), newSide);
}

// Temporaries of writers that were killed go with the next write of their
// file; a live writer's temporary, and other programs' files, never do.
TEST_F(PairTest, DeadTemporariesGoWithTheNextWriteButNeverALiveOne) {
  WriteBytes(dir.File(".a.qsh.qshe-Dead01"), newShapes);
  WriteBytes(dir.File(".a.qbj.qshe-Dead02"), newSide);
  // A temporary another writer still holds, and files that only look alike.
  const std::string live = dir.File(".a.qsh.qshe-LiVe01");
  WriteBytes(live, {1});
  int held = ::open(live.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  const std::string rsyncs = dir.File(".a.qsh.Ab12Cd"), others = dir.File(".b.qsh.qshe-Ab12Cd");
  WriteBytes(rsyncs, {2});
  WriteBytes(others, {3});

  EXPECT_FALSE(WriteFileAtomically(shapes, newShapes));
  auto named = [&](const std::string& start) {
    auto all = Temporaries(dir);
    return std::count_if(all.begin(), all.end(), [&](const std::string& n) { return n.rfind(start, 0) == 0; });
  };
  EXPECT_EQ(named(".a.qsh.qshe-"), 1) << "the dead one goes, the live one stays";
  EXPECT_EQ(named(".a.qbj.qshe-"), 1) << "another file's temporaries wait for its own write";
  EXPECT_TRUE(fs::exists(live)) << "a live writer's temporary was removed";
  EXPECT_TRUE(fs::exists(rsyncs) && fs::exists(others));
  EXPECT_EQ(RemoveDeadTemporaries(side), 1);
  EXPECT_EQ(RemoveDeadTemporaries(shapes), 0);
  ::close(held);
  EXPECT_EQ(RemoveDeadTemporaries(shapes), 1);
  EXPECT_FALSE(fs::exists(live));
  EXPECT_EQ(TemporaryTarget(others), dir.File("b.qsh"));
  EXPECT_FALSE(TemporaryTarget(rsyncs));
}

TEST(FileIo, LinksAreWrittenThroughButNeverReplacedByAPlainFile) {
  TempDir dir;
  fs::create_directories(dir.File("real"));
  const std::string real = dir.File("real/r.qsh"), link = dir.File("l.qsh");
  WriteBytes(real, {1});
  fs::create_symlink("real/r.qsh", link);
  EXPECT_FALSE(WriteFileAtomically(link, Bytes{2, 2}));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(real), (Bytes{2, 2}));
  EXPECT_EQ(ResolveWriteTarget(link), real);

  // Dangling links and loops are refused and stay as they are.
  fs::create_symlink("nowhere.qsh", dir.File("dangling.qsh"));
  fs::create_symlink("loop2.qsh", dir.File("loop1.qsh"));
  fs::create_symlink("loop1.qsh", dir.File("loop2.qsh"));
  for (const char* name : {"dangling.qsh", "loop1.qsh"}) {
    auto error = WriteFileAtomically(dir.File(name), Bytes{3});
    ASSERT_TRUE(error) << name;
    EXPECT_EQ(Describe(dir.File(name)), "link") << name;
    EXPECT_FALSE(ResolveWriteTarget(dir.File(name))) << name;
  }
  EXPECT_EQ(*WriteFileAtomically(dir.File("dangling.qsh"), Bytes{3}), "Broken symbolic link");
  EXPECT_FALSE(fs::exists(dir.File("nowhere.qsh")));

  // Told not to follow, a write replaces the link and leaves its file alone.
  WriteOptions own;
  own.followLinks = false;
  own.mode = 0600;
  EXPECT_FALSE(WriteFileAtomically(link, Bytes{4}, own));
  EXPECT_EQ(Describe(link), "file 384:4,");
  EXPECT_EQ(ReadBytes(real), (Bytes{2, 2}));

  fs::create_symlink("real/r.qsh", dir.File("again.qsh"));
  EXPECT_TRUE(SameFile(dir.File("again.qsh"), real));
  fs::create_hard_link(real, dir.File("hard.qsh"));
  EXPECT_TRUE(SameFile(dir.File("hard.qsh"), real));
  EXPECT_TRUE(SameFile(dir.File("new.qsh"), dir.File("./new.qsh")));
  EXPECT_FALSE(SameFile(dir.File("new.qsh"), dir.File("new.qbj")));
}

TEST(FileIo, ReadsAreBoundedBeforeAndWhileReading) {
  TempDir dir;
  // A sparse file of 2 GB costs nothing to refuse.
  const std::string huge = dir.File("huge.qsh");
  WriteBytes(huge, {0, 0});
  fs::resize_file(huge, uint64_t{2} << 30);
  ReadProblem problem;
  EXPECT_FALSE(ReadWholeFile(huge, 1 << 20, &problem));
  EXPECT_EQ(problem.kind, ReadFailure::TooLarge);
  EXPECT_EQ(problem.size, uint64_t{2} << 30);
  auto head = ReadFilePrefix(huge, 2);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->size, 2u);

  // A file whose size says nothing of its length: reading stops at the bound.
  EXPECT_FALSE(ReadWholeFile("/proc/self/maps", 64, &problem));
  EXPECT_EQ(std::make_pair(problem.kind, problem.size), std::make_pair(ReadFailure::TooLarge, uint64_t{65}));
  auto maps = ReadWholeFile("/proc/self/maps", 1 << 24);
  ASSERT_TRUE(maps);
  EXPECT_GT(maps->size, 64u);

  // What is no regular file is said to be so.
  fs::create_directory(dir.File("folder.qsh"));
  ASSERT_EQ(::mkfifo(dir.File("fifo.qsh").c_str(), 0644), 0);
  for (const char* name : {"folder.qsh", "fifo.qsh"}) {
    EXPECT_FALSE(ReadWholeFile(dir.File(name), 100, &problem));
    EXPECT_EQ(problem.kind, ReadFailure::NotRegularFile) << name;
  }
  fs::create_symlink("huge.qsh", dir.File("link.qsh"));
  EXPECT_FALSE(ReadWholeFile(dir.File("link.qsh"), uint64_t{3} << 30, &problem, false));
  EXPECT_EQ(problem.kind, ReadFailure::NotRegularFile);
  EXPECT_FALSE(ReadWholeFile(dir.File("missing.qsh"), 100, &problem));
  EXPECT_EQ(problem.kind, ReadFailure::CannotOpen);
  WriteBytes(dir.File("exact.qsh"), Bytes(100, 5));
  EXPECT_TRUE(ReadWholeFile(dir.File("exact.qsh"), 100));
  EXPECT_FALSE(ReadWholeFile(dir.File("exact.qsh"), 99));
}
