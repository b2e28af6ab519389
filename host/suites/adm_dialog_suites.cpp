// The "ADM" dialog and item suites, and the registration of every "ADM"
// dialog suite: thin adapters from the C interface onto the
// dialog manager model (host/dialogs). Every operation checks that the host
// has a dialog manager and that each reference is live before touching it.
#include <cmath>
#include <optional>
#include <string>

#include "host/suites/adm_common.h"
#include "host/suites/all_suites.h"
#include "host/suites/guarded.h"
#include "host/suites/instrument.h"
#include "qx_names.h"

namespace qx::host {

namespace {

using namespace adm;

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
            QxUserData userData, int32_t* itemHit) noexcept {
  return guarded([&]() -> QxErr {
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
  });
}

QxErr GetItem(QxDialogRef dialog, int32_t itemId, QxItemRef* item) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetItem);
    Dialog* d = dialogOf(dialog);
    if (!d || !item) return QX_ERR_BAD_PARAM;
    Item* found = d->item(itemId);
    *item = found ? d->manager().ref(*found) : nullptr;
    return QX_ERR_NONE;
  });
}

QxErr CreateItem(QxDialogRef dialog, int32_t itemId, const char* itemType, const QxRect* bounds,
                 QxItemRef* item) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kCreateItem);
    Dialog* d = dialogOf(dialog);
    if (!d || !itemType || !bounds) return QX_ERR_BAD_PARAM;
    std::optional<ItemKind> kind = itemKindFromTypeName(itemType);
    if (!kind) return QX_ERR_BAD_PARAM;
    Item* created = d->createItem(itemId, *kind, *bounds);
    if (!created) return QX_ERR_BAD_PARAM;
    if (item) *item = d->manager().ref(*created);
    return QX_ERR_NONE;
  });
}

QxErr GetUserData(QxDialogRef dialog, QxUserData* userData) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetUserData);
    Dialog* d = dialogOf(dialog);
    if (!d || !userData) return QX_ERR_BAD_PARAM;
    *userData = d->userData();
    return QX_ERR_NONE;
  });
}

QxErr SetUserData(QxDialogRef dialog, QxUserData userData) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetUserData);
    Dialog* d = dialogOf(dialog);
    if (!d) return QX_ERR_BAD_PARAM;
    d->setUserData(userData);
    return QX_ERR_NONE;
  });
}

QxErr Size(QxDialogRef dialog, int32_t width, int32_t height) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSize);
    Dialog* d = dialogOf(dialog);
    if (!d || !d->setSize(width, height)) return QX_ERR_BAD_PARAM;
    return QX_ERR_NONE;
  });
}

QxErr GetBoundsRect(QxDialogRef dialog, QxRect* bounds) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetBoundsRect);
    Dialog* d = dialogOf(dialog);
    if (!d || !bounds) return QX_ERR_BAD_PARAM;
    *bounds = d->boundsRect();
    return QX_ERR_NONE;
  });
}

QxErr SetBoundsRect(QxDialogRef dialog, const QxRect* bounds) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetBoundsRect);
    Dialog* d = dialogOf(dialog);
    if (!d || !bounds || bounds->right < bounds->left || bounds->bottom < bounds->top) return QX_ERR_BAD_PARAM;
    // The difference of two 32-bit values may not fit in one.
    int64_t width = int64_t{bounds->right} - bounds->left;
    int64_t height = int64_t{bounds->bottom} - bounds->top;
    if (width > INT32_MAX || height > INT32_MAX) return QX_ERR_BAD_PARAM;
    d->setBoundsRect(*bounds);
    return QX_ERR_NONE;
  });
}

QxErr SetDestroyProc(QxDialogRef dialog, QxDialogDestroyProc destroyProc) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetDestroyProc);
    Dialog* d = dialogOf(dialog);
    if (!d) return QX_ERR_BAD_PARAM;
    d->setDestroyProc(destroyProc);
    return QX_ERR_NONE;
  });
}

const QxAdmDialogSuite kDialogSuite = {Modal, GetItem,       CreateItem,    GetUserData,   SetUserData,
                                       Size,  GetBoundsRect, SetBoundsRect, SetDestroyProc};

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

QxErr SetNotifyProc(QxItemRef item, QxItemNotifyProc proc) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetNotifyProc);
    Item* i = itemOf(item);
    if (!i) return QX_ERR_BAD_PARAM;
    i->setNotifyProc(proc);
    return QX_ERR_NONE;
  });
}

QxErr SetTrackProc(QxItemRef item, QxItemTrackProc proc) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetTrackProc);
    Item* i = itemOf(item);
    if (!i) return QX_ERR_BAD_PARAM;
    i->setTrackProc(proc);
    return QX_ERR_NONE;
  });
}

QxErr DefaultNotify(QxItemRef item, QxNotifierRef notifier) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kDefaultNotify);
    Item* i = itemOf(item);
    Notification* n = manager() ? manager()->notification(notifier) : nullptr;
    if (!i || !n) return QX_ERR_BAD_PARAM;
    manager()->defaultNotify(*i, *n);
    return QX_ERR_NONE;
  });
}

QxErr DefaultTrack(QxItemRef item, QxTrackerRef tracker, QxBool* handled) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kDefaultTrack);
    Item* i = itemOf(item);
    TrackEvent* t = manager() ? manager()->tracker(tracker) : nullptr;
    if (!i || !t) return QX_ERR_BAD_PARAM;
    bool done = manager()->defaultTrack(*i, *t);
    if (handled) *handled = done ? 1 : 0;
    return QX_ERR_NONE;
  });
}

QxErr Notify(QxItemRef item, const char* notifierType) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kNotify);
    Item* i = itemOf(item);
    if (!i || !notifierType) return QX_ERR_BAD_PARAM;
    manager()->notify(*i, notifierType);
    return QX_ERR_NONE;
  });
}

QxErr GetDialog(QxItemRef item, QxDialogRef* dialog) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetDialog);
    Item* i = itemOf(item);
    if (!i || !dialog) return QX_ERR_BAD_PARAM;
    *dialog = manager()->ref(i->dialog());
    return QX_ERR_NONE;
  });
}

QxErr GetList(QxItemRef item, QxListRef* list) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetList);
    Item* i = itemOf(item);
    if (!i || !list) return QX_ERR_BAD_PARAM;
    *list = manager()->listRef(*i);
    return QX_ERR_NONE;
  });
}

QxErr GetID(QxItemRef item, int32_t* itemId) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetID);
    Item* i = itemOf(item);
    if (!i || !itemId) return QX_ERR_BAD_PARAM;
    *itemId = i->id();
    return QX_ERR_NONE;
  });
}

QxErr Show(QxItemRef item, QxBool show) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kShow);
    Item* i = itemOf(item);
    if (!i) return QX_ERR_BAD_PARAM;
    i->show(show != 0);
    return QX_ERR_NONE;
  });
}

QxErr IsVisible(QxItemRef item, QxBool* visible) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kIsVisible);
    Item* i = itemOf(item);
    if (!i || !visible) return QX_ERR_BAD_PARAM;
    *visible = i->visible() ? 1 : 0;
    return QX_ERR_NONE;
  });
}

QxErr Enable(QxItemRef item, QxBool enable) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kEnable);
    Item* i = itemOf(item);
    if (!i) return QX_ERR_BAD_PARAM;
    i->enable(enable != 0);
    return QX_ERR_NONE;
  });
}

QxErr IsEnabled(QxItemRef item, QxBool* enabled) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kIsEnabled);
    Item* i = itemOf(item);
    if (!i || !enabled) return QX_ERR_BAD_PARAM;
    *enabled = i->enabled() ? 1 : 0;
    return QX_ERR_NONE;
  });
}

QxErr SetFont(QxItemRef item, int32_t font) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetFont);
    Item* i = itemOf(item);
    if (!i || !i->setFont(font)) return QX_ERR_BAD_PARAM;
    return QX_ERR_NONE;
  });
}

QxErr GetFont(QxItemRef item, int32_t* font) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetFont);
    Item* i = itemOf(item);
    if (!i || !font) return QX_ERR_BAD_PARAM;
    *font = i->font();
    return QX_ERR_NONE;
  });
}

QxErr SetText(QxItemRef item, const char* text) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetText);
    Item* i = itemOf(item);
    if (!i || !text) return QX_ERR_BAD_PARAM;
    i->setText(text);
    return QX_ERR_NONE;
  });
}

QxErr GetText(QxItemRef item, char* buffer, int32_t size) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetText);
    Item* i = itemOf(item);
    if (!i) return QX_ERR_BAD_PARAM;
    return copyText(i->shownText(), buffer, size);
  });
}

QxErr SetUnits(QxItemRef item, int32_t units) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetUnits);
    Item* i = itemOf(item);
    if (!i || (units != QX_UNITS_NONE && units != QX_UNITS_POINTS)) return QX_ERR_BAD_PARAM;
    i->setUnits(units);
    return QX_ERR_NONE;
  });
}

QxErr SetPrecision(QxItemRef item, int32_t decimals) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetPrecision);
    Item* i = itemOf(item);
    if (!i || !i->setPrecision(decimals)) return QX_ERR_BAD_PARAM;
    return QX_ERR_NONE;
  });
}

QxErr SetBooleanValue(QxItemRef item, QxBool value) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetBooleanValue);
    Item* i = itemOf(item);
    if (!i) return QX_ERR_BAD_PARAM;
    i->setBooleanValue(value != 0);
    return QX_ERR_NONE;
  });
}

QxErr GetBooleanValue(QxItemRef item, QxBool* value) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetBooleanValue);
    Item* i = itemOf(item);
    if (!i || !value) return QX_ERR_BAD_PARAM;
    *value = i->booleanValue() ? 1 : 0;
    return QX_ERR_NONE;
  });
}

QxErr SetIntValue(QxItemRef item, int32_t value) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetIntValue);
    Item* i = itemOf(item);
    if (!i) return QX_ERR_BAD_PARAM;
    i->setValue(value);
    return QX_ERR_NONE;
  });
}

QxErr GetIntValue(QxItemRef item, int32_t* value) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetIntValue);
    Item* i = itemOf(item);
    if (!i || !value) return QX_ERR_BAD_PARAM;
    *value = i->intValue();
    return QX_ERR_NONE;
  });
}

QxErr SetFloatValue(QxItemRef item, QxReal value) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetFloatValue);
    Item* i = itemOf(item);
    if (!i || std::isnan(value)) return QX_ERR_BAD_PARAM;
    i->setValue(value);
    return QX_ERR_NONE;
  });
}

QxErr GetFloatValue(QxItemRef item, QxReal* value) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kGetFloatValue);
    Item* i = itemOf(item);
    if (!i || !value) return QX_ERR_BAD_PARAM;
    *value = static_cast<QxReal>(i->value());
    return QX_ERR_NONE;
  });
}

QxErr SetMinIntValue(QxItemRef item, int32_t value) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetMinIntValue);
    Item* i = itemOf(item);
    if (!i) return QX_ERR_BAD_PARAM;
    i->setMinValue(value, true);
    return QX_ERR_NONE;
  });
}

QxErr SetMaxIntValue(QxItemRef item, int32_t value) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetMaxIntValue);
    Item* i = itemOf(item);
    if (!i) return QX_ERR_BAD_PARAM;
    i->setMaxValue(value, true);
    return QX_ERR_NONE;
  });
}

QxErr SetMinFloatValue(QxItemRef item, QxReal value) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetMinFloatValue);
    Item* i = itemOf(item);
    if (!i || std::isnan(value)) return QX_ERR_BAD_PARAM;
    i->setMinValue(value, false);
    return QX_ERR_NONE;
  });
}

QxErr SetMaxFloatValue(QxItemRef item, QxReal value) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kSetMaxFloatValue);
    Item* i = itemOf(item);
    if (!i || std::isnan(value)) return QX_ERR_BAD_PARAM;
    i->setMaxValue(value, false);
    return QX_ERR_NONE;
  });
}

const QxAdmItemSuite kItemSuite = {
    SetNotifyProc, SetTrackProc,  DefaultNotify, DefaultTrack,   Notify,          GetDialog,        GetList,
    GetID,         Show,          IsVisible,     Enable,         IsEnabled,       SetFont,          GetFont,
    SetText,       GetText,       SetUnits,      SetPrecision,   SetBooleanValue, GetBooleanValue,  SetIntValue,
    GetIntValue,   SetFloatValue, GetFloatValue, SetMinIntValue, SetMaxIntValue,  SetMinFloatValue, SetMaxFloatValue};

}  // namespace

void registerAdmDialogSuites(SuiteRegistry& registry) {
  registry.add(QX_ADM_DIALOG_SUITE, QX_ADM_DIALOG_SUITE_VERSION, &kDialogSuite);
  registry.add(QX_ADM_ITEM_SUITE, QX_ADM_ITEM_SUITE_VERSION, &kItemSuite);
  registry.add(QX_ADM_LIST_SUITE, QX_ADM_LIST_SUITE_VERSION, &adm::kListSuite);
  registry.add(QX_ADM_ENTRY_SUITE, QX_ADM_ENTRY_SUITE_VERSION, &adm::kEntrySuite);
  registry.add(QX_ADM_TRACKER_SUITE, QX_ADM_TRACKER_SUITE_VERSION, &adm::kTrackerSuite);
  registry.add(QX_ADM_NOTIFIER_SUITE, QX_ADM_NOTIFIER_SUITE_VERSION, &adm::kNotifierSuite);
  registry.add(QX_ADM_ICON_SUITE, QX_ADM_ICON_SUITE_VERSION, &adm::kIconSuite);
}

}  // namespace qx::host
