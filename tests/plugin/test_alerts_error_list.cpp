// The search of the error list against lists the shipped resources do not
// hold: numeric entries narrowed to 16 bits, lists cut short, reads that
// fail. The routines take their suites as arguments, so a fake host serves
// the list here; they are compiled into this test, inside a namespace.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "qx_sdk.h"

// The headers come in with the sources, so that every name of the copy lives
// in the namespace.
namespace shell_errors {
#include "plugin/shell/pascal_strings.cpp"
#include "plugin/shell/error_list.cpp"
}

namespace {

using shell_errors::kErrorList;
using shell_errors::kErrorTextSize;

// The fake host: list 16050 as the test sets it, number/text conversions as
// the real host's, and a read that fails on request.
std::vector<std::string> gList;
int gFailingRead = -1;  // index whose read fails
int gReads = 0;

QxErr FakeGetIndexString(QxPluginRef, int32_t listId, int32_t index, char* buffer, int32_t size) {
  ++gReads;
  if (listId != kErrorList || index == gFailingRead) return QX_ERR_BAD_PARAM;
  const std::string text = index >= 0 && index < static_cast<int32_t>(gList.size()) ? gList[index] : "";
  const size_t n = std::min(text.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
  return 0;
}

QxErr FakeMessageAlert(const char*) { return 0; }

QxErr FakeTextToReal(const unsigned char* text, QxReal* value) {
  const std::string s(reinterpret_cast<const char*>(text + 1), text[0]);
  *value = static_cast<QxReal>(std::strtod(s.c_str(), nullptr));
  return 0;
}

QxErr FakeRealToText(QxReal value, int16_t precision, unsigned char* text) {
  const int n = std::snprintf(reinterpret_cast<char*>(text + 1), 255, "%.*f", precision, static_cast<double>(value));
  text[0] = static_cast<unsigned char>(n);
  return 0;
}

const QxAdmBasicSuite kBasic = {FakeGetIndexString, FakeMessageAlert};
const QxUserSuite kUser = {FakeRealToText, FakeTextToReal};

class ErrorList : public ::testing::Test {
 protected:
  void SetUp() override {
    gList = {"<placeholder>", "-108", "memory", "65535", "minus one", "ABCD", "letters", "<Others>", "unknown"};
    gFailingRead = -1;
    gReads = 0;
  }
  // The message for `code`, or "<nothing>" when none is to be shown.
  static std::string messageFor(QxErr code) {
    char message[kErrorTextSize];
    std::memset(message, '#', sizeof message);
    if (!shell_errors::LookUpErrorMessage(&kBasic, &kUser, nullptr, code, message)) return "<nothing>";
    return message;
  }
  static std::string codeText(QxErr code) {
    char text[kErrorTextSize];
    shell_errors::WriteErrorCodeText(&kUser, code, text);
    return text;
  }
};

TEST_F(ErrorList, NumericEntriesAreComparedAs16BitNumbers) {
  EXPECT_EQ(messageFor(-1), "minus one") << "65535 stands for -1";
  EXPECT_EQ(messageFor(65535), "unknown") << "and not for itself";
  EXPECT_EQ(messageFor(-108), "memory");
  // Fractions are truncated toward zero, and 16 bits wrap.
  gList[1] = "-108.9";
  gList[3] = "65536";
  EXPECT_EQ(messageFor(-108), "memory");
  EXPECT_EQ(messageFor(0), "minus one") << "65536 wraps to 0";
  gList[3] = "1e30";  // far beyond 32 bits: no wrap-around into a real code
  EXPECT_EQ(messageFor(-1), "unknown");
  EXPECT_EQ(messageFor(0), "minus one");
}

TEST_F(ErrorList, FourCharacterEntriesUseTheirFirstFourCharacters) {
  EXPECT_EQ(messageFor(QX_FOURCC('A', 'B', 'C', 'D')), "letters");
  gList[5] = "ABCDEF";
  EXPECT_EQ(messageFor(QX_FOURCC('A', 'B', 'C', 'D')), "letters");
  gList[5] = "AB";  // short entries are filled with zero bytes
  EXPECT_EQ(messageFor(QX_FOURCC('A', 'B', 0, 0)), "letters");
  EXPECT_EQ(messageFor(QX_FOURCC('A', 'B', 'C', 'D')), "unknown");
}

TEST_F(ErrorList, AnUnnamedCodeTakesTheLastMessageBeforeTheEnd) {
  EXPECT_EQ(messageFor(42), "unknown");
  // The search reads code entries 1, 3, 5, 7 and the empty 9, then message 8.
  EXPECT_EQ(gReads, 6);
  gList.resize(7);  // a list without its "<Others>" pair
  EXPECT_EQ(messageFor(42), "letters");
}

TEST_F(ErrorList, FailedOrEmptyReadsShowNothing) {
  gFailingRead = 2;  // the message of -108
  EXPECT_EQ(messageFor(-108), "<nothing>");
  gFailingRead = 5;  // a code entry on the way
  EXPECT_EQ(messageFor(42), "<nothing>");
  gFailingRead = -1;
  gList.resize(1);  // only the placeholder: no message at all
  EXPECT_EQ(messageFor(42), "<nothing>");
}

TEST_F(ErrorList, CodeTextIsDecimalWithin17BitsOtherwiseFourCharacters) {
  EXPECT_EQ(codeText(-108), "-108");
  EXPECT_EQ(codeText(65535), "65535");
  EXPECT_EQ(codeText(-65536), "-65536");
  EXPECT_EQ(codeText(65536), "") << "its first character is a zero byte";
  EXPECT_EQ(codeText(-65537), "\xFF\xFE\xFF\xFF");
  EXPECT_EQ(codeText(QX_ERR_NO_SELECTION), "!sel");
}

}  // namespace
