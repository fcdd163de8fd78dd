#include "console_writer.h"

#include "result_code.h"

namespace lorvink {

int32_t ConsoleWriter::WriteLine(std::string_view text) {
  if (!opened_) {
    if (const int32_t code = platform_.OpenStdout(&character_device_); code != code::kOk) return code;
    opened_ = true;
  }
  if (const int32_t code = Put(text); code != code::kOk) return code;
  if (const int32_t code = Put("\r\n"); code != code::kOk) return code;
  return character_device_ ? Flush() : code::kOk;
}

void ConsoleWriter::FlushAtExit() { static_cast<void>(Flush()); }

int32_t ConsoleWriter::Put(std::string_view text) {
  while (!text.empty()) {
    const size_t room = kBufferSize - used_;
    const size_t n = text.size() < room ? text.size() : room;
    for (size_t i = 0; i < n; ++i) buffer_[used_ + i] = text[i];
    used_ += n;
    text.remove_prefix(n);
    if (used_ == kBufferSize) {
      if (const int32_t code = Flush(); code != code::kOk) return code;
    }
  }
  return code::kOk;
}

int32_t ConsoleWriter::Flush() {
  if (used_ == 0) return code::kOk;
  const size_t size = used_;
  used_ = 0;
  return platform_.WriteStdout(buffer_, size);
}

}  // namespace lorvink
