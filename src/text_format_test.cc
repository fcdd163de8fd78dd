#include "text_format.h"

#include <gtest/gtest.h>

#include <string>

namespace lorvink {
namespace {

TEST(TextFormatTest, Decimal) {
  const struct {
    int32_t value;
    const char* text;
  } cases[] = {{0, "0"}, {29, "29"}, {-1, "-1"}, {124, "124"},
               {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
  for (const auto& c : cases) {
    FixedBuffer<16> text;
    text.AppendDecimal(c.value);
    EXPECT_EQ(text.view(), c.text);
  }
}

TEST(TextFormatTest, Hex8) {
  const struct {
    uint32_t value;
    const char* text;
  } cases[] = {{0, "00000000"}, {0x1234, "00001234"}, {0xDEADBEEF, "DEADBEEF"}, {0xA, "0000000A"}};
  for (const auto& c : cases) {
    FixedBuffer<16> text;
    text.AppendHex8(c.value);
    EXPECT_EQ(text.view(), c.text);
  }
}

TEST(TextFormatTest, FormatFillsDirectivesInOrder) {
  FixedBuffer<128> text;
  FormatInto(text, "%s=%d at %p, 100%%", {"x", -7, FormatArg::Address(0xBEEF)});
  EXPECT_EQ(text.view(), "x=-7 at 0000BEEF, 100%");
}

TEST(TextFormatTest, MissingOrMismatchedArgumentsYieldNothing) {
  FixedBuffer<64> text;
  FormatInto(text, "[%s][%d][%q]%", {5});
  EXPECT_EQ(text.view(), "[][][%q]%");
}

TEST(TextFormatTest, CutAtCapacity) {
  FixedBuffer<8> text;
  FormatInto(text, "%s and %d", {"abcdef", 123456});
  EXPECT_EQ(text.view(), "abcdef a");
  text.AppendDecimal(1);
  EXPECT_EQ(text.view().size(), 8u);
}

}  // namespace
}  // namespace lorvink
