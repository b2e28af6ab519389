// The random log of a run, written atomically: every draw and undo the
// random source reports is buffered and written to a temporary file that
// commit() moves into place. A log never committed (a failed or cancelled
// run) is removed, never left half-written.
#pragma once

#include <string>
#include <string_view>

#include "host/document/random_source.h"
#include "host/io/atomic_file.h"

namespace qx::host {

class RandomLogFile {
 public:
  RandomLogFile() = default;
  ~RandomLogFile();  // detaches from the source; the file goes unless committed
  RandomLogFile(const RandomLogFile&) = delete;
  RandomLogFile& operator=(const RandomLogFile&) = delete;

  // Create the temporary file for `path` and log `source`'s draws into it.
  // False and a one-line reason when the file cannot be created.
  bool open(const std::string& path, RandomSource& source, std::string* error);
  // Stop logging, write what is buffered and move the log into place. False
  // and a reason when any write failed (the temporary file is then gone).
  bool commit(std::string* error);

 private:
  void add(std::string_view line);
  void flush();

  RandomSource* source_ = nullptr;
  AtomicFile file_;
  std::string buffer_;
};

}  // namespace qx::host
