#include "failure_report.h"

namespace lorvink {

namespace {

constexpr std::string_view kReportFormat = "Exception %s in module %s at %p.\n%s%s";

struct MessageEntry {
  int32_t code;
  std::string_view text;
};

constexpr MessageEntry kMessages[] = {
    {code::kFileNotFound, "File not found"},
    {code::kPathNotFound, "Invalid filename"},
    {code::kTooManyOpenFiles, "Too many open files"},
    {code::kAccessDenied, "File access denied"},
    {code::kReadBeyondEnd, "Read beyond end of file"},
    {code::kDiskFull, "Disk full"},
    {code::kInvalidNumericInput, "Invalid numeric input"},
};

}  // namespace

std::string_view FailureKindName(FailureKind kind) {
  return kind == FailureKind::kOutOfMemory ? "EOutOfMemory" : "EInOutError";
}

std::string_view FailureMessage(FailureKind kind, int32_t code, FixedText& scratch) {
  if (kind == FailureKind::kOutOfMemory) return "Out of memory";
  for (const MessageEntry& entry : kMessages) {
    if (entry.code == code) return entry.text;
  }
  FormatInto(scratch, "I/O error %d", {code});
  return scratch.view();
}

void FormatFailureReport(FixedText& out, FailureKind kind, int32_t code,
                         std::string_view module_name, uint32_t location) {
  FixedBuffer<kReportFormatSize> format;
  format.Append(kReportFormat);
  FixedBuffer<32> scratch;
  const std::string_view message = FailureMessage(kind, code, scratch);
  const bool needs_period = !message.empty() && message.back() != '.';
  FixedBuffer<kReportSize> report;
  FormatInto(report, format.view(),
             {FailureKindName(kind), module_name.substr(0, kModuleNameMax),
              FormatArg::Address(location), message, needs_period ? "." : ""});
  out.Append(report.view());
}

}  // namespace lorvink
