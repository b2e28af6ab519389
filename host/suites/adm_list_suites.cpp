// The "ADM" list, entry, tracker, notifier and icon suites: popup entries,
// the mouse event and notification in progress, and icon sizes.
#include <cmath>
#include <string>
#include <utility>

#include "host/suites/adm_common.h"
#include "host/suites/guarded.h"
#include "host/suites/instrument.h"
#include "qx_names.h"

namespace qx::host::adm {

namespace {

// ---- "ADM List Suite" ----

const OpId kInsertEntry = registerOp(QX_ADM_LIST_SUITE, "InsertEntry");
const OpId kIndexEntry = registerOp(QX_ADM_LIST_SUITE, "IndexEntry");
const OpId kGetActiveEntry = registerOp(QX_ADM_LIST_SUITE, "GetActiveEntry");
const OpId kNumberOfEntries = registerOp(QX_ADM_LIST_SUITE, "NumberOfEntries");

Item* listOf(QxListRef ref) {
  DialogManager* m = manager();
  return m ? m->list(ref) : nullptr;
}

QxErr InsertEntry(QxListRef list, int32_t index, QxEntryRef* entry) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kInsertEntry);
    Item* l = listOf(list);
    if (!l || !entry) return QX_ERR_BAD_PARAM;
    ListEntry* e = l->insertEntry(index);
    if (!e) return QX_ERR_BAD_PARAM;
    *entry = manager()->ref(*l, *e);
    return QX_ERR_NONE;
  });
}

QxErr IndexEntry(QxListRef list, int32_t index, QxEntryRef* entry) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kIndexEntry);
    Item* l = listOf(list);
    if (!l || !entry) return QX_ERR_BAD_PARAM;
    ListEntry* e = l->entryAt(index);
    if (!e) return QX_ERR_BAD_PARAM;
    *entry = manager()->ref(*l, *e);
    return QX_ERR_NONE;
  });
}

QxErr GetActiveEntry(QxListRef list, QxEntryRef* entry) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetActiveEntry);
    Item* l = listOf(list);
    if (!l || !entry) return QX_ERR_BAD_PARAM;
    ListEntry* e = l->activeEntry();
    *entry = e ? manager()->ref(*l, *e) : nullptr;
    return QX_ERR_NONE;
  });
}

QxErr NumberOfEntries(QxListRef list, int32_t* count) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kNumberOfEntries);
    Item* l = listOf(list);
    if (!l || !count) return QX_ERR_BAD_PARAM;
    *count = l->entryCount();
    return QX_ERR_NONE;
  });
}


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

QxErr EntrySetID(QxEntryRef entry, int32_t entryId) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kEntrySetID);
    auto [list, e] = entryOf(entry);
    if (!e) return QX_ERR_BAD_PARAM;
    e->id = entryId;
    return QX_ERR_NONE;
  });
}

QxErr EntryGetID(QxEntryRef entry, int32_t* entryId) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kEntryGetID);
    auto [list, e] = entryOf(entry);
    if (!e || !entryId) return QX_ERR_BAD_PARAM;
    *entryId = e->id;
    return QX_ERR_NONE;
  });
}

QxErr EntrySelect(QxEntryRef entry, QxBool select) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kEntrySelect);
    auto [list, e] = entryOf(entry);
    if (!e) return QX_ERR_BAD_PARAM;
    int32_t index = list->indexOfKey(e->key);
    if (select) list->selectIndex(index);
    else if (list->activeIndex() == index) list->selectIndex(-1);
    return QX_ERR_NONE;
  });
}

QxErr EntrySetText(QxEntryRef entry, const char* text) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kEntrySetText);
    auto [list, e] = entryOf(entry);
    if (!e || !text) return QX_ERR_BAD_PARAM;
    e->text = text;
    return QX_ERR_NONE;
  });
}

QxErr EntryGetText(QxEntryRef entry, char* buffer, int32_t size) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kEntryGetText);
    auto [list, e] = entryOf(entry);
    if (!e) return QX_ERR_BAD_PARAM;
    return copyText(e->text, buffer, size);
  });
}


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

QxErr GetPoint(QxTrackerRef tracker, QxPoint* point) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetPoint);
    TrackEvent* t = trackerOf(tracker);
    if (!t || !point) return QX_ERR_BAD_PARAM;
    *point = t->point;
    return QX_ERR_NONE;
  });
}

QxErr GetModifiers(QxTrackerRef tracker, int32_t* modifiers) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetModifiers);
    TrackEvent* t = trackerOf(tracker);
    if (!t || !modifiers) return QX_ERR_BAD_PARAM;
    *modifiers = t->modifiers;
    return QX_ERR_NONE;
  });
}

QxErr IsNotifierType(QxNotifierRef notifier, const char* type, QxBool* isType) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kIsNotifierType);
    Notification* n = notificationOf(notifier);
    if (!n || !type || !isType) return QX_ERR_BAD_PARAM;
    *isType = n->type == type ? 1 : 0;
    return QX_ERR_NONE;
  });
}

QxErr NotifierGetItem(QxNotifierRef notifier, QxItemRef* item) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kNotifierGetItem);
    Notification* n = notificationOf(notifier);
    if (!n || !item) return QX_ERR_BAD_PARAM;
    Item* i = n->dialog ? n->dialog->item(n->itemId) : nullptr;
    *item = i ? manager()->ref(*i) : nullptr;
    return QX_ERR_NONE;
  });
}

// The size of the first image of an icon group: a 6-byte header (reserved,
// type, count) followed by 14-byte entries starting with width and height
// bytes, where 0 stands for 256.
QxErr GetIconSize(QxPluginRef plugin, int32_t iconId, int32_t* width, int32_t* height) noexcept {
  return guarded([&]() -> QxErr {
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
  });
}


}  // namespace

const QxAdmListSuite kListSuite = {InsertEntry, IndexEntry, GetActiveEntry, NumberOfEntries};
const QxAdmEntrySuite kEntrySuite = {EntrySetID, EntryGetID, EntrySelect, EntrySetText, EntryGetText};
const QxAdmTrackerSuite kTrackerSuite = {GetPoint, GetModifiers};
const QxAdmNotifierSuite kNotifierSuite = {IsNotifierType, NotifierGetItem};
const QxAdmIconSuite kIconSuite = {GetIconSize};

}  // namespace qx::host::adm
