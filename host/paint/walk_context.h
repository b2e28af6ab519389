// What a painter keeps while it walks the art, apart from what it paints:
// the opacity of each group it is inside, and the compound path whose
// members it is collecting (a compound path is painted whole, once its
// members are read). Both painters keep one of each; both live across the
// calls of a painting done a slice at a time.
#pragma once

#include <vector>

#include <QPainterPath>

#include "qx_sdk.h"

class QPainter;

namespace qx::host {
class ArtStore;
}

namespace qx::paint {

class ClippedOutline;

class GroupOpacity {
 public:
  // At the start of a call: the painter's opacity is the one outside all
  // groups, and inside groups entered in an earlier call it takes theirs.
  void resume(QPainter& painter);
  // A group's opacity multiplies the painter's until the group is left.
  void enter(QPainter& painter, const host::ArtStore& art, QxArtHandle group);
  void leave(QPainter& painter);
  // At the end of a call: the painter's opacity as the call found it.
  void restore(QPainter& painter) const;

 private:
  qreal base_ = 1;             // the painter's opacity outside all groups
  std::vector<qreal> inside_;  // the painter's opacity inside each group entered
};

class CompoundOutline {
 public:
  // Starts collecting `compound`'s members; false (and nothing collected)
  // when its style or opacity cannot be read.
  bool begin(const host::ArtStore& art, QxArtHandle compound);
  // Adds a member's outline; a member whose segments cannot be read adds
  // nothing. False when the member has a point that is not finite: the
  // whole compound path is then left out, as the SVG output leaves it out.
  bool add(const host::ArtStore& art, QxArtHandle member);
  // Collecting (between begin() and end(), unless add() refused a member).
  bool active() const { return active_; }
  void end() { active_ = false; }

  const QxPathStyle& style() const { return style_; }
  QxReal opacity() const { return opacity_; }
  // All members' outlines, each its own subpath.
  QPainterPath& path() { return path_; }
  // The members' outlines added to an outline cut to the picture.
  void addTo(ClippedOutline& clipped) const;

 private:
  struct Member {
    size_t offset, count;
    bool closed;
  };
  bool active_ = false;
  QxPathStyle style_{};
  QxReal opacity_ = 1;
  QPainterPath path_;
  // The members' segments, kept for cutting an outline that reaches far
  // beyond the picture.
  std::vector<Member> members_;
  std::vector<QxPathSegment> memberSegments_;
  std::vector<QxPathSegment> segments_;  // reused from member to member
};

}  // namespace qx::paint
