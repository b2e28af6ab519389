#include "alerts.h"

#include <cstring>

#include "error_list.h"
#include "suites.h"

namespace {

constexpr int32_t kAboutDialogId = 16050;
constexpr int32_t kErrorDialogId = 16051;
// The error dialog's two texts.
constexpr int32_t kErrorMessageItem = 2;
constexpr int32_t kErrorCodeItem = 3;

// What the error dialog shows, handed to it as its user data.
struct ErrorReport {
  char message[kErrorTextSize];
  char codeText[kErrorTextSize];
};

// The OK button keeps the host's own handling, which ends the modal dialog.
void PassThroughNotify(QxItemRef item, QxNotifierRef notifier) { gAdmItemSuite->DefaultNotify(item, notifier); }

void GiveOkButtonPassThrough(QxDialogRef dialog) {
  QxItemRef okButton = nullptr;
  if (gAdmDialogSuite->GetItem(dialog, QX_DIALOG_ITEM_DEFAULT, &okButton) == 0)
    gAdmItemSuite->SetNotifyProc(okButton, PassThroughNotify);
}

void SetItemText(QxDialogRef dialog, int32_t itemId, const char* text) {
  QxItemRef item = nullptr;
  if (gAdmDialogSuite->GetItem(dialog, itemId, &item) == 0) gAdmItemSuite->SetText(item, text);
}

QxErr InitErrorDialog(QxDialogRef dialog) {
  GiveOkButtonPassThrough(dialog);
  QxUserData data = nullptr;
  gAdmDialogSuite->GetUserData(dialog, &data);
  const ErrorReport* report = static_cast<const ErrorReport*>(data);
  if (report != nullptr) {
    SetItemText(dialog, kErrorMessageItem, report->message);
    SetItemText(dialog, kErrorCodeItem, report->codeText);
  }
  return 0;
}

QxErr InitAboutBox(QxDialogRef dialog) {
  GiveOkButtonPassThrough(dialog);
  return 0;
}

}  // namespace

void ReportError(QxMessageData* message, QxErr code) {
  if (code == 0 || code == QX_ERR_STOP) return;
  // The item suite comes after the dialog suite in the acquisition, so its
  // own failure to load arrives here without it: the suite-loading alert has
  // told the user already, and a dialog without its texts would tell nothing.
  if (gAdmBasicSuite == nullptr || gAdmDialogSuite == nullptr || gAdmItemSuite == nullptr) return;
  if (gUserSuite == nullptr) return;  // the codes cannot be read without it

  ErrorReport report;
  std::memset(&report, 0, sizeof report);
  if (!LookUpErrorMessage(gAdmBasicSuite, gUserSuite, message->self, code, report.message)) return;
  WriteErrorCodeText(gUserSuite, code, report.codeText);

  int32_t itemHit = 0;
  gAdmDialogSuite->Modal(message->self, "Error Dialog", kErrorDialogId, QX_DIALOG_MODAL, InitErrorDialog, &report,
                         &itemHit);
}

void ShowAboutBox(QxMessageData* message) {
  if (gAdmDialogSuite == nullptr || gAdmItemSuite == nullptr) return;
  int32_t itemHit = 0;
  gAdmDialogSuite->Modal(message->self, "About Dialog", kAboutDialogId, QX_DIALOG_MODAL, InitAboutBox, nullptr,
                         &itemHit);
}

QxErr AboutPlugin(QxMessageData* message) {
  ShowAboutBox(message);
  return 0;
}
