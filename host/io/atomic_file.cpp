#include "host/io/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "host/io/temporary_files.h"

namespace qx::host {
namespace {

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A name no other writer in this or another process picks at the same time:
// the process id, a per-process counter and the clock. O_EXCL catches the rest.
std::string temporaryName(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  const auto ticks = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  return temporaryNameFor(target, static_cast<long>(getpid()), counter.fetch_add(1), ticks & 0xffffffULL);
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace

AtomicFile::~AtomicFile() { abandon(); }

bool AtomicFile::open(const std::string& targetPath, std::string* error) {
  abandon();
  error_.clear();
  target_ = targetPath;
  if (targetPath.empty() || targetPath.back() == '/') {
    error_ = "cannot write " + quoted(targetPath) + ": not a file name";
    if (error) *error = error_;
    return false;
  }
  // What a writer killed outright left for this target goes now.
  (void)removeStaleTemporaries(targetPath);
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp_ = temporaryName(targetPath);
    // Tracked before it exists: a signal between the file's creation and
    // its tracking would leave it behind. Unlinking a name not yet made
    // costs the handler nothing.
    slot_ = trackTemporary(temp_);
    // 0666 lets the process's umask decide, as for any new file.
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) break;
    const int err = errno;
    untrackTemporary(slot_);  // the name is another file's, or none was made
    slot_ = -1;
    errno = err;
    if (errno != EEXIST) break;
  }
  if (fd_ < 0) {
    const int err = errno;
    temp_.clear();
    error_ = "cannot create a temporary file in " + quoted(folderOf(targetPath)) + " for " + quoted(targetPath) + ": " +
             std::strerror(err);
    if (error) *error = error_;
    return false;
  }
  // Replacing a file keeps its permissions.
  struct stat existing;
  if (::stat(targetPath.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
    (void)::fchmod(fd_, existing.st_mode & 07777);
  return true;
}

void AtomicFile::fail(const char* what, int err) {
  if (!error_.empty()) return;  // the first failure is the one to report
  error_ = std::string("cannot ") + what + " " + quoted(target_) + ": " + std::strerror(err);
}

bool AtomicFile::write(const void* data, size_t size) {
  if (fd_ < 0) {
    if (error_.empty()) error_ = "cannot write " + quoted(target_) + ": the file is not open";
    return false;
  }
  if (!error_.empty()) return false;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd_, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("write", errno);
      return false;
    }
    if (n == 0) {  // no progress and no reason: treat as a full disk
      fail("write", ENOSPC);
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool AtomicFile::commit(std::string* error) {
  if (fd_ < 0 && error_.empty()) error_ = "cannot write " + quoted(target_) + ": the file is not open";
  if (error_.empty() && ::fsync(fd_) != 0) fail("flush", errno);
  if (fd_ >= 0) {
    if (::close(fd_) != 0) fail("close", errno);
    fd_ = -1;
  }
  if (error_.empty() && ::rename(temp_.c_str(), target_.c_str()) != 0) fail("replace", errno);
  if (!error_.empty()) {
    abandon();
    if (error) *error = error_;
    return false;
  }
  untrackTemporary(slot_);
  slot_ = -1;
  temp_.clear();
  // Make the rename itself durable; a folder that cannot be opened or synced
  // still holds the complete file, so this is not a failure.
  const int dir = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
  return true;
}

void AtomicFile::abandon() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
  untrackTemporary(slot_);
  slot_ = -1;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  AtomicFile file;
  if (!file.open(path, error)) return false;
  file.write(bytes);
  return file.commit(error);
}

}  // namespace qx::host
