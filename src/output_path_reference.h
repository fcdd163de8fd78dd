// For tests: the last stop byte found by walking a path forwards and pairing
// each lead byte with the byte after it, the plainest reading of the
// double-byte rule. The tool scans backwards instead; the two must agree.
#ifndef LORVINK_OUTPUT_PATH_REFERENCE_H_
#define LORVINK_OUTPUT_PATH_REFERENCE_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "output_path.h"

namespace lorvink {

inline size_t ForwardLastStop(std::string_view path, std::string_view stops,
                              const LeadByteTable& table) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    // A lead byte with a byte after it starts a character of two bytes,
    // neither of which can end a name.
    if (table.IsLeadByte(static_cast<uint8_t>(path[i])) && i + 1 < path.size()) {
      ++i;
    } else if (stops.find(path[i]) != std::string_view::npos) {
      found = i;
    }
  }
  return found;
}

}  // namespace lorvink

#endif  // LORVINK_OUTPUT_PATH_REFERENCE_H_
