// The plain painter: a store's art in paint order from the bottom up, each
// object drawn over what is painted, as the SVG output shows it. It is what
// paints vector output through Qt (PDF), and the reference the band painter
// (band_painter.h) is tested against, so it stays simple: no map of what is
// opaque, no stamps.
//
// Paths and compound paths get fill (even-odd when the style says so),
// stroke (width, cap, join, miter limit, dash) and opacity; groups pass
// their opacity on; art this host cannot draw is skipped, and so are paths
// whose paint cannot reach the painter's device; an outline reaching far
// beyond the device is cut to it first (outline_clip.h), so the cost follows
// what can show. Antialiasing is the caller's choice.
#pragma once

#include <QRectF>

#include "host/document/art_walk.h"
#include "host/paint/walk_context.h"
#include "qx_sdk.h"

class QPainter;

namespace qx::host {
class ArtStore;
}

namespace qx::paint {

class ReferencePainter {
 public:
  // The store must outlive the painter.
  explicit ReferencePainter(const host::ArtStore& art);

  // Paint until all art is done, or until `budgetMs` milliseconds have
  // passed (never when negative); true once all art is done. A painting can
  // go on in a later call, on another QPainter of the same device and
  // transform. The painter's opacity is as it was when the call returns.
  bool paint(QPainter& painter, qint64 budgetMs = -1);
  // The art changed under the painting (an object it was to paint is gone):
  // it stopped, and a new painter has to start again.
  bool lost() const { return walk_.lost(); }

 private:
  void enter(QPainter& painter, const host::ArtStep& step);
  void leave(QPainter& painter, const host::ArtStep& step);
  void paintCompound(QPainter& painter);
  void paintPath(QPainter& painter, QxArtHandle path);

  const host::ArtStore& art_;
  host::ArtWalk walk_;
  QRectF shown_;  // what the device shows, in artwork units, for this call
  GroupOpacity groups_;
  CompoundOutline compound_;
};

}  // namespace qx::paint
