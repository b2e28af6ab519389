#include "host/gui/art_painter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QPainter>
#include <QPen>

#include "host/document/document.h"
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

void paintPath(QPainter& painter, const host::Document& document, QxArtHandle art) {
  host::ArtInfo info;
  if (!document.describe(art, &info) || info.segments.empty() || !allFinite(info.segments)) return;
  if (outsideDevice(painter, info.bounds, info.style)) return;
  QPainterPath path;
  appendOutline(path, info.segments, info.closed);
  paintOutline(painter, path, info.style, info.opacity);
}

void paintCompound(QPainter& painter, const host::Document& document, QxArtHandle compound) {
  QxPathStyle style;
  QxReal opacity = 1;
  if (document.pathStyle(compound, &style) != QX_ERR_NONE || document.opacity(compound, &opacity) != QX_ERR_NONE)
    return;
  QPainterPath path;
  std::vector<QxPathSegment> segments;
  for (QxArtHandle child : document.children(compound)) {
    int16_t type = QX_ART_UNKNOWN;
    int16_t count = 0;
    bool closed = false;
    if (document.artType(child, &type) != QX_ERR_NONE || type != QX_ART_PATH) continue;
    if (document.segmentCount(child, &count) != QX_ERR_NONE || count <= 0) continue;
    segments.resize(static_cast<size_t>(count));
    if (document.getSegments(child, 0, count, segments.data()) != QX_ERR_NONE) continue;
    if (document.closed(child, &closed) != QX_ERR_NONE) continue;
    if (!allFinite(segments)) return;  // as the SVG output: the whole compound is left out
    appendOutline(path, segments, closed);
  }
  paintOutline(painter, path, style, opacity);
}

}  // namespace

void appendOutline(QPainterPath& path, std::span<const QxPathSegment> segments, bool closed) {
  if (segments.empty()) return;
  path.moveTo(toQt(segments[0].p));
  for (size_t i = 1; i < segments.size(); ++i)
    path.cubicTo(toQt(segments[i - 1].out), toQt(segments[i].in), toQt(segments[i].p));
  if (closed) {
    if (segments.size() > 1) path.cubicTo(toQt(segments.back().out), toQt(segments.front().in), toQt(segments.front().p));
    path.closeSubpath();
  }
}

void paintArt(QPainter& painter, const host::Document& document, QxArtHandle art) {
  int16_t type = QX_ART_UNKNOWN;
  if (document.artType(art, &type) != QX_ERR_NONE) return;
  switch (type) {
    case QX_ART_PATH: paintPath(painter, document, art); break;
    case QX_ART_COMPOUND_PATH: paintCompound(painter, document, art); break;
    case QX_ART_GROUP: {
      QxReal opacity = 1;
      (void)document.opacity(art, &opacity);
      const qreal before = painter.opacity();
      if (opacity < 1) painter.setOpacity(before * std::max<QxReal>(opacity, 0));
      for (QxArtHandle child : document.children(art)) paintArt(painter, document, child);
      painter.setOpacity(before);
      break;
    }
    default: break;  // placed, raster, symbol, mesh: nothing to draw
  }
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
