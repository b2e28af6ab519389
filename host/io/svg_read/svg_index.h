// An index of the parsed XML, made in one pass before anything is drawn:
// nesting depth, ids, namespaces, <style> sheets and the marks Quelvix's own
// writer leaves (its metadata, its page, its layer, and the page outline of
// older files). Not the host's Document: the reader's view of the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "host/io/svg_read/svg_read_context.h"
#include "host/io/svg_read/svg_css.h"
#include "host/io/svg_read/svg_scene.h"

namespace qx::host::svg {

constexpr std::string_view kSvgNamespace = "http://www.w3.org/2000/svg";
constexpr std::string_view kQuelvixNamespace = "urn:quelvix:document";
constexpr std::string_view kInkscapeNamespace = "http://www.inkscape.org/namespaces/inkscape";
constexpr std::string_view kSodipodiNamespace = "http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd";

// The page Quelvix writes as page metadata, in the root's user units.
struct PageBox {
  double x = 0, y = 0, width = 0, height = 0;
};

class SvgIndex {
 public:
  // False, with *error, for nesting deeper than the limit.
  bool build(pugi::xml_node root, ReadContext& context, std::string* error);

  // The element's name within SVG ("rect", also for "svg:rect"); empty for
  // elements of other namespaces (Inkscape's, Sodipodi's, XHTML...).
  std::string_view localName(pugi::xml_node e) const;

  // The first element with the id, or a null node.
  pugi::xml_node byId(std::string_view id) const;
  // href, else xlink:href, as written.
  static std::string_view href(pugi::xml_node e);
  // The element a "#id" href names; null for none or another file.
  pugi::xml_node hrefTarget(pugi::xml_node e) const;

  const StyleSheet& sheet() const { return sheet_; }

  // How many objects the walk from `root` can make at most, every use copy
  // counted, up to `cap` (more answers cap + 1). Lets a file that expands
  // exponentially through use be refused before anything is built.
  uint64_t expansionBound(pugi::xml_node root, uint64_t cap) const;

  std::optional<uint64_t> seed;      // from Quelvix's metadata
  pugi::xml_node pageOutline;        // the page rectangle of Quelvix's older files, not art
  std::optional<PageBox> page;       // Quelvix's page: the first inkscape:page of the namedview
  pugi::xml_node quelvixLayer;       // the layer Quelvix puts everything in, not a group of its own
  pugi::xml_node quelvixMetadata;    // the element the seed came from
  std::vector<SceneSwatch> palette;  // from Quelvix's metadata

 private:
  std::string_view namespaceOf(pugi::xml_node e, std::string_view prefix) const;
  void findPageOutline(pugi::xml_node root);
  void findPageAndLayer(pugi::xml_node root, ReadContext& context);
  void readPalette(pugi::xml_node metadata, ReadContext& context);

  std::unordered_map<std::string_view, pugi::xml_node> ids_;
  std::vector<pugi::xml_node> uses_;
  std::unordered_map<std::string_view, std::string_view> rootNamespaces_;  // prefix -> namespace
  bool namespacesBelowRoot_ = false;  // then prefixes are looked up element by element
  StyleSheet sheet_;
};

}  // namespace qx::host::svg
