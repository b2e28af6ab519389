// The desktop app under test: the real plug-in in an app session, the main
// window and the Qt dialog runner, all off-screen. A test opens the filter
// from the Filter menu and acts on the dialog's widgets from the runner's
// open hook, as a person would.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QApplication>
#include <QWidget>

#include "host/gui/document_view.h"
#include "host/gui/main_window.h"
#include "host/gui/modal_dialog.h"
#include "host/gui/qt_dialog_runner.h"
#include "host/session/app_session.h"
#include "plugin/filter/parameters.h"

namespace qx::test {

class GuiHost : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Choose Filter > Torvik <Create> > Quelvix... ; `during` acts on the open
  // dialog and must close it (confirm, cancel or a key).
  void runFilter(std::function<void(gui::ModalDialog&)> during);
  static FilterParameters& record(gui::ModalDialog& dialog);
  template <class W>
  static W* widget(gui::ModalDialog& dialog, int id) {
    W* w = dialog.widgetAs<W>(id);
    EXPECT_NE(w, nullptr) << "item " << id;
    return w;
  }
  // Let queued events run (timers of zero length, deferred deletes).
  static void settle();
  // The window with the open dialog drawn over it where it sits.
  QImage screenshot(gui::ModalDialog* dialog);


 public:
  // Input as a person makes it, delivered to the widget.
  static void key(QWidget* w, int key);
  static void typeText(QWidget* w, const QString& text);
  static void click(QWidget* w, QPoint at = QPoint(-1, -1));

 protected:
  size_t artCount() { return session_->document().art().topLevelArt().size(); }

  std::unique_ptr<gui::QtDialogRunner> runner_;
  std::unique_ptr<host::AppSession> session_;
  std::unique_ptr<gui::MainWindow> window_;
  std::vector<uint8_t> saved_;
  int saves_ = 0;
  int runs_ = 0;
};

}  // namespace qx::test
