// Temporary files never outlive their writer: a render stopped by SIGINT,
// SIGTERM or SIGHUP removes its temporaries, leaves its targets as they
// were and ends by the signal; a temporary left by a writer that was killed
// outright goes with the next write of the same target, while one of a
// running writer stays.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "quelvix_process.h"

namespace qx::test {
namespace {

bool isTemporaryOf(const std::string& name, const std::string& target) {
  return name.rfind("." + target + ".", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".tmp";
}

// Hidden files beside the targets that are temporaries of one of them.
std::vector<std::string> temporaries(const QuelvixSandbox& box) {
  std::vector<std::string> found;
  for (const std::string& name : box.allFiles())
    if (isTemporaryOf(name, "out.svg") || isTemporaryOf(name, "draws.log")) found.push_back(name);
  return found;
}

TEST(TemporaryFiles, ARenderEndedBySignalRemovesItsTemporariesAndLeavesItsTargets) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    QuelvixSandbox box;
    box.write("out.svg", "the drawing before");
    box.write("draws.log", "the log before");
    // Enough art that writing the SVG takes a while.
    const pid_t pid = box.start({"render", "--fresh", "--seed", "5", "--no-preview", "--set", "lineSets=200", "--set",
                                 "pointsMin=3000", "--set", "pointsMax=3000", "--set", "lockPoints=on", "--random-log",
                                 "draws.log", "-o", "out.svg"});
    ASSERT_GT(pid, 0);
    // Wait until the drawing's temporary is there (the log's was made before
    // the run), then stop the program.
    bool writing = false;
    for (int polls = 0; polls < 600'000 && !writing; ++polls) {
      for (const std::string& name : box.allFiles()) writing = writing || isTemporaryOf(name, "out.svg");
      if (!writing) std::this_thread::sleep_for(std::chrono::microseconds(100));
      if (waitpid(pid, nullptr, WNOHANG) == pid) break;  // it ended first: the test fails below
    }
    ASSERT_TRUE(writing) << "the render never began writing";
    ASSERT_EQ(kill(pid, signal), 0);
    const ProcessResult run = box.finish(pid);
    EXPECT_EQ(run.signal, signal) << run.describe();
    EXPECT_EQ(temporaries(box), std::vector<std::string>{});
    EXPECT_EQ(box.read("out.svg"), "the drawing before");
    EXPECT_EQ(box.read("draws.log"), "the log before");
  }
}

TEST(TemporaryFiles, AWriteRemovesTheTargetsTemporariesOfDeadWritersOnly) {
  QuelvixSandbox box;
  // A process that has surely ended: a child that was waited for.
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  ASSERT_GT(dead, 0);
  ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
  const std::string deadOwn = ".out.svg." + std::to_string(dead) + ".0.1f.tmp";
  const std::string liveOwn = ".out.svg." + std::to_string(getpid()) + ".3.2a.tmp";
  const std::string deadOther = ".other.svg." + std::to_string(dead) + ".0.1f.tmp";
  const std::string notOne = ".out.svg." + std::to_string(dead) + ".tmp";
  for (const std::string& name : {deadOwn, liveOwn, deadOther, notOne}) box.write(name, "left behind");

  const ProcessResult run = box.run({"render", "--fresh", "--seed", "3", "-o", "out.svg"});
  ASSERT_EQ(run.status, 0) << run.describe();
  EXPECT_FALSE(box.exists(deadOwn)) << "its writer is gone";
  EXPECT_TRUE(box.exists(liveOwn)) << "its writer is still running";
  EXPECT_TRUE(box.exists(deadOther)) << "another target's";
  EXPECT_TRUE(box.exists(notOne)) << "not named as a temporary is";
  EXPECT_TRUE(box.exists("out.svg"));
}

}  // namespace
}  // namespace qx::test
