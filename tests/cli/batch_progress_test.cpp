// The batch's progress bar: it must fit the terminal's width, or the
// carriage return that redraws it would leave wrapped copies behind.
#include <gtest/gtest.h>

#include "host/cli/batch_progress.h"
#include "host/cli/render_batch.h"

namespace qx::cli {
namespace {

TEST(BatchProgress, TheBarFitsEveryWidthAndSaysWhatIsLeft) {
  for (size_t columns = 20; columns <= 200; ++columns) {
    for (auto [done, total] : {std::pair<size_t, size_t>{0, 24}, {7, 24}, {24, 24}, {99999, 100000}}) {
      const std::string bar = BatchProgress::barText(done, total, 12.5, columns);
      EXPECT_LE(bar.size(), std::max<size_t>(columns, 40)) << columns << ": " << bar;
      EXPECT_EQ(bar.rfind("quelvix: ", 0), 0u) << bar;
      EXPECT_NE(bar.find(std::to_string(done) + "/" + std::to_string(total)), std::string::npos) << bar;
    }
  }
  // 7 done in 12.5 s: 0.56 a second, 17 left in about half a minute.
  EXPECT_EQ(BatchProgress::barText(7, 24, 12.5, 80),
            "quelvix: [###########-----------------------------] 7/24  0.6/s  0:30 left");
  EXPECT_EQ(BatchProgress::barText(0, 24, 0.3, 80).find("/s"), std::string::npos) << "no rate before the first";
  EXPECT_NE(BatchProgress::barText(24, 24, 2, 80).find("24/24  12/s  done"), std::string::npos);
  EXPECT_NE(BatchProgress::barText(1, 10, 4401, 200).find("0.0/s  11:00:09 left"), std::string::npos);
}

TEST(BatchPattern, PlaceholdersTakeTheSeedAndThePlaceFromOne) {
  EXPECT_EQ(expandPattern("out/{seed}/lattice-{n}-{seed}.svg", 42, 1), "out/42/lattice-1-42.svg");
  EXPECT_EQ(expandPattern("{x}{n}{seed", 7, 12), "{x}12{seed");
  EXPECT_TRUE(hasPlaceholder("a{n}.svg"));
  EXPECT_FALSE(hasPlaceholder("a{N}{Seed}.svg"));
}

}  // namespace
}  // namespace qx::cli
