#include "host/io/temporary_files.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace qx::host {
namespace {

// A slot is free, being filled (the handler passes it over) or live. A
// process has a few files open for writing at a time; the table is fixed so
// that the handler touches no allocator.
constexpr int kSlots = 32;
constexpr size_t kMaxPath = 4096;
enum : int { kFree = 0, kFilling = 1, kLive = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  char path[kMaxPath];
};
Slot g_slots[kSlots];

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots' states");

void onSignal(int signal) {
  const int saved = errno;
  removeTrackedTemporaries();
  errno = saved;
  // The handler was installed with SA_RESETHAND: the default action is back,
  // and the signal raised here is delivered as the handler returns.
  (void)::raise(signal);
}

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The writer's pid of `name` when it is a temporary of the target named
// `base` (".BASE.PID.N.HEX.tmp", exactly); 0 otherwise.
long temporaryPid(std::string_view name, const std::string& base) {
  const std::string head = "." + base + ".";
  if (name.size() <= head.size() || name.substr(0, head.size()) != head) return 0;
  std::string_view rest = name.substr(head.size());
  long pid = 0;
  unsigned serial = 0;
  unsigned long long stamp = 0;
  auto [p1, e1] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
  if (e1 != std::errc() || p1 == rest.data() || p1 == rest.data() + rest.size() || *p1 != '.') return 0;
  const char* end = rest.data() + rest.size();
  auto [p2, e2] = std::from_chars(p1 + 1, end, serial);
  if (e2 != std::errc() || p2 == p1 + 1 || p2 == end || *p2 != '.') return 0;
  auto [p3, e3] = std::from_chars(p2 + 1, end, stamp, 16);
  if (e3 != std::errc() || p3 == p2 + 1 || std::string_view(p3, static_cast<size_t>(end - p3)) != ".tmp") return 0;
  return pid > 0 ? pid : 0;
}

}  // namespace

std::string temporaryNameFor(const std::string& target, long pid, unsigned serial, unsigned long long stamp) {
  char suffix[96];
  std::snprintf(suffix, sizeof suffix, ".%ld.%u.%llx.tmp", pid, serial, stamp);
  const std::string folder = folderOf(target);
  std::string name = folder == "/" ? "/" : folder + "/";
  name += "." + baseOf(target) + suffix;
  return name;
}

int trackTemporary(const std::string& path) {
  if (path.size() >= kMaxPath) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!g_slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
    g_slots[i].state.store(kLive, std::memory_order_release);
    return i;
  }
  return -1;
}

void untrackTemporary(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  g_slots[slot].state.store(kFree, std::memory_order_release);
}

void removeTrackedTemporaries() {
  for (Slot& slot : g_slots)
    if (slot.state.load(std::memory_order_acquire) == kLive) (void)::unlink(slot.path);
}

void removeTemporariesOnSignals() {
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    // A signal the program was started ignoring (nohup) stays ignored.
    struct sigaction before {};
    if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    (void)::sigaction(signal, &action, nullptr);
  }
}

int removeStaleTemporaries(const std::string& target) {
  const std::string folder = folderOf(target), base = baseOf(target);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return 0;
  int removed = 0;
  const std::string prefix = folder == "/" ? "/" : folder + "/";
  while (const dirent* entry = ::readdir(dir)) {
    const long pid = temporaryPid(entry->d_name, base);
    if (pid == 0 || pid == static_cast<long>(::getpid())) continue;
    // Only a process that is surely gone: one this user may not signal
    // (EPERM) is running.
    if (::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH && ::unlink((prefix + entry->d_name).c_str()) == 0)
      ++removed;
  }
  ::closedir(dir);
  return removed;
}

}  // namespace qx::host
