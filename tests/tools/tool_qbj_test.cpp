#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "../document/test_files.h"
#include "document/object_file.h"
#include "document/shape_file.h"
#include "qshe_tool/tool.h"

using namespace qshe;
using Bytes = std::vector<uint8_t>;
using qshe::testing::ReadBytes;
using qshe::testing::WriteBytes;

namespace {

struct ToolQbjTest : ::testing::Test {
  qshe::testing::TempDir dir;
  std::vector<Shape> shapes = std::vector<Shape>(3);
  std::ostringstream out, err;

  ToolQbjTest() {
    for (int i = 0; i < 3; ++i) {
      AllocateShape(shapes[i], 1, 1);
      shapes[i].pixels[0] = static_cast<uint8_t>(10 + i);
    }
    shapes[0].walkable = shapes[0].sittable = 1;
    shapes[0].tavrelX = -2;
    shapes[2].gettable = 1;
    shapes[2].tavrelY = 100;
    WriteBytes(P("in.qsh"), EncodeShapeFile(shapes, ShapeFileFormat::Qsh));
  }
  std::string P(const std::string& name) const { return dir.File(name); }
  int Run(const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    return tool::RunTool(args, out, err);
  }
};

}  // namespace

TEST_F(ToolQbjTest, ConvertCarriesTheSideFileByteForByte) {
  const Bytes side = {'Q', 'O', '0', '1', 3, 0, 0, 0, 0x0D, 0xFE, 0x00, 0x12, 0x64};
  ASSERT_EQ(EncodeObjectFile(shapes), side);
  WriteBytes(P("in.qbj"), side);
  ASSERT_EQ(Run({"convert", P("in.qsh"), P("out.qs2")}), 0) << err.str();
  EXPECT_EQ(ReadBytes(P("out.qbj")), side);

  ASSERT_EQ(Run({"info", "--json", P("out.qs2")}), 0) << err.str();
  const std::string json = out.str();
  EXPECT_NE(json.find("\"qs2Flag\": 1, \"qbjFlag\": 1"), std::string::npos) << json;
  EXPECT_NE(json.find("\"replacement\": 0, \"tavrelX\": -2, \"tavrelY\": 0, \"gettable\": 0, "
                      "\"sittable\": 1, \"walkable\": 1}"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"tavrelX\": 0, \"tavrelY\": 100, \"gettable\": 1"), std::string::npos);

  ASSERT_EQ(Run({"info", P("out.qs2")}), 0);
  EXPECT_NE(out.str().find("qbjFlag: 1\n"), std::string::npos);
  EXPECT_NE(out.str().find("tavrelX tavrelY gettable sittable walkable"), std::string::npos);
}

TEST_F(ToolQbjTest, WithoutASideFileNoneIsWrittenOrShown) {
  ASSERT_EQ(Run({"convert", P("in.qsh"), P("out.qsh")}), 0);
  EXPECT_FALSE(std::filesystem::exists(P("out.qbj")));
  ASSERT_EQ(Run({"info", "--json", P("out.qsh")}), 0);
  EXPECT_NE(out.str().find("\"qs2Flag\": 0, \"qbjFlag\": 0"), std::string::npos);
  EXPECT_EQ(out.str().find("tavrelX"), std::string::npos);

  // A file beside IN that is no side file counts as none.
  WriteBytes(P("in.qbj"), {'n', 'o', 'p', 'e', 0, 0, 0, 0});
  ASSERT_EQ(Run({"info", P("in.qsh")}), 0);
  EXPECT_NE(out.str().find("qbjFlag: 0\n"), std::string::npos);
  EXPECT_EQ(out.str().find("tavrelX"), std::string::npos);
}

TEST_F(ToolQbjTest, AFailedConvertLeavesTheOldSideFile) {
  WriteBytes(P("in.qbj"), EncodeObjectFile(shapes));
  // OUT is a directory, so it cannot be written; the side file beside it can.
  std::filesystem::create_directory(P("out.qsh"));
  const Bytes before = {'o', 'l', 'd'};
  WriteBytes(P("out.qbj"), before);
  EXPECT_EQ(Run({"convert", P("in.qsh"), P("out.qsh")}), 1);
  EXPECT_NE(err.str().find("cannot write"), std::string::npos);
  EXPECT_EQ(ReadBytes(P("out.qbj")), before);

  std::filesystem::remove(P("out.qbj"));
  EXPECT_EQ(Run({"convert", P("in.qsh"), P("out.qsh")}), 1);
  EXPECT_FALSE(std::filesystem::exists(P("out.qbj")));
}
