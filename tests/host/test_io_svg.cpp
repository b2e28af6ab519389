// The SVG writer: the flip to SVG's downward axis, path data, paint classes,
// the viewBox, the seed, and that a real renderer accepts the file.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>

#include "host/document/document.h"
#include "host/io/svg_read/svg_reader.h"
#include "host/io/svg_write/svg_writer.h"
#include "test_io_documents.h"

namespace qx::host {
namespace {

using namespace iotest;

// The `d` text of every <path>, in file order.
std::vector<std::string> pathData(const std::string& svg) {
  std::vector<std::string> all;
  size_t at = 0;
  while ((at = svg.find("<path ", at)) != std::string::npos) {
    at = svg.find(" d=\"", at) + 4;
    all.push_back(svg.substr(at, svg.find('"', at) - at));
  }
  return all;
}

// The value of `attribute` in the element that holds `marker`; "(none)" when
// it has none.
std::string attributeOf(const std::string& svg, const std::string& marker, const std::string& attribute) {
  const size_t at = svg.find(marker);
  if (at == std::string::npos) return "(no such element)";
  const size_t start = svg.rfind('<', at), end = svg.find('>', at);
  const std::string element = svg.substr(start, end - start);
  const size_t a = element.find(" " + attribute + "=\"");
  if (a == std::string::npos) return "(none)";
  const size_t v = a + attribute.size() + 3;
  return element.substr(v, element.find('"', v) - v);
}

// The declarations of the class of the path whose data is `d`.
std::string paintOf(const std::string& svg, const std::string& d) {
  const std::string name = attributeOf(svg, "d=\"" + d + "\"", "class");
  const size_t rule = svg.find("." + name + "{");
  if (rule == std::string::npos) return "(no class " + name + ")";
  const size_t start = rule + name.size() + 2;
  return svg.substr(start, svg.find('}', start) - start);
}

TEST(SvgWriter, FlipsOnceAndWritesTheDocumentsOwnCoordinates) {
  Document doc(200, 100);
  const QxPathStyle style = paintStyle(rgbColor(1, 0, 0), processColor(0, 0, 0, 1), 2);
  addPath(doc, {corner(10, 20), corner(50, 20), corner(30.1f, 60)}, true, &style);
  const std::string svg = svgText(doc);

  // Artwork y runs up from the page's bottom edge: (x, y) is drawn at
  // (x, 100 - y), by the one layer's transform.
  EXPECT_NE(svg.find("inkscape:label=\"Quelvix\" transform=\"matrix(1 0 0 -1 0 100)\">"), std::string::npos) << svg;
  EXPECT_EQ(pathData(svg), std::vector<std::string>{"M10 20h40l-19.9 40z"});
  EXPECT_EQ(paintOf(svg, "M10 20h40l-19.9 40z"), "fill:#ff0000;stroke:#000000;stroke-width:2");
  EXPECT_EQ(attributeOf(svg, "d=\"M10 20h40l-19.9 40z\"", "fill"), "(none)") << "paint is in the class alone";
  EXPECT_EQ(svg.rfind("</g>\n</svg>\n"), svg.size() - 12);
}

TEST(SvgWriter, CurvesLinesAndClosingPieces) {
  Document doc(200, 100);
  // Open: a curve, then a straight piece (both handles on their anchors),
  // then a piece with only one handle pulled, which is still a curve.
  addPath(doc, {smooth(0, 0, 0, 0, 10, 0), smooth(20, 20, 20, 10, 20, 20), corner(40, 20), smooth(60, 0, 50, 0, 60, 0)},
          false);
  // Closed with a curved closing piece: drawn back to the start, then z; its
  // first handle mirrors the curve before it, so it is an s.
  addPath(doc, {smooth(100, 50, 90, 50, 110, 50), smooth(120, 70, 120, 60, 120, 80)}, true);
  // A single point, open and closed.
  addPath(doc, {corner(5, 5)}, false);
  addPath(doc, {corner(6, 6)}, true);
  // No segments: nothing to draw.
  addPath(doc, {}, false);
  // Straight pieces that keep one coordinate are h and v.
  addPath(doc, {corner(0, 0), corner(0, -70), corner(70, -70), corner(72, -69)}, false);

  EXPECT_EQ(pathData(svgText(doc)), (std::vector<std::string>{
                                        "M0 0c10 0 20 10 20 20h20c0 0 10-20 20-20",
                                        "M100 50c10 0 20 10 20 20s-30-20-20-20z",
                                        "M5 5",
                                        "M6 6z",
                                        "M0 0v-70h70l2 1",
                                    }));
}

TEST(SvgWriter, PathDataIsRelativeWithTheFewestDigitsThatReadBackExactly) {
  Document doc(400, 200);
  // Circles moved by whole units within one binary order of magnitude (128
  // to 256) round alike, so they have one relative text; the handles'
  // offsets need no more digits than bring a reader onto their floats.
  for (QxReal x : {170.f, 240.f, 200.f}) {
    QxArtHandle circle = nullptr;
    ASSERT_EQ(doc.art().newOval(x, 100, 20, 20, false, &circle), QX_ERR_NONE);
  }
  // Far out along x a float holds fewer decimals, and fewer are written
  // there; the y offsets, near 100, keep theirs.
  QxArtHandle far = nullptr;
  ASSERT_EQ(doc.art().newOval(70000, 100, 20, 20, false, &far), QX_ERR_NONE);
  const std::vector<std::string> d = pathData(svgText(doc));
  ASSERT_EQ(d.size(), 4u);
  EXPECT_EQ(d[0], "M170 110c-5.52284 0-10-4.47715-10-10s4.47716-10 10-10s10 4.47715 10 10s-4.47716 10-10 10z");
  for (size_t i : {1, 2}) EXPECT_EQ(d[i].substr(d[i].find('c')), d[0].substr(d[0].find('c'))) << i;
  EXPECT_EQ(d[3], "M70000 110c-5.523 0-10-4.47715-10-10s4.477-10 10-10s10 4.47715 10 10s-4.477 10-10 10z");
}

TEST(SvgWriter, ViewBoxShowsThePageAndAllArtWithItsStroke) {
  Document doc(200, 100);
  SvgBox box = svgViewBox(doc);
  EXPECT_EQ(box.x, 0);
  EXPECT_EQ(box.y, 0);
  EXPECT_EQ(box.width, 200);
  EXPECT_EQ(box.height, 100);
  const std::string empty = svgText(doc);
  EXPECT_NE(empty.find("width=\"200pt\" height=\"100pt\" viewBox=\"0 0 200 100\""), std::string::npos);

  // A round join reaches half the stroke width past the outline.
  QxPathStyle round = paintStyle(grayColor(0), grayColor(1), 2);
  round.stroke.join = QX_JOIN_ROUND;
  addPath(doc, {corner(-10, -20), corner(250, 130)}, false, &round);
  box = svgViewBox(doc);
  EXPECT_EQ(box.x, -11);
  EXPECT_EQ(box.y, 100 - 131);  // the top edge, counted down from the page's top
  EXPECT_EQ(box.width, 262);
  EXPECT_EQ(box.height, 152);
  EXPECT_NE(svgText(doc).find("width=\"262pt\" height=\"152pt\" viewBox=\"-11 -31 262 152\""), std::string::npos);

  // A miter join may run out to its limit (4 x half the width) ...
  Document miter(200, 100);
  const QxPathStyle sharp = paintStyle(grayColor(0), grayColor(1), 2);
  addPath(miter, {corner(190, 50), corner(210, 50)}, false, &sharp);
  EXPECT_EQ(svgViewBox(miter).width, 214);
  // ... and an unpainted stroke reaches nowhere.
  Document bare(200, 100);
  QxPathStyle noStroke = sharp;
  noStroke.strokePaint = 0;
  addPath(bare, {corner(190, 50), corner(210, 50)}, false, &noStroke);
  EXPECT_EQ(svgViewBox(bare).width, 210);
}

TEST(SvgWriter, ArtFarBeyondThePageKeepsTheFileReadable) {
  Document doc(200, 100);
  addPath(doc, {corner(-3e38f, 1e30f), corner(3e38f, -1e30f)}, false);
  addPath(doc, {corner(10, 10), corner(20, 20)}, false);
  const std::string svg = svgText(doc);
  const SvgReadResult read = readSvgText(svg, "far.svg");
  ASSERT_TRUE(read.scene) << read.error << "\n" << svg.substr(0, 400);
  EXPECT_FLOAT_EQ(read.scene->pageWidth, 200);
  EXPECT_FLOAT_EQ(read.scene->pageHeight, 100);
}

TEST(SvgWriter, SeedIsInTheMetadataOnlyWhenKnown) {
  Document doc(200, 100);
  EXPECT_NE(svgText(doc).find("<metadata><qx:document xmlns:qx=\"urn:quelvix:document\" version=\"1\"/></metadata>"),
            std::string::npos);
  doc.setSeed(18446744073709551615ull);
  EXPECT_NE(svgText(doc).find("version=\"1\" seed=\"18446744073709551615\"/></metadata>"), std::string::npos);
}

TEST(SvgWriter, PaintOrderGroupsAndCompoundPaths) {
  Document doc(200, 100);
  addPath(doc, {corner(1, 1), corner(2, 2)}, false);                               // A
  addPath(doc, {corner(3, 3), corner(4, 4)}, false);                               // B above A
  addPath(doc, {corner(5, 5), corner(6, 6)}, false, nullptr, QX_PLACE_BELOW_ALL);  // C below all
  EXPECT_EQ(pathData(svgText(doc)), (std::vector<std::string>{"M5 5l1 1", "M1 1l1 1", "M3 3l1 1"}));

  Document grouped(200, 100);
  QxArtHandle group = addContainer(grouped, QX_ART_GROUP);
  addPath(grouped, {corner(1, 1), corner(2, 2)}, false, nullptr, QX_PLACE_INSIDE_ON_TOP, group);
  addPath(grouped, {corner(3, 3), corner(4, 4)}, false, nullptr, QX_PLACE_INSIDE_ON_TOP, group);
  ASSERT_EQ(grouped.art().setOpacity(group, 0.5f), QX_ERR_NONE);
  QxArtHandle compound = addContainer(grouped, QX_ART_COMPOUND_PATH);
  QxPathStyle evenOdd = paintStyle(grayColor(0.5f), grayColor(1), 1);
  evenOdd.evenOdd = 1;
  ASSERT_EQ(grouped.art().setPathStyle(compound, evenOdd), QX_ERR_NONE);
  addPath(grouped, {corner(0, 0), corner(10, 0), corner(10, 10)}, true, nullptr, QX_PLACE_INSIDE_ON_TOP, compound);
  addPath(grouped, {corner(2, 2), corner(4, 2), corner(4, 4)}, true, nullptr, QX_PLACE_INSIDE_ON_TOP, compound);

  const std::string svg = svgText(grouped);
  const size_t open = svg.find("<g id=\"g1\" opacity=\"0.5\">\n<path id=\"p2\" class=\"a\" d=\"M1 1l1 1\"");
  ASSERT_NE(open, std::string::npos) << svg;
  const size_t close = svg.find("</g>", open);
  EXPECT_LT(svg.find("M3 3l1 1"), close);
  // The compound is one path with both outlines, in its own paint.
  EXPECT_EQ(pathData(svg), (std::vector<std::string>{"M1 1l1 1", "M3 3l1 1", "M0 0h10v10zM2 2h2v2z"}));
  EXPECT_GT(svg.find("M0 0h10v10z"), close);
  EXPECT_EQ(paintOf(svg, "M0 0h10v10zM2 2h2v2z"), "fill:#808080;fill-rule:evenodd;stroke:#000000;stroke-width:1");
}

TEST(SvgWriter, PaintAttributes) {
  Document doc(200, 100);
  QxPathStyle s = paintStyle(processColor(0, 0, 0, 0), processColor(1, 0, 0, 0), 0.5f);
  s.stroke.cap = QX_CAP_ROUND;
  s.stroke.join = QX_JOIN_BEVEL;
  s.stroke.miterLimit = 10;
  s.stroke.dash.length = 2;
  s.stroke.dash.array[0] = 3;
  s.stroke.dash.array[1] = 1.5f;
  s.stroke.dash.offset = 1;
  QxArtHandle a = addPath(doc, {corner(0, 0), corner(1, 0)}, false, &s);
  ASSERT_EQ(doc.art().setOpacity(a, 0.25f), QX_ERR_NONE);

  QxPathStyle off = paintStyle(rgbColor(0, 1, 0), rgbColor(0, 0, 1), 1);
  off.fillPaint = 0;
  off.stroke.dash.length = 2;  // all-zero dashes draw solid
  addPath(doc, {corner(0, 1), corner(1, 1)}, false, &off);

  QxPathStyle opaque = paintStyle(rgbColor(0, 1, 0), rgbColor(0, 0, 1), 0);  // zero width: no stroke
  opaque.fill.color.kind = QX_COLOR_PATTERN;
  addPath(doc, {corner(0, 2), corner(1, 2)}, false, &opaque);

  QxPathStyle none = paintStyle(rgbColor(0, 1, 0), rgbColor(0, 0, 1), 1);
  none.fill.color.kind = QX_COLOR_NONE;
  none.strokePaint = 0;
  none.stroke.miterLimit = 0.5f;  // below SVG's minimum, but not drawn anyway
  addPath(doc, {corner(0, 3), corner(1, 3)}, false, &none);

  const std::string svg = svgText(doc);
  EXPECT_EQ(paintOf(svg, "M0 0h1"),
            "fill:#ffffff;stroke:#00ffff;stroke-width:0.5;stroke-linecap:round;stroke-linejoin:bevel;"
            "stroke-miterlimit:10;stroke-dasharray:3 1.5;stroke-dashoffset:1");
  // Opacity is the element's own, beside its class.
  EXPECT_EQ(attributeOf(svg, "d=\"M0 0h1\"", "opacity"), "0.25");
  EXPECT_EQ(attributeOf(svg, "d=\"M0 1h1\"", "opacity"), "(none)");
  EXPECT_EQ(paintOf(svg, "M0 1h1"), "fill:none;stroke:#0000ff;stroke-width:1");
  EXPECT_EQ(paintOf(svg, "M0 2h1"), "fill:#808080");
  EXPECT_EQ(paintOf(svg, "M0 3h1"), "fill:none");
}

TEST(SvgWriter, PathsWithNonFiniteCoordinatesAreLeftOut) {
  Document doc(200, 100);
  const QxReal inf = std::numeric_limits<QxReal>::infinity();
  QxArtHandle bad = addPath(doc, {corner(0, 0)}, false);
  const QxPathSegment far = corner(inf, 5);
  if (doc.art().setSegments(bad, 1, 1, &far) != QX_ERR_NONE) GTEST_SKIP() << "the document refuses non-finite points";
  addPath(doc, {corner(100, 50), corner(101, 51)}, false);
  const std::string svg = svgText(doc);
  EXPECT_EQ(pathData(svg), std::vector<std::string>{"M100 50l1 1"});
  EXPECT_NE(svg.find("<!--"), std::string::npos);
  EXPECT_EQ(svgViewBox(doc).width, 200);
}

TEST(SvgWriter, CompoundPathWithANonFiniteMemberIsLeftOutWhole) {
  Document doc(200, 100);
  const QxReal inf = std::numeric_limits<QxReal>::infinity();
  QxArtHandle group = addContainer(doc, QX_ART_GROUP);
  QxArtHandle bad = addContainer(doc, QX_ART_COMPOUND_PATH, QX_PLACE_INSIDE_ON_TOP, group);
  addPath(doc, {corner(0, 0), corner(1, 1)}, true, nullptr, QX_PLACE_INSIDE_ON_TOP, bad);
  QxArtHandle member = addPath(doc, {corner(2, 2)}, true, nullptr, QX_PLACE_INSIDE_ON_TOP, bad);
  const QxPathSegment far = corner(inf, 5);
  if (doc.art().setSegments(member, 1, 1, &far) != QX_ERR_NONE)
    GTEST_SKIP() << "the document refuses non-finite points";
  addPath(doc, {corner(7, 7), corner(8, 8)}, false, nullptr, QX_PLACE_INSIDE_ON_TOP, bad);
  // What follows the compound path, in its group and after it, is written.
  addPath(doc, {corner(20, 20), corner(30, 30)}, false, nullptr, QX_PLACE_INSIDE_ON_TOP, group);
  QxArtHandle good = addContainer(doc, QX_ART_COMPOUND_PATH);
  addPath(doc, {corner(40, 40), corner(50, 50)}, false, nullptr, QX_PLACE_INSIDE_ON_TOP, good);

  const std::string svg = svgText(doc);
  EXPECT_EQ(pathData(svg), (std::vector<std::string>{"M20 20l10 10", "M40 40l10 10"}));
  EXPECT_NE(svg.find("<!-- a compound path"), std::string::npos);
  const size_t groupEnd = svg.find("</g>\n<path ");
  EXPECT_LT(svg.find("M20 20l10 10"), groupEnd) << svg;
  EXPECT_GT(svg.find("M40 40l10 10"), groupEnd) << svg;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

uint32_t bigEndian(const std::string& bytes, size_t at) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 8) |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3]));
}

TEST(SvgWriter, RsvgConvertRendersTheFileAtItsSize) {
  if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "rsvg-convert is not installed";
  std::string folder = ::testing::TempDir() + "qx_svg_XXXXXX";
  ASSERT_NE(mkdtemp(folder.data()), nullptr);

  Document doc(200, 100);
  doc.setSeed(7);
  QxPathStyle s = paintStyle(processColor(0.2f, 0.4f, 0.6f, 0.1f), grayColor(1), 2);
  s.stroke.join = QX_JOIN_ROUND;
  s.stroke.dash.length = 1;
  s.stroke.dash.array[0] = 4;
  QxArtHandle a = addPath(doc, {smooth(20, 20, 10, 20, 40, 20), smooth(60, 80, 60, 60, 60, 90), corner(250, 50)}, true,
                          &s);
  ASSERT_EQ(doc.art().setOpacity(a, 0.5f), QX_ERR_NONE);
  QxArtHandle group = addContainer(doc, QX_ART_GROUP);
  addPath(doc, {corner(0, 0), corner(5, 5)}, false, nullptr, QX_PLACE_INSIDE_ON_TOP, group);

  const std::string svgPath = folder + "/drawing.svg";
  const std::string pngPath = folder + "/drawing.png";
  std::string error;
  ASSERT_TRUE(saveSvg(doc, svgPath, &error)) << error;
  EXPECT_EQ(readFile(svgPath), svgText(doc));

  // 72 pixels per inch: one pixel per point.
  const std::string cmd = "rsvg-convert --dpi-x 72 --dpi-y 72 -o '" + pngPath + "' '" + svgPath + "' 2>'" + folder +
                          "/err.txt'";
  const int status = std::system(cmd.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << readFile(folder + "/err.txt");
  const std::string png = readFile(pngPath);
  ASSERT_GE(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  const SvgBox box = svgViewBox(doc);
  EXPECT_NEAR(bigEndian(png, 16), box.width, 1.0);
  EXPECT_NEAR(bigEndian(png, 20), box.height, 1.0);

  (void)std::system(("rm -rf '" + folder + "'").c_str());
}

TEST(SvgWriter, SavingIntoAMissingFolderFailsCleanly) {
  Document doc(200, 100);
  std::string error;
  EXPECT_FALSE(saveSvg(doc, "/nonexistent-quelvix-folder/out.svg", &error));
  EXPECT_NE(error.find("/nonexistent-quelvix-folder/out.svg"), std::string::npos) << error;
}

}  // namespace
}  // namespace qx::host
