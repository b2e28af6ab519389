// Small text helpers shared by the SVG reader's parsers: the number grammar
// of SVG attributes, whitespace, base64 and percent decoding, and mapping a
// byte offset to a line for messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx::host::svg {

inline bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view trim(std::string_view s);
bool iequals(std::string_view a, std::string_view b);
std::string toLower(std::string_view s);

// Whitespace, then at most one comma and the whitespace after it.
void skipCommaSpace(std::string_view s, size_t& i);
void skipSpace(std::string_view s, size_t& i);

// One number at s[i]: sign, digits, fraction, exponent, as SVG writes them
// ("1e-3.5" is 1e-3 then .5). Advances i past it; false (i unchanged) when
// none starts there or it does not fit a double.
bool scanNumber(std::string_view s, size_t& i, double& value);

// The whole text as one number, surrounding whitespace allowed.
std::optional<double> parseNumber(std::string_view s);

// Numbers separated by whitespace and commas. Stops at the first thing that
// is not one; *stoppedAt (when given) is then its offset, else npos.
std::vector<double> parseNumberList(std::string_view s, size_t* stoppedAt = nullptr);

// Base64, standard or URL alphabet, padding optional, whitespace ignored.
std::optional<std::vector<unsigned char>> decodeBase64(std::string_view s);
// %XX escapes; nullopt for a broken one.
std::optional<std::string> decodePercent(std::string_view s);

// Line of a byte offset (1-based). Keeps a newline count every 64 KiB, so a
// lookup costs at most one block's scan whatever the file's size.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text);
  int lineOf(ptrdiff_t offset) const;

 private:
  static constexpr size_t kBlock = 64 * 1024;
  std::string_view text_;
  std::vector<uint32_t> linesBefore_;  // newlines before each block
};

// The text converted to UTF-8 for the XML parser when it is UTF-16 (with its
// byte order mark) or declares Latin-1; nullopt when it can be parsed as it
// is, or (*broken set) when the UTF-16 breaks off inside a character. Line
// breaks survive, so lines counted in the result are the file's.
std::optional<std::string> convertToUtf8(std::string_view bytes, bool* broken);

}  // namespace qx::host::svg
