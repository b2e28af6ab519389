// The three outputs read back: the plot SVG by the SVG reader and as a
// picture, HPGL and G-code by small parsers of their own.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "host/document/color_values.h"
#include "host/io/svg_read/svg_import.h"
#include "host/io/text_sink.h"
#include "host/plot/plot_writer.h"
#include "plot_test_support.h"

namespace qx::plot::test {
namespace {

// Two pens: a black circle over a red line, and a blue square.
Document& sample() {
  static Document d;
  static bool made = false;
  if (!made) {
    addLine(d.art(), {0, 100}, {200, 100}, rgbStroke(1, 0, 0, false));
    addCircle(d.art(), {100, 100}, 30);
    addRect(d.art(), 150, 150, 190, 190, rgbStroke(0, 0, 1));
    made = true;
  }
  return d;
}

std::string textOf(const Plot& plot, PlotFormat format, const MachineOptions& machine = MachineOptions()) {
  std::string text;
  {
    host::TextSink sink(text);
    writePlot(sink, plot, format, machine);
  }
  return text;
}

std::string scratch(const std::string& name) { return "/tmp/qx_plot_test." + std::to_string(getpid()) + "." + name; }

TEST(PlotSvg, HasALayerPerPenLabelledWithItsNumberFirst) {
  const Plot plot = plotOf(sample());
  const std::string svg = textOf(plot, PlotFormat::kSvg);
  ASSERT_EQ(plot.layers.size(), 3u);
  // Pens by first use from the bottom: the red line, the black circle, the blue square.
  EXPECT_NE(svg.find("<g inkscape:groupmode=\"layer\" inkscape:label=\"1 #ff0000\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("inkscape:label=\"2 black\""), std::string::npos);
  EXPECT_NE(svg.find("inkscape:label=\"3 #0000ff\""), std::string::npos);
  EXPECT_NE(svg.find("fill=\"none\""), std::string::npos);
  EXPECT_NE(svg.find("stroke-width=\"0.3\""), std::string::npos);
  const std::regex size("width=\"([0-9.]+)mm\" height=\"([0-9.]+)mm\" viewBox=\"0 0 ([0-9.]+) ([0-9.]+)\"");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(svg, m, size));
  EXPECT_NEAR(std::stod(m[1]), 200 * 25.4 / 72, 0.002);  // the art, 1:1
  EXPECT_EQ(m[1], m[3]);
  EXPECT_EQ(m[2], m[4]);
}

TEST(PlotSvg, ReadsBackAsTheSameStrokes) {
  const Plot plot = plotOf(sample());
  const std::string path = scratch("back.svg");
  std::string why;
  ASSERT_TRUE(writePlotFile(path, plot, PlotFormat::kSvg, MachineOptions(), &why)) << why;
  std::unique_ptr<Document> back = host::readSvgDocument(path, &why);
  std::remove(path.c_str());
  ASSERT_TRUE(back) << why;
  // The reader takes millimetres to points; y runs down the sheet in SVG, up in the plot.
  std::vector<host::ArtInfo> paths;
  std::vector<QxArtHandle> stack = back->art().topLevelArt();
  while (!stack.empty()) {
    const QxArtHandle art = stack.back();
    stack.pop_back();
    for (QxArtHandle child : back->art().children(art)) stack.push_back(child);
    host::ArtInfo info;
    if (back->art().describe(art, &info) && info.type == QX_ART_PATH) paths.push_back(info);
  }
  size_t strokes = 0, points = 0;
  for (const PenLayer& layer : plot.layers)
    for (const Polyline& s : layer.strokes) ++strokes, points += s.size();
  ASSERT_EQ(paths.size(), strokes);
  size_t read = 0;
  for (const host::ArtInfo& info : paths) {
    read += info.segments.size();
    EXPECT_FALSE(info.style.fillPaint);
    EXPECT_NEAR(info.style.stroke.width, 0.3 * 72 / 25.4, 0.01);
  }
  EXPECT_EQ(read, points);
}

// An RGBA picture of an SVG file by rsvg-convert, `width` pixels wide.
std::vector<uint8_t> picture(const std::string& svg, int width, int* height) {
  const std::string png = svg + ".png";
  const std::string command = std::string(QX_RSVG_CONVERT) + " -w " + std::to_string(width) + " -b white '" + svg +
                              "' -o '" + png + "'";
  if (std::system(command.c_str()) != 0) return {};
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<uint8_t> pixels;
  if (png_image_begin_read_from_file(&image, png.c_str())) {
    image.format = PNG_FORMAT_GRAY;
    pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) pixels.clear();
    *height = static_cast<int>(image.height);
  }
  std::remove(png.c_str());
  return pixels;
}

TEST(PlotSvg, RendersAsTheVisibleLinesDo) {
  if (std::string(QX_RSVG_CONVERT).empty() || access(QX_RSVG_CONVERT, X_OK) != 0) GTEST_SKIP() << "no rsvg-convert";
  Document& d = sample();
  const Plot plot = plotOf(d);
  const std::string drawn = scratch("drawn.svg"), expected = scratch("expected.svg");
  std::string why;
  ASSERT_TRUE(writePlotFile(drawn, plot, PlotFormat::kSvg, MachineOptions(), &why)) << why;
  // The reference's visible stretches as one black SVG of the same sheet,
  // and the plot's strokes all black too: the same lines, the same picture.
  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << plot.sheet.widthMm << "mm\" height=\""
      << plot.sheet.heightMm << "mm\" viewBox=\"0 0 " << plot.sheet.widthMm << " " << plot.sheet.heightMm
      << "\"><g fill=\"none\" stroke=\"#000000\" stroke-width=\"0.3\" stroke-linecap=\"round\">";
  for (const Stretch& s : referenceVisible(d.art())) {
    const Point a = plot.placement.toPaper(s.a), b = plot.placement.toPaper(s.b);
    svg << "<path d=\"M" << a.x << " " << plot.sheet.heightMm - a.y << "L" << b.x << " " << plot.sheet.heightMm - b.y
        << "\"/>";
  }
  svg << "</g></svg>\n";
  std::ofstream(expected) << svg.str();
  std::string text;
  {
    std::ifstream in(drawn);
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::ofstream(drawn) << std::regex_replace(text, std::regex("stroke=\"#[0-9a-f]{6}\""), "stroke=\"#000000\"");
  int h1 = 0, h2 = 0;
  const std::vector<uint8_t> a = picture(drawn, 800, &h1), b = picture(expected, 800, &h2);
  std::remove(drawn.c_str());
  std::remove(expected.c_str());
  ASSERT_FALSE(a.empty());
  ASSERT_EQ(a.size(), b.size());
  size_t inked = 0, differ = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    inked += a[i] < 128;
    differ += std::abs(int(a[i]) - int(b[i])) > 96;
  }
  EXPECT_GT(inked, 1000u);
  EXPECT_LT(differ, inked / 100) << differ << " of " << inked << " inked pixels differ";
}

// HPGL instructions: two letters and their numbers.
struct Instruction {
  std::string op;
  std::vector<long> args;
};
std::vector<Instruction> parseHpgl(const std::string& text) {
  std::vector<Instruction> out;
  std::istringstream in(text);
  std::string chunk;
  while (std::getline(in, chunk, ';')) {
    chunk.erase(0, chunk.find_first_not_of("\n"));
    if (chunk.empty()) continue;
    Instruction i{chunk.substr(0, 2), {}};
    std::istringstream numbers(chunk.substr(2));
    for (std::string n; std::getline(numbers, n, ',');) i.args.push_back(std::stol(n));
    out.push_back(i);
  }
  return out;
}

TEST(PlotHpgl, SelectsEachPenAndDrawsInPlotterUnits) {
  const Plot plot = plotOf(sample());
  const std::vector<Instruction> hpgl = parseHpgl(textOf(plot, PlotFormat::kHpgl));
  ASSERT_FALSE(hpgl.empty());
  EXPECT_EQ(hpgl.front().op, "IN");
  EXPECT_EQ(hpgl.back().op, "SP");
  EXPECT_EQ(hpgl.back().args, std::vector<long>{0});
  std::vector<long> pens;
  size_t penUps = 0;
  long maxX = 0, maxY = 0;
  for (const Instruction& i : hpgl) {
    if (i.op == "SP" && !i.args.empty() && i.args[0] != 0) pens.push_back(i.args[0]);
    if (i.op == "PU" && !i.args.empty()) ++penUps;
    if (i.op == "PU" || i.op == "PD") {
      ASSERT_EQ(i.args.size() % 2, 0u) << i.op;
      for (size_t k = 0; k < i.args.size(); k += 2) maxX = std::max(maxX, i.args[k]), maxY = std::max(maxY, i.args[k + 1]);
    } else {
      EXPECT_TRUE(i.op == "IN" || i.op == "SP") << i.op;
    }
  }
  EXPECT_EQ(pens, (std::vector<long>{1, 2, 3}));
  EXPECT_EQ(penUps, plot.stats.strokes);
  // 40 units a millimetre, inside the sheet.
  EXPECT_NEAR(maxX, plot.sheet.widthMm * 40, 1);
  EXPECT_NEAR(maxY, plot.sheet.heightMm * 40, 1);
  // The line's left end is the art's left edge: x 0 at y 100 pt.
  const long y = std::lround(plot.placement.toPaper({0, 100}).y * 40);
  bool found = false;
  for (const Instruction& i : hpgl)
    for (size_t k = 0; k + 1 < i.args.size(); k += 2) found = found || (i.args[k] == 0 && i.args[k + 1] == y);
  EXPECT_TRUE(found);
}

TEST(PlotGcode, MovesInMillimetresWithThePenLiftedBetweenStrokes) {
  const Plot plot = plotOf(sample());
  MachineOptions machine;
  machine.drawSpeed = 30;
  std::istringstream in(textOf(plot, PlotFormat::kGcode, machine));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find(" ;")));
  ASSERT_GT(lines.size(), 4u);
  EXPECT_EQ(lines[1], "G21");
  EXPECT_EQ(lines[2], "G90");
  EXPECT_EQ(lines.back(), "M2");
  size_t travels = 0, pauses = 0, downs = 0;
  bool penDown = false;
  const std::regex move("(G[01]) X(-?[0-9.]+) Y(-?[0-9.]+)( F([0-9.]+))?");
  for (const std::string& line : lines) {
    std::smatch m;
    if (line == "G0 Z5") penDown = false;
    if (line == "G1 Z0 F1800") penDown = true, ++downs;
    if (line.rfind("M0", 0) == 0) ++pauses;
    if (!std::regex_match(line, m, move)) continue;
    const double x = std::stod(m[2]), y = std::stod(m[3]);
    EXPECT_GE(x, -0.001);
    EXPECT_LE(x, plot.sheet.widthMm + 0.001);
    EXPECT_LE(y, plot.sheet.heightMm + 0.001);
    if (m[1] == "G0") {
      ++travels;
      EXPECT_FALSE(penDown) << "travel with the pen down";
    } else {
      EXPECT_TRUE(penDown) << "drawing with the pen up: " << line;
      if (m[5].matched) {
        EXPECT_EQ(m[5], "1800");
      }
    }
  }
  EXPECT_EQ(travels, plot.stats.strokes + 1);  // and home at the end
  EXPECT_EQ(downs, plot.stats.strokes);
  EXPECT_EQ(pauses, plot.layers.size() - 1);
}

TEST(PlotGcode, TakesTheMachinesOwnPenCommands) {
  const Plot plot = plotOf(sample());
  MachineOptions machine;
  machine.penUp = "M3 S0";
  machine.penDown = "M3 S90";
  const std::string gcode = textOf(plot, PlotFormat::kGcode, machine);
  EXPECT_EQ(gcode.find("Z"), std::string::npos);
  size_t downs = 0;
  for (size_t at = 0; (at = gcode.find("M3 S90\n", at)) != std::string::npos; ++at) ++downs;
  EXPECT_EQ(downs, plot.stats.strokes);
}

TEST(PlotWriter, FormatsFollowTheExtension) {
  EXPECT_EQ(plotFormatFor("a.svg"), PlotFormat::kSvg);
  EXPECT_EQ(plotFormatFor("a.HPGL"), PlotFormat::kHpgl);
  EXPECT_EQ(plotFormatFor("a.plt"), PlotFormat::kHpgl);
  EXPECT_EQ(plotFormatFor("a.gcode"), PlotFormat::kGcode);
  EXPECT_EQ(plotFormatFor("a.nc"), PlotFormat::kGcode);
  EXPECT_FALSE(plotFormatFor("a.png"));
  EXPECT_FALSE(plotFormatFor("svg"));
}

TEST(PlotWriter, NumbersAreShortAndRounded) {
  const auto text = [](double v, int decimals) {
    std::string s;
    {
      host::TextSink sink(s);
      writeFixed(sink, v, decimals);
    }
    return s;
  };
  EXPECT_EQ(text(12.5, 3), "12.5");
  EXPECT_EQ(text(-3, 3), "-3");
  EXPECT_EQ(text(-0.0001, 3), "0");
  EXPECT_EQ(text(0.0005, 3), "0.001");
  EXPECT_EQ(text(1.23456, 3), "1.235");
  EXPECT_EQ(text(-1.05, 1), "-1.1");
  EXPECT_EQ(text(1800, 1), "1800");
}

}  // namespace
}  // namespace qx::plot::test
