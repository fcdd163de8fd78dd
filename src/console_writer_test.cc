#include "console_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_platform.h"

namespace lorvink {
namespace {

TEST(ConsoleWriterTest, StandardOutputIsTouchedOnlyByTheFirstWrite) {
  TestPlatform platform;
  ConsoleWriter out(platform);
  EXPECT_TRUE(platform.log.empty());
  EXPECT_EQ(out.WriteLine("a"), 0);
  EXPECT_EQ(out.WriteLine("b"), 0);
  EXPECT_EQ(platform.log, std::vector<std::string>{"open-stdout"});
}

TEST(ConsoleWriterTest, FileOrPipeGetsFullBuffersThenTheRestAtExit) {
  TestPlatform platform;
  ConsoleWriter out(platform);
  const std::string line(50, 'x');
  for (int i = 0; i < 5; ++i) ASSERT_EQ(out.WriteLine(line), 0);  // 5 * 52 = 260 bytes
  EXPECT_EQ(platform.stdout_writes, (std::vector<size_t>{128, 128}));
  out.FlushAtExit();
  EXPECT_EQ(platform.stdout_writes, (std::vector<size_t>{128, 128, 4}));
  std::string expected;
  for (int i = 0; i < 5; ++i) expected += line + "\r\n";
  EXPECT_EQ(platform.stdout_bytes, expected);
}

TEST(ConsoleWriterTest, ExactlyFullBufferGoesAtOnce) {
  TestPlatform platform;
  ConsoleWriter out(platform);
  ASSERT_EQ(out.WriteLine(std::string(126, 'y')), 0);
  EXPECT_EQ(platform.stdout_writes, std::vector<size_t>{128});
  out.FlushAtExit();
  EXPECT_EQ(platform.stdout_writes, std::vector<size_t>{128}) << "nothing left for the end";
}

TEST(ConsoleWriterTest, CharacterDeviceGetsEveryLineAtItsEnd) {
  TestPlatform platform;
  platform.stdout_is_character_device = true;
  ConsoleWriter out(platform);
  ASSERT_EQ(out.WriteLine("one"), 0);
  ASSERT_EQ(out.WriteLine(std::string(200, 'z')), 0);
  EXPECT_EQ(platform.stdout_writes, (std::vector<size_t>{5, 128, 74}));
}

TEST(ConsoleWriterTest, RefusedBytesAreDroppedNotRepeated) {
  TestPlatform platform;
  platform.stdout_is_character_device = true;
  ConsoleWriter out(platform);
  platform.fail["write-stdout"] = 112;
  EXPECT_EQ(out.WriteLine(std::string(300, 'a')), 112);  // fails at the first full buffer
  platform.fail.clear();
  EXPECT_EQ(out.WriteLine("next"), 0);
  out.FlushAtExit();
  EXPECT_EQ(platform.stdout_bytes, "next\r\n");
}

TEST(ConsoleWriterTest, UnopenableOutputFailsEveryLine) {
  TestPlatform platform;
  platform.fail["open-stdout"] = 6;
  ConsoleWriter out(platform);
  EXPECT_EQ(out.WriteLine("a"), 6);
  EXPECT_EQ(out.WriteLine("b"), 6);
  out.FlushAtExit();
  EXPECT_EQ(platform.stdout_bytes, "");
}

}  // namespace
}  // namespace lorvink
