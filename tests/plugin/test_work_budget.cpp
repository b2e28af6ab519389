// The host's work budget: a record whose line sets make no art but go on
// drawing random numbers is stopped once the message has taken its budget of
// draws, the draw past it answered with the out-of-memory code, as the art
// budget answers the object past it; Go ends then and the host sees the
// budget spent. A run within the budget draws exactly as without one.
#include <gtest/gtest.h>

#include <climits>

#include "support/generator_host.h"

namespace qx::test {
namespace {

class WorkBudget : public GeneratorHost {};

// Two billion line sets of no points, split into pieces: no art is ever
// made, so only the draws can end it.
FilterParameters endlessDraws(FilterParameters p) {
  p.lineSets = INT_MAX;
  p.pointsMin = p.pointsMax = 0;
  p.lockPoints = 1;
  p.splitLines = 1;
  return p;
}

TEST_F(WorkBudget, ARunThatDrawsWithoutMakingArtEndsWhenTheBudgetIsSpent) {
  random_.seed(5);
  random_.setDrawBudget(100'000);
  const uint64_t drawn = countDraws([&] { EXPECT_EQ(go(endlessDraws(defaults())), QX_ERR_NONE); });
  EXPECT_EQ(drawn, 100'000u);
  EXPECT_TRUE(random_.drawBudgetSpent());
  EXPECT_TRUE(art().empty());

  // The next message has the whole budget again.
  random_.clearDrawBudgetSpent();
  EXPECT_EQ(countDraws([&] { EXPECT_EQ(go(endlessDraws(defaults())), QX_ERR_NONE); }), 100'000u);
  EXPECT_TRUE(random_.drawBudgetSpent());
}

TEST_F(WorkBudget, ARunWithinTheBudgetIsUnaffected) {
  const FilterParameters p = defaults();
  random_.seed(11);
  const uint64_t needed = countDraws([&] { ASSERT_EQ(go(p), 0); });
  ASSERT_GT(needed, 0u);
  const size_t made = art().size();
  std::vector<QxRealPoint> centres;
  for (QxArtHandle a : art()) centres.push_back(centre(info(a)));

  // Exactly as many draws as the run takes: the same drawing again.
  random_.seed(11);
  random_.setDrawBudget(needed);
  EXPECT_EQ(countDraws([&] { ASSERT_EQ(go(p), 0); }), needed);
  EXPECT_FALSE(random_.drawBudgetSpent());
  ASSERT_EQ(art(made).size(), made);
  for (size_t i = 0; i < made; ++i) {
    EXPECT_EQ(centre(info(art(made)[i])).x, centres[i].x);
    EXPECT_EQ(centre(info(art(made)[i])).y, centres[i].y);
  }

  // One draw fewer: the draw past the budget is refused.
  random_.seed(11);
  random_.setDrawBudget(needed - 1);
  EXPECT_EQ(countDraws([&] { EXPECT_EQ(go(p), QX_ERR_NONE); }), needed - 1);
  EXPECT_TRUE(random_.drawBudgetSpent());
}

}  // namespace
}  // namespace qx::test
