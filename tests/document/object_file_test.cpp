#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <tuple>

#include "document/file_io.h"
#include "document/object_file.h"
#include "document/shape_file.h"
#include "platform/headless/headless.h"
#include "test_files.h"

using namespace qshe;
using Bytes = std::vector<uint8_t>;
using qshe::testing::ReadBytes;
using qshe::testing::TempDir;
using qshe::testing::WriteBytes;

namespace {

Bytes Header(int32_t n) {
  auto v = static_cast<uint32_t>(n);
  return {'Q', 'O', '0', '1', static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
}

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void SetProps(Shape& s, int32_t w, int32_t g, int32_t si, int32_t x, int32_t y) {
  s.walkable = w;
  s.gettable = g;
  s.sittable = si;
  s.tavrelX = x;
  s.tavrelY = y;
}

// Marks a shape so that a test can tell it was not touched.
void Mark(Shape& s) { SetProps(s, 1, 1, 1, 77, -77); }
bool Marked(const Shape& s) {
  return s.walkable == 1 && s.gettable == 1 && s.sittable == 1 && s.tavrelX == 77 &&
         s.tavrelY == -77;
}

}  // namespace

TEST(ObjectFileEncode, FlagsAndOnlyTheNonZeroTavrelBytes) {
  std::vector<Shape> shapes(5);
  SetProps(shapes[0], 1, 0, 1, -2, 0);   // 0x0D, then X
  SetProps(shapes[1], 0, 0, 0, 0, 0);    // one byte
  SetProps(shapes[2], 0, 1, 0, 0, 5);    // only Y follows
  SetProps(shapes[3], 1, 1, 1, 127, -128);  // X before Y
  SetProps(shapes[4], 0, 0, 0, 256, 0);  // a coordinate is stored in its low byte
  EXPECT_EQ(EncodeObjectFile(shapes),
            Cat(Header(5), {0x0D, 0xFE, 0x00, 0x12, 0x05, 0x1F, 0x7F, 0x80, 0x08, 0x00}));
  EXPECT_EQ(EncodeObjectFile({}), Header(0));
}

TEST(ObjectFileDecode, RoundTripGivesTheSameProperties) {
  std::vector<Shape> out(6);
  for (int i = 0; i < 6; ++i) SetProps(out[i], i & 1, (i >> 1) & 1, (i >> 2) & 1, i - 3, 3 - 2 * i);
  std::vector<Shape> in(6);
  for (Shape& s : in) Mark(s);
  ObjectFileResult r = DecodeObjectFile(EncodeObjectFile(out), in);
  EXPECT_TRUE(r.isObjectFile);
  EXPECT_EQ(r.applied, 6);
  for (int i = 0; i < 6; ++i) {
    // A 0 coordinate is left out of the file, so the old value shows through.
    const Shape& s = in[i];
    EXPECT_EQ(s.walkable, out[i].walkable);
    EXPECT_EQ(s.gettable, out[i].gettable);
    EXPECT_EQ(s.sittable, out[i].sittable);
    EXPECT_EQ(s.tavrelX, out[i].tavrelX ? out[i].tavrelX : 77) << i;
    EXPECT_EQ(s.tavrelY, out[i].tavrelY ? out[i].tavrelY : -77) << i;
  }
}

TEST(ObjectFileDecode, UnusedFlagBitsAreIgnoredAndReadNoBytes) {
  std::vector<Shape> s(2);
  s[0].tavrelX = 5;
  DecodeObjectFile(Cat(Header(2), {0xE1, 0x04}), s);
  EXPECT_EQ(s[0].walkable, 1);
  EXPECT_EQ(s[0].gettable + s[0].sittable, 0);
  EXPECT_EQ(s[0].tavrelX, 5);
  EXPECT_EQ(s[1].sittable, 1);
  EXPECT_EQ(ObjectBit(0xFF, 7), 1);
  EXPECT_EQ(ObjectBit(0xFF, 8), 0);
  EXPECT_EQ(ObjectBit(0xFF, -1), 0);
}

TEST(ObjectFileDecode, FillsNoMoreThanTheShapesOrTheRecords) {
  Bytes ten = Header(10);
  for (int i = 0; i < 10; ++i) ten.push_back(0x02);
  std::vector<Shape> four(5);
  Mark(four[4]);
  // Only the four shapes handed over are filled; the slot after them is not.
  ObjectFileResult r = DecodeObjectFile(ten, std::span<Shape>(four.data(), 4));
  EXPECT_EQ(r.applied, 4);
  EXPECT_EQ(r.announced, 10);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(four[i].gettable, 1);
  EXPECT_TRUE(Marked(four[4]));

  std::vector<Shape> s(4);
  for (Shape& x : s) Mark(x);
  r = DecodeObjectFile(Cat(Header(2), {0x00, 0x00, 0x00, 0x00}), s);
  EXPECT_EQ(r.applied, 2);
  EXPECT_FALSE(Marked(s[0]) || Marked(s[1]));
  EXPECT_TRUE(Marked(s[2]) && Marked(s[3]));

  for (int32_t n : {0, -1, INT32_MIN}) {
    Mark(s[0]);
    EXPECT_EQ(DecodeObjectFile(Cat(Header(n), {0x00}), s).applied, 0);
    EXPECT_TRUE(Marked(s[0]));
  }
}

TEST(ObjectFileDecode, AFileEndingInsideARecordKeepsOnlyWholeRecords) {
  std::vector<Shape> s(3);
  for (Shape& x : s) Mark(x);
  // The second record announces both coordinates but only X is there.
  ObjectFileResult r = DecodeObjectFile(Cat(Header(3), {0x08, 0x03, 0x19, 0x04}), s);
  EXPECT_EQ(r.applied, 1);
  EXPECT_TRUE(r.endsInsideRecord);
  EXPECT_EQ(s[0].tavrelX, 3);
  EXPECT_EQ(s[0].walkable, 0);
  EXPECT_TRUE(Marked(s[1]));
  EXPECT_TRUE(Marked(s[2]));

  // Fewer records than announced, each whole: all of them count.
  Mark(s[0]);
  r = DecodeObjectFile(Cat(Header(3), {0x01}), s);
  EXPECT_EQ(r.applied, 1);
  EXPECT_FALSE(r.endsInsideRecord);
}

TEST(ObjectFileDecode, RecordsRunOnAcross512ByteBlocks) {
  // 503 one-byte records fill offsets 8..510; the record at 511 has its two
  // Tavrel bytes at 512 and 513, and the next flags byte sits at 514.
  Bytes file = Header(506);
  file.resize(511, 0x01);
  file.insert(file.end(), {0x1A, 0xF0, 0x11, 0x08, 0x22, 0x04});
  ASSERT_EQ(file.size(), 517u);
  std::vector<Shape> s(506);
  ObjectFileResult r = DecodeObjectFile(file, s);
  EXPECT_EQ(r.applied, 506);
  EXPECT_EQ(s[502].walkable, 1);
  EXPECT_EQ(s[503].gettable, 1);
  EXPECT_EQ(s[503].tavrelX, -16);
  EXPECT_EQ(s[503].tavrelY, 0x11);
  EXPECT_EQ(s[504].tavrelX, 0x22);
  EXPECT_EQ(s[505].sittable, 1);

  // Flags as the last byte of a block, the X byte as the first of the next.
  file = Header(504);
  file.resize(511, 0x00);
  file.insert(file.end(), {0x08, 0x7F});
  std::vector<Shape> t(504);
  EXPECT_EQ(DecodeObjectFile(file, t).applied, 504);
  EXPECT_EQ(t[503].tavrelX, 127);
}

struct ObjectFileDocTest : ::testing::Test {
  TempDir dir;
  std::unique_ptr<Document> doc = std::make_unique<Document>();
  platform::HeadlessPlatform desk;
  platform::Platform& ui = desk.platform();

  void MakeShapes(int n) {
    doc->list.count = n;
    for (int i = 0; i < n; ++i) {
      AllocateShape(doc->list.slots[i], 2, 1);
      doc->list.slots[i].pixels[0] = doc->list.slots[i].pixels[1] = static_cast<uint8_t>(i);
      SetProps(doc->list.slots[i], i % 2, i % 3 == 0, i % 5 == 0, i - 2, 2 - i);
    }
  }
};

TEST_F(ObjectFileDocTest, ReadSetsOrClearsTheFlag) {
  std::string qbj = dir.File("a.qbj");
  WriteBytes(qbj, Cat(Header(1), {0x04}));
  doc->state.qbjFlag = 0;
  ReadObjectFile(*doc, qbj, 1);
  EXPECT_EQ(doc->state.qbjFlag, 1);
  EXPECT_EQ(doc->list.slots[0].sittable, 1);

  // Wrong magic, or a header cut short before its count: not a side file.
  Mark(doc->list.slots[0]);
  for (const Bytes& bad :
       {Bytes{'X', 'O', '0', '1', 1, 0, 0, 0, 0x04}, Bytes{'Q', 'O', '0', '1', 1}}) {
    doc->state.qbjFlag = 1;
    WriteBytes(qbj, bad);
    ReadObjectFile(*doc, qbj, 1);
    EXPECT_EQ(doc->state.qbjFlag, 0);
    EXPECT_TRUE(Marked(doc->list.slots[0]));
  }

  doc->state.qbjFlag = 1;
  ReadObjectFile(*doc, dir.File("missing.qbj"), 1);
  EXPECT_EQ(doc->state.qbjFlag, 0);
  EXPECT_TRUE(desk.messages.empty());
}

TEST_F(ObjectFileDocTest, SavingWritesTheSideFileAndOpeningReadsItBack) {
  MakeShapes(7);
  doc->state.qbjFlag = 1;
  std::string qsh = dir.File("doc.qsh");
  ASSERT_TRUE(WriteQshFile(*doc, ui, qsh, doc->list.Document()));
  EXPECT_EQ(ReadBytes(dir.File("doc.qbj")), EncodeObjectFile(doc->list.Document()));

  auto back = std::make_unique<Document>();
  ASSERT_EQ(ReadShapeFile(*back, ui, qsh, back->list.slots), 7);
  EXPECT_EQ(back->state.qbjFlag, 1);
  for (int i = 0; i < 7; ++i) {
    const Shape& a = doc->list.slots[i];
    const Shape& b = back->list.slots[i];
    EXPECT_EQ(std::tie(a.walkable, a.gettable, a.sittable, a.tavrelX, a.tavrelY),
              std::tie(b.walkable, b.gettable, b.sittable, b.tavrelX, b.tavrelY))
        << "shape " << i;
  }

  // Without the flag no side file is written.
  doc->state.qbjFlag = 0;
  ASSERT_TRUE(WriteQs2File(*doc, ui, dir.File("plain.qs2"), doc->list.Document()));
  EXPECT_FALSE(FileExists(dir.File("plain.qbj")));
  EXPECT_TRUE(desk.messages.empty());
}

TEST_F(ObjectFileDocTest, ASideFileThatCannotBeWrittenIsReported) {
  MakeShapes(2);
  doc->state.qbjFlag = 1;
  std::string qsh = dir.File("doc.qsh");
  // A directory where the side file should go makes its write fail.
  std::filesystem::create_directory(dir.File("doc.qbj"));
  EXPECT_TRUE(WriteQshFile(*doc, ui, qsh, doc->list.Document()));
  EXPECT_TRUE(FileExists(qsh));
  ASSERT_EQ(desk.messages.size(), 1u);
  EXPECT_NE(desk.messages[0].text.find(dir.File("doc.qbj")), std::string::npos);
  EXPECT_NE(desk.messages[0].text.find("object properties"), std::string::npos);
  EXPECT_EQ(desk.messages[0].icon, platform::Icon::Stop);

  EXPECT_FALSE(WriteObjectFile(*doc, ui, dir.File("no-such-dir/x.qbj")));
  EXPECT_EQ(desk.messages.size(), 2u);
}

TEST_F(ObjectFileDocTest, ImportAsksForAFileAndKeepsModified) {
  MakeShapes(3);
  doc->state.modified = kModified;
  int refreshed = 0;
  auto refresh = [&] { ++refreshed; };

  desk.fileNames.push_back(std::nullopt);
  EXPECT_FALSE(ImportObjectFile(*doc, ui, refresh));
  ASSERT_EQ(desk.openDialogs.size(), 1u);
  EXPECT_EQ(desk.openDialogs[0].filters.at(0).pattern, "*.qbj");
  EXPECT_TRUE(desk.openDialogs[0].fileMustExist);
  EXPECT_EQ(refreshed, 0);

  // Ten records for three shapes: slot 3, outside the document, stays.
  Bytes ten = Header(10);
  ten.insert(ten.end(), 10, 0x07);
  std::string qbj = dir.File("any name.dat");
  WriteBytes(qbj, ten);
  Mark(doc->list.slots[3]);
  desk.fileNames.push_back(qbj);
  EXPECT_TRUE(ImportObjectFile(*doc, ui, refresh));
  EXPECT_EQ(refreshed, 1);
  EXPECT_EQ(doc->state.qbjFlag, 1);
  EXPECT_EQ(doc->state.modified, kModified);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(doc->list.slots[i].sittable, 1);
  EXPECT_TRUE(Marked(doc->list.slots[3]));
  EXPECT_TRUE(desk.messages.empty());

  // A file that is not a side file switches the properties off, and says so.
  WriteBytes(qbj, Bytes{'Q', 'S', 'H', '2'});
  desk.fileNames.push_back(qbj);
  EXPECT_FALSE(ImportObjectFile(*doc, ui, refresh));
  EXPECT_EQ(doc->state.qbjFlag, 0);
  EXPECT_EQ(doc->list.slots[0].sittable, 1);
  EXPECT_EQ(refreshed, 2);
  ASSERT_EQ(desk.messages.size(), 1u);
  EXPECT_NE(desk.messages[0].text.find(qbj), std::string::npos);
}
