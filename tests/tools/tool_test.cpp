#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include <sys/stat.h>

#include "../document/test_files.h"
#include "document/object_file.h"
#include "document/shape_file.h"
#include "qshe_tool/tool.h"

using namespace qshe;
using namespace qshe::testing;
using Bytes = std::vector<uint8_t>;
using Json = nlohmann::ordered_json;

namespace {

struct ToolTest : ::testing::Test {
  TempDir dir;
  std::string out, err;

  std::string P(const std::string& name) const { return dir.File(name); }
  int Run(const std::vector<std::string>& args) {
    std::ostringstream o, e;
    int status = tool::RunTool(args, o, e);
    out = o.str();
    err = e.str();
    return status;
  }
  bool Said(const std::string& text) const { return out.find(text) != std::string::npos; }
  Json SaidJson() const { return Json::parse(out); }
};

}  // namespace

TEST_F(ToolTest, InfoListsEveryShape) {
  WriteBytes(P("a.qs2"), kQs2);
  ASSERT_EQ(Run({"info", P("a.qs2")}), 0);
  EXPECT_TRUE(Said("format: QS2") && Said("shapes: 1")) << out;
  EXPECT_TRUE(Said("    0      2      1       3      -1           7")) << out;
  ASSERT_EQ(Run({"info", "--json", P("a.qs2")}), 0);
  const Json j = SaidJson();
  EXPECT_EQ(j["count"], 1) << out;
  EXPECT_EQ(j["file"], P("a.qs2"));
  EXPECT_EQ(j["format"], "QS2");
  EXPECT_EQ(j["shapes"][0].dump(),
            R"({"index":0,"width":2,"height":1,"offsetX":3,"offsetY":-1,"replacement":7})");
}

TEST_F(ToolTest, ConvertReproducesBothFormatsByteForByte) {
  WriteBytes(P("in.qs2"), kQs2);
  for (auto [from, to, bytes] : {std::tuple{"in.qs2", "out.qsh", &kQsh}, std::tuple{"in.qs2", "again.qs2", &kQs2},
                                 std::tuple{"out.qsh", "same.qsh", &kQsh}}) {
    ASSERT_EQ(Run({"convert", P(from), P(to)}), 0) << err;
    EXPECT_EQ(ReadBytes(P(to)), *bytes) << to;
  }
  EXPECT_FALSE(std::filesystem::exists(P("out.qbj")));  // no side file beside IN, none beside OUT
}

TEST_F(ToolTest, FailuresSayOneLineAndLeaveTheOutputAlone) {
  WriteBytes(P("out.qsh"), kQsh);
  WriteBytes(P("broken.qs2"), Bytes(kQs2.begin(), kQs2.end() - 1));
  for (auto in : {P("broken.qs2"), P("missing.qsh")}) {
    EXPECT_NE(Run({"convert", in, P("out.qsh")}), 0);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find(in), std::string::npos);
    EXPECT_EQ(ReadBytes(P("out.qsh")), kQsh);
  }
  EXPECT_NE(Run({"convert", P("out.qsh"), P("no/such/dir/x.qsh")}), 0);
  EXPECT_NE(Run({"frobnicate"}), 0);
  EXPECT_NE(Run({}), 0);
}

struct ToolQbjTest : ToolTest {
  std::vector<Shape> shapes = std::vector<Shape>(3);
  ToolQbjTest() {
    for (Shape& s : shapes) AllocateShape(s, 1, 1);
    shapes[0].walkable = shapes[0].sittable = 1;
    shapes[0].tavrelX = -2;
    shapes[2].gettable = 1;
    shapes[2].tavrelY = 100;
    WriteBytes(P("in.qsh"), EncodeShapeFile(shapes, ShapeFileFormat::Qsh));
  }
};

TEST_F(ToolQbjTest, ConvertCarriesTheSideFileByteForByte) {
  const Bytes side = {'Q', 'O', '0', '1', 3, 0, 0, 0, 0x0D, 0xFE, 0x00, 0x12, 0x64};
  ASSERT_EQ(EncodeObjectFile(shapes), side);
  WriteBytes(P("in.qbj"), side);
  ASSERT_EQ(Run({"convert", P("in.qsh"), P("out.qs2")}), 0) << err;
  EXPECT_EQ(ReadBytes(P("out.qbj")), side);

  ASSERT_EQ(Run({"info", "--json", P("out.qs2")}), 0) << err;
  const Json j = SaidJson();
  EXPECT_EQ(j["qs2Flag"], 1) << out;
  EXPECT_EQ(j["qbjFlag"], 1) << out;
  EXPECT_TRUE(Said(R"("replacement":0,"tavrelX":-2,"tavrelY":0,"gettable":0,"sittable":1,"walkable":1})")) << out;
  EXPECT_TRUE(Said(R"("tavrelX":0,"tavrelY":100,"gettable":1)")) << out;
  ASSERT_EQ(Run({"info", P("out.qs2")}), 0);
  EXPECT_TRUE(Said("qbjFlag: 1\n") && Said("tavrelX tavrelY gettable sittable walkable")) << out;
}

TEST_F(ToolQbjTest, WithoutASideFileNoneIsShown) {
  ASSERT_EQ(Run({"info", "--json", P("in.qsh")}), 0);
  EXPECT_EQ(SaidJson()["qs2Flag"], 0) << out;
  EXPECT_EQ(SaidJson()["qbjFlag"], 0) << out;
  EXPECT_FALSE(Said("tavrelX"));
  // A file beside IN that is no side file counts as none.
  WriteBytes(P("in.qbj"), {'n', 'o', 'p', 'e', 0, 0, 0, 0});
  ASSERT_EQ(Run({"info", P("in.qsh")}), 0);
  EXPECT_TRUE(Said("qbjFlag: 0\n")) << out;
  EXPECT_FALSE(Said("tavrelX"));
}

TEST_F(ToolQbjTest, AFailedConvertLeavesTheOldSideFile) {
  WriteBytes(P("in.qbj"), EncodeObjectFile(shapes));
  std::filesystem::create_directory(P("out.qsh"));  // OUT cannot be written; the side file beside it can
  WriteBytes(P("out.qbj"), {'o', 'l', 'd'});
  EXPECT_EQ(Run({"convert", P("in.qsh"), P("out.qsh")}), 1);
  EXPECT_NE(err.find("cannot write"), std::string::npos);
  EXPECT_EQ(ReadBytes(P("out.qbj")), (Bytes{'o', 'l', 'd'}));
  std::filesystem::remove(P("out.qbj"));
  EXPECT_EQ(Run({"convert", P("in.qsh"), P("out.qsh")}), 1);
  EXPECT_FALSE(std::filesystem::exists(P("out.qbj")));
}

TEST_F(ToolQbjTest, SpecialFilesAndNamesThatWouldLoseTheSideFileAreRefused) {
  const Bytes props = EncodeObjectFile(shapes);
  WriteBytes(P("in.qbj"), props);
  auto snapshot = [&] {
    std::map<std::string, std::string> files;
    for (auto& entry : std::filesystem::directory_iterator(dir.path()))
      files[entry.path().filename().string()] = Describe(entry.path().string());
    return files;
  };
  auto refused = [&](const std::vector<std::string>& args, const std::string& why) {
    auto before = snapshot();
    EXPECT_NE(Run(args), 0) << why;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << why << ": " << err;
    EXPECT_EQ(snapshot(), before) << why;  // every file as it was, no temporary one
  };
  // Special and protected files as OUT, as IN and as the side file beside OUT.
  for (auto [path, what] : MakeSpecialFiles(dir, ".qsh")) {
    refused({"convert", P("in.qsh"), path}, "OUT is a " + what);
    if (what != "mode 0444") refused({"info", path}, "IN is a " + what);
  }
  ASSERT_EQ(::mkfifo(P("fifo-side.qbj").c_str(), 0644), 0);
  refused({"convert", P("in.qsh"), P("fifo-side.qsh")}, "a FIFO where OUT's side file goes");
  // OUT fails after its side file: the old side file, which could not have
  // been put back, is never touched.
  std::filesystem::create_directory(P("dirout.qsh"));
  ASSERT_EQ(::mkfifo(P("dirout.qbj").c_str(), 0644), 0);
  refused({"convert", P("in.qsh"), P("dirout.qsh")}, "OUT fails and its side file cannot be read back");
  // Names that make one file stand for two.
  refused({"convert", P("in.qsh"), P("in.qbj")}, "OUT is IN's side file");
  refused({"convert", P("in.qsh"), P("x.qbj")}, "OUT is its own side file");

  // A FIFO side file beside IN is no side file, and reading does not wait for it.
  ASSERT_EQ(::mkfifo(P("quiet.qbj").c_str(), 0644), 0);
  WriteBytes(P("quiet.qsh"), EncodeShapeFile(shapes, ShapeFileFormat::Qsh));
  ASSERT_EQ(Run({"info", P("quiet.qsh")}), 0) << err;
  EXPECT_TRUE(Said("qbjFlag: 0\n")) << out;
}
