// Files that are either written whole or not at all. The bytes go to a
// temporary file beside the target (same folder, so the rename cannot cross
// file systems), which is flushed to disk and then renamed over the target.
// Whatever fails on the way, the temporary file is removed and the target is
// left exactly as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qx::host {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();  // removes the temporary file unless commit() succeeded
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Create a uniquely named temporary file in the folder of `targetPath`.
  // False and a one-line reason ("cannot create ... : errno text") in *error.
  bool open(const std::string& targetPath, std::string* error);

  // Append bytes. False once any write has failed; the reason is kept and
  // reported by commit(). Writing to a file that is not open fails.
  bool write(const void* data, size_t size);
  bool write(std::string_view text) { return write(text.data(), text.size()); }

  // Flush to disk, close and rename over the target. False and the reason in
  // *error when this or any earlier step failed; the temporary file is then
  // gone and the target untouched.
  bool commit(std::string* error);

  // Drop everything written so far: the temporary file is removed.
  void abandon();

  bool isOpen() const { return fd_ >= 0; }
  bool failed() const { return !error_.empty(); }
  const std::string& temporaryPath() const { return temp_; }

 private:
  void fail(const char* what, int err);
  int fd_ = -1;
  std::string target_;
  std::string temp_;
  std::string error_;
};

// Write `bytes` to `path` atomically. False and a one-line reason in *error.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string* error);

// Remove the temporary files that the process `pid`, killed while writing,
// left beside `targetPath`; the target and other writers' files stay.
void removeAbandonedTemporaries(const std::string& targetPath, long pid);

}  // namespace qx::host
