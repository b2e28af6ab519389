#include "host/io/text_sink.h"

#include <ostream>

#include "host/io/atomic_file.h"

namespace qx::host {

TextSink::TextSink() : buf_(new char[kCapacity]) {}
TextSink::TextSink(std::string& out) : buf_(new char[kCapacity]), string_(&out) {}
TextSink::TextSink(AtomicFile& file) : buf_(new char[kCapacity]), file_(&file) {}
TextSink::TextSink(std::ostream& out) : buf_(new char[kCapacity]), stream_(&out) {}
TextSink::~TextSink() { flush(); }

void TextSink::deliver(const char* data, size_t size) {
  delivered_ += size;
  if (failed_) return;  // a failed file takes nothing more
  if (string_) {
    string_->append(data, size);
  } else if (file_ && !file_->write(data, size)) {
    failed_ = true;
  } else if (stream_ && !stream_->write(data, static_cast<std::streamsize>(size))) {
    failed_ = true;
  }
}

bool TextSink::flush() {
  if (pos_ > 0) {
    deliver(buf_.get(), pos_);
    pos_ = 0;
  }
  return !failed_;
}

std::string writeToString(const std::function<void(TextSink&)>& write) {
  std::string text;
  {
    TextSink sink(text);
    write(sink);
  }
  return text;
}

bool writeToFile(const std::string& path, std::string* error, const std::function<void(TextSink&)>& write) {
  AtomicFile file;
  if (!file.open(path, error)) return false;
  {
    TextSink sink(file);
    write(sink);
    sink.flush();
  }
  return file.commit(error);
}

}  // namespace qx::host
