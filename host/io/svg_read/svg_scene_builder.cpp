#include "host/io/svg_read/svg_scene_builder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

#include "host/io/svg_read/svg_index.h"
#include "host/io/svg_read/svg_image.h"
#include "host/io/svg_read/svg_paint_servers.h"
#include "host/io/svg_read/svg_shapes.h"
#include "host/io/svg_read/svg_skipped_features.h"
#include "host/io/svg_read/svg_style.h"
#include "host/io/svg_read/svg_units.h"
#include "host/io/svg_read/svg_viewport.h"

namespace qx::host::svg {
namespace {

// requiredExtensions names extensions; this reader has none.
bool passesConditions(pugi::xml_node e) { return !e.attribute("requiredExtensions"); }

class SceneBuilder {
 public:
  SceneBuilder(ReadContext& context, SvgScene& scene)
      : ctx_(context), scene_(scene), styles_(index_.sheet(), context) {}

  bool run(pugi::xml_node root, std::string* error);

 private:
  struct Frame {
    pugi::xml_node next;    // the next child to walk
    pugi::xml_node single;  // a use's copy: the one element to walk
    bool isSwitch = false;  // walks only the first child that qualifies
    Matrix ctm;             // children's user space to page points
    ComputedStyle style;
    Viewport viewport;
    int sceneParent = -1;
    double opacity = 1;  // effective opacity of sceneParent
    std::vector<const void*> active;
    // A use of an svg element: its size when the use gives one.
    pugi::xml_node sized;
    std::optional<double> width, height;
  };

  bool page(pugi::xml_node root, std::string* error);
  void walk();
  pugi::xml_node takeNext(Frame& f);
  void pop();
  void visit(pugi::xml_node e);
  void group(pugi::xml_node e, std::string_view name);
  void nestedSvg(pugi::xml_node e);
  void use(pugi::xml_node e);
  void image(pugi::xml_node e);
  void shape(pugi::xml_node e, std::string_view name);
  void pageOutline(pugi::xml_node e);
  bool layer(pugi::xml_node e);

  void openGroup(pugi::xml_node named, pugi::xml_node container, pugi::xml_node single, const ComputedStyle& style,
                 const Matrix& ctm, const Viewport& viewport, std::vector<const void*> active, bool isSwitch = false);
  int addNode(SvgNode&& node);
  ComputedStyle styleOf(pugi::xml_node e, std::string_view name) {
    return styles_.compute(stack_.back().style, e, name, stack_.back().viewport);
  }
  Matrix transformOf(pugi::xml_node e);
  std::optional<double> length(pugi::xml_node e, const char* attribute, Axis axis, double fallback);
  SvgStyle paintStyle(const ComputedStyle& s, const Matrix& m, pugi::xml_node e);
  // Adds `amount` to `spent`; past `limit` the file is refused, as having
  // more than that many `what`.
  bool spend(uint64_t& spent, uint64_t amount, uint64_t limit, pugi::xml_node e, const char* what);
  bool spendObjects(pugi::xml_node e, uint64_t nodes) {
    return spend(work_, nodes, ctx_.limits().maxNodes, e, "objects, counting every copy that use makes");
  }
  bool spendSegments(pugi::xml_node e, uint64_t segments) {
    return spend(segments_, segments, ctx_.limits().maxSegments, e, "path points");
  }
  bool isActive(pugi::xml_node e) const { return active_.count(e.internal_object()) > 0; }

  ReadContext& ctx_;
  SvgScene& scene_;
  SvgIndex index_;
  StyleResolver styles_;
  std::optional<PaintServers> paints_;
  std::vector<Frame> stack_;
  std::unordered_map<const void*, int> active_;  // elements being walked: a use of one is a cycle
  uint64_t work_ = 0, segments_ = 0;
  std::string error_;
  SkippedFeatures skipped_;
};

bool SceneBuilder::run(pugi::xml_node root, std::string* error) {
  if (!index_.build(root, ctx_, error)) return false;
  if (index_.localName(root) != "svg") {
    *error = ctx_.message(root, "the root element is <" + std::string(root.name()) + ">, not <svg>: not an SVG file");
    return false;
  }
  if (index_.expansionBound(root, ctx_.limits().maxNodes) > ctx_.limits().maxNodes) {
    *error = ctx_.message(root, "the drawing would have more than " + std::to_string(ctx_.limits().maxNodes) +
                                    " objects, counting every copy that use makes; the file is refused");
    return false;
  }
  scene_.seed = index_.seed;
  scene_.palette = index_.palette;
  if (!page(root, error)) return false;
  walk();
  if (!error_.empty()) {
    *error = error_;
    return false;
  }
  skipped_.report(ctx_);
  ctx_.finishWarnings();
  return true;
}

// The page in points from the root's width, height and viewBox, and the
// matrix from the root's user space to the page, y flipped to point up.
bool SceneBuilder::page(pugi::xml_node root, std::string* error) {
  const ViewBoxFit view(root, ctx_);
  if (view.empty()) {
    *error = ctx_.message(root, "the viewBox has no area, so nothing would be drawn");
    return false;
  }
  const std::optional<RootSize> size = rootSize(root, view.box(), ctx_, error);
  if (!size) return false;
  scene_.pageWidth = size->width * kPointsPerPx;
  scene_.pageHeight = size->height * kPointsPerPx;

  const Matrix flip{1, 0, 0, -1, 0, scene_.pageHeight};
  const Matrix toPoints = Matrix::scale(kPointsPerPx, kPointsPerPx);
  const FittedViewport fit = view.into(0, 0, size->width, size->height);
  const Viewport viewport = fit.viewport;
  paints_.emplace(index_, styles_, ctx_, viewport);

  Frame f;
  f.style = styles_.compute(ComputedStyle{}, root, "svg", viewport);
  if (f.style.displayNone) {
    ctx_.warn(root, "the root element has display:none; nothing is drawn");
    return true;
  }
  f.ctm = flip * toPoints * transformOf(root) * fit.matrix;
  // Quelvix's own page: its corner is the origin and the matrix a plain
  // flip, so with the layer's flip the art comes back in exactly the
  // coordinates it was written with.
  if (const std::optional<PageBox>& p = index_.page) {
    scene_.pageWidth = p->width;
    scene_.pageHeight = p->height;
    f.ctm = Matrix{1, 0, 0, -1, -p->x, p->height + p->y};
  }
  f.viewport = viewport;
  f.next = root.first_child();
  if (f.style.opacity < 1) {
    // The root is no object of its own; its opacity needs one to hang on.
    SvgNode g;
    g.name = root.attribute("id").value();
    g.opacity = g.effectiveOpacity = f.style.opacity;
    scene_.nodes.push_back(std::move(g));
    f.sceneParent = 0;
    f.opacity = f.style.opacity;
  }
  stack_.push_back(std::move(f));
  return true;
}

void SceneBuilder::walk() {
  while (!stack_.empty() && error_.empty()) {
    const pugi::xml_node e = takeNext(stack_.back());
    if (e) visit(e);
    else pop();
  }
}

pugi::xml_node SceneBuilder::takeNext(Frame& f) {
  if (f.single) {
    const pugi::xml_node n = f.single;
    f.single = {};
    return n;
  }
  while (f.next) {
    const pugi::xml_node n = f.next;
    f.next = n.next_sibling();
    if (n.type() != pugi::node_element) continue;
    if (f.isSwitch) {
      if (!passesConditions(n) || index_.localName(n).empty()) continue;
      f.next = {};
    }
    return n;
  }
  return {};
}

void SceneBuilder::pop() {
  for (const void* a : stack_.back().active)
    if (--active_[a] == 0) active_.erase(a);
  stack_.pop_back();
}

void SceneBuilder::visit(pugi::xml_node e) {
  const std::string_view name = index_.localName(e);
  if (name.empty()) return;  // Inkscape's, Sodipodi's and other namespaces: not drawing
  if (e == index_.pageOutline) {
    pageOutline(e);
    return;
  }
  if (e == index_.quelvixLayer && layer(e)) return;
  if (!spendObjects(e, 1)) return;
  if (name == "g" || name == "a" || name == "switch") group(e, name);
  else if (name == "svg") nestedSvg(e);
  else if (name == "use") use(e);
  else if (name == "image") image(e);
  else if (isShape(name)) shape(e, name);
  else if (name == "text" || name == "tspan" || name == "textPath") skipped_.text(e);
  else if (name == "foreignObject") skipped_.foreignObject(e);
  // Everything else paints nothing where it stands: defs, symbol, paint
  // servers, clipPath, mask, marker, metadata, title, desc, style, script
  // and elements unknown to SVG, whose children are not looked at either.
}

int SceneBuilder::addNode(SvgNode&& node) {
  const Frame& p = stack_.back();
  node.parent = p.sceneParent;
  node.effectiveOpacity = p.opacity * node.opacity;
  scene_.nodes.push_back(std::move(node));
  return static_cast<int>(scene_.nodes.size() - 1);
}

void SceneBuilder::openGroup(pugi::xml_node named, pugi::xml_node container, pugi::xml_node single,
                             const ComputedStyle& style, const Matrix& ctm, const Viewport& viewport,
                             std::vector<const void*> active, bool isSwitch) {
  SvgNode g;
  g.kind = SvgNodeKind::Group;
  g.name = named.attribute("id").value();
  g.opacity = style.opacity;
  const int index = addNode(std::move(g));
  Frame f;
  f.next = container ? container.first_child() : pugi::xml_node{};
  f.single = single;
  f.isSwitch = isSwitch;
  f.ctm = ctm;
  f.style = style;
  f.viewport = viewport;
  f.sceneParent = index;
  f.opacity = scene_.nodes[static_cast<size_t>(index)].effectiveOpacity;
  for (const void* a : active) ++active_[a];
  f.active = std::move(active);
  stack_.push_back(std::move(f));
}

Matrix SceneBuilder::transformOf(pugi::xml_node e) {
  const pugi::xml_attribute a = e.attribute("transform");
  if (!a) return {};
  std::string why;
  const auto m = parseTransform(a.value(), &why);
  if (m) return *m;
  ctx_.warn(e, why + "; drawn untransformed");
  return {};
}

std::optional<double> SceneBuilder::length(pugi::xml_node e, const char* attribute, Axis axis, double fallback) {
  const pugi::xml_attribute a = e.attribute(attribute);
  if (!a) return fallback;
  std::string why;
  const auto l = parseLength(a.value(), &why);
  if (!l) {
    ctx_.warn(e, std::string(attribute) + ": " + why + "; the element is left out");
    return std::nullopt;
  }
  return toUserUnits(*l, axis, stack_.back().viewport);
}

void SceneBuilder::group(pugi::xml_node e, std::string_view name) {
  const ComputedStyle s = styleOf(e, name);
  if (s.displayNone) return;
  const Matrix m = stack_.back().ctm * transformOf(e);
  if (m.det() == 0) return;  // squashed flat: draws nothing
  skipped_.effects(e, s, false);
  openGroup(e, e, {}, s, m, stack_.back().viewport, {e.internal_object()}, name == "switch");
}

// Quelvix's own layer holds the whole drawing and is no object of the
// document: its children are read as if they stood in its place. With an
// opacity, a clip or the like (an editor's change) it stays a group.
bool SceneBuilder::layer(pugi::xml_node e) {
  const ComputedStyle s = styleOf(e, "g");
  if (s.displayNone || s.opacity != 1 || s.clipped || s.masked || s.filtered) return false;
  const Frame& p = stack_.back();
  const Matrix m = p.ctm * transformOf(e);
  if (m.det() == 0) return false;
  Frame f;
  f.next = e.first_child();
  f.ctm = m;
  f.style = s;
  f.viewport = p.viewport;
  f.sceneParent = p.sceneParent;
  f.opacity = p.opacity;
  f.active = {e.internal_object()};
  ++active_[e.internal_object()];
  stack_.push_back(std::move(f));
  return true;
}

void SceneBuilder::nestedSvg(pugi::xml_node e) {
  const ComputedStyle s = styleOf(e, "svg");
  if (s.displayNone) return;
  const Frame& p = stack_.back();
  const auto x = length(e, "x", Axis::X, 0), y = length(e, "y", Axis::Y, 0);
  auto w = length(e, "width", Axis::X, p.viewport.width), h = length(e, "height", Axis::Y, p.viewport.height);
  if (p.sized == e) {  // a use of this svg sets its size
    if (p.width) w = p.width;
    if (p.height) h = p.height;
  }
  if (!x || !y || !w || !h || !(*w > 0) || !(*h > 0)) return;
  const ViewBoxFit view(e, ctx_);
  if (view.empty()) return;
  const FittedViewport fit = view.into(*x, *y, *w, *h);
  skipped_.effects(e, s, false);
  openGroup(e, e, {}, s, p.ctm * transformOf(e) * fit.matrix, fit.viewport, {e.internal_object()});
}

// A use is expanded: the element it names is walked again in the use's
// place, as a group carrying the use's transform, position and style.
void SceneBuilder::use(pugi::xml_node e) {
  const ComputedStyle s = styleOf(e, "use");
  if (s.displayNone) return;
  const std::string_view href = trim(SvgIndex::href(e));
  if (href.empty()) {
    ctx_.warn(e, "use without href copies nothing");
    return;
  }
  if (href[0] != '#') {
    ctx_.warn(e, "use of \"" + std::string(href.substr(0, 80)) + "\" in another file is not imported");
    return;
  }
  const pugi::xml_node target = index_.byId(href.substr(1));
  if (!target) {
    ctx_.warn(e, "use of \"" + std::string(href.substr(0, 80)) + "\", which is not in the file");
    return;
  }
  if (target == e || isActive(target) || isActive(e)) {
    ctx_.warn(e, "use of \"" + std::string(href.substr(0, 80)) + "\" would copy itself; left out");
    return;
  }
  const auto x = length(e, "x", Axis::X, 0), y = length(e, "y", Axis::Y, 0);
  if (!x || !y) return;
  const Frame& p = stack_.back();
  const Matrix m = p.ctm * transformOf(e) * Matrix::translate(*x, *y);
  if (m.det() == 0) return;
  skipped_.effects(e, s, false);
  const std::string_view targetName = index_.localName(target);
  const std::vector<const void*> active{e.internal_object(), target.internal_object()};

  if (targetName == "symbol") {
    // The symbol is the group's content; its viewBox maps onto the use's size.
    ComputedStyle ss = styles_.compute(s, target, "symbol", p.viewport);
    if (ss.displayNone) return;
    const auto w = length(e, "width", Axis::X, p.viewport.width), h = length(e, "height", Axis::Y, p.viewport.height);
    if (!w || !h || !(*w > 0) || !(*h > 0)) return;
    const ViewBoxFit view(target, ctx_);
    if (view.empty()) return;
    const FittedViewport fit = view.into(0, 0, *w, *h);
    ss.opacity *= s.opacity;  // the use and the symbol make one group here
    openGroup(e, target, {}, ss, m * fit.matrix, fit.viewport, active);
    return;
  }
  const Viewport viewport = p.viewport;
  openGroup(e, {}, target, s, m, viewport, active);
  if (targetName == "svg") {
    Frame& f = stack_.back();
    f.sized = target;
    if (e.attribute("width")) f.width = length(e, "width", Axis::X, 0);
    if (e.attribute("height")) f.height = length(e, "height", Axis::Y, 0);
  }
}

void SceneBuilder::image(pugi::xml_node e) {
  const ComputedStyle s = styleOf(e, "image");
  if (s.displayNone || !s.visible) return;
  if (!e.attribute("width") || !e.attribute("height")) {
    ctx_.warn(e, "an image without width and height is not imported (its size would come from the picture)");
    return;
  }
  const auto x = length(e, "x", Axis::X, 0), y = length(e, "y", Axis::Y, 0);
  const auto w = length(e, "width", Axis::X, 0), h = length(e, "height", Axis::Y, 0);
  if (!x || !y || !w || !h || !(*w > 0) || !(*h > 0)) return;
  const std::string_view href = trim(SvgIndex::href(e));
  if (href.empty()) {
    ctx_.warn(e, "an image without href is not imported");
    return;
  }
  const Matrix m = stack_.back().ctm * transformOf(e);
  SvgNode node;
  const Pt corners[4] = {m.apply({*x, *y}), m.apply({*x + *w, *y}), m.apply({*x + *w, *y + *h}),
                         m.apply({*x, *y + *h})};
  double left = corners[0].x, right = left, bottom = corners[0].y, top = bottom;
  for (int i = 0; i < 4; ++i) {
    const Pt c = corners[i];
    if (!std::isfinite(c.x) || !std::isfinite(c.y) || std::fabs(c.x) > 1e15 || std::fabs(c.y) > 1e15) {
      ctx_.warn(e, "the image's frame lies beyond 1e15 points; not imported");
      return;
    }
    node.corners[static_cast<size_t>(i)] = {static_cast<QxReal>(c.x), static_cast<QxReal>(c.y)};
    left = std::min(left, c.x), right = std::max(right, c.x), bottom = std::min(bottom, c.y), top = std::max(top, c.y);
  }
  node.box = {left, bottom, right - left, top - bottom};
  std::string why;
  if (!readImageSource(href, &node, &why)) {
    ctx_.warn(e, why + "; not imported");
    return;
  }
  skipped_.effects(e, s, false);
  node.name = e.attribute("id").value();
  node.opacity = s.opacity;
  node.fit = std::string(trim(e.attribute("preserveAspectRatio").value()));
  addNode(std::move(node));
}

void SceneBuilder::shape(pugi::xml_node e, std::string_view name) {
  const ComputedStyle s = styleOf(e, name);
  if (s.displayNone) return;
  const uint64_t room = ctx_.limits().maxSegments - std::min(segments_, ctx_.limits().maxSegments);
  ShapeOutline outline = shapeOutline(e, name, stack_.back().viewport, static_cast<size_t>(room));
  if (outline.tooLong) {
    spendSegments(e, room + 1);
    return;
  }
  if (!outline.warning.empty()) ctx_.warn(e, outline.warning);
  if (!s.visible || outline.contours.empty()) return;
  const Matrix m = stack_.back().ctm * transformOf(e);
  if (m.det() == 0) return;
  std::vector<SvgSubpath> subpaths;
  std::string why;
  if (!toSubpaths(outline.contours, m, &subpaths, &why)) {
    ctx_.warn(e, why + "; the element is left out");
    return;
  }
  uint64_t points = 0;
  for (const SvgSubpath& sp : subpaths) points += sp.segments.size();
  if (!spendSegments(e, points)) return;
  skipped_.effects(e, s, name == "path" || name == "line" || name == "polyline" || name == "polygon");

  SvgNode node;
  node.name = e.attribute("id").value();
  node.opacity = s.opacity;
  node.style = paintStyle(s, m, e);
  if (!(node.style.strokeWidth <= 1e15)) {
    ctx_.warn(e, "the stroke width is not finite or beyond 1e15 points; the element is left out");
    return;
  }
  if (subpaths.size() == 1) {
    node.kind = SvgNodeKind::Path;
    node.subpaths = std::move(subpaths);
    addNode(std::move(node));
    return;
  }
  if (!spendObjects(e, subpaths.size())) return;
  node.kind = SvgNodeKind::CompoundPath;
  const SvgStyle style = node.style;
  const int compound = addNode(std::move(node));
  const double opacity = scene_.nodes[static_cast<size_t>(compound)].effectiveOpacity;
  for (SvgSubpath& sp : subpaths) {
    SvgNode member;
    member.kind = SvgNodeKind::Path;
    member.parent = compound;
    member.style = style;
    member.effectiveOpacity = opacity;
    member.subpaths.push_back(std::move(sp));
    scene_.nodes.push_back(std::move(member));
  }
}

void SceneBuilder::pageOutline(pugi::xml_node e) {
  const ShapeOutline outline = shapeOutline(e, "rect", stack_.back().viewport);
  const Matrix m = stack_.back().ctm * transformOf(e);
  if (outline.contours.empty()) return;
  double left = std::numeric_limits<double>::infinity(), right = -left, bottom = left, top = -left;
  for (const Anchor& a : outline.contours.front().anchors) {
    const Pt p = m.apply(a.p);
    left = std::min(left, p.x), right = std::max(right, p.x), bottom = std::min(bottom, p.y), top = std::max(top, p.y);
  }
  if (std::isfinite(left) && std::isfinite(right) && std::isfinite(bottom) && std::isfinite(top))
    scene_.documentPage = SceneBox{left, bottom, right - left, top - bottom};
}

SvgStyle SceneBuilder::paintStyle(const ComputedStyle& s, const Matrix& m, pugi::xml_node e) {
  SvgStyle out;
  double fillAlpha = s.fillOpacity, strokeAlpha = s.strokeOpacity;
  out.fill = paints_->resolve(s.fill, s, &fillAlpha, e, "fill");
  out.stroke = paints_->resolve(s.stroke, s, &strokeAlpha, e, "stroke");
  out.fillOpacity = fillAlpha;
  out.strokeOpacity = strokeAlpha;
  // A non-scaling stroke keeps its width on screen: only px to points applies.
  const double scale = s.nonScalingStroke ? kPointsPerPx : std::sqrt(std::fabs(m.det()));
  out.strokeWidth = s.strokeWidth * scale;
  out.cap = s.cap;
  out.join = s.join;
  out.miterLimit = s.miterLimit;
  out.evenOdd = s.evenOdd;
  // Within what a 32-bit real holds; the width itself is checked by the caller.
  const auto real = [](double v) { return static_cast<QxReal>(std::clamp(v, -1e15, 1e15)); };
  out.dash.length = s.dashCount;
  for (int i = 0; i < s.dashCount; ++i) out.dash.array[i] = real(s.dash[static_cast<size_t>(i)] * scale);
  out.dash.offset = s.dashCount > 0 ? real(s.dashOffset * scale) : 0;
  return out;
}

bool SceneBuilder::spend(uint64_t& spent, uint64_t amount, uint64_t limit, pugi::xml_node e, const char* what) {
  spent += amount;
  if (spent <= limit) return true;
  error_ = ctx_.message(e, "the drawing has more than " + std::to_string(limit) + " " + what + "; the file is refused");
  return false;
}

}  // namespace

bool buildScene(pugi::xml_node root, ReadContext& context, SvgScene* scene, std::string* error) {
  SceneBuilder builder(context, *scene);
  return builder.run(root, error);
}

}  // namespace qx::host::svg
