// Painting document art with Qt: one routine shared by the window, the PNG
// and the PDF output, so every picture of a drawing agrees with the others.
// The painter's transform maps artwork points (y up) to its device.
#pragma once

#include <span>
#include <vector>

#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include "host/document/art_walk.h"
#include "qx_sdk.h"

class QPainter;

namespace qx::host {
class ArtStore;
class Document;
}  // namespace qx::host

namespace qx::gui {

// The outline of a path: one cubic piece between neighbouring anchors (out
// handle, then the next anchor's in handle), and a closing piece when closed.
// Appended to `path` as its own subpath.
void appendOutline(QPainterPath& path, std::span<const QxPathSegment> segments, bool closed);

// Paints a store's art in paint order as the SVG output does: paths and
// compound paths with fill (even-odd when the style says so), stroke (width,
// cap, join, miter limit, dash) and opacity; groups pass their opacity on;
// art this host cannot draw is skipped, and so are paths whose paint cannot
// reach the painter's device; an outline reaching far beyond the device is
// cut to it first (outline_clip.h), so the cost follows what can show.
// Antialiasing is the caller's choice.
//
// Painting can stop after any object and go on later from there, on another
// QPainter of the same device and transform: the window paints a slice per
// turn of its event loop. The store must outlive the painter.
class ArtPainter {
 public:
  explicit ArtPainter(const host::ArtStore& art);

  // Paint until all art is done, or until `budgetMs` milliseconds have
  // passed (never when negative); true once all art is done. The painter's
  // opacity is as it was when the call returns.
  bool paint(QPainter& painter, qint64 budgetMs = -1);
  // The art changed under the painting (an object it was to paint is gone):
  // it stopped, and a new ArtPainter has to start again.
  bool lost() const { return walk_.lost(); }

 private:
  void enter(QPainter& painter, const host::ArtStep& step);
  void leave(QPainter& painter, const host::ArtStep& step);
  void paintPath(QPainter& painter, QxArtHandle path);
  void addMember(QxArtHandle path);

  const host::ArtStore& art_;
  host::ArtWalk walk_;
  qreal base_ = 1;                   // the painter's opacity outside all groups
  QRectF shown_;                     // what the device shows, in artwork units, for this call
  std::vector<qreal> groupOpacity_;  // the painter's opacity inside each group entered
  // The compound path being walked: its paint and its members' outlines.
  bool inCompound_ = false;
  QxPathStyle compoundStyle_{};
  QxReal compoundOpacity_ = 1;
  QPainterPath compoundPath_;
  // The members' segments, kept for cutting an outline that reaches far
  // beyond the device.
  struct Member {
    size_t offset, count;
    bool closed;
  };
  std::vector<Member> members_;
  std::vector<QxPathSegment> memberSegments_;
  std::vector<QxPathSegment> segments_;  // reused from member to member
};

// The page: white, with the thin gray outline the SVG output draws.
void paintPage(QPainter& painter, const host::Document& document);

// Artwork points to device pixels: `origin` (artwork) lands on pixel (0, 0)
// and one point spans `scale` pixels; y turns down.
QTransform artworkToDevice(QxRealPoint origin, double scale);

}  // namespace qx::gui
