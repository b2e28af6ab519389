// The fast way from art to pixels, for the window and for PNG pictures: art
// is painted from the top of the paint order down, so what lies under opaque
// paint is passed over unread (ArtPainter, top down), and the picture is cut
// into horizontal bands painted at once, one per core. Each band reads the
// store only; the caller keeps the store unchanged while paint() runs, which
// the window does by painting from its own thread between plug-in calls.
//
// The plain bottom-up ArtPainter stays the reference: pictures from both
// agree (tests compare them), and PDF output keeps it to stay vector.
#pragma once

#include <memory>
#include <vector>

#include <QImage>
#include <QTransform>

#include "host/gui/art_painter.h"

namespace qx::host {
class ArtStore;
}

namespace qx::gui {

class RasterEngine {
 public:
  // Paints `art` into `image` (ARGB32 premultiplied, cleared to transparent
  // by the caller) through `toDevice`, the transform a QPainter on the whole
  // image would take. `threads` 0 takes one band per core. The store and the
  // image must outlive the engine, and the image must not be resized or
  // copied into while it paints.
  RasterEngine(const host::ArtStore& art, QImage* image, const QTransform& toDevice, int threads = 0);
  ~RasterEngine();
  RasterEngine(const RasterEngine&) = delete;
  RasterEngine& operator=(const RasterEngine&) = delete;

  // Paint until every band is done, or until about `budgetMs` milliseconds
  // have passed (never when negative); true once all art is done.
  bool paint(qint64 budgetMs = -1);
  // The art changed under the painting: start a new engine.
  bool lost() const;

  // The number of cores painting uses when asked for 0 threads.
  static int defaultThreads();

 private:
  struct Band;
  std::vector<std::unique_ptr<Band>> bands_;
};

}  // namespace qx::gui
