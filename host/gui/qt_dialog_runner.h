// The desktop front end of modal dialogs: each plug-in dialog becomes a real
// modal window of widgets (see ModalDialog); alerts become message boxes.
#pragma once

#include <functional>
#include <map>
#include <string>

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include "host/gui/document_view.h"

#include "host/dialogs/dialog_runner.h"
#include "qx_sdk.h"

class QWidget;

namespace qx::gui {

class ModalDialog;
class DocumentView;

class QtDialogRunner : public host::DialogRunner {
 public:
  explicit QtDialogRunner(QWidget* parentWindow = nullptr);

  void setParentWindow(QWidget* parent) { parent_ = parent; }
  // The view whose pixels adjusters report and which follows every change.
  void setDocumentView(DocumentView* view) { view_ = view; }

  int runModal(host::Dialog& dialog) override;
  void alert(const std::string& text) override;

  // Called with the window once it is shown and its event loop runs (tests
  // act on the dialog from here, as a person would).
  void setOnOpen(std::function<void(ModalDialog&)> hook) { onOpen_ = std::move(hook); }

  // A point on the screen as a point of the document view (pixels, y down);
  // the view's own origin when there is no view.
  QxPoint viewPoint(QPoint global) const;
  // After every event delivered to the plug-in: the view catches up with a
  // zoom the plug-in set, and repaints when the art changed.
  void afterEvent();

 private:
  // Where a dialog opens the first time: beside the page.
  QPoint firstPlace(QWidget& window) const;
  QPointer<QWidget> parent_;
  QPointer<DocumentView> view_;
  std::function<void(ModalDialog&)> onOpen_;
  std::map<std::string, QPoint> positions_;  // where dialogs of each name were last closed
};

}  // namespace qx::gui
