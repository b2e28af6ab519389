// What a batch shows on standard error while it runs: on a terminal a bar
// redrawn in place (done/total, rate, time left), elsewhere a line per
// finished drawing, or nothing but failures with --quiet. Messages are
// whole lines; the bar is taken down before one and drawn again after.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace qx::cli {

class BatchProgress {
 public:
  enum class Mode { Bar, Lines, Quiet };
  // The mode a batch gets: Quiet when asked, Bar when standard error is a
  // terminal, else Lines.
  static Mode modeFor(bool quiet);

  BatchProgress(Mode mode, size_t total);
  ~BatchProgress();  // takes the bar down
  BatchProgress(const BatchProgress&) = delete;
  BatchProgress& operator=(const BatchProgress&) = delete;

  // A drawing is done (written or failed); `shown` is its line in Lines
  // mode (none when empty).
  void finished(const std::string& shown);
  // A line that shows in every mode (failures, warnings).
  void message(const std::string& line);
  // A line that shows unless quiet (the seeds, the summary).
  void note(const std::string& line);
  // The batch is over: the bar comes down for good, lines still show.
  void end();
  // Redraw the bar when it is due (the clock moves the rate and time left).
  void tick();
  size_t done() const { return done_; }
  double seconds() const;

  // "[#####-----] 12/24  2.0/s  0:06 left" fitted to `columns` characters.
  static std::string barText(size_t done, size_t total, double seconds, size_t columns);

 private:
  void draw();
  void takeDown();

  Mode mode_;
  size_t total_;
  size_t done_ = 0;
  bool shown_ = false;
  bool ended_ = false;
  std::chrono::steady_clock::time_point start_, drawn_;
};

}  // namespace qx::cli
