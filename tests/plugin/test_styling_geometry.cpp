// Point stepping, mirror tiling and shape building, seen on the paths a
// whole run draws.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/generator_host.h"

namespace qx::test {
namespace {

constexpr QxReal kTol = 1e-3f;

class Geometry : public GeneratorHost {
 protected:
  // One set of `points` steps of 10 along both axes, no shapes.
  static FilterParameters walk(int32_t mode, int32_t points) {
    FilterParameters p = defaults();
    p.directionMode = mode;
    p.pointsMin = p.pointsMax = points;
    p.stepX = p.stepY = 10;
    return p;
  }

  std::vector<QxRealPoint> anchors(QxArtHandle path) {
    std::vector<QxRealPoint> out;
    for (const QxPathSegment& s : info(path).segments) out.push_back(s.p);
    return out;
  }

  void expectAnchors(QxArtHandle path, const std::vector<QxRealPoint>& want) {
    const auto got = anchors(path);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
      EXPECT_NEAR(got[i].x, want[i].x, kTol) << "point " << i;
      EXPECT_NEAR(got[i].y, want[i].y, kTol) << "point " << i;
    }
  }

  // The shape a run of `params` with no steps puts at the origin.
  ArtFacts startShape(FilterParameters p, int32_t kind, QxReal size) {
    p.pointsMin = p.pointsMax = 0;
    p.shapeKind = kind;
    p.shapeSizeMin = p.shapeSizeMax = size;
    const size_t before = doc_.art().topLevelArt().size();
    EXPECT_EQ(go(p), 0);
    const auto added = art(before);
    EXPECT_EQ(added.size(), 2u) << "kind " << kind;
    return info(added.back());
  }
};

TEST_F(Geometry, EachDirectionModeDrawsItsNumberOfValuesPerStep) {
  // Per step: the mode's own draws, then the shape size.
  const uint64_t perStep[] = {2, 4, 2, 2, 4, 4, 2, 2, 0};
  for (int32_t mode = 0; mode <= 8; ++mode) {
    const uint64_t perSet = mode == 2 ? 2 : 0;  // mode 2 scales the steps once per set
    const uint64_t n = countDraws([&] { go(walk(mode, 5)); });
    EXPECT_EQ(n, 1 + perSet + 1 + 5 * (1 + perStep[mode]) + 1) << "mode " << mode;
  }
}

TEST_F(Geometry, AlternatingModesDoubleEveryOtherStep) {
  // Every draw of 0.25 is a positive sign and a move along y.
  go(walk(6, 4));
  expectAnchors(art().back(), {{0, 0}, {20, 20}, {30, 30}, {50, 50}, {60, 60}});
  go(walk(7, 4));
  expectAnchors(art().back(), {{0, 0}, {10, 20}, {30, 30}, {40, 50}, {60, 60}});
  go(walk(5, 2));
  expectAnchors(art().back(), {{0, 0}, {20, 40}, {30, 60}});
  go(walk(3, 2));
  expectAnchors(art().back(), {{0, 0}, {10, 10}, {20, 20}});
  go(walk(8, 2));
  expectAnchors(art().back(), {{0, 0}, {0, 0}, {0, 0}});
}

TEST_F(Geometry, StraightModesMoveOneAxisByADrawnSignAndLength) {
  // Mode 0: axis (above 0.5: x) and sign (above 0.5: minus), then the
  // step's shape size.
  script({0, 0, 0.75f, 0.75f, 0, 0.25f, 0.25f});
  go(walk(0, 2));
  expectAnchors(art().back(), {{0, 0}, {-10, 0}, {-10, 10}});

  // Mode 1: x fraction, y fraction, axis, sign; 0.1 x 70 is raised to the
  // minimum distance 10.
  FilterParameters p = walk(1, 2);
  p.stepX = p.stepY = 70;
  script({0, 0, 0.1f, 0.5f, 0.75f, 0.25f, 0, 0.5f, 0.9f, 0.75f, 0.75f});
  go(p);
  expectAnchors(art().back(), {{0, 0}, {10, 0}, {-25, 0}});
  p.lockStep = 1;  // y takes the x fraction
  script({0, 0, 0.5f, 0.9f, 0.25f, 0.25f}, 0);
  p.pointsMin = p.pointsMax = 1;
  go(p);
  expectAnchors(art().back(), {{0, 0}, {0, 35}});

  // Mode 2 scales both lengths once per set, right after the point count.
  p = walk(2, 2);
  p.stepX = p.stepY = 70;
  script({0, 0.5f, 0.25f, 0, 0.25f, 0.25f, 0, 0.75f, 0.25f});
  go(p);
  expectAnchors(art().back(), {{0, 0}, {0, 17.5f}, {35, 17.5f}});
}

TEST_F(Geometry, MirrorTilesReflectAcrossTheTilingCentre) {
  ASSERT_EQ(doc_.setPageSize(200, 100), 0);
  FilterParameters p = defaults();
  p.pointsMin = p.pointsMax = 0;
  p.randomStart = 1;  // (0 + 0.5) x page: the start point is (100, 50)
  p.deleteLine = 1;
  p.shapeKind = 6;  // a pentagon shows which way it was flipped
  p.shapeSizeMin = p.shapeSizeMax = 20;
  p.tileMode = 2;  // about (0, 0)
  script({0, 0, 0});
  go(p);
  const auto all = art();
  ASSERT_EQ(all.size(), 4u);
  const auto shape = info(all[0]);
  const QxRealPoint a = centre(shape);
  EXPECT_NEAR(a.x, 100, kTol);
  const QxReal flips[3][2] = {{-1, 1}, {-1, -1}, {1, -1}};
  for (int i = 0; i < 3; ++i) {
    const auto copy = info(all[1 + i]);
    const QxRealPoint c = centre(copy);
    EXPECT_NEAR(c.x, flips[i][0] * a.x, kTol) << "copy " << i;
    EXPECT_NEAR(c.y, flips[i][1] * a.y, kTol) << "copy " << i;
    ASSERT_EQ(copy.segments.size(), shape.segments.size());
    for (size_t s = 0; s < shape.segments.size(); ++s) {
      EXPECT_NEAR(copy.segments[s].p.x - c.x, flips[i][0] * (shape.segments[s].p.x - a.x), kTol);
      EXPECT_NEAR(copy.segments[s].p.y - c.y, flips[i][1] * (shape.segments[s].p.y - a.y), kTol);
    }
  }

  // About the start point, a square's copies lie on it; copies of lines go
  // beneath all art, copies of shapes above.
  p.randomStart = 0;
  p.deleteLine = 0;
  p.shapeKind = 1;
  p.pointsMin = p.pointsMax = 1;
  p.tileMode = 3;
  go(p);
  // Bottom up: three line copies, the first run's four shapes, the line, then
  // each square followed by its three copies.
  const auto tiled = art();
  ASSERT_EQ(tiled.size(), 16u);
  for (size_t i : {0, 1, 2, 7}) EXPECT_EQ(info(tiled[i]).segments.size(), 2u) << i;
  for (size_t i = 8; i < 16; ++i) EXPECT_EQ(info(tiled[i]).segments.size(), 4u) << i;
  for (size_t i = 9; i < 12; ++i) {
    EXPECT_NEAR(centre(info(tiled[i])).x, 0, kTol);
    EXPECT_NEAR(centre(info(tiled[i])).y, 0, kTol);
  }
}

TEST_F(Geometry, ShapeKindsBuildTheirOutlinesAtTheLatticePoint) {
  const FilterParameters p = defaults();
  for (int32_t kind : {0, 1}) {
    const auto s = startShape(p, kind, 30);
    EXPECT_NEAR(width(s), 30, kTol) << kind;
    EXPECT_NEAR(height(s), 30, kTol) << kind;
    EXPECT_NEAR(centre(s).x, 0, kTol) << kind;
    EXPECT_NEAR(centre(s).y, 0, kTol) << kind;
  }
  EXPECT_NEAR(height(startShape(p, 2, 30)), 60, kTol);
  EXPECT_NEAR(width(startShape(p, 3, 30)), 60, kTol);
  EXPECT_NEAR(height(startShape(p, 4, 30)), 60, kTol);
  EXPECT_NEAR(width(startShape(p, 5, 30)), 60, kTol);
  const auto pentagon = startShape(p, 6, 30);
  EXPECT_EQ(pentagon.segments.size(), 5u);
  EXPECT_NEAR(pentagon.bounds.top, 30, kTol) << "a vertex straight up at the radius";
  EXPECT_NEAR(width(pentagon), 60 * std::sin(72 * std::numbers::pi / 180), kTol);
  EXPECT_EQ(startShape(p, 10, 30).segments.size(), 12u);
  EXPECT_EQ(startShape(p, 13, 30).segments.size(), 20u);
}

TEST_F(Geometry, ShapeKindsDrawTheirValuesInOrder) {
  // Without steps a run draws: points, start size, the kind's draws, the
  // shape's stroke width (when a shape is made) and the line's width.
  auto perKind = [](int32_t kind) -> uint64_t {
    if (kind == 17 || kind == 18 || (kind >= 19 && kind <= 22)) return 5;
    if (kind == 26) return 1 + 4;  // the kind, then kind 6 (0.25 x 25)
    return 4;
  };
  FilterParameters p = defaults();
  p.pointsMin = p.pointsMax = 0;
  p.shapeSizeMin = p.shapeSizeMax = 30;
  for (int32_t kind = 0; kind <= 27; ++kind) {
    p.shapeKind = kind;
    EXPECT_EQ(countDraws([&] { go(p); }), 2 + perKind(kind) + 1 + 1) << "kind " << kind;
  }
  for (int32_t kind : {28, -1}) {
    p.shapeKind = kind;
    const size_t before = doc_.art().topLevelArt().size();
    EXPECT_EQ(countDraws([&] { go(p); }), 3u) << "kind " << kind;
    EXPECT_EQ(art(before).size(), 1u) << "only the line";
  }

  // Signs y then x, the random height, then the amounts y then x.
  p.jitterX = p.jitterY = 10;
  p.shapeKind = 19;
  script({0, 0, 0.9f, 0.1f, 0.5f, 0.5f, 0.25f});
  go(p);
  const auto oval = info(doc_.art().topLevelArt().back());
  EXPECT_NEAR(height(oval), 15, kTol);
  EXPECT_NEAR(width(oval), 30, kTol);
  EXPECT_NEAR(centre(oval).x, 2.5f, kTol);
  EXPECT_NEAR(centre(oval).y, -5, kTol);

  // The side count comes after the jitter: 1 + trunc(20 x 0.1) sides.
  p.shapeKind = 17;
  script({0, 0, 0.25f, 0.25f, 0.25f, 0.25f, 0.1f});
  go(p);
  EXPECT_EQ(info(doc_.art().topLevelArt().back()).segments.size(), 3u);
}

TEST_F(Geometry, AlternatingKindsFollowTheStepParity) {
  FilterParameters p = defaults();
  p.pointsMin = p.pointsMax = 3;
  p.shapeSizeMin = p.shapeSizeMax = 30;
  p.shapeKind = 24;
  go(p);
  auto shapes = art(1);
  ASSERT_EQ(shapes.size(), 4u);
  const QxReal sizes[] = {60, 60, 30, 60};  // start point, steps 0, 1, 2
  for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(width(info(shapes[i])), sizes[i], kTol) << i;

  p.shapeKind = 23;
  const size_t before = doc_.art().topLevelArt().size();
  go(p);
  shapes = art(before + 1);
  for (size_t i = 0; i < 4; ++i) {
    const QxPathSegment s = info(shapes[i]).segments[0];
    const bool smooth = s.in.x != s.p.x || s.in.y != s.p.y;
    EXPECT_EQ(smooth, i != 2) << "circles at the start and even steps, a square at step 1";
  }
}

}  // namespace
}  // namespace qx::test
