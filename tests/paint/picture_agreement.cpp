#include "picture_agreement.h"

#include <algorithm>
#include <cstdlib>

#include <QPainter>
#include <QProcess>

namespace qx::test {
namespace {

int channel(QRgb c, int k) { return k == 0 ? qRed(c) : k == 1 ? qGreen(c) : qBlue(c); }

bool onEdge(const QImage& image, int x, int y) {
  for (int k = 0; k < 3; ++k) {
    int lo = 255, hi = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const int px = std::clamp(x + dx, 0, image.width() - 1), py = std::clamp(y + dy, 0, image.height() - 1);
        const int v = channel(image.pixel(px, py), k);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
    if (hi - lo > 64) return true;
  }
  return false;
}

}  // namespace

Agreement compare(const QImage& a, const QImage& b) {
  Agreement result;
  long close = 0, offEdges = 0, closeOffEdges = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      int worst = 0;
      for (int k = 0; k < 3; ++k)
        worst = std::max(worst, std::abs(channel(a.pixel(x, y), k) - channel(b.pixel(x, y), k)));
      if (worst <= 8) ++close;
      if (onEdge(a, x, y) || onEdge(b, x, y)) continue;
      ++offEdges;
      if (worst <= 8) ++closeOffEdges;
      if (worst > 64) ++result.farOffEdges;
    }
  result.within8 = static_cast<double>(close) / (static_cast<double>(a.width()) * a.height());
  result.within8OffEdges = offEdges ? static_cast<double>(closeOffEdges) / static_cast<double>(offEdges) : 1;
  return result;
}

QImage onWhite(const QString& path) {
  QImage image(path);
  if (image.isNull()) return image;
  QImage flat(image.size(), QImage::Format_RGB32);
  flat.fill(Qt::white);
  QPainter(&flat).drawImage(0, 0, image);
  return flat;
}

bool runProgram(const QString& program, const QStringList& args, QString* output) {
  QProcess process;
  process.start(program, args);
  const bool ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
                  process.exitCode() == 0;
  *output = QString::fromUtf8(process.readAllStandardError());
  return ok;
}

}  // namespace qx::test
