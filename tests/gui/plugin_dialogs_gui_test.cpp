// The plug-in's other dialogs as real modal windows: the about box from the
// Help menu and the error dialog a failing host call brings up.
#include <QAction>
#include <QLabel>
#include <QPushButton>

#include "gui_fixture.h"
#include "host/suites/instrument.h"

namespace qx::test {
namespace {

using gui::ModalDialog;

QAction* aboutAction(QWidget& window, const QString& text) {
  for (QAction* action : window.findChildren<QAction*>())
    if (action->text() == text) return action;
  return nullptr;
}

TEST_F(GuiHost, AboutBoxIsItsTemplateAsAModalWindow) {
  QAction* about = aboutAction(*window_, "About Quelvix...");
  ASSERT_NE(about, nullptr) << "the Help menu names the plug-in";
  bool shown = false;
  runner_->setOnOpen([&](ModalDialog& d) {
    shown = true;
    EXPECT_TRUE(d.isModal());
    EXPECT_EQ(d.windowTitle(), "Quelvix Plug-in About");
    auto* name = widget<QLabel>(d, 101);
    auto* version = widget<QLabel>(d, 103);
    auto* ok = widget<QPushButton>(d, 1);
    ASSERT_TRUE(name && version && ok);
    EXPECT_EQ(name->text(), "Quelvix");
    EXPECT_TRUE(version->text().startsWith("Version ")) << version->text().toStdString();
    EXPECT_TRUE(ok->isDefault()) << "the template's default button";
    EXPECT_TRUE(d.rect().contains(ok->geometry())) << "items sit inside the window";
    click(ok);
    if (!d.model().ended()) {
      ADD_FAILURE() << "OK left the box open";
      d.cancel();
    }
  });
  about->trigger();
  runner_->setOnOpen({});
  EXPECT_TRUE(shown);
  EXPECT_EQ(artCount(), 0u);
}

TEST_F(GuiHost, FailedHostCallShowsThePluginsErrorDialog) {
  // The settings dialog cannot be opened: the plug-in reports the code in
  // its own error dialog, and Return closes it.
  ASSERT_TRUE(host::failNthCall(QX_ADM_DIALOG_SUITE, "Modal", 1, QX_ERR_OUT_OF_MEMORY));
  QString title, message, code;
  runner_->setOnOpen([&](ModalDialog& d) {
    title = d.windowTitle();
    if (auto* m = widget<QLabel>(d, 2)) message = m->text();
    if (auto* c = widget<QLabel>(d, 3)) code = c->text();
    key(&d, Qt::Key_Return);
    if (!d.model().ended()) {
      ADD_FAILURE() << "Return left the error dialog open";
      d.cancel();
    }
  });
  window_->filterAction("Quelvix...")->trigger();
  runner_->setOnOpen({});

  EXPECT_EQ(title, "Plug-in Error");
  EXPECT_EQ(message, "The filter cannot complete because there isn't enough memory (RAM) available.");
  EXPECT_TRUE(code.contains("108")) << code.toStdString();
  EXPECT_EQ(artCount(), 0u);
  EXPECT_FALSE(window_->undoAction()->isEnabled()) << "a failed run leaves nothing to undo";
  EXPECT_TRUE(window_->lastError().isEmpty()) << "the host does not report the failure a second time";
  EXPECT_EQ(saves_, 0) << "settings of a failed run are not kept";
}

}  // namespace
}  // namespace qx::test
