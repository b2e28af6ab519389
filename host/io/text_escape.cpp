#include "host/io/text_escape.h"

#include <cstdint>

namespace qx::host {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the valid UTF-8 sequence that starts at text[i] (2 to 4), or 0
// when the bytes there do not form one. ASCII is handled by the callers.
size_t validSequence(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  const uint8_t b0 = byte(i);
  size_t len;
  uint8_t lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    if (b0 == 0xE0) lo = 0xA0;  // overlong
    if (b0 == 0xED) hi = 0x9F;  // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    if (b0 == 0xF0) lo = 0x90;  // overlong
    if (b0 == 0xF4) hi = 0x8F;  // past U+10FFFF
  } else {
    return 0;
  }
  if (i + len > text.size()) return 0;
  if (byte(i + 1) < lo || byte(i + 1) > hi) return 0;
  for (size_t k = 2; k < len; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  return len;
}

// Writes the non-ASCII sequence at text[i] (or U+FFFD) and answers how many
// bytes it used.
size_t writeNonAscii(TextSink& out, std::string_view text, size_t i) {
  const size_t len = validSequence(text, i);
  if (len == 0) {
    out.append(kReplacement);
    return 1;
  }
  out.append(text.substr(i, len));
  return len;
}

// Walks `text`: valid UTF-8 sequences are written as they are (bad ones as
// U+FFFD), and each ASCII byte goes to `ascii`.
template <class Ascii>
void writeEscaped(TextSink& out, std::string_view text, Ascii ascii) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<uint8_t>(text[i]);
    if (c >= 0x80) {
      i += writeNonAscii(out, text, i);
    } else {
      ascii(c);
      ++i;
    }
  }
}

}  // namespace

void writeJsonString(TextSink& out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  out.put('"');
  writeEscaped(out, text, [&](uint8_t c) {
    switch (c) {
      case '"': out.append("\\\""); break;
      case '\\': out.append("\\\\"); break;
      case '\b': out.append("\\b"); break;
      case '\f': out.append("\\f"); break;
      case '\n': out.append("\\n"); break;
      case '\r': out.append("\\r"); break;
      case '\t': out.append("\\t"); break;
      default:
        if (c < 0x20) {
          const char escape[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
          out.append(std::string_view(escape, 6));
        } else {
          out.put(static_cast<char>(c));
        }
    }
  });
  out.put('"');
}

void writeXmlAttribute(TextSink& out, std::string_view text) {
  writeEscaped(out, text, [&](uint8_t c) {
    switch (c) {
      case '&': out.append("&amp;"); break;
      case '<': out.append("&lt;"); break;
      case '>': out.append("&gt;"); break;
      case '"': out.append("&quot;"); break;
      case '\t': out.append("&#9;"); break;
      case '\n': out.append("&#10;"); break;
      case '\r': out.append("&#13;"); break;
      default:
        if (c >= 0x20 && c != 0x7f) out.put(static_cast<char>(c));
    }
  });
}

}  // namespace qx::host
