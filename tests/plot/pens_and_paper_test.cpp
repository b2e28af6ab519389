// Pens from colours and from a pen file, and where the art lands on paper.
#include <gtest/gtest.h>

#include "host/document/color_values.h"
#include "host/plot/page_layout.h"
#include "host/plot/pens.h"
#include "plot_test_support.h"

namespace qx::plot::test {
namespace {

TEST(Pens, AFileNamesNumberNameColourAndWidth) {
  std::vector<Pen> pens;
  std::string why;
  ASSERT_TRUE(parsePens("# pens\n\n1 black #000000 0.3\n  7\tred #C81E1E 0.5\r\n", &pens, &why)) << why;
  ASSERT_EQ(pens.size(), 2u);
  EXPECT_EQ(pens[1].number, 7);
  EXPECT_EQ(pens[1].name, "red");
  EXPECT_EQ(pens[1].color, (host::Srgb8{200, 30, 30}));
  EXPECT_DOUBLE_EQ(pens[1].widthMm, 0.5);
}

TEST(Pens, ABadLineIsNamedByItsNumber) {
  std::vector<Pen> pens;
  std::string why;
  const struct {
    const char* text;
    const char* reason;
  } bad[] = {{"1 black #000000\n", "line 1: a pen is four words"},
             {"1 a #000000 0.3\n0 b #000000 0.3\n", "line 2: the pen number \"0\""},
             {"1 a #00000 0.3\n", "the colour \"#00000\" is not #rrggbb"},
             {"1 a #000000 -1\n", "the width \"-1\""},
             {"1 a #000000 0.3\n1 b #ffffff 0.3\n", "line 2: pen 1 is named twice"},
             {"# nothing\n", "it names no pen"}};
  for (const auto& b : bad) {
    EXPECT_FALSE(parsePens(b.text, &pens, &why)) << b.text;
    EXPECT_NE(why.find(b.reason), std::string::npos) << why;
  }
  EXPECT_FALSE(readPenFile("/nonexistent/pens.txt", &pens, &why));
  EXPECT_EQ(why.rfind("/nonexistent/pens.txt: ", 0), 0u) << why;
}

TEST(Pens, ColoursGoToTheNearestPenOfAFile) {
  PenMap map({{1, "black", {0, 0, 0}, 0.3}, {2, "red", {200, 30, 30}, 0.5}}, 0.3);
  EXPECT_EQ(map.penFor({10, 10, 10}), 0u);
  EXPECT_EQ(map.penFor({255, 0, 0}), 1u);
  EXPECT_EQ(map.penFor({150, 90, 80}), 1u);
  EXPECT_EQ(map.pens().size(), 2u);
}

TEST(Pens, WithoutAFileEachColourIsAPenAndNearColoursShareOne) {
  PenMap map({}, 0.4);
  EXPECT_EQ(map.penFor({0, 0, 0}), 0u);
  EXPECT_EQ(map.penFor({255, 0, 0}), 1u);
  EXPECT_EQ(map.penFor({3, 2, 2}), 0u);  // a step from black
  EXPECT_EQ(map.penFor({0, 0, 255}), 2u);
  ASSERT_EQ(map.pens().size(), 3u);
  EXPECT_EQ(map.pens()[0].name, "black");
  EXPECT_EQ(map.pens()[1].name, "#ff0000");
  EXPECT_DOUBLE_EQ(map.pens()[2].widthMm, 0.4);
}

TEST(Pens, PlotLayersFollowFirstUseFromTheBottomOrAFilesNumbers) {
  Document d;
  addLine(d.art(), {0, 0}, {100, 0}, rgbStroke(0, 0, 1, false));
  addLine(d.art(), {0, 10}, {100, 10}, rgbStroke(1, 0, 0, false));
  addLine(d.art(), {0, 20}, {100, 20}, rgbStroke(0, 0, 1, false));
  addLine(d.art(), {0, 30}, {100, 30}, rgbStroke(0.3, 0.3, 0.3, false));
  QxPathStyle none = style(false);
  none.stroke.color.kind = QX_COLOR_NONE;  // no stroke at all
  addLine(d.art(), {0, 40}, {100, 40}, none);
  Plot plot = plotOf(d);
  ASSERT_EQ(plot.layers.size(), 3u);
  EXPECT_EQ(plot.layers[0].pen.name, "#0000ff");
  EXPECT_EQ(plot.layers[0].strokes.size(), 2u);
  EXPECT_EQ(plot.layers[1].pen.name, "#ff0000");
  EXPECT_EQ(plot.layers[2].pen.number, 3);
  PlotOptions o;
  o.pens = {{4, "dark", {0, 0, 0}, 0.3}, {2, "warm", {255, 0, 0}, 0.3}};
  plot = plotOf(d, o);
  ASSERT_EQ(plot.layers.size(), 2u);
  EXPECT_EQ(plot.layers[0].pen.number, 2);  // red alone
  EXPECT_EQ(plot.layers[0].strokes.size(), 1u);
  EXPECT_EQ(plot.layers[1].pen.number, 4);  // blue and dark gray are nearer black
  EXPECT_EQ(plot.layers[1].strokes.size(), 3u);
}

TEST(Paper, NamedSizesAndMillimetres) {
  Paper p;
  std::string why;
  ASSERT_TRUE(parsePaper("A4", &p, &why));
  EXPECT_EQ(p.widthMm, 210);
  EXPECT_EQ(p.heightMm, 297);
  ASSERT_TRUE(parsePaper("letter", &p, &why));
  EXPECT_DOUBLE_EQ(p.widthMm, 215.9);
  ASSERT_TRUE(parsePaper("300x200mm", &p, &why));
  EXPECT_EQ(p.widthMm, 300);
  EXPECT_EQ(p.heightMm, 200);
  for (const char* bad : {"a5", "300x", "x200mm", "0x10mm", "-3x4mm", "3x4cm"}) {
    EXPECT_FALSE(parsePaper(bad, &p, &why)) << bad;
    EXPECT_NE(why.find("--paper"), std::string::npos);
  }
}

TEST(Paper, ArtIsPlacedOneToOneFittedOrTurned) {
  Box art;
  art.add(Point{100, 100});
  art.add(Point{820, 460});  // 720 x 360 pt: 254 x 127 mm, landscape
  Placement p;
  std::string why;
  ASSERT_TRUE(placeArt(art, PageOptions(), &p, &why));
  EXPECT_NEAR(p.sheet.widthMm, 254, 1e-9);
  EXPECT_NEAR(p.toPaper({100, 100}).x, 0, 1e-9);
  EXPECT_NEAR(p.toPaper({820, 460}).y, 127, 1e-9);

  PageOptions a4;
  a4.paper = Paper{210, 297};
  ASSERT_TRUE(placeArt(art, a4, &p, &why));  // 1:1, centred, overhanging
  EXPECT_NEAR(p.toPaper({460, 280}).x, 105, 1e-9);
  EXPECT_NEAR(p.toPaper({460, 280}).y, 148.5, 1e-9);

  a4.fit = true;
  a4.marginMm = 10;
  ASSERT_TRUE(placeArt(art, a4, &p, &why));
  EXPECT_NEAR(p.toPaper({100, 100}).x, 10, 1e-9);
  EXPECT_NEAR(p.toPaper({820, 460}).x, 200, 1e-9);
  EXPECT_FALSE(p.rotated);

  a4.rotate = true;  // landscape takes the wide art larger
  ASSERT_TRUE(placeArt(art, a4, &p, &why));
  EXPECT_TRUE(p.rotated);
  EXPECT_EQ(p.sheet.widthMm, 297);
  EXPECT_NEAR(p.mmPerPoint, 277.0 / 720, 1e-12);
  EXPECT_NEAR(p.toPaper({460, 280}).y, 105, 1e-9);

  a4.marginMm = 105;
  EXPECT_FALSE(placeArt(art, a4, &p, &why));
  EXPECT_NE(why.find("--margin"), std::string::npos);
  PageOptions fitOnly;
  fitOnly.fit = true;
  EXPECT_FALSE(placeArt(art, fitOnly, &p, &why));
  EXPECT_NE(why.find("--fit needs a --paper"), std::string::npos);
}

TEST(Paper, BadOptionsAreRefusedBeforeAnyWork) {
  Document d;
  addLine(d.art(), {0, 0}, {100, 0});
  Plot plot;
  std::string why;
  PlotOptions o;
  o.toleranceMm = 0;
  EXPECT_FALSE(makePlot(d, o, &plot, &why));
  EXPECT_NE(why.find("--tolerance"), std::string::npos);
  o = PlotOptions();
  o.hatchSpacingMm = 0.001;
  EXPECT_FALSE(makePlot(d, o, &plot, &why));
  EXPECT_NE(why.find("--hatch"), std::string::npos);
}

}  // namespace
}  // namespace qx::plot::test
