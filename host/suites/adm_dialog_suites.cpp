// The "ADM" dialog suites: thin adapters from the C interface onto the
// dialog manager model (host/dialogs). Every operation checks that the host
// has a dialog manager and that each reference is live before touching it.
#include <cmath>
#include <cstring>
#include <string>

#include "host/dialogs/dialog_manager.h"
#include "host/plugins/plugin_host.h"
#include "host/plugins/plugin_resources.h"
#include "host/suites/all_suites.h"
#include "host/suites/host_context.h"
#include "host/suites/instrument.h"
#include "qx_adm.h"
#include "qx_names.h"

namespace qx::host {

namespace {

DialogManager* manager() { return hostContext().dialogs; }

Item* itemOf(QxItemRef ref) {
  DialogManager* m = manager();
  return m ? m->item(ref) : nullptr;
}

Dialog* dialogOf(QxDialogRef ref) {
  DialogManager* m = manager();
  return m ? m->dialog(ref) : nullptr;
}

const PluginResources* resourcesOf(QxPluginRef plugin) {
  PluginHost* plugins = hostContext().plugins;
  if (!plugins) return nullptr;
  const LoadedPlugin* loaded = plugins->fromRef(plugin);
  return loaded ? plugins->resources(loaded) : nullptr;
}

// Copy `text` zero-terminated, cut to size - 1 bytes.
QxErr copyText(const std::string& text, char* buffer, int32_t size) {
  if (!buffer || size < 1) return QX_ERR_BAD_PARAM;
  size_t n = std::min(text.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return QX_ERR_NONE;
}

// ---- "ADM Dialog Suite" ----

const OpId kModal = registerOp(QX_ADM_DIALOG_SUITE, "Modal");
const OpId kGetItem = registerOp(QX_ADM_DIALOG_SUITE, "GetItem");
const OpId kCreateItem = registerOp(QX_ADM_DIALOG_SUITE, "CreateItem");
const OpId kGetUserData = registerOp(QX_ADM_DIALOG_SUITE, "GetUserData");
const OpId kSetUserData = registerOp(QX_ADM_DIALOG_SUITE, "SetUserData");
const OpId kSize = registerOp(QX_ADM_DIALOG_SUITE, "Size");
const OpId kGetBoundsRect = registerOp(QX_ADM_DIALOG_SUITE, "GetBoundsRect");
const OpId kSetBoundsRect = registerOp(QX_ADM_DIALOG_SUITE, "SetBoundsRect");
const OpId kSetDestroyProc = registerOp(QX_ADM_DIALOG_SUITE, "SetDestroyProc");

QxErr Modal(QxPluginRef plugin, const char* name, int32_t dialogId, int32_t style, QxDialogInitProc initProc,
            QxUserData userData, int32_t* itemHit) {
  QX_OP_ENTER(kModal);
  DialogManager* m = manager();
  const PluginResources* resources = resourcesOf(plugin);
  if (!m || !resources || style != QX_DIALOG_MODAL) return QX_ERR_BAD_PARAM;
  std::optional<DialogTemplate> tmpl = resources->dialog(dialogId);
  if (!tmpl) return QX_ERR_BAD_PARAM;
  int32_t hit = 0;
  QxErr err = m->runModal(*tmpl, plugin, name ? name : "", initProc, userData, &hit);
  if (err) return err;
  if (itemHit) *itemHit = hit;
  return QX_ERR_NONE;
}

QxErr GetItem(QxDialogRef dialog, int32_t itemId, QxItemRef* item) {
  QX_OP_ENTER(kGetItem);
  Dialog* d = dialogOf(dialog);
  if (!d || !item) return QX_ERR_BAD_PARAM;
  Item* found = d->item(itemId);
  *item = found ? d->manager().ref(*found) : nullptr;
  return QX_ERR_NONE;
}

QxErr CreateItem(QxDialogRef dialog, int32_t itemId, const char* itemType, const QxRect* bounds,
                 QxItemRef* item) {
  QX_OP_ENTER(kCreateItem);
  Dialog* d = dialogOf(dialog);
  if (!d || !itemType || !bounds) return QX_ERR_BAD_PARAM;
  std::optional<ItemKind> kind = itemKindFromTypeName(itemType);
  if (!kind) return QX_ERR_BAD_PARAM;
  Item* created = d->createItem(itemId, *kind, *bounds);
  if (!created) return QX_ERR_BAD_PARAM;
  if (item) *item = d->manager().ref(*created);
  return QX_ERR_NONE;
}

QxErr GetUserData(QxDialogRef dialog, QxUserData* userData) {
  QX_OP_ENTER(kGetUserData);
  Dialog* d = dialogOf(dialog);
  if (!d || !userData) return QX_ERR_BAD_PARAM;
  *userData = d->userData();
  return QX_ERR_NONE;
}

QxErr SetUserData(QxDialogRef dialog, QxUserData userData) {
  QX_OP_ENTER(kSetUserData);
  Dialog* d = dialogOf(dialog);
  if (!d) return QX_ERR_BAD_PARAM;
  d->setUserData(userData);
  return QX_ERR_NONE;
}

QxErr Size(QxDialogRef dialog, int32_t width, int32_t height) {
  QX_OP_ENTER(kSize);
  Dialog* d = dialogOf(dialog);
  if (!d || !d->setSize(width, height)) return QX_ERR_BAD_PARAM;
  return QX_ERR_NONE;
}

QxErr GetBoundsRect(QxDialogRef dialog, QxRect* bounds) {
  QX_OP_ENTER(kGetBoundsRect);
  Dialog* d = dialogOf(dialog);
  if (!d || !bounds) return QX_ERR_BAD_PARAM;
  *bounds = d->boundsRect();
  return QX_ERR_NONE;
}

QxErr SetBoundsRect(QxDialogRef dialog, const QxRect* bounds) {
  QX_OP_ENTER(kSetBoundsRect);
  Dialog* d = dialogOf(dialog);
  if (!d || !bounds || bounds->right < bounds->left || bounds->bottom < bounds->top) return QX_ERR_BAD_PARAM;
  // The difference of two 32-bit values may not fit in one.
  int64_t width = int64_t{bounds->right} - bounds->left;
  int64_t height = int64_t{bounds->bottom} - bounds->top;
  if (width > INT32_MAX || height > INT32_MAX) return QX_ERR_BAD_PARAM;
  d->setBoundsRect(*bounds);
  return QX_ERR_NONE;
}

QxErr SetDestroyProc(QxDialogRef dialog, QxDialogDestroyProc destroyProc) {
  QX_OP_ENTER(kSetDestroyProc);
  Dialog* d = dialogOf(dialog);
  if (!d) return QX_ERR_BAD_PARAM;
  d->setDestroyProc(destroyProc);
  return QX_ERR_NONE;
}

const QxAdmDialogSuite kDialogSuite = {Modal,         GetItem,       CreateItem,    GetUserData,   SetUserData,
                                       Size,          GetBoundsRect, SetBoundsRect, SetDestroyProc};

// ---- "ADM Item Suite" ----

const OpId kSetNotifyProc = registerOp(QX_ADM_ITEM_SUITE, "SetNotifyProc");
const OpId kSetTrackProc = registerOp(QX_ADM_ITEM_SUITE, "SetTrackProc");
const OpId kDefaultNotify = registerOp(QX_ADM_ITEM_SUITE, "DefaultNotify");
const OpId kDefaultTrack = registerOp(QX_ADM_ITEM_SUITE, "DefaultTrack");
const OpId kNotify = registerOp(QX_ADM_ITEM_SUITE, "Notify");
const OpId kGetDialog = registerOp(QX_ADM_ITEM_SUITE, "GetDialog");
const OpId kGetList = registerOp(QX_ADM_ITEM_SUITE, "GetList");
const OpId kGetID = registerOp(QX_ADM_ITEM_SUITE, "GetID");
const OpId kShow = registerOp(QX_ADM_ITEM_SUITE, "Show");
const OpId kIsVisible = registerOp(QX_ADM_ITEM_SUITE, "IsVisible");
const OpId kEnable = registerOp(QX_ADM_ITEM_SUITE, "Enable");
const OpId kIsEnabled = registerOp(QX_ADM_ITEM_SUITE, "IsEnabled");
const OpId kSetFont = registerOp(QX_ADM_ITEM_SUITE, "SetFont");
const OpId kGetFont = registerOp(QX_ADM_ITEM_SUITE, "GetFont");
const OpId kSetText = registerOp(QX_ADM_ITEM_SUITE, "SetText");
const OpId kGetText = registerOp(QX_ADM_ITEM_SUITE, "GetText");
const OpId kSetUnits = registerOp(QX_ADM_ITEM_SUITE, "SetUnits");
const OpId kSetPrecision = registerOp(QX_ADM_ITEM_SUITE, "SetPrecision");
const OpId kSetBooleanValue = registerOp(QX_ADM_ITEM_SUITE, "SetBooleanValue");
const OpId kGetBooleanValue = registerOp(QX_ADM_ITEM_SUITE, "GetBooleanValue");
const OpId kSetIntValue = registerOp(QX_ADM_ITEM_SUITE, "SetIntValue");
const OpId kGetIntValue = registerOp(QX_ADM_ITEM_SUITE, "GetIntValue");
const OpId kSetFloatValue = registerOp(QX_ADM_ITEM_SUITE, "SetFloatValue");
const OpId kGetFloatValue = registerOp(QX_ADM_ITEM_SUITE, "GetFloatValue");
const OpId kSetMinIntValue = registerOp(QX_ADM_ITEM_SUITE, "SetMinIntValue");
const OpId kSetMaxIntValue = registerOp(QX_ADM_ITEM_SUITE, "SetMaxIntValue");
const OpId kSetMinFloatValue = registerOp(QX_ADM_ITEM_SUITE, "SetMinFloatValue");
const OpId kSetMaxFloatValue = registerOp(QX_ADM_ITEM_SUITE, "SetMaxFloatValue");

QxErr SetNotifyProc(QxItemRef item, QxItemNotifyProc proc) {
  QX_OP_ENTER(kSetNotifyProc);
  Item* i = itemOf(item);
  if (!i) return QX_ERR_BAD_PARAM;
  i->setNotifyProc(proc);
  return QX_ERR_NONE;
}

QxErr SetTrackProc(QxItemRef item, QxItemTrackProc proc) {
  QX_OP_ENTER(kSetTrackProc);
  Item* i = itemOf(item);
  if (!i) return QX_ERR_BAD_PARAM;
  i->setTrackProc(proc);
  return QX_ERR_NONE;
}

QxErr DefaultNotify(QxItemRef item, QxNotifierRef notifier) {
  QX_OP_ENTER(kDefaultNotify);
  Item* i = itemOf(item);
  Notification* n = manager() ? manager()->notification(notifier) : nullptr;
  if (!i || !n) return QX_ERR_BAD_PARAM;
  manager()->defaultNotify(*i, *n);
  return QX_ERR_NONE;
}

QxErr DefaultTrack(QxItemRef item, QxTrackerRef tracker, QxBool* handled) {
  QX_OP_ENTER(kDefaultTrack);
  Item* i = itemOf(item);
  TrackEvent* t = manager() ? manager()->tracker(tracker) : nullptr;
  if (!i || !t) return QX_ERR_BAD_PARAM;
  bool done = manager()->defaultTrack(*i, *t);
  if (handled) *handled = done ? 1 : 0;
  return QX_ERR_NONE;
}

QxErr Notify(QxItemRef item, const char* notifierType) {
  QX_OP_ENTER(kNotify);
  Item* i = itemOf(item);
  if (!i || !notifierType) return QX_ERR_BAD_PARAM;
  manager()->notify(*i, notifierType);
  return QX_ERR_NONE;
}

QxErr GetDialog(QxItemRef item, QxDialogRef* dialog) {
  QX_OP_ENTER(kGetDialog);
  Item* i = itemOf(item);
  if (!i || !dialog) return QX_ERR_BAD_PARAM;
  *dialog = manager()->ref(i->dialog());
  return QX_ERR_NONE;
}

QxErr GetList(QxItemRef item, QxListRef* list) {
  QX_OP_ENTER(kGetList);
  Item* i = itemOf(item);
  if (!i || !list) return QX_ERR_BAD_PARAM;
  *list = manager()->listRef(*i);
  return QX_ERR_NONE;
}

QxErr GetID(QxItemRef item, int32_t* itemId) {
  QX_OP_ENTER(kGetID);
  Item* i = itemOf(item);
  if (!i || !itemId) return QX_ERR_BAD_PARAM;
  *itemId = i->id();
  return QX_ERR_NONE;
}

QxErr Show(QxItemRef item, QxBool show) {
  QX_OP_ENTER(kShow);
  Item* i = itemOf(item);
  if (!i) return QX_ERR_BAD_PARAM;
  i->show(show != 0);
  return QX_ERR_NONE;
}

QxErr IsVisible(QxItemRef item, QxBool* visible) {
  QX_OP_ENTER(kIsVisible);
  Item* i = itemOf(item);
  if (!i || !visible) return QX_ERR_BAD_PARAM;
  *visible = i->visible() ? 1 : 0;
  return QX_ERR_NONE;
}

QxErr Enable(QxItemRef item, QxBool enable) {
  QX_OP_ENTER(kEnable);
  Item* i = itemOf(item);
  if (!i) return QX_ERR_BAD_PARAM;
  i->enable(enable != 0);
  return QX_ERR_NONE;
}

QxErr IsEnabled(QxItemRef item, QxBool* enabled) {
  QX_OP_ENTER(kIsEnabled);
  Item* i = itemOf(item);
  if (!i || !enabled) return QX_ERR_BAD_PARAM;
  *enabled = i->enabled() ? 1 : 0;
  return QX_ERR_NONE;
}

QxErr SetFont(QxItemRef item, int32_t font) {
  QX_OP_ENTER(kSetFont);
  Item* i = itemOf(item);
  if (!i || !i->setFont(font)) return QX_ERR_BAD_PARAM;
  return QX_ERR_NONE;
}

QxErr GetFont(QxItemRef item, int32_t* font) {
  QX_OP_ENTER(kGetFont);
  Item* i = itemOf(item);
  if (!i || !font) return QX_ERR_BAD_PARAM;
  *font = i->font();
  return QX_ERR_NONE;
}

QxErr SetText(QxItemRef item, const char* text) {
  QX_OP_ENTER(kSetText);
  Item* i = itemOf(item);
  if (!i || !text) return QX_ERR_BAD_PARAM;
  i->setText(text);
  return QX_ERR_NONE;
}

QxErr GetText(QxItemRef item, char* buffer, int32_t size) {
  QX_OP_ENTER(kGetText);
  Item* i = itemOf(item);
  if (!i) return QX_ERR_BAD_PARAM;
  return copyText(i->text(), buffer, size);
}

QxErr SetUnits(QxItemRef item, int32_t units) {
  QX_OP_ENTER(kSetUnits);
  Item* i = itemOf(item);
  if (!i || (units != QX_UNITS_NONE && units != QX_UNITS_POINTS)) return QX_ERR_BAD_PARAM;
  i->setUnits(units);
  return QX_ERR_NONE;
}

QxErr SetPrecision(QxItemRef item, int32_t decimals) {
  QX_OP_ENTER(kSetPrecision);
  Item* i = itemOf(item);
  if (!i || !i->setPrecision(decimals)) return QX_ERR_BAD_PARAM;
  return QX_ERR_NONE;
}

QxErr SetBooleanValue(QxItemRef item, QxBool value) {
  QX_OP_ENTER(kSetBooleanValue);
  Item* i = itemOf(item);
  if (!i) return QX_ERR_BAD_PARAM;
  i->setBooleanValue(value != 0);
  return QX_ERR_NONE;
}

QxErr GetBooleanValue(QxItemRef item, QxBool* value) {
  QX_OP_ENTER(kGetBooleanValue);
  Item* i = itemOf(item);
  if (!i || !value) return QX_ERR_BAD_PARAM;
  *value = i->booleanValue() ? 1 : 0;
  return QX_ERR_NONE;
}

QxErr SetIntValue(QxItemRef item, int32_t value) {
  QX_OP_ENTER(kSetIntValue);
  Item* i = itemOf(item);
  if (!i) return QX_ERR_BAD_PARAM;
  i->setValue(value);
  return QX_ERR_NONE;
}

QxErr GetIntValue(QxItemRef item, int32_t* value) {
  QX_OP_ENTER(kGetIntValue);
  Item* i = itemOf(item);
  if (!i || !value) return QX_ERR_BAD_PARAM;
  *value = i->intValue();
  return QX_ERR_NONE;
}

QxErr SetFloatValue(QxItemRef item, QxReal value) {
  QX_OP_ENTER(kSetFloatValue);
  Item* i = itemOf(item);
  if (!i || std::isnan(value)) return QX_ERR_BAD_PARAM;
  i->setValue(value);
  return QX_ERR_NONE;
}

QxErr GetFloatValue(QxItemRef item, QxReal* value) {
  QX_OP_ENTER(kGetFloatValue);
  Item* i = itemOf(item);
  if (!i || !value) return QX_ERR_BAD_PARAM;
  *value = static_cast<QxReal>(i->value());
  return QX_ERR_NONE;
}

QxErr SetMinIntValue(QxItemRef item, int32_t value) {
  QX_OP_ENTER(kSetMinIntValue);
  Item* i = itemOf(item);
  if (!i) return QX_ERR_BAD_PARAM;
  i->setMinValue(value, true);
  return QX_ERR_NONE;
}

QxErr SetMaxIntValue(QxItemRef item, int32_t value) {
  QX_OP_ENTER(kSetMaxIntValue);
  Item* i = itemOf(item);
  if (!i) return QX_ERR_BAD_PARAM;
  i->setMaxValue(value, true);
  return QX_ERR_NONE;
}

QxErr SetMinFloatValue(QxItemRef item, QxReal value) {
  QX_OP_ENTER(kSetMinFloatValue);
  Item* i = itemOf(item);
  if (!i || std::isnan(value)) return QX_ERR_BAD_PARAM;
  i->setMinValue(value, false);
  return QX_ERR_NONE;
}

QxErr SetMaxFloatValue(QxItemRef item, QxReal value) {
  QX_OP_ENTER(kSetMaxFloatValue);
  Item* i = itemOf(item);
  if (!i || std::isnan(value)) return QX_ERR_BAD_PARAM;
  i->setMaxValue(value, false);
  return QX_ERR_NONE;
}

const QxAdmItemSuite kItemSuite = {
    SetNotifyProc,   SetTrackProc,    DefaultNotify,   DefaultTrack,   Notify,         GetDialog,
    GetList,         GetID,           Show,            IsVisible,      Enable,         IsEnabled,
    SetFont,         GetFont,         SetText,         GetText,        SetUnits,       SetPrecision,
    SetBooleanValue, GetBooleanValue, SetIntValue,     GetIntValue,    SetFloatValue,  GetFloatValue,
    SetMinIntValue,  SetMaxIntValue,  SetMinFloatValue, SetMaxFloatValue};

// ---- "ADM List Suite" ----

const OpId kInsertEntry = registerOp(QX_ADM_LIST_SUITE, "InsertEntry");
const OpId kIndexEntry = registerOp(QX_ADM_LIST_SUITE, "IndexEntry");
const OpId kGetActiveEntry = registerOp(QX_ADM_LIST_SUITE, "GetActiveEntry");
const OpId kNumberOfEntries = registerOp(QX_ADM_LIST_SUITE, "NumberOfEntries");

Item* listOf(QxListRef ref) {
  DialogManager* m = manager();
  return m ? m->list(ref) : nullptr;
}

QxErr InsertEntry(QxListRef list, int32_t index, QxEntryRef* entry) {
  QX_OP_ENTER(kInsertEntry);
  Item* l = listOf(list);
  if (!l || !entry) return QX_ERR_BAD_PARAM;
  ListEntry* e = l->insertEntry(index);
  if (!e) return QX_ERR_BAD_PARAM;
  *entry = manager()->ref(*l, *e);
  return QX_ERR_NONE;
}

QxErr IndexEntry(QxListRef list, int32_t index, QxEntryRef* entry) {
  QX_OP_ENTER(kIndexEntry);
  Item* l = listOf(list);
  if (!l || !entry) return QX_ERR_BAD_PARAM;
  ListEntry* e = l->entryAt(index);
  if (!e) return QX_ERR_BAD_PARAM;
  *entry = manager()->ref(*l, *e);
  return QX_ERR_NONE;
}

QxErr GetActiveEntry(QxListRef list, QxEntryRef* entry) {
  QX_OP_ENTER(kGetActiveEntry);
  Item* l = listOf(list);
  if (!l || !entry) return QX_ERR_BAD_PARAM;
  ListEntry* e = l->activeEntry();
  *entry = e ? manager()->ref(*l, *e) : nullptr;
  return QX_ERR_NONE;
}

QxErr NumberOfEntries(QxListRef list, int32_t* count) {
  QX_OP_ENTER(kNumberOfEntries);
  Item* l = listOf(list);
  if (!l || !count) return QX_ERR_BAD_PARAM;
  *count = l->entryCount();
  return QX_ERR_NONE;
}

const QxAdmListSuite kListSuite = {InsertEntry, IndexEntry, GetActiveEntry, NumberOfEntries};

// ---- "ADM Entry Suite" ----

const OpId kEntrySetID = registerOp(QX_ADM_ENTRY_SUITE, "SetID");
const OpId kEntryGetID = registerOp(QX_ADM_ENTRY_SUITE, "GetID");
const OpId kEntrySelect = registerOp(QX_ADM_ENTRY_SUITE, "Select");
const OpId kEntrySetText = registerOp(QX_ADM_ENTRY_SUITE, "SetText");
const OpId kEntryGetText = registerOp(QX_ADM_ENTRY_SUITE, "GetText");

std::pair<Item*, ListEntry*> entryOf(QxEntryRef ref) {
  DialogManager* m = manager();
  return m ? m->entry(ref) : std::pair<Item*, ListEntry*>{nullptr, nullptr};
}

QxErr EntrySetID(QxEntryRef entry, int32_t entryId) {
  QX_OP_ENTER(kEntrySetID);
  auto [list, e] = entryOf(entry);
  if (!e) return QX_ERR_BAD_PARAM;
  e->id = entryId;
  return QX_ERR_NONE;
}

QxErr EntryGetID(QxEntryRef entry, int32_t* entryId) {
  QX_OP_ENTER(kEntryGetID);
  auto [list, e] = entryOf(entry);
  if (!e || !entryId) return QX_ERR_BAD_PARAM;
  *entryId = e->id;
  return QX_ERR_NONE;
}

QxErr EntrySelect(QxEntryRef entry, QxBool select) {
  QX_OP_ENTER(kEntrySelect);
  auto [list, e] = entryOf(entry);
  if (!e) return QX_ERR_BAD_PARAM;
  int32_t index = list->indexOfKey(e->key);
  if (select)
    list->selectIndex(index);
  else if (list->activeIndex() == index)
    list->selectIndex(-1);
  return QX_ERR_NONE;
}

QxErr EntrySetText(QxEntryRef entry, const char* text) {
  QX_OP_ENTER(kEntrySetText);
  auto [list, e] = entryOf(entry);
  if (!e || !text) return QX_ERR_BAD_PARAM;
  e->text = text;
  return QX_ERR_NONE;
}

QxErr EntryGetText(QxEntryRef entry, char* buffer, int32_t size) {
  QX_OP_ENTER(kEntryGetText);
  auto [list, e] = entryOf(entry);
  if (!e) return QX_ERR_BAD_PARAM;
  return copyText(e->text, buffer, size);
}

const QxAdmEntrySuite kEntrySuite = {EntrySetID, EntryGetID, EntrySelect, EntrySetText, EntryGetText};

// ---- "ADM Tracker Suite", "ADM Notifier Suite", "ADM Icon Suite" ----

const OpId kGetPoint = registerOp(QX_ADM_TRACKER_SUITE, "GetPoint");
const OpId kGetModifiers = registerOp(QX_ADM_TRACKER_SUITE, "GetModifiers");
const OpId kIsNotifierType = registerOp(QX_ADM_NOTIFIER_SUITE, "IsNotifierType");
const OpId kNotifierGetItem = registerOp(QX_ADM_NOTIFIER_SUITE, "GetItem");
const OpId kGetIconSize = registerOp(QX_ADM_ICON_SUITE, "GetIconSize");

TrackEvent* trackerOf(QxTrackerRef ref) {
  DialogManager* m = manager();
  return m ? m->tracker(ref) : nullptr;
}

Notification* notificationOf(QxNotifierRef ref) {
  DialogManager* m = manager();
  return m ? m->notification(ref) : nullptr;
}

QxErr GetPoint(QxTrackerRef tracker, QxPoint* point) {
  QX_OP_ENTER(kGetPoint);
  TrackEvent* t = trackerOf(tracker);
  if (!t || !point) return QX_ERR_BAD_PARAM;
  *point = t->point;
  return QX_ERR_NONE;
}

QxErr GetModifiers(QxTrackerRef tracker, int32_t* modifiers) {
  QX_OP_ENTER(kGetModifiers);
  TrackEvent* t = trackerOf(tracker);
  if (!t || !modifiers) return QX_ERR_BAD_PARAM;
  *modifiers = t->modifiers;
  return QX_ERR_NONE;
}

QxErr IsNotifierType(QxNotifierRef notifier, const char* type, QxBool* isType) {
  QX_OP_ENTER(kIsNotifierType);
  Notification* n = notificationOf(notifier);
  if (!n || !type || !isType) return QX_ERR_BAD_PARAM;
  *isType = n->type == type ? 1 : 0;
  return QX_ERR_NONE;
}

QxErr NotifierGetItem(QxNotifierRef notifier, QxItemRef* item) {
  QX_OP_ENTER(kNotifierGetItem);
  Notification* n = notificationOf(notifier);
  if (!n || !item) return QX_ERR_BAD_PARAM;
  Item* i = n->dialog ? n->dialog->item(n->itemId) : nullptr;
  *item = i ? manager()->ref(*i) : nullptr;
  return QX_ERR_NONE;
}

// The size of the first image of an icon group: a 6-byte header (reserved,
// type, count) followed by 14-byte entries starting with width and height
// bytes, where 0 stands for 256.
QxErr GetIconSize(QxPluginRef plugin, int32_t iconId, int32_t* width, int32_t* height) {
  QX_OP_ENTER(kGetIconSize);
  const PluginResources* resources = resourcesOf(plugin);
  if (!resources || !width || !height || iconId < 0 || iconId > 0xFFFF) return QX_ERR_BAD_PARAM;
  constexpr uint16_t kIconGroupType = 14;
  auto data = resources->raw(kIconGroupType, static_cast<uint16_t>(iconId));
  if (!data || data->size() < 6 + 14) return QX_ERR_BAD_PARAM;
  uint16_t count = static_cast<uint16_t>((*data)[4] | ((*data)[5] << 8));
  if (count == 0) return QX_ERR_BAD_PARAM;
  int32_t w = (*data)[6], h = (*data)[7];
  *width = w == 0 ? 256 : w;
  *height = h == 0 ? 256 : h;
  return QX_ERR_NONE;
}

const QxAdmTrackerSuite kTrackerSuite = {GetPoint, GetModifiers};
const QxAdmNotifierSuite kNotifierSuite = {IsNotifierType, NotifierGetItem};
const QxAdmIconSuite kIconSuite = {GetIconSize};

}  // namespace

void registerAdmDialogSuites(SuiteRegistry& registry) {
  registry.add(QX_ADM_DIALOG_SUITE, QX_ADM_DIALOG_SUITE_VERSION, &kDialogSuite);
  registry.add(QX_ADM_ITEM_SUITE, QX_ADM_ITEM_SUITE_VERSION, &kItemSuite);
  registry.add(QX_ADM_LIST_SUITE, QX_ADM_LIST_SUITE_VERSION, &kListSuite);
  registry.add(QX_ADM_ENTRY_SUITE, QX_ADM_ENTRY_SUITE_VERSION, &kEntrySuite);
  registry.add(QX_ADM_TRACKER_SUITE, QX_ADM_TRACKER_SUITE_VERSION, &kTrackerSuite);
  registry.add(QX_ADM_NOTIFIER_SUITE, QX_ADM_NOTIFIER_SUITE_VERSION, &kNotifierSuite);
  registry.add(QX_ADM_ICON_SUITE, QX_ADM_ICON_SUITE_VERSION, &kIconSuite);
}

}  // namespace qx::host
