#include "host/cli/render_batch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <thread>

#include "host/cli/batch_progress.h"
#include "host/cli/child_process.h"
#include "host/cli/commands.h"
#include "host/cli/picture_output.h"
#include "host/cli/render_run.h"
#include "host/document/random_source.h"
#include "host/io/atomic_file.h"
#include "host/io/temporary_files.h"
#include "host/session/contact_sheet.h"
#include "host/session/filter_session.h"
#include "host/session/state_file.h"

namespace qx::cli {
namespace {

namespace fs = std::filesystem;

int usage(const std::string& message) {
  std::cerr << "quelvix: " << message << '\n';
  return kExitUsage;
}

std::string withoutPrefix(const std::string& line) {
  static const std::string kPrefix = "quelvix: ";
  return line.starts_with(kPrefix) ? line.substr(kPrefix.size()) : line;
}

// A signal that ends the batch reaches the loop through a pipe, so poll()
// wakes for it; the handler does nothing else.
int g_signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t g_signal = 0;

extern "C" void onStopSignal(int signal) {
  g_signal = signal;
  const char byte = 1;
  const int saved = errno;
  (void)!::write(g_signalPipe[1], &byte, 1);
  errno = saved;
}

class StopSignals {
 public:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
  StopSignals() {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction action {};
    action.sa_handler = &onStopSignal;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &previous_[i]);
    installed_ = true;
  }
  ~StopSignals() {
    if (!installed_) return;
    for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous_[i], nullptr);
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
  }
  int fd() const { return installed_ ? g_signalPipe[0] : -1; }

 private:
  struct sigaction previous_[std::size(kSignals)]{};
  bool installed_ = false;
};

// A private folder for the copy of the kept settings and the thumbnails,
// removed with everything in it.
class PrivateFolder {
 public:
  bool make(std::string* error) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp && *tmp ? tmp : "/tmp";
    removeAbandoned(base);
    // The batch's process id in the name tells a folder whose batch was
    // killed outright from one in use.
    std::string pattern = base + "/quelvix-batch-" + std::to_string(::getpid()) + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
      *error = "cannot make a temporary folder in " + pattern.substr(0, pattern.rfind('/')) + ": " +
               std::strerror(errno);
      return false;
    }
    path_ = pattern;
    return true;
  }
  ~PrivateFolder() { remove(); }
  void remove() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
    path_.clear();
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  // Folders of batches whose process is gone (killed with SIGKILL, say).
  static void removeAbandoned(const std::string& base) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(base, ec)) {
      const std::string name = entry.path().filename().string();
      constexpr std::string_view kPrefix = "quelvix-batch-";
      if (name.rfind(kPrefix, 0) != 0 || !entry.is_directory(ec)) continue;
      const size_t dash = name.find('-', kPrefix.size());
      if (dash == std::string::npos) continue;
      const std::string digits = name.substr(kPrefix.size(), dash - kPrefix.size());
      if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
      const pid_t pid = static_cast<pid_t>(std::stol(digits));
      if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) fs::remove_all(entry.path(), ec);
    }
  }

  std::string path_;
};

enum class Outcome { Waiting, Running, Written, Failed };

struct Drawing {
  uint64_t seed = 0;
  std::string path, thumbnail;
  Outcome outcome = Outcome::Waiting;
  std::unique_ptr<ChildProcess> process;
};

// Make the folders `path` needs; those that were not there go to *made
// (outermost first) when it is given.
bool makeParentFolders(const std::string& path, std::string* error, std::vector<fs::path>* made = nullptr) {
  const fs::path parent = fs::path(path).parent_path();
  if (parent.empty()) return true;
  std::error_code ec;
  if (fs::is_directory(parent, ec)) return true;
  std::vector<fs::path> missing;
  for (fs::path p = parent; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) missing.push_back(p);
  fs::create_directories(parent, ec);
  if (ec) {
    *error = "cannot make the folder " + parent.string() + ": " + ec.message();
    return false;
  }
  if (made) made->insert(made->end(), missing.rbegin(), missing.rend());
  return true;
}

std::string seedList(const std::vector<uint64_t>& seeds) {
  constexpr size_t kShown = 10;
  std::string text;
  for (size_t i = 0; i < seeds.size() && i < kShown; ++i) text += (i ? ", " : "") + std::to_string(seeds[i]);
  if (seeds.size() > kShown) text += ", ...";
  return text;
}

// The batch as it runs: drawings started a few at a time, their output
// read as it comes, each reported when its process ends.
class BatchRun {
 public:
  BatchRun(const BatchRequest& batch, std::vector<Drawing> drawings, std::vector<std::string> commonArgs, size_t jobs,
           BatchProgress& progress)
      : batch_(batch),
        drawings_(std::move(drawings)),
        common_(std::move(commonArgs)),
        jobs_(jobs),
        progress_(progress) {}

  // Runs until every drawing ended, the batch was stopped, or a signal came
  // (then *signal says which). Answers the batch's status so far.
  int run(int signalFd, int* signal);
  const std::vector<Drawing>& drawings() const { return drawings_; }
  size_t written() const { return written_; }
  std::vector<uint64_t> failedSeeds() const {
    std::vector<uint64_t> seeds;
    for (const Drawing& d : drawings_)
      if (d.outcome == Outcome::Failed) seeds.push_back(d.seed);
    return seeds;
  }

 private:
  void launch(Drawing& drawing);
  void fail(Drawing& drawing, const std::string& reason);
  void ended(Drawing& drawing);
  void killRunning();

  const BatchRequest& batch_;
  std::vector<Drawing> drawings_;
  std::vector<std::string> common_;
  size_t jobs_;
  BatchProgress& progress_;
  size_t next_ = 0, running_ = 0, written_ = 0;
  int stopStatus_ = 0;  // the status that stopped the batch early
  std::vector<fs::path> madeFolders_;
  std::set<std::string> told_;  // lines of written drawings already passed on
};

void BatchRun::fail(Drawing& drawing, const std::string& reason) {
  drawing.outcome = Outcome::Failed;
  progress_.message("quelvix: seed " + std::to_string(drawing.seed) + " failed: " + reason);
  progress_.finished("");
}

void BatchRun::launch(Drawing& drawing) {
  std::string why;
  if (!makeParentFolders(drawing.path, &why, &madeFolders_)) return fail(drawing, why);
  std::vector<std::string> args = common_;
  args.push_back("--seed=" + std::to_string(drawing.seed));
  args.push_back("--output=" + drawing.path);
  if (!drawing.thumbnail.empty()) {
    args.push_back("--thumbnail=" + drawing.thumbnail);
    args.push_back("--thumbnail-size=" + std::to_string(batch_.thumb));
  }
  drawing.process = std::make_unique<ChildProcess>();
  if (!drawing.process->start(args, &why)) {
    drawing.process.reset();
    return fail(drawing, why);
  }
  drawing.outcome = Outcome::Running;
  ++running_;
}

void BatchRun::ended(Drawing& drawing) {
  int signal = 0;
  const int status = drawing.process->finish(&signal);
  std::vector<std::string> lines = drawing.process->lines();
  drawing.process.reset();
  --running_;
  const std::string seed = "seed " + std::to_string(drawing.seed);
  const std::string about = "quelvix: " + seed;
  std::erase(lines, about);  // the drawing's report of its seed

  if (status == kExitOk) {
    drawing.outcome = Outcome::Written;
    ++written_;
    // Warnings every drawing gives (an opened file's) are passed on once.
    for (const std::string& line : lines)
      if (told_.insert(withoutPrefix(line)).second) progress_.message(about + ": " + withoutPrefix(line));
    progress_.finished("quelvix: [" + std::to_string(progress_.done() + 1) + "/" + std::to_string(drawings_.size()) +
                       "] " + seed + ": " + drawing.path);
    return;
  }
  // A refusal or a cancel before anything was written meets every seed
  // alike: the batch stops with it, said once.
  if ((status == kExitUsage || status == kExitCancelled) && written_ == 0) {
    drawing.outcome = Outcome::Failed;
    for (const std::string& line : lines) progress_.message(line);
    stopStatus_ = status;
    return;
  }
  // The drawing's last line says why it failed, unless a signal ended it.
  std::string reason;
  if (signal) {
    reason = std::string("its process was ended by signal ") + std::to_string(signal) + " (" + strsignal(signal) + ")";
  } else if (!lines.empty()) {
    reason = withoutPrefix(lines.back());
    lines.pop_back();
  } else {
    reason = "its process ended with status " + std::to_string(status);
  }
  for (const std::string& line : lines) progress_.message(about + ": " + withoutPrefix(line));
  fail(drawing, reason);
}

void BatchRun::killRunning() {
  for (Drawing& drawing : drawings_) {
    if (drawing.outcome != Outcome::Running || !drawing.process) continue;
    drawing.process->kill();
    drawing.process.reset();
    // Killed while writing, it may have left its temporary file behind; its
    // writer is gone now, so the temporary counts as stale.
    (void)host::removeStaleTemporaries(drawing.path);
    drawing.outcome = Outcome::Waiting;
    --running_;
  }
}

int BatchRun::run(int signalFd, int* signal) {
  *signal = 0;
  while (true) {
    while (stopStatus_ == 0 && running_ < jobs_ && next_ < drawings_.size()) launch(drawings_[next_++]);
    if (stopStatus_ != 0) {
      killRunning();
      // Refused, the batch leaves nothing behind: not even the folders it made.
      for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) {
        std::error_code ec;
        fs::remove(*it, ec);  // only when empty
      }
      return stopStatus_;
    }
    if (running_ == 0 && next_ == drawings_.size()) break;

    std::vector<pollfd> fds;
    std::vector<Drawing*> owners;
    if (signalFd >= 0) fds.push_back({signalFd, POLLIN, 0});
    for (Drawing& drawing : drawings_) {
      if (drawing.outcome != Outcome::Running) continue;
      fds.push_back({drawing.process->fd(), POLLIN, 0});
      owners.push_back(&drawing);
    }
    const int ready = ::poll(fds.data(), fds.size(), 250);
    if (ready < 0 && errno != EINTR) {
      killRunning();
      progress_.message(std::string("quelvix: cannot wait for the drawings: ") + std::strerror(errno));
      return kExitFailure;
    }
    if (g_signal != 0) {
      *signal = g_signal;
      killRunning();
      return kExitFailure;
    }
    const size_t first = signalFd >= 0 ? 1 : 0;
    // Once a refusal stops the batch, the drawings still running say no more.
    for (size_t i = first; ready > 0 && stopStatus_ == 0 && i < fds.size(); ++i) {
      if (fds[i].revents == 0) continue;
      Drawing& drawing = *owners[i - first];
      if (!drawing.process->read()) ended(drawing);
    }
    progress_.tick();
  }
  return written_ == drawings_.size() ? kExitOk : kExitFailure;
}

// What every drawing is handed besides its seed and file: the options as
// given, and the kept settings as a private copy it reads but never writes.
bool commonArguments(const BatchRequest& batch, const PrivateFolder& folder, std::vector<std::string>* args,
                     std::string* error) {
  *args = {"render"};
  args->insert(args->end(), batch.childArgs.begin(), batch.childArgs.end());
  std::vector<uint8_t> state;
  bool haveState = false;
  if (!batch.render.statePath.empty() && !batch.render.fresh) {
    switch (host::readStateFile(batch.render.statePath, host::kKeptBlockSize, &state, error)) {
      case host::StateRead::Missing: break;
      case host::StateRead::Loaded: haveState = true; break;
      case host::StateRead::Invalid: return false;
    }
  }
  if (haveState) {
    const std::string copy = folder / "state.bin";
    std::ofstream out(copy, std::ios::binary);
    out.write(reinterpret_cast<const char*>(state.data()), static_cast<std::streamsize>(state.size()));
    if (!out.flush()) {
      *error = "cannot copy the kept settings to " + copy;
      return false;
    }
    args->push_back("--state=" + copy);
  } else {
    args->push_back("--fresh");
  }
  args->push_back("--state-read-only");
  return true;
}

// The batch's options checked against one another and this build before any
// drawing is made; false and a one-line message.
bool checkBatch(const BatchRequest& batch, int columns, std::string* why) {
  const RenderRequest& render = batch.render;
  if (batch.count > 1 && !hasPlaceholder(batch.pattern)) {
    *why = "-o " + batch.pattern + ": " + std::to_string(batch.count) +
           " drawings need {seed} or {n} in the file name, e.g. -o 'out/lattice-{seed}.svg'";
    return false;
  }
  if ((render.format == OutputFormat::Png || render.format == OutputFormat::Pdf) && !canPaint()) {
    *why = std::string(formatName(render.format)) +
           " output needs the painter (Qt 6 Gui), which this build lacks; write .svg or .json instead";
    return false;
  }
  const bool sheet = !batch.sheetPath.empty();
  if (sheet && formatFromPath(batch.sheetPath) != OutputFormat::Png) {
    *why = "--contact-sheet " + batch.sheetPath + ": the sheet is a PNG; give a name ending in .png";
    return false;
  }
  if (sheet && !canPaint()) {
    *why = "--contact-sheet needs the painter (Qt 6 Gui), which this build lacks";
    return false;
  }
  if (sheet) {
    const host::ContactSheetSize size = host::contactSheetSize(batch.count, columns, batch.thumb);
    if (static_cast<double>(size.width) * static_cast<double>(size.height) > host::kMaxContactSheetPixels) {
      *why = "--contact-sheet: " + std::to_string(size.width) + " x " + std::to_string(size.height) +
             " pixels is larger than a sheet may be (100000000 pixels); use a smaller --thumb";
      return false;
    }
  }
  std::error_code ec;
  if (!fs::is_directory(render.pluginDir, ec)) {
    *why = "--plugins " + render.pluginDir + ": no such folder";
    return false;
  }
  if (host::FilterSession::pluginFiles(render.pluginDir).empty()) {
    *why = "--plugins " + render.pluginDir + ": no plug-in (*.aip) in the folder";
    return false;
  }
  return true;
}

// The batch's first seed: the one given, else one from the clock. False when
// the batch's seeds would pass the largest there is.
bool firstSeed(const BatchRequest& batch, uint64_t* first, std::string* why) {
  if (batch.seed) {
    *first = *batch.seed;
  } else {
    host::RandomSource clock;
    *first = clock.seedUsed().value_or(0);
  }
  if (*first > UINT64_MAX - (batch.count - 1)) {
    *why = "--seed " + std::to_string(*first) + ": the batch's seeds would pass 18446744073709551615";
    return false;
  }
  return true;
}

// Every drawing's seed, file and thumbnail. False when a drawing's file
// would take the place of the kept settings or the sheet.
bool planDrawings(const BatchRequest& batch, uint64_t first, const PrivateFolder& folder,
                  std::vector<Drawing>* drawings, std::string* why) {
  const bool sheet = !batch.sheetPath.empty();
  *drawings = std::vector<Drawing>(batch.count);
  for (uint64_t i = 0; i < batch.count; ++i) {
    Drawing& d = (*drawings)[i];
    d.seed = first + i;
    d.path = expandPattern(batch.pattern, d.seed, i + 1);
    if (sheet) d.thumbnail = folder / (std::to_string(i + 1) + ".png");
    for (const auto& [option, other] : {std::pair<const char*, const std::string&>{"--state", batch.render.statePath},
                                        {"--contact-sheet", batch.sheetPath}}) {
      if (!other.empty() && sameFile(d.path, other)) {
        *why = "-o " + d.path + " and " + option + " " + other + " name the same file; give each its own";
        return false;
      }
    }
  }
  return true;
}

// What the drawings came to: the batch's status, the signal that ended it
// (0 when none did), and the contact sheet's cells.
struct BatchEnd {
  int status = kExitOk;
  int signal = 0;
  std::vector<host::ContactSheetCell> cells;
};

// The last lines of a batch that ran to its end: what was written, and each
// drawing's cell of the sheet (empty where a failed drawing left no thumbnail).
void reportWritten(const BatchRequest& batch, const BatchRun& run, double seconds, BatchProgress& progress,
                   BatchEnd* end) {
  const std::vector<uint64_t> failed = run.failedSeeds();
  char time[32];
  std::snprintf(time, sizeof time, "%.1f", seconds);
  progress.note("quelvix: " + std::to_string(run.written()) + " of " + std::to_string(batch.count) +
                " drawings written in " + time + " s" +
                (failed.empty() ? std::string() : "; failed: seed " + seedList(failed)));
  for (const Drawing& d : run.drawings()) {
    const bool made = d.outcome == Outcome::Written;
    std::error_code exists;
    end->cells.push_back({made || fs::exists(d.thumbnail, exists) ? d.thumbnail : std::string(),
                          "seed " + std::to_string(d.seed) + (made ? "" : " failed")});
  }
}

// Runs the drawings a few at a time, with progress on standard error, until
// they all ended or a signal stopped them.
BatchEnd runDrawings(const BatchRequest& batch, std::vector<Drawing> drawings, std::vector<std::string> common,
                     uint64_t first) {
  size_t jobs = batch.jobs;
  if (jobs == 0) jobs = std::max(1u, std::thread::hardware_concurrency());
  jobs = std::min<size_t>(jobs, batch.count);
  BatchEnd end;
  StopSignals signals;
  BatchProgress progress(BatchProgress::modeFor(batch.quiet), batch.count);
  progress.note(batch.count == 1
                    ? "quelvix: seed " + std::to_string(first)
                    : "quelvix: seeds " + std::to_string(first) + " to " + std::to_string(first + batch.count - 1) +
                          ", " + std::to_string(jobs) + " at a time");
  BatchRun run(batch, std::move(drawings), std::move(common), jobs, progress);
  end.status = run.run(signals.fd(), &end.signal);
  const double seconds = progress.seconds();
  progress.end();
  if (end.signal != 0) {
    progress.message("quelvix: interrupted; " + std::to_string(run.written()) + " of " + std::to_string(batch.count) +
                     " drawings were written");
  } else if (end.status == kExitOk || end.status == kExitFailure) {
    reportWritten(batch, run, seconds, progress, &end);
  }
  return end;
}

// The signal that ended the drawings ends the program too, by that signal,
// once the private folder is gone.
int endBySignal(int signal, PrivateFolder& folder) {
  folder.remove();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  return kExitFailure;
}

// The contact sheet of the drawings' thumbnails; the batch's status, or 1
// when the sheet cannot be written.
int writeSheet(const BatchRequest& batch, int columns, std::vector<host::ContactSheetCell> cells, int status) {
  host::ContactSheet contact{columns, batch.thumb, std::move(cells)};
  std::string why;
  if (!makeParentFolders(batch.sheetPath, &why) || !writeContactSheet(contact, batch.sheetPath, &why)) {
    std::cerr << "quelvix: cannot write the contact sheet " << batch.sheetPath << ": " << why << '\n';
    return kExitFailure;
  }
  if (!batch.quiet) std::cerr << "quelvix: contact sheet " << batch.sheetPath << '\n';
  return status;
}

}  // namespace

std::string expandPattern(std::string_view pattern, uint64_t seed, uint64_t n) {
  std::string out;
  for (size_t i = 0; i < pattern.size();) {
    if (pattern.substr(i).starts_with("{seed}")) {
      out += std::to_string(seed);
      i += 6;
    } else if (pattern.substr(i).starts_with("{n}")) {
      out += std::to_string(n);
      i += 3;
    } else {
      out += pattern[i++];
    }
  }
  return out;
}

bool hasPlaceholder(std::string_view pattern) {
  return pattern.find("{seed}") != std::string_view::npos || pattern.find("{n}") != std::string_view::npos;
}

int runBatch(const BatchRequest& batch) {
  const int columns = batch.columns > 0 ? batch.columns : host::defaultContactColumns(batch.count);
  std::string why;
  if (!checkBatch(batch, columns, &why)) return usage(why);
  uint64_t first = 0;
  if (!firstSeed(batch, &first, &why)) return usage(why);
  PrivateFolder folder;
  if (!folder.make(&why)) {
    std::cerr << "quelvix: " << why << '\n';
    return kExitFailure;
  }
  std::vector<std::string> common;
  if (!commonArguments(batch, folder, &common, &why)) return usage(why);
  std::vector<Drawing> drawings;
  if (!planDrawings(batch, first, folder, &drawings, &why)) return usage(why);

  BatchEnd end = runDrawings(batch, std::move(drawings), std::move(common), first);
  if (end.signal != 0) return endBySignal(end.signal, folder);
  if (!batch.sheetPath.empty() && (end.status == kExitOk || end.status == kExitFailure))
    return writeSheet(batch, columns, std::move(end.cells), end.status);
  return end.status;
}

}  // namespace qx::cli
