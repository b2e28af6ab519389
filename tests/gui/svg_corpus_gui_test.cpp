// The SVG reader and the painter against another renderer: each file of the
// corpus exported to PNG by `quelvix export` matches rsvg-convert's picture
// of the same file.
//
// How pictures are compared: both on a white ground, channel by channel.
// Two rasterisers cover the pixels along an anti-aliased edge differently
// (by 10 to 30 levels where an edge is nearly level), so edges are set
// apart: a pixel is on an edge when, in either picture, some channel varies
// by more than 64 levels over its 3 x 3 neighbourhood. Off the edges at
// least 99.5 % of the pixels must be within 8 levels in every channel and
// all of them within 64; over the whole picture, edges included, at least
// 97 %.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <QImage>
#include <QPainter>
#include <QProcess>

namespace qx::test {
namespace {

namespace fs = std::filesystem;

struct Agreement {
  double within8 = 0;          // share of all pixels within 8 levels in every channel
  double within8OffEdges = 0;  // the same among the pixels that are not on an edge
  int farOffEdges = 0;         // pixels off by more than 64 that are not on an edge
};

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

// The picture on a white ground, as 32-bit RGB.
QImage onWhite(const QString& path) {
  QImage image(path);
  if (image.isNull()) return image;
  QImage flat(image.size(), QImage::Format_RGB32);
  flat.fill(Qt::white);
  QPainter(&flat).drawImage(0, 0, image);
  return flat;
}

bool run(const QString& program, const QStringList& args, QString* output) {
  QProcess process;
  process.start(program, args);
  const bool ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
                  process.exitCode() == 0;
  *output = QString::fromUtf8(process.readAllStandardError());
  return ok;
}

TEST(SvgCorpus, ExportedPicturesMatchAnotherRenderer) {
  if (QProcess::execute("rsvg-convert", {"--version"}) != 0) GTEST_SKIP() << "rsvg-convert is not installed";
  const fs::path dir = fs::temp_directory_path() / "qx_svg_corpus";
  fs::create_directories(dir);
  // Gradients, patterns and text are left out: the document paints a
  // gradient with its first stop and does not import text.
  for (const char* name : {"shapes", "transforms", "paint", "motif", "quelvix-own"}) {
    SCOPED_TRACE(name);
    const QString svg = QString(SVG_TEST_DATA "/%1.svg").arg(name);
    const QString ours = QString::fromStdString((dir / (std::string(name) + "-ours.png")).string());
    const QString theirs = QString::fromStdString((dir / (std::string(name) + "-rsvg.png")).string());
    QString why;
    // Our own files show the art beyond the page too, as their view box does.
    const QString area = std::string(name) == "quelvix-own" ? "art" : "page";
    ASSERT_TRUE(run(QX_QUELVIX_EXE, {"export", svg, "-o", ours, "--dpi", "96", "--area", area}, &why))
        << why.toStdString();
    ASSERT_TRUE(run("rsvg-convert", {svg, "-o", theirs}, &why)) << why.toStdString();
    const QImage a = onWhite(ours), b = onWhite(theirs);
    ASSERT_FALSE(a.isNull());
    ASSERT_EQ(a.size(), b.size());
    const Agreement agreement = compare(a, b);
    EXPECT_GE(agreement.within8OffEdges, 0.995);
    EXPECT_EQ(agreement.farOffEdges, 0);
    EXPECT_GE(agreement.within8, 0.97);
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace qx::test
