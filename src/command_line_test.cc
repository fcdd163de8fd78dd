#include "command_line.h"

#include <gtest/gtest.h>

namespace lorvink {
namespace {

struct SplitCase {
  const char* line;
  const char* argument1;
};

TEST(WindowsArgumentTest, Argument1) {
  const SplitCase cases[] = {
      {"lorvink", ""},
      {"lorvink   ", ""},
      {"lorvink \"\"", ""},
      {"lorvink \"\" \"\"  \"\"", ""},
      {"lorvink maps\\e1m1.bsp", "maps\\e1m1.bsp"},
      {"lorvink \"\" maps\\e1m1.bsp", "maps\\e1m1.bsp"},
      {"lorvink \"\"maps\\e1m1.bsp", "maps\\e1m1.bsp"},
      {"lorvink maps\\\"e1 m1\".bsp", "maps\\e1 m1.bsp"},
      {"lorvink \"c:\\my maps\\a.bsp\" ignored", "c:\\my maps\\a.bsp"},
      {"lorvink \"open run to the end", "open run to the end"},
      {"lorvink a\"\"b", "ab"},              // an empty run inside an argument
      {"lorvink \"\"\"a b\"", "a b"},        // pair skipped, then a quoted run
      {"lorvink \\\"a b\\\"", "\\a b\\"},    // no escapes: backslash is literal
      {"lorvink\tfirst\x01second", "first"},  // 1..32 all separate
      {"lorvink \x7f\xe4", "\x7f\xe4"},       // bytes above 32 belong to the argument
      {"lorvink first second", "first"},
      {"\"c:\\program files\\lorvink.exe\" map.bsp", "map.bsp"},
      {"\"\" lorvink map.bsp", "map.bsp"},  // the name is split by the same rules
      {"lorvink", ""},
      {"", ""},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(WindowsArgument(c.line, 1), c.argument1) << "line: " << c.line;
  }
}

TEST(WindowsArgumentTest, ProgramNameAndLaterArguments) {
  EXPECT_EQ(WindowsArgument("\"c:\\a b\\lorvink.exe\" x", 0), "c:\\a b\\lorvink.exe");
  EXPECT_EQ(WindowsArgument("lorvink x \"\" y", 2), "y");
  EXPECT_EQ(WindowsArgument("lorvink x", 2), "");
}

TEST(WindowsArgumentTest, NulEndsTheLine) {
  const std::string_view line("lorvink\0map.bsp", 15);
  EXPECT_EQ(WindowsArgument(line, 1), "");
  const std::string_view cut("lorvink ma\0p.bsp", 16);
  EXPECT_EQ(WindowsArgument(cut, 1), "ma");
}

TEST(PosixArgumentTest, FirstNonEmptyElement) {
  const char* none[] = {"lorvink"};
  EXPECT_EQ(PosixArgument1(1, none), nullptr);
  const char* empties[] = {"lorvink", "", ""};
  EXPECT_EQ(PosixArgument1(3, empties), nullptr);
  const char* skipped[] = {"lorvink", "", "maps/e1m1.bsp", "extra"};
  EXPECT_STREQ(PosixArgument1(4, skipped), "maps/e1m1.bsp");
  const char* blank[] = {"lorvink", " "};  // a blank name is still a name
  EXPECT_STREQ(PosixArgument1(2, blank), " ");
  EXPECT_EQ(PosixArgument1(0, nullptr), nullptr);
}

}  // namespace
}  // namespace lorvink
