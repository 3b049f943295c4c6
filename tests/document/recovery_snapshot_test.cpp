// The recovery copy taken as a snapshot on the GUI thread and written on a
// worker thread: it holds the document as it was at the snapshot, whatever
// the editing does meanwhile, with the same bytes a copy made at once would
// have; nothing is written when nothing changed; and a copy on its way never
// lands after the copy was removed.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <thread>

#include "document/document_commands.h"
#include "document/history.h"
#include "document/object_file.h"
#include "document/recovery.h"
#include "document/shape_file.h"
#include "test_files.h"

using namespace qshe;
using qshe::testing::ReadBytes;
using qshe::testing::TempDir;

namespace {

void Fill(Shape& s, int w, int h, uint8_t first) {
  AllocateShape(s, w, h);
  for (int i = 0; i < w * h; ++i) s.pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(first + i);
}

struct SnapshotTest : ::testing::Test {
  TempDir dir;
  Document doc;
  Canvas canvas;
  History history;
  RecoveryJournal journal;

  void SetUp() override {
    ResetDocument(doc);
    doc.list.count = 40;
    for (int i = 0; i < 40; ++i) {
      Fill(doc.list.slots[static_cast<size_t>(i)], 50 + i, 30, static_cast<uint8_t>(i));
      doc.list.slots[static_cast<size_t>(i)].offsetX = i;
    }
    doc.state.documentPath = "/work/castle.qs2";
    doc.state.qbjFlag = 1;
    ShowShape(doc, canvas, 3, false, 0);
    ResetHistory(history, canvas, false);
    MarkModified(doc);
    journal.folder = dir.File("recovery");
    journal.pid = 777;
    ASSERT_TRUE(OpenRecoveryJournal(journal, nullptr));
  }
  // What a copy made at once of the document holds now.
  std::vector<uint8_t> CopyNow(bool canvasEdited, int64_t when) {
    RecoveryCopy copy = MakeRecoveryCopy(doc, canvas, canvasEdited);
    copy.info.pid = journal.pid;
    copy.info.writtenAt = when;
    return EncodeRecoveryCopy(copy);
  }
  RecoveryWrite Tick(bool canvasEdited, int64_t when) {
    return StartRecoveryCopy(journal, doc, canvas, canvasEdited, when, nullptr);
  }
  RecoveryWrite Finish() { return FinishRecoveryCopy(journal, true, nullptr); }
};

}  // namespace

TEST(PixelBlock, AWriteThroughASharedBlockCopiesItAndAnUnsharedOneDoesNot) {
  Shape shape;
  Fill(shape, 4, 4, 1);
  const uint8_t* own = shape.pixels.get();
  EXPECT_EQ(shape.pixels.get(), own);  // no snapshot: written in place
  PixelBlock snapshot = shape.pixels.Share();
  EXPECT_TRUE(shape.pixels.shared());
  shape.pixels[0] = 99;
  EXPECT_EQ(std::as_const(snapshot)[0], 1);
  EXPECT_EQ(std::as_const(shape.pixels)[0], 99);
  EXPECT_FALSE(shape.pixels.shared());
  EXPECT_FALSE(snapshot.shared());
  // Reading the shape through a const view never copies.
  PixelBlock again = shape.pixels.Share();
  const Shape& view = shape;
  EXPECT_EQ(view.pixels.get(), std::as_const(again).get());
  // Moves and clears keep counting right (ASan watches the frees).
  Shape moved = std::move(shape);
  ClearShape(moved);
  EXPECT_EQ(std::as_const(again)[0], 99);
}

TEST_F(SnapshotTest, TheStreamedCopyHasTheBytesOfACopyMadeAtOnce) {
  for (bool edited : {false, true}) {
    canvas.At(0, 255) = edited ? 201 : canvas.At(0, 255);
    RecoverySnapshot snapshot = TakeRecoverySnapshot(doc, canvas, edited);
    snapshot.info.pid = journal.pid;
    snapshot.info.writtenAt = 1234;
    std::vector<uint8_t> streamed;
    VectorSink sink(streamed);
    ASSERT_TRUE(WriteRecoverySnapshotTo(snapshot, sink));
    EXPECT_EQ(streamed, CopyNow(edited, 1234)) << edited;
    EXPECT_TRUE(DecodeRecoveryCopy(streamed, nullptr)) << edited;
  }
}

TEST_F(SnapshotTest, TheCopyHoldsTheDocumentAsItWasAtTheTickWhateverFollows) {
  canvas.At(5, 250) = 7;  // painting not committed yet
  const std::vector<uint8_t> atTick = CopyNow(true, 50);
  ASSERT_EQ(Tick(true, 50), RecoveryWrite::Started);
  // The editing goes on while the worker writes: pixels written in place,
  // a commit, shapes replaced and removed, fields and flags, undo.
  for (int i = 0; i < 40; i += 3) doc.list.slots[static_cast<size_t>(i)].pixels[0] = 255;
  CommitCanvas(doc, canvas, doc.list.current, false);
  BeginStep(history, doc, canvas, "Replace");
  std::vector<Shape> one(1);
  Fill(one[0], 9, 9, 200);
  ReplaceShapes(history, doc.list, 10, std::move(one));
  RemoveShapes(history, doc.list, 0, 5);
  doc.list.slots[1].offsetY = 55;
  doc.state.qs2Flag = 1;
  EndStep(history);
  Undo(history, doc, canvas);
  EXPECT_EQ(Finish(), RecoveryWrite::Written);
  EXPECT_EQ(ReadBytes(journal.CopyPath()), atTick);
}

TEST_F(SnapshotTest, PaintingWhileTheWorkerWritesNeverReachesTheCopy) {
  // The GUI thread keeps writing into the very blocks the worker reads; the
  // copy must still be the document of the tick, byte for byte.
  const std::vector<uint8_t> atTick = CopyNow(false, 60);
  ASSERT_EQ(Tick(false, 60), RecoveryWrite::Started);
  uint8_t ink = 1;
  while (!journal.worker->finished()) {
    for (int i = 0; i < 40; ++i) {
      Shape& s = doc.list.slots[static_cast<size_t>(i)];
      std::memset(s.pixels.get(), ink, static_cast<size_t>(s.PixelCount()));
    }
    ++ink;
  }
  EXPECT_EQ(Finish(), RecoveryWrite::Written);
  EXPECT_EQ(ReadBytes(journal.CopyPath()), atTick);
}

TEST_F(SnapshotTest, ATickWithNothingChangedWritesNothingAndAChangeIsWrittenAgain) {
  ASSERT_EQ(Tick(false, 1), RecoveryWrite::Started);
  EXPECT_EQ(Finish(), RecoveryWrite::Written);
  const auto firstTime = std::filesystem::last_write_time(journal.CopyPath());
  EXPECT_EQ(Tick(false, 2), RecoveryWrite::Unchanged);
  EXPECT_FALSE(journal.worker);
  // The shape shown and uncommitted painting are what the copy holds too.
  ShowShape(doc, canvas, 4, false, 0);
  EXPECT_EQ(Tick(false, 3), RecoveryWrite::Started);
  EXPECT_EQ(Finish(), RecoveryWrite::Written);
  canvas.At(1, 254) = 3;
  EXPECT_EQ(Tick(true, 4), RecoveryWrite::Started);
  EXPECT_EQ(Finish(), RecoveryWrite::Written);
  canvas.At(1, 254) = 4;
  EXPECT_EQ(Tick(true, 5), RecoveryWrite::Started);
  EXPECT_EQ(Finish(), RecoveryWrite::Written);
  EXPECT_EQ(Tick(true, 6), RecoveryWrite::Unchanged);
  // A change through the document's operations.
  MarkModified(doc);
  EXPECT_EQ(Tick(true, 7), RecoveryWrite::Started);
  EXPECT_EQ(Finish(), RecoveryWrite::Written);
  auto copy = DecodeRecoveryCopy(ReadBytes(journal.CopyPath()), nullptr);
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->info.writtenAt, 7);
  EXPECT_EQ(copy->info.current, 4);
  (void)firstTime;
}

TEST_F(SnapshotTest, ACopyOnItsWayNeverLandsAfterItWasRemovedAndATickWaitsForIt) {
  ASSERT_EQ(Tick(false, 1), RecoveryWrite::Started);
  MarkModified(doc);
  // Still on its way or just done: either way the next tick does not start
  // a second writer of the same name.
  RecoveryWrite second = Tick(false, 2);
  EXPECT_TRUE(second == RecoveryWrite::Busy || second == RecoveryWrite::Started) << static_cast<int>(second);
  RemoveRecoveryCopy(journal);
  EXPECT_FALSE(journal.worker);
  EXPECT_FALSE(std::filesystem::exists(journal.CopyPath()));
  EXPECT_FALSE(journal.haveCopy);
}

TEST_F(SnapshotTest, AFailedWriteIsToldAndTriedAgainAtTheNextTick) {
  std::string error;
  {
    InjectedFileFailure full(FileStep::Write, ENOSPC);
    ASSERT_EQ(Tick(false, 1), RecoveryWrite::Started);
    EXPECT_EQ(FinishRecoveryCopy(journal, true, &error), RecoveryWrite::Failed);
  }
  EXPECT_EQ(error, std::strerror(ENOSPC));
  EXPECT_FALSE(journal.haveCopy);
  EXPECT_FALSE(std::filesystem::exists(journal.CopyPath()));
  EXPECT_EQ(Tick(false, 2), RecoveryWrite::Started);
  EXPECT_EQ(Finish(), RecoveryWrite::Written);
  EXPECT_TRUE(std::filesystem::exists(journal.CopyPath()));
}

TEST_F(SnapshotTest, AWriteAtOnceWaitsForTheWorkerAndKnowsWhatItWrote) {
  ASSERT_EQ(Tick(false, 1), RecoveryWrite::Started);
  // Before the editor ends: the copy on its way is the document as it is.
  EXPECT_EQ(WriteRecoveryCopy(journal, doc, canvas, false, 2, nullptr), RecoveryWrite::Unchanged);
  EXPECT_FALSE(journal.worker);
  MarkModified(doc);
  EXPECT_EQ(WriteRecoveryCopy(journal, doc, canvas, false, 3, nullptr), RecoveryWrite::Written);
  EXPECT_EQ(ReadBytes(journal.CopyPath()), CopyNow(false, 3));
}
