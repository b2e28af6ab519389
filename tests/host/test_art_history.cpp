// Kept changes: closed undo contexts taken back and made again in stack
// order, with the art, paths, paint order and counts exactly as they stood.
#include <gtest/gtest.h>

#include <vector>

#include "host/document/art_store.h"
#include "support/art_store_builders.h"

namespace qx::host {
namespace {

struct Snapshot {
  std::vector<QxArtHandle> top;
  std::vector<std::vector<QxPathSegment>> segments;
  std::vector<QxReal> opacity;
  size_t live = 0;
  bool operator==(const Snapshot& other) const {
    if (top != other.top || opacity != other.opacity || live != other.live) return false;
    for (size_t i = 0; i < segments.size(); ++i) {
      if (segments[i].size() != other.segments[i].size()) return false;
      for (size_t j = 0; j < segments[i].size(); ++j)
        if (segments[i][j].p.x != other.segments[i][j].p.x || segments[i][j].p.y != other.segments[i][j].p.y)
          return false;
    }
    return true;
  }
};

Snapshot snapshot(const ArtStore& store) {
  Snapshot s;
  s.top = store.topLevelArt();
  for (QxArtHandle art : s.top) {
    s.segments.push_back(segmentsOf(store, art));
    s.opacity.push_back(viewOf(store, art).opacity);
  }
  s.live = store.liveArtCount();
  return s;
}

ArtChangePtr closeKeeping(ArtStore& store) {
  store.endMessage();
  ArtChangePtr change;
  EXPECT_TRUE(store.takeChange(&change));
  return change;
}

TEST(ArtHistory, ChangesAreTakenBackAndMadeAgainInStackOrder) {
  ArtStore store;
  store.setKeepChanges(true);
  std::vector<Snapshot> states{snapshot(store)};
  std::vector<ArtChangePtr> changes;

  // 1: two new paths.
  store.beginMessage();
  QxArtHandle a = newPath(store, {corner(0, 0), corner(10, 0), corner(10, 10)});
  QxArtHandle b = newPath(store, {corner(5, 5), corner(6, 6)});
  changes.push_back(closeKeeping(store));
  states.push_back(snapshot(store));
  // 2: an old path grows and fades, one goes, a third comes.
  store.beginMessage();
  std::vector<QxPathSegment> longer{corner(1, 1), corner(2, 2), corner(3, 3), corner(4, 4), corner(5, 5)};
  ASSERT_EQ(store.setSegments(a, 0, 5, longer.data()), 0);
  ASSERT_EQ(store.setOpacity(a, 0.25f), 0);
  ASSERT_EQ(store.disposeArt(b), 0);
  newPath(store, {corner(-1, -1), corner(-2, -2)}, QX_PLACE_BELOW_ALL);
  changes.push_back(closeKeeping(store));
  states.push_back(snapshot(store));
  // 3: a group holding a copy.
  store.beginMessage();
  QxArtHandle group = nullptr, copy = nullptr;
  ASSERT_EQ(store.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(store.duplicateArt(a, QX_PLACE_INSIDE_ON_TOP, group, &copy), 0);
  changes.push_back(closeKeeping(store));
  states.push_back(snapshot(store));
  for (const ArtChangePtr& change : changes) ASSERT_NE(change, nullptr);

  // Out of order: the first change cannot be taken back while the third stands.
  EXPECT_FALSE(store.undoChange(*changes[0]));
  EXPECT_FALSE(store.redoChange(*changes[2]));
  EXPECT_EQ(snapshot(store), states[3]);

  for (size_t i = changes.size(); i-- > 0;) {
    ASSERT_TRUE(store.undoChange(*changes[i])) << i;
    EXPECT_EQ(snapshot(store), states[i]) << "after undoing change " << i;
  }
  EXPECT_FALSE(store.isValid(a));
  for (size_t i = 0; i < changes.size(); ++i) {
    ASSERT_TRUE(store.redoChange(*changes[i])) << i;
    EXPECT_EQ(snapshot(store), states[i + 1]) << "after redoing change " << i;
  }
  // Handles live again, and a new context after a redo journals as usual.
  EXPECT_TRUE(store.isValid(a));
  EXPECT_TRUE(store.isValid(copy));
  EXPECT_FALSE(store.isValid(b));
  store.beginMessage();
  ASSERT_EQ(store.setOpacity(a, 0.5f), 0);
  store.undoMessage();
  store.endMessage();
  EXPECT_EQ(snapshot(store), states[3]);
}

TEST(ArtHistory, NothingIsKeptForAnUnchangedContextOrWhenNotAsked) {
  ArtStore store;
  store.setKeepChanges(true);
  store.beginMessage();
  ArtChangePtr change = closeKeeping(store);
  EXPECT_EQ(change, nullptr);

  // A preview drawn and taken back inside a command keeps nothing either.
  store.beginCommand();
  newPath(store, {corner(0, 0), corner(1, 1)});
  store.undoMessage();
  store.endCommand();
  ASSERT_TRUE(store.takeChange(&change));
  EXPECT_EQ(change, nullptr);

  // A command's last drawing is one change, whatever messages it spanned.
  store.beginCommand();
  store.beginMessage();
  newPath(store, {corner(0, 0), corner(1, 1)});
  store.endMessage();
  store.beginMessage();
  newPath(store, {corner(2, 2), corner(3, 3)});
  store.endMessage();
  store.endCommand();
  ASSERT_TRUE(store.takeChange(&change));
  ASSERT_NE(change, nullptr);
  EXPECT_GT(ArtStore::changeBytes(*change), 0u);
  EXPECT_TRUE(store.undoChange(*change));
  EXPECT_EQ(store.liveArtCount(), 0u);

  ArtStore plain;
  plain.beginMessage();
  newPath(plain, {corner(0, 0), corner(1, 1)});
  plain.endMessage();
  ASSERT_TRUE(plain.takeChange(&change));
  EXPECT_EQ(change, nullptr);
}

TEST(ArtHistory, AChangeIsRefusedWhileAContextIsOpen) {
  ArtStore store;
  store.setKeepChanges(true);
  store.beginMessage();
  newPath(store, {corner(0, 0), corner(1, 1)});
  ArtChangePtr change = closeKeeping(store);
  ASSERT_NE(change, nullptr);
  store.beginMessage();
  EXPECT_FALSE(store.undoChange(*change));
  store.endMessage();
  EXPECT_TRUE(store.undoChange(*change));
}

}  // namespace
}  // namespace qx::host
