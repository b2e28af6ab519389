// The in-place conversions between zero-terminated text and length-prefixed
// strings. The library exports PluginMain alone, so the routines are compiled
// into this test; a namespace keeps this copy apart from any other.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

namespace shell_strings {
#include "plugin/shell/pascal_strings.cpp"
}

namespace {

using shell_strings::ToLengthPrefixed;
using shell_strings::ToZeroTerminated;

// A buffer exactly as long as the text and its zero, so the sanitizer build
// catches a read past the end.
std::vector<char> textBuffer(const std::string& text) {
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back(0);
  return buffer;
}

TEST(LengthPrefixedStrings, RoundTripsAtEveryLengthUpTo255) {
  for (size_t length : {size_t(0), size_t(1), size_t(2), size_t(64), size_t(254), size_t(255)}) {
    SCOPED_TRACE(length);
    std::string text;
    for (size_t i = 0; i < length; ++i) text.push_back(static_cast<char>('a' + i % 26));
    std::vector<char> buffer = textBuffer(text);

    unsigned char* prefixed = ToLengthPrefixed(buffer.data());
    ASSERT_EQ(prefixed, reinterpret_cast<unsigned char*>(buffer.data())) << "converted in place";
    EXPECT_EQ(prefixed[0], length);
    EXPECT_EQ(std::string(buffer.data() + 1, length), text);

    char* back = ToZeroTerminated(prefixed);
    ASSERT_EQ(back, buffer.data());
    EXPECT_EQ(std::string(back), text);
  }
}

TEST(LengthPrefixedStrings, TextsOf256BytesOrMoreAreLeftAlone) {
  for (size_t length : {size_t(256), size_t(300)}) {
    const std::vector<char> original = textBuffer(std::string(length, 'x'));
    std::vector<char> buffer = original;
    EXPECT_EQ(ToLengthPrefixed(buffer.data()), nullptr) << length;
    EXPECT_EQ(buffer, original) << "nothing changes";
  }
}

TEST(LengthPrefixedStrings, ConversionStopsAtTheFirstZero) {
  char buffer[16] = "Torvik";
  std::memcpy(buffer + 7, "stale", 6);
  unsigned char* prefixed = ToLengthPrefixed(buffer);
  ASSERT_NE(prefixed, nullptr);
  EXPECT_EQ(prefixed[0], 6);
  EXPECT_EQ(std::string(buffer + 7), "stale") << "bytes after the text are not touched";

  unsigned char empty[1] = {0};
  EXPECT_STREQ(ToZeroTerminated(empty), "");
  // Characters above 127 count as bytes, not as signed lengths.
  unsigned char high[4] = {2, 0xE9, 0xFF, '?'};
  EXPECT_EQ(std::string(ToZeroTerminated(high)), "\xE9\xFF");
}

}  // namespace
