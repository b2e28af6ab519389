#include "error_list.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "pascal_strings.h"

namespace {

// Real to integer the way the processor's truncating conversion does it: a
// value outside the 32-bit range (or not a number) gives the "indefinite"
// integer instead of undefined behaviour.
int32_t TruncateToInt32(QxReal value) {
  const double truncated = std::trunc(static_cast<double>(value));
  if (!(truncated >= -2147483648.0 && truncated <= 2147483647.0)) return INT32_MIN;
  return static_cast<int32_t>(truncated);
}

bool IsNumericEntry(const char* entry) { return entry[0] == '-' || (entry[0] >= '0' && entry[0] <= '9'); }

// Read an entry into a cleared buffer, so that short four-character codes
// are padded with zero bytes.
QxErr ReadErrorEntry(const QxAdmBasicSuite* basic, QxPluginRef plugin, int32_t index, char* buffer,
                     int32_t sizePassed) {
  std::memset(buffer, 0, kErrorTextSize);
  return basic->GetIndexString(plugin, kErrorList, index, buffer, sizePassed);
}

}  // namespace

QxErr ErrorEntryCode(const QxUserSuite* user, char* entry) {
  const bool numeric = IsNumericEntry(entry);
  unsigned char* text = ToLengthPrefixed(entry);
  if (text == nullptr) return 0;  // too long to be an entry; 0 is never reported
  if (numeric) {
    QxReal value = 0;
    user->TextToReal(text, &value);
    // Entries are 16-bit numbers: 65535 in the list stands for -1.
    return static_cast<int16_t>(TruncateToInt32(value));
  }
  return QX_FOURCC(text[1], text[2], text[3], text[4]);
}

bool LookUpErrorMessage(const QxAdmBasicSuite* basic, const QxUserSuite* user, QxPluginRef plugin, QxErr code,
                        char* message) {
  char entry[kErrorTextSize];
  int32_t index = 1;
  bool found = false;
  for (;;) {
    // An entry that cannot be read leaves nothing trustworthy to show.
    if (ReadErrorEntry(basic, plugin, index, entry, kErrorTextSize - 1) != 0) return false;
    if (entry[0] == 0) break;
    if (ErrorEntryCode(user, entry) == code) {
      found = true;
      break;
    }
    index += 2;
  }
  // Not found: index is the first empty entry, and the message before it is
  // the one of the "<Others>" pair that closes the list. A list without a
  // single pair has only its placeholder there, which is no message.
  if (!found && index == 1) return false;
  const int32_t messageIndex = found ? index + 1 : index - 1;
  message[0] = 0;
  return basic->GetIndexString(plugin, kErrorList, messageIndex, message, kErrorTextSize) == 0;
}

void WriteErrorCodeText(const QxUserSuite* user, QxErr code, char* codeText) {
  const uint32_t upper = static_cast<uint32_t>(code) >> 16;
  if (upper == 0 || upper == 0xFFFF) {
    unsigned char* text = reinterpret_cast<unsigned char*>(codeText);
    text[0] = 0;  // a failed conversion leaves an empty text
    user->RealToText(static_cast<QxReal>(code), 0, text);
    ToZeroTerminated(text);
    return;
  }
  const uint32_t bits = static_cast<uint32_t>(code);
  codeText[0] = static_cast<char>(bits >> 24);
  codeText[1] = static_cast<char>(bits >> 16);
  codeText[2] = static_cast<char>(bits >> 8);
  codeText[3] = static_cast<char>(bits);
  codeText[4] = 0;
}
