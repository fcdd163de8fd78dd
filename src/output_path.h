// Path scans that must respect double-byte characters: the output path
// derived from the input path, and the file name part of the executable's
// path shown in the failure report.
#ifndef LORVINK_OUTPUT_PATH_H_
#define LORVINK_OUTPUT_PATH_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lorvink {

// The lead-byte ranges of the system's ANSI code page: at most six inclusive
// ranges. Empty where the system has no double-byte support (always on
// POSIX), and then every byte stands for itself.
class LeadByteTable {
 public:
  static constexpr size_t kMaxRanges = 6;

  // Ranges past the sixth are dropped; a range whose first byte is above its
  // last holds nothing.
  void AddRange(uint8_t first, uint8_t last);
  [[nodiscard]] bool IsLeadByte(uint8_t byte) const;
  [[nodiscard]] bool empty() const { return count_ == 0; }

 private:
  struct Range {
    uint8_t first;
    uint8_t last;
  };
  Range ranges_[kMaxRanges] = {};
  size_t count_ = 0;
};

// Scans |path| from its end for the last byte that is one of |stops| and is
// not the second byte of a double-byte character. A byte is such a second
// byte when the run of lead bytes just before it has odd length. Returns its
// index, or npos. Linear in the length of the path.
size_t FindLastStop(std::string_view path, std::string_view stops,
                    const LeadByteTable& lead_bytes);

// The file the lump is written to: the input path with its extension
// replaced by ".txt", or with ".txt" added when it has none. The extension
// starts at the last '.' after the last '\', '/' or ':'. '/' ends a folder on
// every system, so the output always lands beside the input.
std::string OutputPath(std::string_view input_path, const LeadByteTable& lead_bytes);

// The part of |path| after its last '\' or '/'.
std::string_view FileNamePart(std::string_view path, const LeadByteTable& lead_bytes);

}  // namespace lorvink

#endif  // LORVINK_OUTPUT_PATH_H_
