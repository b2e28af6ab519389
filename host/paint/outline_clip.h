// Outlines cut down to what a picture can show, before Qt strokes and fills
// them: Qt's work grows with the whole geometry it is given, so one point a
// few million points away would keep a small picture busy for minutes.
//
// `near` is the rectangle (artwork units) outside which nothing of the
// outline can show: the picture widened by a pixel and by the stroke's
// reach. A piece of the outline that keeps far from it is cut in halves
// until every piece either stays within a few picture sizes of it, and is
// kept as it is, or misses it altogether. A missing piece's stroke cannot
// show, so the stroke leaves it out; the fill replaces it by its projection
// onto the edge of `near`, a straight line there, which leaves the winding
// of every point inside `near` as it was.
#pragma once

#include <span>
#include <vector>

#include <QPainterPath>
#include <QRectF>

#include "qx_sdk.h"

namespace qx::paint {

// True when an outline whose box (stroke reach included) is `box` reaches
// so far beyond `near` that it is worth cutting.
bool reachesFarBeyond(const QRectF& near, const QRectF& box);

class ClippedOutline {
 public:
  explicit ClippedOutline(const QRectF& near);

  // Adds one path's outline, read as appendOutline reads it (outline_paint.h),
  // as a subpath of its own.
  void add(std::span<const QxPathSegment> segments, bool closed);

  // What to fill: every point inside `near` is inside it exactly when it is
  // inside the whole outline, by either fill rule.
  const QPainterPath& fill() const { return fill_; }

  // What to stroke: the stretches of the outline that come near, each with
  // the outline's length before it (for the dash pattern's phase). A stretch
  // begins and ends outside `near` unless the outline itself does there.
  struct Run {
    QPainterPath path;
    double start = 0;
  };
  const std::vector<Run>& strokeRuns() const { return runs_; }

  // Cubic pieces and lines handed on, for bounding the work.
  size_t elementCount() const { return elements_; }

 private:
  struct Piece {
    QPointF p[4];
    bool out;     // misses `near`
    bool stroke;  // part of the stroke (the closing line of an open path is not)
  };
  void cut(const QPointF (&cubic)[4], bool stroke, std::vector<Piece>* pieces) const;
  // The whole outline cut into pieces, in its order.
  void cutOutline(std::span<const QxPathSegment> segments, bool closed, std::vector<Piece>* pieces) const;
  // The pieces' contribution to the fill, and to the stroke's runs.
  void addFill(const std::vector<Piece>& pieces);
  void addStroke(const std::vector<Piece>& pieces, bool closed);
  QPointF clamp(QPointF p) const;

  QRectF near_, far_;
  QPainterPath fill_;
  std::vector<Run> runs_;
  size_t elements_ = 0;
};

}  // namespace qx::paint
