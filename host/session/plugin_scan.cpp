#include "host/session/plugin_scan.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/io/atomic_file.h"

namespace qx::host {
namespace {

std::string& scanProgram() {
  static std::string program;
  return program;
}

struct FileKey {
  std::string path;
  int64_t size = 0;
  int64_t mtimeNs = 0;
};

std::optional<FileKey> keyOf(const std::string& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return std::nullopt;
  FileKey key;
  char* real = ::realpath(file.c_str(), nullptr);
  key.path = real ? real : file;
  std::free(real);
  key.size = st.st_size;
  key.mtimeNs = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
  return key;
}

// Cache lines: path TAB size TAB mtime-ns TAB "passed"|"failed" TAB reason.
constexpr size_t kMaxCacheBytes = size_t{1} << 20;

std::vector<std::string> readCacheLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  size_t total = 0;
  while (std::getline(in, line) && (total += line.size() + 1) <= kMaxCacheBytes) lines.push_back(line);
  return lines;
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) out.push_back(field);
  return out;
}

std::optional<ScanVerdict> cachedVerdict(const FileKey& key) {
  auto cache = scanCachePath();
  if (!cache) return std::nullopt;
  for (const std::string& line : readCacheLines(*cache)) {
    std::vector<std::string> f = fields(line);
    if (f.size() < 4 || f[0] != key.path || f[1] != std::to_string(key.size) || f[2] != std::to_string(key.mtimeNs))
      continue;
    ScanVerdict verdict;
    verdict.passed = f[3] == "passed";
    verdict.cached = true;
    verdict.reason = f.size() > 4 ? f[4] : "";
    return verdict;
  }
  return std::nullopt;
}

void storeVerdict(const FileKey& key, const ScanVerdict& verdict) {
  auto cache = scanCachePath();
  if (!cache) return;
  std::string text;
  for (const std::string& line : readCacheLines(*cache)) {
    std::vector<std::string> f = fields(line);
    if (!f.empty() && f[0] != key.path) text += line + '\n';
  }
  std::string reason = verdict.reason;
  for (char& c : reason)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  text += key.path + '\t' + std::to_string(key.size) + '\t' + std::to_string(key.mtimeNs) + '\t' +
          (verdict.passed ? "passed" : "failed") + '\t' + reason + '\n';
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(*cache).parent_path(), ec);
  std::string why;
  (void)writeFileAtomically(*cache, text, &why);  // a cache that cannot be written only costs a scan
}

std::string signalText(int sig) {
  const char* name = ::strsignal(sig);
  return "signal " + std::to_string(sig) + (name ? std::string(", ") + name : std::string());
}

// A scan child running: its process, and the read ends of its two pipes.
// `answer` carries what it prints; `execError` stays silent unless execv
// fails (it closes on a successful exec), which tells a program that could
// not run from a library that made the loader give up.
struct ScanChild {
  pid_t pid = -1;
  int answer = -1;
  int execError = -1;
};

// Start `program` in its scan mode on `file`; false and the reason when it
// cannot be started.
bool startScan(const std::string& program, const std::string& file, ScanChild* child, std::string* why) {
  int out[2], exec[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    *why = std::string("cannot start the scan: ") + std::strerror(errno);
    return false;
  }
  if (::pipe2(exec, O_CLOEXEC) != 0) {
    *why = std::string("cannot start the scan: ") + std::strerror(errno);
    ::close(out[0]);
    ::close(out[1]);
    return false;
  }
  const pid_t pid = ::fork();
  if (pid < 0) {
    for (int fd : {out[0], out[1], exec[0], exec[1]}) ::close(fd);
    *why = std::string("cannot start the scan: ") + std::strerror(errno);
    return false;
  }
  if (pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) ::dup2(null, STDERR_FILENO);  // the parent reports in one line of its own
    const char* argv[] = {program.c_str(), "scan-plugin", file.c_str(), nullptr};
    ::execv(program.c_str(), const_cast<char* const*>(argv));
    const int code = errno;
    (void)!::write(exec[1], &code, sizeof code);
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(exec[1]);
  *child = ScanChild{pid, out[0], exec[0]};
  return true;
}

// Read the child's answer (its first 64 KiB) until it closes its end; false
// when `timeoutMs` runs out first.
bool readAnswer(int fd, int timeoutMs, std::string* answer) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                            std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return true;  // the child closed its end
    if (answer->size() < 65536) answer->append(buffer, static_cast<size_t>(n));
  }
}

// A scan that ran to its end passed when its child exited with 0 after "ok".
bool scanPassed(int status, const std::string& answer) {
  const bool ok = answer == kScanOkLine + std::string("\n") || answer.ends_with(std::string("\n") + kScanOkLine + "\n");
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && ok;
}

// Why a scan that ran to its end did not pass.
std::string scanFailure(int status, const std::string& answer) {
  // The child names what went wrong on an "error" line when it can.
  std::string reason = WIFEXITED(status) && WEXITSTATUS(status) != 0
                           ? "failed while loading (exit status " + std::to_string(WEXITSTATUS(status)) + ")"
                           : "answered the scan wrongly";
  std::stringstream lines(answer);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("error\t", 0) == 0) reason = line.substr(6);
  return reason;
}

// Run the scan child and judge what it did.
ScanVerdict runScan(const std::string& program, const std::string& file, int timeoutMs) {
  ScanVerdict verdict;
  ScanChild child;
  if (!startScan(program, file, &child, &verdict.reason)) return verdict;
  std::string answer;
  const bool hung = !readAnswer(child.answer, timeoutMs, &answer);
  ::close(child.answer);
  if (hung) ::kill(child.pid, SIGKILL);
  int status = 0;
  while (::waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
  }
  int execError = 0;
  const bool execFailed = ::read(child.execError, &execError, sizeof execError) ==
                          static_cast<ssize_t>(sizeof execError);
  ::close(child.execError);
  if (hung) {
    verdict.reason = "hung while loading (no answer within " + std::to_string(timeoutMs / 1000) + " s)";
  } else if (WIFSIGNALED(status)) {
    verdict.reason = "crashed while loading (" + signalText(WTERMSIG(status)) + ")";
  } else if (execFailed) {
    verdict.reason = "cannot start the scan: " + program + ": " + std::strerror(execError);
  } else if (scanPassed(status, answer)) {
    verdict.passed = true;
  } else {
    verdict.reason = scanFailure(status, answer);
  }
  return verdict;
}

}  // namespace

void setPluginScanProgram(std::string program) { scanProgram() = std::move(program); }
const std::string& pluginScanProgram() { return scanProgram(); }

std::optional<std::string> scanCachePath() {
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/')
    return std::string(xdg) + "/quelvix/plugin-scan.tsv";
  if (const char* home = std::getenv("HOME"); home && *home == '/')
    return std::string(home) + "/.cache/quelvix/plugin-scan.tsv";
  return std::nullopt;
}

void rememberFailure(const std::string& file, const std::string& reason) {
  ScanVerdict verdict;
  verdict.reason = reason;
  if (const std::optional<FileKey> key = keyOf(file)) storeVerdict(*key, verdict);
}

ScanVerdict scanPlugin(const std::string& program, const std::string& file, int timeoutMs) {
  const std::optional<FileKey> key = keyOf(file);
  if (key)
    if (auto cached = cachedVerdict(*key)) return *cached;
  ScanVerdict verdict = runScan(program, file, timeoutMs);
  // A scan that could not run, or ran out of time on a busy machine, says
  // too little about the library to be kept.
  const bool telling = verdict.reason.rfind("hung while loading", 0) != 0 &&
                       verdict.reason.rfind("cannot start the scan", 0) != 0;
  if (key && telling) storeVerdict(*key, verdict);
  return verdict;
}

}  // namespace qx::host
