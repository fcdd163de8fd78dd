#include "bsp_header.h"

namespace lorvink {

namespace {

int32_t LittleEndianInt32(const unsigned char* p) {
  const uint32_t bits = static_cast<uint32_t>(p[0]) |
                        static_cast<uint32_t>(p[1]) << 8 |
                        static_cast<uint32_t>(p[2]) << 16 |
                        static_cast<uint32_t>(p[3]) << 24;
  // Well defined since C++20: the value with the same bits, two's complement.
  return static_cast<int32_t>(bits);
}

}  // namespace

BspHeader DecodeBspHeader(const unsigned char (&block)[kBspHeaderSize]) {
  BspHeader header{};
  header.version = LittleEndianInt32(block);
  for (size_t i = 0; i < kLumpCount; ++i) {
    const unsigned char* entry = block + 4 + 8 * i;
    header.lumps[i].offset = LittleEndianInt32(entry);
    header.lumps[i].length = LittleEndianInt32(entry + 4);
  }
  return header;
}

}  // namespace lorvink
