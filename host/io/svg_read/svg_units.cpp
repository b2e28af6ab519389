#include "host/io/svg_read/svg_units.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "host/io/svg_read/svg_text.h"

namespace qx::host::svg {
namespace {

struct UnitName {
  std::string_view name;
  Unit unit;
};

constexpr UnitName kUnits[] = {
    {"px", Unit::Px}, {"pt", Unit::Pt}, {"pc", Unit::Pc}, {"mm", Unit::Mm},   {"cm", Unit::Cm},     {"in", Unit::In},
    {"q", Unit::Q},   {"em", Unit::Em}, {"ex", Unit::Ex}, {"rem", Unit::Rem}, {"%", Unit::Percent},
};

double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

}  // namespace

std::optional<Length> parseLength(std::string_view text, std::string* reason) {
  text = trim(text);
  size_t i = 0;
  double v = 0;
  if (!scanNumber(text, i, v)) {
    *reason = "\"" + std::string(text.substr(0, 40)) + "\" is not a length";
    return std::nullopt;
  }
  const std::string_view suffix = text.substr(i);
  if (suffix.empty()) return Length{v, Unit::None};
  for (const UnitName& u : kUnits)
    if (iequals(suffix, u.name)) return Length{v, u.unit};
  *reason = "unknown unit \"" + std::string(suffix.substr(0, 20)) + "\" in \"" + std::string(text.substr(0, 40)) + "\"";
  return std::nullopt;
}

double Viewport::reference(Axis axis) const {
  switch (axis) {
    case Axis::X: return width;
    case Axis::Y: return height;
    default: return std::sqrt((width * width + height * height) / 2);
  }
}

double toUserUnits(const Length& l, Axis axis, const Viewport& viewport) {
  switch (l.unit) {
    case Unit::None:
    case Unit::Px: return l.value;
    case Unit::Pt: return l.value / kPointsPerPx;
    case Unit::Pc: return l.value * 16;
    case Unit::Mm: return l.value * 96 / 25.4;
    case Unit::Cm: return l.value * 96 / 2.54;
    case Unit::In: return l.value * 96;
    case Unit::Q: return l.value * 96 / 101.6;
    case Unit::Em:
    case Unit::Rem: return l.value * 16;
    case Unit::Ex: return l.value * 8;
    case Unit::Percent: return l.value / 100 * viewport.reference(axis);
  }
  return l.value;
}

std::optional<Matrix> parseTransform(std::string_view text, std::string* reason) {
  Matrix m;
  size_t i = 0;
  const auto fail = [&](const std::string& why) {
    *reason = "transform \"" + std::string(trim(text).substr(0, 60)) + "\": " + why;
    return std::nullopt;
  };
  skipSpace(text, i);
  if (trim(text) == "none") return m;  // as CSS writes "no transform"
  while (i < text.size()) {
    const size_t nameStart = i;
    while (i < text.size() && isAlpha(text[i])) ++i;
    const std::string_view name = text.substr(nameStart, i - nameStart);
    skipSpace(text, i);
    if (name.empty() || i >= text.size() || text[i] != '(') return fail("expected a name and \"(\"");
    ++i;
    std::vector<double> args;
    skipSpace(text, i);
    while (i < text.size() && text[i] != ')') {
      double v = 0;
      if (!scanNumber(text, i, v)) return fail("expected a number");
      args.push_back(v);
      skipCommaSpace(text, i);
    }
    if (i >= text.size()) return fail("missing \")\"");
    ++i;
    const size_t n = args.size();
    Matrix t;
    if (name == "matrix" && n == 6) {
      t = {args[0], args[1], args[2], args[3], args[4], args[5]};
    } else if (name == "translate" && (n == 1 || n == 2)) {
      t = Matrix::translate(args[0], n == 2 ? args[1] : 0);
    } else if (name == "scale" && (n == 1 || n == 2)) {
      t = Matrix::scale(args[0], n == 2 ? args[1] : args[0]);
    } else if (name == "rotate" && (n == 1 || n == 3)) {
      const double a = radians(args[0]);
      const Matrix r{std::cos(a), std::sin(a), -std::sin(a), std::cos(a), 0, 0};
      t = n == 3 ? Matrix::translate(args[1], args[2]) * r * Matrix::translate(-args[1], -args[2]) : r;
    } else if (name == "skewX" && n == 1) {
      t = {1, 0, std::tan(radians(args[0])), 1, 0, 0};
    } else if (name == "skewY" && n == 1) {
      t = {1, std::tan(radians(args[0])), 0, 1, 0, 0};
    } else {
      return fail("\"" + std::string(name) + "\" with " + std::to_string(n) + " numbers");
    }
    m = m * t;
    skipCommaSpace(text, i);
  }
  return m;
}

std::optional<ViewBox> parseViewBox(std::string_view text, std::string* reason) {
  size_t stopped = 0;
  const std::vector<double> v = parseNumberList(text, &stopped);
  if (v.size() != 4 || stopped != std::string_view::npos) {
    *reason = "viewBox \"" + std::string(trim(text).substr(0, 60)) + "\" is not four numbers";
    return std::nullopt;
  }
  if (v[2] < 0 || v[3] < 0) {
    *reason = "viewBox \"" + std::string(trim(text).substr(0, 60)) + "\" has a negative size";
    return std::nullopt;
  }
  return ViewBox{v[0], v[1], v[2], v[3]};
}

AspectRatio parseAspectRatio(std::string_view text, std::string* reason) {
  AspectRatio r;
  std::vector<std::string_view> words;
  size_t i = 0;
  while (true) {
    skipSpace(text, i);
    if (i >= text.size()) break;
    const size_t start = i;
    while (i < text.size() && !isSpace(text[i])) ++i;
    words.push_back(text.substr(start, i - start));
  }
  if (!words.empty() && words.front() == "defer") words.erase(words.begin());  // only images heed it
  if (words.empty()) return r;
  const auto bad = [&] {
    *reason = "preserveAspectRatio \"" + std::string(trim(text).substr(0, 40)) +
              "\" is not known; xMidYMid meet is used";
    return AspectRatio{};
  };
  if (words.size() > 2) return bad();
  const std::string_view align = words[0];
  if (align == "none") {
    r.none = true;
  } else {
    // xMinYMin .. xMaxYMax: each axis independently min, mid or max.
    if (align.size() != 8 || align[0] != 'x' || align[4] != 'Y') return bad();
    const auto position = [](std::string_view p) {
      return p == "Min" ? 0.0 : p == "Mid" ? 0.5 : p == "Max" ? 1.0 : -1.0;
    };
    r.alignX = position(align.substr(1, 3));
    r.alignY = position(align.substr(5, 3));
    if (r.alignX < 0 || r.alignY < 0) return bad();
  }
  if (words.size() == 2) {
    if (words[1] == "slice") r.slice = true;
    else if (words[1] != "meet") return bad();
  }
  return r;
}

Matrix viewBoxMatrix(const ViewBox& box, const AspectRatio& ratio, double x, double y, double width, double height) {
  if (!(box.width > 0) || !(box.height > 0)) return Matrix::translate(x, y);
  double sx = width / box.width, sy = height / box.height;
  if (ratio.none) return Matrix{sx, 0, 0, sy, x - box.x * sx, y - box.y * sy};
  const double s = ratio.slice ? std::max(sx, sy) : std::min(sx, sy);
  const double tx = x - box.x * s + (width - box.width * s) * ratio.alignX;
  const double ty = y - box.y * s + (height - box.height * s) * ratio.alignY;
  return Matrix{s, 0, 0, s, tx, ty};
}

}  // namespace qx::host::svg
