// The art walk: paint order with enter and leave steps, skipping the rest of
// a container, nesting deeper than any call stack, and a walk resumed after
// the art changed under it.
#include <gtest/gtest.h>

#include <vector>

#include "host/document/art_store.h"
#include "host/document/art_walk.h"

namespace qx::host {
namespace {

QxArtHandle add(ArtStore& art, int16_t type, int16_t order = QX_PLACE_ABOVE_ALL, QxArtHandle ref = nullptr) {
  QxArtHandle out = nullptr;
  EXPECT_EQ(art.newArt(type, order, ref, &out), QX_ERR_NONE);
  return out;
}

struct Seen {
  ArtStep::Kind kind;
  QxArtHandle art;
  size_t depth;
  bool operator==(const Seen&) const = default;
};

std::vector<Seen> walkAll(ArtWalk& walk) {
  std::vector<Seen> seen;
  ArtStep step;
  while (walk.next(&step)) seen.push_back({step.kind, step.art, step.depth});
  return seen;
}

// a, group g { b, compound c { d, e }, empty group h }, placed p.
struct Tree {
  ArtStore art;
  QxArtHandle a, g, b, c, d, e, h, p;
  Tree() {
    a = add(art, QX_ART_PATH);
    g = add(art, QX_ART_GROUP);
    b = add(art, QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, g);
    c = add(art, QX_ART_COMPOUND_PATH, QX_PLACE_INSIDE_ON_TOP, g);
    e = add(art, QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, c);
    d = add(art, QX_ART_PATH, QX_PLACE_INSIDE_ON_BOTTOM, c);
    h = add(art, QX_ART_GROUP, QX_PLACE_INSIDE_ON_TOP, g);
    p = add(art, QX_ART_PLACED);
  }
};

TEST(ArtWalk, VisitsPaintOrderWithContainersAroundTheirChildren) {
  Tree t;
  ArtWalk walk(t.art);
  EXPECT_EQ(walkAll(walk), (std::vector<Seen>{{ArtStep::kArt, t.a, 0},
                                              {ArtStep::kEnter, t.g, 0},
                                              {ArtStep::kArt, t.b, 1},
                                              {ArtStep::kEnter, t.c, 1},
                                              {ArtStep::kArt, t.d, 2},
                                              {ArtStep::kArt, t.e, 2},
                                              {ArtStep::kLeave, t.c, 1},
                                              {ArtStep::kEnter, t.h, 1},
                                              {ArtStep::kLeave, t.h, 1},
                                              {ArtStep::kLeave, t.g, 0},
                                              {ArtStep::kArt, t.p, 0}}));
  EXPECT_TRUE(walk.atEnd());
  EXPECT_FALSE(walk.lost());
  ArtStep step;
  EXPECT_FALSE(walk.next(&step)) << "an ended walk stays ended";

  // A leave step tells a group from a compound path by its type.
  ArtWalk again(t.art);
  std::vector<int16_t> left;
  while (again.next(&step))
    if (step.kind == ArtStep::kLeave) left.push_back(step.type);
  EXPECT_EQ(left, (std::vector<int16_t>{QX_ART_COMPOUND_PATH, QX_ART_GROUP, QX_ART_GROUP}));

  ArtStore empty;
  ArtWalk none(empty);
  EXPECT_TRUE(none.atEnd());
  EXPECT_FALSE(none.next(&step));
  EXPECT_FALSE(none.lost());
}


// Front to back: the same steps from the top of the paint order down, each
// container still entered before its children and left after them.
TEST(ArtWalk, TopDownVisitsTheSameStepsFromTheTop) {
  Tree t;
  ArtWalk walk(t.art, ArtWalk::Order::kTopDown);
  EXPECT_EQ(walkAll(walk), (std::vector<Seen>{{ArtStep::kArt, t.p, 0},
                                              {ArtStep::kEnter, t.g, 0},
                                              {ArtStep::kEnter, t.h, 1},
                                              {ArtStep::kLeave, t.h, 1},
                                              {ArtStep::kEnter, t.c, 1},
                                              {ArtStep::kArt, t.e, 2},
                                              {ArtStep::kArt, t.d, 2},
                                              {ArtStep::kLeave, t.c, 1},
                                              {ArtStep::kArt, t.b, 1},
                                              {ArtStep::kLeave, t.g, 0},
                                              {ArtStep::kArt, t.a, 0}}));
  // Art taken away under a paused walk ends it as lost, as bottom up.
  ArtWalk paused(t.art, ArtWalk::Order::kTopDown);
  ArtStep step;
  ASSERT_TRUE(paused.next(&step));
  ASSERT_EQ(t.art.disposeArt(t.g), QX_ERR_NONE);
  EXPECT_FALSE(paused.next(&step));
  EXPECT_TRUE(paused.lost());
}
TEST(ArtWalk, SkipToLeavePassesOverTheRestOfTheInnermostContainer) {
  Tree t;
  ArtStep step;
  {
    // Right after the enter: none of the children.
    ArtWalk walk(t.art);
    ASSERT_TRUE(walk.next(&step));  // a
    ASSERT_TRUE(walk.next(&step));
    ASSERT_EQ(step.art, t.g);
    walk.skipToLeave();
    EXPECT_EQ(walkAll(walk), (std::vector<Seen>{{ArtStep::kLeave, t.g, 0}, {ArtStep::kArt, t.p, 0}}));
  }
  {
    // Partway through a compound path: its leave, then on in the group.
    ArtWalk walk(t.art);
    while (walk.next(&step) && step.art != t.d) {
    }
    walk.skipToLeave();
    EXPECT_EQ(walkAll(walk), (std::vector<Seen>{{ArtStep::kLeave, t.c, 1},
                                                {ArtStep::kEnter, t.h, 1},
                                                {ArtStep::kLeave, t.h, 1},
                                                {ArtStep::kLeave, t.g, 0},
                                                {ArtStep::kArt, t.p, 0}}));
  }
  {
    // At top level the walk ends.
    ArtWalk walk(t.art);
    ASSERT_TRUE(walk.next(&step));  // a
    walk.skipToLeave();
    EXPECT_TRUE(walk.atEnd());
    EXPECT_FALSE(walk.next(&step));
    EXPECT_FALSE(walk.lost());
  }
}

TEST(ArtWalk, HundredThousandNestedGroupsNeedNoCallStack) {
  constexpr size_t kDepth = 100'000;
  ArtStore art;
  QxArtHandle outer = nullptr;
  for (size_t i = 0; i < kDepth; ++i)
    outer = add(art, QX_ART_GROUP, outer ? QX_PLACE_INSIDE_ON_TOP : QX_PLACE_ABOVE_ALL, outer);
  const QxArtHandle path = add(art, QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, outer);

  ArtWalk walk(art);
  ArtStep step;
  size_t enters = 0, leaves = 0, deepest = 0;
  QxArtHandle bottom = nullptr;
  while (walk.next(&step)) {
    if (step.kind == ArtStep::kEnter) ++enters;
    if (step.kind == ArtStep::kLeave) {
      EXPECT_EQ(step.depth, kDepth - 1 - leaves) << "leaves come innermost first";
      ++leaves;
    }
    if (step.kind == ArtStep::kArt) {
      bottom = step.art;
      deepest = step.depth;
    }
  }
  EXPECT_EQ(enters, kDepth);
  EXPECT_EQ(leaves, kDepth);
  EXPECT_EQ(bottom, path);
  EXPECT_EQ(deepest, kDepth);
}

TEST(ArtWalk, ResumedWalkFollowsTheArtAsItIsAndStopsWhereItsNextObjectWent) {
  ArtStep step;
  {
    // Art added above the walk's place is reached; disposed art ends it.
    ArtStore art;
    const QxArtHandle a = add(art, QX_ART_PATH), b = add(art, QX_ART_PATH);
    ArtWalk walk(art);
    ASSERT_TRUE(walk.next(&step));
    EXPECT_EQ(step.art, a);
    const QxArtHandle c = add(art, QX_ART_PATH);
    ASSERT_TRUE(walk.next(&step));
    EXPECT_EQ(step.art, b);
    ASSERT_TRUE(walk.next(&step));
    EXPECT_EQ(step.art, c);

    ArtWalk again(art);
    ASSERT_TRUE(again.next(&step));
    ASSERT_EQ(art.disposeArt(b), QX_ERR_NONE);
    EXPECT_FALSE(again.next(&step));
    EXPECT_TRUE(again.lost());
    EXPECT_TRUE(again.atEnd());
  }
  {
    // The group the walk is inside goes: its leave cannot come.
    ArtStore art;
    const QxArtHandle g = add(art, QX_ART_GROUP);
    add(art, QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, g);
    ArtWalk walk(art);
    ASSERT_TRUE(walk.next(&step));  // enter g
    ASSERT_TRUE(walk.next(&step));  // its path, the last child
    ASSERT_EQ(art.disposeArt(g), QX_ERR_NONE);
    EXPECT_FALSE(walk.next(&step));
    EXPECT_TRUE(walk.lost());
  }
  {
    // Undo takes back the slot the walk was to read: refused, not read.
    ArtStore art;
    add(art, QX_ART_PATH);
    art.beginMessage();
    add(art, QX_ART_PATH);
    ArtWalk walk(art);
    ASSERT_TRUE(walk.next(&step));
    art.undoMessage();
    art.endMessage();
    EXPECT_FALSE(walk.next(&step));
    EXPECT_TRUE(walk.lost());
  }
}

}  // namespace
}  // namespace qx::host
