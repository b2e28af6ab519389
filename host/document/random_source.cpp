#include "host/document/random_source.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <filesystem>
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
  namespace fs = std::filesystem;
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::exists(status)) return fail("cannot read random-number file " + path + ": no such file");
  // A device or a pipe could be read for ever.
  if (!fs::is_regular_file(status))
    return fail("the random-number file " + path + " is not a regular file (one of at most " +
                std::to_string(kMaxScriptFileBytes >> 20) + " MiB is read)");
  const std::string tooLarge = "the random-number file " + path + " is larger than such a file may be (" +
                               std::to_string(kMaxScriptFileBytes >> 20) + " MiB)";
  const uintmax_t size = fs::file_size(path, ec);
  if (!ec && size > kMaxScriptFileBytes) return fail(tooLarge);
  std::ifstream in(path, std::ios::binary);
  if (!in) return fail("cannot read random-number file " + path + ": " + std::strerror(errno));
  // The file may grow while it is read: the limit holds for what is read.
  std::string text;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    if (text.size() + static_cast<size_t>(in.gcount()) > kMaxScriptFileBytes) return fail(tooLarge);
    text.append(buffer, static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) return fail("error reading random-number file " + path);

  std::vector<QxReal> values;
  size_t lineNo = 1;
  for (size_t pos = 0; pos < text.size();) {
    if (text[pos] == '\n') {
      ++lineNo;
      ++pos;
      continue;
    }
    if (std::string_view(" \t\r\f\v").find(text[pos]) != std::string_view::npos) {
      ++pos;
      continue;
    }
    size_t end = text.find_first_of(" \t\r\f\v\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string_view token(text.data() + pos, end - pos);
    QxReal value = 0;
    if (!scriptValue(token, &value))
      return fail(path + ":" + std::to_string(lineNo) + ": \"" + std::string(token) +
                  "\" is not a real number in [0, 1)");
    values.push_back(value);
    pos = end;
  }
  return setScript(std::move(values), error);
}

QxErr RandomSource::nextServed(QxReal* r) {
  if (r == nullptr) return QX_ERR_BAD_PARAM;
  if (drawsLeft_ == 0) {
    budgetHit_ = true;
    return QX_ERR_OUT_OF_MEMORY;
  }
  --drawsLeft_;
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
