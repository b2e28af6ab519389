// The command line's dialog actions: what is accepted, what is refused and
// how the refusal reads.
#include <gtest/gtest.h>

#include "host/cli/dialog_actions.h"

namespace qx::cli {
namespace {

const ActionLimits kSixSwatches{6};

std::optional<UserAction> parse(std::string_view verb, std::string_view arg, std::string* error = nullptr) {
  std::string ignored;
  return parseAction(verb, arg, kSixSwatches, error ? error : &ignored);
}

std::string refusal(std::string_view verb, std::string_view arg) {
  std::string error;
  EXPECT_FALSE(parse(verb, arg, &error)) << verb << " " << arg << " was accepted";
  EXPECT_EQ(error.find('\n'), std::string::npos) << "not one line: " << error;
  return error;
}

TEST(DialogActions, CheckBoxesTakeZeroOneOnOff) {
  for (auto [text, value] : {std::pair{"1", 1}, {"on", 1}, {"ON", 1}, {"0", 0}, {"off", 0}, {" Off ", 0}}) {
    auto a = parse("set", std::string("lockPoints=") + text);
    ASSERT_TRUE(a) << text;
    EXPECT_EQ(a->kind, ActionKind::SetCheck);
    EXPECT_EQ(a->controlId, 44);
    EXPECT_EQ(a->value, value) << text;
  }
  EXPECT_NE(refusal("set", "lockPoints=2").find("0, 1, on or off"), std::string::npos);
  auto noPreview = parse("no-preview", "");
  ASSERT_TRUE(noPreview);
  EXPECT_EQ(noPreview->controlId, 3);
  EXPECT_EQ(noPreview->value, 0);
}

TEST(DialogActions, SpinEditsKeepToTheirRanges) {
  auto sets = parse("set", "lineSets=200");
  ASSERT_TRUE(sets);
  EXPECT_EQ(sets->kind, ActionKind::SetInt);
  EXPECT_EQ(sets->controlId, 6);
  EXPECT_EQ(sets->value, 200);

  const std::string tooMany = refusal("set", "lineSets=201");
  EXPECT_NE(tooMany.find("from 1 to 200"), std::string::npos) << tooMany;
  EXPECT_NE(tooMany.find("--set lineSets=201"), std::string::npos) << tooMany;
  refusal("set", "lineSets=0");
  refusal("set", "lineSets=3.5");  // an integer control
  refusal("set", "lineSets=");

  auto curve = parse("set", "curvatureX=-350");
  ASSERT_TRUE(curve);
  EXPECT_EQ(curve->kind, ActionKind::SetReal);
  EXPECT_EQ(curve->value, -350);
  refusal("set", "curvatureX=-350.5");
  refusal("set", "stepX=nan");
  refusal("set", "stepX=inf");
  refusal("set", "stepX=12abc");

  // Jitter is typed as a real; the dialog stores it truncated.
  auto jitter = parse("set", "jitterX=-2.7");
  ASSERT_TRUE(jitter);
  EXPECT_EQ(jitter->value, -2.7);
}

TEST(DialogActions, SwatchFieldsReachOnePastTheDocumentsLastSwatch) {
  auto last = parse("set", "shapeFillSwatch=6");
  ASSERT_TRUE(last);
  EXPECT_EQ(last->controlId, 32);
  const std::string past = refusal("set", "shapeFillSwatch=7");
  EXPECT_NE(past.find("from 0 to 6"), std::string::npos) << past;
  std::string error;
  EXPECT_FALSE(parseAction("set", "lineStrokeSwatch=3", ActionLimits{2}, &error));
}

TEST(DialogActions, PopupsTakePositionsOrEntryText) {
  auto byText = parse("set", "shapeKind=Stars 1");
  ASSERT_TRUE(byText);
  EXPECT_EQ(byText->kind, ActionKind::ChooseEntry);
  EXPECT_EQ(byText->controlId, 39);
  EXPECT_EQ(byText->value, 11);
  auto loose = parse("set", "shapeKind=  sTaRs 1 ");
  ASSERT_TRUE(loose);
  EXPECT_EQ(loose->value, 11);
  auto byPosition = parse("set", "shapeKind=27");
  ASSERT_TRUE(byPosition);
  EXPECT_EQ(byPosition->value, 27);

  refusal("set", "shapeKind=28");
  const std::string missing = refusal("set", "shapeKind=Stars 9");
  EXPECT_NE(missing.find("\"Stars 6\""), std::string::npos) << "lists the entries: " << missing;

  // The fill list differs from the stroke lists in its first and last entry.
  ASSERT_TRUE(parse("set", "shapeFillMode=No fill color"));
  refusal("set", "shapeFillMode=No stroke color");
  auto stroke = parse("set", "lineStrokeMode=No stroke color");
  ASSERT_TRUE(stroke);
  EXPECT_EQ(stroke->value, 15);
}

TEST(DialogActions, PresetsByPositionOrName) {
  auto byName = parse("preset", "random swatches filled stars / tile");
  ASSERT_TRUE(byName);
  EXPECT_EQ(byName->kind, ActionKind::Preset);
  EXPECT_EQ(byName->controlId, 65);
  EXPECT_EQ(byName->value, 11);
  auto withBlank = parse("preset", " Reset");
  ASSERT_TRUE(withBlank);
  EXPECT_EQ(withBlank->value, 0);
  auto byNumber = parse("preset", "15");
  ASSERT_TRUE(byNumber);
  EXPECT_EQ(byNumber->value, 15);
  auto viaSet = parse("set", "presetIndex=4");
  ASSERT_TRUE(viaSet);
  EXPECT_EQ(viaSet->kind, ActionKind::Preset);

  refusal("preset", "16");
  refusal("preset", "");
  EXPECT_NE(refusal("preset", "Squares").find("\"30-60pt Squares\""), std::string::npos);
}

TEST(DialogActions, AdjustersAndPages) {
  auto drag = parse("adjust", "stepY=10.5,-20");
  ASSERT_TRUE(drag);
  EXPECT_EQ(drag->kind, ActionKind::Adjust);
  EXPECT_EQ(drag->controlId, 163);
  EXPECT_EQ(drag->x, 10.5);
  EXPECT_EQ(drag->y, -20);
  auto angle = parse("adjust", "shapeAngle=0,0");
  ASSERT_TRUE(angle);
  EXPECT_EQ(angle->controlId, 174);

  EXPECT_NE(refusal("adjust", "lineSets=1,1").find("pointsMin"), std::string::npos);
  refusal("adjust", "stepX=1");
  refusal("adjust", "stepX=1,y");
  refusal("adjust", "stepX=1e9,0");

  auto page = parse("page-tab", "3");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->kind, ActionKind::PageTab);
  EXPECT_EQ(page->controlId, 92);
  auto named = parse("set", "dialogPage=settings");
  ASSERT_TRUE(named);
  EXPECT_EQ(named->value, 4);
  refusal("page-tab", "0");
  refusal("page-tab", "5");
}

TEST(DialogActions, UnknownNamesAndVerbsListWhatIsAllowed) {
  const std::string field = refusal("set", "lineSet=3");
  EXPECT_NE(field.find("unknown field \"lineSet\""), std::string::npos) << field;
  EXPECT_NE(field.find("lineSets"), std::string::npos) << field;
  EXPECT_NE(refusal("set", "lineSets").find("NAME=VALUE"), std::string::npos);
  EXPECT_NE(refusal("jump", "").find("tumble"), std::string::npos);
  refusal("tumble", "twice");
}

TEST(DialogActions, ScriptsReadOneActionALine) {
  std::vector<UserAction> actions;
  std::string error;
  ASSERT_TRUE(parseScript("# a drawing\n\nset shapeKind=Stars 1   # the star\n  tumble\r\n--shuffle\n"
                          "preset 200 Angled lattice\nadjust stepX=1,2",
                          "s.txt", kSixSwatches, &actions, &error))
      << error;
  ASSERT_EQ(actions.size(), 5u);
  EXPECT_EQ(actions[0].value, 11);
  EXPECT_EQ(actions[1].kind, ActionKind::Tumble);
  EXPECT_EQ(actions[2].kind, ActionKind::Shuffle);
  EXPECT_EQ(actions[3].value, 4);
  EXPECT_EQ(actions[4].kind, ActionKind::Adjust);

  actions.clear();
  EXPECT_FALSE(parseScript("tumble\n\nset lineSets=900\n", "s.txt", kSixSwatches, &actions, &error));
  EXPECT_EQ(error.rfind("s.txt:3: ", 0), 0u) << error;
}

TEST(DialogActions, NothingFollowsCancel) {
  std::vector<UserAction> actions{*parse("tumble", ""), *parse("cancel", "")};
  std::string error;
  EXPECT_TRUE(checkActionOrder(actions, &error));
  actions.push_back(*parse("shuffle", ""));
  EXPECT_FALSE(checkActionOrder(actions, &error));
  EXPECT_NE(error.find("--shuffle"), std::string::npos) << error;
}

}  // namespace
}  // namespace qx::cli
