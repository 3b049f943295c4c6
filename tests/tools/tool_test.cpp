#include <gtest/gtest.h>

#include <sstream>

#include "../document/test_files.h"
#include "qshe_tool/tool.h"

using qshe::testing::ReadBytes;
using qshe::testing::TempDir;
using qshe::testing::WriteBytes;
using Bytes = std::vector<uint8_t>;

namespace {

const Bytes kQsh = {0x01, 0x00, 0x06, 0x00, 0x02, 0x01, 0x03, 0xFF, 0x05, 0x06};
const Bytes kQs2 = {'Q', 'S', 'H', '2', '.', '0', '0', '1', 0x01, 0x00, 0x00, 0x00,
                    0x00, 0x00, 0x00, 0x00, 0x02, 0x01, 0x03, 0xFF, 0x07, 0x00, 0x05, 0x06};

struct ToolRun {
  int status;
  std::string out, err;
};

ToolRun Tool(std::vector<std::string> args) {
  std::ostringstream out, err;
  int status = qshe::tool::RunTool(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace

TEST(Tool, InfoListsEveryShape) {
  TempDir dir;
  WriteBytes(dir.File("a.qs2"), kQs2);
  ToolRun r = Tool({"info", dir.File("a.qs2")});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("format: QS2"), std::string::npos);
  EXPECT_NE(r.out.find("shapes: 1"), std::string::npos);
  EXPECT_NE(r.out.find("    0      2      1       3      -1           7"), std::string::npos) << r.out;

  ToolRun j = Tool({"info", "--json", dir.File("a.qs2")});
  EXPECT_EQ(j.status, 0);
  EXPECT_NE(j.out.find("\"count\": 1"), std::string::npos);
  EXPECT_NE(j.out.find("{\"index\": 0, \"width\": 2, \"height\": 1, \"offsetX\": 3, \"offsetY\": -1, "
                       "\"replacement\": 7"),
            std::string::npos)
      << j.out;
}

TEST(Tool, ConvertReproducesBothFormatsByteForByte) {
  TempDir dir;
  WriteBytes(dir.File("in.qs2"), kQs2);
  ASSERT_EQ(Tool({"convert", dir.File("in.qs2"), dir.File("out.qsh")}).status, 0);
  EXPECT_EQ(ReadBytes(dir.File("out.qsh")), kQsh);
  ASSERT_EQ(Tool({"convert", dir.File("in.qs2"), dir.File("again.qs2")}).status, 0);
  EXPECT_EQ(ReadBytes(dir.File("again.qs2")), kQs2);
  ASSERT_EQ(Tool({"convert", dir.File("out.qsh"), dir.File("same.qsh")}).status, 0);
  EXPECT_EQ(ReadBytes(dir.File("same.qsh")), kQsh);
}

TEST(Tool, FailuresSayOneLineAndLeaveTheOutputAlone) {
  TempDir dir;
  WriteBytes(dir.File("out.qsh"), kQsh);
  Bytes broken(kQs2.begin(), kQs2.end() - 1);
  WriteBytes(dir.File("broken.qs2"), broken);
  for (auto in : {dir.File("broken.qs2"), dir.File("missing.qsh")}) {
    ToolRun r = Tool({"convert", in, dir.File("out.qsh")});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(in), std::string::npos);
    EXPECT_EQ(ReadBytes(dir.File("out.qsh")), kQsh);
  }
  ToolRun bad = Tool({"convert", dir.File("out.qsh"), dir.File("no/such/dir/x.qsh")});
  EXPECT_NE(bad.status, 0);
  EXPECT_NE(Tool({"frobnicate"}).status, 0);
  EXPECT_NE(Tool({}).status, 0);
}
