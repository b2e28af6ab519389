// Our own SVG read back: a drawing the real plug-in made, written by the SVG
// writer and read by the SVG reader into a new document, keeps its page,
// seed, structure, geometry and opacity.
#include <gtest/gtest.h>

#include <cmath>

#include "host/io/svg_import.h"
#include "host/io/svg_reader.h"
#include "host/io/svg_writer.h"
#include "support/generator_host.h"

namespace qx::test {
namespace {

class SvgRoundTrip : public GeneratorHost {};

void expectSameArt(const host::ArtStore& a, QxArtHandle x, const host::ArtStore& b, QxArtHandle y) {
  host::ArtInfo ix, iy;
  ASSERT_TRUE(a.describe(x, &ix));
  ASSERT_TRUE(b.describe(y, &iy));
  ASSERT_EQ(ix.type, iy.type);
  EXPECT_EQ(ix.closed, iy.closed);
  EXPECT_NEAR(ix.opacity, iy.opacity, 1e-6);
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
      EXPECT_NEAR(p.x, q.x, 1e-3) << "segment " << i;
      EXPECT_NEAR(p.y, q.y, 1e-3) << "segment " << i;
    }
  }
  if (ix.hasStyle) {
    EXPECT_EQ(ix.style.fillPaint, iy.style.fillPaint);
    EXPECT_EQ(ix.style.strokePaint, iy.style.strokePaint);
    EXPECT_NEAR(ix.style.stroke.width, iy.style.stroke.width, 1e-4);
  }
  const auto cx = a.children(x), cy = b.children(y);
  ASSERT_EQ(cx.size(), cy.size());
  for (size_t i = 0; i < cx.size(); ++i) expectSameArt(a, cx[i], b, cy[i]);
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

  host::SvgReadResult read = host::readSvgText(host::svgText(doc_), "drawing.svg");
  ASSERT_TRUE(read.scene) << read.error;
  std::string why;
  auto back = host::documentFromScene(*read.scene, &why);
  ASSERT_NE(back, nullptr) << why;
  EXPECT_FLOAT_EQ(back->pageWidth(), doc_.pageWidth());
  EXPECT_FLOAT_EQ(back->pageHeight(), doc_.pageHeight());
  EXPECT_EQ(back->seed(), std::optional<uint64_t>(99));

  const auto mine = doc_.art().topLevelArt();
  const auto theirs = back->art().topLevelArt();
  ASSERT_EQ(theirs.size(), 1u) << "the writer puts the drawing in one group";
  ASSERT_EQ(back->art().children(theirs[0]).size(), mine.size());
  for (size_t i = 0; i < mine.size(); ++i)
    expectSameArt(doc_.art(), mine[i], back->art(), back->art().children(theirs[0])[i]);
}

TEST(SvgImport, BadFilesAndBadPagesAreRefusedWithAReason) {
  std::string why;
  EXPECT_EQ(host::readSvgDocument("/nonexistent/x.svg", &why), nullptr);
  EXPECT_NE(why.find("/nonexistent/x.svg"), std::string::npos) << why;
  host::SvgScene empty;  // no page
  EXPECT_EQ(host::documentFromScene(empty, &why), nullptr);
  EXPECT_NE(why.find("page"), std::string::npos) << why;
}

}  // namespace
}  // namespace qx::test
