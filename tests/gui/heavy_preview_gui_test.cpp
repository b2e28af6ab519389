// A heavy preview is painted over many turns of the event loop while input
// is handled between them.
#include <cstring>

#include <QKeyEvent>

#include "gui_fixture.h"
#include "host/document/document.h"

namespace qx::test {
namespace {

using gui::ModalDialog;
using gui::SpinEdit;

template <class T>
void setField(std::vector<uint8_t>& block, size_t offset, T value) {
  static_assert(sizeof(T) == 4);
  std::memcpy(block.data() + offset, &value, 4);
}

TEST_F(GuiHost, HeavyPreviewIsPaintedWhileInputIsHandled) {
  // The heaviest drawing the dialog allows, kept as the filter's settings:
  // the dialog opens with its preview.
  runFilter([](ModalDialog& d) { d.cancel(); });  // the plug-in makes its defaults
  host::RegisteredFilter* filter = session_->plugins().findFilterByTitle("Quelvix...");
  ASSERT_NE(filter, nullptr);
  std::vector<uint8_t> block = session_->plugins().filterParameters(*filter).value_or(std::vector<uint8_t>{});
  ASSERT_EQ(block.size(), sizeof(FilterParameters));
  setField<int32_t>(block, offsetof(FilterParameters, preview), 1);
  setField<int32_t>(block, offsetof(FilterParameters, lineSets), 200);
  setField<int32_t>(block, offsetof(FilterParameters, pointsMin), 3000);
  setField<int32_t>(block, offsetof(FilterParameters, pointsMax), 3000);
  setField<int32_t>(block, offsetof(FilterParameters, lockPoints), 1);
  setField<QxReal>(block, offsetof(FilterParameters, shapeSizeMin), 20);
  setField<QxReal>(block, offsetof(FilterParameters, shapeSizeMax), 20);
  setField<int32_t>(block, offsetof(FilterParameters, tileMode), 1);
  ASSERT_EQ(session_->plugins().setFilterParameters(*filter, block), 0);

  gui::DocumentView* view = window_->view();
  bool sawBusy = false;
  QObject::connect(view, &gui::DocumentView::busyChanged, view, [&](bool busy) { sawBusy |= busy; });
  runFilter([&](ModalDialog& d) {
    EXPECT_GT(session_->document().art().liveArtCount(), 1000000u) << "the preview is the heavy drawing";
    ASSERT_FALSE(view->renderComplete()) << "a drawing this heavy cannot be painted in one turn";

    // A key typed into a value arrives while the painting goes on.
    auto* sets = widget<SpinEdit>(d, 6);
    sets->setFocus();
    sets->selectAll();
    QApplication::postEvent(sets, new QKeyEvent(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7"));
    QApplication::processEvents();
    EXPECT_EQ(sets->text(), "7");
    EXPECT_FALSE(view->renderComplete()) << "the key did not wait for the painting";

    // The painting goes on turn by turn; past a fifth of a second it says so.
    for (int turn = 0; turn < 100000 && !sawBusy && !view->renderComplete(); ++turn) QApplication::processEvents();
    EXPECT_TRUE(sawBusy);
    d.cancel();
  });
  // Cancelled: the preview is gone, and so is the busy indicator.
  EXPECT_EQ(artCount(), 0u);
  view->finishRender();
  EXPECT_TRUE(view->renderComplete());
  EXPECT_FALSE(view->busy());
}

}  // namespace
}  // namespace qx::test
