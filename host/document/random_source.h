// The random numbers served to plug-ins: a seeded generator (xoshiro256**
// seeded through splitmix64) or a scripted list of reals, with an optional log
// of every draw sent to a sink. Each real is r = (next() >> 40) * 2^-24, so it is exactly a
// float and always below 1.
#pragma once

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
  // Read a script: whitespace-separated reals, each in [0, 1). False with a
  // message naming the file, line and value on any error; the source is
  // unchanged then.
  bool loadScript(const std::string& path, std::string* error);
  bool scripted() const { return scripted_; }

  // The next real in *r. QX_ERR_NO_RANDOM when a script has run out: the
  // source is exhausted from then on. QX_ERR_BAD_PARAM for a null pointer.
  QxErr next(QxReal* r);
  bool exhausted() const { return exhausted_; }
  uint64_t served() const { return served_; }

  // Every draw ("r <value>\n" with 17 significant digits) and every undo
  // ("undo\n") goes to `sink` as one line; an empty sink stops the log.
  using LogSink = std::function<void(std::string_view line)>;
  void setLog(LogSink sink) { log_ = std::move(sink); }
  bool logging() const { return static_cast<bool>(log_); }
  // Record that the plug-in asked for its changes to be undone.
  void noteUndo();

 private:
  uint64_t nextBits();

  uint64_t state_[4] = {};
  uint64_t seed_ = 0;
  bool scripted_ = false;
  std::vector<QxReal> script_;
  size_t scriptPos_ = 0;
  bool exhausted_ = false;
  uint64_t served_ = 0;
  LogSink log_;
};

}  // namespace qx::host
