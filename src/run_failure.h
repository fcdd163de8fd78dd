// The record with which a failed step abandons a run.
#ifndef LORVINK_RUN_FAILURE_H_
#define LORVINK_RUN_FAILURE_H_

#include <cstdint>

#include "result_code.h"

namespace lorvink {

enum class FailureKind : uint8_t {
  kInOutError,   // a file or console operation was refused
  kOutOfMemory,  // the lump buffer could not be had
};

// Every checked step of a run, in the order a run meets them.
enum class Step : uint8_t {
  kUsageLine1,
  kUsageLine2,
  kUsageLine3,
  kOpenInput,
  kReadHeader,
  kVersionLine,
  kSizeLine,
  kAllocateLump,
  kSeekLump,
  kReadLump,
  kCloseInput,
  kDeriveOutputPath,
  kCreateOutput,
  kWriteLump,
  kCloseOutput,
};

struct RunFailure {
  FailureKind kind;
  int32_t code;     // for kInOutError: the failed operation's result code
  Step step;
  // The code address just after the failed step's check. The report shows it
  // relative to the executable's load address.
  uintptr_t address;
};

#if defined(__GNUC__) && !defined(__clang__)
#define LORVINK_CALL_SITE_HELPER __attribute__((noinline, noipa))
#else
#define LORVINK_CALL_SITE_HELPER __attribute__((noinline))
#endif

// A failure of the step this is instantiated for, located just after the
// call. Each step has a helper of its own, never inlined: the optimiser may
// share one call between several checks that pass the same arguments to the
// same function, but never between calls to different functions, so every
// step keeps a location of its own.
template <Step kStep>
LORVINK_CALL_SITE_HELPER RunFailure InOutError(int32_t code) {
  return RunFailure{FailureKind::kInOutError, code, kStep,
                    reinterpret_cast<uintptr_t>(__builtin_return_address(0))};
}

template <Step kStep>
LORVINK_CALL_SITE_HELPER RunFailure OutOfMemory() {
  return RunFailure{FailureKind::kOutOfMemory, 0, kStep,
                    reinterpret_cast<uintptr_t>(__builtin_return_address(0))};
}

}  // namespace lorvink

#endif  // LORVINK_RUN_FAILURE_H_
