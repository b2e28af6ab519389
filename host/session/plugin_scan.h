// Plug-ins scanned apart before the host loads them: a child process (the
// running program in its scan mode) loads the library, starts it, lists its
// filters and shuts it down. A library whose scan crashes, hangs or answers
// wrongly is skipped with one line, so a broken plug-in never takes the host
// down. Verdicts are cached by path, size and modification time in the
// user's cache folder, so a normal start does not scan again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qx::host {

struct ScanVerdict {
  bool passed = false;
  bool cached = false;  // read from the cache, not scanned now
  std::string reason;   // why it failed: "crashed while loading (signal 11, Segmentation fault)"
};

// The program run in scan mode (`PROGRAM scan-plugin FILE`); empty (the
// default) loads plug-ins without a scan. The command line sets itself.
void setPluginScanProgram(std::string program);
const std::string& pluginScanProgram();

// How long a scan may take before it counts as hung.
inline constexpr int kScanTimeoutMs = 10000;

// Scan `file` in a child process of `program`, or take the cached verdict.
ScanVerdict scanPlugin(const std::string& program, const std::string& file, int timeoutMs = kScanTimeoutMs);

// Keep a failed verdict for `file` found after its scan passed (the library
// crashed a process that loaded it), so the next start skips it too.
void rememberFailure(const std::string& file, const std::string& reason);

// The cache file: $XDG_CACHE_HOME/quelvix/plugin-scan.tsv, else under
// $HOME/.cache; nullopt when neither is set (nothing is cached then).
std::optional<std::string> scanCachePath();

// What the scan mode prints on standard output, line by line: "filter" lines
// with the registered filters, then "ok". The parent takes a scan as passed
// only when its child exits with 0 after "ok".
inline constexpr const char* kScanOkLine = "ok";

}  // namespace qx::host
