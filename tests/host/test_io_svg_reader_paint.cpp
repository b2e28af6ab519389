// Colours, the CSS cascade, inheritance, stroke properties, gradients and patterns.
#include <algorithm>

#include "host/io/svg_read/svg_color.h"
#include "test_io_svg_reader_support.h"

namespace qx::host {
namespace {

using namespace testing;

const SvgStyle& styleOf(const SvgScene& s, std::string_view name) { return named(s, name).style; }

void expectRgb(const QxColor& c, double r, double g, double b) {
  ASSERT_EQ(c.kind, QX_COLOR_RGB);
  EXPECT_NEAR(c.c.rgb.red, r, 1e-3);
  EXPECT_NEAR(c.c.rgb.green, g, 1e-3);
  EXPECT_NEAR(c.c.rgb.blue, b, 1e-3);
}

// The fill of a rectangle whose fill attribute is `value`.
SvgScene filled(std::string_view value) {
  return drawing("<rect id=\"r\" width=\"1\" height=\"1\" fill=\"" + std::string(value) + "\"/>");
}

TEST(SvgColors, NamedColorsAreTheFullSortedList) {
  EXPECT_EQ(svg::kNamedColorCount, 147u);
  EXPECT_TRUE(std::is_sorted(svg::kNamedColors, svg::kNamedColors + svg::kNamedColorCount,
                             [](const auto& a, const auto& b) { return a.name < b.name; }));
  expectRgb(styleOf(filled("cornflowerblue"), "r").fill.color, 100 / 255.0, 149 / 255.0, 237 / 255.0);
  expectRgb(styleOf(filled("RED"), "r").fill.color, 1, 0, 0);
  expectRgb(styleOf(filled("lightgoldenrodyellow"), "r").fill.color, 250 / 255.0, 250 / 255.0, 210 / 255.0);
  expectRgb(styleOf(filled("grey"), "r").fill.color, 128 / 255.0, 128 / 255.0, 128 / 255.0);
}

TEST(SvgColors, HexAndFunctionalForms) {
  expectRgb(styleOf(filled("#f80"), "r").fill.color, 1, 136 / 255.0, 0);
  expectRgb(styleOf(filled("#FF8800"), "r").fill.color, 1, 136 / 255.0, 0);
  expectRgb(styleOf(filled("rgb(255, 136, 0)"), "r").fill.color, 1, 136 / 255.0, 0);
  expectRgb(styleOf(filled("rgb(100%,50%,0%)"), "r").fill.color, 1, 0.5, 0);
  expectRgb(styleOf(filled("rgb(300,-5,0)"), "r").fill.color, 1, 0, 0);  // clamped
  expectRgb(styleOf(filled("hsl(120, 100%, 50%)"), "r").fill.color, 0, 1, 0);
  expectRgb(styleOf(filled("#CD853F icc-color(acmecmyk, 0.11, 0.48, 0.83, 0.00)"), "r").fill.color, 205 / 255.0,
            133 / 255.0, 63 / 255.0);
  // Alpha goes into the opacity.
  const struct {
    const char* value;
    double alpha;
  } alphas[] = {{"#ff000080", 128 / 255.0},
                {"#f008", 136 / 255.0},
                {"rgba(255,0,0,0.25)", 0.25},
                {"rgb(255 0 0 / 50%)", 0.5},
                {"transparent", 0}};
  for (const auto& a : alphas) {
    const SvgScene s = drawing("<rect id=\"r\" width=\"1\" height=\"1\" fill-opacity=\"0.5\" fill=\"" +
                               std::string(a.value) + "\"/>");
    EXPECT_NEAR(styleOf(s, "r").fillOpacity, 0.5 * a.alpha, 1e-6) << a.value;
  }
}

TEST(SvgColors, NoneCurrentColorAndBadValues) {
  EXPECT_EQ(styleOf(filled("none"), "r").fill.color.kind, QX_COLOR_NONE);
  const SvgScene current = drawing(
      R"s(<g color="blue"><rect id="r" width="1" height="1" fill="currentColor" stroke="currentColor" color="lime"/></g>)s");
  expectRgb(styleOf(current, "r").fill.color, 0, 1, 0);
  // currentColor inherits as itself: each element uses its own color.
  const SvgScene inherited =
      drawing(R"s(<g fill="currentColor" color="red"><rect id="r" width="1" height="1" color="blue"/></g>)s");
  expectRgb(styleOf(inherited, "r").fill.color, 0, 0, 1);
  // A colour that does not parse gives way to what lies beneath it.
  const SvgScene bad = drawing(R"s(<g fill="green"><rect id="r" width="1" height="1" fill="bogus"/></g>)s");
  expectRgb(styleOf(bad, "r").fill.color, 0, 128 / 255.0, 0);
  EXPECT_TRUE(hasWarning(bad, "fill: \"bogus\" is not understood"));
  for (const char* v : {"#12", "#1234567", "#ggg", "rgb(1,2)", "hsl(1,2,3,4,5)", "url(x)"})
    EXPECT_TRUE(hasWarning(filled(v), "not understood")) << v;
}

TEST(SvgPaintDefaults, BlackFillNoStrokeWidthOne) {
  const SvgScene scene = drawing(R"s(<rect id="r" width="1" height="1"/>)s");
  const SvgStyle& s = styleOf(scene, "r");
  expectRgb(s.fill.color, 0, 0, 0);
  expectRgb(s.fill.firstStop, 0, 0, 0);
  EXPECT_EQ(s.stroke.color.kind, QX_COLOR_NONE);
  EXPECT_EQ(s.strokeWidth, 1);
  EXPECT_EQ(s.cap, QX_CAP_BUTT);
  EXPECT_EQ(s.join, QX_JOIN_MITER);
  EXPECT_EQ(s.miterLimit, 4);
  EXPECT_EQ(s.dash.length, 0);
  EXPECT_FALSE(s.evenOdd);
  EXPECT_EQ(s.fillOpacity, 1);
}

TEST(SvgCascade, StyleBeatsSheetBeatsAttributes) {
  const SvgScene s = drawing(R"s(<style>rect { fill: red; stroke: red } .c { stroke-width: 3 }</style>
    <rect id="a" class="c" width="1" height="1" fill="blue" stroke="blue" stroke-width="9" style="stroke: lime"/>
    <circle id="b" r="1" fill="blue"/>)s");
  expectRgb(styleOf(s, "a").fill.color, 1, 0, 0);    // sheet over attribute
  expectRgb(styleOf(s, "a").stroke.color, 0, 1, 0);  // style="" over sheet
  EXPECT_EQ(styleOf(s, "a").strokeWidth, 3);
  expectRgb(styleOf(s, "b").fill.color, 0, 0, 1);  // no rule for circles
}

TEST(SvgCascade, SpecificityThenOrder) {
  const SvgScene s = drawing(R"s(<style><![CDATA[
      #x { fill: lime }
      rect.a { fill: red }
      .a { fill: blue }
      .a.b { stroke: navy }
      .b { stroke: red }
      rect { fill: red; stroke: red }
      .late { fill: red } .late { fill: teal }
      .shared, #other { stroke-width: 5 }
      .imp { fill: lime !important }
    ]]></style>
    <rect id="x" class="a" width="1" height="1"/>
    <rect id="y" class="a b" width="1" height="1"/>
    <rect id="z" class="late" width="1" height="1"/>
    <rect id="other" width="1" height="1" stroke="black"/>
    <rect id="w" class="imp" style="fill: red" width="1" height="1"/>)s");
  expectRgb(styleOf(s, "x").fill.color, 0, 1, 0);                      // id over type+class
  expectRgb(styleOf(s, "y").fill.color, 1, 0, 0);                      // rect.a (0,1,1) over .a (0,1,0)
  expectRgb(styleOf(s, "y").stroke.color, 0, 0, 128 / 255.0);          // two classes over one
  expectRgb(styleOf(s, "z").fill.color, 0, 128 / 255.0, 128 / 255.0);  // equal: the later rule
  EXPECT_EQ(styleOf(s, "other").strokeWidth, 5);                       // a selector list
  expectRgb(styleOf(s, "w").fill.color, 0, 1, 0);                      // !important over style=""
}

TEST(SvgCascade, UnsupportedSelectorsAreNamed) {
  const SvgScene s = drawing(
      R"s(<style>g > rect { fill: red } rect:hover { fill: red } @media print { rect { fill: red } } .ok { fill: lime }</style>
    <g><rect id="r" class="ok" width="1" height="1"/></g>)s");
  expectRgb(styleOf(s, "r").fill.color, 0, 1, 0);
  EXPECT_TRUE(hasWarning(s, "\"g > rect\" is not supported"));
  EXPECT_TRUE(hasWarning(s, "\"rect:hover\" is not supported"));
}

TEST(SvgCascade, InheritanceAndOpacity) {
  const SvgScene s =
      drawing(R"s(<g id="outer" fill="red" stroke="blue" stroke-width="2" opacity="0.5" fill-opacity="0.5">
      <g id="inner" opacity="0.5"><rect id="r" width="1" height="1" opacity="0.8"/></g>
      <rect id="s" width="1" height="1" fill="inherit" stroke="none" fill-opacity="1"/></g>)s");
  const SvgNode& r = named(s, "r");
  expectRgb(r.style.fill.color, 1, 0, 0);
  expectRgb(r.style.stroke.color, 0, 0, 1);
  EXPECT_EQ(r.style.strokeWidth, 2);
  EXPECT_EQ(r.style.fillOpacity, 0.5);  // fill-opacity inherits
  // opacity does not inherit: each object keeps its own, and they multiply down.
  EXPECT_EQ(named(s, "outer").opacity, 0.5);
  EXPECT_EQ(named(s, "inner").opacity, 0.5);
  EXPECT_NEAR(r.opacity, 0.8, 1e-9);
  EXPECT_NEAR(r.effectiveOpacity, 0.2, 1e-9);
  EXPECT_EQ(styleOf(s, "s").stroke.color.kind, QX_COLOR_NONE);
  EXPECT_EQ(styleOf(s, "s").fillOpacity, 1);
}

TEST(SvgCascade, StrokeProperties) {
  const SvgScene s =
      drawing(R"s(<rect id="r" width="1" height="1" style="stroke:#000;stroke-linecap:round;stroke-linejoin:bevel;
      stroke-miterlimit:10;stroke-dasharray:1, 2 3;stroke-dashoffset:2;fill-rule:evenodd"/>
      <rect id="square" width="1" height="1" stroke-linecap="square" stroke-linejoin="round" stroke-miterlimit="0.5"/>
      <rect id="long" width="1" height="1" stroke-dasharray="1 1 1 1 1 1 1 1"/>
      <rect id="zeros" width="1" height="1" stroke-dasharray="0 0"/>
      <rect id="negative" width="1" height="1" stroke-dasharray="1 -1"/>)s");
  const SvgStyle& r = styleOf(s, "r");
  EXPECT_EQ(r.cap, QX_CAP_ROUND);
  EXPECT_EQ(r.join, QX_JOIN_BEVEL);
  EXPECT_EQ(r.miterLimit, 10);
  EXPECT_TRUE(r.evenOdd);
  // An odd list is repeated to an even one.
  ASSERT_EQ(r.dash.length, 6);
  const float expected[] = {1, 2, 3, 1, 2, 3};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(r.dash.array[i], expected[i]);
  EXPECT_EQ(r.dash.offset, 2);
  EXPECT_EQ(styleOf(s, "square").cap, QX_CAP_SQUARE);
  EXPECT_EQ(styleOf(s, "square").join, QX_JOIN_ROUND);
  EXPECT_EQ(styleOf(s, "square").miterLimit, 4);  // below 1 is refused
  EXPECT_TRUE(hasWarning(s, "stroke-miterlimit"));
  EXPECT_EQ(styleOf(s, "long").dash.length, QX_DASH_MAX);
  EXPECT_TRUE(hasWarning(s, "stroke-dasharray has 8 entries; the first 6 are kept"));
  EXPECT_EQ(styleOf(s, "zeros").dash.length, 0);
  EXPECT_EQ(styleOf(s, "negative").dash.length, 0);
  EXPECT_TRUE(hasWarning(s, "stroke-dasharray: \"1 -1\""));
}

TEST(SvgCascade, HiddenThingsAreSkipped) {
  const SvgScene s = drawing(R"s(<g style="display:none"><rect id="gone" width="1" height="1"/></g>
      <rect id="gone2" width="1" height="1" display="none"/>
      <g visibility="hidden"><rect id="hidden" width="1" height="1"/><rect id="shown" width="1" height="1" visibility="visible"/></g>)s");
  for (const SvgNode& n : s.nodes) EXPECT_TRUE(n.name != "gone" && n.name != "gone2" && n.name != "hidden") << n.name;
  EXPECT_EQ(ofKind(s, SvgNodeKind::Path).size(), 1u);
  EXPECT_EQ(named(s, "shown").kind, SvgNodeKind::Path);
}

TEST(SvgPaintServers, GradientsGiveTheirFirstStop) {
  const SvgScene s = drawing(R"s(<defs>
      <linearGradient id="base"><stop offset="0" stop-color="#ff0000" stop-opacity="0.5"/><stop offset="1" stop-color="blue"/></linearGradient>
      <linearGradient id="derived" xlink:href="#base" x1="0" x2="1"/>
      <radialGradient id="styled"><stop offset="0" style="stop-color:lime;stop-opacity:0.25"/></radialGradient>
      <radialGradient id="classy"><stop class="first" offset="0"/></radialGradient>
      <linearGradient id="empty"/>
      <linearGradient id="loop1" href="#loop2"/><linearGradient id="loop2" href="#loop1"/>
    </defs>
    <style>.first { stop-color: teal }</style>
    <rect id="a" width="1" height="1" fill="url(#base)" stroke="url('#derived')"/>
    <rect id="b" width="1" height="1" fill="url(#styled)"/>
    <rect id="c" width="1" height="1" fill="url(#classy)"/>
    <rect id="d" width="1" height="1" fill="url(#empty)"/>
    <rect id="e" width="1" height="1" fill="url(#loop1)"/>)s");
  const SvgStyle& a = styleOf(s, "a");
  EXPECT_EQ(a.fill.color.kind, QX_COLOR_GRADIENT);
  EXPECT_EQ(a.fill.ref, "base");
  expectRgb(a.fill.firstStop, 1, 0, 0);
  EXPECT_EQ(a.fill.firstStopOpacity, 0.5);
  EXPECT_EQ(a.stroke.color.kind, QX_COLOR_GRADIENT);
  expectRgb(a.stroke.firstStop, 1, 0, 0);  // stops through href
  expectRgb(styleOf(s, "b").fill.firstStop, 0, 1, 0);
  EXPECT_EQ(styleOf(s, "b").fill.firstStopOpacity, 0.25);
  expectRgb(styleOf(s, "c").fill.firstStop, 0, 128 / 255.0, 128 / 255.0);
  EXPECT_EQ(styleOf(s, "d").fill.color.kind, QX_COLOR_NONE);  // no stops: no paint
  EXPECT_EQ(styleOf(s, "e").fill.color.kind, QX_COLOR_NONE);
}

TEST(SvgPaintServers, PatternsGiveTheirFirstFill) {
  const SvgScene s = drawing(R"s(<defs>
      <pattern id="p" width="4" height="4"><rect width="2" height="2" fill="none"/><g fill="orange"><circle r="1"/></g></pattern>
      <pattern id="child" href="#p"/>
      <pattern id="bare" width="4" height="4"><rect width="2" height="2" fill="none"/></pattern>
    </defs>
    <rect id="a" width="1" height="1" fill="url(#p)"/>
    <rect id="b" width="1" height="1" fill="url(#child)"/>
    <rect id="c" width="1" height="1" fill="url(#bare)"/>)s");
  EXPECT_EQ(styleOf(s, "a").fill.color.kind, QX_COLOR_PATTERN);
  expectRgb(styleOf(s, "a").fill.firstStop, 1, 165 / 255.0, 0);
  expectRgb(styleOf(s, "b").fill.firstStop, 1, 165 / 255.0, 0);
  expectRgb(styleOf(s, "c").fill.firstStop, 0.5, 0.5, 0.5);
}

TEST(SvgPaintServers, MissingReferencesUseTheFallback) {
  const SvgScene s = drawing(R"s(<rect id="a" width="1" height="1" fill="url(#nowhere) red"/>
      <rect id="b" width="1" height="1" fill="url(#nowhere)"/>
      <rect id="c" width="1" height="1" fill="url(#a) none"/>)s");
  expectRgb(styleOf(s, "a").fill.color, 1, 0, 0);
  EXPECT_EQ(styleOf(s, "b").fill.color.kind, QX_COLOR_NONE);
  EXPECT_TRUE(hasWarning(s, "fill: \"#nowhere\" names no element; not painted"));
  EXPECT_EQ(styleOf(s, "c").fill.color.kind, QX_COLOR_NONE);
}

}  // namespace
}  // namespace qx::host
