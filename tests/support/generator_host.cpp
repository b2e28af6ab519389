#include "support/generator_host.h"

#include <cstring>
#include <optional>

namespace qx::test {

int AnsweringRunner::runModal(host::Dialog& dialog) {
  templatesRun.push_back(dialog.templateId());
  if (!dialog.fromTemplateItems() && during) during(dialog);
  return answer;
}

int AnsweringRunner::settingsRuns() const {
  int runs = 0;
  for (int32_t id : templatesRun) runs += id == 16100;
  return runs;
}

void GeneratorHost::SetUp() {
  TestHost::SetUp();
  context().document = &doc_;
  context().random = &random_;
  context().dialogs = &dialogs_;
  dialogs_.setRunner(&runner_);
  ASSERT_EQ(startup(), 0);
  ASSERT_NE(filter(), nullptr);
  script({});
}

FilterParameters GeneratorHost::defaults() {
  FilterParameters p;
  std::memset(&p, 0, sizeof p);
  p.viewZoom = 100;
  p.shapeStrokeMin = p.shapeStrokeMax = 12;
  p.lineWidthMin = p.lineWidthMax = 12;
  p.stepX = p.stepY = 70;
  p.minDistance = 10;
  p.distanceFactorX = p.distanceFactorY = 100;
  p.shapeScale = 100;
  p.radiusFactor = 100;
  p.lineStrokeSwatch = p.shapeStrokeSwatch = p.shapeFillSwatch = 2;
  p.lineSets = 1;
  p.dialogPage = 1;
  p.pointsMin = p.pointsMax = 100;
  return p;
}

void GeneratorHost::setBlock(const FilterParameters& params) {
  std::vector<uint8_t> bytes(sizeof params);
  std::memcpy(bytes.data(), &params, sizeof params);
  ASSERT_EQ(host().setFilterParameters(*filter(), bytes), 0);
}

QxErr GeneratorHost::go(FilterParameters params) {
  params.finalRun = 0;
  params.previewDrawn = 0;
  setBlock(params);
  return sendFilter("AI Go");
}

FilterParameters GeneratorHost::block() {
  FilterParameters p;
  std::memset(&p, 0, sizeof p);
  auto bytes = host().filterParameters(*filter());
  if (bytes && bytes->size() == sizeof p) std::memcpy(&p, bytes->data(), sizeof p);
  return p;
}

void GeneratorHost::script(std::vector<QxReal> values, QxReal fill) {
  values.resize(values.size() + 200000, fill);
  std::string error;
  ASSERT_TRUE(random_.setScript(std::move(values), &error)) << error;
}

std::vector<QxArtHandle> GeneratorHost::art(size_t from) const {
  std::vector<QxArtHandle> all = doc_.art().topLevelArt();
  if (from >= all.size()) return {};
  return std::vector<QxArtHandle>(all.begin() + static_cast<std::ptrdiff_t>(from), all.end());
}

ArtFacts GeneratorHost::info(QxArtHandle art) const {
  const std::optional<host::ArtView> view = doc_.art().view(art);
  EXPECT_TRUE(view.has_value()) << "a bad handle";
  if (!view) return {};
  return {view->type,    view->closed,   view->opacity,
          view->style(), view->bounds(), {view->segments.begin(), view->segments.end()}};
}

QxRealPoint GeneratorHost::centre(const ArtFacts& info) {
  const QxRealRect& b = info.bounds;
  return {b.left + (b.right - b.left) / 2, b.bottom + (b.top - b.bottom) / 2};
}

std::array<QxReal, 4> GeneratorHost::components(const QxColor& color) {
  std::array<QxReal, 4> v;
  std::memcpy(v.data(), &color.c, sizeof v);
  return v;
}

QxColor GeneratorHost::color(int32_t kind, std::array<QxReal, 4> values) {
  QxColor c;
  std::memset(&c, 0, sizeof c);
  c.kind = kind;
  std::memcpy(&c.c, values.data(), sizeof values);
  return c;
}

void GeneratorHost::setTemplateFill(const QxColor& fill, QxBool paint) {
  QxPathStyle style = doc_.art().currentStyle();
  style.fill.color = fill;
  style.fillPaint = paint;
  doc_.art().setCurrentStyle(style);
}

void GeneratorHost::setTemplateStroke(const QxColor& stroke, QxBool paint) {
  QxPathStyle style = doc_.art().currentStyle();
  style.stroke.color = stroke;
  style.strokePaint = paint;
  doc_.art().setCurrentStyle(style);
}

}  // namespace qx::test
