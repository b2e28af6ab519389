// One plug-in dialog as a modal window: a widget for each item of the host's
// dialog model at the item's bounds, in a window of the dialog's size with
// its caption. Widgets only report what the person did; every change goes
// through the model and the item's notify or track procedure, exactly as the
// scripted runner does it, and afterwards every widget is set from the model
// again (shown, enabled, value, text, font, entries).
//
// Keys: Return confirms (answer 1), but first commits a spin edit still
// being typed into; Escape and closing the window cancel (answer 2). A
// dialog without a default item (number 1) gets a host "OK" button, since a
// mouse user needs a way to confirm too.
#pragma once

#include <cstdint>
#include <map>

#include <QDialog>
#include <QDoubleSpinBox>
#include <QPushButton>

#include "host/dialogs/dialog_manager.h"

namespace qx::gui {

class QtDialogRunner;

// A spin edit that commits on Return, focus loss and arrow steps.
class SpinEdit : public QDoubleSpinBox {
  Q_OBJECT
 public:
  using QDoubleSpinBox::QDoubleSpinBox;
  // True while typed text differs from the committed value.
  bool editPending() const { return text() != textFromValue(value()); }
};

// A button that reports mouse presses and drags while held, for items with a
// track procedure (the drag adjusters).
class TrackButton : public QPushButton {
  Q_OBJECT
 public:
  using QPushButton::QPushButton;
 signals:
  void tracked(QPoint global, bool held);
 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class ModalDialog : public QDialog {
  Q_OBJECT
 public:
  ModalDialog(host::Dialog& model, QtDialogRunner& runner, QWidget* parent);

  host::Dialog& model() const { return model_; }
  // The widget of item `id` (nullptr when none).
  QWidget* widget(int32_t id) const;
  template <class W>
  W* widgetAs(int32_t id) const {
    return qobject_cast<W*>(widget(id));
  }
  QPushButton* hostOkButton() const { return hostOk_; }

  // What the keys and buttons do, callable from tests too.
  void confirm();
  void cancel();
  // Set every widget from the model.
  void syncFromModel();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override { cancel(); }
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* makeWidget(host::Item& item);
  // The widgets that report what the person does to item `id`.
  QWidget* makeCheckBox(int32_t id);
  QWidget* makeSpinEdit(int32_t id);
  QWidget* makePopupList(int32_t id);
  QWidget* makeButton(host::Item& item);
  QWidget* makeTextEdit(int32_t id);
  // Deliver a change of `item` to the plug-in, then bring the window up to date.
  void notify(host::Item& item);
  void track(host::Item& item, QPoint global, bool held);
  void afterEvent();
  void syncItem(host::Item& item, QWidget* widget);

  host::Dialog& model_;
  QtDialogRunner& runner_;
  std::map<int32_t, QWidget*> widgets_;
  QPushButton* hostOk_ = nullptr;
  QFont baseFont_;
  bool syncing_ = false;
  qint64 lastEventMs_ = 0;
};

}  // namespace qx::gui
