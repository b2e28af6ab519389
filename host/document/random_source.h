// The random numbers served to plug-ins: a seeded generator (xoshiro256**
// seeded through splitmix64) or a scripted list of reals, with an optional log
// of every draw sent to a sink. Each real is r = (next() >> 40) * 2^-24, so it is exactly a
// float and always below 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qx_plugin.h"

namespace qx::host {

class RandomSource {
 public:
  // Seeded from the clock; seedUsed() tells which seed.
  RandomSource();
  explicit RandomSource(uint64_t seed);
  ~RandomSource() = default;
  RandomSource(const RandomSource&) = delete;
  RandomSource& operator=(const RandomSource&) = delete;

  // Restart the generator from `seed` (leaves scripted mode).
  void seed(uint64_t seed);
  // Seed from the clock; answers the seed chosen.
  uint64_t seedFromClock();
  // The seed of the generator; nullopt while serving a script.
  std::optional<uint64_t> seedUsed() const;

  // Serve these reals in order instead of the generator. Each must lie in [0, 1).
  // False (and the source unchanged) otherwise, with `error` naming the value.
  bool setScript(std::vector<QxReal> values, std::string* error = nullptr);
  // Read a script: whitespace-separated reals, each in [0, 1), from a
  // regular file of at most kMaxScriptFileBytes. False with a message naming
  // the file (and the line and value, or the limit) on any error; the source
  // is unchanged then.
  static constexpr size_t kMaxScriptFileBytes = size_t{64} << 20;
  bool loadScript(const std::string& path, std::string* error);
  bool scripted() const { return scripted_; }

  // The next real in *r. QX_ERR_NO_RANDOM when a script has run out: the
  // source is exhausted from then on. QX_ERR_OUT_OF_MEMORY once the draw
  // budget is spent (nothing is drawn). QX_ERR_BAD_PARAM for a null pointer.
  QxErr next(QxReal* r) {
    // The seeded generator without a log is the common case, drawn inline.
    if (r == nullptr || scripted_ || log_ || drawsLeft_ == 0) return nextServed(r);
    --drawsLeft_;
    *r = fromBits(nextBits());
    ++served_;
    return QX_ERR_NONE;
  }
  bool exhausted() const { return exhausted_; }
  uint64_t served() const { return served_; }

  // The work budget: the draws one plug-in message may take, so a parameter
  // record that loops without making art still ends, as the art budget ends
  // one that makes too much. The heaviest drawing the dialog can ask for
  // takes about 4.8 million draws.
  static constexpr uint64_t kDefaultDrawBudget = 500'000'000;
  uint64_t drawBudget() const { return budget_; }
  // Also starts the count again.
  void setDrawBudget(uint64_t draws) { budget_ = drawsLeft_ = draws; }
  // A new message begins: the whole budget is there again.
  void restartDrawCount() { drawsLeft_ = budget_; }
  // True once a draw was refused for the budget (until cleared).
  bool drawBudgetSpent() const { return budgetHit_; }
  void clearDrawBudgetSpent() { budgetHit_ = false; }

  // Every draw ("r <value>\n" with 17 significant digits) and every undo
  // ("undo\n") goes to `sink` as one line; an empty sink stops the log.
  using LogSink = std::function<void(std::string_view line)>;
  void setLog(LogSink sink) { log_ = std::move(sink); }
  bool logging() const { return static_cast<bool>(log_); }
  // Record that the plug-in asked for its changes to be undone.
  void noteUndo();

 private:
  static uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  // xoshiro256**.
  uint64_t nextBits() {
    const uint64_t result = rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotl(state_[3], 45);
    return result;
  }
  // 24 bits: every value is exactly a float, and the largest is 1 - 2^-24.
  static QxReal fromBits(uint64_t bits) { return static_cast<QxReal>(bits >> 40) * 0x1p-24f; }
  QxErr nextServed(QxReal* r);

  uint64_t state_[4] = {};
  uint64_t seed_ = 0;
  bool scripted_ = false;
  std::vector<QxReal> script_;
  size_t scriptPos_ = 0;
  bool exhausted_ = false;
  uint64_t served_ = 0;
  uint64_t budget_ = kDefaultDrawBudget;
  uint64_t drawsLeft_ = kDefaultDrawBudget;
  bool budgetHit_ = false;
  LogSink log_;
};

}  // namespace qx::host
