#include "host/io/svg_import.h"

#include <algorithm>
#include <cmath>

#include "host/io/palette_reader.h"
#include "host/io/svg_reader.h"

namespace qx::host {
namespace {

// The plain colour a paint shows: gradients and patterns paint with their
// first stop.
QxColor shownColor(const SvgPaint& paint) {
  return paint.color.kind == QX_COLOR_GRADIENT || paint.color.kind == QX_COLOR_PATTERN ? paint.firstStop : paint.color;
}

QxPathStyle pathStyle(const SvgStyle& s) {
  QxPathStyle style = ArtStore::defaultStyle();
  const QxColor fill = shownColor(s.fill);
  const QxColor stroke = shownColor(s.stroke);
  style.fillPaint = fill.kind != QX_COLOR_NONE;
  if (style.fillPaint) style.fill.color = fill;
  style.strokePaint = stroke.kind != QX_COLOR_NONE;
  if (style.strokePaint) style.stroke.color = stroke;
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
  // Our own files draw the page as an outline inside a larger picture; the
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
    if (QxErr code = art.newArt(type, nested ? 3 : 5, nested ? made[node.parent] : nullptr, &handle))
      return fail(node, code);
    made[i] = handle;
    QxErr code = QX_ERR_NONE;
    if (node.kind == SvgNodeKind::Path || node.kind == SvgNodeKind::CompoundPath)
      code = art.setPathStyle(handle, pathStyle(node.style));
    if (!code && node.kind == SvgNodeKind::Path && !node.subpaths.empty()) {
      const SvgSubpath& sub = node.subpaths.front();
      std::vector<QxPathSegment> segments;
      segments.reserve(sub.segments.size());
      for (const QxPathSegment& s : sub.segments) segments.push_back(shifted(s, originX, originY));
      code = art.setSegments(handle, 0, static_cast<int32_t>(segments.size()), segments.data());
      if (!code) code = art.setClosed(handle, sub.closed);
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
