#include "host/session/random_log.h"

namespace qx::host {
namespace {
// Draws come a few million a run; write them in large pieces.
constexpr size_t kBufferBytes = size_t{1} << 16;
}  // namespace

RandomLogFile::~RandomLogFile() {
  if (source_) source_->setLog(nullptr);
}

bool RandomLogFile::open(const std::string& path, RandomSource& source, std::string* error) {
  std::string why;
  if (!file_.open(path, &why)) {
    *error = why;
    return false;
  }
  source_ = &source;
  buffer_.reserve(kBufferBytes);
  source.setLog([this](std::string_view line) { add(line); });
  return true;
}

void RandomLogFile::add(std::string_view line) {
  buffer_ += line;
  if (buffer_.size() >= kBufferBytes) flush();
}

void RandomLogFile::flush() {
  if (!buffer_.empty()) file_.write(buffer_);
  buffer_.clear();
}

bool RandomLogFile::commit(std::string* error) {
  if (source_) source_->setLog(nullptr);
  source_ = nullptr;
  if (!file_.isOpen()) return true;
  flush();
  return file_.commit(error);
}

}  // namespace qx::host
