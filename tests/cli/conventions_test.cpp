// What every command shares: --version, an unknown command or option named
// with the list of those there are, one message prefix, `-o -` for standard
// output, and error output that never carries control bytes.
#include <gtest/gtest.h>

#include "quelvix_process.h"

namespace qx::test {
namespace {

TEST(CommandLine, VersionNamesTheHostAndItsPlugins) {
  QuelvixSandbox box;
  const ProcessResult r = box.run({"--version"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("quelvix 1.", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\nQuelvix.aip 1."), std::string::npos) << r.out;
}

TEST(CommandLine, AnUnknownCommandIsNamedWithTheCommandsThereAre) {
  QuelvixSandbox box;
  const ProcessResult r = box.run({"bogus", "--seed", "3"});
  EXPECT_EQ(r.status, 2);
  ASSERT_EQ(r.errLines().size(), 1u) << r.err;
  EXPECT_EQ(r.errLines()[0], "quelvix: unknown command \"bogus\"; the commands are info, about, render, export, plot, gui, validate");
  EXPECT_TRUE(box.files().empty());
}

TEST(CommandLine, AnUnknownOptionIsNamedWithTheCommandsOptions) {
  QuelvixSandbox box;
  const ProcessResult render = box.run({"render", "--seed", "3", "--sed", "4", "-o", "x.svg"});
  EXPECT_EQ(render.status, 2);
  ASSERT_EQ(render.errLines().size(), 1u) << render.err;
  const std::string line = render.errLines()[0];
  EXPECT_EQ(line.rfind("quelvix: render has no option --sed; its options are -h/--help, -o/--output, --format, ", 0), 0u)
      << line;
  for (const char* option : {" --seed,", " --set,", " --variations,", " -j/--jobs,", " --contact-sheet,"})
    EXPECT_NE(line.find(option), std::string::npos) << option << " in " << line;
  EXPECT_EQ(line.find("--state-read-only"), std::string::npos) << "hidden options stay hidden";

  const ProcessResult exported = box.run({"export", "in.svg", "-o", "x.svg", "--colour=red"});
  EXPECT_EQ(exported.status, 2);
  EXPECT_EQ(exported.errLines(),
            std::vector<std::string>{"quelvix: export has no option --colour; its options are -h/--help, -o/--output, "
                                     "--format, --width, --height, --dpi, --area, --background"});
  const ProcessResult top = box.run({"--colour"});
  EXPECT_EQ(top.status, 2);
  EXPECT_EQ(top.errLines(),
            std::vector<std::string>{"quelvix: unknown option --colour; the options are -h/--help, --version"});
  const ProcessResult stray = box.run({"render", "-o", "x.svg", "stray"});
  EXPECT_EQ(stray.errLines(), std::vector<std::string>{"quelvix: render takes no argument \"stray\""});
  EXPECT_TRUE(box.files().empty());
}

TEST(CommandLine, EveryMessageHasTheOnePrefix) {
  QuelvixSandbox box;
  box.write("not.svg", "<svg");
  const std::vector<std::vector<std::string>> runs = {
      {"render", "--seed", "1", "--page", "200x200", "-o", "a.svg"},
      {"render", "--set", "lineSets=999", "-o", "b.svg"},
      {"render", "-o", "c.txt"},
      {"export", "not.svg", "-o", "d.svg"},
      {"export", "a.svg", "-o", "e.txt"},
      {"info", "--plugins", "no-such-folder"},
      {"about", "--plugins", "."},
      {"render", "--fresh", "--page", "200x200", "--variations", "2", "-o", "v/{n}.svg"},
  };
  for (const auto& args : runs) {
    const ProcessResult r = box.run(args);
    ASSERT_FALSE(r.err.empty()) << args[0];
    for (const std::string& line : r.errLines()) EXPECT_EQ(line.rfind("quelvix: ", 0), 0u) << line;
  }
}

TEST(CommandLine, DashWritesTheDrawingToStandardOutput) {
  QuelvixSandbox box;
  const std::vector<std::string> drawing = {"render", "--fresh", "--seed",  "5",
                                            "--page", "200x200", "--state", "s.bin"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = drawing;
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  ASSERT_EQ(box.run(with({"-o", "file.svg"})).status, 0);
  ASSERT_EQ(box.run(with({"-o", "file.json"})).status, 0);
  const ProcessResult svg = box.run(with({"-o", "-"}));
  ASSERT_EQ(svg.status, 0) << svg.describe();
  EXPECT_EQ(svg.out, box.read("file.svg"));
  EXPECT_EQ(svg.errLines(), std::vector<std::string>{"quelvix: seed 5"});
  const ProcessResult json = box.run(with({"-o", "-", "--format", "json"}));
  ASSERT_EQ(json.status, 0) << json.describe();
  EXPECT_EQ(json.out, box.read("file.json"));
  const ProcessResult exported = box.run({"export", "file.svg", "-o", "-", "--format=json"});
  ASSERT_EQ(exported.status, 0) << exported.describe();
  EXPECT_EQ(exported.out.rfind("{\"format\": \"quelvix-document\"", 0), 0u);

  for (const auto& args : {with({"-o", "-", "--format", "png"}),
                           with({"-o", "x.svg", "--format", "json"}),
                           with({"-o", "-", "--print-settings"}),
                           {"export", "file.svg", "-o", "-", "--format", "pdf"}}) {
    const ProcessResult r = box.run(args);
    EXPECT_EQ(r.status, 2) << r.describe();
    EXPECT_EQ(r.complaints().size(), 1u) << r.describe();
    EXPECT_TRUE(r.out.empty());
  }
}

TEST(CommandLine, ControlBytesInValuesReachTheTerminalEscaped) {
  QuelvixSandbox box;
  box.write("script.txt", "press \x1b[2J\x07\n");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"render", "--seed", "\x1b[2Jx"},
                                               {"\x1b]0;owned\x07"},
                                               {"render", "--script", "script.txt", "-o", "o.svg"}}) {
    const ProcessResult r = box.run(args);
    EXPECT_EQ(r.status, 2) << r.err;
    for (char c : r.err) EXPECT_FALSE((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7f) << r.err;
    EXPECT_NE(r.err.find("\\x1b"), std::string::npos) << r.err;
  }
}

#if QX_HAVE_PAINT
TEST(CommandLine, PicturesAreMadeWithoutWarnings) {
  QuelvixSandbox box;
  for (const char* out : {"x.png", "x.pdf"}) {
    const ProcessResult r = box.run({"render", "--seed", "3", "--set", "lineSets=2", "-o", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.errLines(), std::vector<std::string>{"quelvix: seed 3"}) << out;
  }
}
#endif

}  // namespace
}  // namespace qx::test
