#include "output_path.h"

namespace lorvink {

void LeadByteTable::AddRange(uint8_t first, uint8_t last) {
  if (count_ == kMaxRanges) return;
  ranges_[count_++] = Range{first, last};
}

bool LeadByteTable::IsLeadByte(uint8_t byte) const {
  for (size_t i = 0; i < count_; ++i) {
    if (byte >= ranges_[i].first && byte <= ranges_[i].last) return true;
  }
  return false;
}

size_t FindLastStop(std::string_view path, std::string_view stops,
                    const LeadByteTable& lead_bytes) {
  size_t i = path.size();
  while (i > 0) {
    --i;
    size_t run = 0;  // lead bytes just before path[i]
    if (!lead_bytes.empty()) {
      while (run < i && lead_bytes.IsLeadByte(static_cast<uint8_t>(path[i - 1 - run]))) ++run;
    }
    const bool second_byte = run % 2 == 1;
    if (!second_byte && stops.find(path[i]) != std::string_view::npos) return i;
    // Inside a run of lead bytes the parity alternates, so every byte of the
    // run belongs to a double-byte character whichever way path[i] went:
    // continue before the run instead of counting it again for each byte.
    if (run > 0) i -= run;
  }
  return std::string_view::npos;
}

std::string OutputPath(std::string_view input_path, const LeadByteTable& lead_bytes) {
  const size_t stop = FindLastStop(input_path, ".\\/:", lead_bytes);
  const bool has_extension = stop != std::string_view::npos && input_path[stop] == '.';
  std::string output(input_path.substr(0, has_extension ? stop : input_path.size()));
  output.append(".txt");
  return output;
}

std::string_view FileNamePart(std::string_view path, const LeadByteTable& lead_bytes) {
  const size_t stop = FindLastStop(path, "\\/", lead_bytes);
  return stop == std::string_view::npos ? path : path.substr(stop + 1);
}

}  // namespace lorvink
