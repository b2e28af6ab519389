// Transforms, viewBox and preserveAspectRatio, and units.
#include <cmath>

#include "test_io_svg_reader_support.h"

namespace qx::host {
namespace {

using namespace testing;

// Where the file's point (0,0) of a tiny rectangle lands after `transform`,
// and the rectangle's (1,0).
struct Landing {
  QxRealPoint origin, unitX;
};

Landing land(std::string_view transform) {
  const SvgScene s = drawing("<rect width=\"1\" height=\"1\" transform=\"" + std::string(transform) + "\"/>");
  const auto seg = onlyPath(s);
  if (seg.size() != 4) return {};
  return {seg[0].p, seg[1].p};
}

TEST(SvgTransforms, EachKind) {
  // Page y = 100 - file y throughout.
  Landing l = land("translate(10)");
  EXPECT_PT(l.origin, 10, 100);
  l = land("translate(10, 20)");
  EXPECT_PT(l.origin, 10, 80);
  l = land("scale(2)");
  EXPECT_PT(l.unitX, 2, 100);
  l = land("scale(2 3)");
  EXPECT_PT(onlyPath(drawing(R"s(<rect width="1" height="1" transform="scale(2 3)"/>)s"))[2].p, 2, 97);
  l = land("rotate(90)");  // (1,0) turns onto (0,1): down the screen
  EXPECT_PT(l.unitX, 0, 99);
  l = land("rotate(90, 50, 50)");
  EXPECT_PT(l.origin, 100, 100);
  l = land("rotate(-90 50 50)");
  EXPECT_PT(l.origin, 0, 0);
  l = land("skewX(45)");
  EXPECT_PT(onlyPath(drawing(R"s(<rect width="1" height="1" transform="skewX(45)"/>)s"))[2].p, 2, 99);
  l = land("skewY(45)");
  EXPECT_PT(l.unitX, 1, 99);
  l = land("matrix(1 0 0 1 5 6)");
  EXPECT_PT(l.origin, 5, 94);
  l = land("matrix(0,1,-1,0,0,0)");
  EXPECT_PT(l.unitX, 0, 99);
}

TEST(SvgTransforms, ListsApplyRightToLeft) {
  // The scale applies first, then the move.
  Landing l = land("translate(10,0) scale(2)");
  EXPECT_PT(l.unitX, 12, 100);
  l = land("scale(2),translate(10,0)");
  EXPECT_PT(l.unitX, 22, 100);
  l = land("  translate(10 0)\n\tscale(2)  ");
  EXPECT_PT(l.unitX, 12, 100);
  // Groups compose the same way, outermost last.
  const SvgScene s =
      drawing(R"s(<g transform="translate(10)"><g transform="scale(2)"><rect width="1" height="1"/></g></g>)s");
  EXPECT_PT(onlyPath(s)[1].p, 12, 100);
}

TEST(SvgTransforms, StrokeWidthScalesWithTheMatrix) {
  const SvgScene s =
      drawing(R"s(<rect width="1" height="1" stroke="black" stroke-width="1.5" transform="scale(2,8)"/>)s");
  EXPECT_NEAR(ofKind(s, SvgNodeKind::Path)[0]->style.strokeWidth, 6, 1e-6);  // sqrt(16) * 1.5
  const SvgScene flat = drawing(R"s(<rect width="1" height="1" stroke="black" stroke-width="2" stroke-dasharray="1 3" )s"
                                R"s(stroke-dashoffset="1" transform="rotate(30) scale(3)"/>)s");
  const SvgStyle& st = ofKind(flat, SvgNodeKind::Path)[0]->style;
  EXPECT_NEAR(st.strokeWidth, 6, 1e-5);
  EXPECT_NEAR(st.dash.array[1], 9, 1e-5);
  EXPECT_NEAR(st.dash.offset, 3, 1e-5);
  const SvgScene fixed =
      drawing(R"s(<g transform="scale(4)"><rect width="1" height="1" stroke="black" stroke-width="2" )s"
              R"s(vector-effect="non-scaling-stroke"/></g>)s");
  EXPECT_NEAR(ofKind(fixed, SvgNodeKind::Path)[0]->style.strokeWidth, 2 * 0.75, 1e-6);  // px on screen
}

TEST(SvgTransforms, BadOrFlatTransforms) {
  const SvgScene bad = drawing(R"s(<rect width="1" height="1" transform="translate(10) wobble(3)"/>)s");
  EXPECT_PT(onlyPath(bad)[0].p, 0, 100);
  EXPECT_TRUE(hasWarning(bad, "drawn untransformed"));
  EXPECT_PT(land("rotate(1 2)").origin, 0, 100);  // rotate takes 1 or 3 numbers
  const SvgScene flat = drawing(
      R"s(<rect width="1" height="1" transform="scale(0)"/><g transform="scale(1,0)"><rect width="1" height="1"/></g>)s");
  EXPECT_TRUE(ofKind(flat, SvgNodeKind::Path).empty());
  const SvgScene huge =
      drawing(R"s(<rect width="1" height="1" transform="scale(1e300)"/><rect id="kept" width="1" height="1"/>)s");
  ASSERT_EQ(ofKind(huge, SvgNodeKind::Path).size(), 1u);
  EXPECT_EQ(ofKind(huge, SvgNodeKind::Path)[0]->name, "kept");
  EXPECT_TRUE(hasWarning(huge, "1e15"));
}

double pageWidthOf(std::string_view rootAttributes) {
  return sceneOf("<svg xmlns=\"http://www.w3.org/2000/svg\" " + std::string(rootAttributes) + "/>").pageWidth;
}

TEST(SvgUnits, RootSizeInEachUnit) {
  EXPECT_NEAR(pageWidthOf(R"s(width="72pt" height="1")s"), 72, 1e-9);
  EXPECT_NEAR(pageWidthOf(R"s(width="96px" height="1")s"), 72, 1e-9);
  EXPECT_NEAR(pageWidthOf(R"s(width="96" height="1")s"), 72, 1e-9);  // unitless is px
  EXPECT_NEAR(pageWidthOf(R"s(width="1in" height="1")s"), 72, 1e-9);
  EXPECT_NEAR(pageWidthOf(R"s(width="25.4mm" height="1")s"), 72, 1e-9);
  EXPECT_NEAR(pageWidthOf(R"s(width="2.54cm" height="1")s"), 72, 1e-9);
  EXPECT_NEAR(pageWidthOf(R"s(width="6pc" height="1")s"), 72, 1e-9);
  EXPECT_NEAR(pageWidthOf(R"s(width=" 6PC " height="1")s"), 72, 1e-9);
  // A percentage is of the viewBox, or of 300 x 150 px without one.
  EXPECT_NEAR(pageWidthOf(R"s(width="50%" height="1" viewBox="0 0 200 100")s"), 75, 1e-9);
  EXPECT_NEAR(pageWidthOf(R"s(width="50%" height="1")s"), 112.5, 1e-9);
}

TEST(SvgUnits, MissingSizesComeFromTheViewBox) {
  const SvgScene s = sceneOf(R"s(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 200 100"/>)s");
  EXPECT_NEAR(s.pageWidth, 150, 1e-9);
  EXPECT_NEAR(s.pageHeight, 75, 1e-9);
  const SvgScene half = sceneOf(R"s(<svg xmlns="http://www.w3.org/2000/svg" width="100pt" viewBox="0 0 200 100"/>)s");
  EXPECT_NEAR(half.pageHeight, 50, 1e-9);  // the viewBox's proportions
  const SvgScene bare = sceneOf(R"s(<svg xmlns="http://www.w3.org/2000/svg"/>)s");
  EXPECT_NEAR(bare.pageWidth, 225, 1e-9);
  EXPECT_NEAR(bare.pageHeight, 112.5, 1e-9);
}

TEST(SvgUnits, LengthsInsideTheDrawing) {
  // One user unit is a point here; 1in is 96 user units (px).
  const SvgScene s = drawing(R"s(<rect x="0.25in" y="0" width="6pt" height="10%" stroke="black" stroke-width="1mm"/>)s");
  const auto seg = onlyPath(s);
  EXPECT_PT(seg[0].p, 24, 100);
  EXPECT_PT(seg[1].p, 32, 100);
  EXPECT_PT(seg[2].p, 32, 90);
  EXPECT_NEAR(ofKind(s, SvgNodeKind::Path)[0]->style.strokeWidth, 96 / 25.4, 1e-5);
  const SvgScene bad = drawing(R"s(<rect width="3furlongs" height="1"/><circle r="1"/>)s");
  EXPECT_EQ(bad.nodes.size(), 1u);
  EXPECT_TRUE(hasWarning(bad, "unknown unit \"furlongs\""));
}

// Where the file's (0,0) lands on a 200 x 200 pt page showing a 100 x 50 viewBox.
QxRealPoint originWith(std::string_view aspect, std::string_view box = "0 0 100 50") {
  const SvgScene s = sceneOf(R"s(<svg xmlns="http://www.w3.org/2000/svg" width="200pt" height="200pt" viewBox=")s" +
                             std::string(box) + "\" preserveAspectRatio=\"" + std::string(aspect) +
                             R"s("><rect width="1" height="1"/></svg>)s");
  const auto seg = onlyPath(s);
  return seg.empty() ? QxRealPoint{-1, -1} : seg[0].p;
}

TEST(SvgViewBox, EveryAlignmentMeetAndSlice) {
  // Meet scales by 2 and leaves 100 pt of height: Min, Mid, Max place the
  // drawing at its top, middle, bottom. Slice scales by 4 and shifts sideways.
  const struct {
    const char* align;
    double meetY, sliceX;
  } cases[] = {
      {"xMinYMin", 200, 0}, {"xMidYMin", 200, -100}, {"xMaxYMin", 200, -200},
      {"xMinYMid", 150, 0}, {"xMidYMid", 150, -100}, {"xMaxYMid", 150, -200},
      {"xMinYMax", 100, 0}, {"xMidYMax", 100, -100}, {"xMaxYMax", 100, -200},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.align);
    const QxRealPoint meet = originWith(std::string(c.align) + " meet");
    EXPECT_PT(meet, 0, c.meetY);
    const QxRealPoint slice = originWith(std::string(c.align) + " slice");
    EXPECT_PT(slice, c.sliceX, 200);
  }
  EXPECT_PT(originWith(""), 0, 150);  // xMidYMid meet
  EXPECT_PT(originWith("defer xMinYMax"), 0, 100);
  EXPECT_PT(originWith("none", "10 10 100 50"), -20, 240);  // scaled 2 by 4, shifted by the box origin
  const SvgScene bad = sceneOf(
      R"s(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20" viewBox="0 0 10 10" preserveAspectRatio="sideways"/>)s");
  EXPECT_TRUE(hasWarning(bad, "preserveAspectRatio"));
}

TEST(SvgViewBox, NestedSvgMakesAViewport) {
  const SvgScene s = drawing(R"s(<svg id="inner" x="10" y="10" width="20" height="20" viewBox="0 0 2 2">)s"
                             R"s(<rect width="1" height="1"/><rect width="50%" height="1"/></svg>)s");
  ASSERT_EQ(s.nodes.size(), 3u);
  EXPECT_EQ(s.nodes[0].kind, SvgNodeKind::Group);
  EXPECT_EQ(s.nodes[0].name, "inner");
  EXPECT_PT(s.nodes[1].subpaths[0].segments[2].p, 20, 80);
  EXPECT_PT(s.nodes[2].subpaths[0].segments[1].p, 20, 90);  // 50% of the inner viewBox's width
  EXPECT_EQ(drawing(R"s(<svg width="0" height="10"><rect width="1" height="1"/></svg>)s").nodes.size(), 0u);
}

// A nested svg and a used symbol fit their viewBox into the rectangle they
// take just as the root fits its own into the page.
std::vector<std::string> nestedSvgAndSymbol(std::string_view attributes) {
  const std::string content = R"s(<rect width="1" height="1"/>)s";
  return {R"s(<svg x="0" y="0" width="100" height="100" )s" + std::string(attributes) + ">" + content + "</svg>",
          R"s(<symbol id="s" )s" + std::string(attributes) + ">" + content +
              R"s(</symbol><use href="#s" width="100" height="100"/>)s"};
}

TEST(SvgViewBox, NestedSvgAndSymbolFitTheirViewBoxLikeTheRoot) {
  // A 100 x 50 box met at the bottom of a 100 x 100 viewport: (0,0) lands 50 down.
  for (const std::string& body : nestedSvgAndSymbol(R"s(viewBox="0 0 100 50" preserveAspectRatio="xMinYMax meet")s")) {
    SCOPED_TRACE(body);
    EXPECT_PT(onlyPath(drawing(body))[0].p, 0, 50);
  }
  for (const std::string& body : nestedSvgAndSymbol(R"s(viewBox="0 0 10 10" preserveAspectRatio="sideways")s")) {
    SCOPED_TRACE(body);
    const SvgScene s = drawing(body);
    EXPECT_TRUE(hasWarning(s, "preserveAspectRatio"));
    EXPECT_PT(onlyPath(s)[1].p, 10, 100);  // xMidYMid meet instead: scaled by 10
  }
  for (const std::string& body : nestedSvgAndSymbol(R"s(viewBox="0 0 0 10")s")) {
    SCOPED_TRACE(body);
    EXPECT_TRUE(ofKind(drawing(body), SvgNodeKind::Path).empty());  // a box without area draws nothing
  }
}

TEST(SvgViewBox, OffsetAndInvalidBoxes) {
  const SvgScene s =
      sceneOf(R"s(<svg xmlns="http://www.w3.org/2000/svg" width="100pt" height="100pt" viewBox="-50 -50 100 100">)s"
              R"s(<rect width="1" height="1"/></svg>)s");
  EXPECT_PT(onlyPath(s)[0].p, 50, 50);
  const SvgScene bad =
      sceneOf(R"s(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10" viewBox="0 0 -5 5"/>)s");
  EXPECT_TRUE(hasWarning(bad, "negative size"));
  EXPECT_NE(errorOf(R"s(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 0 10"/>)s").find("no area"),
            std::string::npos);
  EXPECT_NE(errorOf(R"s(<svg xmlns="http://www.w3.org/2000/svg" width="0" height="10"/>)s").find("no usable size"),
            std::string::npos);
}

}  // namespace
}  // namespace qx::host
