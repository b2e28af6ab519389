// What editors see in the SVG writer's files: one layer holding the art, the
// page as page metadata, an id on every element that no name takes twice,
// and the paint as CSS classes that the reader applies again.
#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "host/document/document.h"
#include "host/io/svg_read/svg_import.h"
#include "host/io/svg_read/svg_reader.h"
#include "host/io/svg_write/svg_writer.h"
#include "test_io_documents.h"

namespace qx::host {
namespace {

using namespace iotest;

std::vector<std::string> matches(const std::string& text, const std::string& pattern) {
  std::vector<std::string> out;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
    out.push_back(it->size() > 1 ? (*it)[1].str() : it->str());
  return out;
}

std::unique_ptr<Document> readBack(const std::string& svg) {
  SvgReadResult read = readSvgText(svg, "t.svg");
  EXPECT_TRUE(read.scene) << read.error;
  if (!read.scene) return nullptr;
  std::string why;
  auto doc = documentFromScene(*read.scene, &why);
  EXPECT_NE(doc, nullptr) << why;
  return doc;
}

TEST(SvgForEditors, OneLayerHoldsTheArtAndThePageIsMetadataInThousandths) {
  Document doc(595.2756f, 841.8898f);  // A4 in points, as a float holds it
  addPath(doc, {corner(-30.5f, 10), corner(700.25f, 20)}, false);
  QxArtHandle group = addContainer(doc, QX_ART_GROUP);
  addPath(doc, {corner(1, 1), corner(2, 2)}, false, nullptr, QX_PLACE_INSIDE_ON_TOP, group);
  const std::string svg = svgText(doc);

  EXPECT_NE(svg.find("xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\""), std::string::npos);
  EXPECT_NE(svg.find("xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\""), std::string::npos);
  EXPECT_EQ(matches(svg, "inkscape:groupmode=\"layer\"").size(), 1u);
  EXPECT_NE(svg.find("inkscape:label=\"Quelvix\" transform=\"matrix(1 0 0 -1 0 841.89)\""), std::string::npos) << svg;
  // Everything drawn is inside the layer, which is the last thing in the file.
  const size_t layer = svg.find("inkscape:groupmode=\"layer\"");
  EXPECT_LT(layer, svg.find("<path "));
  EXPECT_EQ(svg.rfind("</g>\n</g>\n</svg>\n"), svg.size() - 17);

  // The page is metadata, not something drawn.
  EXPECT_EQ(svg.find("<rect"), std::string::npos);
  EXPECT_NE(svg.find("<sodipodi:namedview id=\"quelvix-view\""), std::string::npos);
  EXPECT_NE(svg.find("<inkscape:page id=\"quelvix-page\" x=\"0\" y=\"0\" width=\"595.276\" height=\"841.89\"/>"),
            std::string::npos)
      << svg;
  // No size or view box number has more than three decimals; the box still
  // covers the art and its stroke (the 1 pt mitred stroke may reach 2 past
  // x = -30.5 and 700.25, and below y = 1).
  for (const std::string& number : matches(svg.substr(0, svg.find("<metadata>")), "[0-9]+\\.[0-9]+"))
    EXPECT_LE(number.size() - number.find('.') - 1, 3u) << number;
  EXPECT_NE(svg.find("width=\"734.75pt\" height=\"842.89pt\" viewBox=\"-32.5 0 734.75 842.89\""), std::string::npos)
      << svg.substr(0, 400);

  // The page comes back from the file, and the layer is no group of the document.
  auto back = readBack(svg);
  ASSERT_NE(back, nullptr);
  EXPECT_FLOAT_EQ(back->pageWidth(), 595.276f);
  EXPECT_FLOAT_EQ(back->pageHeight(), 841.89f);
  EXPECT_EQ(back->art().topLevelArt().size(), 2u);
}

TEST(SvgForEditors, AnotherEditorsLayersStayGroups) {
  const std::string svg =
      "<svg xmlns='http://www.w3.org/2000/svg' xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape' "
      "width='100' height='100'><g inkscape:groupmode='layer' inkscape:label='Quelvix' id='l1'>"
      "<rect width='5' height='5'/></g></svg>";
  auto doc = readBack(svg);
  ASSERT_NE(doc, nullptr);
  const auto top = doc->art().topLevelArt();
  ASSERT_EQ(top.size(), 1u) << "without Quelvix's metadata a layer of that name is just a layer";
  ASSERT_TRUE(doc->art().view(top[0]));
  EXPECT_EQ(doc->art().view(top[0])->type, QX_ART_GROUP);
  EXPECT_EQ(doc->artName(top[0]), "l1");
}

TEST(SvgForEditors, EveryElementHasAnIdNoNameTakesTwice) {
  Document doc(200, 100);
  // Names that look like generated ids, a name of the file's own parts, and
  // one name twice (as a file with a repeated id gives).
  QxArtHandle p2 = addPath(doc, {corner(0, 0), corner(1, 1)}, false);
  ASSERT_EQ(doc.setArtName(p2, "p2"), QX_ERR_NONE);
  QxArtHandle g1 = addContainer(doc, QX_ART_GROUP);
  ASSERT_EQ(doc.setArtName(g1, "g1"), QX_ERR_NONE);
  addPath(doc, {corner(3, 3), corner(4, 4)}, false, nullptr, QX_PLACE_INSIDE_ON_TOP, g1);
  QxArtHandle layerName = addPath(doc, {corner(5, 5), corner(6, 6)}, false);
  ASSERT_EQ(doc.setArtName(layerName, "quelvix-layer"), QX_ERR_NONE);
  for (int i = 0; i < 2; ++i) {
    QxArtHandle dup = addPath(doc, {corner(7, 7), corner(8, 8)}, false);
    ASSERT_EQ(doc.setArtName(dup, "twice"), QX_ERR_NONE);
  }
  QxArtHandle group = addContainer(doc, QX_ART_GROUP);
  QxArtHandle compound = addContainer(doc, QX_ART_COMPOUND_PATH, QX_PLACE_INSIDE_ON_TOP, group);
  addPath(doc, {corner(0, 0), corner(10, 0), corner(10, 10)}, true, nullptr, QX_PLACE_INSIDE_ON_TOP, compound);
  addPath(doc, {corner(2, 2), corner(4, 2), corner(4, 4)}, true, nullptr, QX_PLACE_INSIDE_ON_TOP, compound);
  for (int i = 0; i < 3; ++i) addPath(doc, {corner(9, 9), corner(10, 10)}, false);

  const std::string svg = svgText(doc);
  const std::vector<std::string> ids = matches(svg, " id=\"([^\"]*)\"");
  EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), ids.size()) << svg;
  // Every path and group has one: 9 paths (the compound is one), 3 groups
  // with the layer, and the page metadata's two.
  EXPECT_EQ(matches(svg, "<path ").size(), 9u);
  EXPECT_EQ(matches(svg, "<path id=\"").size(), 9u);
  EXPECT_EQ(matches(svg, "<g id=\"").size(), 3u);
  EXPECT_EQ(ids.size(), 14u);
  for (const char* kept : {"p2", "g1", "quelvix-layer", "twice"})
    EXPECT_NE(std::find(ids.begin(), ids.end(), kept), ids.end()) << kept;
  EXPECT_NE(svg.find("<g id=\"quelvix-layer-2\" inkscape:groupmode=\"layer\""), std::string::npos) << svg;

  // Read back, every id is a name, and a second save changes none of them.
  auto back = readBack(svg);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(svgText(*back), svg);
}

TEST(SvgForEditors, EachPaintIsOneClassThatTheReaderApplies) {
  Document doc(200, 100);
  QxPathStyle red = paintStyle(rgbColor(1, 0, 0), rgbColor(0, 0, 1), 3);
  red.stroke.cap = QX_CAP_ROUND;
  red.stroke.dash.length = 2;
  red.stroke.dash.array[0] = 4;
  red.stroke.dash.array[1] = 2;
  QxPathStyle hollow = paintStyle(rgbColor(0, 1, 0), rgbColor(0, 0, 0), 0.5f);
  hollow.fillPaint = 0;
  const float opacities[] = {1, 0.5f, 0.25f, 1};
  for (int i = 0; i < 4; ++i) {
    QxArtHandle a = addPath(doc, {corner(10.f * i, 0), corner(10.f * i + 5, 5)}, false, i % 2 ? &hollow : &red);
    ASSERT_EQ(doc.art().setOpacity(a, opacities[i]), QX_ERR_NONE);
  }
  const std::string svg = svgText(doc);
  EXPECT_EQ(matches(svg, "\\n\\.[a-z]+\\{|<style>\\.[a-z]+\\{").size(), 2u) << svg;
  EXPECT_EQ(matches(svg, "class=\"a\"").size(), 2u);
  EXPECT_EQ(matches(svg, "class=\"b\"").size(), 2u);
  EXPECT_EQ(matches(svg, "<path [^>]*(fill|stroke)=").size(), 0u) << "no paint attributes beside the classes";

  auto back = readBack(svg);
  ASSERT_NE(back, nullptr);
  const auto mine = doc.art().topLevelArt(), theirs = back->art().topLevelArt();
  ASSERT_EQ(theirs.size(), mine.size());
  for (size_t i = 0; i < mine.size(); ++i) {
    const std::optional<ArtView> made = doc.art().view(mine[i]), read = back->art().view(theirs[i]);
    ASSERT_TRUE(made && read) << i;
    EXPECT_EQ(made->opacity, read->opacity) << i;
    const QxPathStyle a = made->style(), b = read->style();
    EXPECT_EQ(a.fillPaint, b.fillPaint) << i;
    EXPECT_EQ(a.strokePaint, b.strokePaint) << i;
    EXPECT_EQ(a.stroke.width, b.stroke.width) << i;
    EXPECT_EQ(a.stroke.cap, b.stroke.cap) << i;
    EXPECT_EQ(a.stroke.dash.length, b.stroke.dash.length) << i;
    if (a.fillPaint) {
      EXPECT_FLOAT_EQ(b.fill.color.c.rgb.red, 1) << i;
    }
  }
}

}  // namespace
}  // namespace qx::host
