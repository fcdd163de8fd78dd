#include "text_format.h"

namespace lorvink {

void FixedText::Append(std::string_view text) {
  const size_t room = capacity_ - size_;
  const size_t n = text.size() < room ? text.size() : room;
  for (size_t i = 0; i < n; ++i) data_[size_ + i] = text[i];
  size_ += n;
}

void FixedText::AppendChar(char c) { Append(std::string_view(&c, 1)); }

void FixedText::AppendDecimal(int32_t value) {
  char digits[11];
  size_t n = 0;
  // Work on the magnitude as unsigned so INT32_MIN needs no special case.
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) AppendChar('-');
  while (n > 0) AppendChar(digits[--n]);
}

void FixedText::AppendHex8(uint32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = 28; shift >= 0; shift -= 4) AppendChar(kDigits[(value >> shift) & 0xF]);
}

void FormatInto(FixedText& out, std::string_view format, std::initializer_list<FormatArg> args) {
  const FormatArg* next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      out.AppendChar(format[i]);
      continue;
    }
    const char directive = format[++i];
    FormatArg::Type wanted;
    switch (directive) {
      case 's': wanted = FormatArg::Type::kText; break;
      case 'd': wanted = FormatArg::Type::kDecimal; break;
      case 'p': wanted = FormatArg::Type::kAddress; break;
      case '%': out.AppendChar('%'); continue;
      default:
        out.AppendChar('%');
        out.AppendChar(directive);
        continue;
    }
    if (next == args.end()) continue;
    const FormatArg& arg = *next++;
    if (arg.type != wanted) continue;
    switch (arg.type) {
      case FormatArg::Type::kText: out.Append(arg.text); break;
      case FormatArg::Type::kDecimal: out.AppendDecimal(static_cast<int32_t>(arg.number)); break;
      case FormatArg::Type::kAddress: out.AppendHex8(arg.number); break;
    }
  }
}

}  // namespace lorvink
