// What every command shares: --version, an unknown command named with the
// list of commands, and error output that never carries control bytes.
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
  EXPECT_EQ(r.errLines()[0], "quelvix: unknown command \"bogus\"; the commands are info, about, render, export, gui");
  EXPECT_TRUE(box.files().empty());
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

#if QX_HAVE_GUI
TEST(CommandLine, PicturesAreMadeWithoutWarnings) {
  QuelvixSandbox box;
  for (const char* out : {"x.png", "x.pdf"}) {
    const ProcessResult r = box.run({"render", "--seed", "3", "--set", "lineSets=2", "-o", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.errLines(), std::vector<std::string>{"quelvix render: seed 3"}) << out;
  }
}
#endif

}  // namespace
}  // namespace qx::test
