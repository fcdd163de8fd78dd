// The two-line report that ends a failed run.
#ifndef LORVINK_FAILURE_REPORT_H_
#define LORVINK_FAILURE_REPORT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "run_failure.h"
#include "text_format.h"

namespace lorvink {

constexpr size_t kReportFormatSize = 256;
constexpr size_t kReportSize = 1024;
constexpr size_t kModuleNameMax = 260;

// "EInOutError" or "EOutOfMemory".
std::string_view FailureKindName(FailureKind kind);

// The message for a failure, formatted into |scratch| when it carries the
// code ("I/O error 131").
std::string_view FailureMessage(FailureKind kind, int32_t code, FixedText& scratch);

// Builds the report: kind, module name (cut to 260 characters), location as
// eight hex digits, message, and a closing '.' unless the message ends in
// one. The first line ends in a bare LF; the caller writes the whole text as
// one console line, so the second ends in CR LF. At most 1024 characters.
void FormatFailureReport(FixedText& out, FailureKind kind, int32_t code,
                         std::string_view module_name, uint32_t location);

}  // namespace lorvink

#endif  // LORVINK_FAILURE_REPORT_H_
