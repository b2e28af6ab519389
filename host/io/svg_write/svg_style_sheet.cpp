#include "host/io/svg_write/svg_style_sheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "host/io/color_convert.h"

namespace qx::host {
namespace {

void appendNumber(std::string& text, float v) {
  char buf[32];
  text.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// A dash pattern SVG can draw: 1 to 6 finite, non-negative lengths that are
// not all zero. Anything else is drawn solid.
void appendDash(std::string& text, const QxDashStyle& dash) {
  if (dash.length <= 0 || dash.length > QX_DASH_MAX) return;
  double total = 0;
  for (int i = 0; i < dash.length; ++i) {
    if (!std::isfinite(dash.array[i]) || dash.array[i] < 0) return;
    total += dash.array[i];
  }
  if (total <= 0) return;
  text += ";stroke-dasharray:";
  for (int i = 0; i < dash.length; ++i) {
    if (i > 0) text += ' ';
    appendNumber(text, dash.array[i]);
  }
  if (std::isfinite(dash.offset) && dash.offset != 0) {
    text += ";stroke-dashoffset:";
    appendNumber(text, dash.offset);
  }
}

// The CSS declarations of a paint. Overprint has no SVG meaning and is
// dropped; a stroke of zero, negative or non-finite width paints nothing.
void declarations(std::string& text, const QxPathStyle& style) {
  char hex[8];
  const auto fill = style.fillPaint ? toSrgb8(style.fill.color) : std::nullopt;
  if (fill) {
    formatHexColor(*fill, hex);
    text += "fill:";
    text += hex;
    if (style.evenOdd) text += ";fill-rule:evenodd";
  } else {
    text += "fill:none";
  }
  if (!paintsStroke(style)) return;
  const QxStrokeStyle& s = style.stroke;
  formatHexColor(*toSrgb8(s.color), hex);
  text += ";stroke:";
  text += hex;
  text += ";stroke-width:";
  appendNumber(text, s.width);
  if (s.cap == QX_CAP_ROUND) text += ";stroke-linecap:round";
  else if (s.cap == QX_CAP_SQUARE) text += ";stroke-linecap:square";
  if (s.join == QX_JOIN_ROUND) text += ";stroke-linejoin:round";
  else if (s.join == QX_JOIN_BEVEL) text += ";stroke-linejoin:bevel";
  // SVG refuses limits below 1 and starts from 4.
  if (std::isfinite(s.miterLimit) && s.miterLimit != 4) {
    text += ";stroke-miterlimit:";
    appendNumber(text, std::max(s.miterLimit, 1.0f));
  }
  appendDash(text, s.dash);
}

}  // namespace

bool paintsStroke(const QxPathStyle& style) {
  return style.strokePaint && std::isfinite(style.stroke.width) && style.stroke.width > 0 &&
         toSrgb8(style.stroke.color).has_value();
}

double strokeReach(const QxPathStyle& style) {
  if (!paintsStroke(style)) return 0;
  double factor = 1;
  if (style.stroke.cap == QX_CAP_SQUARE) factor = std::sqrt(2.0);
  if (style.stroke.join == QX_JOIN_MITER && std::isfinite(style.stroke.miterLimit))
    factor = std::max(factor, static_cast<double>(style.stroke.miterLimit));
  return 0.5 * static_cast<double>(style.stroke.width) * factor;
}

uint32_t SvgStyleSheet::classOf(const QxPathStyle& shown) {
  if (haveLast_ && std::memcmp(&shown, &last_, sizeof shown) == 0) return lastClass_;
  scratch_.clear();
  declarations(scratch_, shown);
  const auto [it, added] = byText_.try_emplace(scratch_, static_cast<uint32_t>(classes_.size()));
  if (added) classes_.push_back({scratch_, strokeReach(shown)});
  haveLast_ = true;
  last_ = shown;
  lastClass_ = it->second;
  return lastClass_;
}

void SvgStyleSheet::writeName(uint32_t index, TextSink& out) {
  char name[8];
  size_t n = 0;
  do {
    name[n++] = static_cast<char>('a' + index % 26);
    index /= 26;
  } while (index > 0);
  std::reverse(name, name + n);
  out.append(std::string_view(name, n));
}

void SvgStyleSheet::write(TextSink& out) const {
  if (classes_.empty()) return;
  out.append("<style>");
  for (uint32_t i = 0; i < classes_.size(); ++i) {
    out.put('.');
    writeName(i, out);
    out.put('{');
    out.append(classes_[i].declarations);
    out.append("}\n");
  }
  out.append("</style>\n");
}

}  // namespace qx::host
