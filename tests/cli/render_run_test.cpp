// A run whose host call fails: the plug-in's error dialog reaches stderr, the
// exit status says the run failed and nothing is written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "host/cli/commands.h"
#include "host/cli/render_run.h"
#include "host/suites/instrument.h"
#include "qx_sdk.h"

namespace qx::cli {
namespace {

namespace fs = std::filesystem;

class RenderRun : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "qxrun-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    request_.pluginDir = QX_PLUGIN_DIR;
    request_.outputPath = dir_ + "/out.svg";
    request_.statePath = dir_ + "/state.bin";
    request_.seed = 11;
  }
  void TearDown() override {
    host::clearFaults();
    fs::remove_all(dir_);
  }
  int run() { return runRender(request_, out_, err_); }

  std::string dir_;
  RenderRequest request_;
  std::ostringstream out_, err_;
};

TEST_F(RenderRun, AFailedHostCallIsShownAndEndsTheRun) {
  ASSERT_TRUE(host::failNthCall(QX_ADM_DIALOG_SUITE, "Modal", 1, QX_ERR_OUT_OF_MEMORY));
  EXPECT_EQ(run(), kExitFailure) << err_.str();
  EXPECT_NE(err_.str().find("108"), std::string::npos) << "the code text is shown:\n" << err_.str();
  EXPECT_FALSE(fs::exists(request_.outputPath));
  EXPECT_FALSE(fs::exists(request_.statePath));
}

TEST_F(RenderRun, ARunAfterAFailureStartsClean) {
  ASSERT_TRUE(host::failNthCall(QX_ADM_DIALOG_SUITE, "Modal", 1, QX_ERR_OUT_OF_MEMORY));
  ASSERT_EQ(run(), kExitFailure);
  host::clearFaults();
  err_.str("");
  EXPECT_EQ(run(), kExitOk) << err_.str();
  EXPECT_TRUE(fs::exists(request_.outputPath));
  EXPECT_EQ(fs::file_size(request_.statePath), 236u);
}

}  // namespace
}  // namespace qx::cli
