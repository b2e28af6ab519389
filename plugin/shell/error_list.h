// The error list (string list 16050): pairs of a code entry and the message
// shown for that code, ending with the "<Others>" pair for every other code.
// The suites are passed in, so the lookup can run on any string source.
#pragma once

#include "qx_sdk.h"

constexpr int32_t kErrorList = 16050;
constexpr int kErrorTextSize = 256;

// The code a code entry stands for: a numeric entry (starting with '-' or a
// digit) read as a number, truncated and narrowed to 16 bits; any other entry
// by its first four characters, the first one most significant. `entry` (a
// text of fewer than 256 bytes) is consumed: it becomes length-prefixed.
QxErr ErrorEntryCode(const QxUserSuite* user, char* entry);

// Write the message for `code` into `message` (kErrorTextSize bytes): the one
// after its code entry, or the last one of the list when no entry names it.
// False when an entry cannot be read; nothing is to be shown then.
bool LookUpErrorMessage(const QxAdmBasicSuite* basic, const QxUserSuite* user, QxPluginRef plugin, QxErr code,
                        char* message);

// Write the text that names `code` into `codeText` (kErrorTextSize bytes):
// decimal when the code fits in 17 bits (-65536 to 65535), otherwise its four
// characters.
void WriteErrorCodeText(const QxUserSuite* user, QxErr code, char* codeText);
