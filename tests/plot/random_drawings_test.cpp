// Many small random drawings against the exact reference: rectangles,
// ovals, stars and lines, filled or not, with both fill rules, in random
// paint order. The plot must draw what the reference shows and nothing else.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

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
