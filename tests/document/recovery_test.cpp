// The recovery copy's bytes, the document taken into it and given back, and
// the journal's view of which copies belong to editors no longer running.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "document/document_commands.h"
#include "document/object_file.h"
#include "document/recovery.h"
#include "document/shape_file.h"
#include "platform/headless/headless.h"
#include "test_files.h"

using namespace qshe;
using qshe::testing::TempDir;

namespace {

void SetShape(Shape& s, int w, int h, uint8_t first) {
  AllocateShape(s, w, h);
  for (int i = 0; i < w * h; ++i) s.pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(first + i);
}

// Three shapes with every field in use, one of them empty, on shape 1.
void MakeDocument(Document& doc, Canvas& canvas) {
  ResetDocument(doc);
  doc.list.count = 3;
  SetShape(doc.list.slots[0], 2, 3, 10);
  doc.list.slots[0].offsetX = -4;
  doc.list.slots[0].replacement = 777;
  doc.list.slots[0].tavrelX = 5;
  doc.list.slots[0].sittable = 1;
  SetShape(doc.list.slots[1], 4, 1, 40);
  doc.list.slots[1].offsetY = 9;
  doc.list.slots[1].gettable = 1;
  doc.list.slots[1].tavrelY = -3;
  doc.list.slots[2].width = 1;  // an empty canvas commits as 1 x 0
  doc.list.slots[2].walkable = 1;
  doc.state.documentPath = "/somewhere/castle.qs2";
  doc.state.qs2Flag = 1;
  doc.state.qbjFlag = 1;
  ShowShape(doc, canvas, 1, false, 0);
}

// Everything a save could write, in one comparable value.
std::vector<uint8_t> Saved(Document& doc) {
  auto shapes = EncodeShapeFile(doc.list.Document(), ShapeFileFormat::Qs2);
  auto objects = EncodeObjectFile(doc.list.Document());
  shapes.insert(shapes.end(), objects.begin(), objects.end());
  return shapes;
}

struct RecoveryTest : ::testing::Test {
  platform::HeadlessPlatform hp;
  Document doc;
  Canvas canvas;
  void SetUp() override { MakeDocument(doc, canvas); }
};

TEST_F(RecoveryTest, ACopyGivesBackEveryFieldOfTheDocument) {
  RecoveryCopy copy = MakeRecoveryCopy(doc, canvas, false);
  copy.info.writtenAt = 1'800'000'000;
  std::string error;
  auto decoded = DecodeRecoveryCopy(EncodeRecoveryCopy(copy), &error);
  ASSERT_TRUE(decoded) << error;
  EXPECT_EQ(decoded->info.writtenAt, 1'800'000'000);

  Document back;
  Canvas backCanvas;
  ASSERT_TRUE(RestoreRecoveryCopy(back, backCanvas, hp.platform(), *decoded, &error)) << error;
  EXPECT_EQ(Saved(back), Saved(doc));
  EXPECT_EQ(back.list.count, 3);
  EXPECT_EQ(back.list.current, 1);
  EXPECT_EQ(back.list.slots[3].replacement, 3);  // slots past the document as after New
  EXPECT_EQ(back.state.documentPath, "/somewhere/castle.qs2");
  EXPECT_EQ(back.state.qs2Flag, 1);
  EXPECT_EQ(back.state.qbjFlag, 1);
  EXPECT_EQ(back.state.modified, kModified);
  EXPECT_EQ(backCanvas.pixels, canvas.pixels);
  EXPECT_EQ(hp.title(), "Quorvane QSH Editor 1.04 -- [/somewhere/castle.qs2]");
}

TEST_F(RecoveryTest, TheCanvasGoesIntoTheCopyButNotIntoTheDocument) {
  int drops = 0;
  doc.hooks.dropFloatingSelection = [&] { ++drops; };
  canvas.At(100, 100) = 99;  // painting the timer has not committed yet
  const Canvas before = canvas;
  const auto shapesBefore = Saved(doc);

  RecoveryCopy copy = MakeRecoveryCopy(doc, canvas, true);
  EXPECT_EQ(drops, 0);  // a floating selection stays floating
  EXPECT_EQ(Saved(doc), shapesBefore);
  EXPECT_EQ(canvas.pixels, before.pixels);

  Document back;
  Canvas backCanvas;
  ASSERT_TRUE(RestoreRecoveryCopy(back, backCanvas, hp.platform(), copy, nullptr));
  EXPECT_EQ(backCanvas.At(100, 100), 99);
  EXPECT_EQ(back.list.slots[1].offsetY, 9);  // the shape keeps its own fields
  EXPECT_EQ(back.list.slots[1].gettable, 1);
  // What a save of the restored document writes is what a save would have.
  CommitCanvas(doc, canvas, 1, false);
  EXPECT_EQ(Saved(back), Saved(doc));
}

TEST_F(RecoveryTest, DamagedBytesAreRefusedAndTheDocumentStaysAsItWas) {
  RecoveryCopy copy = MakeRecoveryCopy(doc, canvas, false);
  const std::vector<uint8_t> good = EncodeRecoveryCopy(copy);
  std::string error;
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(DecodeRecoveryCopy(cut, &error)) << "cut to " << n;
    std::vector<uint8_t> flipped = good;
    flipped[n] ^= 0x40;
    EXPECT_FALSE(DecodeRecoveryCopy(flipped, &error)) << "byte " << n;
    EXPECT_FALSE(error.empty());
  }

  // A sound container around shapes that do not decode restores nothing.
  copy.shapeFile = {'Q', 'S', 'H', '2', '.', '0', '0', '1', 9, 0, 0, 0};
  auto decoded = DecodeRecoveryCopy(EncodeRecoveryCopy(copy), &error);
  ASSERT_TRUE(decoded);
  Document other;
  Canvas otherCanvas;
  MakeDocument(other, otherCanvas);
  other.state.modified = kUnmodified;
  EXPECT_FALSE(RestoreRecoveryCopy(other, otherCanvas, hp.platform(), *decoded, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Saved(other), Saved(doc));
  EXPECT_EQ(other.state.modified, kUnmodified);
}

TEST_F(RecoveryTest, AJournalWritesOnlyWhatChangedAndRemovesItsCopy) {
  TempDir dir;
  RecoveryJournal j;
  j.folder = dir.File("recovery");
  j.pid = 4242;
  ASSERT_TRUE(OpenRecoveryJournal(j, nullptr));
  EXPECT_EQ(WriteRecoveryCopy(j, doc, canvas, false, 100, nullptr), RecoveryWrite::Written);
  ASSERT_TRUE(std::filesystem::exists(dir.File("recovery/4242.qshr")));
  EXPECT_EQ(WriteRecoveryCopy(j, doc, canvas, false, 130, nullptr), RecoveryWrite::Unchanged);
  canvas.At(3, 250) = 7;
  EXPECT_EQ(WriteRecoveryCopy(j, doc, canvas, true, 160, nullptr), RecoveryWrite::Written);
  auto bytes = qshe::testing::ReadBytes(j.CopyPath());
  auto written = DecodeRecoveryCopy(bytes, nullptr);
  ASSERT_TRUE(written);
  EXPECT_EQ(written->info.pid, 4242u);
  EXPECT_EQ(written->info.writtenAt, 160);
  RemoveRecoveryCopy(j);
  EXPECT_FALSE(std::filesystem::exists(j.CopyPath()));
}

TEST_F(RecoveryTest, OnlyCopiesOfEditorsNoLongerRunningAreOrphans) {
  TempDir dir;
  const std::string folder = dir.File("recovery");
  auto running = std::make_unique<RecoveryJournal>();
  running->folder = folder;
  running->pid = 1001;
  ASSERT_TRUE(OpenRecoveryJournal(*running, nullptr));
  ASSERT_EQ(WriteRecoveryCopy(*running, doc, canvas, false, 1, nullptr), RecoveryWrite::Written);

  RecoveryJournal second;
  second.folder = folder;
  second.pid = 1002;
  ASSERT_TRUE(OpenRecoveryJournal(second, nullptr));
  EXPECT_TRUE(FindOrphanedCopies(second).empty());  // 1001 still holds its lock

  // Ended without removing its copy; its lock goes with it.
  running.reset();
  {
    auto orphans = FindOrphanedCopies(second);
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0].pid, 1001u);
    // While one editor deals with it, another starting editor leaves it be.
    RecoveryJournal third;
    third.folder = folder;
    third.pid = 1003;
    ASSERT_TRUE(OpenRecoveryJournal(third, nullptr));
    EXPECT_TRUE(FindOrphanedCopies(third).empty());
  }

  // A new process that got the dead editor's id finds the copy under its own
  // name until it writes one itself.
  RecoveryJournal reused;
  reused.folder = folder;
  reused.pid = 1001;
  ASSERT_TRUE(OpenRecoveryJournal(reused, nullptr));
  auto orphans = FindOrphanedCopies(reused);
  ASSERT_EQ(orphans.size(), 1u);
  auto moved = DiscardOrphanedCopy(reused, orphans[0], nullptr);
  ASSERT_TRUE(moved);
  EXPECT_EQ(*moved, folder + "/discarded/1001.qshr");
  EXPECT_TRUE(std::filesystem::exists(*moved));
  EXPECT_TRUE(FindOrphanedCopies(second).empty());
  ASSERT_EQ(WriteRecoveryCopy(reused, doc, canvas, false, 2, nullptr), RecoveryWrite::Written);
  EXPECT_TRUE(FindOrphanedCopies(reused).empty());
}

}  // namespace
