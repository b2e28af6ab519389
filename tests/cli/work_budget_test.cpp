// --draw-limit: the work budget of a run, in random draws. A run that
// spends it stops drawing, says so, writes what it drew and exits 1, as one
// that reaches the art limit does; a bad limit is a usage error.
#include <gtest/gtest.h>

#include "quelvix_process.h"

namespace qx::test {
namespace {

TEST(WorkBudgetOption, ARunThatSpendsItsDrawsStopsAndSaysSo) {
  QuelvixSandbox box;
  const ProcessResult spent = box.run({"render", "--fresh", "--seed", "2", "--draw-limit", "50", "-o", "out.svg"});
  EXPECT_EQ(spent.status, 1) << spent.describe();
  ASSERT_EQ(spent.complaints().size(), 1u) << spent.describe();
  EXPECT_NE(spent.complaints()[0].find("work budget of 50 random draws"), std::string::npos) << spent.describe();
  EXPECT_TRUE(box.exists("out.svg"));

  const ProcessResult enough = box.run({"render", "--fresh", "--seed", "2", "--draw-limit", "100000000", "-o",
                                        "a.json"});
  ASSERT_EQ(enough.status, 0) << enough.describe();
  const ProcessResult unlimited = box.run({"render", "--fresh", "--seed", "2", "-o", "b.json"});
  ASSERT_EQ(unlimited.status, 0) << unlimited.describe();
  EXPECT_EQ(box.read("a.json"), box.read("b.json"));

  for (const char* bad : {"0", "-1", "many"}) {
    const ProcessResult refused = box.run({"render", "--fresh", "--draw-limit", bad, "-o", "c.svg"});
    EXPECT_EQ(refused.status, 2) << refused.describe();
    EXPECT_FALSE(box.exists("c.svg"));
  }
}

}  // namespace
}  // namespace qx::test
