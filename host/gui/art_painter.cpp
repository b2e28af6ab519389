#include "host/gui/art_painter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QElapsedTimer>
#include <QPainter>
#include <QPen>

#include "host/document/document.h"
#include "host/gui/outline_clip.h"
#include "host/io/color_convert.h"

namespace qx::gui {
namespace {

QPointF toQt(const QxRealPoint& p) { return {p.x, p.y}; }

bool finitePoint(const QxRealPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

bool allFinite(std::span<const QxPathSegment> segments) {
  for (const QxPathSegment& s : segments)
    if (!finitePoint(s.p) || !finitePoint(s.in) || !finitePoint(s.out)) return false;
  return true;
}

std::optional<QColor> screenColor(const QxColor& color) {
  auto c = host::toSrgb8(color);
  if (!c) return std::nullopt;
  return QColor(c->r, c->g, c->b);
}

QPen strokePen(const QxPathStyle& style) {
  const QxStrokeStyle& s = style.stroke;
  if (!style.strokePaint || !std::isfinite(s.width) || !(s.width > 0)) return Qt::NoPen;
  auto color = screenColor(s.color);
  if (!color) return Qt::NoPen;
  QPen pen(*color, s.width);
  pen.setCapStyle(s.cap == QX_CAP_ROUND ? Qt::RoundCap : s.cap == QX_CAP_SQUARE ? Qt::SquareCap : Qt::FlatCap);
  pen.setJoinStyle(s.join == QX_JOIN_ROUND   ? Qt::RoundJoin
                   : s.join == QX_JOIN_BEVEL ? Qt::BevelJoin
                                             : Qt::SvgMiterJoin);
  if (std::isfinite(s.miterLimit)) pen.setMiterLimit(std::max<double>(s.miterLimit, 1.0));
  if (s.dash.length > 0 && s.dash.length <= QX_DASH_MAX) {
    // Qt measures dashes in pen widths; the document in points.
    QList<qreal> pattern;
    bool usable = true;
    for (int i = 0; i < s.dash.length; ++i) {
      const double v = s.dash.array[i];
      if (!std::isfinite(v) || v < 0) usable = false;
      pattern.append(v / s.width);
    }
    if (pattern.size() % 2 == 1) pattern.append(pattern);  // an odd list repeats, as in SVG
    if (usable) {
      pen.setDashPattern(pattern);
      if (std::isfinite(s.dash.offset)) pen.setDashOffset(s.dash.offset / s.width);
    }
  }
  return pen;
}

QBrush fillBrush(const QxPathStyle& style) {
  if (!style.fillPaint) return Qt::NoBrush;
  auto color = screenColor(style.fill.color);
  return color ? QBrush(*color) : QBrush(Qt::NoBrush);
}

void paintOutline(QPainter& painter, QPainterPath& path, const QxPathStyle& style, QxReal opacity) {
  if (path.isEmpty()) return;
  path.setFillRule(style.evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
  const qreal before = painter.opacity();
  if (opacity < 1) painter.setOpacity(before * std::max<QxReal>(opacity, 0));
  painter.setBrush(fillBrush(style));
  painter.setPen(strokePen(style));
  painter.drawPath(path);
  painter.setOpacity(before);
}

// How far paint can reach beyond a path's outline, in points: half the
// stroke, stretched by a miter or a square cap's corner.
double strokeReach(const QxPathStyle& style) {
  const QxStrokeStyle& s = style.stroke;
  if (!style.strokePaint || !std::isfinite(s.width) || !(s.width > 0)) return 0;
  double stretch = std::sqrt(2.0);
  if (s.join != QX_JOIN_ROUND && s.join != QX_JOIN_BEVEL && std::isfinite(s.miterLimit))
    stretch = std::max<double>(stretch, s.miterLimit);
  return s.width / 2 * stretch;
}

// True when nothing of a path with these bounds and style can land on the
// painter's device. Skipping such paths is what makes a magnified view of a
// heavy drawing quick: most of it lies outside.
bool outsideDevice(const QPainter& painter, const QxRealRect& bounds, const QxPathStyle& style) {
  const QPaintDevice* device = painter.device();
  if (!device) return false;
  const double reach = strokeReach(style);
  const QRectF art(QPointF(std::min(bounds.left, bounds.right) - reach, std::min(bounds.bottom, bounds.top) - reach),
                   QPointF(std::max(bounds.left, bounds.right) + reach, std::max(bounds.bottom, bounds.top) + reach));
  if (!std::isfinite(art.left()) || !std::isfinite(art.right()) || !std::isfinite(art.top()) ||
      !std::isfinite(art.bottom()))
    return false;
  // A pixel to spare for antialiasing.
  const QRectF onDevice = painter.transform().mapRect(art).adjusted(-1, -1, 1, 1);
  const qreal dpr = device->devicePixelRatioF();
  return !onDevice.intersects(QRectF(0, 0, device->width() / dpr, device->height() / dpr));
}

// The part of the plane the painter's device shows, in artwork units, with
// two pixels to spare. Empty when the painter has no device or its transform
// cannot be inverted.
QRectF shownArea(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  bool invertible = false;
  const QTransform toArtwork = painter.transform().inverted(&invertible);
  if (!device || !invertible) return {};
  const qreal dpr = device->devicePixelRatioF();
  return toArtwork.mapRect(QRectF(0, 0, device->width() / dpr, device->height() / dpr).adjusted(-2, -2, 2, 2));
}

// Where paint reaching `reach` beyond an outline can come from to show.
QRectF nearArea(const QRectF& shown, double reach) {
  return shown.isEmpty() ? QRectF() : shown.adjusted(-reach, -reach, reach, reach);
}

QRectF boxOf(const QxRealRect& bounds, double reach) {
  return QRectF(QPointF(std::min(bounds.left, bounds.right) - reach, std::min(bounds.bottom, bounds.top) - reach),
                QPointF(std::max(bounds.left, bounds.right) + reach, std::max(bounds.bottom, bounds.top) + reach));
}

// Paints an outline cut to the device: the fill, then each stretch of the
// stroke, as drawPath paints a whole one.
void paintClipped(QPainter& painter, const ClippedOutline& outline, const QxPathStyle& style, QxReal opacity) {
  const qreal before = painter.opacity();
  if (opacity < 1) painter.setOpacity(before * std::max<QxReal>(opacity, 0));
  const QBrush brush = fillBrush(style);
  if (brush.style() != Qt::NoBrush) {
    QPainterPath fill = outline.fill();
    fill.setFillRule(style.evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
    painter.fillPath(fill, brush);
  }
  QPen pen = strokePen(style);
  if (pen.style() != Qt::NoPen) {
    if (pen.style() == Qt::CustomDashLine) {
      // Each stretch starts its dashes where the whole outline has them.
      const qreal offset = pen.dashOffset();
      for (const ClippedOutline::Run& run : outline.strokeRuns()) {
        pen.setDashOffset(offset + run.start / pen.widthF());
        painter.strokePath(run.path, pen);
      }
    } else {
      QPainterPath all;
      for (const ClippedOutline::Run& run : outline.strokeRuns()) all.addPath(run.path);
      painter.strokePath(all, pen);
    }
  }
  painter.setOpacity(before);
}

}  // namespace

namespace {

// A piece whose handles sit on its ends is straight: a line, which a PDF
// keeps as a line and the stroker draws faster than a curve.
void appendPiece(QPainterPath& path, const QxPathSegment& from, const QxPathSegment& to) {
  const bool straight =
      from.out.x == from.p.x && from.out.y == from.p.y && to.in.x == to.p.x && to.in.y == to.p.y;
  if (straight) path.lineTo(toQt(to.p));
  else path.cubicTo(toQt(from.out), toQt(to.in), toQt(to.p));
}

}  // namespace

void appendOutline(QPainterPath& path, std::span<const QxPathSegment> segments, bool closed) {
  if (segments.empty()) return;
  path.moveTo(toQt(segments[0].p));
  for (size_t i = 1; i < segments.size(); ++i) appendPiece(path, segments[i - 1], segments[i]);
  if (closed) {
    if (segments.size() > 1) appendPiece(path, segments.back(), segments.front());
    path.closeSubpath();
  }
}

ArtPainter::ArtPainter(const host::ArtStore& art) : art_(art), walk_(art) {}

bool ArtPainter::paint(QPainter& painter, qint64 budgetMs) {
  base_ = painter.opacity();
  shown_ = shownArea(painter);
  if (!groupOpacity_.empty()) painter.setOpacity(groupOpacity_.back());
  QElapsedTimer slice;
  slice.start();
  host::ArtStep step;
  bool done = true;
  // The clock is read after every step: one long path can take milliseconds
  // to stroke, and reading it costs far less than any object.
  while (walk_.next(&step)) {
    switch (step.kind) {
      case host::ArtStep::kArt:
        if (step.type != QX_ART_PATH) break;  // placed, raster, symbol, mesh: nothing to draw
        if (inCompound_ && step.depth > 0) addMember(step.art);
        else paintPath(painter, step.art);
        break;
      case host::ArtStep::kEnter: enter(painter, step); break;
      case host::ArtStep::kLeave: leave(painter, step); break;
    }
    if (budgetMs >= 0 && slice.elapsed() >= budgetMs) {
      done = walk_.atEnd();
      break;
    }
  }
  painter.setOpacity(base_);
  return done && !walk_.lost();
}

void ArtPainter::enter(QPainter& painter, const host::ArtStep& step) {
  if (step.type == QX_ART_GROUP) {
    QxReal opacity = 1;
    (void)art_.opacity(step.art, &opacity);
    if (opacity < 1) painter.setOpacity(painter.opacity() * std::max<QxReal>(opacity, 0));
    groupOpacity_.push_back(painter.opacity());
    return;
  }
  // A compound path is painted at its leave step, once its members are read.
  compoundPath_ = QPainterPath();
  members_.clear();
  memberSegments_.clear();
  inCompound_ = art_.pathStyle(step.art, &compoundStyle_) == QX_ERR_NONE &&
                art_.opacity(step.art, &compoundOpacity_) == QX_ERR_NONE;
  if (!inCompound_) walk_.skipToLeave();
}

void ArtPainter::leave(QPainter& painter, const host::ArtStep& step) {
  if (step.type == QX_ART_GROUP) {
    groupOpacity_.pop_back();
    painter.setOpacity(groupOpacity_.empty() ? base_ : groupOpacity_.back());
    return;
  }
  if (inCompound_) {
    const QxPathStyle style = art_.shownStyle(compoundStyle_);
    const double reach = strokeReach(style);
    const QRectF near = nearArea(shown_, reach);
    const QRectF box = compoundPath_.controlPointRect().adjusted(-reach, -reach, reach, reach);
    if (!near.isEmpty() && !compoundPath_.isEmpty() && reachesFarBeyond(near, box)) {
      if (box.intersects(near)) {
        ClippedOutline clipped(near);
        for (const Member& m : members_)
          clipped.add(std::span<const QxPathSegment>(memberSegments_).subspan(m.offset, m.count), m.closed);
        paintClipped(painter, clipped, style, compoundOpacity_);
      }
    } else {
      paintOutline(painter, compoundPath_, style, compoundOpacity_);
    }
  }
  inCompound_ = false;
}

void ArtPainter::paintPath(QPainter& painter, QxArtHandle path) {
  host::ArtInfo info;
  if (!art_.describe(path, &info) || info.segments.empty() || !allFinite(info.segments)) return;
  if (outsideDevice(painter, info.bounds, info.style)) return;
  const QxPathStyle style = art_.shownStyle(info.style);
  const double reach = strokeReach(style);
  const QRectF near = nearArea(shown_, reach);
  if (!near.isEmpty() && reachesFarBeyond(near, boxOf(info.bounds, reach))) {
    ClippedOutline clipped(near);
    clipped.add(info.segments, info.closed);
    paintClipped(painter, clipped, style, info.opacity);
    return;
  }
  QPainterPath outline;
  appendOutline(outline, info.segments, info.closed);
  paintOutline(painter, outline, style, info.opacity);
}

void ArtPainter::addMember(QxArtHandle path) {
  int16_t count = 0;
  bool closed = false;
  if (art_.segmentCount(path, &count) != QX_ERR_NONE || count <= 0) return;
  segments_.resize(static_cast<size_t>(count));
  if (art_.getSegments(path, 0, count, segments_.data()) != QX_ERR_NONE) return;
  if (art_.closed(path, &closed) != QX_ERR_NONE) return;
  if (!allFinite(segments_)) {
    // As the SVG output: the whole compound path is left out.
    inCompound_ = false;
    walk_.skipToLeave();
    return;
  }
  appendOutline(compoundPath_, segments_, closed);
  members_.push_back({memberSegments_.size(), segments_.size(), closed});
  memberSegments_.insert(memberSegments_.end(), segments_.begin(), segments_.end());
}

void paintPage(QPainter& painter, const host::Document& document) {
  const QRectF page(0, 0, document.pageWidth(), document.pageHeight());
  painter.setBrush(Qt::white);
  painter.setPen(QPen(QColor(0xa0, 0xa0, 0xa0), 0.5));
  painter.drawRect(page);
}

QTransform artworkToDevice(QxRealPoint origin, double scale) {
  return QTransform(scale, 0, 0, -scale, -origin.x * scale, origin.y * scale);
}

}  // namespace qx::gui
