// `quelvix render` end to end: the built program, the real plug-in, files on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "quelvix_process.h"

namespace qx::test {
namespace {

using Args = std::vector<std::string>;


size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

TEST(RenderCommand, TheSameSeedDrawsTheSameFile) {
  QuelvixSandbox box;
  auto first = box.run({"render", "--seed", "7", "-o", "a.svg"});
  ASSERT_EQ(first.status, 0) << first.describe();
  auto second = box.run({"render", "--seed", "7", "-o", "b.svg"});
  ASSERT_EQ(second.status, 0) << second.describe();
  const std::string svg = box.read("a.svg");
  EXPECT_EQ(svg, box.read("b.svg"));
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("seed=\"7\""), std::string::npos) << "the seed is stored in the file";
  EXPECT_NE(first.err.find("quelvix: seed 7"), std::string::npos) << first.describe();
  EXPECT_GE(count(svg, "<path "), 1u) << "the default lattice is drawn";

  auto other = box.run({"render", "--seed", "8", "-o", "c.svg"});
  ASSERT_EQ(other.status, 0) << other.describe();
  EXPECT_NE(svg, box.read("c.svg"));
}

TEST(RenderCommand, JsonFormAndTheDefaultOutput) {
  QuelvixSandbox box;
  auto r = box.run({"render", "--seed", "7", "-o", "out.JSON", "--page", "a4"});
  ASSERT_EQ(r.status, 0) << r.describe();
  const std::string json = box.read("out.JSON");
  EXPECT_EQ(json.find("{\"format\": \"quelvix-document\""), 0u) << json.substr(0, 200);
  EXPECT_NE(json.find("\"seed\": 7"), std::string::npos);
  EXPECT_NE(json.find("\"width\": 595.2"), std::string::npos) << "the a4 page";
  EXPECT_NE(json.find("\"type\": \"path\""), std::string::npos);

  auto plain = box.run({"render", "--seed", "1"});
  ASSERT_EQ(plain.status, 0) << plain.describe();
  EXPECT_TRUE(box.exists("quelvix.svg"));
}

TEST(RenderCommand, RandomLogAndRandomFile) {
  QuelvixSandbox box;
  auto r = box.run({"render", "--seed", "5", "--random-log", "draws.log", "-o", "seeded.json"});
  ASSERT_EQ(r.status, 0) << r.describe();
  const std::string log = box.read("draws.log");
  // "r VALUE" with VALUE a real in [0, 1), or "undo".
  auto wellFormed = [](const std::string& l) {
    if (l == "undo") return true;
    if (l.rfind("r ", 0) != 0 || l.size() < 3) return false;
    char* end = nullptr;
    const double v = std::strtod(l.c_str() + 2, &end);
    return *end == '\0' && v >= 0 && v < 1;
  };
  size_t draws = 0, undos = 0;
  std::istringstream in(log);
  std::string values;
  for (std::string l; std::getline(in, l);) {
    ASSERT_TRUE(wellFormed(l)) << "bad log line: " << l;
    if (l == "undo") ++undos;
    else {
      ++draws;
      values += l.substr(2) + "\n";
    }
  }
  EXPECT_GT(draws, 0u);
  EXPECT_GT(undos, 0u) << "each preview undoes the last";

  // The logged numbers, served back from a file, draw the same art.
  box.write("numbers.txt", values);
  auto replay = box.run({"render", "--random-file", "numbers.txt", "-o", "replayed.json"});
  ASSERT_EQ(replay.status, 0) << replay.describe();
  auto art = [](const std::string& json) { return json.substr(json.find("\"art\"")); };
  EXPECT_EQ(art(box.read("replayed.json")), art(box.read("seeded.json")));
  EXPECT_NE(box.read("replayed.json").find("\"seed\": null"), std::string::npos);

  // Too few numbers: a clear error, and nothing is written.
  box.write("few.txt", "0.5 0.25\n");
  const auto before = box.files();
  auto out = box.run({"render", "--random-file", "few.txt", "--random-log", "few.log", "-o", "few.svg"});
  EXPECT_EQ(out.status, 1) << out.describe();
  EXPECT_NE(out.err.find("ran out"), std::string::npos) << out.describe();
  EXPECT_EQ(box.files(), before);

  box.write("bad.txt", "0.5 1.5\n");
  auto bad = box.run({"render", "--random-file", "bad.txt", "-o", "bad.svg"});
  EXPECT_EQ(bad.status, 2) << bad.describe();
  EXPECT_EQ(bad.complaints().size(), 1u) << bad.describe();
}

TEST(RenderCommand, KeptSettingsRoundTrip) {
  QuelvixSandbox box;
  auto first = box.run({"render", "--seed", "2", "--state", "s.bin", "--set", "lineSets=3", "--set",
                        "shapeKind=Stars 1", "--page-tab", "3", "-o", "one.svg"});
  ASSERT_EQ(first.status, 0) << first.describe();
  ASSERT_EQ(box.read("s.bin").size(), 236u);

  auto second = box.run({"render", "--seed", "2", "--state", "s.bin", "--print-settings", "-o", "two.svg"});
  ASSERT_EQ(second.status, 0) << second.describe();
  EXPECT_NE(second.out.find("[lineSets]: 3\n"), std::string::npos) << second.out;
  EXPECT_NE(second.out.find("[shapeKind]: Stars 1\n"), std::string::npos) << second.out;
  EXPECT_NE(second.out.find("Shapes (current page)"), std::string::npos) << second.out;

  auto fresh = box.run({"render", "--seed", "2", "--state", "s.bin", "--fresh", "--print-settings", "-o", "3.svg"});
  ASSERT_EQ(fresh.status, 0) << fresh.describe();
  EXPECT_NE(fresh.out.find("[lineSets]: 1\n"), std::string::npos) << fresh.out;
  EXPECT_NE(fresh.out.find("Lines (current page)"), std::string::npos) << fresh.out;

  // Without --state the settings live in the configuration folder.
  ASSERT_EQ(box.run({"render", "--seed", "2", "--set", "lineSets=4", "-o", "4.svg"}).status, 0);
  ASSERT_EQ(box.read("config/quelvix/state.bin").size(), 236u);
  auto kept = box.run({"render", "--seed", "2", "--print-settings", "-o", "5.svg"});
  EXPECT_NE(kept.out.find("[lineSets]: 4\n"), std::string::npos) << kept.out;
}

TEST(RenderCommand, AWrongSizeStateIsRefusedAndLeftAlone) {
  QuelvixSandbox box;
  box.write("short.bin", std::string(10, 'x'));
  const auto before = box.files();
  auto r = box.run({"render", "--seed", "1", "--state", "short.bin", "-o", "out.svg"});
  EXPECT_EQ(r.status, 2) << r.describe();
  ASSERT_EQ(r.complaints().size(), 1u) << r.describe();
  EXPECT_NE(r.err.find("236"), std::string::npos);
  EXPECT_EQ(box.read("short.bin"), std::string(10, 'x'));
  EXPECT_EQ(box.files(), before);

  box.write("config/quelvix/state.bin", std::string(300, 'y'));
  auto config = box.run({"render", "--seed", "1", "-o", "out.svg"});
  EXPECT_EQ(config.status, 2) << config.describe();
  EXPECT_EQ(box.read("config/quelvix/state.bin"), std::string(300, 'y'));
  // --fresh does not read it, and a good run then replaces it.
  auto fresh = box.run({"render", "--seed", "1", "--fresh", "-o", "out.svg"});
  EXPECT_EQ(fresh.status, 0) << fresh.describe();
  EXPECT_EQ(box.read("config/quelvix/state.bin").size(), 236u);
}

TEST(RenderCommand, PresetsTumbleAndAdjustersDraw) {
  QuelvixSandbox box;
  auto stars = box.run({"render", "--preset", "Random swatches filled stars / tile", "--seed", "3", "-o", "stars.json",
                        "--print-settings"});
  ASSERT_EQ(stars.status, 0) << stars.describe();
  EXPECT_NE(stars.out.find("[shapeKind]: Stars 1\n"), std::string::npos) << stars.out;
  EXPECT_NE(stars.out.find("[tileMode]: Center of document\n"), std::string::npos) << stars.out;
  EXPECT_NE(stars.out.find("[presetIndex]: Random swatches filled stars / tile\n"), std::string::npos);
  const std::string json = box.read("stars.json");
  // Stars of 40 points at every step, tiled four ways: far more than the lines.
  EXPECT_GT(count(json, "\"type\": \"path\""), 400u);

  auto tumble = box.run({"render", "--tumble", "--seed", "9", "-o", "t.svg"});
  ASSERT_EQ(tumble.status, 0) << tumble.describe();
  EXPECT_TRUE(box.exists("t.svg"));

  // Left edge of the page: the most points the adjuster gives.
  auto drag = box.run({"render", "--fresh", "--seed", "4", "--adjust", "pointsMin=0,100", "--print-settings", "-o",
                       "d.svg"});
  ASSERT_EQ(drag.status, 0) << drag.describe();
  EXPECT_NE(drag.out.find("[pointsMin]: 300\n"), std::string::npos) << drag.out;
}

TEST(RenderCommand, ActionsApplyInTheOrderGiven) {
  QuelvixSandbox box;
  box.write("steps.txt", "# later wins\nset lineSets=7\npreset Reset   # back to one set\nset lineSets=9\n");
  auto r = box.run({"render", "--fresh", "--seed", "1", "--set", "lineSets=2", "--preset", "0", "--script", "steps.txt",
                    "--no-preview", "--print-settings", "-o", "o.svg"});
  ASSERT_EQ(r.status, 0) << r.describe();
  EXPECT_NE(r.out.find("[lineSets]: 9\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("[preview]: off\n"), std::string::npos) << r.out;

  auto reversed = box.run({"render", "--fresh", "--seed", "1", "--set", "lineSets=2", "--preset", "0",
                           "--print-settings", "-o", "p.svg"});
  ASSERT_EQ(reversed.status, 0) << reversed.describe();
  EXPECT_NE(reversed.out.find("[lineSets]: 1\n"), std::string::npos) << "the preset came last";
}

TEST(RenderCommand, PrintSettingsListsTheFourPages) {
  QuelvixSandbox box;
  auto r = box.run({"render", "--fresh", "--seed", "1", "--print-settings", "-o", "o.svg"});
  ASSERT_EQ(r.status, 0) << r.describe();
  size_t last = 0;
  for (const char* page : {"Lines", "Style", "Shapes", "Settings"}) {
    const size_t at = r.out.find(std::string("\n") + page);
    const size_t first = r.out.rfind(page, 0) == 0 ? 0 : at;
    ASSERT_NE(first, std::string::npos) << page << " missing:\n" << r.out;
    EXPECT_GE(first, last);
    last = first;
  }
  for (const char* line : {"[L] Points [lockPoints]: off", "[pointsMin]: 100", "[stepX]: 70.00",
                           "[lineStrokeMode]: Use current stroke color", "[shapeFillMode]: Use current fill color",
                           "Split lines (no shapes) [splitLines]: off", "Preview [preview]: on", "[viewZoom]: 100.00",
                           "[lineStrokeSwatch]: 2 (disabled)"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;

  // The listing, read from the live dialog, is the one the dialog has always
  // given, labels, pages and all.
  auto golden = [](const char* name) {
    std::ifstream in(std::string(QX_SOURCE_DIR) + "/tests/data/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(r.out, golden("settings-fresh.txt"));
  auto shapes = box.run({"render", "--fresh", "--seed", "1", "--preset", "11", "--page-tab", "3", "--set", "lineSets=3",
                         "--print-settings", "-o", "o.svg"});
  ASSERT_EQ(shapes.status, 0) << shapes.describe();
  EXPECT_EQ(shapes.out, golden("settings-stars-shapes-page.txt"));
}

TEST(RenderCommand, BadCommandLinesExitTwoAndWriteNothing) {
  QuelvixSandbox box;
  box.write("bad-script.txt", "tumble\nset lineSets=abc\n");
  const std::vector<Args> cases = {
      {"render", "--set", "lineSets=900"},
      {"render", "--set", "noSuchField=1"},
      {"render", "--set", "shapeKind=Stars 9"},
      {"render", "--set", "lockPoints=maybe"},
      {"render", "--set", "lineStrokeSwatch=99"},
      {"render", "--preset", "No such preset"},
      {"render", "--adjust", "lineSets=1,2"},
      {"render", "--adjust", "stepX=1"},
      {"render", "--page-tab", "5"},
      {"render", "--cancel", "--tumble"},
      {"render", "--script", "missing.txt"},
      {"render", "--script", "bad-script.txt"},
      {"render", "--page", "0x100"},
      {"render", "--page", "1e-300x1e-300"},  // no page to draw on, not a Letter page
      {"render", "--page", "0.5x100"},
      {"render", "--random-log", "out.svg"},  // the drawing and the log in one file
      {"render", "--random-log", "./sub/../out.svg"},
      {"render", "--state", "out.svg"},
      {"render", "--random-file", "bad-script.txt", "-o", "bad-script.txt"},
      {"render", "--script", "."},  // a folder is no script
      {"render", "--seed", "-4"},
      {"render", "--seed", "3", "--random-file", "bad-script.txt"},
      {"render", "--random-file", "missing.txt"},
      {"render", "--art-limit", "0"},
      {"render", "-o", "out.txt"},
      {"render", "-o", "no/such/folder/out.svg"},
      {"render", "--plugins", "no-such-folder"},
      {"render", "--no-such-option"},
      {"render", "--set", "lineSets=2", "extra"},
  };
  const auto before = box.files();
  for (const Args& args : cases) {
    std::string shown;
    for (const std::string& a : args) shown += a + " ";
    Args withOutput = args;
    if (std::find(args.begin(), args.end(), "-o") == args.end()) {
      withOutput.push_back("-o");
      withOutput.push_back("out.svg");
    }
    auto r = box.run(withOutput);
    EXPECT_EQ(r.status, 2) << shown << r.describe();
    EXPECT_EQ(r.complaints().size(), 1u) << shown << r.describe();
    EXPECT_EQ(box.files(), before) << shown;
    EXPECT_FALSE(box.exists("config/quelvix/state.bin")) << shown;
  }
}

TEST(RenderCommand, CancelExitsThreeAndWritesNothing) {
  QuelvixSandbox box;
  ASSERT_EQ(box.run({"render", "--seed", "1", "--state", "s.bin", "-o", "first.svg"}).status, 0);
  const std::string state = box.read("s.bin");
  const auto before = box.files();
  auto r = box.run({"render", "--seed", "1", "--state", "s.bin", "--set", "lineSets=5", "--tumble", "--cancel",
                    "--random-log", "c.log", "-o", "cancelled.svg"});
  EXPECT_EQ(r.status, 3) << r.describe();
  EXPECT_TRUE(r.complaints().empty()) << r.describe();
  EXPECT_EQ(box.files(), before);
  EXPECT_EQ(box.read("s.bin"), state);
}

TEST(RenderCommand, TheArtBudgetKeepsWhatWasDrawn) {
  QuelvixSandbox box;
  auto r = box.run({"render", "--fresh", "--seed", "3", "--preset", "Random swatches filled stars / tile",
                    "--art-limit", "50", "-o", "cut.json"});
  EXPECT_EQ(r.status, 1) << r.describe();
  ASSERT_EQ(r.complaints().size(), 1u) << r.describe();
  EXPECT_NE(r.err.find("art budget of 50"), std::string::npos) << r.describe();
  ASSERT_TRUE(box.exists("cut.json"));
  const size_t paths = count(box.read("cut.json"), "\"type\": \"path\"");
  EXPECT_GT(paths, 0u);
  EXPECT_LE(paths, 50u);
  EXPECT_FALSE(box.exists("config/quelvix/state.bin")) << "an incomplete run keeps no settings";
}

TEST(RenderCommand, PngAndPdfNeedThePainter) {
  QuelvixSandbox box;
  auto r = box.run({"render", "--seed", "1", "-o", "out.png"});
#if QX_HAVE_PAINT
  EXPECT_EQ(r.status, 0) << r.describe();
#else
  EXPECT_EQ(r.status, 2) << r.describe();
  EXPECT_NE(r.err.find("painter"), std::string::npos);
  EXPECT_FALSE(box.exists("out.png"));
#endif
}

}  // namespace
}  // namespace qx::test
