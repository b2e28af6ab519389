// A long session under load: thousands of random dialog actions (every kind
// of control, values far out of range, adjusters dragged off the page, pages,
// presets, Tumble, Shuffle, Cancel) and filter runs, with faults injected at
// random host calls. After every message the document must be sound (every
// object valid, paint order and parents intact), the message's change must
// undo to the document as it was and redo to the document as it is, and
// nothing may pile up in the host's memory.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "host/document/art_walk.h"
#include "host/plugins/memory_store.h"
#include "host/suites/instrument.h"
#include "support/dialog_host.h"

namespace qx::test {
namespace {

using host::Dialog;
using A = host::DialogAction;

// Every object reached by the walk is valid, its parent is the container
// around it, siblings link both ways, and the walk sees every live object.
void expectSound(const host::ArtStore& art) {
  host::ArtWalk walk(art);
  host::ArtStep step;
  std::vector<QxArtHandle> open;
  size_t seen = 0;
  while (walk.next(&step)) {
    if (step.kind == host::ArtStep::kLeave) {
      ASSERT_FALSE(open.empty());
      EXPECT_EQ(open.back(), step.art);
      open.pop_back();
      continue;
    }
    ++seen;
    ASSERT_TRUE(art.isValid(step.art));
    QxArtHandle parent = nullptr;
    ASSERT_EQ(art.parent(step.art, &parent), 0);
    EXPECT_EQ(parent, open.empty() ? nullptr : open.back());
    if (step.kind == host::ArtStep::kEnter) open.push_back(step.art);
  }
  EXPECT_FALSE(walk.lost());
  EXPECT_TRUE(open.empty());
  EXPECT_EQ(seen, art.liveArtCount());
  std::vector<QxArtHandle> chain;
  for (QxArtHandle a = art.firstTopLevel(); a != nullptr;) {
    chain.push_back(a);
    if (art.nextSibling(a, &a) != 0) break;
  }
  EXPECT_EQ(chain, art.topLevelArt());
}

// Equal drawings; extreme settings can put NaN coordinates in the art, and a
// NaN equals itself here.
bool same(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i])))) return false;
  return true;
}

class LongSession : public DialogHost {
 protected:
  // One random action on a random control of the open dialog.
  void randomAction(Dialog& dialog) {
    const auto& items = dialog.items();
    if (items.empty()) return;
    const host::Item& item = *items[rng_() % items.size()];
    const int32_t id = item.id();
    if (id == host::kItemOk || id == host::kItemCancel) return;  // the session decides how a dialog ends
    ++actions_;
    switch (item.kind()) {
      case host::ItemKind::SpinEdit: {
        const double values[] = {-1e9, -1, 0, 0.5, 3, 17, 99.99, 250, 1e4, 1e12};
        tryAct(dialog, A::setValue(id, values[rng_() % std::size(values)]));
        break;
      }
      case host::ItemKind::TextCheckBox: tryAct(dialog, A::toggle(id)); break;
      case host::ItemKind::PopupList:
      case host::ItemKind::ListBox: tryAct(dialog, A::chooseIndex(id, static_cast<int32_t>(rng_() % 40) - 3)); break;
      case host::ItemKind::PicturePushButton:
        // Adjusters are picture buttons: dragged anywhere, far off the page too.
        if (rng_() % 2) {
          const QxReal x = static_cast<QxReal>(static_cast<int>(rng_() % 6000) - 2000);
          const QxReal y = static_cast<QxReal>(static_cast<int>(rng_() % 6000) - 2000);
          tryAct(dialog, A::drag(id, QxRealPoint{x, y}));
          break;
        }
        [[fallthrough]];
      case host::ItemKind::TextPushButton: tryAct(dialog, A::press(id)); break;
      default: --actions_; break;
    }
  }

  // Arm one fault at a random call of an operation the last message used.
  void armFault() {
    std::vector<host::OpInfo> used;
    for (const host::OpInfo& op : host::allOps())
      if (op.calls > 0) used.push_back(op);
    if (used.empty()) return;
    const host::OpInfo& op = used[rng_() % used.size()];
    const QxErr codes[] = {QX_ERR_BAD_PARAM, QX_ERR_OUT_OF_MEMORY, QX_ERR_NO_MEMORY_BLOCK};
    if (host::failNthCall(op.suite, op.op, 1 + rng_() % op.calls, codes[rng_() % std::size(codes)])) ++faults_;
  }

  // After a message: sound, and its change undoes and redoes exactly.
  void checkMessage(const std::vector<double>& before) {
    expectSound(doc_.art());
    const std::vector<double> after = drawing();
    host::ArtChangePtr change;
    ASSERT_TRUE(doc_.art().takeChange(&change));
    if (!change) {
      EXPECT_TRUE(same(after, before)) << "message " << messages_ << " changed the art and kept no change";
      return;
    }
    ASSERT_TRUE(doc_.art().undoChange(*change));
    EXPECT_TRUE(same(drawing(), before)) << "undo after message " << messages_;
    ASSERT_TRUE(doc_.art().redoChange(*change));
    EXPECT_TRUE(same(drawing(), after)) << "redo after message " << messages_;
    expectSound(doc_.art());
  }

  std::mt19937 rng_{20261209};
  size_t actions_ = 0, faults_ = 0, messages_ = 0, runs_ = 0;
};

TEST_F(LongSession, TenThousandActionsWithFaultsLeaveASoundDocumentAndNoLeaks) {
  doc_.art().setArtBudget(3000);
  doc_.art().setKeepChanges(true);
  random_.setDrawBudget(300'000);
  size_t blocks = 0, handles = 0;
  while (actions_ < 10'000 && !HasFatalFailure()) {
    if (doc_.art().liveArtCount() > 20'000) {
      for (QxArtHandle art : doc_.art().topLevelArt()) (void)doc_.art().disposeArt(art);
    }
    if (messages_ > 0 && rng_() % 3 == 0) armFault();
    host::resetCounts();
    const bool confirm = rng_() % 4 != 0;
    std::vector<double> before = drawing();
    const QxErr rc = open(
        [&](Dialog& dialog) {
          const int count = 1 + static_cast<int>(rng_() % 12);
          for (int i = 0; i < count; ++i) randomAction(dialog);
        },
        confirm);
    ++messages_;
    host::clearFaults();
    checkMessage(before);
    if (HasFatalFailure()) break;
    if (confirm && rc == 0) {
      before = drawing();
      (void)go();
      ++messages_;
      ++runs_;
      checkMessage(before);
    }
    // What a healthy first message leaves is the baseline for the rest.
    if (messages_ <= 2) {
      blocks = host::liveBlocks();
      handles = host::liveMemHandles();
    }
  }
  EXPECT_GE(actions_, 10'000u);
  EXPECT_GT(runs_, 100u);
  EXPECT_GT(faults_, 100u);
  EXPECT_LE(host::liveBlocks(), blocks + 1) << "blocks pile up";
  EXPECT_LE(host::liveMemHandles(), handles) << "memory handles pile up";
  RecordProperty("actions", static_cast<int>(actions_));
  RecordProperty("messages", static_cast<int>(messages_));
  RecordProperty("runs", static_cast<int>(runs_));
  RecordProperty("faults", static_cast<int>(faults_));
}

}  // namespace
}  // namespace qx::test
