// The host's dialog manager: modal dialogs, their items, popup lists,
// notifications and mouse tracking, independent of any window system. A
// front end (the scripted runner, the Qt app) runs the modal loop through a
// DialogRunner and changes items only through this model, so a click in a
// window and a line of a script reach the plug-in the same way.
//
// References handed to the plug-in (dialog, item, list, entry, notifier,
// tracker) are opaque numbers looked up in one table on every use: a stale or
// foreign reference is answered with nullptr, never dereferenced.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/dialogs/dialog_template.h"
#include "qx_adm.h"
#include "qx_names.h"

namespace qx::host {

class DialogRunner;
class DialogManager;
class Dialog;
class Item;

// Closing answers of a modal run.
inline constexpr int32_t kItemOk = 1;      // the default item
inline constexpr int32_t kItemCancel = 2;  // the "Cancel" item

// The kinds of item, each with its type name (QX_ITEM_*).
enum class ItemKind : uint8_t {
  TextCheckBox,
  SpinEdit,
  PicturePushButton,
  TextStatic,
  PopupList,
  TextPushButton,
  // Kinds a plug-in's own dialogs do not use; they come from dialog templates.
  Frame,  // a framed box
  TextEdit,
  ListBox,
  ScrollBar,
  User,  // a window class the host does not know
};

// The host's type name of a kind (QX_ITEM_*).
const char* itemTypeName(ItemKind kind);
// The kind of a host type name; nullopt for a name the host does not offer.
std::optional<ItemKind> itemKindFromTypeName(std::string_view name);
// Push buttons, with a text or a picture.
bool isButtonKind(ItemKind kind);

// Dialog units of an 8-point "MS Sans Serif" template to pixels: a dialog
// unit is a quarter of the font's average character width (6 px) across and
// an eighth of its height (13 px) down, so x * 1.5 and y * 1.625, rounded to
// the nearest pixel.
int32_t dialogUnitsToPixelsX(int32_t units);
int32_t dialogUnitsToPixelsY(int32_t units);

// One entry of a popup list.
struct ListEntry {
  int32_t id = 0;
  std::string text;
  uint64_t key = 0;  // the model's own identity of the entry (stable across inserts)
};

// Index of the entry whose text is `text`; failing an exact match, the first
// one equal to it without surrounding blanks and letter case. -1 when none.
int32_t indexOfEntryText(std::span<const ListEntry> entries, std::string_view text);

// A snapshot of an item, for reports and tests.
struct ItemState {
  int32_t id = 0;
  ItemKind kind = ItemKind::User;
  std::string typeName;
  QxRect bounds{};
  std::string text;
  int32_t font = QX_FONT_DEFAULT;
  bool visible = true;
  bool enabled = true;
  bool booleanValue = false;
  double value = 0;  // numeric value (spin edits; popups: the active entry's id)
  double minValue = 0, maxValue = 0;
  bool hasLimits = false;
  bool integer = false;  // an integer spin edit
  int32_t decimals = 0;
  int32_t units = QX_UNITS_NONE;
  std::vector<ListEntry> entries;
  int32_t activeEntry = -1;  // index into entries, -1 when none is chosen
};

// The notification in progress: which item, of which type.
struct Notification {
  Dialog* dialog = nullptr;
  int32_t itemId = 0;
  std::string type;
};

// The mouse event in progress: the point in pixels of the document view and
// QX_MODIFIER_* flags (0x20: the button is held while dragging).
struct TrackEvent {
  QxPoint point{};
  int32_t modifiers = 0;
};

// What a dialog asks of the manager that made it. DialogManager implements it
// privately, so only its own dialogs can reach it.
class ItemRegistry {
 public:
  // Hand out the references of `item`, just added to the dialog.
  virtual void registerItem(Item& item) = 0;

 protected:
  ~ItemRegistry() = default;
};

class Item {
 public:
  Item(Dialog& dialog, int32_t id, ItemKind kind, const QxRect& bounds);

  Dialog& dialog() const { return *dialog_; }
  int32_t id() const { return id_; }
  ItemKind kind() const { return kind_; }

  const QxRect& bounds() const { return bounds_; }
  const std::string& text() const { return text_; }
  void setText(std::string text) { text_ = std::move(text); }
  // What the item shows: its text, or for a spin edit without one its value
  // with its decimals, for a popup without one the chosen entry's text.
  std::string shownText() const;
  int32_t font() const { return font_; }
  // False for a font code other than QX_FONT_*.
  bool setFont(int32_t font);
  bool visible() const { return visible_; }
  void show(bool visible) { visible_ = visible; }
  bool enabled() const { return enabled_; }
  void enable(bool enabled) { enabled_ = enabled; }
  void setUnits(int32_t units) { units_ = units; }
  // Decimals shown, 0 to 6; false otherwise. More than 0 makes a spin edit a
  // real one.
  bool setPrecision(int32_t decimals);
  int32_t precision() const { return decimals_; }

  bool booleanValue() const { return boolean_; }
  void setBooleanValue(bool value) { boolean_ = value; }

  // Numeric value. A spin edit clamps every value set on it (and its current
  // value whenever a limit changes) to its limits; an integer spin edit keeps
  // whole numbers, truncating toward zero. Popups answer the active entry's id
  // and take a value by choosing the entry with that id.
  double value() const;
  void setValue(double value);
  int32_t intValue() const;
  void setMinValue(double value, bool integerLimit);
  void setMaxValue(double value, bool integerLimit);
  bool hasLimits() const { return hasMin_ || hasMax_; }
  double minValue() const { return min_; }
  double maxValue() const { return max_; }
  // A spin edit whose limits were set as integers and that shows no decimals.
  bool isInteger() const { return integer_ && decimals_ == 0; }
  // The value clamped to the limits (and truncated when integer), unchanged otherwise.
  double constrain(double value) const;

  // Popup entries. Entry indices run from 0 to entryCount() - 1.
  bool hasList() const { return kind_ == ItemKind::PopupList || kind_ == ItemKind::ListBox; }
  const std::vector<ListEntry>& entries() const { return entries_; }
  int32_t entryCount() const { return static_cast<int32_t>(entries_.size()); }
  // Insert an empty entry at `index` (0 to entryCount()); nullptr when out of range.
  ListEntry* insertEntry(int32_t index);
  ListEntry* entryAt(int32_t index);
  // Index of the entry with model key `key`, -1 when it is gone.
  int32_t indexOfKey(uint64_t key) const;
  // Index of the first entry with identifier `id`, -1 when none.
  int32_t indexOfId(int32_t id) const;
  // indexOfEntryText over this item's entries.
  int32_t indexOfText(std::string_view text) const { return indexOfEntryText(entries_, text); }
  int32_t activeIndex() const { return active_; }
  ListEntry* activeEntry();
  // Choose the entry at `index` (-1 chooses none); false when out of range.
  bool selectIndex(int32_t index);
  // The entry the user has picked and the default handling will make active
  // (-1 when none is pending).
  int32_t pendingIndex() const { return pending_; }
  void setPendingIndex(int32_t index) { pending_ = index; }
  // A click on a check box waiting for the default handling to toggle it. A
  // notification the program sends carries no click, so it toggles nothing.
  bool pendingToggle() const { return pendingToggle_; }
  void setPendingToggle(bool pending) { pendingToggle_ = pending; }

  QxItemNotifyProc notifyProc() const { return notify_; }
  void setNotifyProc(QxItemNotifyProc proc) { notify_ = proc; }
  QxItemTrackProc trackProc() const { return track_; }
  void setTrackProc(QxItemTrackProc proc) { track_ = proc; }

  // Buttons that close the dialog in the default handling: the default item
  // (identifier 1) with 1, the Cancel item (identifier 2 or text "Cancel") with 2.
  bool isDefaultItem() const;
  bool isCancelItem() const;

  ItemState state() const;

 private:
  Dialog* dialog_;
  int32_t id_;
  ItemKind kind_;
  QxRect bounds_;
  std::string text_;
  int32_t font_ = QX_FONT_DEFAULT;
  bool visible_ = true;
  bool enabled_ = true;
  int32_t units_ = QX_UNITS_NONE;
  int32_t decimals_ = 0;
  bool boolean_ = false;
  double value_ = 0;
  bool hasMin_ = false, hasMax_ = false;
  double min_ = 0, max_ = 0;
  bool integer_ = false;
  std::vector<ListEntry> entries_;
  int32_t active_ = -1;
  int32_t pending_ = -1;
  bool pendingToggle_ = false;
  QxItemNotifyProc notify_ = nullptr;
  QxItemTrackProc track_ = nullptr;
};

class Dialog {
 public:
  // Made by the manager, which lends `registry` for the items.
  Dialog(DialogManager& manager, ItemRegistry& registry, std::string name, int32_t templateId, QxPluginRef plugin);
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  DialogManager& manager() const { return *manager_; }
  const std::string& name() const { return name_; }
  int32_t templateId() const { return templateId_; }
  QxPluginRef plugin() const { return plugin_; }
  // True when the items came from the template (the about box, the error
  // dialog), false for a dialog whose items the plug-in creates.
  bool fromTemplateItems() const { return fromTemplateItems_; }

  const std::string& caption() const { return caption_; }
  const std::string& fontName() const { return fontName_; }
  // Take the caption, font, frame and items of `tmpl`, converted from dialog
  // units to pixels. A template repeating an item's identifier keeps the first.
  void applyTemplate(const DialogTemplate& tmpl);

  // Client area in pixels.
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // False (nothing changed) for a negative size, or one that would put the
  // frame's right or bottom edge beyond INT32_MAX.
  bool setSize(int32_t width, int32_t height);
  // The frame on the screen in pixels. Sizing keeps its top-left corner;
  // setting it sizes the client area to match (right >= left, bottom >= top).
  const QxRect& boundsRect() const { return bounds_; }
  void setBoundsRect(const QxRect& bounds) {
    bounds_ = bounds;
    width_ = bounds.right - bounds.left;
    height_ = bounds.bottom - bounds.top;
  }

  QxUserData userData() const { return userData_; }
  void setUserData(QxUserData data) { userData_ = data; }
  QxDialogDestroyProc destroyProc() const { return destroy_; }
  void setDestroyProc(QxDialogDestroyProc proc) { destroy_ = proc; }

  // Items in creation order.
  const std::vector<std::unique_ptr<Item>>& items() const { return items_; }
  Item* item(int32_t id) const;
  // nullptr when `id` is taken.
  Item* createItem(int32_t id, ItemKind kind, const QxRect& bounds);

  // Ending the modal run: the first end wins.
  void endModal(int32_t itemHit);
  bool ended() const { return ended_; }
  int32_t itemHit() const { return itemHit_; }

  std::vector<ItemState> state() const;

 private:
  DialogManager* manager_;
  ItemRegistry* registry_;
  std::string name_;
  int32_t templateId_;
  QxPluginRef plugin_;
  bool fromTemplateItems_ = false;
  std::string caption_;
  std::string fontName_;
  int32_t width_ = 0, height_ = 0;
  QxRect bounds_{};
  QxUserData userData_ = nullptr;
  QxDialogDestroyProc destroy_ = nullptr;
  std::vector<std::unique_ptr<Item>> items_;
  bool ended_ = false;
  int32_t itemHit_ = 0;
};

class DialogManager final : private ItemRegistry {
 public:
  DialogManager();
  ~DialogManager();
  DialogManager(const DialogManager&) = delete;
  DialogManager& operator=(const DialogManager&) = delete;

  // The front end that runs modal dialogs and shows alerts. Without one a
  // modal run answers 1 right after initialisation and alerts go to stderr.
  void setRunner(DialogRunner* runner) { runner_ = runner; }

  // Show `text` in a modal alert with an OK button (through the runner).
  void alert(const std::string& text);
  // Every alert shown since construction, oldest first.
  const std::vector<std::string>& alerts() const { return alerts_; }

  // A new, empty dialog (no items, size 0 x 0).
  Dialog& createDialog(const std::string& name, int32_t templateId, QxPluginRef plugin);
  // A dialog made from a template: caption, font, size and items converted
  // from dialog units to pixels.
  Dialog& createFromTemplate(const DialogTemplate& tmpl, const std::string& name, QxPluginRef plugin);
  // Call the destroy procedure (items still readable), then drop the dialog
  // and invalidate every reference into it.
  void destroy(Dialog& dialog);
  // Dialogs that exist now, oldest first.
  std::vector<Dialog*> dialogs() const;

  // Create the dialog from `tmpl`, give it `userData`, call `init`, hand the
  // run to the runner, destroy the dialog and write the closing item to
  // *itemHit. A non-zero answer of `init` destroys the dialog at once and is
  // returned (*itemHit untouched).
  QxErr runModal(const DialogTemplate& tmpl, QxPluginRef plugin, const std::string& name, QxDialogInitProc init,
                 QxUserData userData, int32_t* itemHit);

  // Notifications. notify() calls the item's notify procedure, or the default
  // handling when it has none; a click or pick still pending afterwards is
  // dropped. defaultNotify() is the host's own handling: a clicked check box
  // toggles, a popup takes the entry picked, the default item ends the modal
  // run with 1 and the Cancel item with 2.
  void notify(Item& item, const std::string& type = QX_NOTIFIER_USER_CHANGED);
  void defaultNotify(Item& item, const Notification& notification);
  // Mouse events: track() calls the item's track procedure (default handling
  // without one) and answers whether the event was handled. The host's own
  // tracking handles nothing.
  bool track(Item& item, const TrackEvent& event);
  bool defaultTrack(Item& item, const TrackEvent& event);

  // References for the plug-in, and their checked way back (nullptr for a
  // stale, foreign or null reference).
  QxDialogRef ref(const Dialog& dialog) const;
  QxItemRef ref(const Item& item) const;
  QxListRef listRef(const Item& item) const;  // nullptr for an item without a list
  QxEntryRef ref(const Item& item, const ListEntry& entry);
  Dialog* dialog(QxDialogRef ref) const;
  Item* item(QxItemRef ref) const;
  Item* list(QxListRef ref) const;
  // The entry and its popup; {nullptr, nullptr} when stale.
  std::pair<Item*, ListEntry*> entry(QxEntryRef ref) const;
  // Valid only during the notify or track call that handed them out.
  Notification* notification(QxNotifierRef ref) const;
  TrackEvent* tracker(QxTrackerRef ref) const;

  // A key no list entry of this manager has had, for the next one made.
  uint64_t newEntryKey() { return ++nextEntryKey_; }

 private:
  enum class RefKind : uint8_t { Dialog, Item, List, Entry, Notifier, Tracker };
  struct RefTarget {
    RefKind kind;
    void* object;       // Dialog*, Item*, Notification*, TrackEvent*
    uint64_t entryKey;  // for entries
  };
  uintptr_t newRef(RefKind kind, void* object, uint64_t entryKey = 0);
  const RefTarget* lookup(const void* ref, RefKind kind) const;
  void forgetItem(Item& item);
  void forgetRef(uintptr_t ref);
  void registerItem(Item& item) override;

  DialogRunner* runner_ = nullptr;
  std::vector<std::unique_ptr<Dialog>> dialogs_;
  std::vector<std::string> alerts_;
  std::unordered_map<uintptr_t, RefTarget> refs_;
  // Reverse maps so a model object hands out the same reference every time.
  std::unordered_map<const void*, uintptr_t> dialogRefs_, itemRefs_, listRefs_;
  std::unordered_map<uint64_t, uintptr_t> entryRefs_;
  uintptr_t nextRef_ = 0;
  uint64_t nextEntryKey_ = 0;
};

}  // namespace qx::host
