#include "support/dialog_host.h"

#include <cstddef>
#include <cstring>

namespace qx::test {

void DialogHost::SetUp() {
  TestHost::SetUp();
  context().document = &doc_;
  context().random = &random_;
  context().dialogs = &dialogs_;
  dialogs_.setRunner(&runner_);
  runner_.setViewMapper([this](QxRealPoint p, QxPoint* v) { return doc_.artworkToView(p, v) == QX_ERR_NONE; });
  ASSERT_EQ(startup(), 0);
  ASSERT_NE(filter(), nullptr);
}

QxErr DialogHost::open(During during, bool confirm) {
  runner_.setOnOpen(std::move(during));
  runner_.setActions({confirm ? Action::confirm() : Action::cancel()});
  return sendFilter("AI Get Parameters");
}

void DialogHost::act(host::Dialog& dialog, const Action& action) {
  std::string why;
  EXPECT_TRUE(runner_.apply(dialog, action, &why)) << why;
}

bool DialogHost::tryAct(host::Dialog& dialog, const Action& action, std::string* why) {
  return runner_.apply(dialog, action, why);
}

const FilterParameters& DialogHost::live(host::Dialog& dialog) {
  return *static_cast<const FilterParameters*>(dialog.userData());
}

host::Item& DialogHost::item(host::Dialog& dialog, int32_t id) {
  host::Item* found = dialog.item(id);
  if (!found) {
    ADD_FAILURE() << "control " << id << " does not exist";
    found = dialog.items().front().get();
  }
  return *found;
}

FilterParameters DialogHost::block() {
  FilterParameters p;
  std::memset(&p, 0, sizeof p);
  auto bytes = host().filterParameters(*filter());
  if (bytes && bytes->size() == sizeof p) std::memcpy(&p, bytes->data(), sizeof p);
  return p;
}

void DialogHost::setBlock(const FilterParameters& params) {
  std::vector<uint8_t> bytes(sizeof params);
  std::memcpy(bytes.data(), &params, sizeof params);
  ASSERT_EQ(host().setFilterParameters(*filter(), bytes), 0);
}

FilterParameters DialogHost::defaults() {
  FilterParameters p;
  std::memset(&p, 0, sizeof p);
  p.preview = 1;
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

void DialogHost::expectSameSettings(FilterParameters got, FilterParameters want) {
  got.reservedWord = want.reservedWord = 0;
  EXPECT_EQ(std::memcmp(&got, &want, offsetof(FilterParameters, finalRun)), 0) << "the settings differ";
}

void DialogHost::script(std::vector<QxReal> values, QxReal fill) {
  values.resize(values.size() + 100000, fill);
  std::string error;
  ASSERT_TRUE(random_.setScript(std::move(values), &error)) << error;
}

uint64_t DialogHost::generatorRuns() { return calls(QX_UNDO_SUITE, "UndoChanges"); }

std::vector<double> DialogHost::drawing() const {
  std::vector<double> numbers;
  for (QxArtHandle art : doc_.art().topLevelArt()) {
    host::ArtInfo info;
    if (!doc_.art().describe(art, &info)) continue;
    numbers.push_back(info.type);
    numbers.push_back(info.opacity);
    for (const QxPathSegment& s : info.segments) {
      numbers.push_back(s.p.x);
      numbers.push_back(s.p.y);
    }
  }
  return numbers;
}

}  // namespace qx::test
