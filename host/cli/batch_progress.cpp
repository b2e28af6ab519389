#include "host/cli/batch_progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace qx::cli {
namespace {

// The bar goes straight to the descriptor: the error stream escapes the
// carriage return and the erase sequence it needs.
void writeRaw(const std::string& text) {
  size_t at = 0;
  while (at < text.size()) {
    const ssize_t n = ::write(2, text.data() + at, text.size() - at);
    if (n <= 0) return;
    at += static_cast<size_t>(n);
  }
}

size_t terminalColumns() {
  winsize size{};
  if (::ioctl(2, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

std::string clockText(double seconds) {
  const auto s = static_cast<long long>(std::llround(seconds));
  char text[32];
  if (s >= 3600) std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  else std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
  return text;
}

}  // namespace

BatchProgress::Mode BatchProgress::modeFor(bool quiet) {
  if (quiet) return Mode::Quiet;
  return ::isatty(2) ? Mode::Bar : Mode::Lines;
}

BatchProgress::BatchProgress(Mode mode, size_t total)
    : mode_(mode), total_(total), start_(std::chrono::steady_clock::now()), drawn_(start_) {}

BatchProgress::~BatchProgress() { takeDown(); }

double BatchProgress::seconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

std::string BatchProgress::barText(size_t done, size_t total, double seconds, size_t columns) {
  std::string tail = " " + std::to_string(done) + "/" + std::to_string(total);
  if (done > 0 && seconds > 0) {
    const double rate = static_cast<double>(done) / seconds;
    char text[32];
    std::snprintf(text, sizeof text, rate >= 10 ? "  %.0f/s" : "  %.1f/s", rate);
    tail += text;
    tail += done < total ? "  " + clockText(static_cast<double>(total - done) / rate) + " left" : "  done";
  }
  const std::string head = "quelvix: ";
  // Room for the brackets and at least a few cells of bar, else no bar.
  const size_t used = head.size() + tail.size() + 2;
  if (columns <= used + 4) return head + tail.substr(1);
  const size_t cells = std::min<size_t>(columns - used - 1, 40);
  const size_t filled = total == 0 ? cells : cells * done / total;
  return head + "[" + std::string(filled, '#') + std::string(cells - filled, '-') + "]" + tail;
}

void BatchProgress::draw() {
  if (ended_) return;
  drawn_ = std::chrono::steady_clock::now();
  // Leave the last column free: writing it makes some terminals wrap.
  writeRaw("\r" + barText(done_, total_, seconds(), terminalColumns() - 1) + "\x1b[K");
  shown_ = true;
}

void BatchProgress::takeDown() {
  if (!shown_) return;
  writeRaw("\r\x1b[K");
  shown_ = false;
}

void BatchProgress::end() {
  takeDown();
  ended_ = true;
}

void BatchProgress::finished(const std::string& shown) {
  ++done_;
  if (mode_ == Mode::Lines && !shown.empty()) std::cerr << shown << std::endl;
  if (mode_ == Mode::Bar) draw();
}

void BatchProgress::message(const std::string& line) {
  takeDown();
  std::cerr << line << std::endl;
  if (mode_ == Mode::Bar) draw();
}

void BatchProgress::note(const std::string& line) {
  if (mode_ != Mode::Quiet) message(line);
}

void BatchProgress::tick() {
  if (mode_ == Mode::Bar && (!shown_ || std::chrono::steady_clock::now() - drawn_ >= std::chrono::milliseconds(250)))
    draw();
}

}  // namespace qx::cli
