// Our own SVG read back: a drawing the real plug-in made, written by the SVG
// writer and read by the SVG reader into a new document, keeps its page,
// seed, structure, geometry and opacity.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "host/io/palette_reader.h"
#include "host/io/svg_read/svg_import.h"
#include "host/io/svg_read/svg_reader.h"
#include "host/io/svg_write/svg_writer.h"
#include "support/art_store_builders.h"
#include "support/generator_host.h"

namespace qx::test {
namespace {

class SvgRoundTrip : public GeneratorHost {};

// The same art, coordinate for coordinate: what a reader reads from the
// file rounds to exactly the floats the store holds.
void expectSameArt(const host::ArtStore& a, QxArtHandle x, const host::ArtStore& b, QxArtHandle y) {
  const host::ArtView ix = host::viewOf(a, x), iy = host::viewOf(b, y);
  ASSERT_EQ(ix.type, iy.type);
  EXPECT_EQ(ix.closed, iy.closed);
  EXPECT_EQ(ix.opacity, iy.opacity);
  ASSERT_EQ(ix.segments.size(), iy.segments.size());
  for (size_t i = 0; i < ix.segments.size(); ++i) {
    const QxPathSegment& s = ix.segments[i];
    const QxPathSegment& t = iy.segments[i];
    // An open path's first in-handle and last out-handle draw nothing, and SVG
    // has no way to keep them.
    const bool inShows = ix.closed || i > 0, outShows = ix.closed || i + 1 < ix.segments.size();
    std::vector<std::pair<QxRealPoint, QxRealPoint>> points{{s.p, t.p}};
    if (inShows) points.emplace_back(s.in, t.in);
    if (outShows) points.emplace_back(s.out, t.out);
    for (auto [p, q] : points) {
      ASSERT_EQ(p.x, q.x) << "segment " << i;
      ASSERT_EQ(p.y, q.y) << "segment " << i;
    }
  }
  if (ix.hasStyle()) {
    const QxPathStyle sx = ix.style(), sy = iy.style();
    EXPECT_EQ(sx.fillPaint, sy.fillPaint);
    EXPECT_EQ(sx.strokePaint, sy.strokePaint);
    EXPECT_EQ(sx.stroke.width, sy.stroke.width);
  }
  const auto cx = a.children(x), cy = b.children(y);
  ASSERT_EQ(cx.size(), cy.size());
  for (size_t i = 0; i < cx.size(); ++i) expectSameArt(a, cx[i], b, cy[i]);
}

std::unique_ptr<host::Document> readBack(const std::string& svg) {
  host::SvgReadResult read = host::readSvgText(svg, "drawing.svg");
  EXPECT_TRUE(read.scene) << read.error;
  if (!read.scene) return nullptr;
  std::string why;
  auto back = host::documentFromScene(*read.scene, &why);
  EXPECT_NE(back, nullptr) << why;
  return back;
}

// The drawing read back holds the same art, and saved again it is the same
// file, byte for byte.
void expectRoundTrip(const host::Document& doc) {
  const std::string svg = host::svgText(doc);
  auto back = readBack(svg);
  ASSERT_NE(back, nullptr);
  const auto mine = doc.art().topLevelArt();
  const auto theirs = back->art().topLevelArt();
  ASSERT_EQ(theirs.size(), mine.size()) << "the layer is not read as a group";
  for (size_t i = 0; i < mine.size(); ++i) expectSameArt(doc.art(), mine[i], back->art(), theirs[i]);
  EXPECT_EQ(back->seed(), doc.seed());
  const std::string again = host::svgText(*back);
  ASSERT_EQ(again.size(), svg.size());
  EXPECT_TRUE(again == svg) << "first difference at byte "
                            << std::mismatch(svg.begin(), svg.end(), again.begin()).first - svg.begin();
}

TEST_F(SvgRoundTrip, ADrawingReadBackKeepsItsPageSeedStructureAndGeometry) {
  FilterParameters p = defaults();
  p.lineSets = 3;
  p.pointsMin = p.pointsMax = 12;
  p.shapeKind = 11;  // stars
  p.shapeSizeMin = p.shapeSizeMax = 18;
  p.randomOpacity = 1;
  p.curvatureX = 40;
  p.tileMode = 1;
  doc_.setSeed(99);
  ASSERT_EQ(go(p), 0);
  ASSERT_GT(doc_.art().liveArtCount(), 20u);

  auto back = readBack(host::svgText(doc_));
  ASSERT_NE(back, nullptr);
  EXPECT_FLOAT_EQ(back->pageWidth(), doc_.pageWidth());
  EXPECT_FLOAT_EQ(back->pageHeight(), doc_.pageHeight());
  EXPECT_EQ(back->seed(), std::optional<uint64_t>(99));
  expectRoundTrip(doc_);
}

TEST_F(SvgRoundTrip, TurnedShapesOnAnOddPageComeBackExactly) {
  FilterParameters p = defaults();
  p.lineSets = 4;
  p.pointsMin = p.pointsMax = 30;
  p.shapeKind = 3;
  p.shapeSizeMin = 7.3f;
  p.shapeSizeMax = 23.9f;
  p.randomShapeAngle = 1;
  p.randomSetAngle = 1;
  p.stepX = 33.3f;
  p.stepY = 47.1f;
  p.randomOpacity = 1;
  p.curvatureX = 25;
  p.curvatureY = 60;
  p.tileMode = 3;
  ASSERT_EQ(doc_.setPageSize(595.2756f, 841.8898f), QX_ERR_NONE);
  doc_.setSeed(4242);
  ASSERT_EQ(go(p), 0);
  ASSERT_GT(doc_.art().liveArtCount(), 100u);
  expectRoundTrip(doc_);
}

// Coordinates of every size, sign and spacing, shapes repeated at whole and
// at fractional offsets (so their text is reused where it may be and found
// afresh where it may not), and points too far apart for their difference
// to be exact.
TEST(SvgPathNumbers, EveryFloatComesBackExactly) {
  host::Document doc(612, 792);
  std::mt19937 random(20261209);
  const auto real = [&](int magnitude) {
    const float m = std::ldexp(1.0f, magnitude);
    return std::uniform_real_distribution<float>(-m, m)(random);
  };
  for (int shape = 0; shape < 60; ++shape) {
    const int size = static_cast<int>(random() % 6) + 2;  // a lone point draws nothing and is not read
    const int magnitude = static_cast<int>(random() % 40) - 20;
    std::vector<QxPathSegment> segments;
    for (int i = 0; i < size; ++i) {
      QxPathSegment s{};
      s.p = {real(magnitude), real(magnitude)};
      const bool straight = random() % 3 == 0;
      s.in = straight ? s.p : QxRealPoint{s.p.x + real(magnitude - 2), s.p.y + real(magnitude - 2)};
      s.out = random() % 4 == 0 ? QxRealPoint{2 * s.p.x - s.in.x, 2 * s.p.y - s.in.y}
                                : QxRealPoint{real(magnitude), s.p.y};
      if (random() % 5 == 0) s.p.y = -0.0f;
      segments.push_back(s);
    }
    const bool closed = random() % 2 == 0;
    for (const float offset : {0.0f, 70.0f, 1e4f, 0.37f, -3e7f, 70.0f}) {
      // Far enough and the shape's points would round onto each other.
      if (std::fabs(offset) > std::ldexp(1.0f, magnitude + 12)) continue;
      std::vector<QxPathSegment> moved = segments;
      for (QxPathSegment& s : moved)
        for (QxRealPoint* q : {&s.p, &s.in, &s.out}) q->x += offset, q->y -= offset;
      QxArtHandle path = nullptr;
      ASSERT_EQ(doc.art().newArt(QX_ART_PATH, 5, nullptr, &path), QX_ERR_NONE);
      ASSERT_EQ(doc.art().setSegments(path, 0, size, moved.data()), QX_ERR_NONE);
      ASSERT_EQ(doc.art().setClosed(path, closed), QX_ERR_NONE);
    }
  }
  QxArtHandle far = nullptr;
  const QxPathSegment apart[] = {{{1e-30f, 3e7f}, {1e-30f, 3e7f}, {1e-30f, 3e7f}, 1},
                                 {{3e7f, 1e-30f}, {3e7f, 1e-30f}, {3e7f, 1e-30f}, 1}};
  ASSERT_EQ(doc.art().newArt(QX_ART_PATH, 5, nullptr, &far), QX_ERR_NONE);
  ASSERT_EQ(doc.art().setSegments(far, 0, 2, apart), QX_ERR_NONE);
  expectRoundTrip(doc);
}

TEST(SvgImport, BadFilesAndBadPagesAreRefusedWithAReason) {
  std::string why;
  EXPECT_EQ(host::readSvgDocument("/nonexistent/x.svg", &why), nullptr);
  EXPECT_NE(why.find("/nonexistent/x.svg"), std::string::npos) << why;
  host::SvgScene empty;  // no page
  EXPECT_EQ(host::documentFromScene(empty, &why), nullptr);
  EXPECT_NE(why.find("page"), std::string::npos) << why;
}

// The document of an SVG text, through the reader and the import.
std::unique_ptr<host::Document> documentOf(const std::string& text, std::vector<std::string>* warnings = nullptr) {
  host::SvgReadResult read = host::readSvgText(text, "t.svg");
  EXPECT_TRUE(read.scene) << read.error;
  if (!read.scene) return nullptr;
  if (warnings) *warnings = read.scene->warnings;
  std::string why;
  auto doc = host::documentFromScene(*read.scene, &why);
  EXPECT_NE(doc, nullptr) << why;
  return doc;
}

TEST(SvgImport, APaletteAndIdsTravelWithTheDrawing) {
  host::Document doc;
  std::string why;
  auto palette = host::parsePalette("GIMP Palette\n10 40 90 Deep <\"blue\"> & more\n250 200 60 Sun\n", "p.gpl", &why);
  ASSERT_TRUE(palette) << why;
  doc.setSwatches(host::paletteSwatches(*palette));
  QxArtHandle square = nullptr;
  ASSERT_EQ(doc.art().newRect(50, 50, 20, 20, false, &square), QX_ERR_NONE);
  ASSERT_EQ(doc.setArtName(square, "motif-1"), QX_ERR_NONE);

  auto back = documentOf(host::svgText(doc));
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->swatches().size(), doc.swatches().size());
  for (size_t i = 0; i < doc.swatches().size(); ++i) {
    EXPECT_EQ(back->swatches()[i].name, doc.swatches()[i].name) << i;
    EXPECT_EQ(back->swatches()[i].color.kind, doc.swatches()[i].color.kind) << i;
  }
  EXPECT_EQ(back->swatches()[4].name, "Deep <\"blue\"> & more");
  EXPECT_NE(back->findArtByName("motif-1"), nullptr);

  // The default list is written as nothing at all.
  host::Document plain;
  EXPECT_EQ(host::svgText(plain).find("qx:swatch"), std::string::npos);
  EXPECT_EQ(documentOf(host::svgText(plain))->swatches().size(), host::Document::defaultSwatches().size());
}

TEST(SvgImport, AMetadataSwatchThatIsNoColourKeepsTheDefaultList) {
  std::vector<std::string> warnings;
  auto doc = documentOf("<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'><metadata>"
                        "<qx:document xmlns:qx='urn:quelvix:document' version='1'><qx:swatch name='A' rgb='#123456'/>"
                        "<qx:swatch name='B' rgb='teal'/></qx:document></metadata></svg>",
                        &warnings);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->swatches().size(), host::Document::defaultSwatches().size());
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("t.svg:1:"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[0].find("\"teal\" is not #rrggbb"), std::string::npos) << warnings[0];
}

TEST(SvgImport, FillAndStrokeOfDifferentOpacitiesBecomeAGroupOfTwo) {
  auto doc =
      documentOf("<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'>"
                 "<rect id='r' x='10' y='10' width='50' height='50' fill='gold' fill-opacity='0.6' stroke='black' "
                 "stroke-width='4' opacity='0.5'/>"
                 "<path id='ring' fill-rule='evenodd' fill='blue' fill-opacity='0.25' stroke='red' "
                 "d='M0 0H40V40H0Z M10 10H30V30H10Z'/>"
                 "<rect id='same' x='70' y='70' width='10' height='10' fill='gold' stroke='black' fill-opacity='0.5' "
                 "stroke-opacity='0.5'/></svg>");
  ASSERT_NE(doc, nullptr);
  const host::ArtStore& art = doc->art();
  const auto top = art.topLevelArt();
  ASSERT_EQ(top.size(), 3u);
  for (size_t k = 0; k < 2; ++k) {
    EXPECT_EQ(host::viewOf(art, top[k]).type, QX_ART_GROUP);
    const auto halves = art.children(top[k]);
    ASSERT_EQ(halves.size(), 2u);
    const QxPathStyle fill = host::styleOf(art, halves[0]), stroke = host::styleOf(art, halves[1]);
    EXPECT_TRUE(fill.fillPaint && !fill.strokePaint) << k;
    EXPECT_TRUE(!stroke.fillPaint && stroke.strokePaint) << k;
    EXPECT_EQ(host::viewOf(art, halves[0]).type, host::viewOf(art, halves[1]).type);
    EXPECT_EQ(art.children(halves[0]).size(), art.children(halves[1]).size()) << "a compound's members are in both";
  }
  EXPECT_FLOAT_EQ(host::viewOf(art, top[0]).opacity, 0.5f);
  EXPECT_FLOAT_EQ(host::viewOf(art, art.children(top[0])[0]).opacity, 0.6f);
  EXPECT_FLOAT_EQ(host::viewOf(art, art.children(top[0])[1]).opacity, 1.0f);
  EXPECT_EQ(doc->findArtByName("r"), top[0]);
  EXPECT_EQ(art.children(art.children(top[1])[0]).size(), 2u) << "the ring keeps both subpaths";
  // Equal opacities stay one object with that opacity.
  const host::ArtView one = host::viewOf(art, top[2]);
  EXPECT_EQ(one.type, QX_ART_PATH);
  EXPECT_FLOAT_EQ(one.opacity, 0.5f);
}

TEST(SvgImport, GradientsAndPatternsKeepTheirKindAndShowTheirFirstColour) {
  auto doc =
      documentOf("<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'><defs>"
                 "<linearGradient id='g'><stop offset='0' stop-color='#336699'/><stop offset='1' stop-color='#fff'/>"
                 "</linearGradient></defs>"
                 "<rect x='10' y='10' width='50' height='50' fill='url(#g)' stroke='url(#g)' stroke-width='2'/></svg>");
  ASSERT_NE(doc, nullptr);
  const auto top = doc->art().topLevelArt();
  ASSERT_EQ(top.size(), 1u);
  const QxPathStyle style = host::styleOf(doc->art(), top[0]);
  EXPECT_EQ(style.fill.color.kind, QX_COLOR_GRADIENT);
  EXPECT_EQ(style.stroke.color.kind, QX_COLOR_GRADIENT);
  const QxPathStyle shown = doc->art().shownStyle(style);
  ASSERT_EQ(shown.fill.color.kind, QX_COLOR_RGB);
  EXPECT_NEAR(shown.fill.color.c.rgb.red, 0x33 / 255.0, 1e-6);
  // Writers show the first stop; an id the store never gave stays as it is.
  EXPECT_NE(host::svgText(*doc).find("{fill:#336699;stroke:#336699;"), std::string::npos);
  QxPathStyle stray = style;
  stray.fill.color.c.gradient.id = 999;
  EXPECT_EQ(doc->art().shownStyle(stray).fill.color.kind, QX_COLOR_GRADIENT);
}

TEST(SvgImport, NamesWithMarkupAndControlBytesStillMakeWellFormedXml) {
  host::Document doc;
  QxArtHandle square = nullptr;
  ASSERT_EQ(doc.art().newRect(50, 50, 20, 20, false, &square), QX_ERR_NONE);
  ASSERT_EQ(doc.setArtName(square, std::string("a\"<b>&\x01\x7f\tc\xff", 12)), QX_ERR_NONE);
  const std::string text = host::svgText(doc);
  EXPECT_NE(text.find("id=\"a&quot;&lt;b&gt;&amp;&#9;c\xEF\xBF\xBD\""), std::string::npos) << text.substr(0, 600);
  auto back = documentOf(text);
  ASSERT_NE(back, nullptr);
  EXPECT_NE(back->findArtByName("a\"<b>&\tc\xEF\xBF\xBD"), nullptr);
}

}  // namespace
}  // namespace qx::test
