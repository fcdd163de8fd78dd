// Splitting any command line: an argument never holds a double quote or a
// NUL, holds a separator only where a quoted run put it, uses only bytes of
// the line, and once an index runs past the last argument so do all later
// ones.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const bool line_has_quote = line.find('"') != std::string_view::npos;
  bool ended = false;
  for (int index = 0; index < 4; ++index) {
    const std::string argument = lorvink::WindowsArgument(line, index);
    if (argument.find('"') != std::string::npos) __builtin_trap();
    if (argument.find('\0') != std::string::npos) __builtin_trap();
    if (argument.size() > line.size()) __builtin_trap();
    for (char c : argument) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte <= 32 && !line_has_quote) __builtin_trap();
      if (line.find(c) == std::string_view::npos) __builtin_trap();
    }
    if (ended && !argument.empty()) __builtin_trap();
    if (argument.empty()) ended = true;
  }
  return 0;
}
