// Error output that cannot drive the terminal: a value from the command line
// or a script may hold control bytes (an escape sequence can clear the
// screen), so every control byte but line feed and tab reaches standard
// error as \xNN.
#pragma once

#include <streambuf>

namespace qx::cli {

class ControlEscapingBuffer final : public std::streambuf {
 public:
  explicit ControlEscapingBuffer(std::streambuf* target) : target_(target) {}

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override { return target_->pubsync(); }

 private:
  std::streambuf* target_;
};

// Put std::cerr behind a ControlEscapingBuffer for the program's life.
void escapeControlBytesOnStandardError();

}  // namespace qx::cli
