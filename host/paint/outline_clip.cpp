#include "host/paint/outline_clip.h"

#include <algorithm>
#include <cmath>

namespace qx::paint {
namespace {

// Halving a piece this often makes it 2^-160 of its parameter span: past
// that a piece is taken as missing `near` whatever its box says.
constexpr int kMaxHalvings = 160;

QRectF hull(const QPointF (&p)[4]) {
  const double left = std::min({p[0].x(), p[1].x(), p[2].x(), p[3].x()});
  const double right = std::max({p[0].x(), p[1].x(), p[2].x(), p[3].x()});
  const double top = std::min({p[0].y(), p[1].y(), p[2].y(), p[3].y()});
  const double bottom = std::max({p[0].y(), p[1].y(), p[2].y(), p[3].y()});
  return QRectF(QPointF(left, top), QPointF(right, bottom));
}

// Boxes that touch count as meeting, unlike QRectF::intersects, so a piece
// lying along an edge is kept.
bool meets(const QRectF& a, const QRectF& b) {
  return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom();
}

bool within(const QRectF& inner, const QRectF& outer) {
  return inner.left() >= outer.left() && inner.right() <= outer.right() && inner.top() >= outer.top() &&
         inner.bottom() <= outer.bottom();
}

// Between the chord and the control polygon: what a dash pattern needs.
double approximateLength(const QPointF (&p)[4]) {
  auto distance = [](QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); };
  const double chord = distance(p[0], p[3]);
  const double polygon = distance(p[0], p[1]) + distance(p[1], p[2]) + distance(p[2], p[3]);
  return (chord + polygon) / 2;
}

}  // namespace

bool reachesFarBeyond(const QRectF& near, const QRectF& box) {
  const double spare = std::max(near.width(), near.height());
  return !within(box, near.adjusted(-spare, -spare, spare, spare));
}

ClippedOutline::ClippedOutline(const QRectF& near) : near_(near) {
  const double spare = std::max(near.width(), near.height());
  far_ = near.adjusted(-spare, -spare, spare, spare);
}

QPointF ClippedOutline::clamp(QPointF p) const {
  return {std::clamp(p.x(), near_.left(), near_.right()), std::clamp(p.y(), near_.top(), near_.bottom())};
}

void ClippedOutline::cut(const QPointF (&cubic)[4], bool stroke, std::vector<Piece>* pieces) const {
  // Halves wait on a stack, the later half below the earlier, so pieces come
  // out in the outline's order. A cubic meets a rectangle's edges a few times
  // at most, so only a few pieces per halving straddle it: the work is about
  // the number of halvings, however far the piece reaches.
  struct Pending {
    QPointF p[4];
    int depth;
  };
  std::vector<Pending> stack;
  stack.push_back({{cubic[0], cubic[1], cubic[2], cubic[3]}, 0});
  while (!stack.empty()) {
    const Pending piece = stack.back();
    stack.pop_back();
    const QRectF box = hull(piece.p);
    const bool misses = !meets(box, near_);
    if (misses || within(box, far_) || piece.depth >= kMaxHalvings) {
      pieces->push_back({{piece.p[0], piece.p[1], piece.p[2], piece.p[3]}, misses || !within(box, far_), stroke});
      continue;
    }
    // de Casteljau at one half.
    const QPointF* p = piece.p;
    const QPointF ab = (p[0] + p[1]) / 2, bc = (p[1] + p[2]) / 2, cd = (p[2] + p[3]) / 2;
    const QPointF abc = (ab + bc) / 2, bcd = (bc + cd) / 2, mid = (abc + bcd) / 2;
    stack.push_back({{mid, bcd, cd, p[3]}, piece.depth + 1});
    stack.push_back({{p[0], ab, abc, mid}, piece.depth + 1});
  }
}

void ClippedOutline::cutOutline(std::span<const QxPathSegment> segments, bool closed,
                                std::vector<Piece>* pieces) const {
  auto at = [](const QxRealPoint& p) { return QPointF(p.x, p.y); };
  for (size_t i = 1; i < segments.size(); ++i) {
    const QPointF cubic[4] = {at(segments[i - 1].p), at(segments[i - 1].out), at(segments[i].in), at(segments[i].p)};
    cut(cubic, true, pieces);
  }
  const QPointF first = at(segments.front().p), last = at(segments.back().p);
  if (closed && segments.size() > 1) {
    const QPointF cubic[4] = {last, at(segments.back().out), at(segments.front().in), first};
    cut(cubic, true, pieces);
  } else if (!closed && segments.size() > 1) {
    // A fill closes an open outline with a straight line; it has to be cut
    // like the rest, and is no part of the stroke.
    const QPointF cubic[4] = {last, last, first, first};
    cut(cubic, false, pieces);
  }
}

void ClippedOutline::add(std::span<const QxPathSegment> segments, bool closed) {
  if (segments.empty()) return;
  std::vector<Piece> pieces;
  cutOutline(segments, closed, &pieces);
  if (pieces.empty()) {
    const QPointF first(segments.front().p.x, segments.front().p.y);
    fill_.moveTo(first);
    runs_.push_back({});
    runs_.back().path.moveTo(first);
    ++elements_;
    return;
  }
  addFill(pieces);
  addStroke(pieces, closed);
}

// A missing piece becomes the line between its ends' projections onto
// `near`, joined to the kept pieces by the projection lines.
void ClippedOutline::addFill(const std::vector<Piece>& pieces) {
  const QPointF start = pieces.front().out ? clamp(pieces.front().p[0]) : pieces.front().p[0];
  fill_.moveTo(start);
  QPointF current = start;
  auto lineTo = [&](QPointF p) {
    if (p == current) return;
    fill_.lineTo(p);
    current = p;
    ++elements_;
  };
  for (const Piece& piece : pieces) {
    if (piece.out) {
      lineTo(clamp(piece.p[0]));
      lineTo(clamp(piece.p[3]));
    } else {
      lineTo(piece.p[0]);
      fill_.cubicTo(piece.p[1], piece.p[2], piece.p[3]);
      current = piece.p[3];
      ++elements_;
    }
  }
  fill_.closeSubpath();
}

// Runs of kept pieces. A closed outline is read from just after its first
// missing piece, so that no run is broken where the outline starts; one
// without a missing piece stays closed, joins and all.
void ClippedOutline::addStroke(const std::vector<Piece>& pieces, bool closed) {
  size_t count = 0;
  for (const Piece& piece : pieces) count += piece.stroke ? 1 : 0;
  size_t begin = 0;
  bool anyOut = false;
  for (size_t i = 0; i < count; ++i) {
    if (pieces[i].out) {
      begin = closed ? i + 1 : 0;
      anyOut = true;
      break;
    }
  }
  double length = 0;
  bool inRun = false;
  for (size_t k = 0; k < count; ++k) {
    const Piece& piece = pieces[(begin + k) % count];
    if (piece.out) {
      inRun = false;
    } else {
      if (!inRun) {
        runs_.push_back({QPainterPath(), length});
        runs_.back().path.moveTo(piece.p[0]);
        inRun = true;
      }
      runs_.back().path.cubicTo(piece.p[1], piece.p[2], piece.p[3]);
      ++elements_;
    }
    length += approximateLength(piece.p);
  }
  if (closed && !anyOut && !runs_.empty()) runs_.back().path.closeSubpath();
}

}  // namespace qx::paint
