// The headless front end of modal dialogs.
#include "host/dialogs/scripted_runner.h"

#include <cmath>
#include <iostream>
#include <sstream>


namespace qx::host {

// ---- Actions ----

DialogAction DialogAction::setValue(int32_t itemId, double value) {
  DialogAction a;
  a.kind = Kind::SetValue;
  a.itemId = itemId;
  a.value = value;
  return a;
}

DialogAction DialogAction::toggle(int32_t itemId) {
  DialogAction a;
  a.kind = Kind::Toggle;
  a.itemId = itemId;
  return a;
}

DialogAction DialogAction::setChecked(int32_t itemId, bool checked) {
  DialogAction a;
  a.kind = Kind::SetChecked;
  a.itemId = itemId;
  a.checked = checked;
  return a;
}

DialogAction DialogAction::chooseIndex(int32_t itemId, int32_t index) {
  DialogAction a;
  a.kind = Kind::ChooseIndex;
  a.itemId = itemId;
  a.index = index;
  return a;
}

DialogAction DialogAction::chooseId(int32_t itemId, int32_t entryId) {
  DialogAction a;
  a.kind = Kind::ChooseId;
  a.itemId = itemId;
  a.entryId = entryId;
  return a;
}

DialogAction DialogAction::chooseText(int32_t itemId, std::string text) {
  DialogAction a;
  a.kind = Kind::ChooseText;
  a.itemId = itemId;
  a.text = std::move(text);
  return a;
}

DialogAction DialogAction::press(int32_t itemId) {
  DialogAction a;
  a.kind = Kind::Press;
  a.itemId = itemId;
  return a;
}

DialogAction DialogAction::drag(int32_t itemId, QxRealPoint artworkPoint, int32_t modifiers) {
  DialogAction a;
  a.kind = Kind::Drag;
  a.itemId = itemId;
  a.point = artworkPoint;
  a.modifiers = modifiers;
  return a;
}

DialogAction DialogAction::confirm() {
  DialogAction a;
  a.kind = Kind::Confirm;
  return a;
}

DialogAction DialogAction::cancel() {
  DialogAction a;
  a.kind = Kind::Cancel;
  return a;
}

// ---- Runner ----

namespace {

bool isButton(ItemKind kind) { return kind == ItemKind::TextPushButton || kind == ItemKind::PicturePushButton; }

std::string formatNumber(double value) {
  std::ostringstream s;
  s << value;
  return s.str();
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
  DialogManager& manager = dialog.manager();
  auto fail = [&](const std::string& reason) {
    if (why) *why = reason;
    return false;
  };

  if (action.kind == Kind::Confirm || action.kind == Kind::Cancel) {
    int32_t answer = action.kind == Kind::Confirm ? kItemOk : kItemCancel;
    // Through the closing button when the dialog has one, so its procedure runs.
    Item* button = dialog.item(answer);
    if (button && isButton(button->kind()) && button->enabled()) manager.notify(*button);
    dialog.endModal(answer);
    return true;
  }

  const int32_t itemId = action.itemId;
  Item* item = dialog.item(itemId);
  std::string name = "control " + std::to_string(itemId);
  if (!item) return fail(name + " does not exist");
  if (!item->enabled() && !options_.allowDisabled) return fail(name + " is disabled");

  switch (action.kind) {
    case Kind::SetValue: {
      if (item->kind() != ItemKind::SpinEdit) return fail(name + " is not a spin edit");
      if (!std::isfinite(action.value)) return fail(name + ": the value is not a number");
      if (options_.rejectOutOfRange) {
        if (item->constrain(action.value) != action.value) {
          std::string range = formatNumber(item->minValue()) + " to " + formatNumber(item->maxValue());
          if (item->isInteger() && action.value != std::trunc(action.value))
            return fail(name + ": " + formatNumber(action.value) + " is not a whole number (" + range + ")");
          return fail(name + ": " + formatNumber(action.value) + " is outside " + range);
        }
      }
      item->setValue(action.value);
      manager.notify(*item);
      return true;
    }
    case Kind::Toggle:
    case Kind::SetChecked:
      if (item->kind() != ItemKind::TextCheckBox) return fail(name + " is not a check box");
      if (action.kind == Kind::SetChecked && item->booleanValue() == action.checked) return true;
      item->setPendingToggle(true);
      manager.notify(*item);
      return true;
    case Kind::ChooseIndex:
    case Kind::ChooseId:
    case Kind::ChooseText: {
      if (item->kind() != ItemKind::PopupList) return fail(name + " is not a popup list");
      int32_t index = -1;
      if (action.kind == Kind::ChooseIndex) {
        index = action.index >= 0 && action.index < item->entryCount() ? action.index : -1;
      } else if (action.kind == Kind::ChooseId) {
        index = item->indexOfId(action.entryId);
      } else {
        index = item->indexOfText(action.text);
      }
      if (index < 0) {
        std::string wanted = action.kind == Kind::ChooseIndex ? "entry " + std::to_string(action.index)
                             : action.kind == Kind::ChooseId  ? "entry id " + std::to_string(action.entryId)
                                                              : "entry \"" + action.text + "\"";
        return fail(name + ": " + wanted + " does not exist (" + std::to_string(item->entryCount()) + " entries)");
      }
      item->setPendingIndex(index);
      manager.notify(*item);
      return true;
    }
    case Kind::Press:
      if (!isButton(item->kind())) return fail(name + " is not a button");
      manager.notify(*item);
      return true;
    case Kind::Drag: {
      QxPoint view{};
      if (!toViewPoint(action.point, &view))
        return fail(name + ": the point " + formatNumber(action.point.x) + "," + formatNumber(action.point.y) +
                    " lies outside the view");
      manager.track(*item, TrackEvent{view, action.modifiers});
      return true;
    }
    default: return fail("unknown action");
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
