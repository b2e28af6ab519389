#include "gui_fixture.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "host/suites/instrument.h"

namespace qx::test {

void GuiHost::SetUpTestSuite() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "qx_tests_gui";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives for the whole test program
}

void GuiHost::SetUp() {
  runner_ = std::make_unique<gui::QtDialogRunner>();
  host::SettingsStore store;
  store.save = [this](const std::vector<uint8_t>& bytes, std::string*) {
    saved_ = bytes;
    ++saves_;
    return true;
  };
  session_ = std::make_unique<host::AppSession>(*runner_, store);
  session_->random().seed(7);
  std::vector<std::string> problems;
  ASSERT_TRUE(session_->loadPlugins(QX_PLUGIN_DIR, &problems)) << (problems.empty() ? "" : problems[0]);
  window_ = std::make_unique<gui::MainWindow>(*session_, *runner_);
  window_->setQuietMessages(true);
  window_->resize(900, 700);
  window_->show();
  settle();
}

void GuiHost::TearDown() {
  host::clearFaults();
  window_.reset();
  session_.reset();
  runner_.reset();
}

void GuiHost::settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void GuiHost::runFilter(std::function<void(gui::ModalDialog&)> during) {
  QAction* action = window_->filterAction("Quelvix...");
  ASSERT_NE(action, nullptr);
  bool ran = false;
  runner_->setOnOpen([&](gui::ModalDialog& dialog) {
    if (ran) return;  // a nested dialog (the error dialog) is the test's own business
    ran = true;
    during(dialog);
    if (dialog.isVisible() && !dialog.model().ended()) {
      ADD_FAILURE() << "the test left the dialog open";
      dialog.cancel();
    }
  });
  // Each run draws from a seed of its own; tests draw the same every time.
  if (!session_->nextSeed()) session_->setNextSeed(7 + static_cast<uint64_t>(runs_++));
  action->trigger();
  runner_->setOnOpen({});
  EXPECT_TRUE(ran);
}

FilterParameters& GuiHost::record(gui::ModalDialog& dialog) {
  return *static_cast<FilterParameters*>(dialog.model().userData());
}

void GuiHost::key(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

void GuiHost::typeText(QWidget* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
  }
}

void GuiHost::click(QWidget* w, QPoint at) {
  if (at.x() < 0) at = w->rect().center();
  const QPointF global = w->mapToGlobal(QPointF(at));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

QImage GuiHost::screenshot(gui::ModalDialog* dialog) {
  window_->view()->finishRender();
  QImage shot = window_->grab().toImage();
  if (dialog) {
    QPainter p(&shot);
    const QPoint at = dialog->mapToGlobal(QPoint(0, 0)) - window_->mapToGlobal(QPoint(0, 0));
    p.drawImage(at, dialog->grab().toImage());
  }
  return shot;
}

}  // namespace qx::test
