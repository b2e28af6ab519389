#include "host/io/svg_read/svg_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace qx::host::svg {

std::string_view trim(std::string_view s) {
  while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
  return s;
}

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

std::string toLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lower(c);
  return out;
}

void skipSpace(std::string_view s, size_t& i) {
  while (i < s.size() && isSpace(s[i])) ++i;
}

void skipCommaSpace(std::string_view s, size_t& i) {
  skipSpace(s, i);
  if (i < s.size() && s[i] == ',') {
    ++i;
    skipSpace(s, i);
  }
}

bool scanNumber(std::string_view s, size_t& i, double& value) {
  size_t j = i;
  bool negative = false;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) negative = s[j++] == '-';
  const size_t mantissa = j;
  size_t digits = 0;
  while (j < s.size() && isDigit(s[j])) ++j, ++digits;
  if (j < s.size() && s[j] == '.') {
    size_t k = j + 1;
    size_t fraction = 0;
    while (k < s.size() && isDigit(s[k])) ++k, ++fraction;
    // "5." is a number; a lone "." is not.
    if (digits + fraction > 0) j = k, digits += fraction;
  }
  if (digits == 0) return false;
  bool negativeExponent = false;
  // The exponent has no fraction, and "e" without digits belongs to what follows.
  if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
    size_t k = j + 1;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) negativeExponent = s[k++] == '-';
    if (k < s.size() && isDigit(s[k])) {
      while (k < s.size() && isDigit(s[k])) ++k;
      j = k;
    } else {
      negativeExponent = false;
    }
  }
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data() + mantissa, s.data() + j, v, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    if (!negativeExponent) return false;  // too large for a double
    v = 0;                                // too small: it is zero for drawing
  } else if (ec != std::errc() || end != s.data() + j) {
    return false;
  }
  value = negative ? -v : v;
  i = j;
  return true;
}

std::optional<double> parseNumber(std::string_view s) {
  s = trim(s);
  size_t i = 0;
  double v = 0;
  if (!scanNumber(s, i, v) || i != s.size()) return std::nullopt;
  return v;
}

std::vector<double> parseNumberList(std::string_view s, size_t* stoppedAt) {
  std::vector<double> out;
  size_t i = 0;
  skipSpace(s, i);
  while (i < s.size()) {
    double v = 0;
    if (!scanNumber(s, i, v)) {
      if (stoppedAt) *stoppedAt = i;
      return out;
    }
    out.push_back(v);
    skipCommaSpace(s, i);
  }
  if (stoppedAt) *stoppedAt = std::string_view::npos;
  return out;
}

namespace {

int base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+' || c == '-') return 62;
  if (c == '/' || c == '_') return 63;
  return -1;
}

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  c = lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::optional<std::string> fromUtf16(std::string_view b, bool bigEndian) {
  if (b.size() % 2 != 0) return std::nullopt;
  std::string out;
  out.reserve(b.size() / 2);
  const auto unit = [&](size_t i) {
    const auto hi = static_cast<unsigned char>(b[bigEndian ? i : i + 1]);
    const auto lo = static_cast<unsigned char>(b[bigEndian ? i + 1 : i]);
    return static_cast<uint32_t>(hi << 8 | lo);
  };
  for (size_t i = 2; i < b.size(); i += 2) {  // past the byte order mark
    uint32_t cp = unit(i);
    if (cp >= 0xD800 && cp < 0xDC00) {
      if (i + 2 >= b.size()) return std::nullopt;
      const uint32_t low = unit(i + 2);
      if (low < 0xDC00 || low >= 0xE000) return std::nullopt;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    } else if (cp >= 0xDC00 && cp < 0xE000) {
      return std::nullopt;
    }
    appendUtf8(out, cp);
  }
  return out;
}

// Whether the XML declaration names Latin-1 (Illustrator wrote that for years).
bool declaresLatin1(std::string_view b) {
  if (b.substr(0, 5) != "<?xml") return false;
  const size_t end = b.find("?>");
  const std::string decl = toLower(b.substr(0, end == std::string_view::npos ? 200 : end));
  return decl.find("iso-8859-1") != std::string::npos || decl.find("latin1") != std::string::npos ||
         decl.find("windows-1252") != std::string::npos;
}

}  // namespace

std::optional<std::vector<unsigned char>> decodeBase64(std::string_view s) {
  std::vector<unsigned char> out;
  out.reserve(s.size() / 4 * 3 + 3);
  uint32_t acc = 0;
  int bits = 0;
  bool padding = false;
  for (char c : s) {
    if (isSpace(c)) continue;
    if (c == '=') {
      padding = true;
      continue;
    }
    const int v = base64Value(c);
    if (v < 0 || padding) return std::nullopt;  // junk, or data after the padding
    acc = (acc << 6) | static_cast<uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<unsigned char>((acc >> bits) & 0xFF));
    }
  }
  if (bits >= 6) return std::nullopt;  // a single stray character cannot be a byte
  return out;
}

std::optional<std::string> decodePercent(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += s[i];
      continue;
    }
    if (i + 2 >= s.size()) return std::nullopt;
    const int hi = hexValue(s[i + 1]), lo = hexValue(s[i + 2]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return out;
}

LineIndex::LineIndex(std::string_view text) : text_(text) {
  uint32_t lines = 0;
  for (size_t at = 0; at < text.size(); at += kBlock) {
    linesBefore_.push_back(lines);
    const size_t end = std::min(text.size(), at + kBlock);
    lines += static_cast<uint32_t>(std::count(text.begin() + static_cast<ptrdiff_t>(at),
                                              text.begin() + static_cast<ptrdiff_t>(end), '\n'));
  }
}

int LineIndex::lineOf(ptrdiff_t offset) const {
  if (offset < 0 || text_.empty()) return 1;
  // The end of the text is a place too: an error there is on the last line.
  const size_t at = std::min(static_cast<size_t>(offset), text_.size());
  const size_t block = std::min(at / kBlock, linesBefore_.size() - 1);
  const auto begin = text_.begin() + static_cast<ptrdiff_t>(block * kBlock);
  const auto n = std::count(begin, text_.begin() + static_cast<ptrdiff_t>(at), '\n');
  return static_cast<int>(linesBefore_[block] + static_cast<uint32_t>(n) + 1);
}

std::optional<std::string> convertToUtf8(std::string_view b, bool* broken) {
  *broken = false;
  const bool big = b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFE &&
                   static_cast<unsigned char>(b[1]) == 0xFF;
  const bool little = b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFF &&
                      static_cast<unsigned char>(b[1]) == 0xFE;
  if (big || little) {
    auto out = fromUtf16(b, big);
    if (!out) *broken = true;
    return out;
  }
  if (declaresLatin1(b)) {
    std::string out;
    out.reserve(b.size() + b.size() / 8);
    for (char c : b) appendUtf8(out, static_cast<unsigned char>(c));
    return out;
  }
  return std::nullopt;
}

}  // namespace qx::host::svg
