#include "host/cli/escaped_errors.h"

#include <iostream>

namespace qx::cli {
namespace {

bool isControl(unsigned char c) { return (c < 0x20 && c != '\n' && c != '\t') || c == 0x7f; }

}  // namespace

ControlEscapingBuffer::int_type ControlEscapingBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
}

std::streamsize ControlEscapingBuffer::xsputn(const char* s, std::streamsize n) {
  static const char kHex[] = "0123456789abcdef";
  std::streamsize start = 0;
  for (std::streamsize i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (!isControl(c)) continue;
    if (i > start && target_->sputn(s + start, i - start) != i - start) return start;
    const char escaped[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
    if (target_->sputn(escaped, 4) != 4) return i;
    start = i + 1;
  }
  if (n > start && target_->sputn(s + start, n - start) != n - start) return start;
  return n;
}

void escapeControlBytesOnStandardError() {
  // Never destroyed: std::cerr is flushed after static objects are gone.
  static ControlEscapingBuffer* const buffer = new ControlEscapingBuffer(std::cerr.rdbuf());
  std::cerr.rdbuf(buffer);
}

}  // namespace qx::cli
