// The writers' output: a fixed buffer that is handed on in large chunks,
// either to a string (for tests and small documents), to an AtomicFile (so
// a document of millions of objects never has to sit in memory as text), to
// a stream (standard output), or only counted (to measure a writer, or the
// size of its output).
// Numbers are written with the shortest text that reads back to the same
// value, straight into the buffer.
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace qx::host {

class AtomicFile;

class TextSink {
 public:
  TextSink();                            // counts the bytes and drops them
  explicit TextSink(std::string& out);   // appends to `out`
  explicit TextSink(AtomicFile& file);   // writes to the open file
  explicit TextSink(std::ostream& out);  // writes to the stream; fails once the stream does
  ~TextSink();                           // flushes what is left
  TextSink(const TextSink&) = delete;
  TextSink& operator=(const TextSink&) = delete;

  void put(char c) {
    if (pos_ == kCapacity) flush();
    buf_[pos_++] = c;
  }
  void append(std::string_view text) {
    if (text.size() > kCapacity - pos_) {
      flush();
      if (text.size() > kCapacity) {
        deliver(text.data(), text.size());
        return;
      }
    }
    std::memcpy(buf_.get() + pos_, text.data(), text.size());
    pos_ += text.size();
  }

  // Shortest round-trip text of a float or double ("0.1", "1e-07", "-3").
  // Callers decide what a non-finite value becomes; here it is written as
  // the library spells it ("inf", "nan").
  void number(float v) {
    room(kNumberRoom);
    char* at = buf_.get() + pos_;
    // Whole numbers are most of a drawing's coordinates. Below 100000 the
    // library writes them as plain integers too, so they can skip its
    // shortest-digit search; -0 keeps its sign through the library.
    if (v > -100000.0f && v < 100000.0f) {
      const auto whole = static_cast<int32_t>(v);
      if (static_cast<float>(whole) == v && (whole != 0 || !std::signbit(v))) {
        pos_ = static_cast<size_t>(std::to_chars(at, buf_.get() + kCapacity, whole).ptr - buf_.get());
        return;
      }
    }
    pos_ = static_cast<size_t>(std::to_chars(at, buf_.get() + kCapacity, v).ptr - buf_.get());
  }
  void number(double v) {
    room(kNumberRoom);
    pos_ = static_cast<size_t>(std::to_chars(buf_.get() + pos_, buf_.get() + kCapacity, v).ptr - buf_.get());
  }
  void integer(long long v) {
    room(kNumberRoom);
    pos_ = static_cast<size_t>(std::to_chars(buf_.get() + pos_, buf_.get() + kCapacity, v).ptr - buf_.get());
  }
  void integer(unsigned long long v) {
    room(kNumberRoom);
    pos_ = static_cast<size_t>(std::to_chars(buf_.get() + pos_, buf_.get() + kCapacity, v).ptr - buf_.get());
  }

  // Hand the buffer on. False once delivery has failed (the file's write
  // failed); the reason is then the file's.
  bool flush();
  bool failed() const { return failed_; }
  // Bytes handed over or waiting so far.
  uint64_t size() const { return delivered_ + pos_; }

 private:
  static constexpr size_t kCapacity = size_t{1} << 18;
  static constexpr size_t kNumberRoom = 32;  // longest double text is 24 characters
  void room(size_t n) {
    if (kCapacity - pos_ < n) flush();
  }
  void deliver(const char* data, size_t size);

  std::unique_ptr<char[]> buf_;
  size_t pos_ = 0;
  uint64_t delivered_ = 0;
  std::string* string_ = nullptr;
  AtomicFile* file_ = nullptr;
  std::ostream* stream_ = nullptr;
  bool failed_ = false;
};

// What `write` puts into a sink, as text, or saved atomically as the file at
// `path` (false and a reason in *error when the file cannot be written).
std::string writeToString(const std::function<void(TextSink&)>& write);
bool writeToFile(const std::string& path, std::string* error, const std::function<void(TextSink&)>& write);

}  // namespace qx::host
