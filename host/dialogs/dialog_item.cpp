// Items of a dialog: values, limits and popup entries.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

#include "host/dialogs/dialog_manager.h"

namespace qx::host {

namespace {

struct KindName {
  ItemKind kind;
  const char* name;
};

constexpr KindName kKindNames[] = {
    {ItemKind::TextCheckBox, QX_ITEM_TEXT_CHECK_BOX},
    {ItemKind::SpinEdit, QX_ITEM_SPIN_EDIT},
    {ItemKind::PicturePushButton, QX_ITEM_PICTURE_PUSH_BUTTON},
    {ItemKind::TextStatic, QX_ITEM_TEXT_STATIC},
    {ItemKind::PopupList, QX_ITEM_POPUP_LIST},
    {ItemKind::TextPushButton, QX_ITEM_TEXT_PUSH_BUTTON},
    {ItemKind::Frame, QX_ITEM_FRAME},
    {ItemKind::TextEdit, QX_ITEM_TEXT_EDIT},
    {ItemKind::ListBox, QX_ITEM_LIST_BOX},
    {ItemKind::ScrollBar, QX_ITEM_SCROLLBAR},
    {ItemKind::User, QX_ITEM_USER},
};

// Truncation toward zero that saturates instead of overflowing.
int32_t toInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

std::string trimmedLower(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  std::string out;
  for (size_t i = b; i < e; ++i) out += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
  return out;
}

}  // namespace

const char* itemTypeName(ItemKind kind) {
  for (const KindName& k : kKindNames)
    if (k.kind == kind) return k.name;
  return QX_ITEM_USER;
}

std::optional<ItemKind> itemKindFromTypeName(std::string_view name) {
  for (const KindName& k : kKindNames)
    if (name == k.name) return k.kind;
  return std::nullopt;
}

bool isButtonKind(ItemKind kind) { return kind == ItemKind::TextPushButton || kind == ItemKind::PicturePushButton; }

int32_t indexOfEntryText(std::span<const ListEntry> entries, std::string_view text) {
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].text == text) return static_cast<int32_t>(i);
  const std::string wanted = trimmedLower(text);
  for (size_t i = 0; i < entries.size(); ++i)
    if (trimmedLower(entries[i].text) == wanted) return static_cast<int32_t>(i);
  return -1;
}

int32_t dialogUnitsToPixelsX(int32_t units) { return static_cast<int32_t>(std::lround(units * 1.5)); }

int32_t dialogUnitsToPixelsY(int32_t units) { return static_cast<int32_t>(std::lround(units * 1.625)); }

Item::Item(Dialog& dialog, int32_t id, ItemKind kind, const QxRect& bounds)
    : dialog_(&dialog), id_(id), kind_(kind), bounds_(bounds) {}

std::string Item::shownText() const {
  if (!text_.empty()) return text_;
  if (kind_ == ItemKind::SpinEdit) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(decimals_), value_);
    return buffer;
  }
  if (hasList() && active_ >= 0) return entries_[static_cast<size_t>(active_)].text;
  return text_;
}

bool Item::setFont(int32_t font) {
  if (font != QX_FONT_DEFAULT && font != QX_FONT_DIALOG && font != QX_FONT_DIALOG_BOLD) return false;
  font_ = font;
  return true;
}

bool Item::setPrecision(int32_t decimals) {
  if (decimals < 0 || decimals > 6) return false;
  decimals_ = decimals;
  if (kind_ == ItemKind::SpinEdit) value_ = constrain(value_);
  return true;
}

double Item::constrain(double value) const {
  if (kind_ != ItemKind::SpinEdit) return value;
  if (std::isnan(value)) value = hasMin_ ? min_ : 0.0;
  if (isInteger()) value = std::trunc(value);
  // The lower limit wins when the limits cross, so the value stays defined.
  if (hasMax_ && value > max_) value = max_;
  if (hasMin_ && value < min_) value = min_;
  return value;
}

double Item::value() const {
  switch (kind_) {
    case ItemKind::TextCheckBox: return boolean_ ? 1.0 : 0.0;
    case ItemKind::PopupList:
    case ItemKind::ListBox: return active_ >= 0 ? entries_[static_cast<size_t>(active_)].id : 0.0;
    default: return value_;
  }
}

void Item::setValue(double value) {
  switch (kind_) {
    case ItemKind::TextCheckBox: boolean_ = value != 0.0; break;
    case ItemKind::PopupList:
    case ItemKind::ListBox: {
      // Choosing by value picks the entry with that identifier; an unknown
      // identifier leaves the choice as it is.
      int32_t index = indexOfId(toInt32(value));
      if (index >= 0) active_ = index;
      break;
    }
    default: value_ = constrain(value); break;
  }
}

int32_t Item::intValue() const { return toInt32(value()); }

void Item::setMinValue(double value, bool integerLimit) {
  min_ = integerLimit ? std::trunc(value) : value;
  hasMin_ = true;
  integer_ = integerLimit;
  value_ = constrain(value_);
}

void Item::setMaxValue(double value, bool integerLimit) {
  max_ = integerLimit ? std::trunc(value) : value;
  hasMax_ = true;
  integer_ = integerLimit;
  value_ = constrain(value_);
}

ListEntry* Item::insertEntry(int32_t index) {
  if (!hasList() || index < 0 || index > entryCount()) return nullptr;
  ListEntry entry;
  entry.key = dialog_->manager().newEntryKey();
  entries_.insert(entries_.begin() + index, std::move(entry));
  if (active_ >= index) ++active_;
  if (pending_ >= index) ++pending_;
  return &entries_[static_cast<size_t>(index)];
}

ListEntry* Item::entryAt(int32_t index) {
  if (index < 0 || index >= entryCount()) return nullptr;
  return &entries_[static_cast<size_t>(index)];
}

int32_t Item::indexOfKey(uint64_t key) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].key == key) return static_cast<int32_t>(i);
  return -1;
}

int32_t Item::indexOfId(int32_t id) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].id == id) return static_cast<int32_t>(i);
  return -1;
}

ListEntry* Item::activeEntry() { return entryAt(active_); }

bool Item::selectIndex(int32_t index) {
  if (index < -1 || index >= entryCount()) return false;
  active_ = index;
  return true;
}

bool Item::isDefaultItem() const { return isButtonKind(kind_) && id_ == kItemOk; }

bool Item::isCancelItem() const { return isButtonKind(kind_) && (id_ == kItemCancel || text_ == "Cancel"); }

ItemState Item::state() const {
  ItemState s;
  s.id = id_;
  s.kind = kind_;
  s.typeName = itemTypeName(kind_);
  s.bounds = bounds_;
  s.text = text_;
  s.font = font_;
  s.visible = visible_;
  s.enabled = enabled_;
  s.booleanValue = boolean_;
  s.value = value();
  s.minValue = min_;
  s.maxValue = max_;
  s.hasLimits = hasLimits();
  s.integer = isInteger();
  s.decimals = decimals_;
  s.units = units_;
  s.entries = entries_;
  s.activeEntry = active_;
  return s;
}

}  // namespace qx::host
