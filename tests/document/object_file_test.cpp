#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <tuple>

#include <sys/stat.h>

#include "document/file_io.h"
#include "document/object_file.h"
#include "document/shape_file.h"
#include "platform/headless/headless.h"
#include "test_files.h"

using namespace qshe;
using namespace qshe::testing;
using Bytes = std::vector<uint8_t>;

namespace {

// The header announcing n records, followed by `records`.
Bytes Qbj(int32_t n, const Bytes& records = {}) {
  Bytes b = {'Q', 'O', '0', '1'};
  for (int shift = 0; shift < 32; shift += 8) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(n) >> shift));
  for (uint8_t r : records) b.push_back(r);
  return b;
}

void SetProps(Shape& s, int32_t w, int32_t g, int32_t si, int32_t x, int32_t y) {
  std::tie(s.walkable, s.gettable, s.sittable, s.tavrelX, s.tavrelY) = std::tie(w, g, si, x, y);
}
auto Props(const Shape& s) { return std::tie(s.walkable, s.gettable, s.sittable, s.tavrelX, s.tavrelY); }

// Marks a shape so that a test can tell it was not touched.
void Mark(Shape& s) { SetProps(s, 1, 1, 1, 77, -77); }
bool Marked(const Shape& s) { return Props(s) == std::make_tuple(1, 1, 1, 77, -77); }
std::vector<Shape> MarkedTable(size_t n) {
  std::vector<Shape> t(n);
  for (Shape& s : t) Mark(s);
  return t;
}

}  // namespace

TEST(ObjectFileFormat, FlagsAndOnlyTheNonZeroTavrelBytes) {
  std::vector<Shape> shapes(5);
  SetProps(shapes[0], 1, 0, 1, -2, 0);      // 0x0D, then X
  SetProps(shapes[2], 0, 1, 0, 0, 5);       // only Y follows
  SetProps(shapes[3], 1, 1, 1, 127, -128);  // X before Y
  SetProps(shapes[4], 0, 0, 0, 256, 0);     // a coordinate is stored in its low byte
  EXPECT_EQ(EncodeObjectFile(shapes), Qbj(5, {0x0D, 0xFE, 0x00, 0x12, 0x05, 0x1F, 0x7F, 0x80, 0x08, 0x00}));
  EXPECT_EQ(EncodeObjectFile({}), Qbj(0));

  // Round trip; a 0 coordinate is left out of the file, so the old value shows through.
  std::vector<Shape> out(6), in = MarkedTable(6);
  for (int i = 0; i < 6; ++i) SetProps(out[i], i & 1, (i >> 1) & 1, (i >> 2) & 1, i - 3, 3 - 2 * i);
  ObjectFileResult r = DecodeObjectFile(EncodeObjectFile(out), in);
  EXPECT_TRUE(r.isObjectFile);
  EXPECT_EQ(r.applied, 6);
  for (int i = 0; i < 6; ++i) {
    const Shape& o = out[i];
    EXPECT_EQ(Props(in[i]), std::make_tuple(o.walkable, o.gettable, o.sittable, o.tavrelX ? o.tavrelX : 77,
                                            o.tavrelY ? o.tavrelY : -77)) << i;
  }
}

// Records fill no more than the shapes handed over nor the records announced,
// and a file ending inside a record keeps only the whole ones before it.
TEST(ObjectFileFormat, DecodeEdgeCases) {
  using P = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t>;
  const P m{1, 1, 1, 77, -77}, none{0, 0, 0, 77, -77};  // marked, and all flags cleared
  struct Case {
    int32_t n;
    Bytes records;
    size_t handed;
    int applied;
    bool endsInside;
    std::vector<P> props;  // of the five slots
  };
  for (const Case& c : {
           // Unused flag bits are ignored and read no bytes.
           Case{2, {0xE1, 0x04}, 5, 2, false, {{1, 0, 0, 77, -77}, {0, 0, 1, 77, -77}, m, m, m}},
           // Ten records, four shapes handed over: the slot after them is not filled.
           Case{10, Bytes(10, 0x02), 4, 4, false, {{0, 1, 0, 77, -77}, {0, 1, 0, 77, -77}, {0, 1, 0, 77, -77},
                                                   {0, 1, 0, 77, -77}, m}},
           Case{2, {0, 0, 0, 0}, 5, 2, false, {none, none, m, m, m}},
           Case{0, {0}, 5, 0, false, {m, m, m, m, m}},
           Case{-1, {0}, 5, 0, false, {m, m, m, m, m}},
           Case{INT32_MIN, {0}, 5, 0, false, {m, m, m, m, m}},
           // The second record announces both coordinates but only X is there.
           Case{3, {0x08, 0x03, 0x19, 0x04}, 5, 1, true, {{0, 0, 0, 3, -77}, m, m, m, m}},
           // Fewer records than announced, each whole: all of them count.
           Case{3, {0x01}, 5, 1, false, {{1, 0, 0, 77, -77}, m, m, m, m}}}) {
    std::vector<Shape> s = MarkedTable(5);
    ObjectFileResult r = DecodeObjectFile(Qbj(c.n, c.records), std::span<Shape>(s.data(), c.handed));
    EXPECT_EQ(std::make_pair(r.applied, r.endsInsideRecord), std::make_pair(c.applied, c.endsInside)) << c.n;
    if (c.n > 0) { EXPECT_EQ(r.announced, c.n); }
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(Props(s[i]), c.props[i]) << c.n << " slot " << i;
  }
}

TEST(ObjectFileFormat, RecordsRunOnAcross512ByteBlocks) {
  // 503 one-byte records fill offsets 8..510; the record at 511 has its two
  // Tavrel bytes at 512 and 513, and the next flags byte sits at 514.
  Bytes file = Qbj(506);
  file.resize(511, 0x01);
  file.insert(file.end(), {0x1A, 0xF0, 0x11, 0x08, 0x22, 0x04});
  std::vector<Shape> s(506);
  EXPECT_EQ(DecodeObjectFile(file, s).applied, 506);
  EXPECT_EQ(Props(s[503]), std::make_tuple(0, 1, 0, -16, 0x11));
  EXPECT_EQ(std::make_tuple(s[502].walkable, s[504].tavrelX, s[505].sittable), std::make_tuple(1, 0x22, 1));
  // Flags as the last byte of a block, the X byte as the first of the next.
  file = Qbj(504);
  file.resize(511, 0x00);
  file.insert(file.end(), {0x08, 0x7F});
  EXPECT_EQ(DecodeObjectFile(file, s).applied, 504);
  EXPECT_EQ(s[503].tavrelX, 127);
}

struct ObjectFileDocTest : ::testing::Test {
  TempDir dir;
  std::unique_ptr<Document> doc = std::make_unique<Document>();
  platform::HeadlessPlatform desk;
  platform::Platform& ui = desk.platform();

  void MakeShapes(int n) {
    doc->list.count = n;
    doc->state.qbjFlag = 1;
    for (int i = 0; i < n; ++i) {
      AllocateShape(doc->list.slots[i], 2, 1);
      SetProps(doc->list.slots[i], i % 2, i % 3 == 0, i % 5 == 0, i - 2, 2 - i);
    }
  }
};

TEST_F(ObjectFileDocTest, ReadSetsOrClearsTheFlag) {
  std::string qbj = dir.File("a.qbj");
  WriteBytes(qbj, Qbj(1, {0x04}));
  ReadObjectFile(*doc, qbj, 1);
  EXPECT_EQ(doc->state.qbjFlag, 1);
  EXPECT_EQ(doc->list.slots[0].sittable, 1);

  // The magic with its count cut short is a side file of no records.
  Mark(doc->list.slots[0]);
  for (const Bytes& cut : {Bytes{'Q', 'O', '0', '1', 1}, Bytes{'Q', 'O', '0', '1'}}) {
    doc->state.qbjFlag = 0;
    WriteBytes(qbj, cut);
    ReadObjectFile(*doc, qbj, 1);
    EXPECT_EQ(doc->state.qbjFlag, 1) << cut.size();
    EXPECT_TRUE(Marked(doc->list.slots[0]));
  }
  // Wrong magic, a FIFO, or no file: not a side file.
  std::string fifo = dir.File("fifo.qbj");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  for (const Bytes& bad : {Bytes{'X', 'O', '0', '1', 1, 0, 0, 0, 0x04}, Bytes{'Q', 'O', '0'}, Bytes{}, Bytes{'F'}}) {
    doc->state.qbjFlag = 1;
    const bool isFifo = bad == Bytes{'F'};
    if (!isFifo) WriteBytes(qbj, bad);
    ReadObjectFile(*doc, isFifo ? fifo : bad.empty() ? dir.File("missing.qbj") : qbj, 1);
    EXPECT_EQ(doc->state.qbjFlag, 0);
    EXPECT_TRUE(Marked(doc->list.slots[0]));
  }
  EXPECT_TRUE(desk.messages.empty());
}

TEST_F(ObjectFileDocTest, SavingWritesTheSideFileAndOpeningReadsItBack) {
  MakeShapes(7);
  std::string qsh = dir.File("doc.qsh");
  ASSERT_TRUE(WriteQshFile(*doc, ui, qsh, doc->list.Document()));
  EXPECT_EQ(ReadBytes(dir.File("doc.qbj")), EncodeObjectFile(doc->list.Document()));
  auto back = std::make_unique<Document>();
  ASSERT_EQ(ReadShapeFile(*back, ui, qsh, back->list.slots), 7);
  EXPECT_EQ(back->state.qbjFlag, 1);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(Props(doc->list.slots[i]), Props(back->list.slots[i])) << "shape " << i;

  // Without the flag no side file is written.
  doc->state.qbjFlag = 0;
  ASSERT_TRUE(WriteQs2File(*doc, ui, dir.File("plain.qs2"), doc->list.Document()));
  EXPECT_FALSE(FileExists(dir.File("plain.qbj")));
  EXPECT_TRUE(desk.messages.empty());

  // A side file that cannot be written is reported, and the shape file is
  // not written either: the two are saved as a pair or not at all.
  doc->state.qbjFlag = 1;
  doc->state.modified = kModified;
  std::filesystem::create_directory(dir.File("locked.qbj"));
  EXPECT_FALSE(WriteQshFile(*doc, ui, dir.File("locked.qsh"), doc->list.Document()));
  EXPECT_FALSE(FileExists(dir.File("locked.qsh")));
  EXPECT_EQ(doc->state.modified, kModified);
  ASSERT_EQ(desk.messages.size(), 1u);
  EXPECT_NE(desk.messages[0].text.find(dir.File("locked.qbj")), std::string::npos);
  EXPECT_EQ(desk.messages[0].icon, platform::Icon::Stop);
  EXPECT_FALSE(WriteObjectFile(*doc, ui, dir.File("no-such-dir/x.qbj")));
  EXPECT_EQ(desk.messages.size(), 2u);
}

TEST_F(ObjectFileDocTest, ImportAsksForAFileAndKeepsModified) {
  MakeShapes(3);
  doc->state.qbjFlag = 0;
  doc->state.modified = kModified;
  int refreshed = 0;
  auto refresh = [&] { ++refreshed; };
  desk.fileNames.push_back(std::nullopt);
  EXPECT_FALSE(ImportObjectFile(*doc, ui, refresh));
  EXPECT_EQ(desk.openDialogs.size(), 1u);
  EXPECT_EQ(refreshed, 0);

  // Ten records for three shapes: slot 3, outside the document, stays.
  std::string qbj = dir.File("any name.dat");
  WriteBytes(qbj, Qbj(10, Bytes(10, 0x07)));
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
  EXPECT_EQ(refreshed, 2);
  ASSERT_EQ(desk.messages.size(), 1u);
  EXPECT_NE(desk.messages[0].text.find(qbj), std::string::npos);
}
