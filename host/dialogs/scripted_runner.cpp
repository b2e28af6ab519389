// The headless front end of modal dialogs.
#include "host/dialogs/scripted_runner.h"

#include <cmath>
#include <iostream>
#include <sstream>

namespace qx::host {

// ---- Actions ----

DialogAction DialogAction::setValue(int32_t itemId, double value) {
  return {.kind = Kind::SetValue, .itemId = itemId, .value = value};
}

DialogAction DialogAction::toggle(int32_t itemId) { return {.kind = Kind::Toggle, .itemId = itemId}; }

DialogAction DialogAction::setChecked(int32_t itemId, bool checked) {
  return {.kind = Kind::SetChecked, .itemId = itemId, .checked = checked};
}

DialogAction DialogAction::chooseIndex(int32_t itemId, int32_t index) {
  return {.kind = Kind::ChooseIndex, .itemId = itemId, .index = index};
}

DialogAction DialogAction::chooseId(int32_t itemId, int32_t entryId) {
  return {.kind = Kind::ChooseId, .itemId = itemId, .entryId = entryId};
}

DialogAction DialogAction::chooseText(int32_t itemId, std::string text) {
  return {.kind = Kind::ChooseText, .itemId = itemId, .text = std::move(text)};
}

DialogAction DialogAction::press(int32_t itemId) { return {.kind = Kind::Press, .itemId = itemId}; }

DialogAction DialogAction::drag(int32_t itemId, QxRealPoint artworkPoint, int32_t modifiers) {
  return {.kind = Kind::Drag, .itemId = itemId, .point = artworkPoint, .modifiers = modifiers};
}

DialogAction DialogAction::confirm() { return {.kind = Kind::Confirm}; }

DialogAction DialogAction::cancel() { return {.kind = Kind::Cancel}; }

// ---- Runner ----

namespace {

std::string formatNumber(double value) {
  std::ostringstream s;
  s << value;
  return s.str();
}

bool fail(std::string* why, const std::string& reason) {
  if (why) *why = reason;
  return false;
}

// Confirm and Cancel end the run through the closing button when the dialog
// has one, so its procedure runs.
void closeWith(Dialog& dialog, int32_t answer) {
  Item* button = dialog.item(answer);
  if (button && isButtonKind(button->kind()) && button->enabled()) dialog.manager().notify(*button);
  dialog.endModal(answer);
}

// A value typed into a spin edit: clamped by the item, or refused outside
// its limits when `rejectOutOfRange`.
bool typeValue(Item& item, double value, bool rejectOutOfRange, const std::string& name, std::string* why) {
  if (item.kind() != ItemKind::SpinEdit) return fail(why, name + " is not a spin edit");
  if (!std::isfinite(value)) return fail(why, name + ": the value is not a number");
  if (rejectOutOfRange && item.constrain(value) != value) {
    const std::string range = formatNumber(item.minValue()) + " to " + formatNumber(item.maxValue());
    if (item.isInteger() && value != std::trunc(value))
      return fail(why, name + ": " + formatNumber(value) + " is not a whole number (" + range + ")");
    return fail(why, name + ": " + formatNumber(value) + " is outside " + range);
  }
  item.setValue(value);
  item.dialog().manager().notify(item);
  return true;
}

// A click on a check box; the default handling toggles it. SetChecked
// clicks only when the box is not already as wanted.
bool clickCheckBox(Item& item, const DialogAction& action, const std::string& name, std::string* why) {
  if (item.kind() != ItemKind::TextCheckBox) return fail(why, name + " is not a check box");
  if (action.kind == DialogAction::Kind::SetChecked && item.booleanValue() == action.checked) return true;
  item.setPendingToggle(true);
  item.dialog().manager().notify(item);
  return true;
}

// The popup entry an action names, by position, identifier or text; -1 when
// there is none.
int32_t namedEntry(const Item& item, const DialogAction& action) {
  switch (action.kind) {
    case DialogAction::Kind::ChooseIndex:
      return action.index >= 0 && action.index < item.entryCount() ? action.index : -1;
    case DialogAction::Kind::ChooseId: return item.indexOfId(action.entryId);
    default: return item.indexOfText(action.text);
  }
}

// A pick in a popup, which the default handling makes the chosen entry.
bool chooseEntry(Item& item, const DialogAction& action, const std::string& name, std::string* why) {
  if (item.kind() != ItemKind::PopupList) return fail(why, name + " is not a popup list");
  const int32_t index = namedEntry(item, action);
  if (index < 0) {
    const std::string wanted = action.kind == DialogAction::Kind::ChooseIndex ? "entry " + std::to_string(action.index)
                               : action.kind == DialogAction::Kind::ChooseId
                                   ? "entry id " + std::to_string(action.entryId)
                                   : "entry \"" + action.text + "\"";
    return fail(why, name + ": " + wanted + " does not exist (" + std::to_string(item.entryCount()) + " entries)");
  }
  item.setPendingIndex(index);
  item.dialog().manager().notify(item);
  return true;
}

}  // namespace

ScriptedRunner::ScriptedRunner() : ScriptedRunner(std::cout, std::cerr) {}

ScriptedRunner::ScriptedRunner(std::ostream& out, std::ostream& err) : ScriptedRunner(out, err, Options{}) {}

ScriptedRunner::ScriptedRunner(std::ostream& out, std::ostream& err, Options options)
    : out_(&out), err_(&err), options_(options) {}

void ScriptedRunner::alert(const std::string& text) {
  alerts_.push_back(text);
  *err_ << "Alert: " << text << "\n";
}

int ScriptedRunner::runModal(Dialog& dialog) {
  ++modalRuns_;
  if (dialog.templateId() == kErrorDialogId || dialog.fromTemplateItems()) return runTextDialog(dialog);
  return runSettingsDialog(dialog);
}

// The error dialog and the about box: show their texts, then press OK as a
// person would, so the plug-in's notification of the OK button runs.
int ScriptedRunner::runTextDialog(Dialog& dialog) {
  if (dialog.templateId() == kErrorDialogId) {
    Item* message = dialog.item(2);
    Item* code = dialog.item(3);
    *err_ << "Error: " << (message ? message->text() : std::string()) << " (code "
          << (code ? code->text() : std::string()) << ")\n";
  } else {
    for (const auto& item : dialog.items())
      if (item->kind() == ItemKind::TextStatic && item->visible()) *out_ << item->text() << "\n";
  }
  if (Item* ok = dialog.item(kItemOk); ok && !dialog.ended()) dialog.manager().notify(*ok);
  return dialog.ended() ? dialog.itemHit() : kItemOk;
}

int ScriptedRunner::runSettingsDialog(Dialog& dialog) {
  ranSettings_ = true;
  error_.clear();
  failedAction_ = -1;
  planFailed_ = false;
  std::vector<DialogAction> actions = std::move(actions_);
  actions_.clear();
  if (onOpen_) onOpen_(dialog);
  if (planner_ && !dialog.ended()) {
    std::string why;
    if (!planner_(dialog, &actions, &why)) {
      error_ = why;
      planFailed_ = true;
      actions.clear();
      dialog.endModal(kItemCancel);
    }
  }
  for (size_t i = 0; i < actions.size() && !dialog.ended(); ++i) {
    std::string why;
    if (!apply(dialog, actions[i], &why)) {
      error_ = why;
      failedAction_ = static_cast<int>(i);
      // A script that cannot be followed must not be taken as confirmed.
      dialog.endModal(kItemCancel);
      break;
    }
  }
  lastState_ = dialog.state();
  lastCaption_ = dialog.caption();
  return dialog.ended() ? dialog.itemHit() : kItemOk;
}

bool ScriptedRunner::toViewPoint(QxRealPoint point, QxPoint* view) const {
  if (!std::isfinite(point.x) || !std::isfinite(point.y)) return false;
  if (mapper_) return mapper_(point, view);
  // Without a mapper the view shows artwork at one pixel per point.
  if (std::fabs(point.x) > 2e9 || std::fabs(point.y) > 2e9) return false;
  *view = QxPoint{static_cast<int32_t>(std::lround(point.x)), static_cast<int32_t>(std::lround(point.y))};
  return true;
}

bool ScriptedRunner::apply(Dialog& dialog, const DialogAction& action, std::string* why) {
  using Kind = DialogAction::Kind;
  if (action.kind == Kind::Confirm || action.kind == Kind::Cancel) {
    closeWith(dialog, action.kind == Kind::Confirm ? kItemOk : kItemCancel);
    return true;
  }

  Item* item = dialog.item(action.itemId);
  const std::string name = "control " + std::to_string(action.itemId);
  if (!item) return fail(why, name + " does not exist");
  if (!item->enabled() && !options_.allowDisabled) return fail(why, name + " is disabled");

  switch (action.kind) {
    case Kind::SetValue: return typeValue(*item, action.value, options_.rejectOutOfRange, name, why);
    case Kind::Toggle:
    case Kind::SetChecked: return clickCheckBox(*item, action, name, why);
    case Kind::ChooseIndex:
    case Kind::ChooseId:
    case Kind::ChooseText: return chooseEntry(*item, action, name, why);
    case Kind::Press:
      if (!isButtonKind(item->kind())) return fail(why, name + " is not a button");
      dialog.manager().notify(*item);
      return true;
    case Kind::Drag: {
      QxPoint view{};
      if (!toViewPoint(action.point, &view))
        return fail(why, name + ": the point " + formatNumber(action.point.x) + "," + formatNumber(action.point.y) +
                             " lies outside the view");
      dialog.manager().track(*item, TrackEvent{view, action.modifiers});
      return true;
    }
    default: return fail(why, "unknown action");
  }
}

std::string describeItem(const ItemState& s) {
  std::ostringstream line;
  line << s.id << " " << s.typeName << (s.visible ? " visible" : " hidden") << (s.enabled ? " enabled" : " disabled");
  if (!s.text.empty()) line << " \"" << s.text << "\"";
  switch (s.kind) {
    case ItemKind::TextCheckBox: line << " = " << (s.booleanValue ? "on" : "off"); break;
    case ItemKind::SpinEdit:
      line << " = " << formatNumber(s.value);
      if (s.hasLimits) line << " [" << formatNumber(s.minValue) << " to " << formatNumber(s.maxValue) << "]";
      break;
    case ItemKind::PopupList:
    case ItemKind::ListBox:
      line << " = ";
      if (s.activeEntry >= 0 && static_cast<size_t>(s.activeEntry) < s.entries.size())
        line << s.entries[static_cast<size_t>(s.activeEntry)].id << " \""
             << s.entries[static_cast<size_t>(s.activeEntry)].text << "\"";
      else line << "none";
      line << " (" << s.entries.size() << " entries)";
      break;
    default: break;
  }
  return line.str();
}

}  // namespace qx::host
