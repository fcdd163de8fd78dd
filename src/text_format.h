// Formatting into fixed buffers: the tool's console text never touches the
// heap, so the out-of-memory report can be built after the heap gave out.
#ifndef LORVINK_TEXT_FORMAT_H_
#define LORVINK_TEXT_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace lorvink {

// Text built up in a buffer of fixed capacity. What does not fit is cut off;
// the text is never longer than the capacity.
class FixedText {
 public:
  FixedText(char* buffer, size_t capacity) : data_(buffer), capacity_(capacity) {}

  void Append(std::string_view text);
  void AppendChar(char c);
  void AppendDecimal(int32_t value);      // signed, no padding
  void AppendHex8(uint32_t value);        // eight uppercase digits
  [[nodiscard]] std::string_view view() const { return std::string_view(data_, size_); }

 private:
  char* data_;
  size_t capacity_;
  size_t size_ = 0;
};

template <size_t N>
class FixedBuffer : public FixedText {
 public:
  FixedBuffer() : FixedText(storage_, N) {}
  FixedBuffer(const FixedBuffer&) = delete;
  FixedBuffer& operator=(const FixedBuffer&) = delete;

 private:
  char storage_[N];
};

// One value for a format directive: %s takes text, %d a signed decimal,
// %p an address shown as eight uppercase hexadecimal digits.
struct FormatArg {
  enum class Type : uint8_t { kText, kDecimal, kAddress };
  // Implicit, so a call reads like printf's.
  FormatArg(std::string_view s) : type(Type::kText), text(s) {}  // NOLINT(google-explicit-constructor)
  FormatArg(const char* s) : type(Type::kText), text(s) {}       // NOLINT(google-explicit-constructor)
  FormatArg(int32_t value) : type(Type::kDecimal), number(static_cast<uint32_t>(value)) {}  // NOLINT(google-explicit-constructor)
  static FormatArg Address(uint32_t value) {
    FormatArg arg{std::string_view()};
    arg.type = Type::kAddress;
    arg.number = value;
    return arg;
  }

  Type type;
  std::string_view text;
  uint32_t number = 0;
};

// Fills |format| with |args| in order, appending to |out|. "%%" is a '%'. A
// directive with no argument left, or whose argument has another type,
// yields nothing; an unknown directive is copied as it stands.
void FormatInto(FixedText& out, std::string_view format, std::initializer_list<FormatArg> args);

}  // namespace lorvink

#endif  // LORVINK_TEXT_FORMAT_H_
