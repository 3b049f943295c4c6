// Save asks before it overwrites a file another program changed, replaced
// or created since the document read or last wrote it, and No keeps the
// document as it was, unsaved.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <fcntl.h>
#include <sys/time.h>

#include "document/document_commands.h"
#include "document/object_file.h"
#include "document/shape_file.h"
#include "platform/headless/headless.h"
#include "test_files.h"

using namespace qshe;
using namespace qshe::testing;
using platform::Answer;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

namespace {

// One shape with object properties: QBJ files written by our encoder.
Bytes SideFileBytes(int walkable) {
  std::vector<Shape> shapes(1);
  shapes[0].walkable = walkable;
  return EncodeObjectFile(shapes);
}

// Another program writes the file: new bytes, and a time that differs even
// where the clock is coarse.
void WriteAsAnotherProgram(const std::string& path, const Bytes& bytes) {
  WriteBytes(path, bytes);
  struct timeval later[2] = {{2000000000, 0}, {2000000000, 0}};
  ::utimes(path.c_str(), later);
}

struct ChangedOnDiskTest : ::testing::Test {
  TempDir dir;
  Document doc;
  Canvas canvas;
  platform::HeadlessPlatform ui;
  std::string path;
  std::string side;

  void SetUp() override {
    path = dir.File("items.qsh");
    side = dir.File("items.qbj");
    WriteBytes(path, kQsh);
    WriteBytes(side, SideFileBytes(1));
    OpenPath(doc, canvas, ui.platform(), path);
    ASSERT_EQ(doc.list.count, 1);
    ASSERT_EQ(doc.state.qbjFlag, 1);
    Paint();
  }
  void Paint() {
    canvas.At(0, 255) = 77;
    MarkModified(doc);
  }
  std::string Question(const std::string& name) { return ChangedOnDiskQuestion(name); }
  std::vector<std::string> Questions() const {
    std::vector<std::string> texts;
    for (const auto& m : ui.messages) texts.push_back(m.text);
    return texts;
  }
  bool SavedOurs() {
    std::vector<Shape> table(2);
    LoadResult r = LoadShapeFile(path, table);
    return r.status == LoadStatus::Ok && r.count == 1 && table[0].HasPixels() && table[0].pixels[0] == 77;
  }
};

}  // namespace

TEST_F(ChangedOnDiskTest, AFileNobodyTouchedIsSavedWithoutAQuestionAgainAndAgain) {
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaved);
  Paint();
  canvas.At(1, 255) = 78;
  // The second save measures against what the first one wrote.
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaved);
  EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
  EXPECT_TRUE(SavedOurs());
}

TEST_F(ChangedOnDiskTest, NoKeepsTheOtherProgramsFileAndTheDocumentUnsaved) {
  WriteAsAnotherProgram(path, kQs2);
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaveFailed);
  ASSERT_EQ(Questions(), std::vector<std::string>{Question(path)});
  EXPECT_EQ(ui.messages[0].buttons, platform::Buttons::YesNo);
  EXPECT_EQ(ui.messages[0].text, path + " was changed by another program since it was opened. Overwrite it?");
  EXPECT_EQ(ReadBytes(path), kQs2);
  EXPECT_EQ(ReadBytes(side), SideFileBytes(1));
  EXPECT_EQ(doc.state.modified, kModified);
  // Asked again at the next save: a No is no promise about the file.
  ui.answers.push_back(Answer::Yes);
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaved);
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_TRUE(SavedOurs());
  EXPECT_EQ(doc.state.modified, kUnmodified);
}

TEST_F(ChangedOnDiskTest, YesOverwritesAndTheFileThenCountsAsOurs) {
  WriteAsAnotherProgram(path, kQs2);
  ui.answers.push_back(Answer::Yes);
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaved);
  EXPECT_TRUE(SavedOurs());
  Paint();
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaved);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(ChangedOnDiskTest, AFileReplacedByRenameIsAnotherFileEvenWithTheSameBytesAndTime) {
  // A tool that saves safely puts a new file in place; size and time may
  // well be the same as before.
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  const std::string fresh = dir.File("fresh.tmp");
  WriteBytes(fresh, kQsh);
  struct timespec same[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, fresh.c_str(), same, 0), 0);
  ASSERT_EQ(::rename(fresh.c_str(), path.c_str()), 0);
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaveFailed);
  EXPECT_EQ(Questions(), std::vector<std::string>{Question(path)});
  EXPECT_EQ(ReadBytes(path), kQsh);
}

TEST_F(ChangedOnDiskTest, AFileRemovedMeanwhileIsWrittenAgainWithoutAQuestion) {
  fs::remove(path);
  fs::remove(side);
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaved);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(SavedOurs());
  EXPECT_TRUE(fs::exists(side));
}

TEST_F(ChangedOnDiskTest, TheSideFileIsAskedAboutOnItsOwn) {
  WriteAsAnotherProgram(side, SideFileBytes(0));
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaveFailed);
  EXPECT_EQ(Questions(), std::vector<std::string>{Question(side)});
  // Neither file changes: the pair is written together or not at all.
  EXPECT_EQ(ReadBytes(path), kQsh);
  EXPECT_EQ(ReadBytes(side), SideFileBytes(0));
  EXPECT_EQ(doc.state.modified, kModified);

  ui.answers.push_back(Answer::Yes);
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaved);
  EXPECT_EQ(ReadBytes(side), SideFileBytes(1));
}

TEST_F(ChangedOnDiskTest, BothChangedAsksForBothAndANoForTheSecondStillWritesNothing) {
  WriteAsAnotherProgram(path, kQs2);
  WriteAsAnotherProgram(side, SideFileBytes(0));
  ui.answers = {Answer::Yes, Answer::No};
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaveFailed);
  EXPECT_EQ(Questions(), (std::vector<std::string>{Question(path), Question(side)}));
  EXPECT_EQ(ReadBytes(path), kQs2);
  EXPECT_EQ(ReadBytes(side), SideFileBytes(0));
}

TEST_F(ChangedOnDiskTest, ASideFileAnotherProgramCreatedIsNotOverwrittenUnasked) {
  const std::string bare = dir.File("bare.qsh");
  const std::string bareSide = dir.File("bare.qbj");
  WriteBytes(bare, kQsh);
  OpenPath(doc, canvas, ui.platform(), bare);
  ASSERT_EQ(doc.state.qbjFlag, 0);
  WriteAsAnotherProgram(bareSide, SideFileBytes(0));
  doc.state.qbjFlag = 1;  // the user switched the object properties on
  MarkModified(doc);
  EXPECT_EQ(SaveDocument(doc, canvas, ui.platform()), kSaveFailed);
  EXPECT_EQ(Questions(), std::vector<std::string>{Question(bareSide)});
  EXPECT_EQ(ReadBytes(bareSide), SideFileBytes(0));
}

TEST_F(ChangedOnDiskTest, TheUnsavedChangesQuestionsYesWithANoKeepsTheDocumentOpen) {
  WriteAsAnotherProgram(path, kQs2);
  ui.answers = {Answer::Yes, Answer::No};  // save the changes? / overwrite?
  NewDocument(doc, canvas, ui.platform());
  EXPECT_EQ(doc.state.documentPath, path);
  EXPECT_EQ(doc.state.modified, kModified);
  EXPECT_EQ(ReadBytes(path), kQs2);
}

TEST_F(ChangedOnDiskTest, SaveAsToAnotherNameAsksNothingAndANewDocumentNothingEither) {
  WriteAsAnotherProgram(path, kQs2);
  const std::string other = dir.File("other.qsh");
  ui.fileNames.push_back(other);
  EXPECT_EQ(SaveDocumentAs(doc, canvas, ui.platform()), kSaved);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ReadBytes(path), kQs2);

  ui.answers.push_back(Answer::No);  // the unsaved-changes question: discard
  NewDocument(doc, canvas, ui.platform());
  ui.messages.clear();
  ui.fileNames.push_back(path);  // a new document saved over a file: the dialog asked
  EXPECT_EQ(SaveDocumentAs(doc, canvas, ui.platform()), kSaved);
  EXPECT_TRUE(ui.messages.empty());
}
