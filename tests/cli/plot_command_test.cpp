// `quelvix plot` as a program: a drawing becomes plot SVG, HPGL or G-code
// by the output's extension; bad options, input or output end with one
// line, status 2 or 1, and nothing written.
#include <gtest/gtest.h>

#include <cstdlib>

#include "quelvix_process.h"

namespace qx::test {
namespace {

const char* kDrawing =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"100\">"
    "<path d=\"M0 50H200\" stroke=\"#000\" fill=\"none\"/>"
    "<circle cx=\"100\" cy=\"50\" r=\"30\" fill=\"#fff\" stroke=\"#f00\"/></svg>\n";

TEST(PlotCommand, WritesEachFormatByItsExtension) {
  QuelvixSandbox box;
  box.write("in.svg", kDrawing);
  for (const char* out : {"out.svg", "out.hpgl", "out.gcode"}) {
    const ProcessResult r = box.run({"plot", "in.svg", "-o", out});
    ASSERT_EQ(r.status, 0) << r.describe();
    EXPECT_TRUE(r.err.empty()) << r.describe();  // no statistics off a terminal
  }
  EXPECT_NE(box.read("out.svg").find("inkscape:label=\"2 #ff0000\""), std::string::npos);
  EXPECT_EQ(box.read("out.hpgl").rfind("IN;\nSP1;\nPU", 0), 0u);
  EXPECT_NE(box.read("out.gcode").find("G21"), std::string::npos);
  const ProcessResult stats = box.run({"plot", "in.svg", "-o", "s.hpgl", "--stats"});
  ASSERT_EQ(stats.status, 0) << stats.describe();
  EXPECT_NE(stats.err.find("quelvix: 2 pens, "), std::string::npos) << stats.describe();
  EXPECT_NE(stats.err.find("pen up"), std::string::npos);
}

TEST(PlotCommand, BadOptionsAndInputEndWithOneLineAndNothingWritten) {
  QuelvixSandbox box;
  box.write("in.svg", kDrawing);
  box.write("pens.txt", "1 black #000000\n");
  const std::vector<std::vector<std::string>> bad = {
      {"plot", "in.svg", "-o", "out.png"},
      {"plot", "in.svg", "-o", "out.svg", "--tolerance", "0"},
      {"plot", "in.svg", "-o", "out.svg", "--hatch", "wide"},
      {"plot", "in.svg", "-o", "out.svg", "--paper", "b5"},
      {"plot", "in.svg", "-o", "out.svg", "--fit"},
      {"plot", "in.svg", "-o", "out.svg", "--paper", "a4", "--fit", "--margin", "200"},
      {"plot", "in.svg", "-o", "out.svg", "--pens", "pens.txt"},
      {"plot", "in.svg", "-o", "out.svg", "--speed", "0"},
      {"plot", "missing.svg", "-o", "out.svg"},
      {"plot", "in.svg", "-o", "no/such/folder/out.svg"},
  };
  for (const std::vector<std::string>& args : bad) {
    const ProcessResult r = box.run(args);
    EXPECT_EQ(r.status, 2) << r.describe();
    ASSERT_EQ(r.errLines().size(), 1u) << r.describe();
    EXPECT_EQ(r.errLines()[0].rfind("quelvix: ", 0), 0u) << r.describe();
  }
  EXPECT_EQ(box.files(), (std::vector<std::string>{"in.svg", "pens.txt"}));
}

TEST(PlotCommand, AFailedWriteLeavesTheTargetAsItWas) {
  QuelvixSandbox box;
  box.write("in.svg", kDrawing);
  // A folder where the file would go: the rename over it fails, as root too.
  ASSERT_EQ(std::system(("mkdir '" + box.path("taken.svg") + "'").c_str()), 0);
  const ProcessResult r = box.run({"plot", "in.svg", "-o", "taken.svg"});
  EXPECT_EQ(r.status, 1) << r.describe();
  ASSERT_EQ(r.errLines().size(), 1u) << r.describe();
  EXPECT_EQ(r.errLines()[0].rfind("quelvix: cannot write taken.svg: ", 0), 0u) << r.describe();
  EXPECT_EQ(box.allFiles(), (std::vector<std::string>{"in.svg", "taken.svg", "tmp"}));  // no temporary left
}

TEST(PlotCommand, APenFileAndPaperShapeTheOutput) {
  QuelvixSandbox box;
  box.write("in.svg", kDrawing);
  box.write("pens.txt", "# two pens\n3 fine #000000 0.1\n5 red #ff2020 0.7\n");
  const ProcessResult r =
      box.run({"plot", "in.svg", "-o", "out.svg", "--pens", "pens.txt", "--paper", "a4", "--fit", "--rotate"});
  ASSERT_EQ(r.status, 0) << r.describe();
  const std::string svg = box.read("out.svg");
  EXPECT_NE(svg.find("width=\"297mm\" height=\"210mm\""), std::string::npos) << svg.substr(0, 400);
  EXPECT_NE(svg.find("inkscape:label=\"3 fine\""), std::string::npos);
  EXPECT_NE(svg.find("inkscape:label=\"5 red\""), std::string::npos);
  EXPECT_NE(svg.find("stroke-width=\"0.7\""), std::string::npos);
}

}  // namespace
}  // namespace qx::test
