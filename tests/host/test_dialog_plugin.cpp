// Dialogs made from the real plug-in's resources: the about box and the
// error dialog as the headless runner shows them, and the ADM suites reached
// through the plug-in's own messages.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "host/dialogs/dialog_manager.h"
#include "host/dialogs/scripted_runner.h"
#include "host/plugins/plugin_resources.h"
#include "host/suites/suite_registry.h"
#include "qx_adm.h"
#include "qx_names.h"
#include "support/test_host.h"

namespace qx::host {
namespace {

class PluginDialogTest : public test::TestHost {
 protected:
  void SetUp() override {
    TestHost::SetUp();
    manager_.setRunner(&runner_);
    context().dialogs = &manager_;
  }
  const QxAdmDialogSuite* dialogSuite() {
    return static_cast<const QxAdmDialogSuite*>(context().suites->find(QX_ADM_DIALOG_SUITE, 3));
  }

  DialogManager manager_;
  std::ostringstream out_, err_;
  ScriptedRunner runner_{out_, err_};
};

TEST_F(PluginDialogTest, AboutBoxPrintsTheTemplatesTextLines) {
  ASSERT_EQ(startup(), 0);
  ASSERT_EQ(about(), 0);
  // Eight text lines, one per line of output, the product's name first.
  std::istringstream lines(out_.str());
  std::string line, first;
  int count = 0;
  while (std::getline(lines, line)) {
    if (count++ == 0) first = line;
    EXPECT_FALSE(line.empty());
  }
  EXPECT_EQ(count, 8);
  EXPECT_EQ(first, "Quelvix");
  EXPECT_NE(out_.str().find("Quelvix"), std::string::npos);
  EXPECT_EQ(runner_.modalRuns(), 1);
  EXPECT_EQ(err_.str(), "");
}

struct Texts {
  char message[256];
  char code[256];
};

QxErr setErrorTexts(QxDialogRef ref) {
  DialogManager* m = hostContext().dialogs;
  Dialog* d = m->dialog(ref);
  auto* texts = static_cast<Texts*>(d->userData());
  d->item(2)->setText(texts->message);
  d->item(3)->setText(texts->code);
  return 0;
}

TEST_F(PluginDialogTest, ErrorTemplateBuildsTheErrorDialog) {
  Texts texts{"The filter cannot complete because of an unknown error.", "XYZW"};
  int32_t hit = 0;
  ASSERT_EQ(dialogSuite()->Modal(pluginRef(), "Error Dialog", kErrorDialogId, QX_DIALOG_MODAL, setErrorTexts, &texts,
                                 &hit),
            0);
  EXPECT_EQ(hit, kItemOk);
  EXPECT_EQ(err_.str(), "Error: The filter cannot complete because of an unknown error. (code XYZW)\n");
}

TEST_F(PluginDialogTest, ModalRefusesAnUnknownTemplateAndPassesInitFailuresOn) {
  int32_t hit = 0;
  EXPECT_EQ(dialogSuite()->Modal(pluginRef(), "None", 12345, QX_DIALOG_MODAL, nullptr, nullptr, &hit),
            QX_ERR_BAD_PARAM);
  EXPECT_EQ(dialogSuite()->Modal(
                pluginRef(), "Settings", 16100, QX_DIALOG_MODAL,
                [](QxDialogRef) -> QxErr { return QX_ERR_NO_SELECTION; }, nullptr, &hit),
            QX_ERR_NO_SELECTION);
  EXPECT_EQ(runner_.modalRuns(), 0);
  EXPECT_TRUE(manager_.dialogs().empty());
}

TEST_F(PluginDialogTest, SettingsDialogTakesItsCaptionFromTheTemplate) {
  auto tmpl = host().resources(plugin())->dialog(16100);
  ASSERT_TRUE(tmpl);
  EXPECT_FALSE(tmpl->caption.empty());
  std::string caption;
  runner_.setOnOpen([&](Dialog& d) { caption = d.caption(); });
  int32_t hit = 0;
  ASSERT_EQ(dialogSuite()->Modal(pluginRef(), "Quelvix", 16100, QX_DIALOG_MODAL, nullptr, nullptr, &hit), 0);
  EXPECT_EQ(hit, kItemOk);
  EXPECT_EQ(caption, tmpl->caption);
  EXPECT_EQ(runner_.lastCaption(), tmpl->caption);
}

TEST_F(PluginDialogTest, IconSizeFromTheIconGroup) {
  auto icons = static_cast<const QxAdmIconSuite*>(context().suites->find(QX_ADM_ICON_SUITE, 1));
  int32_t w = 0, h = 0;
  ASSERT_EQ(icons->GetIconSize(pluginRef(), 16051, &w, &h), 0);
  EXPECT_GT(w, 0);
  EXPECT_GT(h, 0);
  EXPECT_EQ(icons->GetIconSize(pluginRef(), 16052, &w, &h), QX_ERR_BAD_PARAM);
  EXPECT_EQ(icons->GetIconSize(pluginRef(), 16051, nullptr, &h), QX_ERR_BAD_PARAM);
}

}  // namespace
}  // namespace qx::host
