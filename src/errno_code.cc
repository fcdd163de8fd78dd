#include "errno_code.h"

#include <cerrno>

#include "result_code.h"

namespace lorvink {

namespace {

struct ErrnoEntry {
  int error;
  int32_t code;
};

// The nearest Windows system error for each errno the tool can meet. Open
// refines ENOENT into 2 or 3 by whether the folder exists, and a seek
// refines EINVAL for a negative position into 131.
constexpr ErrnoEntry kErrnoTable[] = {
    {ENOENT, code::kFileNotFound},       // 2
    {ENXIO, code::kFileNotFound},        // 2: no reader on a FIFO, no device
    {ENOTDIR, code::kPathNotFound},      // 3: a folder on the path is a file
    {ENAMETOOLONG, code::kPathNotFound}, // 3: the system's own answer to a long name
    {EMFILE, code::kTooManyOpenFiles},   // 4
    {ENFILE, code::kTooManyOpenFiles},   // 4
    {EACCES, code::kAccessDenied},       // 5
    {EPERM, code::kAccessDenied},        // 5
    {EROFS, code::kAccessDenied},        // 5: opened for writing on a read-only mount
    {EISDIR, code::kAccessDenied},       // 5: a folder given as a file
    {EBADF, code::kInvalidHandle},       // 6
    {ENOMEM, code::kNotEnoughMemory},    // 8
    {ESPIPE, 1},                         // ERROR_INVALID_FUNCTION: no seek on a pipe
    {ETXTBSY, 32},                       // ERROR_SHARING_VIOLATION
    {EBUSY, 32},                         // ERROR_SHARING_VIOLATION
    {EEXIST, 80},                        // ERROR_FILE_EXISTS
    {EINVAL, 87},                        // ERROR_INVALID_PARAMETER
    {EPIPE, 109},                        // ERROR_BROKEN_PIPE: the reader has gone
    {ENOSPC, 112},                       // ERROR_DISK_FULL
    {EDQUOT, 112},                       // ERROR_DISK_FULL: out of quota
    {EAGAIN, 170},                       // ERROR_BUSY
    {EFBIG, 223},                        // ERROR_FILE_TOO_LARGE: over the file-size limit
    {EIO, 1117},                         // ERROR_IO_DEVICE
    {ELOOP, 1921},                       // ERROR_CANT_RESOLVE_FILENAME
};

// Anything else: ERROR_GEN_FAILURE.
constexpr int32_t kOtherError = 31;

}  // namespace

int32_t CodeFromErrno(int error) {
  for (const ErrnoEntry& entry : kErrnoTable) {
    if (entry.error == error) return entry.code;
  }
  return kOtherError;
}

}  // namespace lorvink
