// The fixed 124-byte header at the start of a BSP version 29 file.
#ifndef LORVINK_BSP_HEADER_H_
#define LORVINK_BSP_HEADER_H_

#include <cstddef>
#include <cstdint>

namespace lorvink {

// One directory entry: where a lump starts in the file and how long it is.
// Both are signed on disk; negative values are possible and must be handled
// by whoever acts on them.
struct LumpEntry {
  int32_t offset;
  int32_t length;
};

constexpr size_t kLumpCount = 15;
constexpr size_t kBspHeaderSize = 4 + kLumpCount * 8;  // 124
constexpr int32_t kBspVersion = 29;
constexpr size_t kEntitiesLump = 0;

struct BspHeader {
  int32_t version;
  LumpEntry lumps[kLumpCount];

  [[nodiscard]] const LumpEntry& entities() const { return lumps[kEntitiesLump]; }
};

// Decodes the little-endian, two's-complement fields byte by byte, so the
// result does not depend on the host's byte order or struct layout. Every
// block decodes; judging the values is the caller's business.
BspHeader DecodeBspHeader(const unsigned char (&block)[kBspHeaderSize]);

}  // namespace lorvink

#endif  // LORVINK_BSP_HEADER_H_
