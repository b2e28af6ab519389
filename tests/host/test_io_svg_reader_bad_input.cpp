// Bad and hostile input: every case answers an error or a warning, nothing
// crashes, and the limits hold.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "host/io/svg_read/svg_path_data.h"
#include "test_io_svg_reader_support.h"

namespace qx::host {
namespace {

using namespace testing;

double secondsFor(const std::function<void()>& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string fileError(std::string_view file, const SvgReadLimits& limits = {}) {
  const SvgReadResult r = readSvgFile(corpus(file), limits);
  EXPECT_FALSE(r.scene.has_value());
  return r.error;
}

TEST(SvgBadInput, MalformedXmlNamesTheLine) {
  EXPECT_EQ(fileError("malformed.svg"), corpus("malformed.svg") + ":5: malformed XML: Error parsing start element tag");
  const std::string e = errorOf("<svg xmlns=\"http://www.w3.org/2000/svg\">\n<g>\n</svg>");
  EXPECT_EQ(e.rfind("test.svg:3: malformed XML", 0), 0u) << e;
  EXPECT_EQ(errorOf("").rfind("test.svg:1: malformed XML", 0), 0u);
  EXPECT_NE(errorOf("\x01\x02\xff garbage").find("malformed XML"), std::string::npos);
}

TEST(SvgBadInput, NotAnSvgRoot) {
  EXPECT_EQ(errorOf("<?xml version=\"1.0\"?>\n<html><body/></html>"),
            "test.svg:2: the root element is <html>, not <svg>: not an SVG file");
  EXPECT_NE(errorOf(R"s(<svg:svg xmlns:svg="urn:not-svg"/>)s").find("not an SVG file"), std::string::npos);
}

TEST(SvgBadInput, JunkPathIsDrawnUpToTheError) {
  const SvgReadResult r = readSvgFile(corpus("junk-path.svg"));
  ASSERT_TRUE(r.scene) << r.error;
  ASSERT_EQ(r.scene->warnings.size(), 1u);
  EXPECT_EQ(r.scene->warnings[0],
            corpus("junk-path.svg") + ":4: path data: expected a number at character 16 (\"x\"); drawn up to there");
  EXPECT_EQ(named(*r.scene, "junk").subpaths[0].segments.size(), 2u);
  EXPECT_EQ(named(*r.scene, "ok").subpaths[0].segments.size(), 2u);
}

TEST(SvgBadInput, UnknownUnitIsAnErrorWithFileAndLine) {
  EXPECT_EQ(fileError("furlongs.svg"),
            corpus("furlongs.svg") + ":2: width: unknown unit \"furlongs\" in \"3furlongs\"");
  EXPECT_EQ(errorOf(R"s(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="ten"/>)s"),
            "test.svg:1: height: \"ten\" is not a length");
}

TEST(SvgBadInput, EntityDeclarationsAreRefusedAtOnce) {
  std::string error;
  const double seconds = secondsFor([&] { error = fileError("billion-laughs.svg"); });
  EXPECT_EQ(error,
            corpus("billion-laughs.svg") + ":2: the DOCTYPE declares entities (<!ENTITY); such files are refused");
  EXPECT_LT(seconds, 1.0);
  // A DOCTYPE without entities is fine.
  const SvgScene plain =
      sceneOf(R"s(<!DOCTYPE svg PUBLIC "-//W3C//DTD SVG 1.1//EN" "http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd">
    <svg xmlns="http://www.w3.org/2000/svg" width="1" height="1"/>)s");
  EXPECT_TRUE(plain.warnings.empty());
}

std::string nested(int depth) {
  std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\">\n";
  for (int i = 0; i < depth; ++i) s += "<g>";
  s += "<rect width=\"1\" height=\"1\"/>";
  for (int i = 0; i < depth; ++i) s += "</g>";
  return s + "</svg>";
}

TEST(SvgBadInput, DeepNestingIsRefusedFast) {
  const std::string deep = nested(100000);
  std::string error;
  const double seconds = secondsFor([&] { error = errorOf(deep); });
  EXPECT_EQ(error, "test.svg:2: elements nest deeper than 1000 levels; the file is refused");
  EXPECT_LT(seconds, 2.0);
  // At the limit it is read: the root, 998 groups and the rectangle make 1000 levels.
  const SvgScene ok = sceneOf(nested(998));
  EXPECT_EQ(ofKind(ok, SvgNodeKind::Path).size(), 1u);
  EXPECT_EQ(ok.nodes.size(), 999u);
  EXPECT_NE(errorOf(nested(999)).find("deeper than 1000"), std::string::npos);
}

TEST(SvgBadInput, FilesThatAreNotFilesOrTooLarge) {
  EXPECT_EQ(readSvgFile(SVG_TEST_DATA).error, std::string(SVG_TEST_DATA) + ": is not a regular file");
  EXPECT_EQ(readSvgFile(corpus("no-such.svg")).error.rfind(corpus("no-such.svg") + ": cannot open", 0), 0u);
  SvgReadLimits limits;
  limits.maxFileBytes = 100;
  EXPECT_EQ(fileError("browser-percent.svg", limits),
            corpus("browser-percent.svg") + ": the file is larger than the limit of 100 bytes; refused");
  EXPECT_NE(errorOf(std::string(101, ' '), limits).find("larger than the limit of 100 bytes"), std::string::npos);
  EXPECT_TRUE(readSvgText(R"s(<svg xmlns="http://www.w3.org/2000/svg"/>)s", "t", limits).scene);
  EXPECT_EQ(SvgReadLimits{}.maxFileBytes, uint64_t{256} << 20);
}

TEST(SvgBadInput, AbsurdNumbersSkipTheElement) {
  const SvgScene s = drawing(R"s(<path id="far" d="M 0 0 L 1e16 0"/><rect id="fine" width="1" height="1"/>
      <path id="inf" d="M 0 0 L 1e400 0"/><circle r="1e308" transform="scale(10)"/>)s");
  ASSERT_EQ(ofKind(s, SvgNodeKind::Path).size(), 1u);
  EXPECT_EQ(named(s, "fine").kind, SvgNodeKind::Path);
  EXPECT_TRUE(hasWarning(s, "lies beyond 1e15 points; the element is left out"));
  EXPECT_TRUE(hasWarning(s, "expected a number at character 9"));  // 1e400 does not fit: only the move is left
  EXPECT_EQ(s.warnings.size(), 3u);
}

TEST(SvgBadInput, SegmentAndWarningLimits) {
  SvgReadLimits limits;
  limits.maxSegments = 10;
  const std::string error =
      errorOf(page100(R"s(<polyline points="0 0 1 1 2 2 3 3 4 4 5 5"/><polyline points="0 0 1 1 2 2 3 3 4 4 5 5"/>)s"),
              limits);
  EXPECT_NE(error.find("more than 10 path points"), std::string::npos) << error;
  // Arcs make several points each: path data is cut off while it is read.
  std::string arcs = "<path d=\"M0 0";
  for (int i = 0; i < 1000; ++i) arcs += " a1 1 0 1 1 0 1";
  EXPECT_NE(errorOf(page100(arcs + "\"/>"), limits).find("more than 10 path points"), std::string::npos);
  EXPECT_EQ(svg::parsePathData("M0 0 a1 1 0 1 1 0 1 a1 1 0 1 1 0 1", 5).contours.size(), 1u);
  EXPECT_TRUE(svg::parsePathData("M0 0 a1 1 0 1 1 0 1 a1 1 0 1 1 0 1", 5).tooLong);
  const SvgScene wide =
      drawing(R"s(<rect width="1e-300" height="1e-300" stroke="black" transform="matrix(1e200 0 0 1e200 0 0)"/>)s");
  EXPECT_TRUE(wide.nodes.empty());
  EXPECT_TRUE(hasWarning(wide, "stroke width is not finite"));
  limits = {};
  limits.maxWarnings = 3;
  std::string body;
  for (int i = 0; i < 10; ++i) body += "<path d=\"M 0 0 L x\"/>";
  const SvgScene s = sceneOf(page100(body), limits);
  ASSERT_EQ(s.warnings.size(), 4u);
  EXPECT_EQ(s.warnings.back(), "test.svg: 7 more warnings not shown");
}

TEST(SvgBadInput, OtherEncodings) {
  const std::string text = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\">\n<rect "
                           "id=\"r\xC3\xA9\" width=\"1\" height=\"1\"/>\n<path d=\"M 0 0 L x\"/></svg>";
  // UTF-16 little endian with its byte order mark.
  std::string utf16 = "\xFF\xFE";
  for (unsigned char c : std::string("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\">\n<rect "
                                     "id=\"r\" width=\"1\" height=\"1\"/>\n<path d=\"M 0 0 L x\"/></svg>")) {
    utf16 += static_cast<char>(c);
    utf16 += '\0';
  }
  const SvgScene wide = sceneOf(utf16);
  EXPECT_EQ(named(wide, "r").kind, SvgNodeKind::Path);
  EXPECT_TRUE(hasWarning(wide, "test.svg:3: path data"));
  EXPECT_NE(errorOf(utf16.substr(0, utf16.size() - 1)).find("UTF-16"), std::string::npos);
  // Latin-1, as older Illustrator wrote it: the id comes back as UTF-8.
  const SvgScene latin =
      sceneOf("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1\" "
              "height=\"1\"><rect id=\"caf\xE9\" width=\"1\" height=\"1\"/></svg>");
  EXPECT_EQ(latin.nodes.at(0).name, "caf\xC3\xA9");
  EXPECT_EQ(named(sceneOf(text), "r\xC3\xA9").kind, SvgNodeKind::Path);
}

// Every corpus file, cut short and with bytes changed: each answers a scene
// or an error, and the sanitizers see nothing wrong.
TEST(SvgBadInput, DamagedCorpusFilesNeverCrash) {
  uint32_t seed = 12345;
  const auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  // Most rounds change only attribute values, so the XML stays whole and
  // the damage reaches numbers, units, colours and references.
  const std::string_view structural = "<>/\"'=&;#()-.e0 9zMLCAZ%:";
  const std::string_view inValues = "-+.,eE0159 zZmMlLcCaAsSqQ%#();:!x";
  int read = 0, refused = 0;
  for (const auto& entry : std::filesystem::directory_iterator(SVG_TEST_DATA)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string original((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<size_t> valuePositions;
    bool inside = false;
    for (size_t i = 0; i < original.size(); ++i) {
      if (original[i] == '"') inside = !inside;
      else if (inside) valuePositions.push_back(i);
    }
    for (size_t cut = 0; cut < original.size(); cut += std::max<size_t>(1, original.size() / 40))
      (void)readSvgText(std::string_view(original).substr(0, cut), "cut.svg");
    for (int round = 0; round < 400; ++round) {
      std::string damaged = original;
      const bool anywhere = round % 4 == 0 || valuePositions.empty();
      for (int k = 0; k < 4; ++k) {
        const size_t at = anywhere ? next() % damaged.size() : valuePositions[next() % valuePositions.size()];
        const std::string_view set = anywhere ? structural : inValues;
        damaged[at] = set[next() % set.size()];
      }
      const SvgReadResult r = readSvgText(damaged, "damaged.svg");
      EXPECT_TRUE(r.scene.has_value() != !r.error.empty());
      ++(r.scene ? read : refused);
    }
  }
  // Both ways out are exercised, not only the XML parser's.
  EXPECT_GT(read, 1000);
  EXPECT_GT(refused, 100);
}

TEST(SvgBadInput, APaintListingReferenceAfterReferenceIsOneBadValue) {
  // Each reference would be the fallback of the one before it.
  std::string fill;
  for (int i = 0; i < 200'000; ++i) fill += "url(#a) ";
  const SvgScene s = drawing("<path id=\"p\" d=\"M0 0 L10 10\" fill=\"" + fill + "\"/>");
  EXPECT_EQ(named(s, "p").subpaths.size(), 1u);
}

}  // namespace
}  // namespace qx::host
