// Runs the built `quelvix` as a child process in a folder of its own, with
// HOME, XDG_CONFIG_HOME and TMPDIR pointing inside it so no real settings
// are touched.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace qx::test {

struct ProcessResult {
  int status = -1;  // exit status, or -1 when the child did not exit normally
  int signal = 0;   // the signal that ended the child, or 0
  long peakKb = 0;  // the child's largest resident size
  std::string out;
  std::string err;
  std::vector<std::string> errLines() const;
  // Lines of stderr other than render's report of the seed.
  std::vector<std::string> complaints() const;
  // Status, stdout and stderr, for a failed expectation's message.
  std::string describe() const;
};

class QuelvixSandbox {
 public:
  QuelvixSandbox();
  ~QuelvixSandbox();
  QuelvixSandbox(const QuelvixSandbox&) = delete;
  QuelvixSandbox& operator=(const QuelvixSandbox&) = delete;

  const std::string& dir() const { return dir_; }
  // Runs from now on get at most this much address space (0: no limit), as
  // `ulimit -v` gives them.
  void limitAddressSpace(size_t bytes) { addressSpace_ = bytes; }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  // The state file used without --state.
  std::string configState() const { return dir_ + "/config/quelvix/state.bin"; }

  // `quelvix ARGS...` run in dir(). TMPDIR is dir()/tmp, so a run's
  // temporary files show in files() when they are left behind.
  ProcessResult run(const std::vector<std::string>& args) const;
  // The same started, not waited for: its pid (-1 when fork fails). finish()
  // waits for it and collects what it wrote.
  pid_t start(const std::vector<std::string>& args) const;
  ProcessResult finish(pid_t pid) const;
  // The same on a pseudo-terminal: `out` is everything the terminal
  // received (standard output and error), as bytes.
  ProcessResult runOnTerminal(const std::vector<std::string>& args) const;
  // finish() by another name.
  ProcessResult wait(pid_t pid) const;

  bool exists(const std::string& name) const;
  std::string read(const std::string& name) const;
  void write(const std::string& name, const std::string& bytes) const;
  // The names directly in dir(), hidden ones (temporaries) included.
  std::vector<std::string> allFiles() const;
  // Every file below dir() except the configuration and cache folders, for
  // "nothing written".
  std::vector<std::string> files() const;

 private:
  // In the child: the folder, the environment and exec; never returns.
  [[noreturn]] void exec(const std::vector<std::string>& args) const;
  std::string dir_;
  size_t addressSpace_ = 0;
};

}  // namespace qx::test
