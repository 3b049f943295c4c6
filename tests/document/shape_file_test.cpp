#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "document/file_io.h"
#include "document/shape_file.h"
#include "platform/headless/headless.h"
#include "test_files.h"

using namespace qshe;
using qshe::testing::ReadBytes;
using qshe::testing::TempDir;
using qshe::testing::WriteBytes;
using platform::Answer;
using Bytes = std::vector<uint8_t>;

namespace {

const Bytes kQsh = {0x01, 0x00, 0x06, 0x00, 0x02, 0x01, 0x03, 0xFF, 0x05, 0x06};
const Bytes kQs2 = {'Q', 'S', 'H', '2', '.', '0', '0', '1', 0x01, 0x00, 0x00, 0x00,
                    0x00, 0x00, 0x00, 0x00, 0x02, 0x01, 0x03, 0xFF, 0x07, 0x00, 0x05, 0x06};

void MakeShape(Shape& s, int w, int h, int ox, int oy, std::initializer_list<uint8_t> pixels = {}) {
  AllocateShape(s, w, h);
  s.offsetX = ox;
  s.offsetY = oy;
  int i = 0;
  for (uint8_t p : pixels) s.pixels[i++] = p;
}

std::vector<Shape> Table(size_t n) { return std::vector<Shape>(n); }

Bytes Encode(const std::vector<Shape>& shapes, ShapeFileFormat f) {
  return EncodeShapeFile(std::span<const Shape>(shapes), f);
}

struct ShapeFileTest : ::testing::Test {
  TempDir dir;
  Document doc;
  platform::HeadlessPlatform ui;
};

}  // namespace

TEST(ShapeFileFormat, OneShapeDocumentEncodesToTheKnownBytes) {
  auto shapes = Table(1);
  MakeShape(shapes[0], 2, 1, 3, -1, {5, 6});
  shapes[0].replacement = 7;
  EXPECT_EQ(Encode(shapes, ShapeFileFormat::Qsh), kQsh);
  EXPECT_EQ(Encode(shapes, ShapeFileFormat::Qs2), kQs2);
}

TEST(ShapeFileFormat, SizeTableAndEmptyShapes) {
  auto shapes = Table(3);
  AllocateShape(shapes[0], 10, 4);
  for (int i = 0; i < 40; ++i) shapes[0].pixels[i] = static_cast<uint8_t>(i + 1);
  shapes[1].offsetX = -3;  // empty shape with offsets
  shapes[1].offsetY = 7;
  shapes[2].replacement = -1;
  Bytes qsh = Encode(shapes, ShapeFileFormat::Qsh);
  ASSERT_EQ(qsh.size(), 2u + 6u + 44u + 5u + 5u);
  EXPECT_EQ(qsh[2], 44);
  EXPECT_EQ(qsh[4], 5);
  EXPECT_EQ(Bytes(qsh.begin() + 8, qsh.begin() + 12), (Bytes{10, 4, 0, 0}));
  EXPECT_EQ(Bytes(qsh.begin() + 52, qsh.begin() + 57), (Bytes{1, 1, 0xFD, 7, 0}));

  // QSH turns an empty shape into one transparent pixel, keeping its offsets.
  auto back = Table(5);
  ASSERT_EQ(DecodeShapeFile(qsh, back).status, LoadStatus::Ok);
  EXPECT_EQ(back[1].width, 1);
  EXPECT_EQ(back[1].height, 1);
  EXPECT_EQ(back[1].pixels[0], 0);
  EXPECT_EQ(back[1].offsetX, -3);
  EXPECT_EQ(back[1].offsetY, 7);
  EXPECT_EQ(back[0].pixels[39], 40);

  // QS2 keeps it empty, and replacement -1 survives as 0xFFFF.
  Bytes qs2 = Encode(shapes, ShapeFileFormat::Qs2);
  EXPECT_EQ(Bytes(qs2.begin() + 16 + 46, qs2.begin() + 16 + 52), (Bytes{0, 0, 0xFD, 7, 0, 0}));
  EXPECT_EQ(Bytes(qs2.end() - 2, qs2.end()), (Bytes{0xFF, 0xFF}));
  auto back2 = Table(5);
  auto r = DecodeShapeFile(qs2, back2);
  ASSERT_EQ(r.status, LoadStatus::Ok);
  EXPECT_EQ(r.format, ShapeFileFormat::Qs2);
  EXPECT_EQ(back2[1].width, 0);
  EXPECT_FALSE(back2[1].HasPixels());
  EXPECT_EQ(back2[2].replacement, -1);
}

TEST(ShapeFileFormat, RoundTripsThroughBothFormats) {
  std::mt19937 rng(7);
  auto shapes = Table(40);
  for (auto& s : shapes) {
    int w = 1 + static_cast<int>(rng() % 255), h = 1 + static_cast<int>(rng() % 40);
    MakeShape(s, w, h, static_cast<int>(rng() % 256) - 128, static_cast<int>(rng() % 256) - 128);
    for (int i = 0; i < w * h; ++i) s.pixels[i] = static_cast<uint8_t>(rng());
    s.replacement = static_cast<int>(rng() % 65536) - 32768;
  }
  Bytes qs2 = Encode(shapes, ShapeFileFormat::Qs2);
  auto mid = Table(40);
  ASSERT_EQ(DecodeShapeFile(qs2, mid).status, LoadStatus::Ok);
  EXPECT_EQ(Encode(mid, ShapeFileFormat::Qs2), qs2);
  for (size_t i = 0; i < shapes.size(); ++i) EXPECT_EQ(mid[i].replacement, shapes[i].replacement);
  Bytes qsh = Encode(mid, ShapeFileFormat::Qsh);
  auto last = Table(40);
  ASSERT_EQ(DecodeShapeFile(qsh, last).status, LoadStatus::Ok);
  EXPECT_EQ(Encode(last, ShapeFileFormat::Qsh), qsh);
  EXPECT_EQ(Encode(shapes, ShapeFileFormat::Qsh), qsh);
}

TEST(ShapeFileFormat, QsSignatureDecidesWhateverTheName) {
  auto t = Table(2);
  auto r = DecodeShapeFile(kQs2, t);
  EXPECT_EQ(r.format, ShapeFileFormat::Qs2);
  EXPECT_EQ(t[0].replacement, 7);
  // Only the first four bytes are looked at.
  Bytes other = kQs2;
  other[5] = 'X';
  EXPECT_EQ(DecodeShapeFile(other, t).status, LoadStatus::Ok);
  // Bytes after the announced records are never looked at.
  Bytes longer = kQsh;
  longer.insert(longer.end(), {9, 9, 9});
  EXPECT_EQ(DecodeShapeFile(longer, t).count, 1);
}

TEST(ShapeFileFormat, BrokenFilesAreRefusedAndLeaveTheTableAlone) {
  auto shapes = Table(3);
  MakeShape(shapes[0], 3, 2, 1, 1, {1, 2, 3, 4, 5, 6});
  MakeShape(shapes[2], 2, 2, 0, 0, {7, 7, 7, 7});
  for (auto format : {ShapeFileFormat::Qsh, ShapeFileFormat::Qs2}) {
    Bytes good = Encode(shapes, format);
    // Every truncation point of a valid file.
    for (size_t cut = 0; cut < good.size(); ++cut) {
      auto t = Table(3);
      MakeShape(t[0], 1, 1, 42, 0, {99});
      Bytes bad(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
      auto r = DecodeShapeFile(bad, t);
      bool stillQs2 = cut >= 4 && format == ShapeFileFormat::Qs2;
      if (!stillQs2 && cut >= 2 && format == ShapeFileFormat::Qs2) {
        // "QS" alone reads as a QSH file announcing 0x5351 shapes.
        EXPECT_NE(r.status, LoadStatus::Ok) << cut;
      } else {
        EXPECT_EQ(r.status, LoadStatus::Damaged) << "cut at " << cut;
        EXPECT_FALSE(r.detail.empty());
      }
      EXPECT_EQ(t[0].offsetX, 42) << "table touched at cut " << cut;
      EXPECT_EQ(t[0].pixels[0], 99);
    }
  }
}

TEST(ShapeFileFormat, HugeAndNegativeCounts) {
  auto t = Table(100);
  // QSH announcing 101 shapes into a table of 100.
  Bytes qsh(2 + 2 * 101 + 101 * 5, 0);
  qsh[0] = 101;
  EXPECT_EQ(DecodeShapeFile(qsh, t).status, LoadStatus::TooMany);
  qsh[0] = 100;
  EXPECT_EQ(DecodeShapeFile(qsh, t).status, LoadStatus::Ok);
  // QS2 counts that are negative or larger than any table.
  Bytes qs2 = kQs2;
  for (uint8_t top : {0x80, 0xFF, 0x7F}) {
    qs2[11] = top;
    auto r = DecodeShapeFile(qs2, t);
    EXPECT_NE(r.status, LoadStatus::Ok);
    EXPECT_TRUE(r.detail.find("shapes") != std::string::npos) << r.detail;
  }
  // Zero shapes is a valid, empty file.
  Bytes none = {0, 0};
  auto r = DecodeShapeFile(none, t);
  EXPECT_EQ(r.status, LoadStatus::Ok);
  EXPECT_EQ(r.count, 0);
}

TEST_F(ShapeFileTest, ReadSetsPathTitleAndQs2FlagOnlyOnSuccess) {
  WriteBytes(dir.File("a.qsh"), kQs2);  // a QS2 file under a QSH name
  doc.state.modified = kModified;
  EXPECT_EQ(ReadShapeFile(doc, ui.platform(), dir.File("a.qsh"), doc.list.slots), 1);
  EXPECT_EQ(doc.state.qs2Flag, 1);
  EXPECT_EQ(doc.state.documentPath, dir.File("a.qsh"));
  EXPECT_EQ(ui.title(), "Quorvane QSH Editor 1.04 -- [" + dir.File("a.qsh") + "]");
  EXPECT_EQ(doc.state.modified, kModified);  // Open's business, not the reader's

  Document other;
  EXPECT_EQ(ReadShapeFile(other, ui.platform(), dir.File("missing.qsh"), other.list.slots),
            kReadFailedCount);
  EXPECT_TRUE(other.state.documentPath.empty());
  EXPECT_EQ(ui.messages.size(), 0u);
}

TEST_F(ShapeFileTest, DamagedAndEncryptedFilesAreReportedWithTheirName) {
  Bytes damaged(kQsh.begin(), kQsh.end() - 1);
  WriteBytes(dir.File("short.qsh"), damaged);
  EXPECT_EQ(ReadShapeFile(doc, ui.platform(), dir.File("short.qsh"), doc.list.slots), kReadRefused);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find(dir.File("short.qsh")), std::string::npos);
  EXPECT_TRUE(doc.state.documentPath.empty());

  Bytes encrypted = kQs2;
  encrypted[12] = 1;
  WriteBytes(dir.File("e.qs2"), encrypted);
  EXPECT_EQ(ReadShapeFile(doc, ui.platform(), dir.File("e.qs2"), doc.list.slots), kReadFailedCount);
  EXPECT_EQ(ui.messages.back().text, "This QS2 file is encrypted and can not be loaded.");
  EXPECT_EQ(doc.state.qs2Flag, 0);
}

TEST_F(ShapeFileTest, ReadOneShapePicksByNumber) {
  auto shapes = Table(5);
  for (int i = 0; i < 5; ++i) MakeShape(shapes[i], i + 1, 2, i, -i);
  for (int i = 0; i < 5; ++i) std::fill_n(shapes[i].pixels.get(), (i + 1) * 2, static_cast<uint8_t>(i));
  for (auto [name, format] : {std::pair{"five.qsh", ShapeFileFormat::Qsh}, std::pair{"five.qs2", ShapeFileFormat::Qs2}}) {
    WriteBytes(dir.File(name), Encode(shapes, format));
    Shape target;
    target.tavrelX = 5;
    target.gettable = 1;
    ASSERT_TRUE(ReadOneShape(ui, target, dir.File(name), 4));
    EXPECT_EQ(target.width, 5);
    EXPECT_EQ(target.offsetY, -4);
    EXPECT_EQ(target.pixels[9], 4);
    EXPECT_EQ(target.tavrelX, 0);  // the record replaces the whole shape
    EXPECT_EQ(target.gettable, 0);

    EXPECT_FALSE(ReadOneShape(ui, target, dir.File(name), 5));
    EXPECT_EQ(ui.messages.back().text, "There is no shape number 5 in this shape file.");
    EXPECT_EQ(target.width, 5);
  }
  Shape target;
  EXPECT_FALSE(ReadOneShape(ui, target, dir.File("nothing.qsh"), 0));
  EXPECT_EQ(ui.messages.back().text, "Could not load shape: File not found.");

  // A file cut inside the wanted record is reported, not half read.
  Bytes cut = Encode(shapes, ShapeFileFormat::Qsh);
  cut.resize(cut.size() - 3);
  WriteBytes(dir.File("cut.qsh"), cut);
  MakeShape(target, 1, 1, 8, 8, {3});
  EXPECT_FALSE(ReadOneShape(ui, target, dir.File("cut.qsh"), 4));
  EXPECT_EQ(target.offsetX, 8);
  EXPECT_TRUE(ReadOneShape(ui, target, dir.File("cut.qsh"), 3));
}

TEST_F(ShapeFileTest, SaveAsksForANameAndPicksTheFormat) {
  doc.list.count = 1;
  MakeShape(doc.list.slots[0], 2, 1, 3, -1, {5, 6});
  doc.list.slots[0].replacement = 7;

  // Cancelled dialog: nothing written.
  EXPECT_EQ(SaveShapeFile(doc, ui.platform(), "", doc.list.Document()), kSaveCancelled);
  ASSERT_EQ(ui.saveDialogs.size(), 1u);
  EXPECT_EQ(ui.saveDialogs[0].initialName, "nameless.qsh");
  EXPECT_EQ(ui.saveDialogs[0].defaultExtension, "qsh");
  EXPECT_TRUE(ui.saveDialogs[0].promptOverwrite);
  ASSERT_EQ(ui.saveDialogs[0].filters.size(), 3u);
  EXPECT_EQ(ui.saveDialogs[0].filters[1].description, "Extended Shape file (*.qs2)");

  // A name ending in 2 is QS2 without asking.
  doc.state.modified = kModified;
  ui.fileNames = {dir.File("b.qs2")};
  EXPECT_EQ(SaveShapeFile(doc, ui.platform(), "", doc.list.Document()), kSaved);
  EXPECT_EQ(ReadBytes(dir.File("b.qs2")), kQs2);
  EXPECT_EQ(doc.state.modified, kUnmodified);
  EXPECT_EQ(doc.state.documentPath, dir.File("b.qs2"));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.cursor(), platform::Cursor::Arrow);

  // With QS2 data, a QSH name asks; Yes writes .qs2, No writes .qsh.
  doc.state.qs2Flag = 1;
  ui.answers = {Answer::Yes, Answer::No};
  EXPECT_EQ(SaveShapeFile(doc, ui.platform(), dir.File("a.qsh"), doc.list.Document()), kSaved);
  EXPECT_EQ(ReadBytes(dir.File("a.qs2")), kQs2);
  EXPECT_FALSE(FileExists(dir.File("a.qsh")));
  EXPECT_EQ(doc.state.documentPath, dir.File("a.qs2"));
  EXPECT_EQ(SaveShapeFile(doc, ui.platform(), dir.File("a.qsh"), doc.list.Document()), kSaved);
  EXPECT_EQ(ReadBytes(dir.File("a.qsh")), kQsh);
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(doc.state.qs2Flag, 1);  // saving never clears it
}

TEST_F(ShapeFileTest, SavingOverALongerFileLeavesNoTail) {
  std::string path = dir.File("x.qsh");
  WriteBytes(path, Bytes(5000, 0xAB));
  doc.list.count = 1;
  MakeShape(doc.list.slots[0], 2, 1, 3, -1, {5, 6});
  ASSERT_TRUE(WriteQshFile(doc, ui.platform(), path, doc.list.Document()));
  EXPECT_EQ(ReadBytes(path), kQsh);
}

TEST_F(ShapeFileTest, FailedSaveKeepsTheOldFileAndTheDocumentState) {
  if (::geteuid() == 0) {
    // Root writes anywhere; make the target a directory to force a failure.
    std::filesystem::create_directories(dir.File("locked.qsh"));
  } else {
    std::filesystem::create_directories(dir.File("ro"));
    WriteBytes(dir.File("ro/locked.qsh"), kQsh);
    ::chmod(dir.File("ro").c_str(), 0555);
  }
  std::string path = ::geteuid() == 0 ? dir.File("locked.qsh") : dir.File("ro/locked.qsh");
  doc.list.count = 1;
  MakeShape(doc.list.slots[0], 1, 1, 0, 0, {9});
  doc.state.modified = kModified;
  doc.state.documentPath = "old.qsh";
  ui.SetTitle("before");
  EXPECT_EQ(SaveShapeFile(doc, ui.platform(), path, doc.list.Document()), kSaveFailed);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text.rfind("Error while saving shapes - Shapes could not be saved: ", 0), 0u);
  EXPECT_NE(ui.messages[0].text.find(" Please try again."), std::string::npos);
  EXPECT_EQ(doc.state.modified, kModified);
  EXPECT_EQ(doc.state.documentPath, "old.qsh");
  EXPECT_EQ(ui.title(), "before");
  if (::geteuid() != 0) {
    EXPECT_EQ(ReadBytes(path), kQsh);
  }
  // No temporary file is left behind.
  for (auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
    EXPECT_EQ(entry.path().filename().string().find(".locked.qsh."), std::string::npos);
  }
}

TEST_F(ShapeFileTest, OversizedShapeIsRefusedByName) {
  doc.list.count = 3;
  AllocateShape(doc.list.slots[2], 256, 10);
  std::string path = dir.File("big.qsh");
  WriteBytes(path, kQsh);
  EXPECT_EQ(SaveShapeFile(doc, ui.platform(), path, doc.list.Document()), kSaveFailed);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("Shape 2 is 256 x 10"), std::string::npos);
  EXPECT_EQ(ReadBytes(path), kQsh);
}

TEST_F(ShapeFileTest, SavedFileKeepsThePermissionsOfTheOneItReplaces) {
  std::string path = dir.File("perm.qsh");
  WriteBytes(path, kQsh);
  ::chmod(path.c_str(), 0640);
  doc.list.count = 1;
  ASSERT_TRUE(WriteQs2File(doc, ui.platform(), path, doc.list.Document()));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(ShapeFileNames, SideFileAndQs2Names) {
  EXPECT_EQ(ObjectFileName("a.qsh"), "a.qbj");
  EXPECT_EQ(ObjectFileName("/x/b.QS2"), "/x/b.Qbj");
  EXPECT_EQ(ObjectFileName("dir.v1/patch"), "dir.v1/patch.qbj");
  EXPECT_EQ(ObjectFileName("ab"), "ab.qbj");
  EXPECT_EQ(ObjectFileName("a"), "");
  EXPECT_EQ(Qs2NameFor("a.qsh"), "a.qs2");
  EXPECT_EQ(Qs2NameFor("A.QSH"), "A.QS2");
  EXPECT_EQ(Qs2NameFor("patch"), "patch.qs2");
}
