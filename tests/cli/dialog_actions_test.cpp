// The command line's dialog actions: what is accepted, what is refused and
// how the refusal reads, checked against the live settings dialog of the
// real plug-in, as the command line reads it when the dialog opens.
#include <gtest/gtest.h>

#include "host/cli/dialog_actions.h"
#include "support/dialog_host.h"

namespace qx::cli {
namespace {

class DialogActions : public test::DialogHost {
 protected:
  void SetUp() override {
    DialogHost::SetUp();
    // Six swatches: the swatch spin edits reach the document's swatch count.
    std::vector<host::Swatch> swatches = doc_.swatches();
    swatches.resize(6);
    doc_.setSwatches(swatches);
    ASSERT_EQ(openAndCancel([this](host::Dialog& dialog) {
                const uint64_t drawsBefore = draws();
                const size_t artBefore = artCount();
                const int32_t pageBefore = live(dialog).dialogPage;
                catalogue_ = DialogCatalogue::read(dialog);
                // Learning the pages draws nothing and leaves the shown page.
                EXPECT_EQ(draws(), drawsBefore);
                EXPECT_EQ(artCount(), artBefore);
                EXPECT_EQ(live(dialog).dialogPage, pageBefore);
              }),
              QX_ERR_STOP);
  }

  std::optional<UserAction> parse(std::string_view verb, std::string_view arg, std::string* error = nullptr) {
    std::string ignored;
    auto planned = parseAction(verb, arg, error ? error : &ignored);
    if (!planned) return std::nullopt;
    return resolveAction(catalogue_, *planned, error ? error : &ignored);
  }

  std::string refusal(std::string_view verb, std::string_view arg) {
    std::string error;
    EXPECT_FALSE(parse(verb, arg, &error)) << verb << " " << arg << " was accepted";
    EXPECT_EQ(error.find('\n'), std::string::npos) << "not one line: " << error;
    return error;
  }

  DialogCatalogue catalogue_;
};

TEST_F(DialogActions, TheCatalogueReadsControlsPagesLabelsAndAdjustersFromTheDialog) {
  ASSERT_EQ(catalogue_.pageCount(), 4);
  EXPECT_EQ(catalogue_.pageName(1), "Lines");
  EXPECT_EQ(catalogue_.pageName(4), "Settings");
  const DialogField* points = catalogue_.find("pointsMin");
  ASSERT_NE(points, nullptr);
  EXPECT_EQ(points->kind, ControlKind::IntSpin);
  EXPECT_EQ(points->page, 1);
  EXPECT_EQ(points->label, "[L] Points (first)");
  EXPECT_EQ(points->max, 3000);
  EXPECT_EQ(points->adjusterId, 160);
  const DialogField* angle = catalogue_.find("shapeAngle");
  ASSERT_NE(angle, nullptr);
  EXPECT_EQ(angle->page, 3);
  EXPECT_EQ(angle->label, "[R] Angle (o) (value)");
  const DialogField* sets = catalogue_.find("lineSets");
  ASSERT_NE(sets, nullptr);
  EXPECT_EQ(sets->label, "Line sets");
  EXPECT_EQ(sets->adjusterId, 0);
  const DialogField* kind = catalogue_.find("shapeKind");
  ASSERT_NE(kind, nullptr);
  EXPECT_EQ(kind->entries.size(), 28u);
  EXPECT_EQ(kind->label, "Shape kind");
  const DialogField* preview = catalogue_.find("preview");
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->page, 0);
  EXPECT_EQ(preview->label, "Preview");
  EXPECT_EQ(catalogue_.find("splitLines")->page, 4);
  EXPECT_NE(catalogue_.button("Tumble"), 0);
  // Every name of the vocabulary is a control of the dialog.
  for (const FieldName& name : fieldNames()) EXPECT_NE(catalogue_.find(name.name), nullptr) << name.name;
}

TEST_F(DialogActions, CheckBoxesTakeZeroOneOnOff) {
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

TEST_F(DialogActions, SpinEditsKeepToTheirRanges) {
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

TEST_F(DialogActions, SwatchFieldsReachOnePastTheDocumentsLastSwatch) {
  auto last = parse("set", "shapeFillSwatch=6");
  ASSERT_TRUE(last);
  EXPECT_EQ(last->controlId, 32);
  const std::string past = refusal("set", "shapeFillSwatch=7");
  EXPECT_NE(past.find("from 0 to 6"), std::string::npos) << past;
}

TEST_F(DialogActions, PopupsTakePositionsOrEntryText) {
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

TEST_F(DialogActions, PresetsByPositionOrName) {
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

TEST_F(DialogActions, AdjustersAndPages) {
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

TEST_F(DialogActions, UnknownNamesAndVerbsListWhatIsAllowed) {
  const std::string field = refusal("set", "lineSet=3");
  EXPECT_NE(field.find("unknown field \"lineSet\""), std::string::npos) << field;
  EXPECT_NE(field.find("lineSets"), std::string::npos) << field;
  EXPECT_NE(refusal("set", "lineSets").find("NAME=VALUE"), std::string::npos);
  EXPECT_NE(refusal("jump", "").find("tumble"), std::string::npos);
  refusal("tumble", "twice");
}

TEST_F(DialogActions, ScriptsReadOneActionALine) {
  std::vector<PlannedAction> planned;
  std::string error;
  ASSERT_TRUE(parseScript("# a drawing\n\nset shapeKind=Stars 1   # the star\n  tumble\r\n--shuffle\n"
                          "preset 200 Angled lattice\nadjust stepX=1,2",
                          "s.txt", &planned, &error))
      << error;
  ASSERT_EQ(planned.size(), 5u);
  std::vector<UserAction> actions;
  for (const PlannedAction& p : planned) {
    auto a = resolveAction(catalogue_, p, &error);
    ASSERT_TRUE(a) << error;
    actions.push_back(*a);
  }
  EXPECT_EQ(actions[0].value, 11);
  EXPECT_EQ(actions[1].kind, ActionKind::Tumble);
  EXPECT_EQ(actions[2].kind, ActionKind::Shuffle);
  EXPECT_EQ(actions[3].value, 4);
  EXPECT_EQ(actions[4].kind, ActionKind::Adjust);

  // A bad form is refused with its line at once; a bad value when the dialog
  // is there to say what it takes, still naming the line.
  planned.clear();
  EXPECT_FALSE(parseScript("tumble\n\nset lineSet=9\n", "s.txt", &planned, &error));
  EXPECT_EQ(error.rfind("s.txt:3: ", 0), 0u) << error;
  planned.clear();
  ASSERT_TRUE(parseScript("tumble\n\nset lineSets=900\n", "s.txt", &planned, &error));
  EXPECT_FALSE(resolveAction(catalogue_, planned[1], &error));
  EXPECT_EQ(error.rfind("s.txt:3: --set lineSets=900: ", 0), 0u) << error;
}

TEST_F(DialogActions, NothingFollowsCancel) {
  std::string error;
  std::vector<PlannedAction> actions{*parseAction("tumble", "", &error), *parseAction("cancel", "", &error)};
  EXPECT_TRUE(checkActionOrder(actions, &error));
  actions.push_back(*parseAction("shuffle", "", &error));
  EXPECT_FALSE(checkActionOrder(actions, &error));
  EXPECT_NE(error.find("--shuffle"), std::string::npos) << error;
}

}  // namespace
}  // namespace qx::cli
