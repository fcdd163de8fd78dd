// Formatting a report from any kind, code, module name and location: it fits
// its 1024-byte buffer, starts with the kind, shows the location as eight
// uppercase hex digits after the module name, and its message line ends in
// a single '.'.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "failure_report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  const auto kind = (data[0] & 1) ? lorvink::FailureKind::kOutOfMemory : lorvink::FailureKind::kInOutError;
  int32_t code;
  uint32_t location;
  std::memcpy(&code, data + 1, 4);
  std::memcpy(&location, data + 5, 4);
  const std::string_view module(reinterpret_cast<const char*>(data) + 9, size - 9);

  lorvink::FixedBuffer<lorvink::kReportSize> out;
  lorvink::FormatFailureReport(out, kind, code, module, location);
  const std::string_view report = out.view();
  if (report.size() > lorvink::kReportSize) __builtin_trap();

  const std::string_view head = kind == lorvink::FailureKind::kOutOfMemory
                                    ? "Exception EOutOfMemory in module "
                                    : "Exception EInOutError in module ";
  if (report.substr(0, head.size()) != head) __builtin_trap();
  const size_t shown = module.size() < lorvink::kModuleNameMax ? module.size() : lorvink::kModuleNameMax;
  const size_t at = head.size() + shown;
  if (report.substr(head.size(), shown) != module.substr(0, shown)) __builtin_trap();
  if (report.substr(at, 4) != " at ") __builtin_trap();
  for (size_t i = at + 4; i < at + 12; ++i) {
    const char c = report[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) __builtin_trap();
  }
  if (report.substr(at + 12, 2) != ".\n") __builtin_trap();
  if (report.back() != '.' || report[report.size() - 2] == '.') __builtin_trap();
  return 0;
}
