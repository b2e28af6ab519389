#include "host/gui/modal_dialog.h"

#include <cmath>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include "host/gui/qt_dialog_runner.h"

namespace qx::gui {
namespace {

// Heavier changes than this show the wait cursor for the next one, since the
// plug-in's own call cannot be interrupted to show it.
constexpr qint64 kSlowEventMs = 200;
constexpr double kUnlimited = 1e9;

QRect toQt(const QxRect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

bool isButton(host::ItemKind kind) {
  return kind == host::ItemKind::TextPushButton || kind == host::ItemKind::PicturePushButton;
}

}  // namespace

// ---- TrackButton ----

void TrackButton::mousePressEvent(QMouseEvent* event) {
  QPushButton::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) emit tracked(event->globalPosition().toPoint(), true);
}

void TrackButton::mouseMoveEvent(QMouseEvent* event) {
  QPushButton::mouseMoveEvent(event);
  if (event->buttons() & Qt::LeftButton) emit tracked(event->globalPosition().toPoint(), true);
}

void TrackButton::mouseReleaseEvent(QMouseEvent* event) {
  QPushButton::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) emit tracked(event->globalPosition().toPoint(), false);
}

// ---- ModalDialog ----

ModalDialog::ModalDialog(host::Dialog& model, QtDialogRunner& runner, QWidget* parent)
    : QDialog(parent), model_(model), runner_(runner) {
  setModal(true);
  setWindowTitle(fromUtf8(model.caption()));
  // The templates ask for an 8-point dialog font; sizes are pixels, so the
  // font is set in pixels too (8 points at 96 dots per inch).
  baseFont_ = QFont(model.fontName().empty() ? QApplication::font().family() : fromUtf8(model.fontName()));
  baseFont_.setPixelSize(11);
  setFont(baseFont_);
  setFixedSize(std::max(model.width(), 1), std::max(model.height(), 1));

  for (const auto& item : model.items()) {
    QWidget* w = makeWidget(*item);
    if (!w) continue;
    w->setGeometry(toQt(item->bounds()));
    widgets_[item->id()] = w;
  }
  if (!model.item(host::kItemOk) && !model.fromTemplateItems()) {
    // No default item: the host's own confirming button, where the settings
    // dialog leaves room above its Cancel button.
    hostOk_ = new QPushButton(tr("OK"), this);
    hostOk_->setAutoDefault(false);
    hostOk_->setObjectName("hostOk");
    const QRect cancel = model.item(host::kItemCancel) ? toQt(model.item(host::kItemCancel)->bounds())
                                                       : QRect(width() - 90, 40, 80, 20);
    hostOk_->setGeometry(cancel.x(), std::max(5, cancel.y() - cancel.height() - 8), cancel.width(), cancel.height());
    connect(hostOk_, &QPushButton::clicked, this, [this] { confirm(); });
  }
  syncFromModel();
}

QWidget* ModalDialog::widget(int32_t id) const {
  auto it = widgets_.find(id);
  return it == widgets_.end() ? nullptr : it->second;
}

QWidget* ModalDialog::makeWidget(host::Item& item) {
  using host::ItemKind;
  const int32_t id = item.id();
  QWidget* made = nullptr;
  switch (item.kind()) {
    case ItemKind::TextCheckBox: made = makeCheckBox(id); break;
    case ItemKind::SpinEdit: made = makeSpinEdit(id); break;
    case ItemKind::PopupList: made = makePopupList(id); break;
    case ItemKind::TextPushButton:
    case ItemKind::PicturePushButton: made = makeButton(item); break;
    case ItemKind::TextStatic: {
      auto* label = new QLabel(this);
      label->setWordWrap(model_.fromTemplateItems());
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      made = label;
      break;
    }
    case ItemKind::Frame: {
      auto* frame = new QFrame(this);
      frame->setFrameShape(QFrame::Box);
      made = frame;
      break;
    }
    case ItemKind::TextEdit: made = makeTextEdit(id); break;
    default:
      made = new QLabel(this);  // kinds this host draws as their text only
      break;
  }
  made->setObjectName(QString("item%1").arg(id));
  return made;
}

QWidget* ModalDialog::makeCheckBox(int32_t id) {
  auto* box = new QCheckBox(this);
  connect(box, &QCheckBox::clicked, this, [this, id] {
    if (host::Item* it = model_.item(id)) {
      it->setPendingToggle(true);
      notify(*it);
    }
  });
  return box;
}

QWidget* ModalDialog::makeSpinEdit(int32_t id) {
  auto* spin = new SpinEdit(this);
  spin->setKeyboardTracking(false);  // commit on Return, focus loss and arrows only
  spin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  spin->installEventFilter(this);
  connect(spin, &QDoubleSpinBox::valueChanged, this, [this, id](double value) {
    if (syncing_) return;
    if (host::Item* it = model_.item(id)) {
      it->setValue(value);
      notify(*it);
    }
  });
  return spin;
}

QWidget* ModalDialog::makePopupList(int32_t id) {
  auto* combo = new QComboBox(this);
  connect(combo, &QComboBox::activated, this, [this, id](int index) {
    if (host::Item* it = model_.item(id)) {
      it->setPendingIndex(index);
      notify(*it);
    }
  });
  return combo;
}

QWidget* ModalDialog::makeButton(host::Item& item) {
  const int32_t id = item.id();
  QPushButton* button = nullptr;
  if (item.trackProc()) {
    auto* tb = new TrackButton(this);
    connect(tb, &TrackButton::tracked, this, [this, id](QPoint global, bool held) {
      if (host::Item* it = model_.item(id)) track(*it, global, held);
    });
    button = tb;
  } else {
    button = new QPushButton(this);
    connect(button, &QPushButton::clicked, this, [this, id] {
      if (host::Item* it = model_.item(id)) notify(*it);
    });
  }
  button->setAutoDefault(false);
  // Drawn as the default; Return itself is handled by the dialog, which
  // commits a value being typed first.
  button->setDefault(item.isDefaultItem());
  return button;
}

QWidget* ModalDialog::makeTextEdit(int32_t id) {
  auto* edit = new QLineEdit(this);
  connect(edit, &QLineEdit::editingFinished, this, [this, id, edit] {
    if (syncing_) return;
    if (host::Item* it = model_.item(id)) {
      it->setText(edit->text().toStdString());
      notify(*it);
    }
  });
  return edit;
}

void ModalDialog::syncFromModel() {
  syncing_ = true;
  for (const auto& item : model_.items())
    if (QWidget* w = widget(item->id())) syncItem(*item, w);
  syncing_ = false;
}

void ModalDialog::syncItem(host::Item& item, QWidget* w) {
  using host::ItemKind;
  w->setVisible(item.visible());
  w->setEnabled(item.enabled());
  QFont font = baseFont_;
  font.setBold(item.font() == QX_FONT_DIALOG_BOLD);
  if (w->font() != font) w->setFont(font);
  const QString text = fromUtf8(item.text());
  switch (item.kind()) {
    case ItemKind::TextCheckBox: {
      auto* box = static_cast<QCheckBox*>(w);
      if (box->text() != text) box->setText(text);
      box->setChecked(item.booleanValue());
      break;
    }
    case ItemKind::SpinEdit: {
      auto* spin = static_cast<SpinEdit*>(w);
      const int decimals = item.isInteger() ? 0 : item.precision();
      if (spin->decimals() != decimals) spin->setDecimals(decimals);
      const double lo = item.hasLimits() ? item.minValue() : -kUnlimited;
      const double hi = item.hasLimits() ? item.maxValue() : kUnlimited;
      if (spin->minimum() != lo || spin->maximum() != hi) spin->setRange(lo, hi);
      spin->setSingleStep(1);
      if (spin->value() != item.value() || spin->editPending()) spin->setValue(item.value());
      break;
    }
    case ItemKind::PopupList: {
      auto* combo = static_cast<QComboBox*>(w);
      const auto& entries = item.entries();
      bool same = combo->count() == static_cast<int>(entries.size());
      for (int i = 0; same && i < combo->count(); ++i) same = combo->itemText(i) == fromUtf8(entries[i].text);
      if (!same) {
        combo->clear();
        for (const auto& e : entries) combo->addItem(fromUtf8(e.text));
      }
      combo->setCurrentIndex(item.activeIndex());
      break;
    }
    case ItemKind::TextPushButton:
    case ItemKind::PicturePushButton: {
      auto* button = static_cast<QPushButton*>(w);
      if (button->text() != text) button->setText(text);
      break;
    }
    case ItemKind::TextStatic:
    case ItemKind::User:
    case ItemKind::ListBox:
    case ItemKind::ScrollBar: {
      if (auto* label = qobject_cast<QLabel*>(w); label && label->text() != text) label->setText(text);
      break;
    }
    case ItemKind::TextEdit: {
      auto* edit = static_cast<QLineEdit*>(w);
      if (edit->text() != text) edit->setText(text);
      break;
    }
    case ItemKind::Frame: break;
  }
}

void ModalDialog::notify(host::Item& item) {
  if (model_.ended()) return;
  const bool slow = lastEventMs_ > kSlowEventMs;
  if (slow) QApplication::setOverrideCursor(Qt::WaitCursor);
  QElapsedTimer clock;
  clock.start();
  model_.manager().notify(item);
  lastEventMs_ = clock.elapsed();
  if (slow) QApplication::restoreOverrideCursor();
  afterEvent();
}

void ModalDialog::track(host::Item& item, QPoint global, bool held) {
  if (model_.ended() || !item.enabled()) return;
  // Only a drag with the button held is news to the plug-in; a release
  // reports the point without the flag, which changes nothing.
  const host::TrackEvent event{runner_.viewPoint(global), held ? QX_MODIFIER_BUTTON_DOWN : 0};
  QElapsedTimer clock;
  clock.start();
  model_.manager().track(item, event);
  lastEventMs_ = clock.elapsed();
  afterEvent();
}

void ModalDialog::afterEvent() {
  runner_.afterEvent();
  syncFromModel();
  if (model_.ended()) done(model_.itemHit());
}

void ModalDialog::confirm() {
  if (model_.ended()) return done(model_.itemHit());
  host::Item* ok = model_.item(host::kItemOk);
  if (ok && isButton(ok->kind()) && ok->enabled()) model_.manager().notify(*ok);
  model_.endModal(host::kItemOk);
  afterEvent();
}

void ModalDialog::cancel() {
  if (model_.ended()) return done(model_.itemHit());
  host::Item* button = model_.item(host::kItemCancel);
  if (button && isButton(button->kind()) && button->enabled()) model_.manager().notify(*button);
  model_.endModal(host::kItemCancel);
  afterEvent();
}

bool ModalDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      // A value still being typed is committed first; the next Return confirms.
      if (auto* spin = qobject_cast<SpinEdit*>(watched); spin && spin->editPending()) {
        spin->interpretText();
        if (spin->editPending()) syncFromModel();  // text that reads as no number goes back
        return true;
      }
      confirm();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ModalDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: confirm(); return;
    case Qt::Key_Escape: cancel(); return;
    default: QDialog::keyPressEvent(event);
  }
}

void ModalDialog::closeEvent(QCloseEvent* event) {
  if (!model_.ended()) {
    event->ignore();
    cancel();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace qx::gui
