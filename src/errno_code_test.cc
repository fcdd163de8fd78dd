#include "errno_code.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace lorvink {
namespace {

TEST(ErrnoCodeTest, MapsToWindowsNumbers) {
  const struct {
    int error;
    int32_t code;
  } cases[] = {
      {ENOENT, 2},  {ENOTDIR, 3}, {ENAMETOOLONG, 3}, {EMFILE, 4},   {ENFILE, 4},
      {EACCES, 5},  {EPERM, 5},   {EROFS, 5},        {EISDIR, 5},   {EBADF, 6},
      {ENOSPC, 112}, {EDQUOT, 112}, {EPIPE, 109},    {EFBIG, 223},  {ETXTBSY, 32},
      {EIO, 1117},  {EINVAL, 87}, {ESPIPE, 1},
      {EPROTO, 31},  // anything unlisted
  };
  for (const auto& c : cases) EXPECT_EQ(CodeFromErrno(c.error), c.code) << "errno " << c.error;
}

}  // namespace
}  // namespace lorvink
