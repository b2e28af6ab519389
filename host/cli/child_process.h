// A child process of the running program: /proc/self/exe started again with
// arguments of its own, its standard output and error captured through one
// pipe and read as whole lines. A child dies with the process that started
// it, so none is left behind when that one is killed.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace qx::cli {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();  // kills and reaps a child still running
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Start the program with `args` (after argv[0]); standard input reads
  // nothing. False and a one-line reason in *error.
  bool start(const std::vector<std::string>& args, std::string* error);

  // The pipe to wait on with poll(); -1 once its end was read.
  int fd() const { return fd_; }
  pid_t pid() const { return pid_; }
  // Read what is there. False at the end of the output: the child has
  // closed it (it has ended or is about to), and finish() may be called.
  bool read();
  // The complete lines read so far (a last unfinished one after the end).
  const std::vector<std::string>& lines() const { return lines_; }

  // Wait for the child to end: its exit status, or -1 when a signal ended
  // it (*signal then says which).
  int finish(int* signal);
  // End the child now (SIGKILL) and reap it.
  void kill();

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
  std::string partial_;
  std::vector<std::string> lines_;
};

}  // namespace qx::cli
