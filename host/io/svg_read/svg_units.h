// Lengths with their units, transform lists, viewBox and
// preserveAspectRatio: everything that turns a file's coordinates into the
// page's.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/io/svg_read/svg_geometry.h"

namespace qx::host::svg {

// CSS pixels per unit: 96 px to the inch, 72 points to the inch.
constexpr double kPointsPerPx = 0.75;

enum class Unit { None, Px, Pt, Pc, Mm, Cm, In, Q, Em, Ex, Rem, Percent };

struct Length {
  double value = 0;
  Unit unit = Unit::None;
};

// A number with an optional unit. nullopt with *reason ("unknown unit
// \"furlongs\"", "not a number") otherwise.
std::optional<Length> parseLength(std::string_view text, std::string* reason);

// What a percentage is of: the viewport's width, height, or its normalised
// diagonal sqrt((w*w + h*h) / 2) for lengths that are neither.
enum class Axis { X, Y, Other };

struct Viewport {
  double width = 0, height = 0;  // user units
  double reference(Axis axis) const;
};

// In user units (px); em and rem count 16 px, ex 8 px, as browsers default.
double toUserUnits(const Length& length, Axis axis, const Viewport& viewport);

// A transform attribute: matrix, translate, scale, rotate (about an optional
// centre), skewX, skewY, separated by whitespace or commas. nullopt with
// *reason for anything else.
std::optional<Matrix> parseTransform(std::string_view text, std::string* reason);

struct ViewBox {
  double x = 0, y = 0, width = 0, height = 0;
};

// Four numbers; nullopt with *reason when there are not four or a size is negative.
std::optional<ViewBox> parseViewBox(std::string_view text, std::string* reason);

struct AspectRatio {
  bool none = false;                  // stretch to fill
  double alignX = 0.5, alignY = 0.5;  // 0 min, 0.5 mid, 1 max
  bool slice = false;                 // cover the viewport instead of fitting inside
};

// The default (xMidYMid meet) for an empty or unknown value, with *reason set for the latter.
AspectRatio parseAspectRatio(std::string_view text, std::string* reason);

// Maps the viewBox onto the viewport rectangle (x, y, width, height).
Matrix viewBoxMatrix(const ViewBox& box, const AspectRatio& ratio, double x, double y, double width, double height);

}  // namespace qx::host::svg
