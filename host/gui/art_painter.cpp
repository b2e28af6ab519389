#include "host/gui/art_painter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QElapsedTimer>
#include <QPainter>
#include <QPen>

#include "host/document/document.h"
#include "host/gui/outline_clip.h"
#include "host/gui/stroke_reach.h"
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

// Top down, the stroke goes under the picture first and the fill under it.
void paintOutline(QPainter& painter, QPainterPath& path, const QxPathStyle& style, QxReal opacity, bool topDown) {
  if (path.isEmpty()) return;
  path.setFillRule(style.evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
  const qreal before = painter.opacity();
  if (opacity < 1) painter.setOpacity(before * std::max<QxReal>(opacity, 0));
  if (topDown) {
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

// Paths with fewer pieces are cheap enough to paint whole.
constexpr size_t kRunsFromPieces = 8;

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
// stroke, as drawPath paints a whole one (top down, the stroke first).
void paintClipped(QPainter& painter, const ClippedOutline& outline, const QxPathStyle& style, QxReal opacity,
                  bool topDown) {
  const qreal before = painter.opacity();
  if (opacity < 1) painter.setOpacity(before * std::max<QxReal>(opacity, 0));
  const QBrush brush = fillBrush(style);
  const auto fill = [&] {
    if (brush.style() == Qt::NoBrush) return;
    QPainterPath area = outline.fill();
    area.setFillRule(style.evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
    painter.fillPath(area, brush);
  };
  if (!topDown) fill();
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
  if (topDown) fill();
  painter.setOpacity(before);
}

}  // namespace

namespace {

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

ArtPainter::ArtPainter(const host::ArtStore& art, host::ArtWalk::Order order)
    : art_(art), walk_(art, order), topDown_(order == host::ArtWalk::Order::kTopDown) {}

bool ArtPainter::paint(QPainter& painter, qint64 budgetMs) {
  base_ = painter.opacity();
  shown_ = shownArea(painter);
  if (topDown_) {
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
    QPaintDevice* device = painter.device();
    image_ = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    if (image_ && image_->format() != QImage::Format_ARGB32_Premultiplied) image_ = nullptr;
    if (image_ && (occlusion_.width() != image_->width() || occlusion_.height() != image_->height()))
      occlusion_.reset(image_->width(), image_->height());
    toPixels_ = painter.deviceTransform();
  }
  if (!groupOpacity_.empty()) painter.setOpacity(groupOpacity_.back());
  QElapsedTimer slice;
  slice.start();
  host::ArtStep step;
  bool done = true;
  // The clock is read after every step: one long path can take milliseconds
  // to stroke, and reading it costs far less than any object.
  while (!(image_ && occlusion_.full()) && walk_.next(&step)) {
    painted_ = !topDown_;
    switch (step.kind) {
      case host::ArtStep::kArt:
        if (step.type != QX_ART_PATH) break;  // placed, raster, symbol, mesh: nothing to draw
        if (inCompound_ && step.depth > 0) addMember(step.art);
        else paintPath(painter, step.art);
        break;
      case host::ArtStep::kEnter: enter(painter, step); break;
      case host::ArtStep::kLeave: leave(painter, step); break;
    }
    // Passing over hidden art costs nanoseconds: the clock is read after
    // anything was painted, and every so many steps otherwise.
    if (budgetMs >= 0 && (painted_ || ++steps_ % 64 == 0) && slice.elapsed() >= budgetMs) {
      done = walk_.atEnd();
      break;
    }
  }
  painter.setOpacity(base_);
  if (topDown_) painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  // Once the picture is opaque all over, what is left cannot show.
  if (image_ && occlusion_.full()) return !walk_.lost();
  return done && !walk_.lost();
}

QRect ArtPainter::visiblePixels(const QxRealRect& bounds, double reach) const {
  if (!image_ || toPixels_.type() > QTransform::TxScale) return visiblePixels(boxOf(bounds, reach));
  // Scale and move only, the common case, without the general rectangle's
  // mapping: this runs for every object.
  const double m11 = toPixels_.m11(), m22 = toPixels_.m22(), dx = toPixels_.dx(), dy = toPixels_.dy();
  double x0 = (bounds.left - reach) * m11 + dx, x1 = (bounds.right + reach) * m11 + dx;
  double y0 = (bounds.bottom - reach) * m22 + dy, y1 = (bounds.top + reach) * m22 + dy;
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  if (!(x1 >= -1 && y1 >= -1 && x0 <= image_->width() + 1.0 && y0 <= image_->height() + 1.0)) return {};
  // Antialiased paint touches the pixels the box overlaps, and no others
  // (pixel i spans i to i + 1); a hair to spare for rounding.
  constexpr double kHair = 1.0 / 64;
  // Clamped to the picture before they become whole numbers: far-off art
  // lies beyond any int.
  const double w = image_->width(), h = image_->height();
  const int left = static_cast<int>(std::floor(std::clamp(x0 - kHair, 0.0, w)));
  const int top = static_cast<int>(std::floor(std::clamp(y0 - kHair, 0.0, h)));
  const int right = static_cast<int>(std::ceil(std::clamp(x1 + kHair, 0.0, w))) - 1;
  const int bottom = static_cast<int>(std::ceil(std::clamp(y1 + kHair, 0.0, h))) - 1;
  const QRect pixels(QPoint(left, top), QPoint(right, bottom));
  if (pixels.isEmpty() || occlusion_.covered(pixels)) return {};
  return pixels;
}

QRect ArtPainter::visiblePixels(const QRectF& box) const {
  if (!image_) return QRect(0, 0, 1, 1);  // no map: outsideDevice() alone decides
  if (!std::isfinite(box.left()) || !std::isfinite(box.right()) || !std::isfinite(box.top()) ||
      !std::isfinite(box.bottom()))
    return image_->rect();
  // A pixel to spare for antialiasing.
  const QRectF onImage = toPixels_.mapRect(box).adjusted(-1, -1, 1, 1);
  const QRectF limit(-1, -1, image_->width() + 2.0, image_->height() + 2.0);
  const QRect pixels = onImage.intersected(limit).toAlignedRect() & image_->rect();
  if (pixels.isEmpty() || occlusion_.covered(pixels)) return {};
  return pixels;
}

void ArtPainter::markOpaque(const QRect& pixels) {
  painted_ = true;
  if (image_) occlusion_.update(*image_, pixels);
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
    const QRect pixels = topDown_ ? visiblePixels(box) : QRect(0, 0, 1, 1);
    if (pixels.isEmpty()) {
      // hidden under what is painted above it
    } else if (!near.isEmpty() && !compoundPath_.isEmpty() && reachesFarBeyond(near, box)) {
      if (box.intersects(near)) {
        ClippedOutline clipped(near);
        for (const Member& m : members_)
          clipped.add(std::span<const QxPathSegment>(memberSegments_).subspan(m.offset, m.count), m.closed);
        paintClipped(painter, clipped, style, compoundOpacity_, topDown_);
      }
    } else {
      paintOutline(painter, compoundPath_, style, compoundOpacity_, topDown_);
    }
    if (topDown_ && !pixels.isEmpty()) markOpaque(pixels);
  }
  inCompound_ = false;
}

void ArtPainter::paintPath(QPainter& painter, QxArtHandle path) {
  QRect pixels(0, 0, 1, 1);
  if (topDown_) {
    // Decide from the outline's reach alone whether the path can show.
    host::ArtGlance glance;
    if (!art_.glance(path, &glance) || glance.segments.empty() || !glance.base) return;
    const double reach = strokeReach(glance.base->strokePaint, glance.strokeWidth, glance.base->stroke.join,
                                     glance.base->stroke.miterLimit);
    pixels = visiblePixels(controlBounds(glance.segments), reach);
    if (pixels.isEmpty()) return;
    if (image_) {
      QPoint at;
      const auto tightReach = [&] {
        return outlineReach(glance.segments, glance.closed, *glance.base, glance.strokeWidth);
      };
      const StampCache::Stamp* stamp =
          stamps_.stamp(glance, toPixels_, painter.opacity(), &at, tightReach, [&](QPainter& onStamp) {
            host::ArtInfo info;
            if (!art_.describe(path, &info, false) || !allFinite(info.segments)) return;
            QPainterPath outline;
            appendOutline(outline, info.segments, info.closed);
            paintOutline(onStamp, outline, art_.shownStyle(info.style), info.opacity, false);
          });
      if (stamp) {
        if (occlusion_.covered(stamp->mask, stamp->maskWords, at)) return;  // under copies of itself, often
        stampUnder(*image_, stamp->image, stamp->mask, stamp->maskWords, at, occlusion_);
        painted_ = true;
        return;
      }
    }
  }
  host::ArtInfo info;
  if (!art_.describe(path, &info, !topDown_) || info.segments.empty() || !allFinite(info.segments)) return;
  if (topDown_) info.bounds = controlBounds(info.segments);
  if (outsideDevice(painter, info.bounds, info.style)) return;
  const QxPathStyle style = art_.shownStyle(info.style);
  const double reach = strokeReach(style);
  const QRectF near = nearArea(shown_, reach);
  if (topDown_ && paintVisibleRuns(painter, info, style, reach)) {
    // Painted in parts: only where they reach can pixels have turned
    // opaque. One pass over the box of them all: the parts of a walk cross
    // the same places again and again.
    QRect reached;
    for (const QRect& part : shownPixels_) reached |= part;
    markOpaque(reached);
    return;
  } else if (!near.isEmpty() && reachesFarBeyond(near, boxOf(info.bounds, reach))) {
    ClippedOutline clipped(near);
    clipped.add(info.segments, info.closed);
    paintClipped(painter, clipped, style, info.opacity, topDown_);
  } else {
    QPainterPath outline;
    appendOutline(outline, info.segments, info.closed);
    paintOutline(painter, outline, style, info.opacity, topDown_);
  }
  if (topDown_) markOpaque(pixels);
}

// Only the stroke can be cut so: a fill of a part is not a part of the fill,
// and dashes would start again at each part. Where a run ends its stroke gets
// a cap instead of the join it had, but both lie within the stroke's reach of
// the anchor, inside the hidden piece's box, which is opaque already. The runs
// are stroked as one path, so where they cross they are painted once, as the
// whole path is.
bool ArtPainter::paintVisibleRuns(QPainter& painter, const host::ArtInfo& info, const QxPathStyle& style,
                                  double reach) {
  const std::span<const QxPathSegment> seg = info.segments;
  const size_t n = seg.size();
  const size_t pieces = info.closed ? n : n - 1;
  if (!image_ || pieces < kRunsFromPieces || style.fillPaint) return false;
  const QPen pen = strokePen(style);
  if (pen.style() != Qt::SolidLine) return false;
  // Each piece's own reach: half the width around its body, the cap a cut
  // may put at either end, and the joins at its ends as they turn.
  const QxStrokeStyle& stroke = style.stroke;
  const double half = stroke.width / 2;
  const double cut = stroke.cap == QX_CAP_SQUARE ? half * std::sqrt(2.0) : half;
  const bool mitered = stroke.join != QX_JOIN_ROUND && stroke.join != QX_JOIN_BEVEL;
  const double limit = std::isfinite(stroke.miterLimit) ? std::max<double>(stroke.miterLimit, 1.0) : 4.0;
  // A join's reach is measured only for pieces the whole path's reach does
  // not already hide (-1: not measured yet).
  const auto joinReach = [&](size_t j) {
    double& known = anchorReach_[j];
    if (known >= 0) return known;
    known = cut;
    if (mitered && (info.closed || (j > 0 && j + 1 < n))) {  // an open path's ends get caps
      const QPointF back = tangent(seg[j].p, seg[j].in, seg[(j + n - 1) % n].p);
      const QPointF ahead = tangent(seg[j].p, seg[j].out, seg[(j + 1) % n].p);
      known = std::max(cut, half * miterStretch(back, ahead, limit));
    }
    return known;
  };
  anchorReach_.assign(n, -1.0);
  hidden_.assign(pieces, 0);
  shownPixels_.clear();
  size_t shown = 0, firstHidden = pieces;
  for (size_t i = 0; i < pieces; ++i) {
    const QxPathSegment& from = seg[i];
    const QxPathSegment& to = seg[(i + 1) % n];
    const QxRealRect box = pieceBounds(from, to);
    QRect pixels = visiblePixels(box, reach);
    if (!pixels.isEmpty() && straightPiece(from, to)) {
      // A straight piece paints within half the width of its line, and its
      // joins (or a cut's caps) within their reach of its two anchors: the
      // piece shows when one of the three boxes does. Where walks cross the
      // same places again and again, the boxes of a piece under an earlier
      // one are hidden though the box around all three is not.
      const double atFrom = joinReach(i), atTo = joinReach((i + 1) % n);
      const QRect body = visiblePixels(box, half);
      const QRect start = visiblePixels(QxRealRect{from.p.x, from.p.y, from.p.x, from.p.y}, atFrom);
      const QRect end = visiblePixels(QxRealRect{to.p.x, to.p.y, to.p.x, to.p.y}, atTo);
      pixels = body | start | end;
    } else if (!pixels.isEmpty()) {
      pixels = visiblePixels(box, std::max(joinReach(i), joinReach((i + 1) % n)));
    }
    hidden_[i] = pixels.isEmpty();
    if (!hidden_[i]) shownPixels_.push_back(pixels);
    if (hidden_[i] && firstHidden == pieces) firstHidden = i;
    shown += !hidden_[i];
  }
  if (shown == pieces) return false;
  if (shown == 0) return true;
  // A closed path's run may go on past its last anchor: start after a hidden piece.
  const size_t start = info.closed ? firstHidden + 1 : 0;
  runs_.clear();
  runSegments_.clear();
  bool open = false;
  for (size_t k = 0; k < pieces; ++k) {
    const size_t i = (start + k) % pieces;
    if (hidden_[i]) {
      open = false;
      continue;
    }
    if (!open) {
      runs_.push_back({runSegments_.size(), 0, false});
      runSegments_.push_back(seg[i]);
      open = true;
    }
    runSegments_.push_back(seg[(i + 1) % n]);
  }
  for (size_t r = 0; r < runs_.size(); ++r)
    runs_[r].count = (r + 1 < runs_.size() ? runs_[r + 1].offset : runSegments_.size()) - runs_[r].offset;
  const std::span<const QxPathSegment> all(runSegments_);
  const QRectF near = nearArea(shown_, reach);
  if (!near.isEmpty() && reachesFarBeyond(near, boxOf(controlBounds(all), reach))) {
    ClippedOutline clipped(near);
    for (const Member& run : runs_) clipped.add(all.subspan(run.offset, run.count), false);
    paintClipped(painter, clipped, style, info.opacity, true);
  } else {
    QPainterPath outline;
    for (const Member& run : runs_) appendOutline(outline, all.subspan(run.offset, run.count), false);
    paintOutline(painter, outline, style, info.opacity, true);
  }
  return true;
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
