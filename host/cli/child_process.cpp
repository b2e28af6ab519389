#include "host/cli/child_process.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace qx::cli {

ChildProcess::~ChildProcess() {
  kill();
  if (fd_ >= 0) ::close(fd_);
}

bool ChildProcess::start(const std::vector<std::string>& args, std::string* error) {
  int pipeFds[2];
  // Close-on-exec, so no other child holds this one's pipe open.
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    *error = std::string("cannot make a pipe: ") + std::strerror(errno);
    return false;
  }
  std::vector<std::string> copies;
  copies.reserve(args.size() + 1);
  copies.emplace_back("quelvix");
  copies.insert(copies.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid < 0) {
    *error = std::string("cannot start a process: ") + std::strerror(errno);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return false;
  }
  if (pid == 0) {
    // Only async-signal-safe calls from here to exec.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);  // the parent is gone already
    const int nothing = ::open("/dev/null", O_RDONLY);
    if (nothing >= 0) ::dup2(nothing, 0);
    ::dup2(pipeFds[1], 1);
    ::dup2(pipeFds[1], 2);
    ::execv("/proc/self/exe", argv.data());
    static const char kFailed[] = "quelvix: cannot start the program again (/proc/self/exe)\n";
    (void)!::write(2, kFailed, sizeof kFailed - 1);
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  pid_ = pid;
  fd_ = pipeFds[0];
  return true;
}

bool ChildProcess::read() {
  if (fd_ < 0) return false;
  char buffer[4096];
  const ssize_t n = ::read(fd_, buffer, sizeof buffer);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
  if (n <= 0) {
    if (!partial_.empty()) lines_.push_back(std::move(partial_));
    partial_.clear();
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  partial_.append(buffer, static_cast<size_t>(n));
  for (size_t end = partial_.find('\n'); end != std::string::npos; end = partial_.find('\n')) {
    lines_.push_back(partial_.substr(0, end));
    partial_.erase(0, end + 1);
  }
  return true;
}

int ChildProcess::finish(int* signal) {
  *signal = 0;
  if (pid_ < 0) return -1;
  int status = 0;
  pid_t got;
  do got = ::waitpid(pid_, &status, 0);
  while (got < 0 && errno == EINTR);
  pid_ = -1;
  if (got < 0) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) *signal = WTERMSIG(status);
  return -1;
}

void ChildProcess::kill() {
  if (pid_ < 0) return;
  ::kill(pid_, SIGKILL);
  int ignored;
  finish(&ignored);
}

}  // namespace qx::cli
