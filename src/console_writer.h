// Console lines on standard output.
#ifndef LORVINK_CONSOLE_WRITER_H_
#define LORVINK_CONSOLE_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform.h"

namespace lorvink {

// Text collects in a 128-byte buffer that goes to the system whenever it is
// full, at the end of each line when standard output is a character device,
// and otherwise at process end. Lines end in CR LF on every system, so the
// console bytes are the same on every build.
class ConsoleWriter {
 public:
  static constexpr size_t kBufferSize = 128;

  explicit ConsoleWriter(Platform& platform) : platform_(platform) {}
  ConsoleWriter(const ConsoleWriter&) = delete;
  ConsoleWriter& operator=(const ConsoleWriter&) = delete;

  // Returns 0, or the code of the refused write. Bytes whose write failed are
  // dropped, never written again, and the rest of the line with them.
  int32_t WriteLine(std::string_view text);

  // Hands over what is still buffered; the process is ending, so a failure
  // here changes nothing.
  void FlushAtExit();

 private:
  int32_t Put(std::string_view text);
  int32_t Flush();

  Platform& platform_;
  bool opened_ = false;
  bool character_device_ = false;
  size_t used_ = 0;
  char buffer_[kBufferSize];
};

}  // namespace lorvink

#endif  // LORVINK_CONSOLE_WRITER_H_
