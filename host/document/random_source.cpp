#include "host/document/random_source.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

namespace qx::host {
namespace {

uint64_t splitmix64(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// A script value as a float in [0, 1), or false. A decimal just below 1
// may round up to 1 as a float, which is refused as well.
bool scriptValue(std::string_view token, QxReal* out) {
  double v = 0;
  auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
  if (ec != std::errc() || ptr != token.data() + token.size()) return false;
  if (!(v >= 0 && v < 1)) return false;
  QxReal f = static_cast<QxReal>(v);
  if (!(f < 1)) return false;
  *out = f;
  return true;
}

}  // namespace

RandomSource::RandomSource() { seedFromClock(); }

RandomSource::RandomSource(uint64_t seed) { this->seed(seed); }

void RandomSource::seed(uint64_t seed) {
  seed_ = seed;
  uint64_t x = seed;
  for (uint64_t& s : state_) s = splitmix64(x);
  scripted_ = false;
  script_.clear();
  scriptPos_ = 0;
  exhausted_ = false;
}

uint64_t RandomSource::seedFromClock() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  uint64_t s = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
  seed(s);
  return s;
}

std::optional<uint64_t> RandomSource::seedUsed() const {
  if (scripted_) return std::nullopt;
  return seed_;
}

bool RandomSource::setScript(std::vector<QxReal> values, std::string* error) {
  for (size_t i = 0; i < values.size(); ++i) {
    if (!(values[i] >= 0 && values[i] < 1)) {
      if (error) {
        std::ostringstream msg;
        msg << "random value " << (i + 1) << " (" << values[i] << ") is outside [0, 1)";
        *error = msg.str();
      }
      return false;
    }
  }
  script_ = std::move(values);
  scriptPos_ = 0;
  scripted_ = true;
  exhausted_ = false;
  return true;
}

bool RandomSource::loadScript(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot read random-number file " + path + ": " + std::strerror(errno);
    return false;
  }
  std::vector<QxReal> values;
  std::string line;
  for (size_t lineNo = 1; std::getline(in, line); ++lineNo) {
    size_t pos = 0;
    while (pos < line.size()) {
      pos = line.find_first_not_of(" \t\r\f\v", pos);
      if (pos == std::string::npos) break;
      size_t end = line.find_first_of(" \t\r\f\v", pos);
      if (end == std::string::npos) end = line.size();
      std::string_view token(line.data() + pos, end - pos);
      QxReal value = 0;
      if (!scriptValue(token, &value)) {
        if (error) {
          *error = path + ":" + std::to_string(lineNo) + ": \"" + std::string(token) +
                   "\" is not a real number in [0, 1)";
        }
        return false;
      }
      values.push_back(value);
      pos = end;
    }
  }
  if (in.bad()) {
    if (error) *error = "error reading random-number file " + path;
    return false;
  }
  return setScript(std::move(values), error);
}

QxErr RandomSource::nextServed(QxReal* r) {
  if (r == nullptr) return QX_ERR_BAD_PARAM;
  QxReal value;
  if (scripted_) {
    if (scriptPos_ >= script_.size()) {
      exhausted_ = true;
      return QX_ERR_NO_RANDOM;
    }
    value = script_[scriptPos_++];
  } else {
    value = fromBits(nextBits());
  }
  ++served_;
  if (log_) {
    char line[48];
    const int n = std::snprintf(line, sizeof line, "r %.17g\n", static_cast<double>(value));
    log_(std::string_view(line, static_cast<size_t>(n)));
  }
  *r = value;
  return QX_ERR_NONE;
}

void RandomSource::noteUndo() {
  if (log_) log_("undo\n");
}

}  // namespace qx::host
