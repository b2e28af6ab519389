#include "host/io/svg_read/svg_paint_servers.h"

#include <unordered_set>
#include <vector>

#include "host/io/svg_read/svg_shapes.h"

namespace qx::host::svg {
namespace {

constexpr int kMaxHrefHops = 64;           // gradient and pattern href chains
constexpr int kMaxPatternLookups = 10000;  // elements looked at for a pattern's colour

QxColor rgb(const Rgba& c) {
  QxColor out{};
  out.kind = QX_COLOR_RGB;
  out.c.rgb.red = static_cast<QxReal>(c.r);
  out.c.rgb.green = static_cast<QxReal>(c.g);
  out.c.rgb.blue = static_cast<QxReal>(c.b);
  return out;
}

QxColor ofKind(int32_t kind) {
  QxColor out{};
  out.kind = kind;
  return out;
}

bool isGradient(std::string_view n) { return n == "linearGradient" || n == "radialGradient"; }

}  // namespace

ComputedStyle PaintServers::styleInPlace(pugi::xml_node element) {
  std::vector<pugi::xml_node> chain;
  for (pugi::xml_node n = element; n && n.type() == pugi::node_element; n = n.parent()) chain.push_back(n);
  ComputedStyle s;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    s = styles_.compute(s, *it, index_.localName(*it), viewport_);
  return s;
}

std::optional<PaintServers::Stop> PaintServers::firstStop(pugi::xml_node gradient) {
  const auto cached = stops_.find(gradient.internal_object());
  if (cached != stops_.end()) return cached->second;
  std::optional<Stop> found;
  std::unordered_set<const void*> seen;
  // Stops come from the first gradient along the href chain that has any.
  for (pugi::xml_node g = gradient; g && isGradient(index_.localName(g)) && seen.size() < kMaxHrefHops;
       g = index_.hrefTarget(g)) {
    if (!seen.insert(g.internal_object()).second) break;  // a loop of hrefs
    pugi::xml_node stop;
    for (pugi::xml_node c : g.children())
      if (c.type() == pugi::node_element && index_.localName(c) == "stop") {
        stop = c;
        break;
      }
    if (!stop) continue;
    const ComputedStyle s = styleInPlace(stop);
    found = Stop{s.stopIsCurrentColor ? s.color : s.stopColor, 0};
    found->opacity = s.stopOpacity * found->color.a;
    break;
  }
  stops_.emplace(gradient.internal_object(), found);
  return found;
}

Rgba PaintServers::patternColor(pugi::xml_node pattern) {
  const auto cached = patterns_.find(pattern.internal_object());
  if (cached != patterns_.end()) return cached->second;
  Rgba color{0.5, 0.5, 0.5, 1};  // mid-grey when nothing inside is filled with a colour
  // The content comes from the first pattern along the href chain that has children.
  pugi::xml_node holder;
  std::unordered_set<const void*> seen;
  for (pugi::xml_node p = pattern; p && index_.localName(p) == "pattern" && seen.size() < kMaxHrefHops;
       p = index_.hrefTarget(p)) {
    if (!seen.insert(p.internal_object()).second) break;
    if (p.find_child([](pugi::xml_node c) { return c.type() == pugi::node_element; })) {
      holder = p;
      break;
    }
  }
  if (holder) {
    const ComputedStyle base = styleInPlace(holder);
    int looked = 0;
    bool done = false;
    // Depth first, in document order, through groups only.
    std::vector<std::pair<pugi::xml_node, ComputedStyle>> work;
    for (pugi::xml_node c = holder.last_child(); c; c = c.previous_sibling()) work.push_back({c, base});
    while (!work.empty() && !done && looked++ < kMaxPatternLookups) {
      auto [node, parentStyle] = std::move(work.back());
      work.pop_back();
      if (node.type() != pugi::node_element) continue;
      const std::string_view name = index_.localName(node);
      const bool group = name == "g" || name == "a";
      if (!group && !isShape(name)) continue;
      const ComputedStyle s = styles_.compute(parentStyle, node, name, viewport_);
      if (s.displayNone) continue;
      if (group) {
        for (pugi::xml_node c = node.last_child(); c; c = c.previous_sibling()) work.push_back({c, s});
        continue;
      }
      if (s.fill.kind == PaintValue::Color || s.fill.kind == PaintValue::CurrentColor) {
        color = s.fill.kind == PaintValue::Color ? s.fill.color : s.color;
        done = true;
      } else if (s.fill.kind == PaintValue::Url) {
        const pugi::xml_node server = index_.byId(s.fill.ref);
        if (server && isGradient(index_.localName(server))) {
          if (const auto stop = firstStop(server)) {
            color = stop->color;
            done = true;
          }
        }
      }
    }
  }
  patterns_.emplace(pattern.internal_object(), color);
  return color;
}

SvgPaint PaintServers::resolve(const PaintValue& value, const ComputedStyle& style, double* alpha,
                               pugi::xml_node element, const char* property) {
  SvgPaint out;
  const auto plain = [&](const Rgba& c) {
    out.color = out.firstStop = rgb(c);
    *alpha *= c.a;
  };
  switch (value.kind) {
    case PaintValue::None: return out;
    case PaintValue::Color: plain(value.color); return out;
    case PaintValue::CurrentColor: plain(style.color); return out;
    case PaintValue::Url: break;
  }
  const pugi::xml_node server = index_.byId(value.ref);
  const std::string_view name = server ? index_.localName(server) : std::string_view{};
  if (isGradient(name)) {
    out.ref = std::string(value.ref);
    const auto stop = firstStop(server);
    if (!stop) return out;  // a gradient without stops paints nothing
    out.color = ofKind(QX_COLOR_GRADIENT);
    out.firstStop = rgb(stop->color);
    out.firstStopOpacity = stop->opacity;
    return out;
  }
  if (name == "pattern") {
    out.ref = std::string(value.ref);
    out.color = ofKind(QX_COLOR_PATTERN);
    out.firstStop = rgb(patternColor(server));
    return out;
  }
  if (value.hasFallback) {
    PaintValue fallback;
    fallback.kind = value.fallback;
    fallback.color = value.fallbackColor;
    return resolve(fallback, style, alpha, element, property);
  }
  context_.warn(element, std::string(property) + ": \"#" + std::string(value.ref) +
                             (server ? "\" is not a gradient or pattern" : "\" names no element") + "; not painted");
  return out;
}

}  // namespace qx::host::svg
