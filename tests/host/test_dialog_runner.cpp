// The headless runner: user actions reach the plug-in's procedures in order
// and as real events, refused actions cancel the run, and the error dialog,
// the about box and alerts come out as text.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "host/dialogs/dialog_manager.h"
#include "host/dialogs/scripted_runner.h"
#include "host/document/document.h"
#include "host/suites/host_context.h"

namespace qx::host {
namespace {

DialogManager* g_manager = nullptr;
std::vector<std::string>* g_events = nullptr;

// A notify procedure like the settings dialog's change reaction: the
// default handling first, then it reads the item.
void reactingNotify(QxItemRef ref, QxNotifierRef notifier) {
  Item* item = g_manager->item(ref);
  g_manager->defaultNotify(*item, *g_manager->notification(notifier));
  std::ostringstream e;
  e << "notify " << item->id() << " = " << item->value();
  g_events->push_back(e.str());
}

QxBool adjusterTrack(QxItemRef ref, QxTrackerRef tracker) {
  TrackEvent* t = g_manager->tracker(tracker);
  std::ostringstream e;
  e << "track " << g_manager->item(ref)->id() << " at " << t->point.h << "," << t->point.v << " flags " << t->modifiers;
  g_events->push_back(e.str());
  return 1;
}

QxRect box() { return QxRect{0, 0, 10, 10}; }

// A small settings dialog built the way the plug-in builds its own.
QxErr initSettings(QxDialogRef ref) {
  Dialog* d = g_manager->dialog(ref);
  d->setSize(530, 325);
  Item* spin = d->createItem(4, ItemKind::SpinEdit, box());
  spin->setMinValue(1, true);
  spin->setMaxValue(3000, true);
  spin->setValue(100);
  Item* check = d->createItem(3, ItemKind::TextCheckBox, box());
  check->setText("Preview");
  check->setBooleanValue(true);
  Item* popup = d->createItem(36, ItemKind::PopupList, box());
  for (int i = 0; i < 3; ++i) {
    ListEntry* e = popup->insertEntry(i);
    e->id = i;
    e->text = " Mode " + std::to_string(i);
  }
  popup->selectIndex(0);
  Item* locked = d->createItem(5, ItemKind::SpinEdit, box());
  locked->enable(false);
  d->createItem(60, ItemKind::TextPushButton, box())->setText("Shuffle");
  d->createItem(2, ItemKind::TextPushButton, box())->setText("Cancel");
  d->createItem(91, ItemKind::PicturePushButton, box());
  Item* adjuster = d->createItem(160, ItemKind::PicturePushButton, box());
  adjuster->setTrackProc(adjusterTrack);
  for (const auto& item : d->items())
    if (item->id() != 160) item->setNotifyProc(reactingNotify);
  return 0;
}

DialogTemplate settingsTemplate() {
  DialogTemplate t;
  t.id = 16100;
  t.caption = "Quelvix Plug-in";
  t.cx = 228;
  t.cy = 166;
  return t;
}

class ScriptedRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_manager = &manager_;
    g_events = &events_;
    manager_.setRunner(&runner_);
    savedDocument_ = hostContext().document;
    hostContext().document = nullptr;
  }
  void TearDown() override {
    hostContext().document = savedDocument_;
    g_manager = nullptr;
    g_events = nullptr;
  }

  int32_t run(std::vector<DialogAction> actions) {
    runner_.setActions(std::move(actions));
    int32_t hit = -1;
    EXPECT_EQ(manager_.runModal(settingsTemplate(), nullptr, "Quelvix", initSettings, nullptr, &hit), 0);
    return hit;
  }
  const ItemState& state(int32_t id) {
    for (const ItemState& s : runner_.lastState())
      if (s.id == id) return s;
    static ItemState none;
    ADD_FAILURE() << "no item " << id;
    return none;
  }

  DialogManager manager_;
  std::ostringstream out_, err_;
  ScriptedRunner runner_{out_, err_};
  std::vector<std::string> events_;
  Document* savedDocument_ = nullptr;
};

TEST_F(ScriptedRunnerTest, ActionsReachTheProceduresInOrderAsEvents) {
  runner_.setViewMapper([](QxRealPoint p, QxPoint* v) {
    *v = QxPoint{int32_t(p.x * 2), int32_t(p.y * 3)};
    return true;
  });
  int32_t hit = run({DialogAction::setValue(4, 5000),  // clamped before the notification
                     DialogAction::toggle(3), DialogAction::chooseText(36, "mode 2"), DialogAction::chooseId(36, 1),
                     DialogAction::press(60), DialogAction::drag(160, {10, 20}), DialogAction::drag(160, {1, 1}, 0),
                     DialogAction::press(91), DialogAction::confirm()});
  EXPECT_EQ(hit, kItemOk);
  EXPECT_FALSE(runner_.failed()) << runner_.error();
  EXPECT_EQ(events_, (std::vector<std::string>{"notify 4 = 3000", "notify 3 = 0", "notify 36 = 2", "notify 36 = 1",
                                               "notify 60 = 0", "track 160 at 20,60 flags 32",
                                               "track 160 at 2,3 flags 0", "notify 91 = 0"}));
  EXPECT_EQ(state(4).value, 3000);
  EXPECT_FALSE(state(3).booleanValue);
  EXPECT_EQ(state(36).activeEntry, 1);
  EXPECT_EQ(runner_.lastCaption(), "Quelvix Plug-in");
  EXPECT_TRUE(runner_.ranSettingsDialog());
}

TEST_F(ScriptedRunnerTest, NoActionsConfirmsAfterInitialisationAndActionsAreUsedOnce) {
  EXPECT_EQ(run({DialogAction::cancel()}), kItemCancel);
  EXPECT_EQ(events_, (std::vector<std::string>{"notify 2 = 0"}));  // through the Cancel button
  events_.clear();
  EXPECT_EQ(run({}), kItemOk);
  EXPECT_TRUE(events_.empty());
  EXPECT_EQ(state(4).value, 100);
  EXPECT_EQ(runner_.modalRuns(), 2);
}

TEST_F(ScriptedRunnerTest, SetCheckedClicksOnlyWhenTheBoxDiffers) {
  run({DialogAction::setChecked(3, true), DialogAction::setChecked(3, false), DialogAction::setChecked(3, false)});
  EXPECT_EQ(events_, (std::vector<std::string>{"notify 3 = 0"}));
  EXPECT_FALSE(state(3).booleanValue);
}

TEST_F(ScriptedRunnerTest, RefusedActionsCancelTheRunAndNameTheProblem) {
  struct Case {
    DialogAction action;
    std::string error;
  };
  const std::vector<Case> cases = {
      {DialogAction::press(77), "control 77 does not exist"},
      {DialogAction::setValue(3, 1), "control 3 is not a spin edit"},
      {DialogAction::toggle(4), "control 4 is not a check box"},
      {DialogAction::press(4), "control 4 is not a button"},
      {DialogAction::chooseIndex(4, 0), "control 4 is not a popup list"},
      {DialogAction::setValue(5, 2), "control 5 is disabled"},
      {DialogAction::chooseIndex(36, 3), "control 36: entry 3 does not exist (3 entries)"},
      {DialogAction::chooseText(36, "Mode 9"), "control 36: entry \"Mode 9\" does not exist (3 entries)"},
      {DialogAction::chooseId(36, -1), "control 36: entry id -1 does not exist (3 entries)"},
      {DialogAction::setValue(4, std::nan("")), "control 4: the value is not a number"},
      {DialogAction::drag(160, {1e12f, 0}), "control 160: the point 1e+12,0 lies outside the view"},
  };
  for (const Case& c : cases) {
    events_.clear();
    EXPECT_EQ(run({DialogAction::toggle(3), c.action, DialogAction::toggle(3)}), kItemCancel) << c.error;
    EXPECT_EQ(runner_.error(), c.error);
    EXPECT_EQ(runner_.failedAction(), 1);
    EXPECT_EQ(events_.size(), 1u) << "nothing after the refused action runs: " << c.error;
  }
  // A later good run clears the failure.
  run({});
  EXPECT_FALSE(runner_.failed());
}

TEST_F(ScriptedRunnerTest, StrictRangesRefuseInsteadOfClamping) {
  ScriptedRunner strict(out_, err_, ScriptedRunner::Options{.rejectOutOfRange = true});
  manager_.setRunner(&strict);
  strict.setActions({DialogAction::setValue(4, 3001)});
  int32_t hit = 0;
  ASSERT_EQ(manager_.runModal(settingsTemplate(), nullptr, "Quelvix", initSettings, nullptr, &hit), 0);
  EXPECT_EQ(hit, kItemCancel);
  EXPECT_EQ(strict.error(), "control 4: 3001 is outside 1 to 3000");
  strict.setActions({DialogAction::setValue(4, 2.5)});
  ASSERT_EQ(manager_.runModal(settingsTemplate(), nullptr, "Quelvix", initSettings, nullptr, &hit), 0);
  EXPECT_EQ(strict.error(), "control 4: 2.5 is not a whole number (1 to 3000)");
  strict.setActions({DialogAction::setValue(4, 3000)});
  ASSERT_EQ(manager_.runModal(settingsTemplate(), nullptr, "Quelvix", initSettings, nullptr, &hit), 0);
  EXPECT_EQ(hit, kItemOk);
  EXPECT_FALSE(strict.failed());
}

TEST_F(ScriptedRunnerTest, DragsGoThroughTheDocumentViewAndOffTheViewAreRefused) {
  Document document;  // 612 x 792; the view shows the page's top-left corner at pixel 0,0
  runner_.setViewMapper([&document](QxRealPoint p, QxPoint* v) { return document.artworkToView(p, v) == QX_ERR_NONE; });
  run({DialogAction::drag(160, {306, 792}), DialogAction::drag(160, {0, 0})});
  EXPECT_EQ(events_, (std::vector<std::string>{"track 160 at 306,0 flags 32", "track 160 at 0,792 flags 32"}));
  events_.clear();
  run({DialogAction::drag(160, {0, 1e30f})});
  EXPECT_TRUE(runner_.failed());
  EXPECT_TRUE(events_.empty());
}

// ---- Dialogs shown as text ----

struct ErrorTexts {
  const char* message;
  const char* code;
};

QxErr initError(QxDialogRef ref) {
  Dialog* d = g_manager->dialog(ref);
  auto* texts = static_cast<ErrorTexts*>(d->userData());
  d->item(1)->setNotifyProc(reactingNotify);
  d->item(2)->setText(texts->message);
  d->item(3)->setText(texts->code);
  return 0;
}

DialogTemplate errorTemplate() {
  DialogTemplate t;
  t.id = kErrorDialogId;
  t.caption = "Plug-in Error";
  t.items = {{1, "BUTTON", 1, 127, 65, 50, 14, "OK"},
             {2, "STATIC", 0, 43, 12, 126, 28, "Message"},
             {3, "STATIC", 0, 13, 66, 30, 8, "Code"},
             {4, "STATIC", 7, 10, 10, 18, 20, ""}};
  return t;
}

TEST_F(ScriptedRunnerTest, ErrorDialogPrintsMessageAndCodeAndPressesOk) {
  runner_.setActions({DialogAction::cancel()});  // meant for the settings dialog, not this one
  ErrorTexts texts{"The selection is not valid for this filter.", "!sel"};
  int32_t hit = 0;
  ASSERT_EQ(manager_.runModal(errorTemplate(), nullptr, "Error Dialog", initError, &texts, &hit), 0);
  EXPECT_EQ(hit, kItemOk);
  EXPECT_EQ(err_.str(), "Error: The selection is not valid for this filter. (code !sel)\n");
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(events_, (std::vector<std::string>{"notify 1 = 0"}));  // the OK button's procedure ran
  EXPECT_EQ(runner_.actions().size(), 1u);
  EXPECT_FALSE(runner_.ranSettingsDialog());
}

TEST_F(ScriptedRunnerTest, AboutBoxPrintsItsStaticTextsInOrder) {
  DialogTemplate about;
  about.id = kAboutDialogId;
  about.caption = "Quelvix Plug-in About";
  about.items = {{1, "BUTTON", 1, 125, 148, 40, 14, "&OK"},
                 {100, "STATIC", 1, 10, 10, 200, 8, "Quelvix"},
                 {101, "STATIC", 0, 10, 20, 200, 8, "Version 1.0"},
                 {102, "STATIC", 7, 10, 30, 200, 8, ""},  // a frame, not a text line
                 {103, "STATIC", 0, 10, 40, 200, 8, "2024"}};
  int32_t hit = 0;
  ASSERT_EQ(manager_.runModal(about, nullptr, "About Dialog", nullptr, nullptr, &hit), 0);
  EXPECT_EQ(hit, kItemOk);
  EXPECT_EQ(out_.str(), "Quelvix\nVersion 1.0\n2024\n");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(ScriptedRunnerTest, AlertsGoToStandardError) {
  manager_.alert("Suite Loading Error: 1, suite: ADM Item Suite, version: 4!");
  EXPECT_EQ(err_.str(), "Alert: Suite Loading Error: 1, suite: ADM Item Suite, version: 4!\n");
  EXPECT_EQ(runner_.alertsShown().size(), 1u);
}

TEST(DescribeItem, ShowsStateOfEachKind) {
  ItemState spin;
  spin.id = 4;
  spin.kind = ItemKind::SpinEdit;
  spin.typeName = itemTypeName(spin.kind);
  spin.value = 150;
  spin.hasLimits = true;
  spin.minValue = 1;
  spin.maxValue = 3000;
  spin.enabled = false;
  EXPECT_EQ(describeItem(spin), "4 ADM Spin Edit Type visible disabled = 150 [1 to 3000]");
  ItemState popup;
  popup.id = 39;
  popup.kind = ItemKind::PopupList;
  popup.typeName = itemTypeName(popup.kind);
  popup.visible = false;
  popup.entries = {{0, " Circle", 1}, {1, " Square", 2}};
  popup.activeEntry = 1;
  EXPECT_EQ(describeItem(popup), "39 ADM Popup List Type hidden enabled = 1 \" Square\" (2 entries)");
  ItemState check;
  check.id = 3;
  check.kind = ItemKind::TextCheckBox;
  check.typeName = itemTypeName(check.kind);
  check.text = "Preview";
  check.booleanValue = true;
  EXPECT_EQ(describeItem(check), "3 ADM Text Check Box Type visible enabled \"Preview\" = on");
}

}  // namespace
}  // namespace qx::host
