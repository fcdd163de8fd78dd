#include "dump.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_platform.h"

namespace lorvink {
namespace {

std::string Int32Bytes(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
  return bytes;
}

// A BSP file: the header with the entities entry, then |body|.
std::string BspFile(int32_t version, int32_t offset, int32_t length, const std::string& body) {
  std::string file = Int32Bytes(version) + Int32Bytes(offset) + Int32Bytes(length);
  file.resize(124, '\0');
  return file + body;
}

const std::string kLump = "{\n\"classname\" \"world\"\n}\n";

struct DumpRun {
  TestPlatform platform;
  DumpResult result;
  void Dump(const char* argument) {
    ConsoleWriter out(platform);
    result = RunDump(argument, platform, out);
    out.FlushAtExit();
  }
};

TEST(DumpTest, CopiesTheLumpInStepOrder) {
  DumpRun run;
  run.platform.files["maps/e1m1.bsp"] = BspFile(29, 130, static_cast<int32_t>(kLump.size()), "xxxxxx" + kLump + "tail");
  run.Dump("maps/e1m1.bsp");
  ASSERT_FALSE(run.result.failed);
  const std::string n = std::to_string(kLump.size());
  EXPECT_EQ(run.platform.stdout_bytes, "Entities lump, size: " + n + " offset: 130\r\n");
  EXPECT_EQ(run.platform.files["maps/e1m1.txt"], kLump);
  const std::vector<std::string> expected = {
      "open maps/e1m1.bsp", "read 124",   "open-stdout",         "allocate " + n,
      "seek 130",           "read " + n,  "close maps/e1m1.bsp", "create maps/e1m1.txt",
      "write " + n,         "close maps/e1m1.txt", "release"};
  EXPECT_EQ(run.platform.log, expected);
  EXPECT_TRUE(run.platform.open_files.empty());
  EXPECT_TRUE(run.platform.blocks_held.empty());
}

TEST(DumpTest, UsageWithoutArgument) {
  for (const char* argument : {static_cast<const char*>(nullptr), ""}) {
    DumpRun run;
    run.Dump(argument);
    EXPECT_FALSE(run.result.failed);
    EXPECT_EQ(run.platform.stdout_bytes,
              "Usage:\r\nlorvink \"bspfilename\"\r\nDumps the entities of a bsp file to a text file\r\n");
    EXPECT_EQ(run.platform.log, std::vector<std::string>{"open-stdout"});
  }
}

TEST(DumpTest, OtherVersionsAreReportedAndLeftAlone) {
  const struct {
    int32_t version;
    const char* line;
  } cases[] = {
      {30, "Wrong bsp version, expected 29 found 30\r\n"},
      {-1, "Wrong bsp version, expected 29 found -1\r\n"},
      {INT32_MIN, "Wrong bsp version, expected 29 found -2147483648\r\n"},
      {0, "Wrong bsp version, expected 29 found 0\r\n"},
      {0x1D000000, "Wrong bsp version, expected 29 found 486539264\r\n"},
  };
  for (const auto& c : cases) {
    DumpRun run;
    run.platform.files["m.bsp"] = BspFile(c.version, 124, 4, "abcd");
    run.Dump("m.bsp");
    EXPECT_FALSE(run.result.failed);
    EXPECT_EQ(run.platform.stdout_bytes, c.line);
    EXPECT_EQ(run.platform.files.count("m.txt"), 0u);
    EXPECT_EQ(run.platform.open_files.size(), 1u) << "the input stays open for the process end";
  }
}

TEST(DumpTest, EmptyLumpEmptiesAnExistingOutput) {
  DumpRun run;
  run.platform.files["m.bsp"] = BspFile(29, 124, 0, "");
  run.platform.files["m.txt"] = "old contents";
  run.Dump("m.bsp");
  ASSERT_FALSE(run.result.failed);
  EXPECT_EQ(run.platform.stdout_bytes, "Entities lump, size: 0 offset: 124\r\n");
  EXPECT_EQ(run.platform.files["m.txt"], "");
  for (const std::string& entry : run.platform.log) {
    EXPECT_NE(entry.rfind("allocate", 0), 0u) << "no buffer for an empty lump";
    EXPECT_NE(entry.rfind("write", 0), 0u) << "nothing to write";
  }
}

struct FailureCase {
  const char* name;
  std::string file;                 // contents of m.bsp
  std::vector<std::pair<std::string, int32_t>> fail;
  bool refuse_memory;
  Step step;
  FailureKind kind;
  int32_t code;
  const char* console;              // what was written before the failure
};

TEST(DumpTest, EachStepFailsWithItsCode) {
  const std::string good = BspFile(29, 124, 4, "abcd");
  const char* size_line = "Entities lump, size: 4 offset: 124\r\n";
  const FailureCase cases[] = {
      {"open refused", good, {{"open", 32}}, false, Step::kOpenInput, FailureKind::kInOutError, 32, ""},
      {"header read error", good, {{"read", 23}}, false, Step::kReadHeader, FailureKind::kInOutError, 23, ""},
      {"short header", std::string(123, '\x1D'), {}, false, Step::kReadHeader, FailureKind::kInOutError, 100, ""},
      {"empty file", "", {}, false, Step::kReadHeader, FailureKind::kInOutError, 100, ""},
      {"size line refused", good, {{"write-stdout", 112}}, false, Step::kSizeLine, FailureKind::kInOutError, 112, ""},
      {"console unusable", good, {{"open-stdout", 6}}, false, Step::kSizeLine, FailureKind::kInOutError, 6, ""},
      {"version line refused", BspFile(30, 0, 0, ""), {{"write-stdout", 109}}, false, Step::kVersionLine, FailureKind::kInOutError, 109, ""},
      {"negative length", BspFile(29, 124, -1, "abcd"), {}, false, Step::kAllocateLump, FailureKind::kInOutError, 100, "Entities lump, size: -1 offset: 124\r\n"},
      {"no memory", good, {}, true, Step::kAllocateLump, FailureKind::kOutOfMemory, 0, size_line},
      {"negative offset", BspFile(29, -5, 4, "abcd"), {}, false, Step::kSeekLump, FailureKind::kInOutError, 131, "Entities lump, size: 4 offset: -5\r\n"},
      {"seek refused", good, {{"seek", 1}}, false, Step::kSeekLump, FailureKind::kInOutError, 1, size_line},
      {"lump past the end", BspFile(29, 124, 5, "abcd"), {}, false, Step::kReadLump, FailureKind::kInOutError, 100, "Entities lump, size: 5 offset: 124\r\n"},
      {"offset past the end", BspFile(29, 4000, 4, "abcd"), {}, false, Step::kReadLump, FailureKind::kInOutError, 100, "Entities lump, size: 4 offset: 4000\r\n"},
      {"close input refused", good, {{"close m.bsp", 1117}}, false, Step::kCloseInput, FailureKind::kInOutError, 1117, size_line},
      {"create refused", good, {{"create", 5}}, false, Step::kCreateOutput, FailureKind::kInOutError, 5, size_line},
      {"write refused", good, {{"write", 112}}, false, Step::kWriteLump, FailureKind::kInOutError, 112, size_line},
      {"short write", good, {{"write-room", 3}}, false, Step::kWriteLump, FailureKind::kInOutError, 101, size_line},
      {"close output refused", good, {{"close m.txt", 1117}}, false, Step::kCloseOutput, FailureKind::kInOutError, 1117, size_line},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    DumpRun run;
    run.platform.stdout_is_character_device = true;  // lines reach the system at once
    run.platform.files["m.bsp"] = c.file;
    for (const auto& [operation, code] : c.fail) run.platform.fail[operation] = code;
    run.platform.refuse_memory = c.refuse_memory;
    run.Dump("m.bsp");
    ASSERT_TRUE(run.result.failed);
    EXPECT_EQ(run.result.failure.step, c.step);
    EXPECT_EQ(run.result.failure.kind, c.kind);
    if (c.kind == FailureKind::kInOutError) {
      EXPECT_EQ(run.result.failure.code, c.code);
    }
    EXPECT_EQ(run.platform.stdout_bytes, c.console);
    EXPECT_EQ(run.platform.files["m.bsp"], c.file) << "the input is never changed";
    if (c.step < Step::kCreateOutput) {
      EXPECT_EQ(run.platform.files.count("m.txt"), 0u) << "no output before the create step";
    }
    if (c.step == Step::kAllocateLump && c.kind == FailureKind::kInOutError) {
      for (const std::string& entry : run.platform.log) EXPECT_NE(entry.rfind("allocate", 0), 0u);
    }
  }
}

TEST(DumpTest, TxtInputIsNeverReplacedByItsLump) {
  DumpRun run;
  const std::string file = BspFile(29, 124, 4, "abcd");
  run.platform.files["map.txt"] = file;
  run.Dump("map.txt");
  ASSERT_TRUE(run.result.failed);
  EXPECT_EQ(run.result.failure.step, Step::kCreateOutput);
  EXPECT_EQ(run.result.failure.code, 5);
  EXPECT_EQ(run.platform.files["map.txt"], file);
}

TEST(DumpTest, LocationsIdentifyTheStep) {
  // Two failures at one step share a location; different steps differ.
  auto failure_at = [](const std::string& file, const char* operation) {
    DumpRun run;
    run.platform.files["m.bsp"] = file;
    if (operation) run.platform.fail[operation] = 5;
    run.Dump("m.bsp");
    EXPECT_TRUE(run.result.failed);
    return run.result.failure.address;
  };
  const std::string good = BspFile(29, 124, 4, "abcd");
  const uintptr_t short_header = failure_at("short", nullptr);
  EXPECT_EQ(short_header, failure_at("also short", nullptr));
  const uintptr_t short_lump = failure_at(BspFile(29, 124, 9, "abcd"), nullptr);
  const uintptr_t open = failure_at(good, "open");
  const uintptr_t create = failure_at(good, "create");
  const uintptr_t header_error = failure_at(good, "read");
  EXPECT_NE(short_header, short_lump);
  EXPECT_NE(short_header, header_error);
  EXPECT_NE(open, create);
  EXPECT_NE(open, short_header);
}

TEST(RunToolTest, FailureEndsInTheReportAndStatusOne) {
  TestPlatform platform;
  platform.files["m.bsp"] = BspFile(29, 124, 9, "abcd");
  EXPECT_EQ(RunTool("m.bsp", platform), 1);
  const std::string& out = platform.stdout_bytes;
  const std::string first = "Entities lump, size: 9 offset: 124\r\nException EInOutError in module lorvink at ";
  ASSERT_EQ(out.substr(0, first.size()), first);
  // The test platform puts the image base 0x1234 below every address.
  EXPECT_EQ(out.substr(first.size()), "00001234.\nRead beyond end of file.\r\n");
}

TEST(RunToolTest, UnwritableReportStillEndsWithStatusOne) {
  TestPlatform platform;
  platform.fail["open-stdout"] = 6;
  platform.files["m.bsp"] = BspFile(29, 124, 4, "abcd");
  EXPECT_EQ(RunTool("m.bsp", platform), 1);
  EXPECT_EQ(platform.stdout_bytes, "");
  EXPECT_EQ(platform.files.count("m.txt"), 0u);
}

TEST(RunToolTest, SuccessAndUsageEndWithStatusZero) {
  TestPlatform platform;
  EXPECT_EQ(RunTool(nullptr, platform), 0);
  platform.files["m.bsp"] = BspFile(29, 124, 4, "abcd");
  EXPECT_EQ(RunTool("m.bsp", platform), 0);
  EXPECT_EQ(platform.files["m.txt"], "abcd");
}

TEST(RunToolTest, LastFlushFailureDoesNotChangeTheStatus) {
  TestPlatform platform;  // not a character device: lines wait for the end
  platform.fail["write-stdout"] = 109;
  platform.files["m.bsp"] = BspFile(29, 124, 4, "abcd");
  EXPECT_EQ(RunTool("m.bsp", platform), 0);
  EXPECT_EQ(platform.files["m.txt"], "abcd");
}

}  // namespace
}  // namespace lorvink
