#include "host/paint/outline_paint.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <QPainter>

#include "host/io/color_convert.h"
#include "host/paint/outline_clip.h"
#include "host/paint/stroke_reach.h"

namespace qx::paint {
namespace {

QPointF toQt(const QxRealPoint& p) { return {p.x, p.y}; }

bool finitePoint(const QxRealPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

std::optional<QColor> screenColor(const QxColor& color) {
  auto c = host::toSrgb8(color);
  if (!c) return std::nullopt;
  return QColor(c->r, c->g, c->b);
}

// A piece whose handles sit on its ends is straight: a line, which a PDF
// keeps as a line and the stroker draws faster than a curve.
void appendPiece(QPainterPath& path, const QxPathSegment& from, const QxPathSegment& to) {
  const bool straight = from.out.x == from.p.x && from.out.y == from.p.y && to.in.x == to.p.x && to.in.y == to.p.y;
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

QTransform artworkToDevice(QxRealPoint origin, double scale) {
  return QTransform(scale, 0, 0, -scale, -origin.x * scale, origin.y * scale);
}

bool allFinite(std::span<const QxPathSegment> segments) {
  for (const QxPathSegment& s : segments)
    if (!finitePoint(s.p) || !finitePoint(s.in) || !finitePoint(s.out)) return false;
  return true;
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

void paintOutline(QPainter& painter, QPainterPath& path, const QxPathStyle& style, QxReal opacity, Layer layer) {
  if (path.isEmpty()) return;
  path.setFillRule(style.evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
  const qreal before = painter.opacity();
  if (opacity < 1) painter.setOpacity(before * std::max<QxReal>(opacity, 0));
  if (layer == Layer::kUnder) {
    const QPen pen = strokePen(style);
    if (pen.style() != Qt::NoPen) painter.strokePath(path, pen);
    const QBrush brush = fillBrush(style);
    if (brush.style() != Qt::NoBrush) painter.fillPath(path, brush);
  } else {
    painter.setBrush(fillBrush(style));
    painter.setPen(strokePen(style));
    painter.drawPath(path);
  }
  painter.setOpacity(before);
}

void paintClipped(QPainter& painter, const ClippedOutline& outline, const QxPathStyle& style, QxReal opacity,
                  Layer layer) {
  const qreal before = painter.opacity();
  if (opacity < 1) painter.setOpacity(before * std::max<QxReal>(opacity, 0));
  const QBrush brush = fillBrush(style);
  const auto fill = [&] {
    if (brush.style() == Qt::NoBrush) return;
    QPainterPath area = outline.fill();
    area.setFillRule(style.evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
    painter.fillPath(area, brush);
  };
  if (layer == Layer::kOver) fill();
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
  if (layer == Layer::kUnder) fill();
  painter.setOpacity(before);
}

// Skipping paths off the device is what makes a magnified view of a heavy
// drawing quick: most of it lies outside.
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

QRectF shownArea(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  bool invertible = false;
  const QTransform toArtwork = painter.transform().inverted(&invertible);
  if (!device || !invertible) return {};
  const qreal dpr = device->devicePixelRatioF();
  return toArtwork.mapRect(QRectF(0, 0, device->width() / dpr, device->height() / dpr).adjusted(-2, -2, 2, 2));
}

QRectF nearArea(const QRectF& shown, double reach) {
  return shown.isEmpty() ? QRectF() : shown.adjusted(-reach, -reach, reach, reach);
}

QRectF boxOf(const QxRealRect& bounds, double reach) {
  return QRectF(QPointF(std::min(bounds.left, bounds.right) - reach, std::min(bounds.bottom, bounds.top) - reach),
                QPointF(std::max(bounds.left, bounds.right) + reach, std::max(bounds.bottom, bounds.top) + reach));
}

}  // namespace qx::paint
