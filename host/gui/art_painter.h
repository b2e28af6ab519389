// Painting document art with Qt: one routine shared by the window, the PNG
// and the PDF output, so every picture of a drawing agrees with the others.
// The painter's transform maps artwork points (y up) to its device.
#pragma once

#include <span>
#include <vector>

#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include "host/document/art_walk.h"
#include "host/gui/occlusion_map.h"
#include "host/gui/stamp_cache.h"
#include "qx_sdk.h"

class QPainter;

namespace qx::host {
class ArtStore;
struct ArtInfo;
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
//
// Top down, the painter works from the top of the paint order down and puts
// each object under what is painted (each object's stroke before its fill),
// which gives the same picture on a transparent device. On an image it then
// keeps an OcclusionMap and passes over art that lands only where the
// picture is opaque already, reading nothing of it but its outline's reach;
// it reads the store only, so painters of separate images may run on
// separate threads. Small shapes are stamped (stamp_cache.h).
class ArtPainter {
 public:
  explicit ArtPainter(const host::ArtStore& art, host::ArtWalk::Order order = host::ArtWalk::Order::kBottomUp);

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
  // Top down: the device pixels an object with this outline box (artwork,
  // stroke reach included) can touch; empty when they are all hidden.
  QRect visiblePixels(const QRectF& box) const;
  QRect visiblePixels(const QxRealRect& bounds, double reach) const;
  void markOpaque(const QRect& pixels);
  // Top down: a long stroke-only path painted as the runs of its pieces
  // that reach pixels not yet opaque. False when it is to be painted whole.
  bool paintVisibleRuns(QPainter& painter, const host::ArtInfo& info, const QxPathStyle& style, double reach);

  const host::ArtStore& art_;
  host::ArtWalk walk_;
  bool topDown_ = false;
  QImage* image_ = nullptr;  // top down on an image: the picture the map follows
  QTransform toPixels_;      // artwork to the image's pixels, for this call
  OcclusionMap occlusion_;
  bool painted_ = false;  // the current step painted something
  uint32_t steps_ = 0;
  StampCache stamps_;
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
  // The runs of a path painted in parts, reused from path to path.
  std::vector<uint8_t> hidden_;
  std::vector<double> anchorReach_;
  std::vector<QRect> shownPixels_;  // where the pieces painted can reach
  std::vector<Member> runs_;
  std::vector<QxPathSegment> runSegments_;
};

// The page: white, with the thin gray outline the SVG output draws.
void paintPage(QPainter& painter, const host::Document& document);

// Artwork points to device pixels: `origin` (artwork) lands on pixel (0, 0)
// and one point spans `scale` pixels; y turns down.
QTransform artworkToDevice(QxRealPoint origin, double scale);

}  // namespace qx::gui
