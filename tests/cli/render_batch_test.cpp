// `quelvix render --variations N`: the built program makes a batch of
// drawings, each in a process of its own, with progress, failures by seed,
// the kept settings untouched and a contact sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "quelvix_process.h"

namespace qx::test {
namespace {

using Args = std::vector<std::string>;

// Small drawings on a small page: a batch of them takes a moment.
Args batch(const Args& more) {
  Args args = {"render", "--fresh", "--page", "200x200", "--set", "lineSets=2"};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

TEST(RenderBatch, EachDrawingIsTheOneItsSeedMakesAlone) {
  QuelvixSandbox box;
  auto r = box.run(batch({"--variations", "3", "--seed", "40", "-j", "2", "-o", "out/v-{seed}-{n}.svg"}));
  ASSERT_EQ(r.status, 0) << r.describe();
  EXPECT_EQ(box.files(), (std::vector<std::string>{"out/v-40-1.svg", "out/v-41-2.svg", "out/v-42-3.svg"}))
      << "the drawings and nothing else: no temporary file, no kept settings";
  for (int seed : {40, 41, 42})
    EXPECT_NE(box.read("out/v-" + std::to_string(seed) + "-" + std::to_string(seed - 39) + ".svg")
                  .find("seed=\"" + std::to_string(seed) + "\""),
              std::string::npos);
  auto alone = box.run(batch({"--seed", "41", "--state", "s.bin", "-o", "alone.svg"}));
  ASSERT_EQ(alone.status, 0) << alone.describe();
  EXPECT_EQ(box.read("alone.svg"), box.read("out/v-41-2.svg"));

  // Off a terminal: the seeds, a line per drawing as it is written, a summary.
  const auto lines = r.errLines();
  ASSERT_EQ(lines.size(), 5u) << r.describe();
  EXPECT_EQ(lines[0], "quelvix: seeds 40 to 42, 2 at a time");
  for (size_t i = 1; i <= 3; ++i) EXPECT_TRUE(startsWith(lines[i], "quelvix: [" + std::to_string(i) + "/3] seed "));
  EXPECT_TRUE(startsWith(lines[4], "quelvix: 3 of 3 drawings written in ")) << lines[4];
  EXPECT_EQ(r.err.find('\r'), std::string::npos);
}

TEST(RenderBatch, AFailedDrawingIsReportedBySeedAndTheOthersAreWritten) {
  QuelvixSandbox box;
  box.write("out/6", "a file where seed 6's folder goes");
  std::filesystem::create_directories(box.path("out/7/d.svg"));  // seed 7's drawing cannot take its place
  auto r = box.run(batch({"--variations", "4", "--seed", "5", "-j", "2", "-o", "out/{seed}/d.svg"}));
  EXPECT_EQ(r.status, 1) << r.describe();
  EXPECT_TRUE(box.exists("out/5/d.svg"));
  EXPECT_TRUE(box.exists("out/8/d.svg"));
  std::string six, seven, summary;
  for (const std::string& line : r.errLines()) {
    if (startsWith(line, "quelvix: seed 6 failed: ")) six = line;
    if (startsWith(line, "quelvix: seed 7 failed: ")) seven = line;
    if (startsWith(line, "quelvix: 2 of 4 drawings written")) summary = line;
  }
  EXPECT_NE(six.find("cannot make the folder out/6"), std::string::npos) << r.describe();
  EXPECT_NE(seven.find("cannot write out/7/d.svg"), std::string::npos) << "the drawing's own error line\n"
                                                                       << r.describe();
  EXPECT_NE(summary.find("failed: seed 6, 7"), std::string::npos) << r.describe();
  EXPECT_EQ(box.files(), (std::vector<std::string>{"out/5/d.svg", "out/6", "out/8/d.svg"}));
}

TEST(RenderBatch, ProgressIsABarOnATerminalAndNothingWhenQuiet) {
  QuelvixSandbox box;
  auto bar = box.runOnTerminal(batch({"--variations", "4", "--seed", "1", "-j", "2", "-o", "t/{n}.svg"}));
  ASSERT_EQ(bar.status, 0) << bar.describe();
  // Drawn in place and erased before each line; the last one says all are done.
  EXPECT_NE(bar.out.find("\rquelvix: ["), std::string::npos) << bar.out;
  EXPECT_NE(bar.out.find("] 4/4"), std::string::npos) << bar.out;
  EXPECT_NE(bar.out.find("\x1b[K"), std::string::npos) << bar.out;
  EXPECT_NE(bar.out.find("/s"), std::string::npos) << "the rate\n" << bar.out;
  EXPECT_NE(bar.out.find("quelvix: 4 of 4 drawings written"), std::string::npos) << bar.out;
  EXPECT_EQ(bar.out.find("[1/4]"), std::string::npos) << "no per-drawing lines on a terminal\n" << bar.out;

  for (bool terminal : {false, true}) {
    const Args args = batch({"--variations", "3", "--quiet", "-o", "q/{seed}.svg"});
    auto quiet = terminal ? box.runOnTerminal(args) : box.run(args);
    EXPECT_EQ(quiet.status, 0) << quiet.describe();
    EXPECT_EQ(quiet.out + quiet.err, "") << (terminal ? "on a terminal" : "off a terminal");
  }
}

TEST(RenderBatch, BadBatchesAreRefusedInOneLineAndWriteNothing) {
  QuelvixSandbox box;
  box.write("bad.txt", "set lineSets=abc\n");
  const std::vector<Args> cases = {
      batch({"--variations", "3", "-o", "fixed.svg"}),  // no placeholder
      batch({"--variations", "3"}),                     // the default name has none either
      batch({"--variations", "0", "-o", "{n}.svg"}),
      batch({"--variations", "2", "-j", "0", "-o", "{n}.svg"}),
      batch({"-j", "2", "-o", "one.svg"}),  // batch options without a batch
      batch({"--quiet", "-o", "one.svg"}),
      batch({"--variations", "2", "--columns", "3", "-o", "{n}.svg"}),  // columns without a sheet
      batch({"--variations", "2", "--random-log", "r.log", "-o", "{n}.svg"}),
      batch({"--variations", "2", "--print-settings", "-o", "{n}.svg"}),
      batch({"--variations", "1", "-o", "-"}),
      batch({"--variations", "2", "--contact-sheet", "sheet.svg", "-o", "{n}.svg"}),
      batch({"--variations", "2", "--seed", "18446744073709551615", "-o", "{n}.svg"}),
      batch({"--variations", "2", "--state", "2.svg", "-o", "{n}.svg"}),      // a drawing over the kept settings
      batch({"--variations", "2", "--thumbnail", "t.png", "-o", "{n}.svg"}),  // the batch hands these out itself
      // Refused by the drawings' dialog: said once, for the whole batch.
      batch({"--variations", "4", "--quiet", "--set", "noSuchField=1", "-o", "d/{n}.svg"}),
      batch({"--variations", "4", "--quiet", "--script", "bad.txt", "-o", "d/{n}.svg"}),
  };
  const auto before = box.files();
  for (const Args& args : cases) {
    std::string shown;
    for (const std::string& a : args) shown += a + " ";
    auto r = box.run(args);
    EXPECT_EQ(r.status, 2) << shown << r.describe();
    EXPECT_EQ(r.complaints().size(), 1u) << shown << r.describe();
    EXPECT_EQ(box.files(), before) << shown;
    EXPECT_FALSE(box.exists("d")) << shown << "the folder made for the drawings is gone again";
  }
  auto cancelled = box.run(batch({"--variations", "3", "--quiet", "--cancel", "-o", "c/{n}.svg"}));
  EXPECT_EQ(cancelled.status, 3) << cancelled.describe();
  EXPECT_EQ(box.files(), before);
}

TEST(RenderBatch, TheKeptSettingsAreReadAndLeftAlone) {
  QuelvixSandbox box;
  namespace fs = std::filesystem;
  ASSERT_EQ(box.run(batch({"--set", "lineSets=3", "--seed", "1", "--state", "s.bin", "-o", "first.svg"})).status, 0);
  const Args keep = {"render", "--page", "200x200", "--state", "s.bin"};
  const std::string state = box.read("s.bin");
  fs::copy_file(box.path("s.bin"), box.path("copy.bin"));
  const auto stamp = fs::last_write_time(box.path("s.bin"));

  Args run = keep;
  for (const char* a : {"--variations", "2", "--seed", "100", "--set", "pointsMin=20", "-o", "b/{seed}.svg"})
    run.push_back(a);
  auto r = box.run(run);
  ASSERT_EQ(r.status, 0) << r.describe();
  EXPECT_EQ(box.read("s.bin"), state);
  EXPECT_EQ(fs::last_write_time(box.path("s.bin")), stamp) << "not even rewritten with the same bytes";
  EXPECT_FALSE(box.exists("config/quelvix/state.bin"));

  // The batch drew with the kept settings (three line sets), as one run does.
  auto alone = box.run({"render", "--page", "200x200", "--state", "copy.bin", "--seed", "101", "--set", "pointsMin=20",
                        "-o", "alone.svg"});
  ASSERT_EQ(alone.status, 0) << alone.describe();
  EXPECT_EQ(box.read("b/101.svg"), box.read("alone.svg"));

  // Without --state the configuration folder's settings are read, not written.
  ASSERT_EQ(box.run(batch({"--variations", "2", "--quiet", "-o", "c/{n}.svg"})).status, 0);
  EXPECT_FALSE(box.exists("config/quelvix/state.bin"));
}

// The drawings a process started, as /proc lists them.
std::vector<int> childrenOf(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
  std::vector<int> pids;
  for (int child; in >> child;) pids.push_back(child);
  return pids;
}

TEST(RenderBatch, AnInterruptEndsTheDrawingsUnderWay) {
  QuelvixSandbox box;
  // Each setting redraws the preview of 200 lines of 3000 points: seconds a drawing.
  std::string slow;
  for (int i = 0; i < 30; ++i) slow += "set lineSets=" + std::to_string(200 - i % 2) + "\n";
  box.write("slow.txt", slow);
  const int pid = box.start(batch({"--set", "pointsMax=3000", "--set", "pointsMin=3000", "--script", "slow.txt",
                                   "--variations", "4", "-j", "2", "-o", "o/{n}.svg"}));
  ASSERT_GT(pid, 0);
  std::vector<int> children;
  for (int i = 0; i < 500 && children.size() < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    children = childrenOf(pid);
  }
  ASSERT_EQ(children.size(), 2u);
  ASSERT_EQ(kill(pid, SIGINT), 0);
  const ProcessResult r = box.wait(pid);
  EXPECT_EQ(r.signal, SIGINT) << "it ends as an interrupted program does\n" << r.describe();
  EXPECT_NE(r.err.find("quelvix: interrupted; 0 of 4 drawings were written"), std::string::npos) << r.describe();
  for (int child : children) EXPECT_NE(kill(child, 0), 0) << "drawing process " << child << " was left running";
  EXPECT_EQ(box.files(), std::vector<std::string>{"slow.txt"}) << "no drawing, temporary file or settings copy";
}

TEST(RenderBatch, APrivateFolderOfABatchKilledOutrightGoesWithTheNextBatch) {
  QuelvixSandbox box;
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  ASSERT_GT(dead, 0);
  ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
  const std::string abandoned = "tmp/quelvix-batch-" + std::to_string(dead) + "-AbCdEf";
  const std::string live = "tmp/quelvix-batch-" + std::to_string(getpid()) + "-GhIjKl";
  box.write(abandoned + "/settings.bin", "left by a killed batch");
  box.write(live + "/settings.bin", "a batch still at work");
  const ProcessResult r = box.run(batch({"--variations", "2", "-o", "o/{n}.svg", "--quiet"}));
  ASSERT_EQ(r.status, 0) << r.describe();
  EXPECT_FALSE(box.exists(abandoned)) << "its batch is gone";
  EXPECT_TRUE(box.exists(live)) << "its batch is still running";
}

#if QX_HAVE_PAINT
// The pixel size in a PNG's header.
std::pair<uint32_t, uint32_t> pngSize(const std::string& png) {
  auto word = [&](size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(png[at]) << 24 |
                                 static_cast<unsigned char>(png[at + 1]) << 16 |
                                 static_cast<unsigned char>(png[at + 2]) << 8 |
                                 static_cast<unsigned char>(png[at + 3]));
  };
  if (png.size() < 24 || png.compare(1, 3, "PNG") != 0) return {0, 0};
  return {word(16), word(20)};
}

TEST(RenderBatch, TheContactSheetShowsEveryDrawing) {
  QuelvixSandbox box;
  box.write("out/3", "blocks seed 3");
  auto r = box.run(batch({"--variations", "5", "--seed", "1", "-o", "out/{seed}/d.svg", "--contact-sheet",
                          "sheets/s.png", "--columns", "2", "--thumb", "64"}));
  EXPECT_EQ(r.status, 1) << r.describe();
  // 2 columns of 64 and 3 rows of 64 + the label band, gaps of 12 around.
  EXPECT_EQ(pngSize(box.read("sheets/s.png")),
            (std::pair<uint32_t, uint32_t>{2 * 64 + 3 * 12, 3 * (64 + 24) + 4 * 12}));
  EXPECT_NE(r.err.find("quelvix: contact sheet sheets/s.png"), std::string::npos) << r.describe();
  const auto files = box.files();
  EXPECT_EQ(std::count_if(files.begin(), files.end(), [](const std::string& f) { return f.ends_with(".png"); }), 1)
      << "the thumbnails are gone";

  // By default a square grid of 240-pixel thumbnails.
  auto square = box.run(batch({"--variations", "3", "--quiet", "-o", "sq/{n}.svg", "--contact-sheet", "sq.png"}));
  ASSERT_EQ(square.status, 0) << square.describe();
  EXPECT_EQ(pngSize(box.read("sq.png")), (std::pair<uint32_t, uint32_t>{2 * 240 + 3 * 12, 2 * (240 + 24) + 3 * 12}));
}
#else
TEST(RenderBatch, TheContactSheetNeedsThePainter) {
  QuelvixSandbox box;
  auto r = box.run(batch({"--variations", "2", "-o", "{n}.svg", "--contact-sheet", "s.png"}));
  EXPECT_EQ(r.status, 2) << r.describe();
  EXPECT_NE(r.err.find("painter"), std::string::npos) << r.describe();
  EXPECT_TRUE(box.files().empty());
}
#endif

}  // namespace
}  // namespace qx::test
