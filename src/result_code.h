// Result codes of file and console operations.
#ifndef LORVINK_RESULT_CODE_H_
#define LORVINK_RESULT_CODE_H_

#include <cstdint>

// Result codes follow the Windows system error numbering on every build, so
// reports and scripts see the same numbers everywhere.
namespace lorvink::code {
constexpr int32_t kOk = 0;
constexpr int32_t kFileNotFound = 2;
constexpr int32_t kPathNotFound = 3;
constexpr int32_t kTooManyOpenFiles = 4;
constexpr int32_t kAccessDenied = 5;
constexpr int32_t kInvalidHandle = 6;
constexpr int32_t kNotEnoughMemory = 8;
constexpr int32_t kReadBeyondEnd = 100;   // a read delivered fewer bytes than asked
constexpr int32_t kDiskFull = 101;        // a write stored fewer bytes than asked
constexpr int32_t kInvalidNumericInput = 106;
constexpr int32_t kNegativeSeek = 131;
}  // namespace lorvink::code

#endif  // LORVINK_RESULT_CODE_H_
