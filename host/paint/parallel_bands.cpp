#include "host/paint/parallel_bands.h"

#include <algorithm>
#include <thread>

#include <QPainter>
#include <QSemaphore>
#include <QThreadPool>

#include "host/paint/band_painter.h"

namespace qx::paint {

struct ParallelBands::Band {
  Band(const host::ArtStore& art, QImage view, const QTransform& transform)
      : image(std::move(view)), toDevice(transform), painter(art) {}

  void paint(qint64 budgetMs) {
    if (done) return;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(toDevice);
    done = painter.paint(p, budgetMs);
    if (painter.lost()) done = true;
  }

  QImage image;  // rows of the caller's image, sharing its pixels
  QTransform toDevice;
  BandPainter painter;
  bool done = false;
};

int ParallelBands::defaultThreads() {
  return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

ParallelBands::ParallelBands(const host::ArtStore& art, QImage* image, const QTransform& toDevice, int threads) {
  if (!image || image->isNull() || image->format() != QImage::Format_ARGB32_Premultiplied) return;
  if (threads <= 0) threads = defaultThreads();
  const int height = image->height();
  const int count = std::clamp(threads, 1, std::max(1, height / 16));
  const qreal dpr = image->devicePixelRatio();
  uchar* pixels = image->bits();  // detaches once, here, before the bands share the pixels
  const qsizetype stride = image->bytesPerLine();
  for (int i = 0; i < count; ++i) {
    const int top = height * i / count, bottom = height * (i + 1) / count;
    QImage view(pixels + stride * top, image->width(), bottom - top, stride, QImage::Format_ARGB32_Premultiplied);
    view.setDevicePixelRatio(dpr);
    // A band is the whole picture moved up by its first row.
    const QTransform moved = toDevice * QTransform::fromTranslate(0, -top / dpr);
    bands_.push_back(std::make_unique<Band>(art, std::move(view), moved));
  }
}

ParallelBands::~ParallelBands() = default;

bool ParallelBands::paint(qint64 budgetMs) {
  // The bands run on Qt's global thread pool: Qt's raster fills spread a
  // large fill over that pool unless they already run on it, and for
  // millions of small objects the hand-offs cost far more than the fills.
  // A band no pool thread is free for is painted here.
  QThreadPool* pool = QThreadPool::globalInstance();
  QSemaphore finished;
  int started = 0;
  std::vector<Band*> here;
  for (const auto& band : bands_) {
    if (band->done) continue;
    Band* b = band.get();
    if (pool->tryStart([b, budgetMs, &finished] {
          b->paint(budgetMs);
          finished.release();
        }))
      ++started;
    else here.push_back(b);
  }
  for (Band* b : here) b->paint(budgetMs);
  finished.acquire(started);
  return std::all_of(bands_.begin(), bands_.end(), [](const auto& b) { return b->done; });
}

bool ParallelBands::lost() const {
  return std::any_of(bands_.begin(), bands_.end(), [](const auto& b) { return b->painter.lost(); });
}

}  // namespace qx::paint
