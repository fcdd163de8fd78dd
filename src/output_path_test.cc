#include "output_path.h"

#include <gtest/gtest.h>

#include <string>

#include "output_path_reference.h"

namespace lorvink {
namespace {

struct PathCase {
  const char* input;
  const char* output;
};

TEST(OutputPathTest, SingleByteNames) {
  const PathCase cases[] = {
      {"maps\\e1m1.bsp", "maps\\e1m1.txt"},
      {"e1m1", "e1m1.txt"},
      {"e1m1.", "e1m1.txt"},
      {"archive.old.bsp", "archive.old.txt"},
      {"maps.old\\e1m1", "maps.old\\e1m1.txt"},
      {"c:e1m1.bsp", "c:e1m1.txt"},
      {"c:.bsp", "c:.txt"},
      {"map.txt", "map.txt"},
      // '/' ends a folder too: the output never leaves the input's folder.
      {"maps.old/e1m1", "maps.old/e1m1.txt"},
      {"./e1m1", "./e1m1.txt"},
      {"../w/e1m1", "../w/e1m1.txt"},
      {"maps/e1m1.bsp", "maps/e1m1.txt"},
      {"/abs/path/e1m1.bsp", "/abs/path/e1m1.txt"},
      {".bsp", ".txt"},
      {".", ".txt"},
      {"", ".txt"},
  };
  const LeadByteTable none;
  for (const PathCase& c : cases) {
    EXPECT_EQ(OutputPath(c.input, none), c.output) << "input: " << c.input;
  }
}

LeadByteTable ShiftJisLeadBytes() {
  LeadByteTable table;
  table.AddRange(0x81, 0x9F);
  table.AddRange(0xE0, 0xFC);
  return table;
}

TEST(OutputPathTest, DoubleByteNames) {
  // 0x95 0x5C is one double-byte character whose second byte is '\'; 0x81
  // 0x2E likewise ends in '.'. Such second bytes never end a name.
  const PathCase cases[] = {
      {"a.b\x95\x5C" "c", "a.txt"},
      {"a.b\x95\x5C", "a.txt"},
      {"dir\\\x95\x5C.bsp", "dir\\\x95\x5C.txt"},
      {"a.b\x81\x2E" "c", "a.txt"},
      {"a\x81\x2E", "a\x81\x2E.txt"},
      // An even run of lead bytes pairs up before the '.', which then counts.
      {"a\x81\x81.bsp", "a\x81\x81.txt"},
      // An odd run: the last lead byte takes the '.' as its second byte.
      {"a.x\x81\x81\x81.bsp", "a.txt"},
      {"a.x\x81\x81\x81", "a.txt"},
      // Lead byte values that are not followed by anything special.
      {"\x95\x95\x95\x95", "\x95\x95\x95\x95.txt"},
  };
  const LeadByteTable table = ShiftJisLeadBytes();
  for (const PathCase& c : cases) {
    EXPECT_EQ(OutputPath(c.input, table), c.output) << "input: " << c.input;
  }
  // Without the table, the same bytes are single characters.
  EXPECT_EQ(OutputPath("a.b\x95\x5C" "c", LeadByteTable()), "a.b\x95\x5C" "c.txt");
}

TEST(OutputPathTest, LeadByteTableRanges) {
  LeadByteTable table;
  EXPECT_TRUE(table.empty());
  for (int i = 0; i < 8; ++i) table.AddRange(static_cast<uint8_t>(0x10 * (i + 8)), static_cast<uint8_t>(0x10 * (i + 8) + 1));
  EXPECT_FALSE(table.empty());
  EXPECT_TRUE(table.IsLeadByte(0xD1));   // sixth range
  EXPECT_FALSE(table.IsLeadByte(0xE0));  // seventh: dropped
  EXPECT_FALSE(table.IsLeadByte(0x82));
  LeadByteTable inverted;
  inverted.AddRange(0x90, 0x80);
  EXPECT_FALSE(inverted.IsLeadByte(0x85));
}

TEST(OutputPathTest, BackwardScanAgreesWithForwardPairing) {
  const LeadByteTable table = ShiftJisLeadBytes();
  const char alphabet[] = {'a', '.', '\\', '/', ':', '\x81', '\x5C', '\xE0'};
  uint32_t seed = 12345;
  for (int n = 0; n < 20000; ++n) {
    std::string path;
    seed = seed * 1103515245u + 12345u;
    const size_t length = (seed >> 16) % 12;
    for (size_t i = 0; i < length; ++i) {
      seed = seed * 1103515245u + 12345u;
      path.push_back(alphabet[(seed >> 16) % sizeof alphabet]);
    }
    ASSERT_EQ(FindLastStop(path, ".\\/:", table), ForwardLastStop(path, ".\\/:", table))
        << "path bytes: " << testing::PrintToString(path);
  }
}

TEST(FileNamePartTest, CutsAfterLastSeparator) {
  const PathCase cases[] = {
      {"/usr/local/bin/lorvink", "lorvink"},
      {"C:\\Tools\\lorvink.exe", "lorvink.exe"},
      {"lorvink", "lorvink"},
      {"dir/", ""},
      {"c:lorvink.exe", "c:lorvink.exe"},  // a drive is not a folder here
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(FileNamePart(c.input, LeadByteTable()), c.output) << c.input;
  }
  EXPECT_EQ(FileNamePart("C:\\\x95\x5Ctool.exe", ShiftJisLeadBytes()), "\x95\x5Ctool.exe");
}

}  // namespace
}  // namespace lorvink
