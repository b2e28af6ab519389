#include "host/gui/qt_dialog_runner.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include "host/document/document.h"
#include "host/gui/dialog_placement.h"
#include "host/gui/document_view.h"
#include "host/gui/modal_dialog.h"

namespace qx::gui {

QtDialogRunner::QtDialogRunner(QWidget* parentWindow) : parent_(parentWindow) {}

QxPoint QtDialogRunner::viewPoint(QPoint global) const {
  if (!view_) return QxPoint{0, 0};
  const QPoint local = view_->mapFromGlobal(global);
  return QxPoint{local.x(), local.y()};
}

void QtDialogRunner::afterEvent() {
  if (view_) view_->documentChanged();
}

QPoint QtDialogRunner::firstPlace(QWidget& window) const {
  window.adjustSize();
  // The frame is not known before the window is shown: allow for a title bar.
  const QSize size = window.size() + QSize(8, 32);
  const QRect frame = parent_->frameGeometry();
  QRect page = frame;
  if (view_ && view_->document()) {
    const host::Document& doc = *view_->document();
    const QPointF topLeft = view_->toPixel(QxRealPoint{0, doc.pageHeight()});
    const QPointF bottomRight = view_->toPixel(QxRealPoint{doc.pageWidth(), 0});
    const QRect local = QRectF(topLeft, bottomRight).normalized().toAlignedRect().intersected(view_->rect());
    page = QRect(view_->mapToGlobal(local.topLeft()), local.size());
  }
  QScreen* screen = parent_->screen() ? parent_->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : frame;
  return placeBesidePage(size, page, frame, area);
}

int QtDialogRunner::runModal(host::Dialog& dialog) {
  ModalDialog window(dialog, *this, parent_);
  // Where this dialog was last closed; else where the plug-in put it; else
  // where it hides the least of the page.
  const QxRect& b = dialog.boundsRect();
  auto kept = positions_.find(dialog.name());
  if (kept != positions_.end()) {
    window.move(kept->second);
  } else if (b.left != 0 || b.top != 0) {
    window.setGeometry(QRect(b.left, b.top, window.width(), window.height()));
  } else if (parent_) {
    window.move(firstPlace(window));
  }

  if (onOpen_) {
    QTimer::singleShot(0, &window, [this, &window] {
      if (onOpen_ && !window.model().ended()) onOpen_(window);
    });
  }
  int answer = window.model().ended() ? window.model().itemHit() : window.exec();

  const QRect g = window.geometry();
  positions_[dialog.name()] = window.pos();
  // The plug-in may ask where the dialog was when it goes away.
  dialog.setBoundsRect(QxRect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()});
  if (dialog.ended()) answer = dialog.itemHit();
  return answer == QDialog::Rejected && !dialog.ended() ? host::kItemCancel : answer;
}

void QtDialogRunner::alert(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Quelvix"), QString::fromStdString(text), QMessageBox::Ok,
                  parent_);
  if (onOpen_) {
    // Tests never wait for a person: an alert closes itself.
    QTimer::singleShot(0, &box, [&box] { box.accept(); });
  }
  box.exec();
}

}  // namespace qx::gui
