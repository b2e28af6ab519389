#include "host/io/svg_read/svg_import.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>

#include "host/io/palette_reader.h"
#include "host/io/svg_read/svg_reader.h"

namespace qx::host {
namespace {

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
  return static_cast<QxReal>(std::clamp(opacity, 0.0, 1.0));
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

}  // namespace

std::unique_ptr<Document> documentFromScene(const SvgScene& scene, std::string* error) {
  // Our older files draw the page as an outline inside a larger picture; the
  // outline's corner is the document's origin.
  double originX = 0, originY = 0, width = scene.pageWidth, height = scene.pageHeight;
  if (scene.documentPage) {
    originX = scene.documentPage->x;
    originY = scene.documentPage->y;
    width = scene.documentPage->width;
    height = scene.documentPage->height;
  }
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

  ArtStore& art = document->art();
  std::vector<QxArtHandle> made(scene.nodes.size(), nullptr);
  auto fail = [&](const SvgNode& node, QxErr code) -> std::unique_ptr<Document> {
    *error = "cannot add " + (node.name.empty() ? std::string("an object") : "\"" + node.name + "\"") +
             " to the document" + (code == QX_ERR_OUT_OF_MEMORY ? ": the art budget is spent" : "");
    return nullptr;
  };
  KeptColors colors(art);
  std::vector<std::pair<QxArtHandle, size_t>> splits;  // fill halves and their nodes
  for (size_t i = 0; i < scene.nodes.size(); ++i) {
    const SvgNode& node = scene.nodes[i];
    int16_t type = QX_ART_GROUP;
    switch (node.kind) {
      case SvgNodeKind::Group: type = QX_ART_GROUP; break;
      case SvgNodeKind::Path: type = QX_ART_PATH; break;
      case SvgNodeKind::CompoundPath: type = QX_ART_COMPOUND_PATH; break;
      case SvgNodeKind::Placed: type = QX_ART_PLACED; break;
      case SvgNodeKind::Raster: type = QX_ART_RASTER; break;
    }
    // Children go on top of what their parent holds so far; top-level art on
    // top of everything: either way the file's paint order.
    const bool nested = node.parent >= 0 && static_cast<size_t>(node.parent) < i && made[node.parent];
    QxArtHandle handle = nullptr;
    // A fill and a stroke of different opacities cannot share one object's
    // opacity: the object becomes a group of the two, the fill below.
    QxArtHandle split = nullptr;
    // A compound path's members are painted by the compound.
    const bool member = nested && scene.nodes[static_cast<size_t>(node.parent)].kind == SvgNodeKind::CompoundPath;
    if (!member && paintsSplit(node)) {
      if (QxErr code = art.newArt(QX_ART_GROUP, nested ? 3 : 5, nested ? made[node.parent] : nullptr, &split))
        return fail(node, code);
      if (QxErr code = art.setOpacity(split, static_cast<QxReal>(std::clamp(node.opacity, 0.0, 1.0))))
        return fail(node, code);
      if (!node.name.empty()) (void)document->setArtName(split, node.name);
    }
    if (QxErr code = split ? art.newArt(type, 3, split, &handle)
                           : art.newArt(type, nested ? 3 : 5, nested ? made[node.parent] : nullptr, &handle))
      return fail(node, code);
    made[i] = handle;
    QxErr code = QX_ERR_NONE;
    if (node.kind == SvgNodeKind::Path || node.kind == SvgNodeKind::CompoundPath) {
      QxPathStyle style = pathStyle(node.style, colors);
      if (split) style.strokePaint = false;
      code = art.setPathStyle(handle, style);
    }
    if (!code && node.kind == SvgNodeKind::Path && !node.subpaths.empty()) {
      const SvgSubpath& sub = node.subpaths.front();
      std::vector<QxPathSegment> segments;
      segments.reserve(sub.segments.size());
      for (const QxPathSegment& s : sub.segments) segments.push_back(shifted(s, originX, originY));
      code = art.setSegments(handle, 0, static_cast<int32_t>(segments.size()), segments.data());
      if (!code) code = art.setClosed(handle, sub.closed);
    }
    if (split) {
      if (!code) code = art.setOpacity(handle, static_cast<QxReal>(std::clamp(node.style.fillOpacity, 0.0, 1.0)));
      if (code) return fail(node, code);
      splits.push_back({handle, i});
      continue;
    }
    if (!code && (node.kind == SvgNodeKind::Placed || node.kind == SvgNodeKind::Raster)) {
      const QxRealRect box{
          static_cast<QxReal>(node.box.x - originX), static_cast<QxReal>(node.box.y + node.box.height - originY),
          static_cast<QxReal>(node.box.x + node.box.width - originX), static_cast<QxReal>(node.box.y - originY)};
      code = art.setItemOutline(handle, box);
    }
    if (!code) code = art.setOpacity(handle, objectOpacity(node));
    if (!code && !node.name.empty()) code = document->setArtName(handle, node.name);
    if (code) return fail(node, code);
  }
  // The stroke halves of split objects, made once a compound path's members
  // are all in: a copy above the fill with only the stroke.
  for (const auto& [fill, index] : splits) {
    const SvgNode& node = scene.nodes[index];
    QxArtHandle stroke = nullptr;
    QxPathStyle style = pathStyle(node.style, colors);
    style.fillPaint = false;
    QxErr code = art.duplicateArt(fill, 1, fill, &stroke);
    if (!code) code = art.setPathStyle(stroke, style);
    if (!code) code = art.setOpacity(stroke, static_cast<QxReal>(std::clamp(node.style.strokeOpacity, 0.0, 1.0)));
    if (code) return fail(node, code);
  }
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
