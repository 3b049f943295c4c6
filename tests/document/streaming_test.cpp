// Shape files read and written a piece at a time: the same bytes and the
// same refusals as whole-file encoding and decoding, and a summary that
// never reads the pixels.
#include <gtest/gtest.h>

#include "document/file_io.h"
#include "document/shape_file.h"
#include "platform/headless/headless.h"
#include "test_files.h"

using namespace qshe;
using namespace qshe::testing;

namespace {

// Shapes larger together than the reader's and the writer's blocks, some
// empty, so pieces end inside records.
std::vector<Shape> ManyShapes() {
  std::vector<Shape> shapes(60);
  for (size_t i = 0; i < shapes.size(); ++i) {
    Shape& s = shapes[i];
    if (i % 7 == 3) continue;  // empty
    AllocateShape(s, 255, 200 + static_cast<int>(i % 50));
    for (int j = 0; j < s.PixelCount(); ++j) s.pixels[static_cast<size_t>(j)] = static_cast<uint8_t>(i * 31 + j);
    s.offsetX = static_cast<int>(i) - 30;
    s.replacement = static_cast<int>(i) * 3;
  }
  return shapes;
}

}  // namespace

TEST(Streaming, AStreamedSaveWritesTheBytesOfTheWholeEncodingAndReadsBackTheSame) {
  TempDir dir;
  const std::vector<Shape> shapes = ManyShapes();
  for (auto format : {ShapeFileFormat::Qsh, ShapeFileFormat::Qs2}) {
    const std::string path = dir.File(format == ShapeFileFormat::Qs2 ? "many.qs2" : "many.qsh");
    const FileToWrite file{path, {}, [&](ByteSink& out) { return WriteShapeFileTo(shapes, format, out); }};
    ASSERT_FALSE(WriteFilesTogether(std::span<const FileToWrite>(&file, 1)));
    const std::vector<uint8_t> whole = EncodeShapeFile(shapes, format);
    EXPECT_EQ(ReadBytes(path), whole);
    EXPECT_EQ(ShapeFileSize(shapes, format), whole.size());

    std::vector<Shape> back(kShapeListCapacity);
    LoadResult r = LoadShapeFile(path, back);
    ASSERT_EQ(r.status, LoadStatus::Ok);
    EXPECT_EQ(EncodeShapeFile(std::span<const Shape>(back.data(), static_cast<size_t>(r.count)), format), whole);
  }
}

TEST(Streaming, ASummaryHasSizesAndFieldsButReadsNoPixels) {
  TempDir dir;
  const std::vector<Shape> shapes = ManyShapes();
  const std::string path = dir.File("many.qs2");
  WriteBytes(path, EncodeShapeFile(shapes, ShapeFileFormat::Qs2));
  std::vector<Shape> table(kShapeListCapacity);
  LoadResult r = LoadShapeFile(path, table, false);
  ASSERT_EQ(r.status, LoadStatus::Ok);
  ASSERT_EQ(r.count, 60);
  for (size_t i = 0; i < shapes.size(); ++i) {
    EXPECT_EQ(table[i].width, shapes[i].width) << i;
    EXPECT_EQ(table[i].height, shapes[i].height) << i;
    EXPECT_EQ(FieldsOf(table[i]), FieldsOf(shapes[i])) << i;
    EXPECT_FALSE(table[i].HasPixels()) << i;
  }
}

TEST(Streaming, AFileCutShortIsRefusedAlikeFromAFileAndFromMemoryAndTheTableStays) {
  TempDir dir;
  const std::vector<uint8_t> whole = EncodeShapeFile(ManyShapes(), ShapeFileFormat::Qsh);
  for (size_t cut : {size_t{1}, size_t{2}, size_t{100}, whole.size() / 2, whole.size() - 1}) {
    const std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    const std::string path = dir.File("cut.qsh");
    WriteBytes(path, part);
    std::vector<Shape> fromFile(kShapeListCapacity), fromMemory(kShapeListCapacity);
    fromFile[0].offsetX = 42;
    LoadResult a = LoadShapeFile(path, fromFile);
    LoadResult b = DecodeShapeFile(part, fromMemory);
    EXPECT_EQ(a.status, LoadStatus::Damaged) << cut;
    EXPECT_EQ(a.detail, b.detail) << cut;
    EXPECT_EQ(fromFile[0].offsetX, 42) << cut;
    // A summary steps over the pixels, and still sees where the file ends.
    EXPECT_EQ(LoadShapeFile(path, fromFile, false).detail, b.detail) << cut;
  }
}
