// The dialog manager model: values and limits, popups, the default handling,
// notify and track procedures, dialogs from templates, the modal run and the
// references handed to plug-ins.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/dialogs/dialog_manager.h"
#include "host/dialogs/dialog_runner.h"

namespace qx::host {
namespace {

// What the C procedures below saw; procedures get no closure, so they record
// into this one place.
struct Recorder {
  DialogManager* manager = nullptr;
  std::vector<std::string> events;
  QxErr initAnswer = 0;
  bool callDefault = true;
  int32_t trackModifiers = -1;
  QxPoint trackPoint{};
  QxItemRef destroyedItemRef = nullptr;
  std::string destroyedItemText;
};
Recorder* g_rec = nullptr;

void recordingNotify(QxItemRef ref, QxNotifierRef notifier) {
  Item* item = g_rec->manager->item(ref);
  Notification* n = g_rec->manager->notification(notifier);
  g_rec->events.push_back("notify " + std::to_string(item ? item->id() : -1) + " " + (n ? n->type : "?"));
  if (g_rec->callDefault && item && n) g_rec->manager->defaultNotify(*item, *n);
}

QxBool recordingTrack(QxItemRef ref, QxTrackerRef tracker) {
  Item* item = g_rec->manager->item(ref);
  TrackEvent* t = g_rec->manager->tracker(tracker);
  g_rec->events.push_back("track " + std::to_string(item ? item->id() : -1));
  if (t) {
    g_rec->trackModifiers = t->modifiers;
    g_rec->trackPoint = t->point;
  }
  return 1;
}

QxErr recordingInit(QxDialogRef ref) {
  Dialog* d = g_rec->manager->dialog(ref);
  g_rec->events.push_back(std::string("init ") + (d ? d->name() : "?"));
  if (d) {
    d->setDestroyProc([](QxDialogRef r) {
      Dialog* dd = g_rec->manager->dialog(r);
      g_rec->events.push_back("destroy");
      // Items are still readable while the dialog goes away.
      if (dd && dd->item(2)) g_rec->destroyedItemText = dd->item(2)->text();
    });
    if (Item* item = d->item(2)) g_rec->destroyedItemRef = g_rec->manager->ref(*item);
  }
  return g_rec->initAnswer;
}

class FixedRunner : public DialogRunner {
 public:
  int answer = kItemOk;
  std::vector<std::string> alerts;
  std::function<void(Dialog&)> during;
  int runModal(Dialog& dialog) override {
    g_rec->events.push_back("run");
    if (during) during(dialog);
    return dialog.ended() ? dialog.itemHit() : answer;
  }
  void alert(const std::string& text) override { alerts.push_back(text); }
};

class DialogModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rec_.manager = &manager_;
    g_rec = &rec_;
  }
  void TearDown() override { g_rec = nullptr; }

  Dialog& newDialog() { return manager_.createDialog("Test", 0, nullptr); }
  Item& add(Dialog& d, int32_t id, ItemKind kind) { return *d.createItem(id, kind, QxRect{0, 0, 10, 10}); }

  DialogManager manager_;
  Recorder rec_;
};

// ---- Values and limits ----

TEST_F(DialogModelTest, SpinEditClampsEveryValueIncludingWhenLimitsChange) {
  Dialog& d = newDialog();
  Item& spin = add(d, 4, ItemKind::SpinEdit);
  spin.setValue(5000);  // no limits yet: taken as is
  EXPECT_EQ(spin.value(), 5000);
  spin.setMaxValue(3000, true);  // a limit set after the value pulls it in
  EXPECT_EQ(spin.value(), 3000);
  spin.setMinValue(1, true);
  spin.setValue(0);
  EXPECT_EQ(spin.value(), 1);
  spin.setValue(-1e30);
  EXPECT_EQ(spin.intValue(), 1);
  spin.setValue(1e30);
  EXPECT_EQ(spin.intValue(), 3000);
}

TEST_F(DialogModelTest, IntegerSpinEditTruncatesRealSpinEditKeepsFractions) {
  Dialog& d = newDialog();
  Item& integer = add(d, 4, ItemKind::SpinEdit);
  integer.setMinValue(1, true);
  integer.setMaxValue(3000, true);
  integer.setValue(150.9);
  EXPECT_TRUE(integer.isInteger());
  EXPECT_EQ(integer.value(), 150);
  integer.setValue(-2.7);
  EXPECT_EQ(integer.value(), 1);  // truncated to -2, then clamped

  Item& real = add(d, 37, ItemKind::SpinEdit);
  real.setMinValue(-100, false);
  real.setMaxValue(100, false);
  ASSERT_TRUE(real.setPrecision(2));
  real.setValue(-2.7);
  EXPECT_FALSE(real.isInteger());
  EXPECT_DOUBLE_EQ(real.value(), -2.7);
  EXPECT_EQ(real.intValue(), -2);  // read back as an integer: toward zero

  // Decimals make an integer-limited spin edit a real one.
  ASSERT_TRUE(integer.setPrecision(2));
  integer.setValue(7.25);
  EXPECT_DOUBLE_EQ(integer.value(), 7.25);
}

TEST_F(DialogModelTest, CrossedLimitsAndNanStayDefined) {
  Dialog& d = newDialog();
  Item& spin = add(d, 19, ItemKind::SpinEdit);
  spin.setMinValue(5, true);
  spin.setMaxValue(0, true);  // a swatch count of 0 below a minimum of 5
  spin.setValue(3);
  EXPECT_EQ(spin.value(), 5);
  spin.setValue(std::nan(""));
  EXPECT_EQ(spin.value(), 5);
}

TEST_F(DialogModelTest, PrecisionAndFontAreChecked) {
  Dialog& d = newDialog();
  Item& spin = add(d, 4, ItemKind::SpinEdit);
  EXPECT_TRUE(spin.setPrecision(6));
  EXPECT_FALSE(spin.setPrecision(7));
  EXPECT_FALSE(spin.setPrecision(-1));
  EXPECT_EQ(spin.precision(), 6);
  EXPECT_TRUE(spin.setFont(QX_FONT_DIALOG_BOLD));
  EXPECT_FALSE(spin.setFont(4));
  EXPECT_EQ(spin.font(), QX_FONT_DIALOG_BOLD);
}

TEST_F(DialogModelTest, CheckBoxValueIsItsBoolean) {
  Dialog& d = newDialog();
  Item& box = add(d, 3, ItemKind::TextCheckBox);
  box.setValue(7);
  EXPECT_TRUE(box.booleanValue());
  EXPECT_EQ(box.intValue(), 1);
  box.setBooleanValue(false);
  EXPECT_EQ(box.value(), 0);
}

// ---- Popups ----

TEST_F(DialogModelTest, PopupEntriesInsertSelectAndChooseById) {
  Dialog& d = newDialog();
  Item& popup = add(d, 39, ItemKind::PopupList);
  EXPECT_EQ(popup.insertEntry(1), nullptr);  // past the end
  for (int i = 0; i < 3; ++i) {
    ListEntry* e = popup.insertEntry(i);
    ASSERT_NE(e, nullptr);
    e->id = i;
    e->text = " Entry " + std::to_string(i);
  }
  EXPECT_EQ(popup.activeIndex(), -1);
  EXPECT_EQ(popup.value(), 0);
  ASSERT_TRUE(popup.selectIndex(2));
  EXPECT_EQ(popup.intValue(), 2);
  // Inserting in front keeps the same entry chosen.
  popup.insertEntry(0)->id = 99;
  EXPECT_EQ(popup.activeIndex(), 3);
  EXPECT_EQ(popup.intValue(), 2);
  popup.setValue(99);
  EXPECT_EQ(popup.activeIndex(), 0);
  popup.setValue(12345);  // no such identifier: the choice stays
  EXPECT_EQ(popup.activeIndex(), 0);
  EXPECT_FALSE(popup.selectIndex(4));
  EXPECT_EQ(popup.indexOfText("entry 1"), 2);  // blanks and case aside
  EXPECT_EQ(popup.indexOfText("Entry 9"), -1);
}

TEST(EntryText, AnExactTextWinsOverOneEqualButForBlanksAndCase) {
  const std::vector<ListEntry> entries = {{0, " Stars", 1}, {1, "stars", 2}, {2, " Circles ", 3}};
  EXPECT_EQ(indexOfEntryText(entries, "stars"), 1);
  EXPECT_EQ(indexOfEntryText(entries, "STARS "), 0);
  EXPECT_EQ(indexOfEntryText(entries, "circles"), 2);
  EXPECT_EQ(indexOfEntryText(entries, "Squares"), -1);
  EXPECT_EQ(indexOfEntryText({}, "Stars"), -1);
}

// ---- Default handling, notify and track ----

TEST_F(DialogModelTest, DefaultHandlingOfEachItemKind) {
  Dialog& d = newDialog();
  Item& box = add(d, 3, ItemKind::TextCheckBox);
  Item& popup = add(d, 36, ItemKind::PopupList);
  popup.insertEntry(0)->id = 0;
  popup.insertEntry(1)->id = 1;
  Item& spin = add(d, 4, ItemKind::SpinEdit);
  spin.setValue(12);

  // A notification the program sends carries no click: nothing toggles.
  manager_.notify(box);
  EXPECT_FALSE(box.booleanValue());
  box.setPendingToggle(true);
  manager_.notify(box);
  EXPECT_TRUE(box.booleanValue());
  EXPECT_FALSE(box.pendingToggle());

  popup.setPendingIndex(1);
  manager_.notify(popup);
  EXPECT_EQ(popup.activeIndex(), 1);
  manager_.notify(spin);
  EXPECT_EQ(spin.value(), 12);
  EXPECT_FALSE(d.ended());

  Item& cancel = add(d, 2, ItemKind::TextPushButton);
  Item& ok = add(d, 1, ItemKind::TextPushButton);
  manager_.notify(cancel);
  manager_.notify(ok);  // the first end wins
  EXPECT_TRUE(d.ended());
  EXPECT_EQ(d.itemHit(), kItemCancel);
}

TEST_F(DialogModelTest, CancelIsRecognisedByTextAndOnlyOnButtons) {
  Dialog& d = newDialog();
  Item& message = add(d, 2, ItemKind::TextStatic);  // the error dialog's message
  manager_.notify(message);
  EXPECT_FALSE(d.ended());
  Item& named = add(d, 70, ItemKind::TextPushButton);
  named.setText("Cancel");
  manager_.notify(named);
  EXPECT_EQ(d.itemHit(), kItemCancel);
}

TEST_F(DialogModelTest, NotifyProcRunsInsteadOfDefaultAndPendingPicksAreDropped) {
  Dialog& d = newDialog();
  Item& box = add(d, 24, ItemKind::TextCheckBox);
  Item& popup = add(d, 47, ItemKind::PopupList);
  popup.insertEntry(0);
  popup.insertEntry(1);
  box.setNotifyProc(recordingNotify);
  popup.setNotifyProc(recordingNotify);

  box.setPendingToggle(true);
  manager_.notify(box);
  EXPECT_TRUE(box.booleanValue());  // the procedure handed it to the default

  rec_.callDefault = false;
  box.setPendingToggle(true);
  popup.setPendingIndex(1);
  manager_.notify(box, "Custom Notifier");
  manager_.notify(popup);
  EXPECT_TRUE(box.booleanValue());  // not toggled without the default handling
  EXPECT_EQ(popup.activeIndex(), -1);
  EXPECT_FALSE(box.pendingToggle());
  EXPECT_EQ(popup.pendingIndex(), -1);
  EXPECT_EQ(rec_.events, (std::vector<std::string>{"notify 24 ADM User Changed Notifier", "notify 24 Custom Notifier",
                                                   "notify 47 ADM User Changed Notifier"}));
}

TEST_F(DialogModelTest, TrackerCarriesPointAndFlagsOnlyDuringTheCall) {
  Dialog& d = newDialog();
  Item& adjuster = add(d, 160, ItemKind::PicturePushButton);
  EXPECT_FALSE(manager_.track(adjuster, TrackEvent{{1, 2}, QX_MODIFIER_BUTTON_DOWN}));  // host default
  adjuster.setTrackProc(recordingTrack);
  EXPECT_TRUE(manager_.track(adjuster, TrackEvent{{-5, 300}, QX_MODIFIER_BUTTON_DOWN}));
  EXPECT_EQ(rec_.trackModifiers, QX_MODIFIER_BUTTON_DOWN);
  EXPECT_EQ(rec_.trackPoint.h, -5);
  EXPECT_EQ(rec_.trackPoint.v, 300);
  EXPECT_TRUE(manager_.track(adjuster, TrackEvent{{0, 0}, 0}));
  EXPECT_EQ(rec_.trackModifiers, 0);
}

// ---- References ----

TEST_F(DialogModelTest, ReferencesAreCheckedByKindAndGoStaleWithTheirDialog) {
  Dialog& d = newDialog();
  Item& popup = add(d, 39, ItemKind::PopupList);
  Item& spin = add(d, 4, ItemKind::SpinEdit);
  popup.insertEntry(0)->id = 5;
  QxDialogRef dref = manager_.ref(d);
  QxItemRef iref = manager_.ref(popup);
  QxListRef lref = manager_.listRef(popup);
  QxEntryRef eref = manager_.ref(popup, *popup.entryAt(0));
  ASSERT_TRUE(dref && iref && lref && eref);
  EXPECT_EQ(manager_.listRef(spin), nullptr);
  EXPECT_EQ(manager_.ref(popup), iref);  // the same reference every time
  EXPECT_EQ(manager_.ref(popup, *popup.entryAt(0)), eref);
  EXPECT_EQ(manager_.entry(eref).second->id, 5);

  // A reference of one kind is no reference of another.
  EXPECT_EQ(manager_.item(reinterpret_cast<QxItemRef>(dref)), nullptr);
  EXPECT_EQ(manager_.dialog(reinterpret_cast<QxDialogRef>(iref)), nullptr);
  EXPECT_EQ(manager_.list(reinterpret_cast<QxListRef>(iref)), nullptr);
  EXPECT_EQ(manager_.item(reinterpret_cast<QxItemRef>(uintptr_t{0x1234567})), nullptr);
  EXPECT_EQ(manager_.item(nullptr), nullptr);

  manager_.destroy(d);
  EXPECT_EQ(manager_.dialog(dref), nullptr);
  EXPECT_EQ(manager_.item(iref), nullptr);
  EXPECT_EQ(manager_.list(lref), nullptr);
  EXPECT_EQ(manager_.entry(eref).first, nullptr);

  // A new dialog (perhaps at the same address) never answers to old references.
  Dialog& again = newDialog();
  add(again, 39, ItemKind::PopupList);
  EXPECT_EQ(manager_.dialog(dref), nullptr);
  EXPECT_EQ(manager_.item(iref), nullptr);
}

TEST_F(DialogModelTest, NotifierAndTrackerReferencesDieWithTheirCall) {
  Dialog& d = newDialog();
  Item& button = add(d, 60, ItemKind::TextPushButton);
  static QxNotifierRef kept = nullptr;
  kept = nullptr;
  button.setNotifyProc([](QxItemRef, QxNotifierRef n) { kept = n; });
  manager_.notify(button);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(manager_.notification(kept), nullptr);
}

// ---- Templates and the modal run ----

DialogTemplate errorTemplate() {
  DialogTemplate t;
  t.id = 16051;
  t.caption = "Plug-in Error";
  t.fontName = "MS Sans Serif";
  t.fontPointSize = 8;
  t.cx = 185;
  t.cy = 92;
  t.items = {{1, "BUTTON", 0x1, 127, 65, 50, 14, "OK"},    {2, "STATIC", 0x0, 43, 12, 126, 28, "Message"},
             {3, "static", 0x0, 13, 66, 30, 8, "Code"},    {4, "STATIC", 0x7, 10, 10, 18, 20, ""},
             {5, "BUTTON", 0x3, 0, 0, 10, 10, "Box"},      {6, "COMBOBOX", 0, 0, 0, 10, 10, ""},
             {7, "msctls_trackbar32", 0, 0, 0, 10, 10, ""}};
  return t;
}

TEST_F(DialogModelTest, TemplateBecomesDialogInPixels) {
  Dialog& d = manager_.createFromTemplate(errorTemplate(), "Error Dialog", nullptr);
  EXPECT_EQ(d.caption(), "Plug-in Error");
  EXPECT_EQ(d.fontName(), "MS Sans Serif");
  EXPECT_TRUE(d.fromTemplateItems());
  // 185 x 92 dialog units: x * 1.5, y * 1.625.
  EXPECT_EQ(d.width(), 278);   // 277.5 rounds up
  EXPECT_EQ(d.height(), 150);  // 149.5 rounds up
  ASSERT_EQ(d.items().size(), 7u);
  const Item* ok = d.item(1);
  EXPECT_EQ(ok->kind(), ItemKind::TextPushButton);
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_EQ(ok->bounds().left, 191);    // 127 * 1.5 = 190.5
  EXPECT_EQ(ok->bounds().top, 106);     // 65 * 1.625 = 105.6
  EXPECT_EQ(ok->bounds().right, 266);   // 177 * 1.5 = 265.5
  EXPECT_EQ(ok->bounds().bottom, 128);  // 79 * 1.625 = 128.4
  EXPECT_EQ(d.item(2)->kind(), ItemKind::TextStatic);
  EXPECT_EQ(d.item(3)->kind(), ItemKind::TextStatic);
  EXPECT_EQ(d.item(4)->kind(), ItemKind::Frame);
  EXPECT_EQ(d.item(5)->kind(), ItemKind::TextCheckBox);
  EXPECT_EQ(d.item(6)->kind(), ItemKind::PopupList);
  EXPECT_EQ(d.item(7)->kind(), ItemKind::User);

  DialogTemplate empty;
  empty.id = 16100;
  empty.caption = "Quelvix Plug-in";
  Dialog& settings = manager_.createFromTemplate(empty, "Quelvix", nullptr);
  EXPECT_FALSE(settings.fromTemplateItems());
  EXPECT_EQ(settings.caption(), "Quelvix Plug-in");
  EXPECT_TRUE(settings.items().empty());
}

TEST_F(DialogModelTest, ModalRunInitRunnerDestroyInOrder) {
  FixedRunner runner;
  runner.answer = 7;
  manager_.setRunner(&runner);
  int data = 42;
  runner.during = [&](Dialog& d) { EXPECT_EQ(d.userData(), &data); };
  int32_t hit = 0;
  ASSERT_EQ(manager_.runModal(errorTemplate(), nullptr, "Error Dialog", recordingInit, &data, &hit), 0);
  EXPECT_EQ(hit, 7);
  EXPECT_EQ(rec_.events, (std::vector<std::string>{"init Error Dialog", "run", "destroy"}));
  EXPECT_EQ(rec_.destroyedItemText, "Message");
  EXPECT_EQ(manager_.item(rec_.destroyedItemRef), nullptr);
  EXPECT_TRUE(manager_.dialogs().empty());
}

TEST_F(DialogModelTest, InitFailureClosesTheDialogAndPassesTheCodeOn) {
  FixedRunner runner;
  manager_.setRunner(&runner);
  rec_.initAnswer = 1234;
  int32_t hit = -1;
  EXPECT_EQ(manager_.runModal(errorTemplate(), nullptr, "E", recordingInit, nullptr, &hit), 1234);
  EXPECT_EQ(hit, -1);
  EXPECT_EQ(rec_.events, (std::vector<std::string>{"init E", "destroy"}));
  EXPECT_TRUE(manager_.dialogs().empty());
}

TEST_F(DialogModelTest, WithoutRunnerModalAnswersOkAndAlertsAreKept) {
  int32_t hit = 0;
  ASSERT_EQ(manager_.runModal(errorTemplate(), nullptr, "E", nullptr, nullptr, &hit), 0);
  EXPECT_EQ(hit, kItemOk);

  FixedRunner runner;
  manager_.setRunner(&runner);
  manager_.alert("Suite Loading Error: 1, suite: X, version: 1!");
  EXPECT_EQ(runner.alerts.size(), 1u);
  EXPECT_EQ(manager_.alerts().back(), "Suite Loading Error: 1, suite: X, version: 1!");
}

TEST_F(DialogModelTest, DialogClosedDuringInitIsNotRun) {
  FixedRunner runner;
  manager_.setRunner(&runner);
  int32_t hit = 0;
  ASSERT_EQ(manager_.runModal(
                errorTemplate(), nullptr, "E",
                [](QxDialogRef r) -> QxErr {
                  g_rec->manager->dialog(r)->endModal(kItemCancel);
                  return 0;
                },
                nullptr, &hit),
            0);
  EXPECT_EQ(hit, kItemCancel);
  EXPECT_TRUE(rec_.events.empty());  // the runner never saw it
}

TEST_F(DialogModelTest, ItemIdentifiersAreUniqueAndSizesNonNegative) {
  Dialog& d = newDialog();
  EXPECT_NE(d.createItem(5, ItemKind::SpinEdit, QxRect{}), nullptr);
  EXPECT_EQ(d.createItem(5, ItemKind::TextStatic, QxRect{}), nullptr);
  EXPECT_FALSE(d.setSize(-1, 10));
  d.setBoundsRect(QxRect{100, 50, 200, 90});
  EXPECT_TRUE(d.setSize(530, 325));
  EXPECT_EQ(d.boundsRect().left, 100);
  EXPECT_EQ(d.boundsRect().right, 630);
  EXPECT_EQ(d.boundsRect().bottom, 375);
}

// A frame kept near the end of the coordinate range has no room for a size
// that would carry its far edge past it: refused, the frame as it was.
TEST_F(DialogModelTest, SizingPastTheEndOfTheCoordinateRangeIsRefused) {
  Dialog& d = newDialog();
  const QxRect atTheEnd{INT32_MAX - 511, INT32_MAX - 400, INT32_MAX, INT32_MAX - 100};
  d.setBoundsRect(atTheEnd);
  EXPECT_FALSE(d.setSize(530, 10));
  EXPECT_FALSE(d.setSize(10, 401));
  EXPECT_EQ(d.boundsRect().right, INT32_MAX);
  EXPECT_EQ(d.boundsRect().bottom, INT32_MAX - 100);
  EXPECT_EQ(d.width(), 511);
  EXPECT_TRUE(d.setSize(511, 400));  // exactly to the end
  EXPECT_EQ(d.boundsRect().right, INT32_MAX);
  EXPECT_EQ(d.boundsRect().bottom, INT32_MAX);
}

TEST(ItemTypeNames, RoundTripAndUnknownRefused) {
  for (const char* name : {"ADM Text Check Box Type", "ADM Spin Edit Type", "ADM Picture Push Button Type",
                           "ADM Text Static Type", "ADM Popup List Type", "ADM Text Push Button Type"}) {
    auto kind = itemKindFromTypeName(name);
    ASSERT_TRUE(kind) << name;
    EXPECT_STREQ(itemTypeName(*kind), name);
  }
  EXPECT_FALSE(itemKindFromTypeName("ADM Spin Edit"));
  EXPECT_FALSE(itemKindFromTypeName(""));
}

}  // namespace
}  // namespace qx::host
