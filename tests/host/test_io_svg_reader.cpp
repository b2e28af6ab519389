// Path data grammar and the basic shapes.
#include <cmath>

#include "host/io/svg_read/svg_path_data.h"
#include "host/io/svg_read/svg_shapes.h"
#include "host/io/svg_read/svg_text.h"
#include "test_io_svg_reader_support.h"

namespace qx::host {
namespace {

using namespace testing;
using svg::Contour;
using svg::parsePathData;
using svg::Pt;

void expectSameAnchors(std::string_view a, std::string_view b) {
  const auto pa = parsePathData(a), pb = parsePathData(b);
  ASSERT_TRUE(pa.error.empty()) << pa.error;
  ASSERT_TRUE(pb.error.empty()) << pb.error;
  ASSERT_EQ(pa.contours.size(), pb.contours.size()) << a << " vs " << b;
  for (size_t i = 0; i < pa.contours.size(); ++i) {
    ASSERT_EQ(pa.contours[i].anchors.size(), pb.contours[i].anchors.size()) << a << " vs " << b;
    EXPECT_EQ(pa.contours[i].closed, pb.contours[i].closed);
    for (size_t k = 0; k < pa.contours[i].anchors.size(); ++k) {
      const auto &x = pa.contours[i].anchors[k], &y = pb.contours[i].anchors[k];
      EXPECT_PT(x.p, y.p.x, y.p.y);
      EXPECT_PT(x.in, y.in.x, y.in.y);
      EXPECT_PT(x.out, y.out.x, y.out.y);
    }
  }
}

// The point at t on the cubic from a to b.
Pt cubicAt(const svg::Anchor& a, const svg::Anchor& b, double t) {
  const double u = 1 - t;
  const auto f = [&](double p0, double p1, double p2, double p3) {
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
  };
  return {f(a.p.x, a.out.x, b.in.x, b.p.x), f(a.p.y, a.out.y, b.in.y, b.p.y)};
}

TEST(SvgPathData, AbsoluteAndRelativeFormsAgree) {
  expectSameAnchors("M10 10 L20 10 L20 20 Z", "m10 10 l10 0 l0 10 z");
  expectSameAnchors("M10 10 L20 10 L20 20 Z", "M10 10 H20 V20 Z");
  expectSameAnchors("M10 10 L20 10 L20 20 Z", "m10 10 h10 v10 z");
  expectSameAnchors("M0 0 C 10 0 20 10 20 20", "m0 0 c 10 0 20 10 20 20");
  expectSameAnchors("M5 5 Q 10 0 15 5 T 25 5", "m5 5 q 5 -5 10 0 t 10 0");
  expectSameAnchors("M5 5 C 5 0 10 0 10 5 S 15 10 15 5", "m5 5 c 0 -5 5 -5 5 0 s 5 5 5 0");
  expectSameAnchors("M0 0 A 5 5 0 0 1 10 0", "m0 0 a 5 5 0 0 1 10 0");
}

TEST(SvgPathData, ImplicitRepeatsAfterMoveAreLines) {
  expectSameAnchors("M 0 0 10 0 10 10", "M 0 0 L 10 0 L 10 10");
  expectSameAnchors("m 1 1 10 0 0 10", "M 1 1 L 11 1 L 11 11");
  expectSameAnchors("M0 0 L 1 2 3 4 5 6", "M0 0 L1 2 L3 4 L5 6");
  expectSameAnchors("M0 0 h 1 2 3", "M0 0 H1 H3 H6");
  expectSameAnchors("M0 0 C 1 1 2 2 3 3 4 4 5 5 6 6", "M0 0 C 1 1 2 2 3 3 C 4 4 5 5 6 6");
  expectSameAnchors("M0,0,1,2", "M0 0 L1 2");
  EXPECT_FALSE(parsePathData("M0,0,L,1,2").error.empty());  // no comma after a command letter
}

TEST(SvgPathData, NumbersTokeniseAsSvgWritesThem) {
  const auto numbers = [](std::string_view s) {
    size_t stopped = 0;
    auto v = svg::parseNumberList(s, &stopped);
    EXPECT_EQ(stopped, std::string_view::npos) << s;
    return v;
  };
  EXPECT_EQ(numbers("1e-3.5.5"), (std::vector<double>{1e-3, .5, .5}));
  EXPECT_EQ(numbers("-.5-.5"), (std::vector<double>{-.5, -.5}));
  EXPECT_EQ(numbers("1.5.5e2+3"), (std::vector<double>{1.5, 50, 3}));
  EXPECT_EQ(numbers("5. 6E+1 -0"), (std::vector<double>{5, 60, 0}));
  EXPECT_EQ(numbers("1e-400"), (std::vector<double>{0}));  // underflow is zero, not an error
  size_t i = 0;
  double v = 0;
  EXPECT_FALSE(svg::scanNumber(".", i, v));
  EXPECT_FALSE(svg::scanNumber("1e400", i, v));  // does not fit a double
  EXPECT_FALSE(svg::scanNumber("e5", i, v));
  EXPECT_TRUE(svg::scanNumber("3em", i, v));  // "e" without digits is not an exponent
  EXPECT_EQ(i, 1u);
  expectSameAnchors("M0-.5L.5.5", "M 0 -0.5 L 0.5 0.5");
}

TEST(SvgPathData, ArcFlagsNeedNoSeparators) {
  const auto d = parsePathData("M0 0 a1 1 0 00 1 1");
  ASSERT_TRUE(d.error.empty()) << d.error;
  ASSERT_EQ(d.contours.size(), 1u);
  EXPECT_PT(d.contours[0].anchors.back().p, 1, 1);
  expectSameAnchors("M0 0 a1 1 0 00 1 1", "M0 0 a 1 1 0 0 0 1 1");
  expectSameAnchors("M0 0 A10 10 0 1110 0", "M0 0 A 10 10 0 1 1 10 0");
  EXPECT_FALSE(parsePathData("M0 0 A 1 1 0 2 0 1 1").error.empty());  // a flag is 0 or 1
}

// Every piece of an arc: its ends exact, and its middle on the true curve.
void expectOnCircle(std::string_view d, Pt centre, double r, size_t anchorCount, Pt end) {
  const auto path = parsePathData(d);
  ASSERT_TRUE(path.error.empty()) << path.error;
  ASSERT_EQ(path.contours.size(), 1u);
  const auto& a = path.contours[0].anchors;
  ASSERT_EQ(a.size(), anchorCount) << d;
  EXPECT_EQ(a.back().p.x, end.x);
  EXPECT_EQ(a.back().p.y, end.y);
  for (size_t i = 0; i + 1 < a.size(); ++i) {
    const Pt mid = cubicAt(a[i], a[i + 1], 0.5);
    EXPECT_NEAR(std::hypot(mid.x - centre.x, mid.y - centre.y), r, 1e-3) << d << " piece " << i;
    // Elsewhere a cubic quarter strays by at most 0.03% of the radius.
    for (double t : {0.2, 0.8}) {
      const Pt m = cubicAt(a[i], a[i + 1], t);
      EXPECT_NEAR(std::hypot(m.x - centre.x, m.y - centre.y), r, 3e-4 * r) << d << " piece " << i << " t " << t;
    }
  }
}

TEST(SvgPathData, ArcsBecomeCubicsOnTheCircle) {
  expectOnCircle("M 0 0 A 50 50 0 0 1 100 0", {50, 0}, 50, 3, {100, 0});
  expectOnCircle("M 0 0 A 50 50 0 0 0 100 0", {50, 0}, 50, 3, {100, 0});
  // 270 degrees: three quarters.
  expectOnCircle("M 0 0 A 50 50 0 1 0 50 50", {0, 50}, 50, 4, {50, 50});
  expectOnCircle("M 0 0 A 50 50 0 0 1 50 50", {0, 50}, 50, 2, {50, 50});
  expectOnCircle("M 0 0 A 50 50 0 1 1 50 50", {50, 0}, 50, 4, {50, 50});
  // Radii too small for the chord grow to span it.
  expectOnCircle("M 0 0 A 1 1 0 0 1 100 0", {50, 0}, 50, 3, {100, 0});
  // Sweep decides the side: 1 turns towards positive angles (down on screen is +y).
  EXPECT_NEAR(parsePathData("M 0 0 A 50 50 0 0 1 100 0").contours[0].anchors[1].p.y, -50, 1e-9);
  EXPECT_NEAR(parsePathData("M 0 0 A 50 50 0 0 0 100 0").contours[0].anchors[1].p.y, 50, 1e-9);
}

TEST(SvgPathData, RotatedEllipticalArc) {
  // Major axis (rx = 20) turned onto y: the half ellipse from (0,0) to (0,40),
  // on the +x side as the sweep turns towards positive angles.
  const auto path = parsePathData("M 0 0 A 20 10 90 0 1 0 40");
  ASSERT_TRUE(path.error.empty());
  const auto& a = path.contours[0].anchors;
  ASSERT_EQ(a.size(), 3u);
  EXPECT_PT(a[1].p, 10, 20);
  for (size_t i = 0; i + 1 < a.size(); ++i) {
    const Pt m = cubicAt(a[i], a[i + 1], 0.5);
    EXPECT_NEAR((m.y - 20) * (m.y - 20) / 400 + m.x * m.x / 100, 1, 1e-3);
  }
}

TEST(SvgPathData, DegenerateArcs) {
  const auto line = parsePathData("M0 0 A 0 10 0 0 1 10 0");  // zero radius: a line
  ASSERT_EQ(line.contours[0].anchors.size(), 2u);
  EXPECT_PT(line.contours[0].anchors[0].out, 0, 0);
  EXPECT_PT(line.contours[0].anchors[1].in, 10, 0);
  // An arc to where it starts draws nothing.
  EXPECT_EQ(parsePathData("M5 5 A 10 10 0 0 1 5 5 L 6 6").contours[0].anchors.size(), 2u);
}

TEST(SvgPathData, QuadraticsAreExactCubics) {
  const auto q = parsePathData("M0 0 Q 30 60 60 0");
  const auto& a = q.contours[0].anchors;
  EXPECT_PT(a[0].out, 20, 40);
  EXPECT_PT(a[1].in, 40, 40);
  // T reflects the last control point (10,20) about (20,0): (30,-20).
  const auto t = parsePathData("M0 0 Q 10 20 20 0 T 40 0");
  EXPECT_PT(t.contours[0].anchors[1].out, 20 + 2.0 / 3 * 10, -2.0 / 3 * 20);
  EXPECT_PT(t.contours[0].anchors[2].in, 40 - 2.0 / 3 * 10, -2.0 / 3 * 20);
  // T after anything but Q or T uses the current point: a straight piece.
  const auto lone = parsePathData("M0 0 L 10 0 T 20 0");
  EXPECT_PT(lone.contours[0].anchors[1].out, 10, 0);
}

TEST(SvgPathData, SmoothCubicReflectsAndMarksSmoothPoints) {
  const auto s = parsePathData("M0 0 C 0 10 10 10 10 0 S 20 -10 20 0");
  const auto& a = s.contours[0].anchors;
  ASSERT_EQ(a.size(), 3u);
  EXPECT_PT(a[1].out, 10, -10);
  std::vector<SvgSubpath> subs;
  std::string why;
  ASSERT_TRUE(svg::toSubpaths(s.contours, svg::Matrix{}, &subs, &why));
  EXPECT_EQ(subs[0].segments[0].corner, 1);
  EXPECT_EQ(subs[0].segments[1].corner, 0);
  EXPECT_EQ(subs[0].segments[2].corner, 1);
  // S after a line has no handle to reflect.
  const auto afterLine = parsePathData("M0 0 L 10 0 S 20 10 30 0");
  EXPECT_PT(afterLine.contours[0].anchors[1].out, 10, 0);
}

TEST(SvgPathData, ClosingOnTheFirstAnchorMergesIt) {
  const auto straight = parsePathData("M0 0 L10 0 L10 10 L0 0 Z");
  ASSERT_EQ(straight.contours[0].anchors.size(), 3u);
  EXPECT_TRUE(straight.contours[0].closed);
  const auto curved = parsePathData("M0 0 C 5 -5 10 -5 10 0 C 10 5 5 5 0 0 z");
  const auto& a = curved.contours[0].anchors;
  ASSERT_EQ(a.size(), 2u);
  EXPECT_PT(a[0].in, 5, 5);  // the closing curve's handle moves onto the first anchor
  EXPECT_PT(a[0].out, 5, -5);
  // Relative steps that add up to the start still close on it.
  EXPECT_EQ(parsePathData("m 0.1 0.1 l 0.2 0 l 0 0.7 l -0.2 -0.7 z").contours[0].anchors.size(), 3u);
  // Not on the first anchor: a straight closing piece, nothing merged.
  EXPECT_EQ(parsePathData("M0 0 L10 0 L10 10 Z").contours[0].anchors.size(), 3u);
}

TEST(SvgPathData, DrawingAfterCloseStartsAtTheSubpathStart) {
  const auto d = parsePathData("M 10 10 L 20 10 L 20 20 Z L 10 30");
  ASSERT_EQ(d.contours.size(), 2u);
  EXPECT_PT(d.contours[1].anchors[0].p, 10, 10);
  const auto rel = parsePathData("M 10 10 l 10 0 l 0 10 z m 5 5 l 1 0");
  ASSERT_EQ(rel.contours.size(), 2u);
  EXPECT_PT(rel.contours[1].anchors[0].p, 15, 15);
  // A lone move draws nothing.
  EXPECT_TRUE(parsePathData("M 5 5").contours.empty());
  EXPECT_EQ(parsePathData("M 5 5 M 0 0 L 1 1").contours.size(), 1u);
}

TEST(SvgPathData, ErrorsStopTheDataWhereTheyAre) {
  const auto junk = parsePathData("M 0 0 L 10 10 L x");
  EXPECT_NE(junk.error.find("character 17"), std::string::npos) << junk.error;
  ASSERT_EQ(junk.contours.size(), 1u);
  EXPECT_EQ(junk.contours[0].anchors.size(), 2u);
  // A half-finished command is left out entirely.
  EXPECT_EQ(parsePathData("M 0 0 L 10 10 C 1 2 3").contours[0].anchors.size(), 2u);
  EXPECT_FALSE(parsePathData("L 0 0 10 10").error.empty());
  EXPECT_TRUE(parsePathData("L 0 0 10 10").contours.empty());
  EXPECT_FALSE(parsePathData("M 0 0 L 1 1 Z 5 5").error.empty());
  EXPECT_FALSE(parsePathData("M 0 0 B 1 1").error.empty());
  EXPECT_FALSE(parsePathData("M 0 0 L 1e400 0").error.empty());
  EXPECT_TRUE(parsePathData("").error.empty());
  EXPECT_TRUE(parsePathData("  \n ").contours.empty());
}

TEST(SvgPathData, SeveralSubpathsMakeOneCompoundPath) {
  const SvgScene s = drawing(R"s(<path id="two" fill="red" d="M0 0 L10 0 L10 10 Z M20 20 L30 20 L30 30 Z"/>)s");
  ASSERT_EQ(s.nodes.size(), 3u);
  EXPECT_EQ(s.nodes[0].kind, SvgNodeKind::CompoundPath);
  EXPECT_EQ(s.nodes[0].name, "two");
  EXPECT_TRUE(s.nodes[0].subpaths.empty());
  for (int i : {1, 2}) {
    EXPECT_EQ(s.nodes[i].kind, SvgNodeKind::Path);
    EXPECT_EQ(s.nodes[i].parent, 0);
    EXPECT_EQ(s.nodes[i].style.fill.color.kind, QX_COLOR_RGB);
    EXPECT_EQ(s.nodes[i].style.fill.color.c.rgb.red, 1.0f);
    ASSERT_EQ(s.nodes[i].subpaths.size(), 1u);
    EXPECT_TRUE(s.nodes[i].subpaths[0].closed);
  }
  EXPECT_PT(s.nodes[2].subpaths[0].segments[0].p, 20, 80);
}

TEST(SvgShapes, RectangleCorners) {
  const auto seg = onlyPath(drawing(R"s(<rect x="10" y="20" width="30" height="40"/>)s"));
  ASSERT_EQ(seg.size(), 4u);
  EXPECT_PT(seg[0].p, 10, 80);
  EXPECT_PT(seg[1].p, 40, 80);
  EXPECT_PT(seg[2].p, 40, 40);
  EXPECT_PT(seg[3].p, 10, 40);
  for (const auto& s : seg) {
    EXPECT_EQ(s.corner, 1);
    EXPECT_PT(s.in, s.p.x, s.p.y);
  }
}

TEST(SvgShapes, RoundedRectangleRadii) {
  // One radius given: the other takes it. Straight edges between quarter ellipses.
  const auto seg = onlyPath(drawing(R"s(<rect x="0" y="0" width="40" height="20" rx="5"/>)s"));
  ASSERT_EQ(seg.size(), 8u);
  EXPECT_PT(seg[0].p, 5, 100);
  EXPECT_PT(seg[0].in, 5 - 5 * svg::kKappa, 100);
  EXPECT_PT(seg[1].p, 35, 100);
  EXPECT_PT(seg[1].out, 35 + 5 * svg::kKappa, 100);
  EXPECT_PT(seg[2].p, 40, 95);
  // Radii past half the size are cut to it; at half on both sides no edge is left.
  const auto pill = onlyPath(drawing(R"s(<rect width="30" height="40" rx="100" ry="100"/>)s"));
  ASSERT_EQ(pill.size(), 4u);
  for (const auto& s : pill) EXPECT_EQ(s.corner, 0);
  // rx cut to 15 leaves no top and bottom edges; ry = 5 leaves the sides.
  EXPECT_EQ(onlyPath(drawing(R"s(<rect width="30" height="40" rx="100" ry="5"/>)s")).size(), 6u);
}

TEST(SvgShapes, CirclesAndEllipsesAreFourSmoothQuarters) {
  const auto c = onlyPath(drawing(R"s(<circle cx="50" cy="50" r="10"/>)s"));
  ASSERT_EQ(c.size(), 4u);
  EXPECT_PT(c[0].p, 60, 50);
  EXPECT_PT(c[0].out, 60, 50 - 10 * svg::kKappa);
  EXPECT_PT(c[1].p, 50, 40);
  for (const auto& s : c) EXPECT_EQ(s.corner, 0);
  const auto e = onlyPath(drawing(R"s(<ellipse cx="50" cy="50" rx="20" ry="10"/>)s"));
  ASSERT_EQ(e.size(), 4u);
  EXPECT_PT(e[0].p, 70, 50);
  EXPECT_PT(e[2].p, 30, 50);
  EXPECT_PT(e[3].p, 50, 60);
  // The middle of each quarter lies on the circle.
  const svg::Contour circle = svg::ellipseContour(0, 0, 10, 10);
  for (size_t i = 0; i < 4; ++i) {
    const Pt m = cubicAt(circle.anchors[i], circle.anchors[(i + 1) % 4], 0.5);
    EXPECT_NEAR(std::hypot(m.x, m.y), 10, 1e-3);
  }
}

TEST(SvgShapes, LinesAndPolylines) {
  const auto line = onlyPath(drawing(R"s(<line x1="10" y1="10" x2="20" y2="30" stroke="black"/>)s"));
  ASSERT_EQ(line.size(), 2u);
  EXPECT_PT(line[1].p, 20, 70);
  const SvgScene poly = drawing(R"s(<polyline points="0,0 10,0 10,10"/><polygon points="0 0 10 0 10 10"/>)s");
  ASSERT_EQ(poly.nodes.size(), 2u);
  EXPECT_FALSE(poly.nodes[0].subpaths[0].closed);
  EXPECT_TRUE(poly.nodes[1].subpaths[0].closed);
  EXPECT_EQ(poly.nodes[1].subpaths[0].segments.size(), 3u);
  const SvgScene odd = drawing(R"s(<polygon points="0 0 10 0 10 10 5"/>)s");
  EXPECT_EQ(onlyPath(odd).size(), 3u);
  EXPECT_TRUE(hasWarning(odd, "odd number"));
  const SvgScene junk = drawing(R"s(<polyline points="0 0 10 0 10 x 20 20"/>)s");
  EXPECT_EQ(onlyPath(junk).size(), 2u);
  EXPECT_TRUE(hasWarning(junk, "drawn up to there"));
}

TEST(SvgShapes, ZeroSizesDrawNothingQuietly) {
  const SvgScene s = drawing(R"s(<rect width="0" height="10"/><rect width="10"/><circle r="0"/>)s"
                             R"s(<ellipse rx="5" ry="0"/><polyline points="5 5"/><path d=""/>)s");
  EXPECT_TRUE(s.nodes.empty());
  EXPECT_TRUE(s.warnings.empty());
  const SvgScene negative = drawing(R"s(<rect width="-5" height="10"/><circle r="-1"/>)s");
  EXPECT_TRUE(negative.nodes.empty());
  EXPECT_EQ(negative.warnings.size(), 2u);
}

}  // namespace
}  // namespace qx::host
