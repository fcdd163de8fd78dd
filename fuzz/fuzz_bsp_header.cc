// Any 124 bytes decode, and encoding the result again gives the same bytes:
// no field is lost, swapped or sign-mangled.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "bsp_header.h"

namespace {

void PutInt32(unsigned char* p, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(bits >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using lorvink::kBspHeaderSize;
  if (size < kBspHeaderSize) return 0;
  unsigned char block[kBspHeaderSize];
  std::memcpy(block, data, kBspHeaderSize);
  const lorvink::BspHeader header = lorvink::DecodeBspHeader(block);
  unsigned char again[kBspHeaderSize];
  PutInt32(again, header.version);
  for (size_t i = 0; i < lorvink::kLumpCount; ++i) {
    PutInt32(again + 4 + 8 * i, header.lumps[i].offset);
    PutInt32(again + 8 + 8 * i, header.lumps[i].length);
  }
  if (std::memcmp(block, again, kBspHeaderSize) != 0) __builtin_trap();
  if (&header.entities() != &header.lumps[0]) __builtin_trap();
  return 0;
}
