#include "host/io/svg_read/svg_shapes.h"

#include <algorithm>
#include <cmath>

#include "host/io/svg_read/svg_path_data.h"
#include "host/io/svg_read/svg_text.h"

namespace qx::host::svg {
namespace {

// A length attribute in user units: `fallback` when absent, nullopt (with
// *warning) when it does not parse.
std::optional<double> lengthAttribute(pugi::xml_node e, const char* name, Axis axis, const Viewport& vp,
                                      double fallback, std::string* warning) {
  const pugi::xml_attribute a = e.attribute(name);
  if (!a) return fallback;
  std::string why;
  const auto l = parseLength(a.value(), &why);
  if (!l) {
    *warning = std::string(name) + ": " + why;
    return std::nullopt;
  }
  return toUserUnits(*l, axis, vp);
}

Contour roundedRect(double x, double y, double w, double h, double rx, double ry) {
  const double kx = rx * (1 - kKappa), ky = ry * (1 - kKappa);
  Contour c;
  c.closed = true;
  const auto corner = [&](Pt p) { c.anchors.push_back({p, p, p}); };
  const auto smoothEnd = [&](Pt p, Pt in) { c.anchors.push_back({p, in, p}); };
  // Clockwise on screen from the top edge's left end; each corner is a
  // quarter ellipse, each straight edge is left out when the corners meet.
  const bool edgeX = rx * 2 < w, edgeY = ry * 2 < h;
  std::vector<Anchor>& a = c.anchors;
  const auto arc = [&](Pt out, Pt in, Pt end) {
    a.back().out = out;
    smoothEnd(end, in);
  };
  corner({x + rx, y});
  if (edgeX) corner({x + w - rx, y});
  arc({x + w - kx, y}, {x + w, y + ky}, {x + w, y + ry});
  if (edgeY) corner({x + w, y + h - ry});
  arc({x + w, y + h - ky}, {x + w - kx, y + h}, {x + w - rx, y + h});
  if (edgeX) corner({x + rx, y + h});
  arc({x + kx, y + h}, {x, y + h - ky}, {x, y + h - ry});
  if (edgeY) corner({x, y + ry});
  // The last quarter ends on the first anchor: its handle becomes that anchor's `in`.
  a.back().out = {x, y + ky};
  a.front().in = {x + kx, y};
  return c;
}

ShapeOutline points(pugi::xml_node e, bool closed) {
  ShapeOutline out;
  size_t stopped = 0;
  const std::string_view text = e.attribute("points").value();
  std::vector<double> v = parseNumberList(text, &stopped);
  if (stopped != std::string_view::npos)
    out.warning = "points: not a number at character " + std::to_string(stopped + 1) + "; drawn up to there";
  if (v.size() % 2 == 1) {
    v.pop_back();
    if (out.warning.empty()) out.warning = "points: an odd number of coordinates; the last one is left out";
  }
  if (v.size() < 4) return out;  // one point draws nothing
  Contour c;
  c.closed = closed;
  for (size_t i = 0; i + 1 < v.size(); i += 2)
    c.anchors.push_back({{v[i], v[i + 1]}, {v[i], v[i + 1]}, {v[i], v[i + 1]}});
  out.contours.push_back(std::move(c));
  return out;
}

ShapeOutline pathOutline(pugi::xml_node e, size_t maxAnchors) {
  ShapeOutline out;
  PathData d = parsePathData(e.attribute("d").value(), maxAnchors);
  out.tooLong = d.tooLong;
  out.contours = std::move(d.contours);
  if (!d.error.empty()) out.warning = "path data: " + d.error + "; drawn up to there";
  return out;
}

// rx or ry of a rect: nullopt when missing, auto or negative (the other's
// value is taken then), with *warning for one that is no radius.
std::optional<double> cornerRadius(pugi::xml_node e, const char* name, Axis axis, const Viewport& vp,
                                   std::string* warning) {
  const pugi::xml_attribute a = e.attribute(name);
  if (!a || trim(a.value()) == "auto") return std::nullopt;
  std::string why;
  const auto l = parseLength(a.value(), &why);
  if (!l || toUserUnits(*l, axis, vp) < 0) {
    *warning = std::string(name) + ": \"" + a.value() + "\" is not a radius; ignored";
    return std::nullopt;
  }
  return toUserUnits(*l, axis, vp);
}

ShapeOutline rectOutline(pugi::xml_node e, const Viewport& vp) {
  ShapeOutline out;
  std::string& w = out.warning;
  const auto x = lengthAttribute(e, "x", Axis::X, vp, 0, &w), y = lengthAttribute(e, "y", Axis::Y, vp, 0, &w);
  const auto width = lengthAttribute(e, "width", Axis::X, vp, 0, &w);
  const auto height = lengthAttribute(e, "height", Axis::Y, vp, 0, &w);
  if (!x || !y || !width || !height) return out;
  if (*width < 0 || *height < 0) {
    w = "a rectangle of negative size is not drawn";
    return out;
  }
  if (*width == 0 || *height == 0) return out;
  auto rx = cornerRadius(e, "rx", Axis::X, vp, &w), ry = cornerRadius(e, "ry", Axis::Y, vp, &w);
  if (!rx) rx = ry;
  if (!ry) ry = rx;
  const double rxc = std::min(rx.value_or(0), *width / 2), ryc = std::min(ry.value_or(0), *height / 2);
  if (rxc > 0 && ryc > 0) {
    out.contours.push_back(roundedRect(*x, *y, *width, *height, rxc, ryc));
    return out;
  }
  Contour c;
  c.closed = true;
  for (Pt p : {Pt{*x, *y}, Pt{*x + *width, *y}, Pt{*x + *width, *y + *height}, Pt{*x, *y + *height}})
    c.anchors.push_back({p, p, p});
  out.contours.push_back(std::move(c));
  return out;
}

ShapeOutline ellipseOutline(pugi::xml_node e, bool circle, const Viewport& vp) {
  ShapeOutline out;
  std::string& w = out.warning;
  const auto cx = lengthAttribute(e, "cx", Axis::X, vp, 0, &w), cy = lengthAttribute(e, "cy", Axis::Y, vp, 0, &w);
  std::optional<double> rx, ry;
  if (circle) {
    rx = ry = lengthAttribute(e, "r", Axis::Other, vp, 0, &w);
  } else {
    rx = lengthAttribute(e, "rx", Axis::X, vp, 0, &w);
    ry = lengthAttribute(e, "ry", Axis::Y, vp, 0, &w);
    // SVG 2: one of the radii may be left to the other.
    if (rx && ry && !e.attribute("rx")) rx = ry;
    if (rx && ry && !e.attribute("ry")) ry = rx;
  }
  if (!cx || !cy || !rx || !ry) return out;
  if (*rx < 0 || *ry < 0) {
    w = "a negative radius is not drawn";
    return out;
  }
  if (*rx == 0 || *ry == 0) return out;
  out.contours.push_back(ellipseContour(*cx, *cy, *rx, *ry));
  return out;
}

ShapeOutline lineOutline(pugi::xml_node e, const Viewport& vp) {
  ShapeOutline out;
  std::string& w = out.warning;
  const auto x1 = lengthAttribute(e, "x1", Axis::X, vp, 0, &w), y1 = lengthAttribute(e, "y1", Axis::Y, vp, 0, &w);
  const auto x2 = lengthAttribute(e, "x2", Axis::X, vp, 0, &w), y2 = lengthAttribute(e, "y2", Axis::Y, vp, 0, &w);
  if (!x1 || !y1 || !x2 || !y2) return out;
  Contour c;
  c.anchors = {{{*x1, *y1}, {*x1, *y1}, {*x1, *y1}}, {{*x2, *y2}, {*x2, *y2}, {*x2, *y2}}};
  out.contours.push_back(std::move(c));
  return out;
}

}  // namespace

bool isShape(std::string_view n) {
  return n == "path" || n == "rect" || n == "circle" || n == "ellipse" || n == "line" || n == "polyline" ||
         n == "polygon";
}

Contour ellipseContour(double cx, double cy, double rx, double ry) {
  const double kx = rx * kKappa, ky = ry * kKappa;
  Contour c;
  c.closed = true;
  c.anchors = {
      {{cx + rx, cy}, {cx + rx, cy - ky}, {cx + rx, cy + ky}},
      {{cx, cy + ry}, {cx + kx, cy + ry}, {cx - kx, cy + ry}},
      {{cx - rx, cy}, {cx - rx, cy + ky}, {cx - rx, cy - ky}},
      {{cx, cy - ry}, {cx - kx, cy - ry}, {cx + kx, cy - ry}},
  };
  return c;
}

ShapeOutline shapeOutline(pugi::xml_node e, std::string_view name, const Viewport& vp, size_t maxAnchors) {
  if (name == "path") return pathOutline(e, maxAnchors);
  if (name == "rect") return rectOutline(e, vp);
  if (name == "circle" || name == "ellipse") return ellipseOutline(e, name == "circle", vp);
  if (name == "line") return lineOutline(e, vp);
  if (name == "polyline" || name == "polygon") return points(e, name == "polygon");
  return {};
}

}  // namespace qx::host::svg
