// A picture painted as horizontal bands at once, one BandPainter each
// (band_painter.h), on Qt's global thread pool: the window's and the PNG
// pictures' way from art to pixels. Each band reads the store only; the
// caller keeps the store unchanged while paint() runs, which the window does
// by painting from its own thread between plug-in calls.
//
// The band painter is tested against the reference painter: pictures from
// both agree within what two ways of blending the same coverage can differ
// by.
#pragma once

#include <memory>
#include <vector>

#include <QImage>
#include <QTransform>

namespace qx::host {
class ArtStore;
}

namespace qx::paint {

class ParallelBands {
 public:
  // Cuts `image` (ARGB32 premultiplied, cleared to transparent by the
  // caller) into bands painted through `toDevice`, the transform a QPainter
  // on the whole image would take. `threads` 0 takes one band per core. The
  // store and the image must outlive the painting, and the image must not be
  // resized or copied into while it paints. Another image paints nothing.
  ParallelBands(const host::ArtStore& art, QImage* image, const QTransform& toDevice, int threads = 0);
  ~ParallelBands();
  ParallelBands(const ParallelBands&) = delete;
  ParallelBands& operator=(const ParallelBands&) = delete;

  // Paint until every band is done, or until about `budgetMs` milliseconds
  // have passed (never when negative); true once all art is done.
  bool paint(qint64 budgetMs = -1);
  // The art changed under the painting: start a new one.
  bool lost() const;

  // The number of bands painted at once when asked for 0 threads.
  static int defaultThreads();

 private:
  struct Band;
  std::vector<std::unique_ptr<Band>> bands_;
};

}  // namespace qx::paint
