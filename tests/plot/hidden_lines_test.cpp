// Hidden lines in hand-made drawings, against the exact reference: what
// the plot draws lies on the visible stretches, and covers them.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "host/document/color_values.h"
#include "plot_test_support.h"

namespace qx::plot::test {
namespace {

constexpr double kMmPerPt = 25.4 / 72;

// The plot of `document` agrees with the reference to within a few
// tolerances (0.01 mm): every visible stretch drawn, nothing else.
void expectMatchesReference(const Document& document, const PlotOptions& options = PlotOptions()) {
  const Plot plot = plotOf(document, options);
  const std::vector<Stretch> reference = referenceVisible(document.art());
  EXPECT_NEAR(plotLength(plot), stretchLength(reference, plot.placement), 0.02 + 0.002 * plotLength(plot));
  EXPECT_LT(strayFromPlot(reference, plot.placement, plot, 0.2, 0.05), 0.03);
  EXPECT_LT(strayFromReference(plot, reference, plot.placement, 0.2), 0.03);
}

TEST(HiddenLines, ACircleOverALineHidesTheChordInsideIt) {
  Document d;
  addLine(d.art(), {0, 100}, {200, 100});
  addCircle(d.art(), {100, 100}, 30);
  const Plot plot = plotOf(d);
  // The line shows 70 pt on either side, the circle's outline whole.
  EXPECT_NEAR(plot.stats.penDownMm, (140 + 2 * std::numbers::pi * 30) * kMmPerPt, 0.05);
  expectMatchesReference(d);
}

TEST(HiddenLines, ALineAboveTheCircleShowsWhole) {
  Document d;
  addCircle(d.art(), {100, 100}, 30);
  addLine(d.art(), {0, 100}, {200, 100});
  EXPECT_NEAR(plotOf(d).stats.penDownMm, (200 + 2 * std::numbers::pi * 30) * kMmPerPt, 0.05);
}

TEST(HiddenLines, ACompoundPathsHoleShowsWhatLiesBelow) {
  for (bool evenOdd : {false, true}) {
    Document d;
    addLine(d.art(), {-50, 50}, {150, 50}, style(false));
    QxPathStyle s = style(true, false);  // a fill without an outline
    s.evenOdd = evenOdd;
    // The hole runs the other way round, so it is a hole under either rule.
    addCompound(d.art(), {{{0, 0}, {100, 0}, {100, 100}, {0, 100}}, {{25, 25}, {25, 75}, {75, 75}, {75, 25}}}, s);
    const Plot plot = plotOf(d);
    EXPECT_NEAR(plot.stats.penDownMm, (50 + 50 + 50) * kMmPerPt, 0.03) << "evenOdd " << evenOdd;
    expectMatchesReference(d);
  }
}

TEST(HiddenLines, AnEvenOddStarLeavesItsMiddleOpen) {
  // A five-pointed star drawn in one stroke: its middle is wound twice,
  // open under the even-odd rule and filled under the non-zero one.
  std::vector<Point> star;
  for (int i = 0; i < 5; ++i) {
    const double a = std::numbers::pi / 2 + i * 4 * std::numbers::pi / 5;
    star.push_back({100 + 80 * std::cos(a), 100 + 80 * std::sin(a)});
  }
  double shown[2] = {};
  for (bool evenOdd : {false, true}) {
    Document d;
    addLine(d.art(), {0, 100}, {200, 100}, style(false));
    QxPathStyle s = style(true, false);
    s.evenOdd = evenOdd;
    addCompound(d.art(), {star}, s);
    shown[evenOdd] = plotOf(d).stats.penDownMm;
    expectMatchesReference(d);
  }
  // The inner pentagon is some 45 pt across where the line passes.
  EXPECT_GT(shown[1] - shown[0], 40 * kMmPerPt);
}

TEST(HiddenLines, AStrokeUnderThreeStackedShapesShowsOnlyOutsideAllOfThem) {
  Document d;
  addLine(d.art(), {0, 50}, {300, 50}, style(false));
  addRect(d.art(), 20, 0, 80, 100, style(true, false));
  addRect(d.art(), 60, 0, 140, 100, style(true, false));
  addCircle(d.art(), {200, 50}, 40, style(true, false));
  const Plot plot = plotOf(d);
  EXPECT_NEAR(plot.stats.penDownMm, (20 + 20 + 60) * kMmPerPt, 0.03);
  expectMatchesReference(d);
}

TEST(HiddenLines, AShapeExactlyCoveringAnotherLeavesOneOutline) {
  Document d;
  addCircle(d.art(), {100, 100}, 30);
  addCircle(d.art(), {100, 100}, 30);
  addRect(d.art(), 200, 0, 260, 60);
  addRect(d.art(), 200, 0, 260, 60);
  const Plot plot = plotOf(d);
  EXPECT_NEAR(plot.stats.penDownMm, (2 * std::numbers::pi * 30 + 240) * kMmPerPt, 0.05);
  EXPECT_EQ(plot.stats.strokes, 2u);
}

TEST(HiddenLines, TilingDuplicatesAreDrawnOnce) {
  // A shape and its mirror image across an axis through its middle, as the
  // four-fold tiling lays them, and a line drawn back over itself.
  Document d;
  std::vector<QxPathSegment> arrow = {corner(0, 0), corner(40, 10), corner(80, 0), corner(40, 60)};
  std::vector<QxPathSegment> mirrored;
  for (auto s : arrow) mirrored.insert(mirrored.begin(), corner(80 - s.p.x, s.p.y));
  addPath(d.art(), arrow, true, style(false));
  addPath(d.art(), mirrored, true, style(false));
  addPath(d.art(), {corner(100, 0), corner(200, 0), corner(100, 0)}, false, style(false));
  const Plot plot = plotOf(d);
  const double arrowLength = 2 * std::hypot(40, 10) + 2 * std::hypot(40, 60);
  EXPECT_NEAR(plot.stats.penDownMm, (arrowLength + 100) * kMmPerPt, 0.03);
}

TEST(HiddenLines, AnOutlineStaysOnTopOfItsOwnFill) {
  Document d;
  addRect(d.art(), 0, 0, 100, 50);
  QxPathStyle s = style();
  s.evenOdd = true;
  addCompound(d.art(), {{{200, 0}, {300, 0}, {300, 100}, {200, 100}}, {{220, 20}, {280, 20}, {280, 80}, {220, 80}}}, s);
  EXPECT_NEAR(plotOf(d).stats.penDownMm, (300 + 400 + 240) * kMmPerPt, 0.03);
}

TEST(HiddenLines, OnlyOpaqueFillsHide) {
  Document d;
  addLine(d.art(), {0, 50}, {200, 50}, style(false));
  const QxArtHandle faint = addRect(d.art(), 50, 0, 150, 100, style(true, false));
  ASSERT_EQ(d.art().setOpacity(faint, 0.5), 0);
  EXPECT_NEAR(plotOf(d).stats.penDownMm, 200 * kMmPerPt, 0.03);
  PlotOptions keep;
  keep.keepHidden = true;
  Document d2;
  addLine(d2.art(), {0, 50}, {200, 50}, style(false));
  addRect(d2.art(), 50, 0, 150, 100, style(true, false));
  EXPECT_NEAR(plotOf(d2).stats.penDownMm, 100 * kMmPerPt, 0.03);
  EXPECT_NEAR(plotOf(d2, keep).stats.penDownMm, 200 * kMmPerPt, 0.03);
}

TEST(HiddenLines, CurvesAreFlattenedWithinTheTolerance) {
  Document d;
  addCircle(d.art(), {100, 100}, 80, style(false));
  for (double tolerance : {0.01, 0.1, 0.5}) {
    PlotOptions o;
    o.toleranceMm = tolerance;
    const Plot plot = plotOf(d, o);
    ASSERT_EQ(plot.layers.size(), 1u);
    // Every vertex on the circle, every chord's middle within the tolerance of it.
    const Point c = plot.placement.toPaper({100, 100});
    const double r = 80 * kMmPerPt;
    double worst = 0;
    for (const Polyline& s : plot.layers[0].strokes)
      for (size_t i = 1; i < s.size(); ++i) {
        worst = std::max(worst, std::abs(distance(s[i], c) - r));
        worst = std::max(worst, std::abs(distance({(s[i].x + s[i - 1].x) / 2, (s[i].y + s[i - 1].y) / 2}, c) - r));
      }
    EXPECT_LT(worst, tolerance * 1.05) << tolerance;
    EXPECT_GT(worst, tolerance * 0.2) << tolerance;  // and not much finer than asked
  }
}

TEST(HiddenLines, HatchingFillsWithTheFillColoursPenUnderTheSameOcclusion) {
  Document d;
  QxPathStyle red = style(true, false);
  red.fill.color = host::rgbColor(1, 0, 0);
  addRect(d.art(), 0, 0, 72, 72, red);                        // an inch square
  addRect(d.art(), 36, 0, 108, 72, style(true, false));  // the right half under white
  PlotOptions o;
  o.hatchSpacingMm = 1;
  o.hatchAngleDeg = 0;
  const Plot plot = plotOf(d, o);
  // White hatches the right square whole; red shows on its left half only.
  ASSERT_EQ(plot.layers.size(), 2u);
  double red_ = 0, white = 0;
  for (const PenLayer& layer : plot.layers) {
    double length = 0;
    for (const Polyline& s : layer.strokes)
      for (size_t i = 1; i < s.size(); ++i) length += distance(s[i - 1], s[i]);
    (layer.pen.color == host::Srgb8{255, 0, 0} ? red_ : white) = length;
  }
  // 26 lines 1 mm apart across 25.4 mm (one may fall on an edge), each 12.7
  // mm long for red, 25.4 mm for white, whole.
  EXPECT_NEAR(red_, 26 * 12.7, 12.8);
  EXPECT_NEAR(white, 26 * 25.4, 25.5);
}

TEST(HiddenLines, DashedStrokesAreDrawnAsTheirDashes) {
  Document d;
  QxPathStyle s = style(false);
  s.stroke.dash.length = 2;
  s.stroke.dash.array[0] = 10;
  s.stroke.dash.array[1] = 5;
  addLine(d.art(), {0, 0}, {150, 0}, s);
  const Plot plot = plotOf(d);
  EXPECT_EQ(plot.stats.strokes, 10u);
  EXPECT_NEAR(plot.stats.penDownMm, 100 * kMmPerPt, 0.01);
}

}  // namespace
}  // namespace qx::plot::test
