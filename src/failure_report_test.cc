#include "failure_report.h"

#include <gtest/gtest.h>

#include <string>

namespace lorvink {
namespace {

TEST(FailureMessageTest, Table) {
  const struct {
    FailureKind kind;
    int32_t code;
    const char* message;
  } cases[] = {
      {FailureKind::kInOutError, 2, "File not found"},
      {FailureKind::kInOutError, 3, "Invalid filename"},
      {FailureKind::kInOutError, 4, "Too many open files"},
      {FailureKind::kInOutError, 5, "File access denied"},
      {FailureKind::kInOutError, 100, "Read beyond end of file"},
      {FailureKind::kInOutError, 101, "Disk full"},
      {FailureKind::kInOutError, 106, "Invalid numeric input"},
      {FailureKind::kInOutError, 32, "I/O error 32"},
      {FailureKind::kInOutError, 131, "I/O error 131"},
      {FailureKind::kInOutError, 0, "I/O error 0"},
      {FailureKind::kInOutError, -1, "I/O error -1"},
      {FailureKind::kInOutError, INT32_MIN, "I/O error -2147483648"},
      {FailureKind::kOutOfMemory, 0, "Out of memory"},
      {FailureKind::kOutOfMemory, 2, "Out of memory"},
  };
  for (const auto& c : cases) {
    FixedBuffer<32> scratch;
    EXPECT_EQ(FailureMessage(c.kind, c.code, scratch), c.message) << c.code;
  }
}

std::string Report(FailureKind kind, int32_t code, std::string_view module, uint32_t location) {
  FixedBuffer<kReportSize> out;
  FormatFailureReport(out, kind, code, module, location);
  return std::string(out.view());
}

TEST(FailureReportTest, TwoLinesWithKindModuleLocationAndMessage) {
  EXPECT_EQ(Report(FailureKind::kInOutError, 2, "lorvink", 0x1A2B),
            "Exception EInOutError in module lorvink at 00001A2B.\nFile not found.");
  EXPECT_EQ(Report(FailureKind::kOutOfMemory, 0, "lorvink.exe", 0xFFFFFFFF),
            "Exception EOutOfMemory in module lorvink.exe at FFFFFFFF.\nOut of memory.");
  EXPECT_EQ(Report(FailureKind::kInOutError, 131, "x", 0),
            "Exception EInOutError in module x at 00000000.\nI/O error 131.");
}

TEST(FailureReportTest, ModuleNameCutAt260) {
  const std::string name(300, 'n');
  const std::string report = Report(FailureKind::kInOutError, 5, name, 1);
  EXPECT_EQ(report, "Exception EInOutError in module " + std::string(260, 'n') +
                        " at 00000001.\nFile access denied.");
}

}  // namespace
}  // namespace lorvink
