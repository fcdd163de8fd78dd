// The output-path scan with random lead-byte tables: the output is a prefix
// of the input plus ".txt", the cut agrees with a plain forward pairing of
// double-byte characters, and the file name part is a suffix of the path.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "output_path.h"
#include "output_path_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t ranges = data[0] % 8;  // up to 7: one more than a table holds
  if (size < 1 + 2 * ranges) return 0;
  lorvink::LeadByteTable table;
  for (size_t i = 0; i < ranges; ++i) table.AddRange(data[1 + 2 * i], data[2 + 2 * i]);
  const std::string_view path(reinterpret_cast<const char*>(data) + 1 + 2 * ranges,
                              size - 1 - 2 * ranges);

  const std::string output = lorvink::OutputPath(path, table);
  if (output.size() < 4 || output.compare(output.size() - 4, 4, ".txt") != 0) __builtin_trap();
  const std::string_view kept = std::string_view(output).substr(0, output.size() - 4);
  if (path.substr(0, kept.size()) != kept) __builtin_trap();

  const size_t stop = lorvink::FindLastStop(path, ".\\/:", table);
  if (stop != lorvink::ForwardLastStop(path, ".\\/:", table)) __builtin_trap();
  const bool cut = stop != std::string_view::npos && path[stop] == '.';
  if (kept.size() != (cut ? stop : path.size())) __builtin_trap();

  const std::string_view name = lorvink::FileNamePart(path, table);
  if (name.size() > path.size() || path.substr(path.size() - name.size()) != name) __builtin_trap();
  return 0;
}
