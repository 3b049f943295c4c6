#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "document/file_io.h"
#include "document/shape_file.h"
#include "platform/headless/headless.h"
#include "test_files.h"

using namespace qshe;
using namespace qshe::testing;
using platform::Answer;
using Bytes = std::vector<uint8_t>;

namespace {

void MakeShape(Shape& s, int w, int h, int ox, int oy, std::initializer_list<uint8_t> pixels = {}) {
  AllocateShape(s, w, h);
  std::tie(s.offsetX, s.offsetY) = std::make_tuple(ox, oy);
  std::copy(pixels.begin(), pixels.end(), s.pixels.get());
}

Bytes Encode(const std::vector<Shape>& shapes, ShapeFileFormat f) {
  return EncodeShapeFile(std::span<const Shape>(shapes), f);
}

struct ShapeFileTest : ::testing::Test {
  TempDir dir;
  Document doc;
  platform::HeadlessPlatform ui;
  int Save(const std::string& path) { return SaveShapeFile(doc, ui.platform(), path, doc.list.Document()); }
  int Read(Document& d, const std::string& name, const Bytes& bytes) {
    if (!bytes.empty()) WriteBytes(dir.File(name), bytes);
    return ReadShapeFile(d, ui.platform(), dir.File(name), d.list.slots);
  }
};

}  // namespace

TEST(ShapeFileFormat, KnownBytesSizeTableAndEmptyShapes) {
  std::vector<Shape> one(1);
  MakeShape(one[0], 2, 1, 3, -1, {5, 6});
  one[0].replacement = 7;
  EXPECT_EQ(Encode(one, ShapeFileFormat::Qsh), kQsh);
  EXPECT_EQ(Encode(one, ShapeFileFormat::Qs2), kQs2);

  std::vector<Shape> shapes(3);
  AllocateShape(shapes[0], 10, 4);
  for (int i = 0; i < 40; ++i) shapes[0].pixels[i] = static_cast<uint8_t>(i + 1);
  std::tie(shapes[1].offsetX, shapes[1].offsetY) = std::make_tuple(-3, 7);  // empty shape with offsets
  shapes[2].replacement = -1;
  Bytes qsh = Encode(shapes, ShapeFileFormat::Qsh);
  ASSERT_EQ(qsh.size(), 2u + 6u + 44u + 5u + 5u);
  EXPECT_EQ(qsh[2], 44);
  EXPECT_EQ(qsh[4], 5);
  EXPECT_EQ(Bytes(qsh.begin() + 8, qsh.begin() + 12), (Bytes{10, 4, 0, 0}));
  EXPECT_EQ(Bytes(qsh.begin() + 52, qsh.begin() + 57), (Bytes{1, 1, 0xFD, 7, 0}));

  // QSH turns an empty shape into one transparent pixel, keeping its offsets.
  std::vector<Shape> back(5);
  ASSERT_EQ(DecodeShapeFile(qsh, back).status, LoadStatus::Ok);
  EXPECT_EQ(std::tie(back[1].width, back[1].height, back[1].offsetX, back[1].offsetY), std::make_tuple(1, 1, -3, 7));
  EXPECT_EQ(std::make_pair(back[1].pixels[0], back[0].pixels[39]), std::make_pair(uint8_t{0}, uint8_t{40}));

  // QS2 keeps it empty, and replacement -1 survives as 0xFFFF.
  Bytes qs2 = Encode(shapes, ShapeFileFormat::Qs2);
  EXPECT_EQ(Bytes(qs2.begin() + 16 + 46, qs2.begin() + 16 + 52), (Bytes{0, 0, 0xFD, 7, 0, 0}));
  EXPECT_EQ(Bytes(qs2.end() - 2, qs2.end()), (Bytes{0xFF, 0xFF}));
  auto r = DecodeShapeFile(qs2, back);
  ASSERT_EQ(r.status, LoadStatus::Ok);
  EXPECT_EQ(r.format, ShapeFileFormat::Qs2);
  EXPECT_EQ(std::make_tuple(back[1].HasPixels(), back[1].width, back[2].replacement), std::make_tuple(false, 0, -1));
}

TEST(ShapeFileFormat, RoundTripsAndSignature) {
  std::mt19937 rng(7);
  std::vector<Shape> shapes(40);
  for (auto& s : shapes) {
    int w = 1 + static_cast<int>(rng() % 255), h = 1 + static_cast<int>(rng() % 40);
    MakeShape(s, w, h, static_cast<int>(rng() % 256) - 128, static_cast<int>(rng() % 256) - 128);
    for (int i = 0; i < w * h; ++i) s.pixels[i] = static_cast<uint8_t>(rng());
    s.replacement = static_cast<int>(rng() % 65536) - 32768;
  }
  Bytes qs2 = Encode(shapes, ShapeFileFormat::Qs2);
  std::vector<Shape> mid(40), last(40);
  ASSERT_EQ(DecodeShapeFile(qs2, mid).status, LoadStatus::Ok);
  EXPECT_EQ(Encode(mid, ShapeFileFormat::Qs2), qs2);
  for (size_t i = 0; i < shapes.size(); ++i) EXPECT_EQ(mid[i].replacement, shapes[i].replacement);
  Bytes qsh = Encode(mid, ShapeFileFormat::Qsh);
  ASSERT_EQ(DecodeShapeFile(qsh, last).status, LoadStatus::Ok);
  EXPECT_EQ(Encode(last, ShapeFileFormat::Qsh), qsh);
  EXPECT_EQ(Encode(shapes, ShapeFileFormat::Qsh), qsh);

  // Only the first four bytes decide QS2, and bytes after the announced
  // records are never looked at.
  Bytes other = kQs2;
  other[5] = 'X';
  EXPECT_EQ(DecodeShapeFile(other, mid).format, ShapeFileFormat::Qs2);
  EXPECT_EQ(mid[0].replacement, 7);
  Bytes longer = kQsh;
  longer.insert(longer.end(), {9, 9, 9});
  EXPECT_EQ(DecodeShapeFile(longer, mid).count, 1);
}

TEST(ShapeFileFormat, BrokenFilesAreRefusedAndLeaveTheTableAlone) {
  std::vector<Shape> shapes(3);
  MakeShape(shapes[0], 3, 2, 1, 1, {1, 2, 3, 4, 5, 6});
  MakeShape(shapes[2], 2, 2, 0, 0, {7, 7, 7, 7});
  for (auto format : {ShapeFileFormat::Qsh, ShapeFileFormat::Qs2}) {
    Bytes good = Encode(shapes, format);
    // Every truncation point of a valid file.
    for (size_t cut = 0; cut < good.size(); ++cut) {
      std::vector<Shape> t(3);
      MakeShape(t[0], 1, 1, 42, 0, {99});
      auto r = DecodeShapeFile(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)), t);
      // "QS" alone reads as QSH announcing 0x5351 shapes.
      bool qs = format == ShapeFileFormat::Qs2 && cut >= 2 && cut < 4;
      EXPECT_TRUE(qs ? r.status != LoadStatus::Ok : r.status == LoadStatus::Damaged && !r.detail.empty()) << cut;
      EXPECT_EQ(std::make_pair(t[0].offsetX, int{t[0].pixels[0]}), std::make_pair(42, 99)) << "table touched at " << cut;
    }
  }
}

TEST(ShapeFileFormat, HugeAndNegativeCounts) {
  std::vector<Shape> t(100);
  Bytes qsh(2 + 2 * 101 + 101 * 5, 0);  // 101 shapes into a table of 100
  qsh[0] = 101;
  EXPECT_EQ(DecodeShapeFile(qsh, t).status, LoadStatus::TooMany);
  qsh[0] = 100;
  EXPECT_EQ(DecodeShapeFile(qsh, t).status, LoadStatus::Ok);
  Bytes qs2 = kQs2;
  for (uint8_t top : {0x80, 0xFF, 0x7F}) {
    qs2[11] = top;
    auto r = DecodeShapeFile(qs2, t);
    EXPECT_NE(r.status, LoadStatus::Ok);
    EXPECT_NE(r.detail.find("shapes"), std::string::npos) << r.detail;
  }
  auto r = DecodeShapeFile(Bytes{0, 0}, t);  // zero shapes is a valid, empty file
  EXPECT_EQ(std::make_pair(r.status, r.count), std::make_pair(LoadStatus::Ok, 0));
}

TEST_F(ShapeFileTest, ReadSetsPathTitleAndFlagOnlyOnSuccessAndNamesBrokenFiles) {
  doc.state.modified = kModified;
  EXPECT_EQ(Read(doc, "a.qsh", kQs2), 1);  // a QS2 file under a QSH name
  EXPECT_EQ(doc.state.qs2Flag, 1);
  EXPECT_EQ(doc.state.documentPath, dir.File("a.qsh"));
  EXPECT_EQ(ui.title(), "Quorvane QSH Editor 1.04 -- [" + dir.File("a.qsh") + "]");
  EXPECT_EQ(doc.state.modified, kModified);  // Open's business, not the reader's

  Document other;
  EXPECT_EQ(Read(other, "missing.qsh", {}), kReadFailedCount);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Read(other, "short.qsh", Bytes(kQsh.begin(), kQsh.end() - 1)), kReadRefused);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find(dir.File("short.qsh")), std::string::npos);
  Bytes encrypted = kQs2;
  encrypted[12] = 1;
  EXPECT_EQ(Read(other, "e.qs2", encrypted), kReadFailedCount);
  EXPECT_EQ(ui.messages.back().text, "This QS2 file is encrypted and can not be loaded.");
  EXPECT_EQ(other.state.qs2Flag, 0);
  EXPECT_TRUE(other.state.documentPath.empty());
}

TEST_F(ShapeFileTest, ReadOneShapePicksByNumber) {
  std::vector<Shape> shapes(5);
  for (int i = 0; i < 5; ++i) {
    MakeShape(shapes[i], i + 1, 2, i, -i);
    std::fill_n(shapes[i].pixels.get(), (i + 1) * 2, static_cast<uint8_t>(i));
  }
  for (auto [name, format] : {std::pair{"five.qsh", ShapeFileFormat::Qsh}, std::pair{"five.qs2", ShapeFileFormat::Qs2}}) {
    WriteBytes(dir.File(name), Encode(shapes, format));
    Shape target;
    target.tavrelX = 5;
    ASSERT_TRUE(ReadOneShape(ui, target, dir.File(name), 4));
    // The whole record, fields the file does not hold cleared.
    EXPECT_EQ(std::tie(target.width, target.offsetY, target.tavrelX, target.pixels[9]), std::make_tuple(5, -4, 0, 4));
    EXPECT_FALSE(ReadOneShape(ui, target, dir.File(name), 5));
    EXPECT_EQ(ui.messages.back().text, "There is no shape number 5 in this shape file.");
    EXPECT_EQ(target.width, 5);
  }
  Shape target;
  EXPECT_FALSE(ReadOneShape(ui, target, dir.File("nothing.qsh"), 0));
  EXPECT_EQ(ui.messages.back().text, "Could not load shape: File not found.");
  // A file cut inside the wanted record is reported, not half read.
  Bytes cut = Encode(shapes, ShapeFileFormat::Qsh);
  WriteBytes(dir.File("cut.qsh"), Bytes(cut.begin(), cut.end() - 3));
  MakeShape(target, 1, 1, 8, 8, {3});
  EXPECT_FALSE(ReadOneShape(ui, target, dir.File("cut.qsh"), 4));
  EXPECT_EQ(target.offsetX, 8);
  EXPECT_TRUE(ReadOneShape(ui, target, dir.File("cut.qsh"), 3));
}

TEST_F(ShapeFileTest, SaveAsksForANameAndPicksTheFormat) {
  doc.list.count = 1;  // the one shape of kQsh / kQs2
  MakeShape(doc.list.slots[0], 2, 1, 3, -1, {5, 6});
  doc.list.slots[0].replacement = 7;
  EXPECT_EQ(Save(""), kSaveCancelled);  // cancelled dialog: nothing written
  ASSERT_EQ(ui.saveDialogs.size(), 1u);
  EXPECT_EQ(ui.saveDialogs[0].initialName, "nameless.qsh");

  // A name ending in 2 is QS2 without asking.
  doc.state.modified = kModified;
  ui.fileNames = {dir.File("b.qs2")};
  EXPECT_EQ(Save(""), kSaved);
  EXPECT_EQ(ReadBytes(dir.File("b.qs2")), kQs2);
  EXPECT_EQ(std::tie(doc.state.modified, doc.state.documentPath), std::make_tuple(kUnmodified, dir.File("b.qs2")));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.cursor(), platform::Cursor::Arrow);

  // With QS2 data, a QSH name asks; Yes writes .qs2, No writes .qsh, over a
  // longer file without leaving its tail.
  doc.state.qs2Flag = 1;
  WriteBytes(dir.File("a.qsh"), Bytes(5000, 0xAB));
  ui.answers = {Answer::Yes, Answer::No};
  EXPECT_EQ(Save(dir.File("a.qsh")), kSaved);
  EXPECT_EQ(ReadBytes(dir.File("a.qs2")), kQs2);
  EXPECT_EQ(doc.state.documentPath, dir.File("a.qs2"));
  EXPECT_EQ(Save(dir.File("a.qsh")), kSaved);
  EXPECT_EQ(ReadBytes(dir.File("a.qsh")), kQsh);
  EXPECT_EQ(std::make_pair(ui.messages.size(), doc.state.qs2Flag), std::make_pair(size_t{2}, 1));  // flag stays
}

// A target that cannot be written, and a shape too big for the format.
TEST_F(ShapeFileTest, FailedSavesKeepTheOldFileAndTheDocumentState) {
  // Root writes anywhere; then the target is a directory to force a failure.
  const bool root = ::geteuid() == 0;
  std::string locked = root ? dir.File("locked.qsh") : dir.File("ro/locked.qsh"), big = dir.File("big.qsh");
  std::filesystem::create_directories(root ? locked : dir.File("ro"));
  if (!root) WriteBytes(locked, kQsh);
  WriteBytes(big, kQsh);
  ::chmod(big.c_str(), 0640);
  if (!root) ::chmod(dir.File("ro").c_str(), 0555);
  MakeShape(doc.list.slots[0], 1, 1, 0, 0, {9});
  AllocateShape(doc.list.slots[2], 256, 10);
  doc.state.modified = kModified;
  doc.state.documentPath = "old.qsh";
  ui.SetTitle("before");
  for (auto [path, count, why] : {std::tuple{locked, 1, "Error while saving shapes - Shapes could not be saved: "},
                                  std::tuple{big, 3, "Shape 2 is 256 x 10"}}) {
    doc.list.count = count;
    EXPECT_EQ(Save(path), kSaveFailed);
    EXPECT_NE(ui.messages.back().text.find(why), std::string::npos) << ui.messages.back().text;
    EXPECT_EQ(std::tie(doc.state.modified, doc.state.documentPath), std::make_tuple(kModified, std::string("old.qsh")));
    EXPECT_EQ(ui.title(), "before");
    EXPECT_TRUE((root && path == locked) || ReadBytes(path) == kQsh) << path;
  }
  EXPECT_EQ(ui.messages.size(), 2u);
  for (auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find(".qsh."), std::string::npos) << "temporary file left";
  // A good save keeps the file's permissions.
  doc.list.count = 1;
  ASSERT_TRUE(WriteQs2File(doc, ui.platform(), big, doc.list.Document()));
  struct stat st {};
  ASSERT_EQ(::stat(big.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(ShapeFileNames, SideFileAndQs2Names) {
  for (auto [in, qbj] : {std::pair{"a.qsh", "a.qbj"}, std::pair{"/x/b.QS2", "/x/b.Qbj"},
                         std::pair{"dir.v1/patch", "dir.v1/patch.qbj"}, std::pair{"ab", "ab.qbj"}, std::pair{"a", ""}})
    EXPECT_EQ(ObjectFileName(in), qbj) << in;
  for (auto [in, qs2] : {std::pair{"a.qsh", "a.qs2"}, std::pair{"A.QSH", "A.QS2"}, std::pair{"patch", "patch.qs2"}})
    EXPECT_EQ(Qs2NameFor(in), qs2) << in;
}

TEST_F(ShapeFileTest, SpecialAndWriteProtectedFilesAreNeitherReadNorReplaced) {
  MakeShape(doc.list.slots[0], 1, 1, 0, 0, {9});
  doc.list.count = 1;
  for (auto [path, what] : MakeSpecialFiles(dir, ".qsh")) {
    const std::string before = Describe(path), fifoBefore = Describe(dir.File("fifo.qsh"));
    // Reading neither hangs nor takes the bytes of something that is no file.
    Document other;
    EXPECT_EQ(ReadShapeFile(other, ui.platform(), path, other.list.slots), kReadRefused) << what;
    if (what != "mode 0444") {
      EXPECT_NE(ui.messages.back().text.find("not a regular file"), std::string::npos) << what;
    }
    doc.state.modified = kModified;
    doc.state.documentPath = "old.qsh";
    EXPECT_EQ(Save(path), kSaveFailed) << what;
    EXPECT_EQ(ui.messages.back().text.rfind("Error while saving shapes - Shapes could not be saved: ", 0), 0u)
        << ui.messages.back().text;
    EXPECT_EQ(std::tie(doc.state.modified, doc.state.documentPath), std::make_tuple(kModified, std::string("old.qsh")));
    EXPECT_EQ(Describe(path), before) << what;
    EXPECT_EQ(Describe(dir.File("fifo.qsh")), fifoBefore) << what;
  }
  // A side file its owner may not write fails the save the same way.
  std::string side = dir.File("doc.qbj");
  WriteBytes(side, {7});
  ::chmod(side.c_str(), 0444);
  doc.state.qbjFlag = 1;
  EXPECT_EQ(Save(dir.File("doc.qsh")), kSaveFailed);
  EXPECT_EQ(doc.state.modified, kModified);
  EXPECT_EQ(ReadBytes(side), Bytes{7});
  for (auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_NE(entry.path().filename().string()[0], '.') << "temporary file left: " << entry.path();

  // The single-shape reader takes a QSH count of 32768 or more as negative.
  Bytes many(2 + 2 * 0x8000 + 5, 0);
  many[0] = 0x00;
  many[1] = 0x80;
  many[2 + 2 * 0x8000] = 1;
  many[2 + 2 * 0x8000 + 1] = 1;
  WriteBytes(dir.File("many.qsh"), many);
  Shape target;
  EXPECT_FALSE(ReadOneShape(ui, target, dir.File("many.qsh"), 0));
  EXPECT_EQ(ui.messages.back().text, "There is no shape number 0 in this shape file.");
}
