// In-place conversions between zero-terminated text and length-prefixed
// strings (a length byte, then that many characters, no terminating zero),
// the form the host's filter registration and number/text operations take.
#pragma once

// Turn the zero-terminated text in `buffer` into a length-prefixed string in
// the same bytes. Answers the buffer, or nullptr (buffer unchanged) when the
// text holds 256 bytes or more.
unsigned char* ToLengthPrefixed(char* buffer);

// Turn the length-prefixed string in `buffer` into zero-terminated text in the
// same bytes (it needs no more room). Answers the buffer.
char* ToZeroTerminated(unsigned char* buffer);
