// A designer's session in the window: steps undone and redone one by one,
// the modified mark and the question before unsaved work goes, seeds shown
// and set, settings files, variations, and where the dialog first opens.
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>

#include <QElapsedTimer>
#include <QProcess>
#include <QToolButton>

#include "gui_fixture.h"
#include "host/document/document.h"
#include "host/gui/dialog_placement.h"
#include "host/gui/variations_dialog.h"
#include "host/io/json/json_writer.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;

class History : public GuiHost {
 protected:
  void SetUp() override {
    GuiHost::SetUp();
    dir_ = fs::temp_directory_path() / ("qx_gui_history_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    GuiHost::TearDown();
    fs::remove_all(dir_);
  }
  host::Document& doc() { return session_->document(); }
  // The document as its JSON form says it, but for the selection, which is
  // no step of its own.
  std::string state() {
    return std::regex_replace(host::documentJson(doc()), std::regex("\"selected\": (true|false)"), "");
  }
  void confirm() {
    runFilter([](gui::ModalDialog& dialog) { key(&dialog, Qt::Key_Return); });
  }
  QString text(QAction* action) { return action->text(); }

  fs::path dir_;
};

TEST_F(History, ThreeRunsAndADeleteAreUndoneAndRedoneOneByOne) {
  std::vector<std::string> states{state()};
  for (int run = 0; run < 3; ++run) {
    confirm();
    states.push_back(state());
    ASSERT_NE(states.back(), states[states.size() - 2]) << "run " << run << " drew nothing new";
  }
  window_->selectAll();
  ASSERT_TRUE(window_->deleteSelection());
  states.push_back(state());
  EXPECT_EQ(artCount(), 0u);
  EXPECT_EQ(text(window_->undoAction()), "&Undo Delete");
  EXPECT_FALSE(window_->redoAction()->isEnabled());

  for (size_t i = states.size() - 1; i-- > 0;) {
    window_->undo();
    EXPECT_TRUE(state() == states[i]) << "after undoing back to state " << i;
  }
  EXPECT_FALSE(window_->undoAction()->isEnabled());
  EXPECT_EQ(text(window_->redoAction()), "&Redo Quelvix");

  for (size_t i = 1; i < states.size(); ++i) {
    window_->redo();
    EXPECT_TRUE(state() == states[i]) << "after redoing to state " << i;
  }
  EXPECT_FALSE(window_->redoAction()->isEnabled());

  // A new step after an undo drops what could be redone.
  window_->undo();
  window_->undo();
  confirm();
  EXPECT_FALSE(window_->redoAction()->isEnabled());
  EXPECT_EQ(session_->undoSteps(), 3u);
  window_->undo();
  EXPECT_TRUE(state() == states[2]);
}

TEST_F(History, ImportPlacesADrawingsArtAsOneStepAndAFullDocumentTakesNone) {
  confirm();
  const std::string before = state();
  const size_t drawn = artCount();
  ASSERT_TRUE(window_->importFile(SVG_TEST_DATA "/motif.svg")) << window_->lastError().toStdString();
  EXPECT_EQ(artCount(), drawn + 2);
  EXPECT_EQ(text(window_->undoAction()), "&Undo Import");
  QxArtHandle star = doc().findArtByName("star");
  ASSERT_NE(star, nullptr) << "names come along";
  const std::optional<host::ArtView> imported = doc().art().view(star);
  ASSERT_TRUE(imported);
  EXPECT_GT(imported->segments.size(), 4u);
  // Imported twice: the second copy leaves the taken names off.
  ASSERT_TRUE(window_->importFile(SVG_TEST_DATA "/motif.svg"));
  EXPECT_EQ(artCount(), drawn + 4);
  EXPECT_EQ(doc().findArtByName("star"), star);
  window_->undo();
  window_->undo();
  EXPECT_TRUE(state() == before);

  // A document that is full takes nothing, and says why.
  doc().art().setArtBudget(doc().art().liveArtCount() + 1);
  EXPECT_FALSE(window_->importFile(SVG_TEST_DATA "/motif.svg"));
  EXPECT_NE(window_->lastError().indexOf("art budget"), -1) << window_->lastError().toStdString();
  EXPECT_TRUE(state() == before);
  EXPECT_EQ(text(window_->undoAction()), "&Undo Quelvix");
  EXPECT_FALSE(window_->importFile(QString::fromStdString((dir_ / "missing.svg").string())));
}

TEST_F(History, TheOldestStepsGoWhenTheHistoryPassesItsLimit) {
  session_->setHistoryLimit(1);  // every step is larger: only the last is kept
  confirm();
  confirm();
  const std::string second = state();
  confirm();
  EXPECT_EQ(session_->undoSteps(), 1u);
  window_->undo();
  EXPECT_TRUE(state() == second);
  EXPECT_FALSE(window_->undoAction()->isEnabled());
  EXPECT_TRUE(window_->isWindowModified());
  window_->redo();
  EXPECT_EQ(session_->undoSteps(), 1u);
}

TEST_F(History, UndoBringsBackTheSeedAndThePaletteOfEachStep) {
  session_->setNextSeed(101);
  confirm();
  session_->setNextSeed(202);
  confirm();
  EXPECT_EQ(doc().seed(), 202u);
  EXPECT_NE(window_->seedText().indexOf("Seed 202"), -1) << window_->seedText().toStdString();
  std::ofstream(dir_ / "p.txt") << "#102030\n#405060\n";
  ASSERT_TRUE(window_->loadPalette(QString::fromStdString((dir_ / "p.txt").string())));
  EXPECT_EQ(text(window_->undoAction()), "&Undo Load Palette");
  const size_t swatches = doc().swatches().size();

  window_->undo();
  EXPECT_NE(doc().swatches().size(), swatches);
  window_->undo();
  EXPECT_EQ(doc().seed(), 101u);
  EXPECT_NE(window_->seedText().indexOf("Seed 101"), -1);
  window_->redo();
  window_->redo();
  EXPECT_EQ(doc().swatches().size(), swatches);
  EXPECT_EQ(doc().seed(), 202u);
}

TEST_F(History, TheTitleMarksChangesAndNewAsksBeforeTheyAreLost) {
  EXPECT_FALSE(window_->isWindowModified());
  confirm();
  EXPECT_TRUE(window_->isWindowModified());
  EXPECT_EQ(window_->windowTitle(), "Untitled[*] - Quelvix");

  // Cancel keeps the drawing; Discard lets it go.
  std::vector<QMessageBox::StandardButton> answers{QMessageBox::Cancel, QMessageBox::Discard};
  window_->setPromptAnswer([&] {
    QMessageBox::StandardButton a = answers.front();
    answers.erase(answers.begin());
    return a;
  });
  EXPECT_FALSE(window_->newDocument(612, 792));
  EXPECT_GT(artCount(), 0u);
  EXPECT_TRUE(window_->newDocument(612, 792));
  EXPECT_EQ(artCount(), 0u);
  EXPECT_EQ(window_->promptsAsked(), 2);
  EXPECT_FALSE(window_->isWindowModified());
  EXPECT_FALSE(window_->undoAction()->isEnabled()) << "a new document starts a new history";

  // Save saves, then lets the old document go; unchanged documents are not asked about.
  confirm();
  const QString path = QString::fromStdString((dir_ / "kept.svg").string());
  ASSERT_TRUE(window_->saveFile(path));
  EXPECT_FALSE(window_->isWindowModified());
  EXPECT_EQ(window_->windowTitle(), "kept.svg[*] - Quelvix");
  window_->undo();
  EXPECT_TRUE(window_->isWindowModified()) << "the saved state is one redo away";
  window_->redo();
  EXPECT_FALSE(window_->isWindowModified());
  EXPECT_TRUE(window_->newDocument(612, 792));
  EXPECT_EQ(window_->promptsAsked(), 2);
}

TEST_F(History, QuitAsksAndCancelKeepsTheWindowOpen) {
  confirm();
  int asked = 0;
  QMessageBox::StandardButton answer = QMessageBox::Cancel;
  window_->setPromptAnswer([&] {
    ++asked;
    return answer;
  });
  EXPECT_FALSE(window_->close());
  EXPECT_TRUE(window_->isVisible());
  const QString path = QString::fromStdString((dir_ / "quit.svg").string());
  ASSERT_TRUE(window_->saveFile(path));
  answer = QMessageBox::Discard;
  window_->undo();  // changed again
  EXPECT_TRUE(window_->close());
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(fs::exists(dir_ / "quit.svg"));
}

TEST_F(History, ASetSeedDrawsWhatTheCommandLineDrawsWithThatSeed) {
  window_->setNextSeed(4242);
  EXPECT_NE(window_->seedText().indexOf("next run: seed 4242"), -1) << window_->seedText().toStdString();
  confirm();
  EXPECT_EQ(doc().seed(), 4242u);
  EXPECT_EQ(window_->seedText(), "Seed 4242") << "the set seed is used once";

  const fs::path settings = dir_ / "settings.bin";
  ASSERT_TRUE(window_->saveSettings(QString::fromStdString(settings.string())));
  EXPECT_EQ(fs::file_size(settings), 236u);
  const fs::path out = dir_ / "cli.json";
  QProcess render;
  render.start(QX_QUELVIX_EXE,
               {"render", "--plugins", QX_PLUGIN_DIR, "--state", QString::fromStdString(settings.string()), "--seed",
                "4242", "-o", QString::fromStdString(out.string())});
  ASSERT_TRUE(render.waitForFinished(60000));
  ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
  std::ifstream in(out);
  const std::string cli((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(cli == host::documentJson(doc())) << "the app and the command line drew differently";
}

TEST_F(History, SettingsFilesLoadAndAWrongSizeIsRefused) {
  // Before the dialog has run there are no settings to save.
  EXPECT_FALSE(window_->saveSettings(QString::fromStdString((dir_ / "early.bin").string())));
  EXPECT_FALSE(fs::exists(dir_ / "early.bin"));
  confirm();
  const std::vector<uint8_t> before = session_->filterSettings();
  ASSERT_EQ(before.size(), 236u);
  std::ofstream(dir_ / "short.bin") << "not a settings block";
  EXPECT_FALSE(window_->loadSettings(QString::fromStdString((dir_ / "short.bin").string())));
  EXPECT_NE(window_->lastError().indexOf("short.bin"), -1) << window_->lastError().toStdString();
  EXPECT_EQ(session_->filterSettings(), before);
  EXPECT_FALSE(window_->loadSettings(QString::fromStdString((dir_ / "none.bin").string())));

  // Settings changed in the dialog, saved, changed again, loaded back.
  runFilter([](gui::ModalDialog& dialog) {
    record(dialog).lineSets = 3;
    key(&dialog, Qt::Key_Return);
  });
  const std::vector<uint8_t> three = session_->filterSettings();
  const QString path = QString::fromStdString((dir_ / "three.bin").string());
  ASSERT_TRUE(window_->saveSettings(path));
  runFilter([](gui::ModalDialog& dialog) {
    record(dialog).lineSets = 5;
    key(&dialog, Qt::Key_Return);
  });
  ASSERT_NE(session_->filterSettings(), three);
  ASSERT_TRUE(window_->loadSettings(path)) << window_->lastError().toStdString();
  EXPECT_EQ(session_->filterSettings(), three);
}

TEST_F(History, VariationsDrawThumbnailsInTheBackgroundAndAClickKeepsTheSeed) {
  window_->setRenderProgram(QX_QUELVIX_EXE);
  window_->setNextSeed(500);
  int cells = 0, failed = -1;
  uint64_t picked = 0;
  window_->setOnVariations([&](gui::VariationsDialog& dialog) {
    QElapsedTimer clock;
    clock.start();
    while (dialog.finishedCount() < dialog.cellCount() && clock.elapsed() < 120000)
      QApplication::processEvents(QEventLoop::AllEvents, 50);
    cells = dialog.cellCount();
    failed = dialog.failedCount();
    EXPECT_EQ(dialog.cellSeed(0), 500u);
    EXPECT_FALSE(dialog.cell(2)->icon().isNull());
    picked = dialog.cellSeed(2);
    click(dialog.cell(2));
  });
  window_->showVariations();
  EXPECT_EQ(cells, 12);
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(picked, 502u);
  EXPECT_EQ(session_->nextSeed(), 502u);
}

TEST(DialogPlacement, TheDialogGoesBesideTheWindowOrWhereItHidesLeastOfThePage) {
  const QRect screen(0, 0, 1600, 1000);
  const QSize dialog(500, 300);
  // Room on the right of the window.
  EXPECT_EQ(gui::placeBesidePage(dialog, QRect(100, 100, 400, 500), QRect(0, 0, 800, 700), screen), QPoint(800, 0));
  // A window as wide as the screen: the dialog goes where the page is not.
  const QRect page(300, 200, 600, 780);
  const QPoint at = gui::placeBesidePage(dialog, page, screen, screen);
  EXPECT_FALSE(QRect(at, dialog).intersects(page)) << at.x() << "," << at.y();
  EXPECT_TRUE(screen.contains(QRect(at, dialog)));
  // A page filling the screen: still on the screen.
  const QPoint inside = gui::placeBesidePage(dialog, screen, screen, screen);
  EXPECT_TRUE(screen.contains(QRect(inside, dialog)));
}

}  // namespace
}  // namespace qx::test
