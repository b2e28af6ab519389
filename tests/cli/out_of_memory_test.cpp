// A render that runs out of memory says so in words on one line, exits 1
// and writes nothing: no drawing, no kept settings, and never the name of
// an exception.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "quelvix_process.h"

namespace qx::test {
namespace {

// Runs started while this lives find the art store's nth chunk failing (a
// program built with the tests reads QUELVIX_TEST_FAIL_CHUNK).
struct FailingChunkInRuns {
  explicit FailingChunkInRuns(int nth) { setenv("QUELVIX_TEST_FAIL_CHUNK", std::to_string(nth).c_str(), 1); }
  ~FailingChunkInRuns() { unsetenv("QUELVIX_TEST_FAIL_CHUNK"); }
};

void expectOutOfMemoryAndNothingWritten(const QuelvixSandbox& box, const ProcessResult& run) {
  EXPECT_EQ(run.status, 1) << run.describe();
  ASSERT_EQ(run.complaints().size(), 1u) << run.describe();
  EXPECT_NE(run.complaints()[0].find("out of memory"), std::string::npos) << run.describe();
  for (const char* name : {"bad_alloc", "std::", "exception"})
    EXPECT_EQ(run.err.find(name), std::string::npos) << run.describe();
  EXPECT_TRUE(box.files().empty()) << box.files().front();
  EXPECT_FALSE(std::filesystem::exists(box.configState()));
}

TEST(OutOfMemory, ARunWhoseArtFindsNoMemorySaysSoAndWritesNothing) {
  QuelvixSandbox box;
  {
    const FailingChunkInRuns failing(1);
    // The dialog's preview fails at its first object, or Go does.
    expectOutOfMemoryAndNothingWritten(box, box.run({"render", "--seed", "4", "-o", "out.svg"}));
    expectOutOfMemoryAndNothingWritten(box, box.run({"render", "--seed", "4", "--no-preview", "-o", "out.svg"}));
  }
  const ProcessResult fine = box.run({"render", "--seed", "4", "-o", "out.svg"});
  EXPECT_EQ(fine.status, 0) << fine.describe();
  EXPECT_TRUE(box.exists("out.svg"));
}

TEST(OutOfMemory, TheHeaviestDrawingInTooSmallAnAddressSpace) {
#if defined(QX_ASAN)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit leaves";
#endif
  QuelvixSandbox box;
  box.limitAddressSpace(size_t{600'000} * 1024);
  expectOutOfMemoryAndNothingWritten(box, box.run({"render", "--seed",          "4",     "--no-preview",
                                                   "--set",  "lineSets=200",    "--set", "pointsMin=3000",
                                                   "--set",  "pointsMax=3000",  "--set", "lockPoints=1",
                                                   "--set",  "shapeSizeMin=20", "--set", "shapeSizeMax=20",
                                                   "--set",  "tileMode=1",      "-o",    "out.svg"}));
}

}  // namespace
}  // namespace qx::test
