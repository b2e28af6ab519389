#include "host/io/svg_read/svg_import.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/io/art_builder.h"
#include "host/io/palette_reader.h"
#include "host/io/svg_read/svg_reader.h"

namespace qx::host {
namespace {

QxReal unitOpacity(double opacity) { return static_cast<QxReal>(std::clamp(opacity, 0.0, 1.0)); }

// The plain colour a paint shows: gradients and patterns paint with their
// first stop.
QxColor shownColor(const SvgPaint& paint) {
  return paint.color.kind == QX_COLOR_GRADIENT || paint.color.kind == QX_COLOR_PATTERN ? paint.firstStop : paint.color;
}

// The colour a path keeps: gradients and patterns keep their kind, with the
// colour they are shown with kept by the store once per gradient or pattern.
class KeptColors {
 public:
  explicit KeptColors(ArtStore& art) : art_(art) {}

  QxColor of(const SvgPaint& paint) {
    if (paint.color.kind != QX_COLOR_GRADIENT && paint.color.kind != QX_COLOR_PATTERN) return paint.color;
    QxColor kept{};
    kept.kind = paint.color.kind;
    const std::string key = (kept.kind == QX_COLOR_GRADIENT ? "g:" : "p:") + paint.ref;
    auto [it, added] = ids_.try_emplace(key, 0);
    if (added || paint.ref.empty()) it->second = art_.addShownColor(paint.firstStop);
    if (kept.kind == QX_COLOR_GRADIENT) kept.c.gradient.id = it->second;
    else kept.c.pattern.id = it->second;
    return kept;
  }

 private:
  ArtStore& art_;
  std::unordered_map<std::string, int32_t> ids_;  // by kind and the server's id
};

QxPathStyle pathStyle(const SvgStyle& s, KeptColors& colors) {
  QxPathStyle style = ArtStore::defaultStyle();
  style.fillPaint = shownColor(s.fill).kind != QX_COLOR_NONE;
  if (style.fillPaint) style.fill.color = colors.of(s.fill);
  style.strokePaint = shownColor(s.stroke).kind != QX_COLOR_NONE;
  if (style.strokePaint) style.stroke.color = colors.of(s.stroke);
  style.stroke.width = static_cast<QxReal>(s.strokeWidth);
  style.stroke.cap = s.cap;
  style.stroke.join = s.join;
  style.stroke.miterLimit = static_cast<QxReal>(s.miterLimit);
  style.stroke.dash = s.dash;
  style.evenOdd = s.evenOdd;
  return style;
}

// The document keeps one opacity an object: a paint's own opacity folds into
// it (the fill's when the object is filled, else the stroke's).
QxReal objectOpacity(const SvgNode& node) {
  double opacity = node.opacity;
  if (node.kind == SvgNodeKind::Path || node.kind == SvgNodeKind::CompoundPath) {
    const bool filled = shownColor(node.style.fill).kind != QX_COLOR_NONE;
    opacity *= filled ? node.style.fillOpacity : node.style.strokeOpacity;
  }
  return unitOpacity(opacity);
}

// Filled and stroked with different paint opacities.
bool paintsSplit(const SvgNode& node) {
  if (node.kind != SvgNodeKind::Path && node.kind != SvgNodeKind::CompoundPath) return false;
  const bool filled = shownColor(node.style.fill).kind != QX_COLOR_NONE;
  const bool stroked = shownColor(node.style.stroke).kind != QX_COLOR_NONE && node.style.strokeWidth > 0;
  return filled && stroked && node.style.fillOpacity != node.style.strokeOpacity;
}

QxPathSegment shifted(QxPathSegment s, double dx, double dy) {
  const auto x = static_cast<QxReal>(dx), y = static_cast<QxReal>(dy);
  for (QxRealPoint* p : {&s.p, &s.in, &s.out}) {
    p->x -= x;
    p->y -= y;
  }
  return s;
}

bool holdsArt(const SvgNode& node) { return node.kind == SvgNodeKind::Group || node.kind == SvgNodeKind::CompoundPath; }

// A new document with the scene's page, seed and palette; nullptr with
// *error when the page is no page.
std::unique_ptr<Document> pagedDocument(const SvgScene& scene, std::string* error) {
  // Our older files draw the page as an outline inside a larger picture.
  const double width = scene.documentPage ? scene.documentPage->width : scene.pageWidth;
  const double height = scene.documentPage ? scene.documentPage->height : scene.pageHeight;
  auto document = std::make_unique<Document>();
  if (document->setPageSize(static_cast<QxReal>(width), static_cast<QxReal>(height)) != QX_ERR_NONE) {
    *error = "the page is " + std::to_string(width) + " x " + std::to_string(height) + " points, which is no page";
    return nullptr;
  }
  if (scene.seed) document->setSeed(*scene.seed);
  if (!scene.palette.empty()) {
    std::vector<PaletteColour> palette;
    for (const SceneSwatch& s : scene.palette) palette.push_back({s.name, rgbColour(s.r, s.g, s.b)});
    document->setSwatches(paletteSwatches(palette));
  }
  return document;
}

// The scene's nodes made in order, each on top of what its parent holds so
// far (or of all art at the top level): the file's paint order. The scene
// lists a node's descendants right after it, so the containers open when a
// node comes are those around it.
class SceneImport {
 public:
  SceneImport(const SvgScene& scene, Document& document)
      : scene_(scene), document_(document), builder_(document.art()), colors_(document.art()) {
    // The outline of our older files' page has the document's origin at its corner.
    if (scene.documentPage) originX_ = scene.documentPage->x, originY_ = scene.documentPage->y;
  }

  bool run(std::string* error) {
    error_ = error;
    for (size_t i = 0; i < scene_.nodes.size(); ++i)
      if (!add(i)) return false;
    return strokeHalves();
  }

 private:
  // A node whose art holds what follows it, and how many containers it opened.
  struct Open {
    int node;
    int containers;
  };

  bool add(size_t i);
  bool closeTo(int parent, size_t child);
  Built make(const SvgNode& node, bool split);
  QxPathStyle paint(const SvgNode& node, bool split) {
    QxPathStyle style = pathStyle(node.style, colors_);
    if (split) style.strokePaint = false;
    return style;
  }
  bool strokeHalves();
  bool fail(const SvgNode& node, QxErr code) {
    *error_ = "cannot add " + (node.name.empty() ? std::string("an object") : "\"" + node.name + "\"") +
              " to the document" + (code == QX_ERR_OUT_OF_MEMORY ? ": the art budget is spent" : "");
    return false;
  }

  const SvgScene& scene_;
  Document& document_;
  ArtBuilder builder_;
  KeptColors colors_;
  double originX_ = 0, originY_ = 0;
  std::vector<Open> open_;
  std::vector<std::pair<QxArtHandle, size_t>> splits_;  // fill halves and their nodes
  std::string* error_ = nullptr;
};

bool SceneImport::add(size_t i) {
  const SvgNode& node = scene_.nodes[i];
  if (!closeTo(node.parent, i)) return fail(node, QX_ERR_BAD_PARAM);
  // A compound path's members are painted by the compound.
  const bool member = node.parent >= 0 &&
                      scene_.nodes[static_cast<size_t>(node.parent)].kind == SvgNodeKind::CompoundPath;
  // A fill and a stroke of different opacities cannot share one object's
  // opacity: the object becomes a group of the two, the fill below.
  const bool split = !member && paintsSplit(node);
  int opened = 0;
  if (split) {
    const Built group = builder_.beginGroup(unitOpacity(node.opacity));
    if (!group) return fail(node, group.code);
    if (!node.name.empty()) (void)document_.setArtName(group.art, node.name);
    ++opened;
  }
  const Built made = make(node, split);
  if (!made) return fail(node, made.code);
  if (holdsArt(node)) ++opened;
  if (opened > 0) open_.push_back({static_cast<int>(i), opened});
  if (split) {
    splits_.push_back({made.art, i});  // the name went to the group
    return true;
  }
  if (node.name.empty()) return true;
  const QxErr code = document_.setArtName(made.art, node.name);
  return code == QX_ERR_NONE || fail(node, code);
}

// Closes the containers that do not hold `parent`'s children. False when
// the parent is none that comes before the child and holds art.
bool SceneImport::closeTo(int parent, size_t child) {
  if (parent >= 0 && (static_cast<size_t>(parent) >= child || !holdsArt(scene_.nodes[static_cast<size_t>(parent)])))
    return false;
  while (!open_.empty() && open_.back().node != parent) {
    for (int k = 0; k < open_.back().containers; ++k) builder_.endContainer();
    open_.pop_back();
  }
  return parent < 0 || !open_.empty();
}

Built SceneImport::make(const SvgNode& node, bool split) {
  // A split object's fill half has the fill's opacity; the group holds the object's.
  const QxReal opacity = split ? unitOpacity(node.style.fillOpacity) : objectOpacity(node);
  switch (node.kind) {
    case SvgNodeKind::Group: return builder_.beginGroup(opacity);
    case SvgNodeKind::CompoundPath: return builder_.beginCompound(paint(node, split), opacity);
    case SvgNodeKind::Path: {
      std::vector<QxPathSegment> segments;
      if (node.subpaths.empty()) return builder_.path(paint(node, split), segments, false, opacity);
      const SvgSubpath& sub = node.subpaths.front();
      segments.reserve(sub.segments.size());
      for (const QxPathSegment& s : sub.segments) segments.push_back(shifted(s, originX_, originY_));
      return builder_.path(paint(node, split), segments, sub.closed, opacity);
    }
    case SvgNodeKind::Placed:
    case SvgNodeKind::Raster: {
      const QxRealRect box{
          static_cast<QxReal>(node.box.x - originX_), static_cast<QxReal>(node.box.y + node.box.height - originY_),
          static_cast<QxReal>(node.box.x + node.box.width - originX_), static_cast<QxReal>(node.box.y - originY_)};
      return builder_.item(node.kind == SvgNodeKind::Placed ? QX_ART_PLACED : QX_ART_RASTER, box, opacity);
    }
  }
  return Built{nullptr, QX_ERR_BAD_PARAM, ArtPart::Object};
}

// The stroke halves of split objects, made once a compound path's members
// are all in: a copy above the fill with only the stroke.
bool SceneImport::strokeHalves() {
  for (const auto& [fill, index] : splits_) {
    const SvgNode& node = scene_.nodes[index];
    QxPathStyle style = pathStyle(node.style, colors_);
    style.fillPaint = false;
    const Built stroke = builder_.copyAbove(fill, style, unitOpacity(node.style.strokeOpacity));
    if (!stroke) return fail(node, stroke.code);
  }
  return true;
}

}  // namespace

std::unique_ptr<Document> documentFromScene(const SvgScene& scene, std::string* error) {
  auto document = pagedDocument(scene, error);
  if (!document || !SceneImport(scene, *document).run(error)) return nullptr;
  return document;
}
std::unique_ptr<Document> readSvgDocument(const std::string& path, std::string* error,
                                          std::vector<std::string>* warnings) {
  SvgReadResult read = readSvgFile(path);
  if (!read.scene) {
    *error = read.error;
    return nullptr;
  }
  if (warnings) *warnings = read.scene->warnings;
  auto document = documentFromScene(*read.scene, error);
  if (!document) *error = path + ": " + *error;
  return document;
}

}  // namespace qx::host
