// The editor's save and open of shape files where names are not what they
// seem: a name that is its own side file, links, folders, files too large to
// be shape files, relative names, and the failures only a seam can bring.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "document/file_io.h"
#include "document/object_file.h"
#include "document/shape_file.h"
#include "platform/headless/headless.h"
#include "test_files.h"

using namespace qshe;
using namespace qshe::testing;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

namespace {

constexpr const char* kSaveError = "Error while saving shapes - Shapes could not be saved: ";

struct SavingTest : ::testing::Test {
  TempDir dir;
  Document doc;
  platform::HeadlessPlatform ui;

  void SetUp() override {
    AllocateShape(doc.list.slots[0], 2, 1);
    doc.list.slots[0].pixels[0] = 5;
    doc.list.slots[0].walkable = 1;
    doc.list.count = 1;
    doc.state.qbjFlag = 1;
    doc.state.modified = kModified;
    doc.state.documentPath = "before.qsh";
    ui.SetTitle("before");
  }
  int Save(const std::string& path) { return SaveShapeFile(doc, ui.platform(), path, doc.list.Document()); }
  // A refused save: one save-error message, and the document as it was.
  void ExpectRefused(const std::string& what) {
    ASSERT_FALSE(ui.messages.empty()) << what;
    EXPECT_EQ(ui.messages.back().text.rfind(kSaveError, 0), 0u) << what << ": " << ui.messages.back().text;
    EXPECT_EQ(std::tie(doc.state.modified, doc.state.documentPath), std::make_tuple(kModified, std::string("before.qsh")))
        << what;
    EXPECT_EQ(ui.title(), "before") << what;
  }
};

}  // namespace

// Save As "edit.qbj" would write the shapes and then the side file over them.
TEST_F(SavingTest, ANameThatIsItsOwnSideFileIsRefusedBeforeAnythingIsWritten) {
  WriteBytes(dir.File("old.obj"), {1, 2, 3});
  WriteBytes(dir.File("pair.qsh"), kQsh);
  fs::create_symlink("pair.qsh", dir.File("pair.qbj"));  // the side file's name leads to the shapes
  for (const char* name : {"edit.qbj", "old.obj", "pair.qsh"}) {
    const std::string path = dir.File(name);
    const std::string before = Describe(path);
    EXPECT_EQ(Save(path), kSaveFailed) << name;
    ExpectRefused(name);
    EXPECT_NE(ui.messages.back().text.find(".qsh or .qs2"), std::string::npos) << ui.messages.back().text;
    EXPECT_EQ(Describe(path), before) << name;
  }
  EXPECT_EQ(Describe(dir.File("pair.qbj")), "link");
  // Without object properties no side file is written, and nothing clashes.
  doc.state.qbjFlag = 0;
  EXPECT_EQ(Save(dir.File("edit.qbj")), kSaved);
}

TEST_F(SavingTest, ThroughALinkTheSideFileGoesBesideTheRealFileAndBrokenLinksAreRefused) {
  fs::create_directories(dir.File("real"));
  WriteBytes(dir.File("real/r.qsh"), kQsh);
  fs::create_symlink("real/r.qsh", dir.File("l.qsh"));
  ASSERT_EQ(Save(dir.File("l.qsh")), kSaved);
  EXPECT_EQ(Describe(dir.File("l.qsh")), "link");
  EXPECT_EQ(ReadBytes(dir.File("real/r.qbj")), EncodeObjectFile(doc.list.Document()));
  EXPECT_FALSE(fs::exists(dir.File("l.qbj")));
  EXPECT_EQ(doc.state.documentPath, dir.File("l.qsh"));  // the name the user chose
  Document back;
  ASSERT_EQ(ReadShapeFile(back, ui.platform(), dir.File("l.qsh"), back.list.slots), 1);
  EXPECT_EQ(std::make_pair(back.state.qbjFlag, back.list.slots[0].walkable), std::make_pair(1, 1));

  // A side file an earlier save left beside the link is still read.
  fs::remove(dir.File("real/r.qbj"));
  WriteBytes(dir.File("l.qbj"), EncodeObjectFile(doc.list.Document()));
  Document old;
  ASSERT_EQ(ReadShapeFile(old, ui.platform(), dir.File("l.qsh"), old.list.slots), 1);
  EXPECT_EQ(old.state.qbjFlag, 1);

  doc.state.modified = kModified;
  doc.state.documentPath = "before.qsh";
  ui.SetTitle("before");
  fs::create_symlink("gone.qsh", dir.File("dangling.qsh"));
  fs::create_symlink("loop.qsh", dir.File("loop.qsh"));
  for (bool withSide : {true, false}) {
    doc.state.qbjFlag = withSide ? 1 : 0;
    for (const char* name : {"dangling.qsh", "loop.qsh"}) {
      EXPECT_EQ(Save(dir.File(name)), kSaveFailed) << name;
      ExpectRefused(name);
      EXPECT_EQ(Describe(dir.File(name)), "link") << name;
    }
  }
  EXPECT_FALSE(fs::exists(dir.File("gone.qsh")));
  EXPECT_FALSE(fs::exists(dir.File("gone.qbj")));
}

// The shape file and its side file are written as a pair: a failure at any
// point keeps both old files, where the shapes alone used to be replaced.
TEST_F(SavingTest, APairIsSavedWholeOrNotAtAllWithTheSystemsOwnReason) {
  const std::string qsh = dir.File("doc.qsh"), qbj = dir.File("doc.qbj");
  WriteBytes(qsh, kQsh);
  WriteBytes(qbj, {'o', 'l', 'd'});
  struct Case {
    FileStep step;
    int nth;
    int error;
    const char* says;
  } cases[] = {{FileStep::Write, 2, ENOSPC, "No space left on device (" },
               {FileStep::Rename, 2, EIO, "Input/output error ("},
               {FileStep::Check, 1, EROFS, "Read-only file system Please"},
               {FileStep::Write, 1, EFBIG, "File too large Please"}};
  for (const Case& c : cases) {
    InjectedFileFailure failing(c.step, c.error, c.nth);
    EXPECT_EQ(Save(qsh), kSaveFailed) << c.says;
    ExpectRefused(c.says);
    EXPECT_NE(ui.messages.back().text.find(c.says), std::string::npos) << ui.messages.back().text;
    EXPECT_EQ(ReadBytes(qsh), kQsh) << c.says;
    EXPECT_EQ(ReadBytes(qbj), (Bytes{'o', 'l', 'd'})) << c.says;
  }
  for (const auto& entry : fs::directory_iterator(dir.path()))
    EXPECT_NE(entry.path().filename().string()[0], '.') << "temporary left: " << entry.path();
  EXPECT_EQ(ui.messages.size(), 4u);
}

TEST_F(SavingTest, FoldersAndFilesLargerThanAnyShapeFileAreRefusedWithAMessage) {
  fs::create_directories(dir.File("folder.qsh"));
  const std::string huge = dir.File("huge.qsh");
  WriteBytes(huge, {0, 0});  // an empty QSH file...
  fs::resize_file(huge, kMaxShapeFileBytes + 1);  // ...that goes on and on
  struct Case {
    const char* name;
    const char* says;
  } cases[] = {{"folder.qsh", "not a regular file"}, {"huge.qsh", "more than any shape file can be"}};
  for (const Case& c : cases) {
    Document other;
    EXPECT_EQ(ReadShapeFile(other, ui.platform(), dir.File(c.name), other.list.slots), kReadRefused) << c.name;
    ASSERT_FALSE(ui.messages.empty()) << c.name;
    EXPECT_NE(ui.messages.back().text.find(c.says), std::string::npos) << ui.messages.back().text;
    EXPECT_NE(ui.messages.back().text.find(dir.File(c.name)), std::string::npos) << ui.messages.back().text;
    Shape target;
    EXPECT_FALSE(ReadOneShape(ui, target, dir.File(c.name), 0));
    EXPECT_NE(ui.messages.back().text.find(c.says), std::string::npos) << ui.messages.back().text;
  }
  // A side file larger than any can be is none.
  WriteBytes(dir.File("huge.qbj"), {'Q', 'O', '0', '1', 1, 0, 0, 0, 1});
  fs::resize_file(dir.File("huge.qbj"), kMaxObjectFileBytes + 1);
  EXPECT_FALSE(LoadObjectFile(dir.File("huge.qbj"), doc.list.Document()).isObjectFile);
}

// Opened and saved names are kept from the root: a later save, or a copy
// restored by an editor started elsewhere, reaches the same file.
TEST_F(SavingTest, NamesAreKeptFromTheRoot) {
  char* here = ::getcwd(nullptr, 0);
  const std::string cwd = here;
  std::free(here);
  fs::create_directories(dir.File("ed"));
  WriteBytes(dir.File("ed/a.qsh"), kQsh);
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  Document opened;
  const int32_t count = ReadShapeFile(opened, ui.platform(), "ed/a.qsh", opened.list.slots);
  doc.state.qbjFlag = 0;
  const int saved = Save("./ed/b.qsh");
  ASSERT_EQ(::chdir(cwd.c_str()), 0);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(opened.state.documentPath, dir.File("ed/a.qsh"));
  EXPECT_EQ(ui.title(), "Quorvane QSH Editor 1.04 -- [" + dir.File("ed/b.qsh") + "]");
  EXPECT_EQ(saved, kSaved);
  EXPECT_EQ(doc.state.documentPath, dir.File("ed/b.qsh"));
}
