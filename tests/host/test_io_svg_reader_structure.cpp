// use and symbol, images, text, names, namespaces, and the hand-written corpus.
#include <chrono>

#include "test_io_svg_reader_support.h"

namespace qx::host {
namespace {

using namespace testing;

SvgScene fromCorpus(std::string_view file) {
  SvgReadResult r = readSvgFile(corpus(file));
  EXPECT_TRUE(r.scene.has_value()) << r.error;
  return r.scene ? std::move(*r.scene) : SvgScene{};
}

TEST(SvgUse, CopiesTheElementAsAGroup) {
  const SvgScene s = drawing(R"s(<defs><rect id="box" width="2" height="2"/></defs>
      <use id="u" href="#box" x="10" y="20" transform="scale(2)"/>
      <use href="#box" xlink:href="#nothing" x="1"/>)s");
  ASSERT_EQ(s.nodes.size(), 4u);
  const SvgNode& group = s.nodes[0];
  EXPECT_EQ(group.kind, SvgNodeKind::Group);
  EXPECT_EQ(group.name, "u");
  EXPECT_EQ(s.nodes[1].parent, 0);
  EXPECT_EQ(s.nodes[1].name, "box");
  // The transform applies after the x/y move: (0,0) -> (10,20) -> (20,40).
  EXPECT_PT(s.nodes[1].subpaths[0].segments[0].p, 20, 60);
  EXPECT_PT(s.nodes[1].subpaths[0].segments[2].p, 24, 56);
  EXPECT_PT(s.nodes[3].subpaths[0].segments[0].p, 1, 100);  // href wins over xlink:href
}

TEST(SvgUse, CopiesInheritFromTheUse) {
  const SvgScene s = drawing(R"s(<g fill="red"><path id="p" d="M0 0 L1 0 L1 1 Z"/></g>
      <use id="u" href="#p" fill="blue" opacity="0.5"/>)s");
  const auto paths = ofKind(s, SvgNodeKind::Path);
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[0]->style.fill.color.c.rgb.red, 1.0f);
  EXPECT_EQ(paths[1]->style.fill.color.c.rgb.blue, 1.0f);
  EXPECT_EQ(named(s, "u").opacity, 0.5);
  EXPECT_EQ(paths[1]->effectiveOpacity, 0.5);
}

TEST(SvgUse, SymbolViewBoxMapsOntoTheUseSize) {
  const SvgScene s =
      drawing(R"s(<symbol id="sym" viewBox="0 0 10 10"><rect width="10" height="10" stroke="black"/></symbol>
      <use id="big" href="#sym" x="10" y="10" width="40" height="40"/>
      <use id="wide" href="#sym" width="40" height="20" />
      <symbol id="plain"><rect width="1" height="1"/></symbol>
      <use id="p" href="#plain" x="5"/>)s");
  const auto paths = ofKind(s, SvgNodeKind::Path);
  ASSERT_EQ(paths.size(), 3u);
  EXPECT_PT(paths[0]->subpaths[0].segments[0].p, 10, 90);
  EXPECT_PT(paths[0]->subpaths[0].segments[2].p, 50, 50);
  EXPECT_NEAR(paths[0]->style.strokeWidth, 4, 1e-6);
  // xMidYMid meet: 20 x 20 in the middle of 40 x 20.
  EXPECT_PT(paths[1]->subpaths[0].segments[0].p, 10, 100);
  EXPECT_PT(paths[2]->subpaths[0].segments[1].p, 6, 100);
  // A symbol by itself draws nothing.
  EXPECT_TRUE(drawing(R"s(<symbol id="s"><rect width="1" height="1"/></symbol>)s").nodes.empty());
}

TEST(SvgUse, UseOfANestedSvgSetsItsSize) {
  const SvgScene s =
      drawing(R"s(<defs><svg id="icon" viewBox="0 0 1 1" width="5" height="5"><rect width="1" height="1"/></svg></defs>
      <use href="#icon" width="20" height="20"/>)s");
  EXPECT_PT(onlyPath(s)[2].p, 20, 80);
}

TEST(SvgUse, CyclesAreRefused) {
  const SvgScene s = fromCorpus("use-cycle.svg");
  EXPECT_TRUE(hasWarning(s, "use-cycle.svg:4: use of \"#a\" would copy itself"));
  EXPECT_TRUE(hasWarning(s, "use-cycle.svg:7: use of \"#self\" would copy itself"));
  EXPECT_EQ(ofKind(s, SvgNodeKind::Path).size(), 1u);  // the one rect in #a, copied once
  const SvgScene self = drawing(R"s(<use id="me" href="#me"/><use href="#missing"/><use href="other.svg#x"/><use/>)s");
  EXPECT_TRUE(self.nodes.empty());
  EXPECT_EQ(self.warnings.size(), 4u);
}

TEST(SvgUse, ExponentialExpansionHitsTheNodeLimit) {
  // Each level uses the one below ten times: 10^8 rectangles if expanded.
  std::string body = R"s(<defs><rect id="l0" width="1" height="1"/>)s";
  for (int level = 1; level <= 8; ++level) {
    body += "<g id=\"l" + std::to_string(level) + "\">";
    for (int k = 0; k < 10; ++k) body += "<use href=\"#l" + std::to_string(level - 1) + "\"/>";
    body += "</g>";
  }
  body += "</defs><use href=\"#l8\"/>";
  SvgReadLimits limits;
  limits.maxNodes = 20000;
  const std::string error = errorOf(page100(body), limits);
  EXPECT_NE(error.find("more than 20000 objects, counting every copy that use makes"), std::string::npos) << error;
  EXPECT_EQ(error.rfind("test.svg:1: ", 0), 0u) << error;
  // With the default limit it is refused before anything is built.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(errorOf(page100(body)).find("more than 5000000 objects"), std::string::npos);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
  // Subpaths count too: 1000 copies of a path of 30.
  std::string many = "<defs><path id=\"p\" d=\"";
  for (int k = 0; k < 30; ++k) many += "M0 0 L1 1 ";
  many += "\"/><g id=\"g\">";
  for (int k = 0; k < 1000; ++k) many += "<use href=\"#p\"/>";
  many += "</g></defs><use href=\"#g\"/>";
  EXPECT_NE(errorOf(page100(many), limits).find("more than 20000 objects"), std::string::npos);
  // Below the limit the same file is fine.
  limits.maxNodes = 1'000'000;
  std::string small = R"s(<defs><rect id="l0" width="1" height="1"/><g id="l1">)s";
  for (int k = 0; k < 10; ++k) small += "<use href=\"#l0\"/>";
  small += "</g></defs><use href=\"#l1\"/><use href=\"#l1\"/>";
  EXPECT_EQ(ofKind(sceneOf(page100(small), limits), SvgNodeKind::Path).size(), 20u);
}

TEST(SvgImages, LinkedAndEmbedded) {
  const SvgScene s = drawing(
      R"s(<image id="linked" x="10" y="10" width="20" height="10" xlink:href="pics/cat.JPG?v=2" preserveAspectRatio="none"/>
      <image id="embedded" width="4" height="4" transform="translate(50,50) rotate(90)"
             href="data:image/png;base64,iVBORw0KGgo="/>
      <image id="sniffed" width="1" height="1" href="data:;base64,R0lGODlh"/>
      <image id="plain" width="1" height="1" href="data:image/svg+xml,%3Csvg%2F%3E"/>)s");
  const SvgNode& linked = named(s, "linked");
  EXPECT_EQ(linked.kind, SvgNodeKind::Placed);
  EXPECT_EQ(linked.href, "pics/cat.JPG?v=2");
  EXPECT_EQ(linked.mime, "image/jpeg");
  EXPECT_NEAR(linked.box.x, 10, 1e-9);
  EXPECT_NEAR(linked.box.y, 80, 1e-9);
  EXPECT_NEAR(linked.box.width, 20, 1e-9);
  EXPECT_NEAR(linked.box.height, 10, 1e-9);
  EXPECT_PT(linked.corners[0], 10, 90);  // top left as drawn
  EXPECT_EQ(linked.fit, "none");
  const SvgNode& embedded = named(s, "embedded");
  EXPECT_EQ(embedded.kind, SvgNodeKind::Raster);
  EXPECT_EQ(embedded.mime, "image/png");
  EXPECT_EQ(embedded.data, (std::vector<unsigned char>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'}));
  EXPECT_PT(embedded.corners[1], 50, 46);  // turned a quarter: (4,0) -> (0,4)
  EXPECT_NEAR(embedded.box.x, 46, 1e-6);
  EXPECT_EQ(named(s, "sniffed").mime, "image/gif");
  EXPECT_EQ(std::string(named(s, "plain").data.begin(), named(s, "plain").data.end()), "<svg/>");
}

TEST(SvgImages, BadImagesAreLeftOutWithAReason) {
  const SvgScene s = drawing(R"s(<image width="1" height="1" href="data:image/png;base64,iVB*RK"/>
      <image width="1" height="1" href="data:image/png;base64"/>
      <image href="a.png"/>
      <image width="1" height="1"/>
      <image width="0" height="1" href="a.png"/>)s");
  EXPECT_TRUE(s.nodes.empty());
  EXPECT_TRUE(hasWarning(s, "not valid base64"));
  EXPECT_TRUE(hasWarning(s, "no comma"));
  EXPECT_TRUE(hasWarning(s, "without width and height"));
  EXPECT_TRUE(hasWarning(s, "without href"));
  EXPECT_EQ(s.warnings.size(), 4u);
}

TEST(SvgText, SkippedWithOneWarning) {
  const SvgScene s =
      drawing(R"s(<text x="1" y="1">a<tspan>b</tspan></text><g><text>c<textPath href="#p">d</textPath></text></g>
      <rect width="1" height="1"/><text>e</text>)s");
  ASSERT_EQ(s.warnings.size(), 1u);
  EXPECT_EQ(s.warnings[0], "test.svg:1: text is not imported; 3 text elements skipped");
  EXPECT_EQ(ofKind(s, SvgNodeKind::Path).size(), 1u);
  EXPECT_TRUE(drawing(R"s(<rect width="1" height="1"/>)s").warnings.empty());
}

TEST(SvgStructure, IdsAndNonPaintingElements) {
  const SvgScene s = drawing(R"s(<title>t</title><desc>d</desc><metadata><x/></metadata>
      <defs><rect id="inDefs" width="1" height="1"/></defs>
      <clipPath id="c"><rect width="1" height="1"/></clipPath><mask id="m"><rect width="1" height="1"/></mask>
      <marker id="mk"><rect width="1" height="1"/></marker>
      <blink><rect id="inUnknown" width="1" height="1"/></blink>
      <g id="layer"><a href="https://example.com"><rect id="linked" width="1" height="1" clip-path="url(#c)"/></a></g>)s");
  ASSERT_EQ(s.nodes.size(), 3u);
  EXPECT_EQ(s.nodes[0].name, "layer");
  EXPECT_EQ(s.nodes[1].kind, SvgNodeKind::Group);  // the link is a group
  EXPECT_EQ(s.nodes[2].name, "linked");
  EXPECT_EQ(s.nodes[2].parent, 1);
  EXPECT_TRUE(hasWarning(s, "clip-path is not applied; 1 element is drawn unclipped"));
}

TEST(SvgStructure, NamespacesDecideWhatIsSvg) {
  const SvgScene s =
      sceneOf(R"s(<svg:svg xmlns:svg="http://www.w3.org/2000/svg" xmlns:x="urn:other" width="10" height="10">
      <svg:rect id="prefixed" width="1" height="1"/>
      <x:rect id="foreign" width="1" height="1"/>
      <g xmlns="http://www.w3.org/1999/xhtml"><rect id="xhtml" width="1" height="1"/></g>
      <rect id="bare" width="1" height="1"/>
    </svg:svg>)s");
  ASSERT_EQ(s.nodes.size(), 2u);
  EXPECT_EQ(s.nodes[0].name, "prefixed");
  EXPECT_EQ(s.nodes[1].name, "bare");
}

TEST(SvgStructure, SwitchDrawsItsFirstUsableChild) {
  const SvgScene s = drawing(R"s(<switch><foreignObject requiredExtensions="urn:x" width="1" height="1"/>
      <rect id="chosen" width="1" height="1" systemLanguage="en"/><rect id="second" width="1" height="1"/></switch>)s");
  ASSERT_EQ(s.nodes.size(), 2u);
  EXPECT_EQ(s.nodes[1].name, "chosen");
}

TEST(SvgCorpus, InkscapeLayers) {
  const SvgScene s = fromCorpus("inkscape-layers.svg");
  EXPECT_NEAR(s.pageWidth, 595.2756, 1e-3);
  EXPECT_NEAR(s.pageHeight, 841.8898, 1e-3);
  ASSERT_EQ(s.nodes.size(), 6u);
  const double mm = 72 / 25.4;
  const SvgNode& rect = named(s, "rect1");
  EXPECT_EQ(rect.parent, 0);
  EXPECT_EQ(s.nodes[0].name, "layer1");
  EXPECT_PT(rect.subpaths[0].segments[0].p, 20 * mm, (297 - 20) * mm);
  EXPECT_NEAR(rect.style.strokeWidth, 0.5 * mm, 1e-4);
  EXPECT_EQ(rect.style.join, QX_JOIN_ROUND);
  EXPECT_NEAR(rect.style.dash.array[0], 2 * mm, 1e-4);
  EXPECT_NEAR(rect.style.dash.offset, 0.5 * mm, 1e-4);
  const SvgNode& ellipse = named(s, "path2");
  EXPECT_EQ(ellipse.style.fill.color.kind, QX_COLOR_GRADIENT);
  EXPECT_NEAR(ellipse.style.fill.firstStop.c.rgb.green, 0.4, 1e-3);  // #ff6600 through href
  const SvgNode& wave = named(s, "path3");
  ASSERT_EQ(wave.subpaths[0].segments.size(), 3u);
  EXPECT_EQ(wave.subpaths[0].segments[1].corner, 0);  // the s command joins smoothly
  EXPECT_EQ(wave.style.cap, QX_CAP_ROUND);
  const SvgNode& layer2 = named(s, "layer2");
  EXPECT_EQ(layer2.opacity, 0.5);
  const SvgNode& star = named(s, "path4");
  EXPECT_EQ(star.effectiveOpacity, 0.5);
  // rotate(90 about 150,100), then the layer's translate(10,-5).
  EXPECT_PT(star.subpaths[0].segments[1].p, (150 - 34.641016 + 10) * mm, (297 - 75) * mm);
  EXPECT_TRUE(hasWarning(s, "text is not imported; 1 text element skipped"));
  EXPECT_EQ(s.warnings.size(), 1u);
}

TEST(SvgCorpus, IllustratorClasses) {
  const SvgScene s = fromCorpus("illustrator-classes.svg");
  EXPECT_NEAR(s.pageWidth, 150, 1e-9);  // the viewBox in px
  EXPECT_NEAR(s.pageHeight, 75, 1e-9);
  EXPECT_TRUE(s.warnings.empty());
  const auto paths = ofKind(s, SvgNodeKind::Path);
  ASSERT_GE(paths.size(), 5u);
  const SvgNode& rect = *paths[0];
  EXPECT_EQ(rect.style.fill.color.c.rgb.red, 1.0f);
  EXPECT_EQ(rect.style.stroke.color.kind, QX_COLOR_RGB);
  EXPECT_EQ(rect.style.miterLimit, 10);
  EXPECT_PT(rect.subpaths[0].segments[0].p, 7.5, 67.5);
  EXPECT_NEAR(paths[1]->style.strokeWidth, 1.5, 1e-6);
  EXPECT_EQ(paths[1]->style.join, QX_JOIN_ROUND);
  EXPECT_EQ(paths[2]->style.fill.color.kind, QX_COLOR_GRADIENT);
  EXPECT_EQ(paths[2]->style.fill.firstStop.c.rgb.blue, 1.0f);  // white
  EXPECT_EQ(paths[3]->opacity, 0.5);
  const auto compounds = ofKind(s, SvgNodeKind::CompoundPath);
  ASSERT_EQ(compounds.size(), 1u);
  EXPECT_TRUE(compounds[0]->style.evenOdd);
  // The switch picks the group, not the foreignObject.
  EXPECT_EQ(ofKind(s, SvgNodeKind::Path).back()->style.fill.color.c.rgb.red, 1.0f);
  EXPECT_EQ(ofKind(s, SvgNodeKind::Path).back()->subpaths[0].segments.size(), 4u);
}

TEST(SvgCorpus, BrowserPercentages) {
  const SvgScene s = fromCorpus("browser-percent.svg");
  EXPECT_NEAR(s.pageWidth, 300, 1e-9);
  EXPECT_NEAR(s.pageHeight, 225, 1e-9);
  const auto& background = named(s, "background").subpaths[0].segments;
  EXPECT_PT(background[2].p, 300, 0);
  // The symbol's circle: centre (30,30), radius 20 in the file.
  const SvgNode& dot1 = named(s, "dot1");
  const SvgNode& circle = s.nodes[static_cast<size_t>(&dot1 - s.nodes.data()) + 1];
  EXPECT_PT(circle.subpaths[0].segments[0].p, 50 * 0.75, 225 - 30 * 0.75);
  EXPECT_NEAR(circle.style.fill.color.c.rgb.red, 70 / 255.0, 1e-3);  // steelblue from the group
  EXPECT_NEAR(circle.style.strokeWidth, 4 * 4 * 0.75, 1e-4);
  const SvgNode& dot2 = named(s, "dot2");
  EXPECT_NEAR(s.nodes[static_cast<size_t>(&dot2 - s.nodes.data()) + 1].style.fill.color.c.rgb.green, 99 / 255.0, 1e-3);
  EXPECT_EQ(named(s, "sun").style.fill.color.kind, QX_COLOR_GRADIENT);
  EXPECT_NEAR(named(s, "sun").style.fill.firstStop.c.rgb.green, 215 / 255.0, 1e-3);  // gold
  EXPECT_EQ(named(s, "tile").style.fill.color.kind, QX_COLOR_PATTERN);
  EXPECT_NEAR(named(s, "tile").style.fill.firstStop.c.rgb.red, 0x66 / 255.0, 1e-3);  // rebeccapurple
  EXPECT_EQ(named(s, "rule").style.dash.length, 6);
  EXPECT_EQ(named(s, "photo").kind, SvgNodeKind::Placed);
  EXPECT_EQ(named(s, "pixel").kind, SvgNodeKind::Raster);
  EXPECT_EQ(named(s, "pixel").data.size(), 69u);
  EXPECT_TRUE(s.warnings.empty());
}

TEST(SvgCorpus, QuelvixOwnFileReadsBack) {
  // Written by `quelvix render --seed 7 --fresh`: the art runs past the page,
  // so the viewBox grows and the page sits at (514, 304) of it.
  const SvgScene s = fromCorpus("quelvix-own.svg");
  ASSERT_TRUE(s.seed.has_value());
  EXPECT_EQ(*s.seed, 7u);
  EXPECT_NEAR(s.pageWidth, 1126, 1e-9);
  EXPECT_NEAR(s.pageHeight, 1096, 1e-9);
  ASSERT_TRUE(s.documentPage.has_value());
  EXPECT_NEAR(s.documentPage->x, 514, 1e-9);
  EXPECT_NEAR(s.documentPage->y, 304, 1e-9);
  EXPECT_NEAR(s.documentPage->width, 612, 1e-9);
  EXPECT_NEAR(s.documentPage->height, 792, 1e-9);
  // The page outline is not art; the one path is, with the writer's numbers
  // back in document coordinates once the page's corner is taken off.
  const auto paths = ofKind(s, SvgNodeKind::Path);
  ASSERT_EQ(paths.size(), 1u);
  const auto& seg = paths[0]->subpaths[0].segments;
  ASSERT_EQ(seg.size(), 101u);
  EXPECT_FALSE(paths[0]->subpaths[0].closed);
  const auto doc = [&](size_t i) { return QxRealPoint{seg[i].p.x - 514, seg[i].p.y - 304}; };
  EXPECT_PT(doc(0), 0, 0);
  EXPECT_PT(doc(1), -70, 0);
  EXPECT_PT(doc(3), 0, 70);
  EXPECT_PT(doc(8), -70, -70);
  EXPECT_PT(doc(100), -350, 490);
  EXPECT_PT(seg[1].in, seg[1].p.x, seg[1].p.y);
  EXPECT_EQ(paths[0]->style.fill.color.kind, QX_COLOR_NONE);
  EXPECT_EQ(paths[0]->style.stroke.color.kind, QX_COLOR_RGB);
  EXPECT_EQ(paths[0]->style.stroke.color.c.rgb.red, 0.0f);
  EXPECT_NEAR(paths[0]->style.strokeWidth, 12, 1e-6);
  EXPECT_TRUE(s.warnings.empty());
}

}  // namespace
}  // namespace qx::host
