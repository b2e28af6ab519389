// Dialogs, their lifetime, notifications and the references handed out.
#include "host/dialogs/dialog_manager.h"

#include <algorithm>
#include <cctype>
#include <iostream>

#include "host/dialogs/dialog_runner.h"

namespace qx::host {

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The item kind of a template control: its window class, and for buttons
// and statics the type bits of its style.
ItemKind kindOfTemplateItem(const DialogTemplateItem& item) {
  const std::string& cls = item.windowClass;
  if (equalsNoCase(cls, "BUTTON")) {
    switch (item.style & 0x0Fu) {
      case 0x0:  // push button
      case 0x1:  // default push button
        return ItemKind::TextPushButton;
      case 0x7:  // group box
        return ItemKind::Frame;
      case 0xB:  // owner drawn
        return ItemKind::PicturePushButton;
      default:  // check boxes, three-state boxes and radio buttons
        return ItemKind::TextCheckBox;
    }
  }
  if (equalsNoCase(cls, "STATIC")) {
    switch (item.style & 0x1Fu) {
      case 0x0:  // left, centred and right aligned text
      case 0x1:
      case 0x2:
      case 0xB:  // text without word wrap
      case 0xC:  // simple text
        return ItemKind::TextStatic;
      default:  // icons, rectangles, frames, bitmaps
        return ItemKind::Frame;
    }
  }
  if (equalsNoCase(cls, "EDIT")) return ItemKind::TextEdit;
  if (equalsNoCase(cls, "LISTBOX")) return ItemKind::ListBox;
  if (equalsNoCase(cls, "SCROLLBAR")) return ItemKind::ScrollBar;
  if (equalsNoCase(cls, "COMBOBOX")) return ItemKind::PopupList;
  return ItemKind::User;
}

QxRect pixelRect(int32_t x, int32_t y, int32_t cx, int32_t cy) {
  return QxRect{dialogUnitsToPixelsX(x), dialogUnitsToPixelsY(y), dialogUnitsToPixelsX(x + cx),
                dialogUnitsToPixelsY(y + cy)};
}

}  // namespace

// ---- Dialog ----

Dialog::Dialog(DialogManager& manager, ItemRegistry& registry, std::string name, int32_t templateId, QxPluginRef plugin)
    : manager_(&manager), registry_(&registry), name_(std::move(name)), templateId_(templateId), plugin_(plugin) {}

void Dialog::applyTemplate(const DialogTemplate& tmpl) {
  caption_ = tmpl.caption;
  fontName_ = tmpl.fontName;
  setBoundsRect(pixelRect(tmpl.x, tmpl.y, tmpl.cx, tmpl.cy));
  fromTemplateItems_ = !tmpl.items.empty();
  for (const DialogTemplateItem& t : tmpl.items) {
    // Lookups by number would only ever find the first item of a number.
    Item* item = createItem(t.id, kindOfTemplateItem(t), pixelRect(t.x, t.y, t.cx, t.cy));
    if (item) item->setText(t.text);
  }
}

bool Dialog::setSize(int32_t width, int32_t height) {
  if (width < 0 || height < 0) return false;
  // A frame placed near the end of the coordinate range may have no room
  // for the size: its far corner must still be a 32-bit coordinate.
  if (int64_t{bounds_.left} + width > INT32_MAX || int64_t{bounds_.top} + height > INT32_MAX) return false;
  width_ = width;
  height_ = height;
  // The frame keeps its place and takes the new size.
  bounds_.right = bounds_.left + width;
  bounds_.bottom = bounds_.top + height;
  return true;
}

Item* Dialog::item(int32_t id) const {
  for (const auto& item : items_)
    if (item->id() == id) return item.get();
  return nullptr;
}

Item* Dialog::createItem(int32_t id, ItemKind kind, const QxRect& bounds) {
  if (item(id)) return nullptr;
  items_.push_back(std::make_unique<Item>(*this, id, kind, bounds));
  Item* created = items_.back().get();
  registry_->registerItem(*created);
  return created;
}

void Dialog::endModal(int32_t itemHit) {
  if (ended_) return;
  ended_ = true;
  itemHit_ = itemHit;
}

std::vector<ItemState> Dialog::state() const {
  std::vector<ItemState> states;
  states.reserve(items_.size());
  for (const auto& item : items_) states.push_back(item->state());
  return states;
}

// ---- DialogManager ----

DialogManager::DialogManager() = default;

DialogManager::~DialogManager() {
  // Dialogs still open when the host goes away get their destroy call too.
  while (!dialogs_.empty()) destroy(*dialogs_.back());
}

void DialogManager::alert(const std::string& text) {
  alerts_.push_back(text);
  if (runner_) runner_->alert(text);
  else std::cerr << "Alert: " << text << "\n";
}

Dialog& DialogManager::createDialog(const std::string& name, int32_t templateId, QxPluginRef plugin) {
  ItemRegistry& registry = *this;  // a private base: only this manager's dialogs get it
  dialogs_.push_back(std::make_unique<Dialog>(*this, registry, name, templateId, plugin));
  Dialog& dialog = *dialogs_.back();
  uintptr_t r = newRef(RefKind::Dialog, &dialog);
  dialogRefs_[&dialog] = r;
  return dialog;
}

Dialog& DialogManager::createFromTemplate(const DialogTemplate& tmpl, const std::string& name, QxPluginRef plugin) {
  Dialog& dialog = createDialog(name, tmpl.id, plugin);
  dialog.applyTemplate(tmpl);
  return dialog;
}

void DialogManager::destroy(Dialog& dialog) {
  auto it = std::find_if(dialogs_.begin(), dialogs_.end(), [&](const auto& d) { return d.get() == &dialog; });
  if (it == dialogs_.end()) return;
  if (QxDialogDestroyProc proc = dialog.destroyProc()) {
    dialog.setDestroyProc(nullptr);  // once only, even if the procedure re-enters
    proc(ref(dialog));
  }
  for (const auto& item : dialog.items()) forgetItem(*item);
  auto r = dialogRefs_.find(&dialog);
  if (r != dialogRefs_.end()) {
    refs_.erase(r->second);
    dialogRefs_.erase(r);
  }
  // Find it again: the destroy procedure may have opened and closed dialogs.
  it = std::find_if(dialogs_.begin(), dialogs_.end(), [&](const auto& d) { return d.get() == &dialog; });
  if (it != dialogs_.end()) dialogs_.erase(it);
}

std::vector<Dialog*> DialogManager::dialogs() const {
  std::vector<Dialog*> all;
  for (const auto& d : dialogs_) all.push_back(d.get());
  return all;
}

QxErr DialogManager::runModal(const DialogTemplate& tmpl, QxPluginRef plugin, const std::string& name,
                              QxDialogInitProc init, QxUserData userData, int32_t* itemHit) {
  Dialog& dialog = createFromTemplate(tmpl, name, plugin);
  dialog.setUserData(userData);
  if (init) {
    if (QxErr err = init(ref(dialog))) {
      destroy(dialog);
      return err;
    }
  }
  int32_t hit;
  if (dialog.ended()) hit = dialog.itemHit();  // closed during its own initialisation
  else if (runner_) hit = runner_->runModal(dialog);
  else hit = kItemOk;
  destroy(dialog);
  if (itemHit) *itemHit = hit;
  return QX_ERR_NONE;
}

void DialogManager::notify(Item& item, const std::string& type) {
  Notification notification{&item.dialog(), item.id(), type};
  if (QxItemNotifyProc proc = item.notifyProc()) {
    uintptr_t r = newRef(RefKind::Notifier, &notification);
    proc(ref(item), reinterpret_cast<QxNotifierRef>(r));
    forgetRef(r);
  } else {
    defaultNotify(item, notification);
  }
  // A pick the procedure did not hand to the default handling is dropped,
  // so it cannot surface in a later notification. (Items live until their
  // dialog's modal run ends, so `item` is still here.)
  item.setPendingIndex(-1);
  item.setPendingToggle(false);
}

void DialogManager::defaultNotify(Item& item, const Notification& notification) {
  (void)notification;
  switch (item.kind()) {
    case ItemKind::TextCheckBox:
      if (item.pendingToggle()) {
        item.setBooleanValue(!item.booleanValue());
        item.setPendingToggle(false);
      }
      break;
    case ItemKind::PopupList:
    case ItemKind::ListBox:
      if (item.pendingIndex() >= 0) {
        item.selectIndex(item.pendingIndex());
        item.setPendingIndex(-1);
      }
      break;
    default: break;
  }
  if (item.isDefaultItem()) item.dialog().endModal(kItemOk);
  else if (item.isCancelItem()) item.dialog().endModal(kItemCancel);
}

bool DialogManager::track(Item& item, const TrackEvent& event) {
  if (QxItemTrackProc proc = item.trackProc()) {
    TrackEvent copy = event;
    uintptr_t r = newRef(RefKind::Tracker, &copy);
    bool handled = proc(ref(item), reinterpret_cast<QxTrackerRef>(r)) != 0;
    forgetRef(r);
    return handled;
  }
  return defaultTrack(item, event);
}

bool DialogManager::defaultTrack(Item& item, const TrackEvent& event) {
  (void)item;
  (void)event;
  return false;  // the host's own tracking has nothing to do in this model
}

// ---- References ----

uintptr_t DialogManager::newRef(RefKind kind, void* object, uint64_t entryKey) {
  // Never reused, so a stale reference can never name a newer object; the low
  // bits stay clear of the kind so a reference of one kind is no other kind.
  uintptr_t r = (++nextRef_ << 4) | static_cast<uintptr_t>(kind);
  refs_[r] = RefTarget{kind, object, entryKey};
  return r;
}

void DialogManager::forgetRef(uintptr_t ref) { refs_.erase(ref); }

const DialogManager::RefTarget* DialogManager::lookup(const void* ref, RefKind kind) const {
  if (!ref) return nullptr;
  auto it = refs_.find(reinterpret_cast<uintptr_t>(ref));
  if (it == refs_.end() || it->second.kind != kind) return nullptr;
  return &it->second;
}

void DialogManager::registerItem(Item& item) {
  itemRefs_[&item] = newRef(RefKind::Item, &item);
  if (item.hasList()) listRefs_[&item] = newRef(RefKind::List, &item);
}

void DialogManager::forgetItem(Item& item) {
  for (const ListEntry& e : item.entries()) {
    auto it = entryRefs_.find(e.key);
    if (it != entryRefs_.end()) {
      refs_.erase(it->second);
      entryRefs_.erase(it);
    }
  }
  for (auto* map : {&itemRefs_, &listRefs_}) {
    auto it = map->find(&item);
    if (it != map->end()) {
      refs_.erase(it->second);
      map->erase(it);
    }
  }
}

QxDialogRef DialogManager::ref(const Dialog& dialog) const {
  auto it = dialogRefs_.find(&dialog);
  return it == dialogRefs_.end() ? nullptr : reinterpret_cast<QxDialogRef>(it->second);
}

QxItemRef DialogManager::ref(const Item& item) const {
  auto it = itemRefs_.find(&item);
  return it == itemRefs_.end() ? nullptr : reinterpret_cast<QxItemRef>(it->second);
}

QxListRef DialogManager::listRef(const Item& item) const {
  auto it = listRefs_.find(&item);
  return it == listRefs_.end() ? nullptr : reinterpret_cast<QxListRef>(it->second);
}

QxEntryRef DialogManager::ref(const Item& item, const ListEntry& entry) {
  if (!itemRefs_.count(&item) || item.indexOfKey(entry.key) < 0) return nullptr;
  auto it = entryRefs_.find(entry.key);
  if (it != entryRefs_.end()) return reinterpret_cast<QxEntryRef>(it->second);
  uintptr_t r = newRef(RefKind::Entry, const_cast<Item*>(&item), entry.key);
  entryRefs_[entry.key] = r;
  return reinterpret_cast<QxEntryRef>(r);
}

Dialog* DialogManager::dialog(QxDialogRef ref) const {
  const RefTarget* t = lookup(ref, RefKind::Dialog);
  return t ? static_cast<Dialog*>(t->object) : nullptr;
}

Item* DialogManager::item(QxItemRef ref) const {
  const RefTarget* t = lookup(ref, RefKind::Item);
  return t ? static_cast<Item*>(t->object) : nullptr;
}

Item* DialogManager::list(QxListRef ref) const {
  const RefTarget* t = lookup(ref, RefKind::List);
  return t ? static_cast<Item*>(t->object) : nullptr;
}

std::pair<Item*, ListEntry*> DialogManager::entry(QxEntryRef ref) const {
  const RefTarget* t = lookup(ref, RefKind::Entry);
  if (!t) return {nullptr, nullptr};
  Item* item = static_cast<Item*>(t->object);
  int32_t index = item->indexOfKey(t->entryKey);
  if (index < 0) return {nullptr, nullptr};
  return {item, item->entryAt(index)};
}

Notification* DialogManager::notification(QxNotifierRef ref) const {
  const RefTarget* t = lookup(ref, RefKind::Notifier);
  return t ? static_cast<Notification*>(t->object) : nullptr;
}

TrackEvent* DialogManager::tracker(QxTrackerRef ref) const {
  const RefTarget* t = lookup(ref, RefKind::Tracker);
  return t ? static_cast<TrackEvent*>(t->object) : nullptr;
}

}  // namespace qx::host
