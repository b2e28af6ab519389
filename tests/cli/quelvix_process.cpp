#include "quelvix_process.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qx::test {

namespace fs = std::filesystem;

std::vector<std::string> ProcessResult::errLines() const {
  std::vector<std::string> lines;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> ProcessResult::complaints() const {
  std::vector<std::string> lines = errLines();
  std::erase_if(lines, [](const std::string& l) { return l.rfind("quelvix: seed ", 0) == 0; });
  return lines;
}

std::string ProcessResult::describe() const {
  return "status " + std::to_string(status) + (signal ? ", signal " + std::to_string(signal) : std::string()) +
         "\n--- stdout\n" + out + "--- stderr\n" + err;
}

QuelvixSandbox::QuelvixSandbox() {
  std::string pattern = (fs::temp_directory_path() / "qxrender-XXXXXX").string();
  if (mkdtemp(pattern.data())) dir_ = pattern;
  fs::create_directory(dir_ + "/tmp");
}

QuelvixSandbox::~QuelvixSandbox() {
  std::error_code ec;
  if (!dir_.empty()) fs::remove_all(dir_, ec);
}

void QuelvixSandbox::exec(const std::vector<std::string>& args) const {
  if (chdir(dir_.c_str()) != 0) _exit(126);
  setenv("HOME", (dir_ + "/home").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (dir_ + "/config").c_str(), 1);
  setenv("TMPDIR", (dir_ + "/tmp").c_str(), 1);
  unsetenv("QUELVIX_PLUGINS");
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  if (addressSpace_ != 0) {
    const rlimit limit{addressSpace_, addressSpace_};
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(126);
  }
  std::vector<char*> argv;
  std::string exe = QX_QUELVIX_EXE;
  argv.push_back(exe.data());
  std::vector<std::string> copies = args;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  execv(exe.c_str(), argv.data());
  _exit(127);
}

pid_t QuelvixSandbox::start(const std::vector<std::string>& args) const {
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open((dir_ + "/.stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open((dir_ + "/.stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0) _exit(126);
    dup2(out, 1);
    dup2(err, 2);
    exec(args);
  }
  return pid;
}

ProcessResult QuelvixSandbox::finish(pid_t pid) const {
  const std::string outPath = dir_ + "/.stdout", errPath = dir_ + "/.stderr";
  ProcessResult result;
  int status = 0;
  struct rusage usage {};
  if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
    result.peakKb = usage.ru_maxrss;
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  }
  std::ifstream o(outPath), e(errPath);
  std::stringstream os, es;
  os << o.rdbuf();
  es << e.rdbuf();
  result.out = os.str();
  result.err = es.str();
  fs::remove(outPath);
  fs::remove(errPath);
  return result;
}

ProcessResult QuelvixSandbox::wait(pid_t pid) const { return finish(pid); }

ProcessResult QuelvixSandbox::run(const std::vector<std::string>& args) const { return finish(start(args)); }

ProcessResult QuelvixSandbox::runOnTerminal(const std::vector<std::string>& args) const {
  ProcessResult result;
  winsize size{};
  size.ws_row = 24;
  size.ws_col = 100;
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, &size);
  if (pid == 0) exec(args);
  if (pid < 0) return result;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n > 0) result.out.append(buffer, static_cast<size_t>(n));
    else if (n < 0 && errno == EINTR) continue;
    else break;  // EIO once the child has closed the terminal
  }
  close(master);
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
  return result;
}

bool QuelvixSandbox::exists(const std::string& name) const { return fs::exists(path(name)); }

std::string QuelvixSandbox::read(const std::string& name) const {
  std::ifstream in(path(name), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void QuelvixSandbox::write(const std::string& name, const std::string& bytes) const {
  fs::create_directories(fs::path(path(name)).parent_path());
  std::ofstream(path(name), std::ios::binary) << bytes;
}

std::vector<std::string> QuelvixSandbox::allFiles() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir_)) {
    const std::string name = entry.path().filename().string();
    if (name != ".stdout" && name != ".stderr") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> QuelvixSandbox::files() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
    if (!entry.is_regular_file()) continue;
    std::string rel = fs::relative(entry.path(), dir_).string();
    if (rel.rfind("config/", 0) == 0 || rel.rfind("home/.cache/", 0) == 0 || rel[0] == '.') continue;
    names.push_back(rel);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace qx::test
