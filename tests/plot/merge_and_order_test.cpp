// Pieces joined into strokes, and strokes put in a travel-saving order.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "host/plot/line_merge.h"
#include "host/plot/line_order.h"
#include "plot_test_support.h"

namespace qx::plot::test {
namespace {

IntPath path(std::initializer_list<std::pair<int64_t, int64_t>> points) {
  IntPath p;
  for (auto [x, y] : points) p.push_back({x, y});
  return p;
}

TEST(LineMerge, PiecesMeetingEndToEndBecomeOneStrokeTurnedWhereNeeded) {
  // a-b, c-b (turned round to meet), c-d; and a piece apart.
  const IntPaths pieces = {path({{0, 0}, {100, 0}}), path({{200, 0}, {100, 0}}), path({{200, 0}, {300, 50}}),
                           path({{0, 500}, {100, 500}})};
  const IntPaths strokes = mergePieces(pieces, 4);
  ASSERT_EQ(strokes.size(), 2u);
  EXPECT_EQ(strokes[0], path({{0, 0}, {100, 0}, {200, 0}, {300, 50}}));
  EXPECT_EQ(strokes[1], path({{0, 500}, {100, 500}}));
}

TEST(LineMerge, EndsWithinTheWeldDistanceMeetButFartherOnesDoNot) {
  EXPECT_EQ(mergePieces({path({{0, 0}, {100, 0}}), path({{103, -3}, {200, 0}})}, 4).size(), 1u);
  EXPECT_EQ(mergePieces({path({{0, 0}, {100, 0}}), path({{105, 0}, {200, 0}})}, 4).size(), 2u);
}

TEST(LineMerge, AClosedRingStaysClosedAndPiecesOfItJoinRoundIt) {
  const IntPaths strokes = mergePieces(
      {path({{0, 0}, {100, 0}, {100, 100}}), path({{0, 100}, {100, 100}}), path({{0, 100}, {0, 0}})}, 1);
  ASSERT_EQ(strokes.size(), 1u);
  EXPECT_EQ(strokes[0].front(), strokes[0].back());
  EXPECT_EQ(strokes[0].size(), 5u);
}

TEST(LineOrder, KeepsEveryStrokeAndCutsTheTravel) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> at(0, 300);
  std::vector<Polyline> strokes;
  for (int i = 0; i < 2000; ++i) {
    const Point a{at(random), at(random)};
    strokes.push_back({a, {a.x + 2, a.y + 1}, {a.x + 3, a.y + 4}});
  }
  std::vector<Polyline> ordered = strokes;
  orderStrokes(ordered, {0, 0}, std::chrono::steady_clock::now() + std::chrono::seconds(5));
  ASSERT_EQ(ordered.size(), strokes.size());
  // The same strokes, some turned round.
  const auto key = [](Polyline s) {
    if (s.back().x < s.front().x || (s.back().x == s.front().x && s.back().y < s.front().y))
      std::reverse(s.begin(), s.end());
    return std::make_tuple(s.front().x, s.front().y, s.back().x, s.back().y, s.size());
  };
  std::vector<decltype(key(strokes[0]))> before, after;
  for (const Polyline& s : strokes) before.push_back(key(s));
  for (const Polyline& s : ordered) after.push_back(key(s));
  std::sort(before.begin(), before.end());
  std::sort(after.begin(), after.end());
  EXPECT_EQ(before, after);
  const double was = penUpTravel(strokes, {0, 0}), now = penUpTravel(ordered, {0, 0});
  EXPECT_LT(now, was * 0.1);
  // Greedy alone leaves some travel for 2-opt to take.
  std::vector<Polyline> greedyOnly = strokes;
  orderStrokes(greedyOnly, {0, 0}, std::chrono::steady_clock::now());
  EXPECT_LE(now, penUpTravel(greedyOnly, {0, 0}));
}

TEST(LineOrder, APlotsTravelFallsFarBelowItsPaintOrder) {
  Document d;
  for (int row = 0; row < 20; ++row)
    for (int col = 0; col < 20; ++col) addCircle(d.art(), {((row * 7 + col * 13) % 20) * 30.0, row * 30.0}, 10);
  const Plot plot = plotOf(d);
  EXPECT_EQ(plot.stats.strokes, 400u);
  EXPECT_LT(plot.stats.travelMm, 0.5 * plot.stats.travelPaintOrderMm);
}

}  // namespace
}  // namespace qx::plot::test
