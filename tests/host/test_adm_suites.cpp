// The "ADM" dialog suites as a plug-in sees them: argument checks, stale
// references, notifications and trackers through the C interface, and the
// instrumentation every operation carries.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "host/dialogs/dialog_manager.h"
#include "host/suites/all_suites.h"
#include "host/suites/host_context.h"
#include "host/suites/instrument.h"
#include "host/suites/suite_registry.h"
#include "qx_adm.h"
#include "qx_names.h"

namespace qx::host {
namespace {

const QxAdmDialogSuite* g_dlg = nullptr;
const QxAdmItemSuite* g_item = nullptr;
const QxAdmListSuite* g_list = nullptr;
const QxAdmEntrySuite* g_entry = nullptr;
const QxAdmTrackerSuite* g_tracker = nullptr;
const QxAdmNotifierSuite* g_notifier = nullptr;
const QxAdmIconSuite* g_icon = nullptr;

class AdmSuitesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerAdmDialogSuites(registry_);
    g_dlg = static_cast<const QxAdmDialogSuite*>(registry_.find(QX_ADM_DIALOG_SUITE, 3));
    g_item = static_cast<const QxAdmItemSuite*>(registry_.find(QX_ADM_ITEM_SUITE, 4));
    g_list = static_cast<const QxAdmListSuite*>(registry_.find(QX_ADM_LIST_SUITE, 1));
    g_entry = static_cast<const QxAdmEntrySuite*>(registry_.find(QX_ADM_ENTRY_SUITE, 2));
    g_tracker = static_cast<const QxAdmTrackerSuite*>(registry_.find(QX_ADM_TRACKER_SUITE, 1));
    g_notifier = static_cast<const QxAdmNotifierSuite*>(registry_.find(QX_ADM_NOTIFIER_SUITE, 1));
    g_icon = static_cast<const QxAdmIconSuite*>(registry_.find(QX_ADM_ICON_SUITE, 1));
    ASSERT_TRUE(g_dlg && g_item && g_list && g_entry && g_tracker && g_notifier && g_icon);
    saved_ = hostContext();
    hostContext().dialogs = &manager_;
    hostContext().plugins = nullptr;
    dialog_ = manager_.ref(manager_.createDialog("Test", 16100, nullptr));
  }
  void TearDown() override {
    clearFaults();
    hostContext().dialogs = saved_.dialogs;
    hostContext().plugins = saved_.plugins;
  }

  QxItemRef create(int32_t id, const char* type) {
    QxRect r{0, 0, 20, 20};
    QxItemRef item = nullptr;
    EXPECT_EQ(g_dlg->CreateItem(dialog_, id, type, &r, &item), 0);
    return item;
  }

  SuiteRegistry registry_;
  DialogManager manager_;
  HostContext saved_;
  QxDialogRef dialog_ = nullptr;
};

TEST_F(AdmSuitesTest, DialogOperationsCheckTheirArguments) {
  QxRect r{0, 0, 10, 10};
  QxItemRef item = nullptr;
  EXPECT_EQ(g_dlg->CreateItem(dialog_, 4, "ADM Slider Type", &r, &item), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_dlg->CreateItem(dialog_, 4, nullptr, &r, &item), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_dlg->CreateItem(dialog_, 4, QX_ITEM_SPIN_EDIT, nullptr, &item), QX_ERR_BAD_PARAM);
  ASSERT_EQ(g_dlg->CreateItem(dialog_, 4, QX_ITEM_SPIN_EDIT, &r, &item), 0);
  EXPECT_EQ(g_dlg->CreateItem(dialog_, 4, QX_ITEM_TEXT_STATIC, &r, &item), QX_ERR_BAD_PARAM);

  QxItemRef found = nullptr;
  ASSERT_EQ(g_dlg->GetItem(dialog_, 4, &found), 0);
  EXPECT_EQ(found, item);
  ASSERT_EQ(g_dlg->GetItem(dialog_, 1, &found), 0);  // no item 1: NULL, no error
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(g_dlg->GetItem(dialog_, 4, nullptr), QX_ERR_BAD_PARAM);

  int record = 0;
  QxUserData data = nullptr;
  ASSERT_EQ(g_dlg->SetUserData(dialog_, &record), 0);
  ASSERT_EQ(g_dlg->GetUserData(dialog_, &data), 0);
  EXPECT_EQ(data, &record);
  EXPECT_EQ(g_dlg->GetUserData(dialog_, nullptr), QX_ERR_BAD_PARAM);

  EXPECT_EQ(g_dlg->Size(dialog_, -1, 5), QX_ERR_BAD_PARAM);
  QxRect bad{10, 10, 5, 20};
  EXPECT_EQ(g_dlg->SetBoundsRect(dialog_, &bad), QX_ERR_BAD_PARAM);
  QxRect huge{INT32_MIN, 0, INT32_MAX, 10};
  EXPECT_EQ(g_dlg->SetBoundsRect(dialog_, &huge), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_dlg->SetBoundsRect(dialog_, nullptr), QX_ERR_BAD_PARAM);
  QxRect where{40, 30, 100, 100};
  ASSERT_EQ(g_dlg->SetBoundsRect(dialog_, &where), 0);
  ASSERT_EQ(g_dlg->Size(dialog_, 530, 325), 0);
  QxRect got{};
  ASSERT_EQ(g_dlg->GetBoundsRect(dialog_, &got), 0);
  EXPECT_EQ(got.left, 40);
  EXPECT_EQ(got.top, 30);
  EXPECT_EQ(got.right, 570);
  EXPECT_EQ(got.bottom, 355);
}

TEST_F(AdmSuitesTest, ModalRefusesWithoutPluginOrWithAnUnknownStyle) {
  int32_t hit = 0;
  EXPECT_EQ(g_dlg->Modal(nullptr, "Quelvix", 16100, QX_DIALOG_MODAL, nullptr, nullptr, &hit), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_dlg->Modal(reinterpret_cast<QxPluginRef>(uintptr_t{16}), "Quelvix", 16100, 1, nullptr, nullptr, &hit),
            QX_ERR_BAD_PARAM);
  EXPECT_EQ(hit, 0);
}

TEST_F(AdmSuitesTest, StaleAndForeignReferencesAreRefusedEverywhere) {
  QxItemRef spin = create(4, QX_ITEM_SPIN_EDIT);
  QxItemRef popup = create(39, QX_ITEM_POPUP_LIST);
  QxListRef list = nullptr;
  ASSERT_EQ(g_item->GetList(popup, &list), 0);
  QxEntryRef entry = nullptr;
  ASSERT_EQ(g_list->InsertEntry(list, 0, &entry), 0);

  manager_.destroy(*manager_.dialog(dialog_));
  int32_t v = 0;
  QxRect r{0, 0, 1, 1};
  QxItemRef out = nullptr;
  EXPECT_EQ(g_dlg->GetItem(dialog_, 4, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_dlg->CreateItem(dialog_, 5, QX_ITEM_SPIN_EDIT, &r, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_dlg->Size(dialog_, 1, 1), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_dlg->SetDestroyProc(dialog_, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->SetIntValue(spin, 3), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->GetIntValue(spin, &v), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->Notify(spin, QX_NOTIFIER_USER_CHANGED), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_list->NumberOfEntries(list, &v), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_entry->GetID(entry, &v), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_entry->Select(entry, 1), QX_ERR_BAD_PARAM);

  // References of one kind passed as another.
  QxItemRef live = nullptr;
  dialog_ = manager_.ref(manager_.createDialog("Again", 0, nullptr));
  live = create(4, QX_ITEM_POPUP_LIST);
  EXPECT_EQ(g_item->Show(reinterpret_cast<QxItemRef>(dialog_), 0), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_list->NumberOfEntries(reinterpret_cast<QxListRef>(live), &v), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->Show(nullptr, 1), QX_ERR_BAD_PARAM);

  // Without a dialog manager every operation refuses.
  hostContext().dialogs = nullptr;
  EXPECT_EQ(g_item->Show(live, 1), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_dlg->Size(dialog_, 1, 1), QX_ERR_BAD_PARAM);
}

TEST_F(AdmSuitesTest, ValuesLimitsAndTextThroughTheSuite) {
  QxItemRef spin = create(4, QX_ITEM_SPIN_EDIT);
  ASSERT_EQ(g_item->SetMinIntValue(spin, 1), 0);
  ASSERT_EQ(g_item->SetMaxIntValue(spin, 3000), 0);
  ASSERT_EQ(g_item->SetFloatValue(spin, 3100.5f), 0);
  int32_t iv = 0;
  ASSERT_EQ(g_item->GetIntValue(spin, &iv), 0);
  EXPECT_EQ(iv, 3000);
  EXPECT_EQ(g_item->SetFloatValue(spin, std::nanf("")), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->SetMinFloatValue(spin, std::nanf("")), QX_ERR_BAD_PARAM);

  QxItemRef jitter = create(37, QX_ITEM_SPIN_EDIT);
  ASSERT_EQ(g_item->SetMinFloatValue(jitter, -100), 0);
  ASSERT_EQ(g_item->SetMaxFloatValue(jitter, 100), 0);
  ASSERT_EQ(g_item->SetPrecision(jitter, 2), 0);
  ASSERT_EQ(g_item->SetFloatValue(jitter, -2.7f), 0);
  QxReal fv = 0;
  ASSERT_EQ(g_item->GetFloatValue(jitter, &fv), 0);
  EXPECT_FLOAT_EQ(fv, -2.7f);
  ASSERT_EQ(g_item->GetIntValue(jitter, &iv), 0);
  EXPECT_EQ(iv, -2);

  EXPECT_EQ(g_item->SetPrecision(jitter, 7), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->SetFont(jitter, 3), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->SetUnits(jitter, 9), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->GetFloatValue(jitter, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->GetBooleanValue(jitter, nullptr), QX_ERR_BAD_PARAM);

  QxItemRef label = create(104, QX_ITEM_TEXT_STATIC);
  EXPECT_EQ(g_item->SetText(label, nullptr), QX_ERR_BAD_PARAM);
  ASSERT_EQ(g_item->SetText(label, "Line sets"), 0);
  char buf[5];
  ASSERT_EQ(g_item->GetText(label, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "Line");  // cut to size - 1
  EXPECT_EQ(g_item->GetText(label, buf, 0), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->GetText(label, nullptr, 5), QX_ERR_BAD_PARAM);

  // Without a text of its own a spin edit shows its value with its decimals.
  char shown[16];
  ASSERT_EQ(g_item->GetText(jitter, shown, sizeof shown), 0);
  EXPECT_STREQ(shown, "-2.70");

  QxListRef list = reinterpret_cast<QxListRef>(uintptr_t{1});
  ASSERT_EQ(g_item->GetList(label, &list), 0);
  EXPECT_EQ(list, nullptr);

  QxBool b = 1;
  ASSERT_EQ(g_item->Show(label, 0), 0);
  ASSERT_EQ(g_item->IsVisible(label, &b), 0);
  EXPECT_EQ(b, 0);
  ASSERT_EQ(g_item->Enable(label, 0), 0);
  ASSERT_EQ(g_item->IsEnabled(label, &b), 0);
  EXPECT_EQ(b, 0);
  int32_t font = -1;
  ASSERT_EQ(g_item->SetFont(label, QX_FONT_DIALOG_BOLD), 0);
  ASSERT_EQ(g_item->GetFont(label, &font), 0);
  EXPECT_EQ(font, QX_FONT_DIALOG_BOLD);
  QxDialogRef owner = nullptr;
  ASSERT_EQ(g_item->GetDialog(label, &owner), 0);
  EXPECT_EQ(owner, dialog_);
}

TEST_F(AdmSuitesTest, PopupEntriesThroughListAndEntrySuites) {
  QxItemRef popup = create(47, QX_ITEM_POPUP_LIST);
  QxListRef list = nullptr;
  ASSERT_EQ(g_item->GetList(popup, &list), 0);
  const char* texts[] = {" No pattern / tile", " Center of document", " Start of document (0,0)"};
  for (int32_t i = 0; i < 3; ++i) {
    QxEntryRef e = nullptr;
    ASSERT_EQ(g_list->InsertEntry(list, i, &e), 0);
    ASSERT_EQ(g_entry->SetID(e, i), 0);
    ASSERT_EQ(g_entry->SetText(e, texts[i]), 0);
  }
  QxEntryRef e = nullptr;
  EXPECT_EQ(g_list->InsertEntry(list, 5, &e), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_list->InsertEntry(list, -1, &e), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_list->IndexEntry(list, 3, &e), QX_ERR_BAD_PARAM);
  int32_t count = 0;
  ASSERT_EQ(g_list->NumberOfEntries(list, &count), 0);
  EXPECT_EQ(count, 3);

  QxEntryRef active = reinterpret_cast<QxEntryRef>(uintptr_t{1});
  ASSERT_EQ(g_list->GetActiveEntry(list, &active), 0);
  EXPECT_EQ(active, nullptr);
  ASSERT_EQ(g_list->IndexEntry(list, 1, &e), 0);
  ASSERT_EQ(g_entry->Select(e, 1), 0);
  ASSERT_EQ(g_list->GetActiveEntry(list, &active), 0);
  EXPECT_EQ(active, e);
  int32_t value = -1;
  ASSERT_EQ(g_item->GetIntValue(popup, &value), 0);
  EXPECT_EQ(value, 1);
  char buf[64];
  ASSERT_EQ(g_entry->GetText(active, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, " Center of document");
  ASSERT_EQ(g_item->GetText(popup, buf, sizeof buf), 0);  // the popup shows its choice
  EXPECT_STREQ(buf, " Center of document");

  // Unchoosing another entry leaves the choice; unchoosing the chosen one clears it.
  QxEntryRef first = nullptr;
  ASSERT_EQ(g_list->IndexEntry(list, 0, &first), 0);
  ASSERT_EQ(g_entry->Select(first, 0), 0);
  ASSERT_EQ(g_list->GetActiveEntry(list, &active), 0);
  EXPECT_EQ(active, e);
  ASSERT_EQ(g_entry->Select(e, 0), 0);
  ASSERT_EQ(g_list->GetActiveEntry(list, &active), 0);
  EXPECT_EQ(active, nullptr);
  EXPECT_EQ(g_entry->SetText(e, nullptr), QX_ERR_BAD_PARAM);
}

// Inside a notify procedure, the notifier answers questions and the default
// handling accepts it; afterwards it is stale.
QxNotifierRef g_keptNotifier = nullptr;
std::string g_seen;

void checkingNotify(QxItemRef item, QxNotifierRef notifier) {
  g_keptNotifier = notifier;
  QxBool isType = 0;
  g_notifier->IsNotifierType(notifier, QX_NOTIFIER_USER_CHANGED, &isType);
  QxItemRef from = nullptr;
  g_notifier->GetItem(notifier, &from);
  int32_t id = 0;
  g_item->GetID(item, &id);
  g_seen += std::to_string(id) + (isType ? " user-changed" : " other") + (from == item ? " same" : " different");
  g_item->DefaultNotify(item, notifier);
}

TEST_F(AdmSuitesTest, NotifyReachesTheProcWithALiveNotifier) {
  g_seen.clear();
  QxItemRef box = create(24, QX_ITEM_TEXT_CHECK_BOX);
  ASSERT_EQ(g_item->SetNotifyProc(box, checkingNotify), 0);
  ASSERT_EQ(g_item->Notify(box, QX_NOTIFIER_USER_CHANGED), 0);
  EXPECT_EQ(g_seen, "24 user-changed same");
  QxBool checked = 1;
  ASSERT_EQ(g_item->GetBooleanValue(box, &checked), 0);
  EXPECT_EQ(checked, 0);  // a notification from the program clicks nothing

  QxBool isType = 0;
  EXPECT_EQ(g_notifier->IsNotifierType(g_keptNotifier, QX_NOTIFIER_USER_CHANGED, &isType), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->DefaultNotify(box, g_keptNotifier), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->DefaultNotify(box, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->Notify(box, nullptr), QX_ERR_BAD_PARAM);

  // The Cancel button's default handling ends the modal run with 2.
  QxItemRef cancel = create(2, QX_ITEM_TEXT_PUSH_BUTTON);
  ASSERT_EQ(g_item->Notify(cancel, QX_NOTIFIER_USER_CHANGED), 0);
  EXPECT_TRUE(manager_.dialog(dialog_)->ended());
  EXPECT_EQ(manager_.dialog(dialog_)->itemHit(), 2);
}

QxTrackerRef g_keptTracker = nullptr;
QxPoint g_point{};
int32_t g_modifiers = 0;
QxBool g_defaultHandled = 1;

QxBool checkingTrack(QxItemRef item, QxTrackerRef tracker) {
  g_keptTracker = tracker;
  g_tracker->GetModifiers(tracker, &g_modifiers);
  g_tracker->GetPoint(tracker, &g_point);
  g_item->DefaultTrack(item, tracker, &g_defaultHandled);
  return 1;
}

TEST_F(AdmSuitesTest, TrackerIsReadableOnlyDuringTracking) {
  QxItemRef adjuster = create(160, QX_ITEM_PICTURE_PUSH_BUTTON);
  ASSERT_EQ(g_item->SetTrackProc(adjuster, checkingTrack), 0);
  Item* item = manager_.item(adjuster);
  ASSERT_TRUE(manager_.track(*item, TrackEvent{{306, 400}, QX_MODIFIER_BUTTON_DOWN}));
  EXPECT_EQ(g_modifiers, QX_MODIFIER_BUTTON_DOWN);
  EXPECT_EQ(g_point.h, 306);
  EXPECT_EQ(g_point.v, 400);
  EXPECT_EQ(g_defaultHandled, 0);
  QxPoint p{};
  EXPECT_EQ(g_tracker->GetPoint(g_keptTracker, &p), QX_ERR_BAD_PARAM);
  EXPECT_EQ(g_item->DefaultTrack(adjuster, g_keptTracker, nullptr), QX_ERR_BAD_PARAM);
}

TEST_F(AdmSuitesTest, IconSizeNeedsAPlugin) {
  int32_t w = 0, h = 0;
  EXPECT_EQ(g_icon->GetIconSize(nullptr, 16051, &w, &h), QX_ERR_BAD_PARAM);
}

TEST_F(AdmSuitesTest, EveryOperationIsCountedAndCanBeMadeToFail) {
  QxItemRef spin = create(4, QX_ITEM_SPIN_EDIT);
  resetCounts();
  ASSERT_EQ(g_item->SetIntValue(spin, 3), 0);
  ASSERT_EQ(g_item->SetIntValue(spin, 4), 0);
  EXPECT_EQ(callCount(QX_ADM_ITEM_SUITE, "SetIntValue"), 2u);
  ASSERT_TRUE(failNthCall(QX_ADM_ITEM_SUITE, "SetIntValue", 1, QX_ERR_OUT_OF_MEMORY));
  EXPECT_EQ(g_item->SetIntValue(spin, 9), QX_ERR_OUT_OF_MEMORY);
  int32_t v = 0;
  ASSERT_EQ(g_item->GetIntValue(spin, &v), 0);
  EXPECT_EQ(v, 4);  // the failed call changed nothing

  // Each suite's operations are registered under their own names.
  for (const char* op : {"Modal", "GetItem", "CreateItem", "GetUserData", "SetUserData", "Size", "GetBoundsRect",
                         "SetBoundsRect", "SetDestroyProc"})
    EXPECT_TRUE(failNthCall(QX_ADM_DIALOG_SUITE, op, 1000, 1)) << op;
  for (const char* op : {"InsertEntry", "IndexEntry", "GetActiveEntry", "NumberOfEntries"})
    EXPECT_TRUE(failNthCall(QX_ADM_LIST_SUITE, op, 1000, 1)) << op;
  for (const char* op : {"SetID", "GetID", "Select", "SetText", "GetText"})
    EXPECT_TRUE(failNthCall(QX_ADM_ENTRY_SUITE, op, 1000, 1)) << op;
  EXPECT_TRUE(failNthCall(QX_ADM_TRACKER_SUITE, "GetModifiers", 1000, 1));
  EXPECT_TRUE(failNthCall(QX_ADM_NOTIFIER_SUITE, "IsNotifierType", 1000, 1));
  EXPECT_TRUE(failNthCall(QX_ADM_ICON_SUITE, "GetIconSize", 1000, 1));
}

}  // namespace
}  // namespace qx::host
