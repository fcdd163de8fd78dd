#include "bsp_header.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lorvink {
namespace {

struct VersionCase {
  unsigned char bytes[4];
  int32_t version;
};

TEST(BspHeaderTest, VersionIsSignedLittleEndian) {
  const VersionCase cases[] = {
      {{0x1D, 0x00, 0x00, 0x00}, 29},
      {{0x1E, 0x00, 0x00, 0x00}, 30},
      {{0xFF, 0xFF, 0xFF, 0xFF}, -1},
      {{0x00, 0x00, 0x00, 0x80}, INT32_MIN},
      {{0xFF, 0xFF, 0xFF, 0x7F}, INT32_MAX},
      {{0x00, 0x00, 0x00, 0x1D}, 0x1D000000},  // big-endian 29 is not 29
      {{0x1D, 0x00, 0x01, 0x00}, 0x1001D},     // all four bytes count
  };
  for (const VersionCase& c : cases) {
    unsigned char block[kBspHeaderSize] = {};
    std::memcpy(block, c.bytes, 4);
    EXPECT_EQ(DecodeBspHeader(block).version, c.version)
        << "bytes " << int{c.bytes[0]} << " " << int{c.bytes[1]} << " "
        << int{c.bytes[2]} << " " << int{c.bytes[3]};
  }
}

TEST(BspHeaderTest, EntriesComeOffsetFirstInDirectoryOrder) {
  unsigned char block[kBspHeaderSize];
  for (size_t i = 0; i < kBspHeaderSize; ++i) block[i] = static_cast<unsigned char>(i);
  const BspHeader header = DecodeBspHeader(block);
  // Entry i occupies bytes 4 + 8i .. 11 + 8i: offset first, then length.
  for (size_t i = 0; i < kLumpCount; ++i) {
    const auto b = static_cast<uint32_t>(4 + 8 * i);
    const auto offset = static_cast<int32_t>(b | (b + 1) << 8 | (b + 2) << 16 | (b + 3) << 24);
    const auto length =
        static_cast<int32_t>((b + 4) | (b + 5) << 8 | (b + 6) << 16 | (b + 7) << 24);
    EXPECT_EQ(header.lumps[i].offset, offset) << "entry " << i;
    EXPECT_EQ(header.lumps[i].length, length) << "entry " << i;
  }
  EXPECT_EQ(&header.entities(), &header.lumps[0]);
}

TEST(BspHeaderTest, NegativeEntityFieldsStaySigned) {
  unsigned char block[kBspHeaderSize] = {0x1D, 0, 0, 0,               // version
                                         0xFE, 0xFF, 0xFF, 0xFF,      // offset -2
                                         0x00, 0x00, 0x00, 0x80};     // length INT32_MIN
  const BspHeader header = DecodeBspHeader(block);
  EXPECT_EQ(header.version, 29);
  EXPECT_EQ(header.entities().offset, -2);
  EXPECT_EQ(header.entities().length, INT32_MIN);
}

}  // namespace
}  // namespace lorvink
