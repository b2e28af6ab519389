// Your own art in: `quelvix render --open` with a selection strings the
// selected motif along the lattice ("Selected" shapes), `--palette` colours
// from the designer's palette, and bad selections or palettes are refused
// before anything is written.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "quelvix_process.h"

namespace qx::test {
namespace {

using Args = std::vector<std::string>;

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string motif() { return slurp(std::string(SVG_TEST_DATA) + "/motif.svg"); }

std::string describe(const ProcessResult& r) { return "status " + std::to_string(r.status) + "\n" + r.err; }

// The JSON writer puts each top-level object on a line of its own.
struct TopLevel {
  std::string type;
  size_t segments = 0;  // of the object itself (0 for a compound path)
  std::string line;
};

std::vector<TopLevel> topLevelArt(const std::string& json) {
  std::vector<TopLevel> art;
  std::istringstream in(json);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("  {\"type\": \"", 0) != 0) continue;
    TopLevel t;
    t.type = line.substr(12, line.find('"', 12) - 12);
    const size_t from = line.find("\"segments\": [");
    const size_t to = line.find("]]", from);
    if (from != std::string::npos && to != std::string::npos)
      for (size_t i = from + 13; i < to; ++i) t.segments += line[i] == '[';
    t.line = line;
    art.push_back(std::move(t));
  }
  return art;
}

const Args kLattice = {"--fresh", "--seed",     "4",     "--no-preview",  "--set", "shapeKind=Selected",
                       "--set",   "lineSets=1", "--set", "lockPoints=on", "--set", "pointsMin=5"};

Args withLattice(Args args) {
  args.insert(args.end(), kLattice.begin(), kLattice.end());
  return args;
}

TEST(OpenAndSelect, TheFirstSelectedObjectIsCopiedToEveryPointOfTheLattice) {
  QuelvixSandbox box;
  box.write("motif.svg", motif());
  auto r = box.run(withLattice({"render", "--open", "motif.svg", "--select", "star", "--select", "ring", "-o",
                                "out.json"}));
  ASSERT_EQ(r.status, 0) << describe(r);
  const auto art = topLevelArt(box.read("out.json"));
  ASSERT_GE(art.size(), 3u);
  // The motif stays as it was: the star (10 corners) and the ring (a compound path).
  EXPECT_EQ(art[0].segments, 10u);
  EXPECT_NE(art[0].line.find("\"selected\": true"), std::string::npos);
  EXPECT_EQ(art[1].type, "compound");
  // Then the lattice's line, and a copy of the star at each of its points;
  // the second selected object is not copied.
  EXPECT_EQ(art[2].type, "path");
  const size_t points = art[2].segments;
  ASSERT_GT(points, 1u);
  size_t stars = 0, compounds = 0;
  for (size_t i = 3; i < art.size(); ++i) {
    stars += art[i].type == "path" && art[i].segments == 10;
    compounds += art[i].type == "compound";
  }
  EXPECT_EQ(stars, points);
  EXPECT_EQ(compounds, 0u);
}

TEST(OpenAndSelect, ACompoundPathIsCopiedWholeNeverItsMembers) {
  QuelvixSandbox box;
  box.write("motif.svg", motif());
  auto r = box.run(withLattice({"render", "--open", "motif.svg", "--select-index", "1", "-o", "out.json"}));
  ASSERT_EQ(r.status, 0) << describe(r);
  const auto art = topLevelArt(box.read("out.json"));
  ASSERT_GE(art.size(), 3u);
  const size_t points = art[2].segments;
  size_t compounds = 0, rings = 0;
  for (size_t i = 3; i < art.size(); ++i) {
    compounds += art[i].type == "compound";
    rings += art[i].type == "path" && art[i].segments == 4;  // a member on its own
  }
  EXPECT_EQ(compounds, points);
  EXPECT_EQ(rings, 0u);
}

TEST(OpenAndSelect, BadSelectionsAndFilesAreRefusedAndWriteNothing) {
  QuelvixSandbox box;
  box.write("motif.svg", motif());
  box.write("broken.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\"><path d=\"M0 0\"");
  const std::vector<std::pair<Args, std::string>> cases = {
      {{"render", "--open", "motif.svg", "--select", "moon"}, "moon"},
      {{"render", "--open", "motif.svg", "--select-index", "2"}, "positions 0 to 1"},
      {{"render", "--select-all"}, "--open"},
      {{"render", "--open", "missing.svg"}, "missing.svg"},
      {{"render", "--open", "broken.svg"}, "broken.svg:1"},
      {{"render", "--open", "motif.svg", "--page", "a4"}, "--page"},
  };
  const auto before = box.files();
  for (const auto& [args, named] : cases) {
    Args withOutput = args;
    withOutput.insert(withOutput.end(), {"--fresh", "-o", "out.svg"});
    auto r = box.run(withOutput);
    EXPECT_EQ(r.status, 2) << args.back() << " " << describe(r);
    EXPECT_NE(r.err.find(named), std::string::npos) << describe(r);
    EXPECT_EQ(box.files(), before) << args.back();
  }
}

TEST(Palettes, SwatchColourModesTakeThePalettesColours) {
  QuelvixSandbox box;
  box.write("mine.gpl",
            "GIMP Palette\nName: Mine\nColumns: 3\n# three colours\n 10  20 30\tDusk\n200 100 50 Clay\n0 0 0 Ink\n");
  auto r = box.run({"render", "--fresh", "--seed", "8", "--palette", "mine.gpl", "--set", "shapeKind=Circles", "--set",
                    "shapeFillMode=Random swatches", "--set", "lineSets=3", "--print-settings", "-o", "out.json"});
  ASSERT_EQ(r.status, 0) << describe(r);
  const std::string json = box.read("out.json");
  // The swatch list: [None], [Registration], White (the palette has no
  // white), no Black of ours (the palette's Ink is black), then the palette.
  const size_t dusk = json.find("{\"name\": \"Dusk\"");
  ASSERT_NE(dusk, std::string::npos) << json.substr(0, 800);
  EXPECT_NE(json.find("{\"name\": \"White\""), std::string::npos);
  EXPECT_EQ(json.find("{\"name\": \"Black\""), std::string::npos);
  EXPECT_LT(json.find("{\"name\": \"[Registration]\""), dusk);
  // The shapes are filled from the swatch list, so the palette's colours show.
  EXPECT_NE(json.find("\"values\": [0.78431374, 0.39215687, 0.19607843]"), std::string::npos) << "no shape in Clay";
  EXPECT_NE(r.out.find("[shapeFillSwatch]"), std::string::npos);
}

TEST(Palettes, APaletteLineThatIsNoColourIsNamedAndNothingIsWritten) {
  QuelvixSandbox box;
  box.write("bad.gpl", "GIMP Palette\n10 20 30 Fine\n300 0 0 Too bright\n");
  box.write("bad.txt", "#a0b0c0\nteal\n");
  box.write("empty.txt", "\n\n");
  const auto before = box.files();
  for (auto [file, where] : {std::pair{"bad.gpl", "bad.gpl:3"}, {"bad.txt", "bad.txt:2"}, {"empty.txt", "no colour"}}) {
    auto r = box.run({"render", "--fresh", "--palette", file, "-o", "out.svg"});
    EXPECT_EQ(r.status, 2) << file << describe(r);
    EXPECT_NE(r.err.find(where), std::string::npos) << describe(r);
    EXPECT_EQ(box.files(), before);
  }
  // Plain lists of #rrggbb lines are palettes too.
  box.write("list.txt", "#102030\n#c86432 Clay\n");
  EXPECT_EQ(box.run({"render", "--fresh", "--palette", "list.txt", "-o", "ok.svg"}).status, 0);
}

}  // namespace
}  // namespace qx::test
