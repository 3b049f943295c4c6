// qshe-tool never loses a file: under a file size limit, killed in the
// middle of a write, or racing another writer of the same pair, OUT and its
// side file stay a matching pair; and files far larger than their format
// can be are refused from their size or header, before they cost memory.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../document/test_files.h"
#include "document/file_io.h"
#include "document/object_file.h"
#include "document/shape_file.h"
#include "qshe_tool/tool.h"
#include "support_files.h"

using namespace qshe;
using namespace qshe::testing;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

namespace {

// `count` shapes of 255 x 255 filled with `fill`, with object properties.
std::vector<Shape> BigShapes(int count, uint8_t fill) {
  std::vector<Shape> shapes(static_cast<size_t>(count));
  for (Shape& s : shapes) {
    AllocateShape(s, 255, 255);
    std::fill_n(s.pixels.get(), 255 * 255, fill);
    s.walkable = fill & 1;
    s.tavrelX = fill;
  }
  return shapes;
}

struct ToolFilesTest : ::testing::Test {
  TempDir dir;
  std::string err;
  std::string P(const std::string& name) const { return dir.File(name); }

  // IN files a.qsh and b.qsh (with side files) that differ in every byte;
  // OUT already holds an old pair.
  void SetUp() override {
    for (auto [name, fill] : {std::pair{"a", uint8_t{11}}, std::pair{"b", uint8_t{22}}}) {
      auto shapes = BigShapes(8, fill);
      WriteBytes(P(std::string(name) + ".qsh"), EncodeShapeFile(shapes, ShapeFileFormat::Qsh));
      WriteBytes(P(std::string(name) + ".qbj"), EncodeObjectFile(shapes));
    }
    WriteBytes(P("out.qsh"), kQsh);
    WriteBytes(P("out.qbj"), {'o', 'l', 'd'});
  }
  int Run(const std::vector<std::string>& args) {
    std::ostringstream o, e;
    int status = tool::RunTool(args, o, e);
    err = e.str();
    return status;
  }
  bool OldPair() const { return ReadBytes(P("out.qsh")) == kQsh && ReadBytes(P("out.qbj")) == Bytes{'o', 'l', 'd'}; }
  // "a" or "b" when OUT and its side file are that input's pair, else "".
  std::string PairFrom() const {
    for (const char* name : {"a", "b"}) {
      if (ReadBytes(P("out.qsh")) == ReadBytes(P(std::string(name) + ".qsh")) &&
          ReadBytes(P("out.qbj")) == ReadBytes(P(std::string(name) + ".qbj")))
        return name;
    }
    return "";
  }
  size_t Temporaries() const {
    size_t n = 0;
    for (const auto& entry : fs::directory_iterator(dir.path())) n += TemporaryTarget(entry.path().string()) ? 1 : 0;
    return n;
  }
};

}  // namespace

// The real program under `ulimit -f`: a clear line and status 1 instead of
// death by SIGXFSZ, and OUT's pair as it was.
TEST_F(ToolFilesTest, AFileSizeLimitIsReportedAndKeepsThePair) {
  int errPipe[2];
  ASSERT_EQ(::pipe(errPipe), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::dup2(errPipe[1], 2);
    rlimit limit{64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string in = P("a.qsh"), out = P("out.qsh");
    ::execl(QSHE_TOOL_BINARY, "qshe-tool", "convert", in.c_str(), out.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(errPipe[1]);
  std::string said;
  char buffer[512];
  for (ssize_t n; (n = ::read(errPipe[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<size_t>(n));
  ::close(errPipe[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(said, "qshe-tool: cannot write " + P("out.qsh") + ": File too large\n");
  EXPECT_TRUE(OldPair());
  EXPECT_EQ(Temporaries(), 0u);
}

// Killed after both temporaries are written, before any rename: OUT keeps
// its old pair, and the next convert to OUT sweeps the dead temporaries.
TEST_F(ToolFilesTest, AKilledConvertLeavesTheOldPairAndTheNextOneTidiesUp) {
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InjectedFileFailure dying(FileStep::Rename, 0, 1, [] { ::raise(SIGKILL); });
    Run({"convert", P("a.qsh"), P("out.qsh")});
    ::_exit(3);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_TRUE(OldPair());
  EXPECT_EQ(Temporaries(), 2u);
  ASSERT_EQ(Run({"convert", P("b.qsh"), P("out.qsh")}), 0) << err;
  EXPECT_EQ(PairFrom(), "b");
  EXPECT_EQ(Temporaries(), 0u);
}

// A second convert to the same OUT, started while the first is between its
// two renames, waits for it: OUT ends up a pair from one of them.
TEST_F(ToolFilesTest, TwoConvertsToOneOutputNeverMixTheirHalves) {
  std::future<int> second;
  InjectedFileFailure between(FileStep::Rename, 0, 2, [&] {
    second = std::async(std::launch::async, [&] {
      std::ostringstream o, e;
      return tool::RunTool({"convert", P("b.qsh"), P("out.qsh")}, o, e);
    });
    second.wait_for(std::chrono::milliseconds(300));
  });
  EXPECT_EQ(Run({"convert", P("a.qsh"), P("out.qsh")}), 0) << err;
  ASSERT_TRUE(second.valid());
  EXPECT_EQ(second.get(), 0);
  EXPECT_NE(PairFrom(), "") << "OUT holds one convert's shapes and the other's side file";
}

// A 2 GB file that begins like an empty QSH file, and a sheet whose PNG
// claims 16384 x 16384 pixels for the one cell its JSON puts at (16000,
// 16000): both refused from their size, never read or decoded.
TEST_F(ToolFilesTest, FilesLargerThanTheirFormatAllowsAreRefusedUnread) {
  WriteBytes(P("huge.qsh"), {0, 0});
  fs::resize_file(P("huge.qsh"), uint64_t{2} << 30);
  EXPECT_EQ(Run({"info", P("huge.qsh")}), 1);
  EXPECT_NE(err.find("more than any shape file can be"), std::string::npos) << err;

  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
               0, 0, 0x40, 0, 0, 0, 0x40, 0, 8, 3, 0, 0, 0};
  png.resize(800000, 0x55);
  WriteBytes(P("bomb.png"), png);
  const std::string json =
      R"({"format": "QSH", "shapes": [{"index": 0, "width": 1, "height": 1, "offsetX": 0, "offsetY": 0,
          "replacement": 0, "cell": {"x": 16000, "y": 16000, "width": 255, "height": 255}}]})";
  WriteBytes(P("bomb.json"), Bytes(json.begin(), json.end()));
  for (const auto& [name, bytes] : gen::GenerateSupportFiles())
    if (name == "qshe.pcx") WriteBytes(P("qshe.pcx"), bytes);
  EXPECT_EQ(Run({"sheet", "import", "--palette", P("qshe.pcx"), P("bomb.png"), P("out.qsh")}), 1);
  EXPECT_EQ(err, "qshe-tool: " + P("bomb.png") +
                     " is 16384 x 16384 pixels, far larger than a sheet of 1 shape can be (as " + P("bomb.json") +
                     " describes it)\n");
  EXPECT_TRUE(OldPair());
  // A picture of a sane size that lacks the cell: refused from its header too.
  png[18] = 0x10;
  png[22] = 0x10;
  WriteBytes(P("bomb.png"), png);
  EXPECT_EQ(Run({"sheet", "import", "--palette", P("qshe.pcx"), P("bomb.png"), P("out.qsh")}), 1);
  EXPECT_NE(err.find("(4096 x 4096) lacks the cell of shape 0 at 16000, 16000"), std::string::npos) << err;
}
