#include "host/io/svg_read/svg_path_data.h"

#include "host/io/svg_read/svg_text.h"

namespace qx::host::svg {
namespace {

int argumentCount(char command) {
  switch (lower(command)) {
    case 'm':
    case 'l':
    case 't': return 2;
    case 'h':
    case 'v': return 1;
    case 'c': return 6;
    case 's':
    case 'q': return 4;
    case 'a': return 7;
    case 'z': return 0;
    default: return -1;
  }
}

bool startsNumber(char c) { return isDigit(c) || c == '.' || c == '+' || c == '-'; }

class PathParser {
 public:
  PathParser(std::string_view d, size_t maxAnchors) : d_(d), maxAnchors_(maxAnchors) {}

  PathData run() {
    PathData out;
    out.error = parse();
    out.tooLong = tooLong_;
    out.contours = builder_.finish();
    return out;
  }

 private:
  std::string failAt(size_t at, const std::string& what) {
    std::string text = what + " at character " + std::to_string(at + 1);
    if (at < d_.size()) {
      const std::string_view near = d_.substr(at, 12);
      text += " (\"" + std::string(near) + (d_.size() - at > 12 ? "...\")" : "\")");
    }
    return text;
  }

  // The arguments of one command; an arc's flags are single digits that
  // need no separator ("a1 1 0 00 1 1").
  bool readArguments(char command, int count, double* args) {
    for (int k = 0; k < count; ++k) {
      if (k > 0) skipCommaSpace(d_, i_);
      const bool flag = lower(command) == 'a' && (k == 3 || k == 4);
      if (flag) {
        if (i_ >= d_.size() || (d_[i_] != '0' && d_[i_] != '1')) {
          errorAt_ = i_;
          errorWhat_ = "expected an arc flag (0 or 1)";
          return false;
        }
        args[k] = d_[i_++] - '0';
      } else if (!scanNumber(d_, i_, args[k])) {
        errorAt_ = i_;
        errorWhat_ = "expected a number";
        return false;
      }
    }
    return true;
  }

  std::string parse() {
    skipSpace(d_, i_);
    if (i_ >= d_.size()) return {};
    if (d_[i_] != 'M' && d_[i_] != 'm') return failAt(i_, "path data must begin with M");
    char command = 0;
    for (;;) {
      skipSpace(d_, i_);
      if (i_ >= d_.size()) return {};
      const char c = d_[i_];
      if (isAlpha(c)) {
        if (argumentCount(c) < 0) return failAt(i_, "unknown command");
        command = c;
        ++i_;
      } else if (!startsNumber(c) || command == 0) {
        return failAt(i_, "unexpected character");
      } else if (argumentCount(command) == 0) {
        return failAt(i_, "numbers after Z");
      }
      // else: another set of arguments for the same command
      const int count = argumentCount(command);
      if (count == 0) {
        builder_.close();
        lastControl_ = Control::None;
        continue;
      }
      skipSpace(d_, i_);
      double args[7] = {};
      if (!readArguments(command, count, args)) return failAt(errorAt_, errorWhat_);
      apply(command, args);
      if (builder_.anchorCount() > maxAnchors_) {
        tooLong_ = true;
        return "more than " + std::to_string(maxAnchors_) + " points";
      }
      // After M, further pairs are lines.
      if (command == 'M') command = 'L';
      if (command == 'm') command = 'l';
      skipCommaSpace(d_, i_);
    }
  }

  enum class Control { None, Cubic, Quadratic };

  void apply(char command, const double* a) {
    const bool rel = command >= 'a';
    const Pt cur = builder_.current();
    const auto at = [&](double x, double y) { return rel ? Pt{cur.x + x, cur.y + y} : Pt{x, y}; };
    // The control point an S or T reflects, or the current point.
    const auto reflected = [&](Control wanted) {
      return lastControl_ == wanted ? Pt{2 * cur.x - control_.x, 2 * cur.y - control_.y} : cur;
    };
    Control next = Control::None;
    switch (lower(command)) {
      case 'm': builder_.moveTo(at(a[0], a[1])); break;
      case 'l': builder_.lineTo(at(a[0], a[1])); break;
      case 'h': builder_.lineTo({rel ? cur.x + a[0] : a[0], cur.y}); break;
      case 'v': builder_.lineTo({cur.x, rel ? cur.y + a[0] : a[0]}); break;
      case 'c': {
        const Pt c2 = at(a[2], a[3]);
        builder_.cubicTo(at(a[0], a[1]), c2, at(a[4], a[5]));
        control_ = c2;
        next = Control::Cubic;
        break;
      }
      case 's': {
        const Pt c2 = at(a[0], a[1]);
        builder_.cubicTo(reflected(Control::Cubic), c2, at(a[2], a[3]));
        control_ = c2;
        next = Control::Cubic;
        break;
      }
      case 'q': {
        const Pt q = at(a[0], a[1]);
        builder_.quadTo(q, at(a[2], a[3]));
        control_ = q;
        next = Control::Quadratic;
        break;
      }
      case 't': {
        const Pt q = reflected(Control::Quadratic);
        builder_.quadTo(q, at(a[0], a[1]));
        control_ = q;
        next = Control::Quadratic;
        break;
      }
      case 'a': builder_.arcTo(a[0], a[1], a[2], a[3] != 0, a[4] != 0, at(a[5], a[6])); break;
      default: break;
    }
    lastControl_ = next;
  }

  std::string_view d_;
  size_t maxAnchors_;
  bool tooLong_ = false;
  size_t i_ = 0;
  ContourBuilder builder_;
  Control lastControl_ = Control::None;
  Pt control_;
  size_t errorAt_ = 0;
  std::string errorWhat_;
};

}  // namespace

PathData parsePathData(std::string_view d, size_t maxAnchors) { return PathParser(d, maxAnchors).run(); }

}  // namespace qx::host::svg
