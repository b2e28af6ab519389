#include "host/io/svg_read/svg_index.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "host/io/svg_read/svg_color.h"
#include "host/io/svg_read/svg_text.h"
#include "host/io/svg_read/svg_units.h"

namespace qx::host::svg {
namespace {

std::string_view prefixOf(std::string_view name) {
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? std::string_view{} : name.substr(0, colon);
}

std::string_view afterPrefix(std::string_view name) {
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool declaresNamespace(std::string_view attribute) {
  return attribute == "xmlns" || attribute.substr(0, 6) == "xmlns:";
}

// The text of a <style> element: its character data and CDATA sections.
std::string textOf(pugi::xml_node e) {
  std::string text;
  for (pugi::xml_node c : e.children())
    if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) text += c.value();
  return text;
}

}  // namespace

// The swatches Quelvix wrote: <qx:swatch name="..." rgb="#rrggbb"/>. One
// that is not a colour spoils the palette (half a palette would renumber
// the colours a swatch mode picks), so the default list is kept.
void SvgIndex::readPalette(pugi::xml_node metadata, ReadContext& context) {
  std::vector<SceneSwatch> found;
  for (pugi::xml_node c : metadata.children()) {
    if (c.type() != pugi::node_element || afterPrefix(c.name()) != "swatch") continue;
    const std::string_view rgb = trim(c.attribute("rgb").value());
    const std::optional<Rgba> colour = rgb.size() == 7 && rgb[0] == '#' ? parseColor(rgb) : std::nullopt;
    if (!colour) {
      context.warn(c, "the swatch colour \"" + std::string(rgb.substr(0, 30)) +
                          "\" is not #rrggbb; the drawing's palette is not used");
      return;
    }
    auto byte = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    found.push_back({c.attribute("name").value(), byte(colour->r), byte(colour->g), byte(colour->b)});
  }
  palette = std::move(found);
}

std::string_view SvgIndex::namespaceOf(pugi::xml_node e, std::string_view prefix) const {
  if (!namespacesBelowRoot_) {
    const auto it = rootNamespaces_.find(prefix);
    return it == rootNamespaces_.end() ? std::string_view{} : it->second;
  }
  const std::string attribute = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
  for (pugi::xml_node n = e; n && n.type() == pugi::node_element; n = n.parent())
    if (const pugi::xml_attribute a = n.attribute(attribute.c_str())) return a.value();
  return {};
}

std::string_view SvgIndex::localName(pugi::xml_node e) const {
  const std::string_view name = e.name();
  const std::string_view prefix = prefixOf(name);
  if (prefix.empty()) {
    // Unprefixed is SVG unless the element says otherwise; many hand-written
    // files leave out xmlns altogether.
    const pugi::xml_attribute ns = e.attribute("xmlns");
    return ns && std::string_view(ns.value()) != kSvgNamespace ? std::string_view{} : name;
  }
  return namespaceOf(e, prefix) == kSvgNamespace ? afterPrefix(name) : std::string_view{};
}

pugi::xml_node SvgIndex::byId(std::string_view id) const {
  const auto it = ids_.find(id);
  return it == ids_.end() ? pugi::xml_node{} : it->second;
}

std::string_view SvgIndex::href(pugi::xml_node e) {
  if (const pugi::xml_attribute a = e.attribute("href")) return a.value();
  return e.attribute("xlink:href").value();
}

pugi::xml_node SvgIndex::hrefTarget(pugi::xml_node e) const {
  const std::string_view h = trim(href(e));
  if (h.size() < 2 || h[0] != '#') return {};
  return byId(h.substr(1));
}

bool SvgIndex::build(pugi::xml_node root, ReadContext& context, std::string* error) {
  for (pugi::xml_attribute a : root.attributes()) {
    const std::string_view n = a.name();
    if (n == "xmlns") rootNamespaces_[""] = a.value();
    else if (n.substr(0, 6) == "xmlns:") rootNamespaces_[n.substr(6)] = a.value();
  }
  // Without recursion: a file may nest far deeper than the stack allows.
  std::vector<pugi::xml_node> styles;
  std::vector<pugi::xml_node> prefixed;
  pugi::xml_node n = root;
  int depth = 1;
  while (n) {
    if (n.type() == pugi::node_element) {
      if (depth > context.limits().maxDepth) {
        *error = context.message(n, "elements nest deeper than " + std::to_string(context.limits().maxDepth) +
                                        " levels; the file is refused");
        return false;
      }
      if (const pugi::xml_attribute id = n.attribute("id")) ids_.try_emplace(id.value(), n);
      if (n != root)
        for (pugi::xml_attribute a : n.attributes())
          if (declaresNamespace(a.name())) namespacesBelowRoot_ = true;
      const std::string_view name = n.name();
      if (!prefixOf(name).empty()) prefixed.push_back(n);
      else if (name == "style") styles.push_back(n);
      if (afterPrefix(name) == "use") uses_.push_back(n);
      if (n.first_child()) {
        n = n.first_child();
        ++depth;
        continue;
      }
    }
    while (n && n != root && !n.next_sibling()) {
      n = n.parent();
      --depth;
    }
    if (!n || n == root) break;
    n = n.next_sibling();
  }

  // Prefixes are resolved now that it is known where namespaces are declared.
  for (pugi::xml_node p : prefixed) {
    const std::string_view name = p.name();
    const std::string_view ns = namespaceOf(p, prefixOf(name));
    if (ns == kSvgNamespace && afterPrefix(name) == "style") styles.push_back(p);
    if (ns == kQuelvixNamespace && afterPrefix(name) == "document" && !quelvixMetadata) {
      quelvixMetadata = p;
      if (const pugi::xml_attribute s = p.attribute("seed")) {
        const std::string_view text = trim(s.value());
        uint64_t v = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (ec == std::errc() && end == text.data() + text.size()) seed = v;
        else context.warn(p, "the seed \"" + std::string(text.substr(0, 30)) + "\" is not a whole number; ignored");
      }
      readPalette(p, context);
    }
  }

  std::vector<std::string> unsupported;
  for (pugi::xml_node s : styles) {
    const std::string_view type = trim(s.attribute("type").value());
    if (!type.empty() && !iequals(type, "text/css")) continue;
    if (localName(s) != "style") continue;
    const size_t before = unsupported.size();
    sheet_.add(textOf(s), &unsupported);
    for (size_t i = before; i < unsupported.size(); ++i)
      context.warn(s, "the CSS selector \"" + unsupported[i] + "\" is not supported; its rule is left out");
  }
  if (quelvixMetadata) {
    findPageOutline(root);
    findPageAndLayer(root, context);
  }
  return true;
}

namespace {

uint64_t saturatingAdd(uint64_t a, uint64_t b, uint64_t cap) {
  return a > cap || b > cap - std::min(a, cap) ? cap + 1 : a + b;
}

// A path makes one object, or a compound and one per subpath; each subpath
// starts with a move or follows a close.
uint64_t pathObjects(pugi::xml_node e) {
  uint64_t starts = 0;
  for (const char* d = e.attribute("d").value(); *d; ++d)
    if (*d == 'M' || *d == 'm' || *d == 'Z' || *d == 'z') ++starts;
  return starts > 1 ? starts + 1 : 1;
}

}  // namespace

uint64_t SvgIndex::expansionBound(pugi::xml_node root, uint64_t cap) const {
  // The elements uses name, and what each one's subtree costs with its uses
  // expanded. Each subtree is counted once: a task stops at a nested target
  // and adds that target's own count, working it out first when needed.
  std::unordered_map<const void*, uint64_t> targetCost;
  for (pugi::xml_node u : uses_)
    if (const pugi::xml_node t = hrefTarget(u)) targetCost.emplace(t.internal_object(), 0);
  std::unordered_map<const void*, bool> known;  // target -> finished (false: being counted, a cycle)
  struct Task {
    pugi::xml_node top, at;
    uint64_t sum = 0;
  };
  std::vector<Task> tasks{{root, root, 0}};
  while (!tasks.empty()) {
    Task& t = tasks.back();
    pugi::xml_node n = t.at;
    bool descend = true;
    if (n.type() == pugi::node_element) {
      // A nested target counts as a whole, once it has been counted.
      const void* key = n.internal_object();
      if (n != t.top && targetCost.count(key)) {
        const auto state = known.find(key);
        if (state == known.end()) {
          known[key] = false;
          tasks.push_back({n, n, 0});
          continue;
        }
        t.sum = saturatingAdd(t.sum, state->second ? targetCost[key] : 0, cap);
        descend = false;
      } else {
        const std::string_view name = afterPrefix(n.name());
        uint64_t cost = name == "path" ? pathObjects(n) : 1;
        if (name == "use") {
          if (const pugi::xml_node target = hrefTarget(n)) {
            const void* tk = target.internal_object();
            const auto state = known.find(tk);
            if (state == known.end()) {  // count the target first, then come back here
              known[tk] = false;
              tasks.push_back({target, target, 0});
              continue;
            }
            if (state->second) cost = saturatingAdd(cost, targetCost[tk], cap);  // else a cycle, refused later
          }
        }
        t.sum = saturatingAdd(t.sum, cost, cap);
      }
    }
    // The next node of the task's subtree in document order.
    if (descend && n.first_child()) {
      t.at = n.first_child();
      continue;
    }
    while (n != t.top && !n.next_sibling()) n = n.parent();
    if (n != t.top) {
      t.at = n.next_sibling();
      continue;
    }
    const Task done = t;
    tasks.pop_back();
    targetCost[done.top.internal_object()] = done.sum;
    known[done.top.internal_object()] = true;
    if (done.sum > cap) return cap + 1;
    if (tasks.empty()) return done.sum;
  }
  return 0;
}

// Quelvix writes its page as the first inkscape:page of a sodipodi:namedview
// below the root, and its art inside one layer labelled "Quelvix", the
// root's first group. The page is used only while the root's user units are
// points (width and height in pt, the viewBox of the same size, no
// transform), as Quelvix writes it; a page that is not four numbers with a
// positive size is not used either. The root's size is the page then.
void SvgIndex::findPageAndLayer(pugi::xml_node root, ReadContext& context) {
  std::string why;
  const std::optional<ViewBox> box = parseViewBox(root.attribute("viewBox").value(), &why);
  const auto inPoints = [&](const char* name, double size) {
    const std::optional<Length> l = parseLength(root.attribute(name).value(), &why);
    return l && l->unit == Unit::Pt && l->value == size;
  };
  const bool pointUnits = box && !root.attribute("transform") && inPoints("width", box->width) &&
                          inPoints("height", box->height);
  bool groupSeen = false;
  for (pugi::xml_node c : root.children()) {
    if (c.type() != pugi::node_element) continue;
    const std::string_view name = c.name();
    if (pointUnits && !page && afterPrefix(name) == "namedview" &&
        namespaceOf(c, prefixOf(name)) == kSodipodiNamespace) {
      for (pugi::xml_node p : c.children()) {
        const std::string_view pn = p.name();
        if (p.type() != pugi::node_element || afterPrefix(pn) != "page" ||
            namespaceOf(p, prefixOf(pn)) != kInkscapeNamespace)
          continue;
        double v[4] = {};
        const char* attributes[4] = {"x", "y", "width", "height"};
        bool ok = true;
        for (int i = 0; i < 4 && ok; ++i) {
          const std::optional<double> n = parseNumber(p.attribute(attributes[i]).value());
          ok = n && std::isfinite(*n);
          if (ok) v[i] = *n;
        }
        if (ok && v[2] > 0 && v[3] > 0) page = PageBox{v[0], v[1], v[2], v[3]};
        else context.warn(p, "the page is not four numbers with a positive size; the drawing's size is the page");
        break;
      }
    }
    if (!groupSeen && localName(c) == "g") {
      groupSeen = true;
      if (std::string_view(c.attribute("inkscape:groupmode").value()) == "layer" &&
          std::string_view(c.attribute("inkscape:label").value()) == "Quelvix")
        quelvixLayer = c;
    }
  }
}

// Quelvix's older files draw the page as the first rectangle of its y-flipping group,
// with a fixed grey outline; that rectangle describes the page, it is not art.
void SvgIndex::findPageOutline(pugi::xml_node root) {
  pugi::xml_node flip = root.child("g");
  if (!flip) return;
  pugi::xml_node rect = flip.first_child();
  while (rect && rect.type() != pugi::node_element) rect = rect.next_sibling();
  if (!rect || std::string_view(rect.name()) != "rect") return;
  if (std::string_view(rect.attribute("fill").value()) == "none" &&
      std::string_view(rect.attribute("stroke").value()) == "#a0a0a0" &&
      std::string_view(rect.attribute("stroke-width").value()) == "0.5")
    pageOutline = rect;
}

}  // namespace qx::host::svg
