#include "host/gui/art_selection.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_set>

#include <QPainterPath>
#include <QPainterPathStroker>

#include "host/document/art_store.h"
#include "host/document/art_walk.h"
#include "host/paint/outline_paint.h"

namespace qx::gui {
namespace {

QRectF boundsRect(const QxRealRect& b) {
  return QRectF(QPointF(std::min(b.left, b.right), std::min(b.bottom, b.top)),
                QPointF(std::max(b.left, b.right), std::max(b.bottom, b.top)));
}

bool finiteRect(const QRectF& r) {
  return std::isfinite(r.left()) && std::isfinite(r.right()) && std::isfinite(r.top()) && std::isfinite(r.bottom());
}

// How far paint reaches past the outline: half the stroke, with room for a
// miter or a square cap.
double paintReach(const QxPathStyle& style) {
  if (!style.strokePaint || !std::isfinite(style.stroke.width) || !(style.stroke.width > 0)) return 0;
  double stretch = std::sqrt(2.0);
  if (style.stroke.join == QX_JOIN_MITER && std::isfinite(style.stroke.miterLimit))
    stretch = std::max<double>(stretch, style.stroke.miterLimit);
  return style.stroke.width / 2 * stretch;
}

// Whether `outline` painted with `style` covers `point`, give or take
// `tolerance`. Unpainted outlines are still found near their line, so an
// invisible shape can be picked up and deleted.
bool outlineHit(const QPainterPath& outline, const QxPathStyle& style, QPointF point, double tolerance) {
  if (outline.isEmpty()) return false;
  if (style.fillPaint) {
    QPainterPath filled = outline;
    filled.setFillRule(style.evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
    if (filled.contains(point)) return true;
  }
  const bool stroked = style.strokePaint && std::isfinite(style.stroke.width) && style.stroke.width > 0;
  QPainterPathStroker stroker;
  stroker.setWidth((stroked ? style.stroke.width : 0) + 2 * tolerance);
  stroker.setCapStyle(stroked && style.stroke.cap == QX_CAP_ROUND    ? Qt::RoundCap
                      : stroked && style.stroke.cap == QX_CAP_SQUARE ? Qt::SquareCap
                                                                     : Qt::FlatCap);
  stroker.setJoinStyle(Qt::RoundJoin);
  return stroker.createStroke(outline).contains(point);
}

// Whether the object's box, widened by how far its paint reaches, holds the point.
bool nearBox(const host::ArtView& object, const QxPathStyle& style, QPointF point, double tolerance) {
  const double reach = (object.hasStyle() ? paintReach(style) : 0) + tolerance;
  const QRectF box = boundsRect(object.bounds()).adjusted(-reach, -reach, reach, reach);
  return finiteRect(box) && box.contains(point);
}

// One object without members to visit: a path by its outline, placed,
// raster and symbol art by its box.
bool leafHit(const host::ArtView& object, QPointF point, double tolerance) {
  const QxPathStyle style = object.style();
  if (!nearBox(object, style, point, tolerance)) return false;
  if (object.type != QX_ART_PATH) return true;  // its box is its shape
  QPainterPath outline;
  paint::appendOutline(outline, object.segments, object.closed);
  return outlineHit(outline, style, point, tolerance);
}

// A compound path's members together make one outline, so a hole is a hole.
// The walk is at the compound path's enter step; it is left at its leave.
bool compoundHit(const host::ArtView& compound, host::ArtWalk& walk, QPointF point, double tolerance) {
  const QxPathStyle style = compound.style();
  if (!nearBox(compound, style, point, tolerance)) {
    walk.skipToLeave();
    return false;
  }
  QPainterPath outline;
  host::ArtStep step;
  while (walk.next(&step) && step.kind != host::ArtStep::kLeave)
    if (step.kind == host::ArtStep::kArt && step.type == QX_ART_PATH)
      paint::appendOutline(outline, step.view.segments, step.view.closed);
  return outlineHit(outline, style, point, tolerance);
}

// Whether any part of one object covers the point. The object is walked, not
// recursed into, so a group nested a hundred thousand deep is no danger;
// each member is tried against its own box, which is what keeps the test
// quick (a group's box would cost a pass over everything inside it).
bool objectHit(const host::ArtStore& art, QxArtHandle object, QPointF point, double tolerance) {
  host::ArtWalk walk(art, object);
  host::ArtStep step;
  while (walk.next(&step)) {
    if (step.kind == host::ArtStep::kArt && leafHit(step.view, point, tolerance)) return true;
    if (step.kind == host::ArtStep::kEnter && step.type == QX_ART_COMPOUND_PATH &&
        compoundHit(step.view, walk, point, tolerance))
      return true;
  }
  return false;
}

}  // namespace

QxArtHandle artAt(const host::ArtStore& art, QxRealPoint point, double tolerance) {
  const QPointF p(point.x, point.y);
  const std::vector<QxArtHandle> top = art.topLevelArt();
  for (auto it = top.rbegin(); it != top.rend(); ++it)
    if (objectHit(art, *it, p, tolerance)) return *it;
  return nullptr;
}

std::vector<QxArtHandle> artTouching(const host::ArtStore& art, const QRectF& area) {
  const QRectF want = area.normalized();
  std::vector<QxArtHandle> found;
  for (QxArtHandle object : art.topLevelArt()) {
    QxRealRect b{};
    if (art.bounds(object, &b) != QX_ERR_NONE) continue;
    const QRectF box = boundsRect(b);
    if (!finiteRect(box)) continue;
    // A point-thin box still meets the area it lies in.
    if (box.left() <= want.right() && box.right() >= want.left() && box.top() <= want.bottom() &&
        box.bottom() >= want.top())
      found.push_back(object);
  }
  return found;
}

}  // namespace qx::gui
