#include "command_line.h"

#include <cstddef>

namespace lorvink {

namespace {

bool IsSeparator(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 1 && byte <= 32;
}

// Reads the argument that starts at or after |pos|. Returns false when only
// separators and quote pairs remain; |pos| ends just past what was read.
bool NextArgument(std::string_view line, size_t& pos, std::string* out) {
  const size_t n = line.size();
  while (pos < n) {
    if (IsSeparator(line[pos])) {
      ++pos;
    } else if (line[pos] == '"' && pos + 1 < n && line[pos + 1] == '"') {
      pos += 2;
    } else {
      break;
    }
  }
  if (pos == n) return false;

  if (out) out->clear();
  while (pos < n && !IsSeparator(line[pos])) {
    if (line[pos] == '"') {
      const size_t close = line.find('"', pos + 1);
      const size_t end = close == std::string_view::npos ? n : close;
      if (out) out->append(line.substr(pos + 1, end - pos - 1));
      pos = close == std::string_view::npos ? n : close + 1;
    } else {
      if (out) out->push_back(line[pos]);
      ++pos;
    }
  }
  return true;
}

}  // namespace

std::string WindowsArgument(std::string_view command_line, int index) {
  const size_t nul = command_line.find('\0');
  if (nul != std::string_view::npos) command_line = command_line.substr(0, nul);

  size_t pos = 0;
  for (int i = 0; i < index; ++i) {
    if (!NextArgument(command_line, pos, nullptr)) return std::string();
  }
  std::string argument;
  if (!NextArgument(command_line, pos, &argument)) return std::string();
  return argument;
}

const char* PosixArgument1(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] != nullptr && argv[i][0] != '\0') return argv[i];
  }
  return nullptr;
}

}  // namespace lorvink
