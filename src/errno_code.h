// POSIX errno values in the Windows numbering the tool reports everywhere.
#ifndef LORVINK_ERRNO_CODE_H_
#define LORVINK_ERRNO_CODE_H_

#include <cstdint>

namespace lorvink {

// The one table from errno to result code. Where the meaning of an errno
// depends on the call (ENOENT from open, EINVAL from a seek), the caller
// refines it before asking.
int32_t CodeFromErrno(int error);

}  // namespace lorvink

#endif  // LORVINK_ERRNO_CODE_H_
