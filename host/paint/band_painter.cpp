#include "host/paint/band_painter.h"

#include <algorithm>
#include <cmath>
#include <span>

#include <QElapsedTimer>
#include <QPainter>

#include "host/document/art_store.h"
#include "host/paint/outline_clip.h"
#include "host/paint/outline_paint.h"
#include "host/paint/stroke_reach.h"

namespace qx::paint {
namespace {

// Paths with fewer pieces are cheap enough to paint whole.
constexpr size_t kRunsFromPieces = 8;

}  // namespace

BandPainter::BandPainter(const host::ArtStore& art) : art_(art), walk_(art, host::ArtWalk::Order::kTopDown) {}

bool BandPainter::paint(QPainter& painter, qint64 budgetMs) {
  groups_.resume(painter);
  shown_ = shownArea(painter);
  painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
  QPaintDevice* device = painter.device();
  image_ = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
  if (image_ && image_->format() != QImage::Format_ARGB32_Premultiplied) image_ = nullptr;
  if (image_ && (occlusion_.width() != image_->width() || occlusion_.height() != image_->height()))
    occlusion_.reset(image_->width(), image_->height());
  toPixels_ = painter.deviceTransform();
  QElapsedTimer slice;
  slice.start();
  host::ArtStep step;
  bool done = true;
  while (!(image_ && occlusion_.full()) && walk_.next(&step)) {
    painted_ = false;
    switch (step.kind) {
      case host::ArtStep::kArt:
        if (step.type != QX_ART_PATH) break;  // placed, raster, symbol, mesh: nothing to draw
        if (compound_.active() && step.depth > 0) {
          if (!compound_.add(art_, step.art)) walk_.skipToLeave();
        } else {
          paintPath(painter, step.art);
        }
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
  groups_.restore(painter);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  // Once the picture is opaque all over, what is left cannot show.
  if (image_ && occlusion_.full()) return !walk_.lost();
  return done && !walk_.lost();
}

QRect BandPainter::visiblePixels(const QxRealRect& bounds, double reach) const {
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

QRect BandPainter::visiblePixels(const QRectF& box) const {
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

void BandPainter::markOpaque(const QRect& pixels) {
  painted_ = true;
  if (image_) occlusion_.update(*image_, pixels);
}

void BandPainter::enter(QPainter& painter, const host::ArtStep& step) {
  if (step.type == QX_ART_GROUP) {
    groups_.enter(painter, art_, step.art);
    return;
  }
  if (!compound_.begin(art_, step.art)) walk_.skipToLeave();
}

void BandPainter::leave(QPainter& painter, const host::ArtStep& step) {
  if (step.type == QX_ART_GROUP) {
    groups_.leave(painter);
    return;
  }
  if (compound_.active()) paintCompound(painter);
  compound_.end();
}

void BandPainter::paintCompound(QPainter& painter) {
  const QxPathStyle style = art_.shownStyle(compound_.style());
  const double reach = strokeReach(style);
  const QRectF near = nearArea(shown_, reach);
  QPainterPath& outline = compound_.path();
  const QRectF box = outline.controlPointRect().adjusted(-reach, -reach, reach, reach);
  const QRect pixels = visiblePixels(box);
  if (pixels.isEmpty()) return;  // hidden under what is painted above it
  if (!near.isEmpty() && !outline.isEmpty() && reachesFarBeyond(near, box)) {
    if (box.intersects(near)) {
      ClippedOutline clipped(near);
      compound_.addTo(clipped);
      paintClipped(painter, clipped, style, compound_.opacity(), Layer::kUnder);
    }
  } else {
    paintOutline(painter, outline, style, compound_.opacity(), Layer::kUnder);
  }
  markOpaque(pixels);
}

void BandPainter::paintPath(QPainter& painter, QxArtHandle path) {
  // Decide from the outline's reach alone whether the path can show.
  host::ArtGlance glance;
  if (!art_.glance(path, &glance) || glance.segments.empty() || !glance.base) return;
  const double reach = strokeReach(glance.base->strokePaint, glance.strokeWidth, glance.base->stroke.join,
                                   glance.base->stroke.miterLimit);
  const QRect pixels = visiblePixels(controlBounds(glance.segments), reach);
  if (pixels.isEmpty()) return;
  if (image_ && paintStamp(painter, path, glance)) return;
  paintDescribed(painter, path, pixels);
}

bool BandPainter::paintStamp(QPainter& painter, QxArtHandle path, const host::ArtGlance& glance) {
  QPoint at;
  const auto tightReach = [&] {
    return outlineReach(glance.segments, glance.closed, *glance.base, glance.strokeWidth);
  };
  const StampCache::Stamp* stamp = stamps_.stamp(glance, toPixels_, painter.opacity(), &at, tightReach,
                                                 [&](QPainter& onStamp) {
                                                   host::ArtInfo info;
                                                   if (!art_.describe(path, &info, false) || !allFinite(info.segments))
                                                     return;
                                                   QPainterPath outline;
                                                   appendOutline(outline, info.segments, info.closed);
                                                   paintOutline(onStamp, outline, art_.shownStyle(info.style),
                                                                info.opacity, Layer::kOver);
                                                 });
  if (!stamp) return false;
  if (occlusion_.covered(stamp->mask, stamp->maskWords, at)) return true;  // under copies of itself, often
  stampUnder(*image_, stamp->image, stamp->mask, stamp->maskWords, at, occlusion_);
  painted_ = true;
  return true;
}

void BandPainter::paintDescribed(QPainter& painter, QxArtHandle path, const QRect& pixels) {
  host::ArtInfo info;
  if (!art_.describe(path, &info, false) || info.segments.empty() || !allFinite(info.segments)) return;
  info.bounds = controlBounds(info.segments);
  if (outsideDevice(painter, info.bounds, info.style)) return;
  const QxPathStyle style = art_.shownStyle(info.style);
  const double reach = strokeReach(style);
  const QRectF near = nearArea(shown_, reach);
  if (paintVisibleRuns(painter, info, style, reach)) {
    // Painted in parts: only where they reach can pixels have turned
    // opaque. One pass over the box of them all: the parts of a walk cross
    // the same places again and again.
    QRect reached;
    for (const QRect& part : shownPixels_) reached |= part;
    markOpaque(reached);
    return;
  }
  if (!near.isEmpty() && reachesFarBeyond(near, boxOf(info.bounds, reach))) {
    ClippedOutline clipped(near);
    clipped.add(info.segments, info.closed);
    paintClipped(painter, clipped, style, info.opacity, Layer::kUnder);
  } else {
    QPainterPath outline;
    appendOutline(outline, info.segments, info.closed);
    paintOutline(painter, outline, style, info.opacity, Layer::kUnder);
  }
  markOpaque(pixels);
}

// Only the stroke can be cut so: a fill of a part is not a part of the fill,
// and dashes would start again at each part. Where a run ends its stroke gets
// a cap instead of the join it had, but both lie within the stroke's reach of
// the anchor, inside the hidden piece's box, which is opaque already. The runs
// are stroked as one path, so where they cross they are painted once, as the
// whole path is.
bool BandPainter::paintVisibleRuns(QPainter& painter, const host::ArtInfo& info, const QxPathStyle& style,
                                   double reach) {
  const size_t n = info.segments.size();
  const size_t pieces = info.closed ? n : n - 1;
  if (!image_ || pieces < kRunsFromPieces || style.fillPaint) return false;
  if (strokePen(style).style() != Qt::SolidLine) return false;
  const size_t shown = findHiddenPieces(info, style, reach);
  if (shown == pieces) return false;
  if (shown == 0) return true;
  collectRuns(info);
  const std::span<const QxPathSegment> all(runSegments_);
  const QRectF near = nearArea(shown_, reach);
  if (!near.isEmpty() && reachesFarBeyond(near, boxOf(controlBounds(all), reach))) {
    ClippedOutline clipped(near);
    for (const Run& run : runs_) clipped.add(all.subspan(run.offset, run.count), false);
    paintClipped(painter, clipped, style, info.opacity, Layer::kUnder);
  } else {
    QPainterPath outline;
    for (const Run& run : runs_) appendOutline(outline, all.subspan(run.offset, run.count), false);
    paintOutline(painter, outline, style, info.opacity, Layer::kUnder);
  }
  return true;
}

size_t BandPainter::findHiddenPieces(const host::ArtInfo& info, const QxPathStyle& style, double reach) {
  const std::span<const QxPathSegment> seg = info.segments;
  const size_t n = seg.size();
  const size_t pieces = info.closed ? n : n - 1;
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
  size_t shown = 0;
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
    shown += !hidden_[i];
  }
  return shown;
}

void BandPainter::collectRuns(const host::ArtInfo& info) {
  const std::span<const QxPathSegment> seg = info.segments;
  const size_t n = seg.size();
  const size_t pieces = hidden_.size();
  // A closed path's run may go on past its last anchor: start after a hidden piece.
  const size_t firstHidden = static_cast<size_t>(std::find(hidden_.begin(), hidden_.end(), 1) - hidden_.begin());
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
      runs_.push_back({runSegments_.size(), 0});
      runSegments_.push_back(seg[i]);
      open = true;
    }
    runSegments_.push_back(seg[(i + 1) % n]);
  }
  for (size_t r = 0; r < runs_.size(); ++r)
    runs_[r].count = (r + 1 < runs_.size() ? runs_[r + 1].offset : runSegments_.size()) - runs_[r].offset;
}

}  // namespace qx::paint
