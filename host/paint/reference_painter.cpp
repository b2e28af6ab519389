#include "host/paint/reference_painter.h"

#include <QElapsedTimer>
#include <QPainter>

#include "host/document/art_store.h"
#include "host/paint/outline_clip.h"
#include "host/paint/outline_paint.h"
#include "host/paint/stroke_reach.h"

namespace qx::paint {

ReferencePainter::ReferencePainter(const host::ArtStore& art)
    : art_(art), walk_(art, host::ArtWalk::Order::kBottomUp) {}

bool ReferencePainter::paint(QPainter& painter, qint64 budgetMs) {
  shown_ = shownArea(painter);
  groups_.resume(painter);
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
        if (compound_.active() && step.depth > 0) {
          if (!compound_.add(art_, step.art)) walk_.skipToLeave();
        } else {
          paintPath(painter, step.art);
        }
        break;
      case host::ArtStep::kEnter: enter(painter, step); break;
      case host::ArtStep::kLeave: leave(painter, step); break;
    }
    if (budgetMs >= 0 && slice.elapsed() >= budgetMs) {
      done = walk_.atEnd();
      break;
    }
  }
  groups_.restore(painter);
  return done && !walk_.lost();
}

void ReferencePainter::enter(QPainter& painter, const host::ArtStep& step) {
  if (step.type == QX_ART_GROUP) {
    groups_.enter(painter, art_, step.art);
    return;
  }
  if (!compound_.begin(art_, step.art)) walk_.skipToLeave();
}

void ReferencePainter::leave(QPainter& painter, const host::ArtStep& step) {
  if (step.type == QX_ART_GROUP) {
    groups_.leave(painter);
    return;
  }
  if (compound_.active()) paintCompound(painter);
  compound_.end();
}

void ReferencePainter::paintCompound(QPainter& painter) {
  const QxPathStyle style = art_.shownStyle(compound_.style());
  const double reach = strokeReach(style);
  const QRectF near = nearArea(shown_, reach);
  QPainterPath& outline = compound_.path();
  const QRectF box = outline.controlPointRect().adjusted(-reach, -reach, reach, reach);
  if (!near.isEmpty() && !outline.isEmpty() && reachesFarBeyond(near, box)) {
    if (!box.intersects(near)) return;  // nothing of it can show
    ClippedOutline clipped(near);
    compound_.addTo(clipped);
    paintClipped(painter, clipped, style, compound_.opacity(), Layer::kOver);
  } else {
    paintOutline(painter, outline, style, compound_.opacity(), Layer::kOver);
  }
}

void ReferencePainter::paintPath(QPainter& painter, QxArtHandle path) {
  host::ArtInfo info;
  if (!art_.describe(path, &info) || info.segments.empty() || !allFinite(info.segments)) return;
  if (outsideDevice(painter, info.bounds, info.style)) return;
  const QxPathStyle style = art_.shownStyle(info.style);
  const double reach = strokeReach(style);
  const QRectF near = nearArea(shown_, reach);
  if (!near.isEmpty() && reachesFarBeyond(near, boxOf(info.bounds, reach))) {
    ClippedOutline clipped(near);
    clipped.add(info.segments, info.closed);
    paintClipped(painter, clipped, style, info.opacity, Layer::kOver);
  } else {
    QPainterPath outline;
    appendOutline(outline, info.segments, info.closed);
    paintOutline(painter, outline, style, info.opacity, Layer::kOver);
  }
}

}  // namespace qx::paint
