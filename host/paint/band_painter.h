// The fast painter, for pictures of pixels: it paints a store's art from
// the top of the paint order down, each object put under what is painted
// (destination-over; each object's stroke before its fill), which gives the
// picture the reference painter (reference_painter.h) paints on a
// transparent image. On an ARGB32 premultiplied image it keeps an
// OcclusionMap of what is opaque already and passes over art that lands
// only there, reading nothing of it but its outline's reach; small shapes
// are stamped (stamp_cache.h), and long stroked paths are painted only in
// the runs of pieces that can show. It reads the store only, so painters of
// separate images (the bands of parallel_bands.h) may run on separate
// threads.
#pragma once

#include <vector>

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QTransform>

#include "host/document/art_walk.h"
#include "host/paint/occlusion_map.h"
#include "host/paint/stamp_cache.h"
#include "host/paint/walk_context.h"
#include "qx_sdk.h"

class QPainter;

namespace qx::host {
class ArtStore;
struct ArtGlance;
struct ArtInfo;
}  // namespace qx::host

namespace qx::paint {

class BandPainter {
 public:
  // The store must outlive the painter.
  explicit BandPainter(const host::ArtStore& art);

  // Paint until all art is done, or until `budgetMs` milliseconds have
  // passed (never when negative); true once all art is done, or once the
  // picture is opaque all over. A painting goes on in a later call, on
  // another QPainter of the same device and transform. The painter's
  // opacity and composition are as they were when the call returns.
  bool paint(QPainter& painter, qint64 budgetMs = -1);
  // The art changed under the painting: it stopped, and a new painter has
  // to start again.
  bool lost() const { return walk_.lost(); }

 private:
  void enter(QPainter& painter, const host::ArtStep& step);
  void leave(QPainter& painter, const host::ArtStep& step);
  void paintCompound(QPainter& painter);
  void paintPath(QPainter& painter, QxArtHandle path);
  // The path as a stamp; false when it cannot be stamped.
  bool paintStamp(QPainter& painter, QxArtHandle path, const host::ArtGlance& glance);
  // The path read whole and painted where it reaches `pixels`.
  void paintDescribed(QPainter& painter, QxArtHandle path, const QRect& pixels);
  // The device pixels an object with this outline box (artwork, stroke
  // reach included) can touch; empty when they are all hidden.
  QRect visiblePixels(const QRectF& box) const;
  QRect visiblePixels(const QxRealRect& bounds, double reach) const;
  void markOpaque(const QRect& pixels);

  // A long stroke-only path painted as the runs of its pieces that reach
  // pixels not yet opaque. False when it is to be painted whole.
  bool paintVisibleRuns(QPainter& painter, const host::ArtInfo& info, const QxPathStyle& style, double reach);
  // Marks each piece hidden or not (hidden_) and keeps where the shown ones
  // reach (shownPixels_); answers how many show.
  size_t findHiddenPieces(const host::ArtInfo& info, const QxPathStyle& style, double reach);
  // The shown pieces joined into runs (runs_, runSegments_).
  void collectRuns(const host::ArtInfo& info);

  const host::ArtStore& art_;
  host::ArtWalk walk_;
  QImage* image_ = nullptr;  // on an image: the picture the map follows
  QTransform toPixels_;      // artwork to the image's pixels, for this call
  OcclusionMap occlusion_;
  bool painted_ = false;  // the current step painted something
  uint32_t steps_ = 0;
  StampCache stamps_;
  QRectF shown_;  // what the device shows, in artwork units, for this call
  GroupOpacity groups_;
  CompoundOutline compound_;
  // The runs of a path painted in parts, reused from path to path.
  struct Run {
    size_t offset, count;
  };
  std::vector<uint8_t> hidden_;
  std::vector<double> anchorReach_;
  std::vector<QRect> shownPixels_;  // where the pieces painted can reach
  std::vector<Run> runs_;
  std::vector<QxPathSegment> runSegments_;
};

}  // namespace qx::paint
