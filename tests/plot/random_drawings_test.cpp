// Many small random drawings against the exact reference: rectangles,
// ovals, stars and lines, filled or not, with both fill rules, in random
// paint order. The plot must draw what the reference shows and nothing else.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "host/io/svg_read/svg_import.h"

#include "plot_test_support.h"

namespace qx::plot::test {
namespace {

void addRandomObject(ArtStore& store, std::mt19937& random) {
  std::uniform_real_distribution<double> at(0, 200), size(5, 80), unit(0, 1);
  const bool filled = unit(random) < 0.7, stroked = unit(random) < 0.8;
  QxPathStyle s = style(filled, stroked);
  s.evenOdd = unit(random) < 0.5;
  QxArtHandle art = nullptr;
  switch (std::uniform_int_distribution<int>(0, 3)(random)) {
    case 0: {
      const double x = at(random), y = at(random);
      addRect(store, x, y, x + size(random), y + size(random), s);
      return;
    }
    case 1:
      ASSERT_EQ(store.newOval(at(random), at(random), size(random), size(random), unit(random) < 0.5, &art), 0);
      break;
    case 2:
      ASSERT_EQ(store.newStar(std::uniform_int_distribution<int>(3, 7)(random), at(random), at(random), size(random),
                              size(random) / 3, unit(random) < 0.5, &art),
                0);
      break;
    default: {
      // Closed ones of three points at least: two would run back over themselves, which the plot draws once.
      std::vector<QxPathSegment> line;
      const bool closed = unit(random) < 0.3;
      for (int i = 0, n = std::uniform_int_distribution<int>(closed ? 3 : 2, 6)(random); i < n; ++i)
        line.push_back(corner(at(random), at(random)));
      addPath(store, line, closed, s);
      return;
    }
  }
  ASSERT_EQ(store.setPathStyle(art, s), 0);
}

TEST(RandomDrawings, PlotsMatchTheExactReference) {
  std::mt19937 random(20240611);
  for (int drawing = 0; drawing < 60; ++drawing) {
    Document d;
    const int objects = std::uniform_int_distribution<int>(2, 12)(random);
    for (int i = 0; i < objects; ++i) addRandomObject(d.art(), random);
    PlotOptions o;
    o.toleranceMm = 0.02;
    const Plot plot = plotOf(d, o);
    const std::vector<Stretch> reference = referenceVisible(d.art());
    const double expected = stretchLength(reference, plot.placement);
    // Lengths agree to a tolerance a cut; cuts are at most a few per segment.
    EXPECT_NEAR(plot.stats.penDownMm, expected, 0.05 + 0.003 * expected) << "drawing " << drawing;
    EXPECT_LT(strayFromPlot(reference, plot.placement, plot, 1.0, 0.1), 0.05) << "drawing " << drawing;
    EXPECT_LT(strayFromReference(plot, reference, plot.placement, 1.0), 0.05) << "drawing " << drawing;
  }
}

}  // namespace
}  // namespace qx::plot::test

namespace qx::plot::test {
namespace {

// A lattice as the plug-in draws it (circles at every point of locked
// walks, tiled four-fold, so copies stack and meet along the axes): every
// shortcut of the hidden-line pass at work, against the reference.
TEST(LatticeDrawing, PlotMatchesTheExactReference) {
  const std::string base = "/tmp/qx_plot_lattice." + std::to_string(getpid());
  const std::string command = std::string("'") + QX_QUELVIX_EXE + "' render --fresh --seed 11 --state '" + base +
                              ".state' --set preview=0 --set shapeSizeMin=20 --set shapeSizeMax=20 --set tileMode=1" +
                              " --set lineSets=2 --set pointsMin=12 --set pointsMax=12 --set lockPoints=1 -o '" + base +
                              ".svg' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string why;
  std::unique_ptr<Document> d = host::readSvgDocument(base + ".svg", &why);
  std::remove((base + ".svg").c_str());
  std::remove((base + ".state").c_str());
  ASSERT_TRUE(d) << why;
  ASSERT_GT(d->art().liveArtCount(), 80u);
  const Plot plot = plotOf(*d);
  const std::vector<Stretch> reference = referenceVisible(d->art());
  // The reference draws a segment met twice twice; the plot once. What it
  // shows must lie on the reference, and the reference show nowhere it does not.
  EXPECT_LT(strayFromReference(plot, reference, plot.placement, 1.0), 0.03);
  EXPECT_LT(strayFromPlot(reference, plot.placement, plot, 1.0, 0.1), 0.03);
}

}  // namespace
}  // namespace qx::plot::test
