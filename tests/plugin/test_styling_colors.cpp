// Fill and stroke colour modes, seen on the art a whole run leaves in the
// document.
#include <gtest/gtest.h>

#include <cstring>

#include "support/generator_host.h"

namespace qx::test {
namespace {

constexpr QxReal kTol = 1e-6f;

class ColorModes : public GeneratorHost {
 protected:
  // One set of `points` steps with a 10-point square at every point: the
  // line is art 0, the shape at colour position p is art 1 + p.
  static FilterParameters shapeRow(int32_t points) {
    FilterParameters p = defaults();
    p.pointsMin = p.pointsMax = points;
    p.shapeKind = 1;
    p.shapeSizeMin = p.shapeSizeMax = 10;
    return p;
  }

  // Run `params` and answer the art it added.
  std::vector<QxArtHandle> run(const FilterParameters& params) {
    const size_t before = doc_.art().topLevelArt().size();
    EXPECT_EQ(go(params), 0);
    return art(before);
  }

  QxColor fillAt(const std::vector<QxArtHandle>& added, int32_t position) {
    return info(added.at(1 + position)).style.fill.color;
  }

  void expectComponents(const QxColor& c, std::array<QxReal, 4> want, int count, const char* what) {
    const auto v = components(c);
    for (int i = 0; i < count; ++i) EXPECT_NEAR(v[i], want[i], kTol) << what << " component " << i;
  }
};

TEST_F(ColorModes, GradationsMoveAProcessFillByPositionOverPeriod) {
  setTemplateFill(color(QX_COLOR_PROCESS, {0.2f, 0.4f, 0.6f, 0.8f}));
  const struct {
    int32_t mode;
    std::array<QxReal, 4> atHalf;
  } cases[] = {
      {1, {0.1f, 0.2f, 0.3f, 0.4f}}, {2, {0.6f, 0.7f, 0.8f, 0.9f}},      {7, {0.15f, 0.3f, 0.45f, 0.6f}},
      {8, {0.5f, 0.5f, 0.5f, 0.5f}}, {14, {0.11f, 0.22f, 0.33f, 0.44f}},
  };
  for (const auto& c : cases) {
    FilterParameters p = shapeRow(10);
    p.shapeFillMode = c.mode;
    const auto added = run(p);
    ASSERT_EQ(added.size(), 12u);
    expectComponents(fillAt(added, 5), c.atHalf, 4, "mode at position 5 of 10");
    expectComponents(fillAt(added, 0), {0.2f, 0.4f, 0.6f, 0.8f}, 4, "position 0 is the template");
  }
}

TEST_F(ColorModes, RgbRunsTheOtherWayAndAlternationsUseEachKindsWhite) {
  setTemplateFill(color(QX_COLOR_RGB, {0.2f, 0.4f, 0.6f, 0}));
  FilterParameters p = shapeRow(10);
  p.shapeFillMode = 1;
  expectComponents(fillAt(run(p), 5), {0.6f, 0.7f, 0.8f}, 3, "RGB to white");
  p.shapeFillMode = 2;
  expectComponents(fillAt(run(p), 5), {0.1f, 0.2f, 0.3f}, 3, "RGB to black");
  p.shapeFillMode = 9;
  auto added = run(p);
  expectComponents(fillAt(added, 1), {1, 1, 1}, 3, "RGB white at an odd position");
  expectComponents(fillAt(added, 2), {0.2f, 0.4f, 0.6f}, 3, "even positions keep the template");

  setTemplateFill(color(QX_COLOR_PROCESS, {0.2f, 0.4f, 0.6f, 0.8f}));
  added = run(p);
  expectComponents(fillAt(added, 3), {0, 0, 0, 0}, 4, "process white");
  p.shapeFillMode = 10;
  expectComponents(fillAt(run(p), 3), {1, 1, 1, 1}, 4, "process black");
  p.shapeFillMode = 12;
  expectComponents(fillAt(run(p), 3), {0.8f, 0.6f, 0.4f, 0.2f}, 4, "inverted");
}

TEST_F(ColorModes, HalfInvertedTakesTwoBranchesAndMidpointSwingsBack) {
  setTemplateFill(color(QX_COLOR_PROCESS, {0.5f, 0.8f, 0.5f, 0.8f}));
  FilterParameters p = shapeRow(10);
  p.shapeFillMode = 13;
  expectComponents(fillAt(run(p), 10), {0.75f, 0.7f, 0.75f, 0.7f}, 4, "mode 13 at the end");
  setTemplateFill(color(QX_COLOR_GRAY, {0.8f}));
  expectComponents(fillAt(run(p), 10), {0.7f}, 1, "gray mode 13");

  setTemplateFill(color(QX_COLOR_PROCESS, {0.4f, 0, 0, 0}));
  p.shapeFillMode = 5;
  const auto added = run(p);
  const QxReal want[] = {0.4f, 0.36f, 0.32f, 0.28f, 0.24f, 0.2f, 0.44f};
  for (int32_t pos = 0; pos <= 6; ++pos) EXPECT_NEAR(components(fillAt(added, pos))[0], want[pos], kTol) << pos;
  EXPECT_NEAR(components(fillAt(added, 10))[0], 0.6f, kTol) << "not clamped, not held at the midpoint";
}

TEST_F(ColorModes, PaintFlagRulesAtPositionZeroAndForPatterns) {
  const QxColor tmpl = color(QX_COLOR_PROCESS, {0.2f, 0.4f, 0.6f, 0.8f});
  setTemplateFill(tmpl, 0);
  for (int32_t mode = 0; mode <= 15; ++mode) {
    if (mode == 3 || mode == 4) continue;  // random: checked elsewhere
    FilterParameters p = shapeRow(1);
    p.shapeFillMode = mode;
    const auto start = info(run(p).at(1));
    expectComponents(start.style.fill.color, {0.2f, 0.4f, 0.6f, 0.8f}, 4, "position 0");
    EXPECT_EQ(start.style.fillPaint != 0, mode == 6 || mode == 11 || mode == 12) << "mode " << mode;
  }

  // Pattern colours pass every component rule untouched; only the paint flag
  // moves, and mode 4 puts a swatch in their place.
  QxColor pattern = color(QX_COLOR_PATTERN, {0, 0, 0, 0});
  pattern.c.pattern.id = 42;
  pattern.c.pattern.scaleX = 3;
  setTemplateFill(pattern, 0);
  for (int32_t mode = 0; mode <= 15; ++mode) {
    FilterParameters p = shapeRow(1);
    p.shapeFillMode = mode;
    const auto odd = info(run(p).at(2)).style;
    if (mode == 4) {
      EXPECT_NE(odd.fill.color.kind, QX_COLOR_PATTERN);
    } else {
      EXPECT_EQ(std::memcmp(&odd.fill.color, &pattern, sizeof pattern), 0) << "mode " << mode;
    }
    const bool painted = mode == 4 || mode == 6 || mode == 11 || mode == 12;
    EXPECT_EQ(odd.fillPaint != 0, painted) << "mode " << mode;
  }
}

TEST_F(ColorModes, SwatchModesSkipTheFirstTwoAndKeepTheTemplateWhenNoSwatchIsFound) {
  doc_.setSwatches({{"[None]", color(QX_COLOR_NONE, {})},
                    {"[Registration]", color(QX_COLOR_PROCESS, {1, 1, 1, 1})},
                    {"Two", color(QX_COLOR_PROCESS, {0.1f, 0.2f, 0.3f, 0.4f})},
                    {"Three", color(QX_COLOR_PROCESS, {0.9f, 0.8f, 0.7f, 0.6f})},
                    {"Four", color(QX_COLOR_RGB, {0.5f, 0.5f, 0.5f, 0})}});
  const std::array<QxReal, 4> tmpl = {0.3f, 0.3f, 0.3f, 0.3f};
  setTemplateFill(color(QX_COLOR_PROCESS, tmpl), 0);
  FilterParameters p = shapeRow(10);
  p.shapeFillMode = 6;
  const struct {
    int32_t index;
    std::array<QxReal, 4> atEnd;
  } toSwatch[] = {{0, {0.1f, 0.2f, 0.3f, 0.4f}},
                  {1, {0.1f, 0.2f, 0.3f, 0.4f}},
                  {3, {0.9f, 0.8f, 0.7f, 0.6f}},
                  {9, tmpl},
                  {-4, {0.1f, 0.2f, 0.3f, 0.4f}}};
  for (const auto& c : toSwatch) {
    p.shapeFillSwatch = c.index;
    const auto added = run(p);
    expectComponents(fillAt(added, 10), c.atEnd, 4, "to swatch");
    EXPECT_NE(info(added.at(11)).style.fillPaint, 0);
  }

  p.shapeFillMode = 11;
  p.shapeFillSwatch = 3;
  auto added = run(p);
  expectComponents(fillAt(added, 1), {0.9f, 0.8f, 0.7f, 0.6f}, 4, "alternate swatch, odd");
  expectComponents(fillAt(added, 2), tmpl, 4, "alternate swatch, even");
  EXPECT_NE(info(added.at(3)).style.fillPaint, 0);

  // Mode 4 draws its swatch after the start shape's four jitter draws:
  // trunc(0.45 x 5) + 1 = 3; trunc(0.95 x 5) + 1 = 5 names no swatch.
  p = shapeRow(0);
  p.shapeFillSteps = 10;
  p.shapeFillMode = 4;
  script({0, 0, 0.25f, 0.25f, 0.25f, 0.25f, 0.45f});
  auto shape = info(run(p).at(1)).style;
  expectComponents(shape.fill.color, {0.9f, 0.8f, 0.7f, 0.6f}, 4, "random swatch 3");
  script({0, 0, 0.25f, 0.25f, 0.25f, 0.25f, 0.95f});
  shape = info(run(p).at(1)).style;
  EXPECT_EQ(shape.fill.color.kind, QX_COLOR_PROCESS);
  expectComponents(shape.fill.color, tmpl, 4, "no swatch at the count");
  EXPECT_NE(shape.fillPaint, 0);
}

TEST_F(ColorModes, RandomColorsDrawOneValuePerComponentAndScaleProcessBlack) {
  FilterParameters p = shapeRow(0);
  p.shapeFillSteps = 10;
  // Draws: points, start size, four jitter draws, the colour, the shape's
  // stroke width, the line's stroke width.
  const std::vector<QxReal> lead = {0, 0, 0.25f, 0.25f, 0.25f, 0.25f};
  const struct {
    QxColor tmpl;
    uint64_t extraDraws;
    std::array<QxReal, 4> want;
  } cases[] = {
      {color(QX_COLOR_PROCESS, {0.9f, 0.9f, 0.9f, 0.5f}), 4, {0.1f, 0.2f, 0.3f, 0.2f}},
      {color(QX_COLOR_PROCESS, {0.9f, 0.9f, 0.9f, 0}), 4, {0.1f, 0.2f, 0.3f, 0}},
      {color(QX_COLOR_GRAY, {0.9f}), 1, {0.1f}},
      {color(QX_COLOR_RGB, {0.9f, 0.9f, 0.9f}), 3, {0.1f, 0.2f, 0.3f}},
      {color(QX_COLOR_SPOT, {0, 0.5f}), 0, {0, 0.5f}},
  };
  for (const auto& c : cases) {
    setTemplateFill(c.tmpl);
    p.shapeFillMode = 0;
    script(lead);
    const uint64_t plain = countDraws([&] { run(p); });

    std::vector<QxReal> values = lead;
    values.insert(values.end(), {0.1f, 0.2f, 0.3f, 0.4f});
    script(values);
    p.shapeFillMode = 3;
    std::vector<QxArtHandle> added;
    EXPECT_EQ(countDraws([&] { added = run(p); }) - plain, c.extraDraws) << "kind " << c.tmpl.kind;
    const auto shape = info(added.at(1));
    EXPECT_EQ(shape.style.fill.color.kind, c.tmpl.kind);
    expectComponents(shape.style.fill.color, c.want, 4, "random colour");
  }
}

TEST_F(ColorModes, PeriodZeroLeavesTheStyleAsItWas) {
  setTemplateFill(color(QX_COLOR_PROCESS, {0.2f, 0.4f, 0.6f, 0.8f}));
  setTemplateStroke(color(QX_COLOR_PROCESS, {0, 0, 0, 1}));
  FilterParameters p = shapeRow(0);  // point count 0: automatic periods are 0
  p.shapeFillMode = 15;
  p.shapeStrokeMode = 15;
  p.lineStrokeMode = 15;
  std::vector<QxArtHandle> added;
  const uint64_t plain = countDraws([&] { added = run(p); });
  EXPECT_NE(info(added.at(1)).style.fillPaint, 0);
  EXPECT_NE(info(added.at(1)).style.strokePaint, 0);
  EXPECT_NE(info(added.at(0)).style.strokePaint, 0) << "one set: the line's period is 0";

  p.shapeFillMode = 4;
  EXPECT_EQ(countDraws([&] { run(p); }), plain) << "mode 4 draws nothing at period 0";
}

TEST_F(ColorModes, LineStrokesStepAcrossSetsAndStrokeModes13And14FollowTheFillRules) {
  setTemplateStroke(color(QX_COLOR_PROCESS, {0.5f, 0, 0, 1}));
  FilterParameters p = defaults();
  p.lineSets = 11;
  p.pointsMin = p.pointsMax = 2;
  p.lineStrokeMode = 1;
  auto lines = run(p);
  ASSERT_EQ(lines.size(), 11u);
  for (int k = 0; k < 11; ++k)
    EXPECT_NEAR(components(info(lines[k]).style.stroke.color)[3], 1 - k / 10.0f, kTol) << "set " << k;

  p.lineStrokeMode = 14;
  lines = run(p);
  EXPECT_NEAR(components(info(lines[5]).style.stroke.color)[3], 0.55f, kTol);
  EXPECT_NEAR(components(info(lines[10]).style.stroke.color)[3], 0.1f, kTol);
  p.lineStrokeMode = 13;
  lines = run(p);
  expectComponents(info(lines[10]).style.stroke.color, {0.75f, 0.5f, 0.5f, 1}, 4, "stroke mode 13");
}

TEST_F(ColorModes, NoStrokeKeepsTheTemplatesStrokeButClearsItsPaint) {
  QxPathStyle style = doc_.art().currentStyle();
  style.stroke.color = color(QX_COLOR_PROCESS, {0.1f, 0.2f, 0.3f, 0.4f});
  style.stroke.dash.length = 2;
  style.stroke.dash.array[0] = 3;
  style.stroke.dash.array[1] = 5;
  style.stroke.join = QX_JOIN_ROUND;
  doc_.art().setCurrentStyle(style);
  FilterParameters p = shapeRow(2);
  p.shapeStrokeMode = 15;
  const auto stroke = info(run(p).at(2)).style;
  EXPECT_EQ(stroke.strokePaint, 0);
  expectComponents(stroke.stroke.color, {0.1f, 0.2f, 0.3f, 0.4f}, 4, "stroke colour kept");
  EXPECT_EQ(stroke.stroke.dash.length, 2);
  EXPECT_EQ(stroke.stroke.dash.array[1], 5);
  EXPECT_EQ(stroke.stroke.join, QX_JOIN_ROUND);
  EXPECT_EQ(stroke.stroke.width, 12) << "the shape's own width comes after the colouring";
}

}  // namespace
}  // namespace qx::test
