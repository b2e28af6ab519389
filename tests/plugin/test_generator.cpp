// The lattice generator's layouts: point counts, step lengths, start points,
// shapes along the continuous line, and split lines.
#include <gtest/gtest.h>

#include "support/generator_host.h"

namespace qx::test {
namespace {

constexpr QxReal kTol = 1e-3f;

class Generator : public GeneratorHost {
 protected:
  std::vector<QxArtHandle> run(const FilterParameters& params) {
    const size_t before = doc_.art().topLevelArt().size();
    EXPECT_EQ(go(params), 0);
    return art(before);
  }
  std::vector<QxPathSegment> segments(QxArtHandle path) {
    const auto s = info(path).segments;
    return {s.begin(), s.end()};
  }
  static QxReal black(const ArtFacts& i) { return components(i.style.stroke.color)[3]; }
};

TEST_F(Generator, RadiusFactorCompoundsFromTheStartShapeOrFromTheFirstStep) {
  FilterParameters p = defaults();
  p.pointsMin = p.pointsMax = 3;
  p.shapeKind = 1;
  p.shapeSizeMin = p.shapeSizeMax = 8;
  p.radiusFactor = 50;
  auto added = run(p);
  ASSERT_EQ(added.size(), 5u);
  const QxReal halved[] = {8, 4, 2, 1};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(width(info(added[1 + i])), halved[i], kTol) << i;

  // Without sizes and without a selection, "Selected" has no start shape, so
  // step i's circle of 20 points is scaled by the factor to the power i.
  p.shapeKind = 27;
  p.shapeSizeMin = p.shapeSizeMax = 0;
  added = run(p);
  ASSERT_EQ(added.size(), 4u);
  const QxReal circles[] = {20, 10, 5};
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(width(info(added[1 + i])), circles[i], kTol) << i;

  p.shapeKind = 1;  // no size, no shapes
  EXPECT_EQ(run(p).size(), 1u);
  p.lockShapeSize = 1;
  p.shapeSizeMax = 10;  // locked to the minimum 0
  EXPECT_EQ(run(p).size(), 1u);
}

TEST_F(Generator, AStartShapeIsAlwaysPlacedButStepsOfSizeZeroAreNot) {
  FilterParameters p = defaults();
  p.pointsMin = p.pointsMax = 2;
  p.shapeKind = 1;
  p.shapeSizeMax = 10;
  // points, start size 0 (becomes 1), the start shape's five draws, then
  // per step axis, sign and size: 0 at step 0, 5 at step 1.
  script({0, 0, 0.25f, 0.25f, 0.25f, 0.25f, 0.25f, 0.25f, 0.25f, 0, 0.25f, 0.25f, 0.5f});
  const auto added = run(p);
  ASSERT_EQ(added.size(), 3u);
  EXPECT_NEAR(width(info(added[1])), 1, kTol);
  EXPECT_NEAR(width(info(added[2])), 5, kTol);
  EXPECT_NEAR(centre(info(added[2])).y, 140, kTol) << "the shape of step 1";
}

TEST_F(Generator, PointRangesLockAndSwap) {
  FilterParameters p = defaults();
  p.pointsMin = 5;
  p.pointsMax = 50;
  p.lockPoints = 1;
  EXPECT_EQ(info(run(p).at(0)).segments.size(), 6u);
  p.lockPoints = 0;
  p.pointsMin = 50;
  p.pointsMax = 5;
  script({0.5f});  // trunc(0.5 x 45 + 5) = 27 steps
  EXPECT_EQ(info(run(p).at(0)).segments.size(), 28u);
}

TEST_F(Generator, StepLengthsScaleAfterEveryStepButNeverFallBelowTheMinimum) {
  FilterParameters p = defaults();
  p.directionMode = 3;  // both axes; every draw of 0.25 is a plus sign
  p.pointsMin = p.pointsMax = 3;
  p.distanceFactorX = 0;
  p.distanceFactorY = 200;
  auto s = segments(run(p).at(0));
  ASSERT_EQ(s.size(), 4u);
  const QxReal xs[] = {0, 70, 80, 90};
  const QxReal ys[] = {0, 70, 210, 490};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(s[i].p.x, xs[i], kTol) << i;
    EXPECT_NEAR(s[i].p.y, ys[i], kTol) << i;
  }
  p.stepX = 4;  // raised to the minimum distance once per set, too
  p.lockStep = 1;
  p.distanceFactorY = 100;
  s = segments(run(p).at(0));
  EXPECT_NEAR(s[1].p.x, 10, kTol);
  EXPECT_NEAR(s[1].p.y, 10, kTol);
}

TEST_F(Generator, SetsStartAtTheOriginOrARandomPointAndTurnAboutIt) {
  FilterParameters p = defaults();
  p.pointsMin = p.pointsMax = 1;
  p.lineSets = 3;
  p.curvatureX = 5;
  p.curvatureY = -2;
  for (QxArtHandle line : run(p)) {
    const auto s = segments(line);
    EXPECT_EQ(s[0].p.x, 0);
    EXPECT_EQ(s[0].p.y, 0);
    EXPECT_NEAR(s[1].in.x, s[1].p.x - 5, kTol) << "handles follow the anchor";
    EXPECT_NEAR(s[1].out.y, s[1].p.y - 2, kTol);
  }

  p.randomStart = 1;
  p.lineSets = 2;
  script({0, 0.25f, 0.5f});  // x = 0.75 W, y = 1.0 H; then 0.25 for the rest
  auto lines = run(p);
  EXPECT_NEAR(segments(lines[0])[0].p.x, 0.75f * 612, kTol);
  EXPECT_NEAR(segments(lines[0])[0].p.y, 792, kTol);
  EXPECT_NEAR(segments(lines[1])[0].p.y, 0.75f * 792, kTol);

  // A quarter turn about the start point: the step up becomes a step left.
  p.randomStart = 0;
  p.lineSets = 1;
  p.setAngle = 90;
  const auto s = segments(run(p).at(0));
  EXPECT_NEAR(s[1].p.x, -70, kTol);
  EXPECT_NEAR(s[1].p.y, 0, kTol);
}

TEST_F(Generator, TheLineFinishesWithOpacityWidthAndFillOrIsDeleted) {
  FilterParameters p = defaults();
  p.pointsMin = p.pointsMax = 0;
  p.randomOpacity = 1;
  p.lineWidthMin = 0;
  p.lineWidthMax = 10;
  script({0, 0, 0.4f, 0.7f});  // points, start size, opacity, width
  auto line = info(run(p).at(0));
  EXPECT_NEAR(line.opacity, 0.4f, kTol);
  EXPECT_NEAR(line.style.stroke.width, 7, kTol);
  EXPECT_EQ(line.style.fillPaint, 0) << "lines are not filled unless asked";
  p.linesFillVisible = 1;
  EXPECT_NE(info(run(p).at(0)).style.fillPaint, 0);

  p.pointsMin = p.pointsMax = 2;
  p.shapeKind = 1;
  p.shapeSizeMin = p.shapeSizeMax = 10;
  p.deleteLine = 1;
  p.tileMode = 2;
  const auto added = run(p);
  ASSERT_EQ(added.size(), 12u) << "three shapes with three tiles each, no line";
  for (QxArtHandle a : added) EXPECT_EQ(info(a).segments.size(), 4u);
  p.lineSets = 0;
  EXPECT_EQ(countDraws([&] { EXPECT_TRUE(run(p).empty()); }), 0u);
}

TEST_F(Generator, SplitLinesDrawOnePieceAStepWithItsOwnColourWidthAndOpacity) {
  setTemplateStroke(color(QX_COLOR_PROCESS, {0, 0, 0, 1}));
  FilterParameters p = defaults();
  p.splitLines = 1;
  p.pointsMin = p.pointsMax = 3;
  p.lineStrokeMode = 1;  // to white over pieces 0 to 2
  p.randomOpacity = 1;
  p.lineWidthMin = 0;
  p.lineWidthMax = 10;
  p.shapeKind = 1;  // shapes, tiles and deletion do nothing here
  p.shapeSizeMin = p.shapeSizeMax = 10;
  p.tileMode = 1;
  p.deleteLine = 1;
  // Per piece: axis, sign, width, opacity.
  script({0, 0.25f, 0.25f, 0.3f, 0.6f, 0.25f, 0.25f, 0.7f, 0.2f, 0.75f, 0.25f, 0.1f, 0.9f});
  const auto pieces = run(p);
  ASSERT_EQ(pieces.size(), 3u);
  const QxReal widths[] = {3, 7, 1}, opacities[] = {0.6f, 0.2f, 0.9f}, blacks[] = {1, 0.5f, 0};
  QxRealPoint end = {0, 0};
  for (int j = 0; j < 3; ++j) {
    const auto piece = info(pieces[j]);
    ASSERT_EQ(piece.segments.size(), 2u);
    EXPECT_EQ(piece.segments[0].p.x, end.x) << "pieces join end to end";
    EXPECT_EQ(piece.segments[0].p.y, end.y);
    end = piece.segments[1].p;
    EXPECT_NEAR(piece.style.stroke.width, widths[j], kTol) << j;
    EXPECT_NEAR(piece.opacity, opacities[j], kTol) << j;
    EXPECT_NEAR(black(piece), blacks[j], kTol) << j;
    EXPECT_EQ(piece.style.fillPaint, 0);
  }
  EXPECT_NEAR(end.x, 70, kTol);
  EXPECT_NEAR(end.y, 140, kTol);

  p.pointsMin = p.pointsMax = 1;  // period 0: the piece keeps the template's stroke
  p.lineStrokeMode = 15;
  EXPECT_NE(info(run(p).at(0)).style.strokePaint, 0);
}

}  // namespace
}  // namespace qx::test
