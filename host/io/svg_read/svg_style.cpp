#include "host/io/svg_read/svg_style.h"

#include <algorithm>
#include <cmath>

#include "host/io/svg_read/svg_text.h"

namespace qx::host::svg {
namespace {

bool inherited(Prop p) {
  switch (p) {
    case Prop::Opacity:
    case Prop::Display:
    case Prop::StopColor:
    case Prop::StopOpacity:
    case Prop::VectorEffect:
    case Prop::ClipPath:
    case Prop::Mask:
    case Prop::Filter: return false;
    default: return true;
  }
}

// A number or a percentage, clamped to 0..1 as CSS does for opacities.
std::optional<double> parseOpacity(std::string_view v) {
  v = trim(v);
  const bool percent = !v.empty() && v.back() == '%';
  const auto n = parseNumber(percent ? v.substr(0, v.size() - 1) : v);
  if (!n) return std::nullopt;
  return std::clamp(percent ? *n / 100 : *n, 0.0, 1.0);
}

std::optional<double> parseNonNegativeLength(std::string_view v, Axis axis, const Viewport& viewport) {
  std::string why;
  const auto l = parseLength(v, &why);
  if (!l) return std::nullopt;
  const double u = toUserUnits(*l, axis, viewport);
  if (!(u >= 0) || !std::isfinite(u)) return std::nullopt;
  return u;
}

// Copies the one property from `from`, for inherit, initial and unset.
void copyProperty(ComputedStyle& to, const ComputedStyle& from, Prop p) {
  switch (p) {
    case Prop::Fill: to.fill = from.fill; break;
    case Prop::FillOpacity: to.fillOpacity = from.fillOpacity; break;
    case Prop::FillRule: to.evenOdd = from.evenOdd; break;
    case Prop::Stroke: to.stroke = from.stroke; break;
    case Prop::StrokeWidth: to.strokeWidth = from.strokeWidth; break;
    case Prop::StrokeOpacity: to.strokeOpacity = from.strokeOpacity; break;
    case Prop::StrokeLinecap: to.cap = from.cap; break;
    case Prop::StrokeLinejoin: to.join = from.join; break;
    case Prop::StrokeMiterlimit: to.miterLimit = from.miterLimit; break;
    case Prop::StrokeDasharray: to.dash = from.dash, to.dashCount = from.dashCount; break;
    case Prop::StrokeDashoffset: to.dashOffset = from.dashOffset; break;
    case Prop::Opacity: to.opacity = from.opacity; break;
    case Prop::Color: to.color = from.color; break;
    case Prop::Display: to.displayNone = from.displayNone; break;
    case Prop::Visibility: to.visible = from.visible; break;
    case Prop::StopColor: to.stopColor = from.stopColor, to.stopIsCurrentColor = from.stopIsCurrentColor; break;
    case Prop::StopOpacity: to.stopOpacity = from.stopOpacity; break;
    case Prop::VectorEffect: to.nonScalingStroke = from.nonScalingStroke; break;
    case Prop::ClipPath: to.clipped = from.clipped; break;
    case Prop::Mask: to.masked = from.masked; break;
    case Prop::Filter: to.filtered = from.filtered; break;
    case Prop::MarkerStart:
    case Prop::MarkerMid:
    case Prop::MarkerEnd: to.markers = from.markers; break;
    case Prop::Count: break;
  }
}

// Paint, colours and opacities.
bool applyColor(ComputedStyle& s, const ComputedStyle& parent, Prop p, std::string_view v) {
  switch (p) {
    case Prop::Fill:
    case Prop::Stroke: {
      const auto paint = parsePaint(v);
      if (!paint) return false;
      (p == Prop::Fill ? s.fill : s.stroke) = *paint;
      return true;
    }
    case Prop::FillOpacity:
    case Prop::StrokeOpacity:
    case Prop::Opacity:
    case Prop::StopOpacity: {
      const auto o = parseOpacity(v);
      if (!o) return false;
      (p == Prop::FillOpacity     ? s.fillOpacity
       : p == Prop::StrokeOpacity ? s.strokeOpacity
       : p == Prop::Opacity       ? s.opacity
                                  : s.stopOpacity) = *o;
      return true;
    }
    case Prop::FillRule:
      if (v != "nonzero" && v != "evenodd") return false;
      s.evenOdd = v == "evenodd";
      return true;
    case Prop::Color:
    case Prop::StopColor: {
      if (iequals(v, "currentColor")) {
        if (p == Prop::Color) s.color = parent.color;
        else s.stopIsCurrentColor = true;
        return true;
      }
      const auto c = parseColor(v);
      if (!c) return false;
      if (p == Prop::Color) {
        s.color = *c;
      } else {
        s.stopColor = *c;
        s.stopIsCurrentColor = false;
      }
      return true;
    }
    default: return false;
  }
}

// The stroke's width, caps, joins, miter limit and dash offset.
bool applyStrokeShape(ComputedStyle& s, Prop p, std::string_view v, const Viewport& viewport) {
  switch (p) {
    case Prop::StrokeWidth: {
      const auto w = parseNonNegativeLength(v, Axis::Other, viewport);
      if (!w) return false;
      s.strokeWidth = *w;
      return true;
    }
    case Prop::StrokeLinecap:
      if (v == "butt") s.cap = QX_CAP_BUTT;
      else if (v == "round") s.cap = QX_CAP_ROUND;
      else if (v == "square") s.cap = QX_CAP_SQUARE;
      else return false;
      return true;
    case Prop::StrokeLinejoin:
      // miter-clip and arcs draw as miters where they are not known.
      if (v == "miter" || v == "miter-clip" || v == "arcs") s.join = QX_JOIN_MITER;
      else if (v == "round") s.join = QX_JOIN_ROUND;
      else if (v == "bevel") s.join = QX_JOIN_BEVEL;
      else return false;
      return true;
    case Prop::StrokeMiterlimit: {
      const auto m = parseNumber(v);
      if (!m || *m < 1) return false;
      s.miterLimit = *m;
      return true;
    }
    case Prop::StrokeDashoffset: {
      std::string why;
      const auto l = parseLength(v, &why);
      if (!l) return false;
      s.dashOffset = toUserUnits(*l, Axis::Other, viewport);
      return std::isfinite(s.dashOffset);
    }
    default: return false;
  }
}

// What is drawn at all, and the effects drawn without.
bool applyRendering(ComputedStyle& s, Prop p, std::string_view v) {
  switch (p) {
    case Prop::Display: s.displayNone = v == "none"; return true;
    case Prop::Visibility:
      if (v != "visible" && v != "hidden" && v != "collapse") return false;
      s.visible = v == "visible";
      return true;
    case Prop::VectorEffect: s.nonScalingStroke = v == "non-scaling-stroke"; return true;
    case Prop::ClipPath: s.clipped = v != "none"; return true;
    case Prop::Mask: s.masked = v != "none"; return true;
    case Prop::Filter: s.filtered = v != "none"; return true;
    case Prop::MarkerStart:
    case Prop::MarkerMid:
    case Prop::MarkerEnd: s.markers = s.markers || v != "none"; return true;
    default: return false;
  }
}

}  // namespace

ElementKey elementKey(pugi::xml_node element, std::string_view localName) {
  ElementKey key;
  key.type = localName;
  key.id = element.attribute("id").value();
  const std::string_view classes = element.attribute("class").value();
  size_t i = 0;
  while (i < classes.size()) {
    while (i < classes.size() && isSpace(classes[i])) ++i;
    const size_t start = i;
    while (i < classes.size() && !isSpace(classes[i])) ++i;
    if (i > start) key.classes.push_back(classes.substr(start, i - start));
  }
  return key;
}

bool StyleResolver::apply(ComputedStyle& s, const ComputedStyle& parent, const Declaration& d, const Viewport& viewport,
                          pugi::xml_node element) {
  const std::string_view v = trim(d.value);
  if (v == "inherit" || (v == "unset" && inherited(d.prop))) {
    copyProperty(s, parent, d.prop);
    return true;
  }
  if (v == "initial" || v == "unset") {
    copyProperty(s, ComputedStyle{}, d.prop);
    return true;
  }
  switch (d.prop) {
    case Prop::StrokeWidth:
    case Prop::StrokeLinecap:
    case Prop::StrokeLinejoin:
    case Prop::StrokeMiterlimit:
    case Prop::StrokeDashoffset: return applyStrokeShape(s, d.prop, v, viewport);
    case Prop::StrokeDasharray: return applyDashes(s, v, viewport, element);
    case Prop::Display:
    case Prop::Visibility:
    case Prop::VectorEffect:
    case Prop::ClipPath:
    case Prop::Mask:
    case Prop::Filter:
    case Prop::MarkerStart:
    case Prop::MarkerMid:
    case Prop::MarkerEnd: return applyRendering(s, d.prop, v);
    default: return applyColor(s, parent, d.prop, v);
  }
}

bool StyleResolver::applyDashes(ComputedStyle& s, std::string_view v, const Viewport& viewport,
                                pugi::xml_node element) {
  if (v == "none") {
    s.dashCount = 0;
    return true;
  }
  std::vector<double> values;
  size_t i = 0;
  while (i < v.size()) {
    size_t end = i;
    while (end < v.size() && !isSpace(v[end]) && v[end] != ',') ++end;
    const auto len = parseNonNegativeLength(v.substr(i, end - i), Axis::Other, viewport);
    if (!len) return false;
    values.push_back(*len);
    i = end;
    skipCommaSpace(v, i);
  }
  double total = 0;
  for (double x : values) total += x;
  // An odd list repeats to make an even one; all zeros draw solid.
  if (values.size() % 2 == 1) values.insert(values.end(), values.begin(), values.end());
  if (!(total > 0)) values.clear();
  if (values.size() > QX_DASH_MAX) {
    context_.warn(element, "stroke-dasharray has " + std::to_string(values.size()) + " entries; the first " +
                               std::to_string(QX_DASH_MAX) + " are kept");
    values.resize(QX_DASH_MAX);
  }
  s.dashCount = static_cast<int>(values.size());
  std::copy(values.begin(), values.end(), s.dash.begin());
  return true;
}

ComputedStyle StyleResolver::compute(const ComputedStyle& parent, pugi::xml_node element, std::string_view localName,
                                     const Viewport& viewport) {
  ComputedStyle s = parent;
  // What is not inherited starts from its initial value.
  const ComputedStyle initial;
  s.opacity = 1;
  s.displayNone = false;
  s.stopColor = initial.stopColor;
  s.stopIsCurrentColor = false;
  s.stopOpacity = 1;
  s.nonScalingStroke = false;
  s.clipped = s.masked = s.filtered = false;
  s.markers = false;  // set again below when this element or an ancestor has them
  const bool parentMarkers = parent.markers;

  ordered_.clear();
  for (pugi::xml_attribute a : element.attributes())
    if (const auto p = propertyNamed(a.name())) ordered_.push_back({*p, a.value(), false});
  if (!sheet_.empty()) sheet_.matching(elementKey(element, localName), &fromSheet_);
  else fromSheet_.clear();
  inline_.clear();
  if (const pugi::xml_attribute style = element.attribute("style")) parseDeclarations(style.value(), &inline_);
  for (const Declaration* d : fromSheet_)
    if (!d->important) ordered_.push_back(*d);
  for (const Declaration& d : inline_)
    if (!d.important) ordered_.push_back(d);
  for (const Declaration* d : fromSheet_)
    if (d->important) ordered_.push_back(*d);
  for (const Declaration& d : inline_)
    if (d.important) ordered_.push_back(d);

  // The highest declaration that parses wins; marker properties are three
  // that share one flag, so they all count.
  std::array<bool, kPropCount> done{};
  for (auto it = ordered_.rbegin(); it != ordered_.rend(); ++it) {
    const auto index = static_cast<size_t>(it->prop);
    if (done[index]) continue;
    if (apply(s, parent, *it, viewport, element)) {
      done[index] = true;
    } else {
      context_.warn(element, std::string(propertyName(it->prop)) + ": \"" + std::string(trim(it->value).substr(0, 60)) +
                                 "\" is not understood; ignored");
    }
  }
  const bool markerSet = done[static_cast<size_t>(Prop::MarkerStart)] || done[static_cast<size_t>(Prop::MarkerMid)] ||
                         done[static_cast<size_t>(Prop::MarkerEnd)];
  if (!markerSet) s.markers = parentMarkers;
  return s;
}

}  // namespace qx::host::svg
