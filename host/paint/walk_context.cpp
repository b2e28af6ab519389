#include "host/paint/walk_context.h"

#include <algorithm>
#include <span>

#include <QPainter>

#include "host/document/art_store.h"
#include "host/paint/outline_clip.h"
#include "host/paint/outline_paint.h"

namespace qx::paint {

void GroupOpacity::resume(QPainter& painter) {
  base_ = painter.opacity();
  if (!inside_.empty()) painter.setOpacity(inside_.back());
}

void GroupOpacity::enter(QPainter& painter, const host::ArtStore& art, QxArtHandle group) {
  QxReal opacity = 1;
  (void)art.opacity(group, &opacity);
  if (opacity < 1) painter.setOpacity(painter.opacity() * std::max<QxReal>(opacity, 0));
  inside_.push_back(painter.opacity());
}

void GroupOpacity::leave(QPainter& painter) {
  inside_.pop_back();
  painter.setOpacity(inside_.empty() ? base_ : inside_.back());
}

void GroupOpacity::restore(QPainter& painter) const { painter.setOpacity(base_); }

bool CompoundOutline::begin(const host::ArtStore& art, QxArtHandle compound) {
  path_ = QPainterPath();
  members_.clear();
  memberSegments_.clear();
  active_ = art.pathStyle(compound, &style_) == QX_ERR_NONE && art.opacity(compound, &opacity_) == QX_ERR_NONE;
  return active_;
}

bool CompoundOutline::add(const host::ArtStore& art, QxArtHandle member) {
  int16_t count = 0;
  bool closed = false;
  if (art.segmentCount(member, &count) != QX_ERR_NONE || count <= 0) return true;
  segments_.resize(static_cast<size_t>(count));
  if (art.getSegments(member, 0, count, segments_.data()) != QX_ERR_NONE) return true;
  if (art.closed(member, &closed) != QX_ERR_NONE) return true;
  if (!allFinite(segments_)) {
    active_ = false;
    return false;
  }
  appendOutline(path_, segments_, closed);
  members_.push_back({memberSegments_.size(), segments_.size(), closed});
  memberSegments_.insert(memberSegments_.end(), segments_.begin(), segments_.end());
  return true;
}

void CompoundOutline::addTo(ClippedOutline& clipped) const {
  for (const Member& m : members_)
    clipped.add(std::span<const QxPathSegment>(memberSegments_).subspan(m.offset, m.count), m.closed);
}

}  // namespace qx::paint
