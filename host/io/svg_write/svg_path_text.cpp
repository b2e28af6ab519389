#include "host/io/svg_write/svg_path_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace qx::host {
namespace {

constexpr size_t kCacheSize = 1024;  // a power of two
constexpr size_t kMaxKeptSegments = 64;

bool same(const QxRealPoint& a, const QxRealPoint& b) { return a.x == b.x && a.y == b.y; }

// What the reader keeps of a coordinate: the float, -0 read as 0.
double target(QxReal v) { return v == 0 ? 0.0 : static_cast<double>(v); }

bool lands(double readerValue, double wanted) {
  return static_cast<double>(static_cast<QxReal>(readerValue)) == wanted;
}

// The shortest float text of `v` (which is finite), -0 written as 0.
size_t floatText(QxReal v, char* buf, size_t room) {
  if (v == 0) {
    buf[0] = '0';
    return 1;
  }
  return static_cast<size_t>(std::to_chars(buf, buf + room, v).ptr - buf);
}

double readBack(const char* text, size_t size) {
  double v = 0;
  std::from_chars(text, text + size, v);
  return v;
}

// Shorter spellings a path reader takes: ".5" for "0.5", "e-5" for "e-05".
size_t tidy(char* buf, size_t size) {
  std::string_view s(buf, size);
  const size_t start = s[0] == '-' ? 1 : 0;
  if (size > start + 1 && buf[start] == '0' && buf[start + 1] == '.') {
    std::memmove(buf + start, buf + start + 1, size - start - 1);
    --size;
  }
  s = std::string_view(buf, size);
  if (const size_t e = s.find('e'); e != std::string_view::npos) {
    size_t at = e + 1;
    if (buf[at] == '+') {
      std::memmove(buf + at, buf + at + 1, size - at - 1);
      --size;
    } else if (buf[at] == '-') {
      ++at;
    }
    while (at + 1 < size && buf[at] == '0') {
      std::memmove(buf + at, buf + at + 1, size - at - 1);
      --size;
    }
  }
  return size;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// n * 10^p as text, in whichever of the plain and the exponent spelling is
// shorter; n has no trailing zero.
size_t decimalText(int64_t n, int p, char* buf) {
  char digits[24];
  size_t at = 0;
  if (n < 0) buf[at++] = '-', n = -n;
  const size_t count = static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, n).ptr - digits);
  char exponent[8];
  const size_t e = static_cast<size_t>(std::to_chars(exponent, exponent + sizeof exponent, p).ptr - exponent);
  const size_t k = p < 0 ? static_cast<size_t>(-p) : 0;
  const size_t plain = p >= 0 ? count + static_cast<size_t>(p) : count > k ? count + 1 : k + 1;
  if (count + 1 + e < plain) {
    std::memcpy(buf + at, digits, count);
    buf[at + count] = 'e';
    std::memcpy(buf + at + count + 1, exponent, e);
    return at + count + 1 + e;
  }
  if (p >= 0) {
    std::memcpy(buf + at, digits, count);
    std::memset(buf + at + count, '0', static_cast<size_t>(p));
    return at + plain;
  }
  if (count > k) {
    std::memcpy(buf + at, digits, count - k);
    buf[at + count - k] = '.';
    std::memcpy(buf + at + count - k + 1, digits + count - k, k);
  } else {
    buf[at] = '.';
    std::memset(buf + at + 1, '0', k - count);
    std::memcpy(buf + at + 1 + k - count, digits, count);
  }
  return at + plain;
}

// The number of fewest digits that takes the reader from `from` into the
// float `to`'s rounding interval, found by arithmetic: the coarsest power of
// ten that fits the interval, and the one below. False when neither gives a
// number that lands (the caller then searches).
bool fewestDigits(double from, double to, char* buf, size_t* size, double* value) {
  const auto t = static_cast<QxReal>(to);
  const double below = std::nextafter(t, -std::numeric_limits<QxReal>::infinity());
  const double above = std::nextafter(t, std::numeric_limits<QxReal>::infinity());
  // Kept off the interval's ends by more than the reader's own rounding.
  const double margin = std::ldexp(std::max({std::fabs(from), std::fabs(to), 1e-300}), -48);
  const double lo = (below + to) / 2 - from + margin, hi = (above + to) / 2 - from - margin;
  if (!(lo < hi) || !std::isfinite(lo) || !std::isfinite(hi)) return false;
  const int coarsest = static_cast<int>(std::floor(std::log10(hi - lo)));
  for (int p = coarsest; p >= coarsest - 1; --p) {
    if (p > 22 || p < -22) return false;
    const double scale = kPowersOfTen[p < 0 ? -p : p];
    const double mid = (lo + hi) / 2;
    const double count = std::round(p < 0 ? mid * scale : mid / scale);
    if (!(std::fabs(count) < 9e15)) return false;
    auto n = static_cast<int64_t>(count);
    int e = p;
    while (n != 0 && n % 10 == 0) n /= 10, ++e;
    // The value a reader parses from the text: the division or product is
    // rounded once, as parsing rounds.
    const double v = n == 0  ? 0.0
                     : e < 0 ? static_cast<double>(n) / kPowersOfTen[-e]
                             : static_cast<double>(n) * kPowersOfTen[std::min(e, 22)];
    if (e > 22 || !lands(from + v, to)) continue;
    *size = n == 0 ? (buf[0] = '0', size_t{1}) : decimalText(n, e, buf);
    *value = v;
    return true;
  }
  return false;
}

// `delta` without the search: whole numbers, and the fewest digits where
// arithmetic finds them.
bool quickDelta(double from, double to, bool exact, char* buf, size_t* size, double* value) {
  if (exact) {
    const double d = to - from;
    if (!(std::fabs(d) < 1e15 && d == std::trunc(d) && from + d == to)) return false;
    *size = static_cast<size_t>(std::to_chars(buf, buf + 32, static_cast<long long>(d)).ptr - buf);
    *value = d;
    return true;
  }
  if (lands(from, to)) {
    buf[0] = '0';
    *size = 1;
    *value = 0;
    return true;
  }
  const double d = to - from;
  if (std::fabs(d) < 1e15 && d == std::trunc(d) && lands(from + d, to)) {
    *size = static_cast<size_t>(std::to_chars(buf, buf + 32, static_cast<long long>(d)).ptr - buf);
    *value = d;
    return true;
  }
  return fewestDigits(from, to, buf, size, value);
}

// The shortest number that, added to the reader's current coordinate `from`,
// gives a value that rounds to the float `to`. False when none does (the
// two lie too many binary orders apart for a double to hold their sum).
// With `exact`, the sum must be `to` itself (a point the reader compares
// with one it read before).
bool delta(double from, double to, bool exact, char* buf, size_t* size, double* value) {
  const auto reaches = [&](double v) { return exact ? from + v == to : lands(from + v, to); };
  if (exact) {
    const double d = to - from;
    if (!reaches(d)) return false;
    const size_t n = static_cast<size_t>(std::to_chars(buf, buf + 32, d).ptr - buf);
    *size = tidy(buf, n);
    *value = d;
    return true;
  }
  if (quickDelta(from, to, false, buf, size, value)) return true;
  const double d = to - from;
  for (int digits = 1; digits <= 17; ++digits) {
    char text[40];
    const size_t n =
        static_cast<size_t>(std::to_chars(text, text + sizeof text, d, std::chars_format::general, digits).ptr - text);
    const double v = readBack(text, n);
    if (!lands(from + v, to)) continue;
    // The fewest digits may still be spelt shorter ("10" for "1e+01").
    const size_t shortest = static_cast<size_t>(std::to_chars(buf, buf + 32, v).ptr - buf);
    *size = tidy(buf, shortest);
    *value = v;
    return true;
  }
  return false;
}

uint64_t mix(uint64_t h, uint64_t w) {
  h ^= w;
  h *= 0xFF51AFD7ED558CCDull;
  return h ^ (h >> 29);
}

}  // namespace

SvgPathText::SvgPathText() : cache_(kCacheSize) {}
SvgPathText::~SvgPathText() = default;

// The pieces a reader has to draw: L (x y) for a straight piece, C (x1 y1 x2
// y2 x y) for a curve, E for the curve that closes the outline, Z for the
// close; targets_ holds their coordinates.
void SvgPathText::plan(std::span<const QxPathSegment> segments, bool closed) {
  kinds_.clear();
  targets_.clear();
  targets_.reserve(6 * segments.size());
  const auto piece = [&](const QxPathSegment& from, const QxPathSegment& to, char curve) {
    if (same(from.out, from.p) && same(to.in, to.p)) {
      kinds_.push_back('L');
    } else {
      kinds_.push_back(curve);
      targets_.push_back(target(from.out.x));
      targets_.push_back(target(from.out.y));
      targets_.push_back(target(to.in.x));
      targets_.push_back(target(to.in.y));
    }
    targets_.push_back(target(to.p.x));
    targets_.push_back(target(to.p.y));
  };
  for (size_t i = 1; i < segments.size(); ++i) piece(segments[i - 1], segments[i], 'C');
  if (closed) {
    const QxPathSegment& last = segments.back();
    const QxPathSegment& first = segments.front();
    // z draws the straight closing piece itself; a curved one is drawn first.
    // The reader takes a last point on the first for the same point, so that
    // curve (E) must end exactly where the reader started.
    if (segments.size() > 1 && !(same(last.out, last.p) && same(first.in, first.p))) piece(last, first, 'E');
    kinds_.push_back('Z');
  }
  const double x0 = target(segments[0].p.x), y0 = target(segments[0].p.y);
  key_.resize(targets_.size());
  for (size_t i = 0; i < targets_.size(); ++i) key_[i] = targets_[i] - (i % 2 == 0 ? x0 : y0);
}

// Whether `entry`'s numbers, read from the point (x, y) as a reader reads
// them, land on this outline's targets.
bool SvgPathText::replay(const Entry& entry, double x, double y) const {
  double cx = x, cy = y, px = 0, py = 0;  // current point, the last curve's second handle
  const double* t = targets_.data();
  const double* v = entry.out.values.data();
  for (size_t k = 0; k < entry.out.ops.size(); ++k) {
    const char op = entry.out.ops[k];
    switch (op) {
      case 'h':
        cx += v[0];
        if (!lands(cx, t[0]) || !lands(cy, t[1])) return false;
        v += 1, t += 2;
        break;
      case 'v':
        cy += v[0];
        if (!lands(cx, t[0]) || !lands(cy, t[1])) return false;
        v += 1, t += 2;
        break;
      case 'l':
        cx += v[0], cy += v[1];
        if (!lands(cx, t[0]) || !lands(cy, t[1])) return false;
        v += 2, t += 2;
        break;
      case 'c':
        if (!lands(cx + v[0], t[0]) || !lands(cy + v[1], t[1])) return false;
        v += 2, t += 2;
        [[fallthrough]];
      case 's': {
        if (op == 's' && (!lands(2 * cx - px, t[0]) || !lands(2 * cy - py, t[1]))) return false;
        if (op == 's') t += 2;
        px = cx + v[0], py = cy + v[1];
        cx += v[2], cy += v[3];
        if (!lands(px, t[0]) || !lands(py, t[1])) return false;
        if (kinds_[k] == 'E' ? cx != x || cy != y : !lands(cx, t[2]) || !lands(cy, t[3])) return false;
        v += 4, t += 4;
        break;
      }
      case 'z': cx = x, cy = y; break;
      default: return false;
    }
  }
  return true;
}

// Appends one number of the data, with a separator only where the reader
// needs one.
void SvgPathText::Builder::number(const char* buf, size_t n) {
  const char last = text.empty() ? 'M' : text.back();
  const bool afterNumber = std::isdigit(static_cast<unsigned char>(last)) || last == '.';
  if (afterNumber && buf[0] != '-' && !(buf[0] == '.' && lastHasPoint)) text += ' ';
  text.append(buf, n);
  lastHasPoint = std::memchr(buf, '.', n) != nullptr && std::memchr(buf, 'e', n) == nullptr;
}

// One outline being composed: its text so far and the reader's current
// point as it reads it.
struct SvgPathText::Composition {
  Composition(Entry& into, double startX, double startY, bool digitByDigit)
      : entry(into), x(startX), y(startY), search(digitByDigit), cx(startX), cy(startY) {}

  Entry& entry;
  double x, y;                    // the reader's start
  bool search;                    // also digit by digit
  double cx, cy, px = 0, py = 0;  // current point, the last curve's second handle
  bool afterCurve = false;
  char buf[40];

  bool relative(char op, double fx, double fy, const double* t, size_t count, double* reads, bool closing = false);
  void absolute(char op, const double* t, size_t count, double* reads);
  void close();
  void line(const double* t);
  void curve(const double* t, bool closing);
};

// Relative numbers for `count` targets from (fx, fy); false, with nothing
// written, when one of them cannot be reached.
bool SvgPathText::Composition::relative(char op, double fx, double fy, const double* t, size_t count, double* reads,
                                        bool closing) {
  Builder& b = entry.out;
  const size_t mark = b.text.size();
  const bool hadPoint = b.lastHasPoint;
  b.text += op;
  for (size_t i = 0; i < count; ++i) {
    size_t n = 0;
    const double from = i % 2 == 0 ? fx : fy;
    // A closing curve ends on the reader's own start, exactly.
    const bool exact = closing && i + 2 >= count;
    const double to = exact ? (i % 2 == 0 ? x : y) : t[i];
    const bool found = search ? delta(from, to, exact, buf, &n, &reads[i])
                              : quickDelta(from, to, exact, buf, &n, &reads[i]);
    if (!found) {
      b.text.resize(mark);
      b.lastHasPoint = hadPoint;
      return false;
    }
    b.number(buf, n);
  }
  b.ops.push_back(op);
  b.values.insert(b.values.end(), reads, reads + count);
  return true;
}

// Absolute numbers, which fit this place only.
void SvgPathText::Composition::absolute(char op, const double* t, size_t count, double* reads) {
  Builder& b = entry.out;
  entry.reusable = false;
  b.text += op;
  for (size_t i = 0; i < count; ++i) {
    const size_t n = floatText(static_cast<QxReal>(t[i]), buf, sizeof buf);
    reads[i] = t[i] == std::trunc(t[i]) ? t[i] : readBack(buf, n);
    b.number(buf, n);
  }
  b.ops.push_back(op);
  b.values.insert(b.values.end(), reads, reads + count);
}

void SvgPathText::Composition::close() {
  entry.out.ops.push_back('z');
  entry.out.text += 'z';
  cx = x, cy = y;
  afterCurve = false;
}

void SvgPathText::Composition::line(const double* t) {
  double r[2];
  if (lands(cy, t[1]) && relative('h', cx, cy, t, 1, r)) {
    cx += r[0];
  } else if (lands(cx, t[0]) && relative('v', cy, cy, t + 1, 1, r)) {
    cy += r[0];
  } else if (relative('l', cx, cy, t, 2, r)) {
    cx += r[0], cy += r[1];
  } else {
    absolute('L', t, 2, r);
    cx = r[0], cy = r[1];
  }
  afterCurve = false;
}

void SvgPathText::Composition::curve(const double* t, bool closing) {
  double r[6];
  const bool mirrored = afterCurve && lands(2 * cx - px, t[0]) && lands(2 * cy - py, t[1]);
  if (mirrored && relative('s', cx, cy, t + 2, 4, r, closing)) {
    px = cx + r[0], py = cy + r[1], cx += r[2], cy += r[3];
  } else if (relative('c', cx, cy, t, 6, r, closing)) {
    px = cx + r[2], py = cy + r[3], cx += r[4], cy += r[5];
  } else if (mirrored) {
    absolute('S', t + 2, 4, r);
    px = r[0], py = r[1], cx = r[2], cy = r[3];
  } else {
    absolute('C', t, 6, r);
    px = r[2], py = r[3], cx = r[4], cy = r[5];
  }
  afterCurve = true;
}

// Chooses each command and number for this outline from the reader's start
// (x, y), following the reader's current point as it goes. A piece is
// relative where its numbers are found (by arithmetic, and with `search`
// digit by digit too) and absolute otherwise, which fits this place only.
void SvgPathText::compose(Entry& entry, double x, double y, bool search) {
  Builder& b = entry.out;
  b.ops.clear();
  b.values.clear();
  b.text.clear();
  b.lastHasPoint = false;
  entry.reusable = search;
  Composition c(entry, x, y, search);
  const double* t = targets_.data();
  for (char kind : kinds_) {
    if (kind == 'Z') {
      c.close();
    } else if (kind == 'L') {
      c.line(t);
      t += 2;
    } else {
      c.curve(t, kind == 'E');  // 'E': the curve that closes the outline
      t += 6;
    }
  }
}

void SvgPathText::writeStart(const char* x, size_t nx, const char* y, size_t ny, TextSink& out) {
  out.put('M');
  out.append(std::string_view(x, nx));
  if (y[0] != '-') out.put(' ');
  out.append(std::string_view(y, ny));
}

void SvgPathText::write(std::span<const QxPathSegment> segments, bool closed, TextSink& out) {
  plan(segments, closed);
  char mx[40], my[40];
  const size_t nx = floatText(segments[0].p.x, mx, sizeof mx), ny = floatText(segments[0].p.y, my, sizeof my);
  // Where the reader starts: the M's numbers as it reads them.
  const double x0 = target(segments[0].p.x), y0 = target(segments[0].p.y);
  const double x = x0 == std::trunc(x0) ? x0 : readBack(mx, nx);
  const double y = y0 == std::trunc(y0) ? y0 : readBack(my, ny);

  // Long outlines (a lattice's lines) are one of a kind: kept, they would
  // only fill the cache.
  if (segments.size() > kMaxKeptSegments) {
    compose(once_, x, y, false);
    writeStart(mx, nx, my, ny, out);
    out.append(once_.out.text);
    return;
  }
  uint64_t h = kinds_.size();
  for (char k : kinds_) h = mix(h, static_cast<uint64_t>(k));
  for (double d : key_) {
    uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    h = mix(h, bits);
  }
  Entry& entry = cache_[h & (kCacheSize - 1)];
  const Builder* text = &once_.out;
  if (entry.kinds == kinds_ && entry.key == key_) {
    if (!entry.searched) {
      compose(entry, x, y, true);
      entry.searched = true;
      text = &entry.out;
    } else if (entry.reusable && replay(entry, x, y)) {
      text = &entry.out;
    } else {
      compose(once_, x, y, false);
    }
  } else {
    entry.kinds = kinds_;
    entry.key = key_;
    entry.searched = entry.reusable = false;
    compose(once_, x, y, false);
  }
  writeStart(mx, nx, my, ny, out);
  out.append(text->text);
}

}  // namespace qx::host
