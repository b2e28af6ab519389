#include "pascal_strings.h"

#include <cstddef>
#include <cstring>

unsigned char* ToLengthPrefixed(char* buffer) {
  // Count byte by byte and stop at 256: the buffer may end right after its
  // terminating zero, and a longer text cannot be counted in one byte anyway.
  size_t length = 0;
  while (length < 256 && buffer[length] != 0) ++length;
  if (length == 256) return nullptr;
  std::memmove(buffer + 1, buffer, length);
  unsigned char* text = reinterpret_cast<unsigned char*>(buffer);
  text[0] = static_cast<unsigned char>(length);
  return text;
}

char* ToZeroTerminated(unsigned char* buffer) {
  const size_t length = buffer[0];
  std::memmove(buffer, buffer + 1, length);
  buffer[length] = 0;
  return reinterpret_cast<char*>(buffer);
}
