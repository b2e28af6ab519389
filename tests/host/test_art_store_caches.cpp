// The art store's caches: bounds read again after every kind of change agree
// bit for bit with a fresh measurement, the chunk pool reuses memory within
// its limit, and whether anything is selected is known without a pass.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "support/art_store_builders.h"
#include "host/document/chunked_array.h"
#include "host/document/document.h"
#include "host/document/matrix.h"

namespace qx::host {
namespace {

// The bounds of `art` measured from nothing: the same segments (and the same
// children) rebuilt in a store that has never measured them.
void rebuild(const ArtStore& from, QxArtHandle art, ArtStore& to, int16_t order, QxArtHandle ref) {
  const ArtView view = viewOf(from, art);
  QxArtHandle copy = nullptr;
  if (view.type == QX_ART_GROUP || view.type == QX_ART_COMPOUND_PATH) {
    ASSERT_EQ(to.newArt(view.type, order, ref, &copy), 0);
    for (QxArtHandle child : from.children(art)) rebuild(from, child, to, QX_PLACE_INSIDE_ON_TOP, copy);
    return;
  }
  ASSERT_EQ(to.newArt(QX_ART_PATH, order, ref, &copy), 0);
  ASSERT_EQ(to.setSegments(copy, 0, static_cast<int32_t>(view.segments.size()), view.segments.data()), 0);
  ASSERT_EQ(to.setClosed(copy, view.closed), 0);
}

QxRealRect freshBounds(const ArtStore& store, QxArtHandle art) {
  ArtStore fresh;
  rebuild(store, art, fresh, QX_PLACE_ABOVE_ALL, nullptr);
  return boundsOf(fresh, fresh.lastTopLevel());
}

// Bit for bit: the sign of a zero edge counts.
bool sameRect(const QxRealRect& a, const QxRealRect& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Bounds measured the way the plug-in measures them, keeping the box; a
// const read, which never fills the cache, agrees to the bit.
QxRealRect measured(ArtStore& store, QxArtHandle art) {
  QxRealRect kept{};
  EXPECT_EQ(store.measure(art, &kept), 0);
  EXPECT_TRUE(sameRect(boundsOf(store, art), kept));
  return kept;
}

TEST(ArtStoreGeometry, BoundsReadAgainMatchAFreshMeasurementThroughEveryChange) {
  // The generator measures each shape several times between transforms and
  // copies, so bounds are kept; whatever happened since, they must be what
  // measuring the segments from nothing gives, to the bit.
  std::mt19937 rng(20240611);
  auto pick = [&](std::initializer_list<QxReal> values) {
    return *(values.begin() + std::uniform_int_distribution<size_t>(0, values.size() - 1)(rng));
  };
  auto coord = [&] {
    if (std::uniform_int_distribution<int>(0, 9)(rng) == 0) return pick({0.0f, -0.0f});
    return pick({0.0f, -0.0f, 1.0f, -3.0f, 0.1f, 1e-30f, 3e38f}) +
           std::uniform_int_distribution<int>(-4, 4)(rng) * pick({1.0f, 0.25f, 7.3f});
  };
  auto anyPath = [&](ArtStore& store) {
    QxArtHandle art = nullptr;
    const QxReal cx = coord(), cy = coord(), size = pick({1.0f, 20.0f, 0.001f, 1e30f, 0.0f, -2.0f});
    switch (std::uniform_int_distribution<int>(0, 5)(rng)) {
      case 0: EXPECT_EQ(store.newOval(cx, cy, size, 2 * size, false, &art), 0); break;
      case 1: EXPECT_EQ(store.newRect(cx, cy, size, 3 * size, true, &art), 0); break;
      case 2: EXPECT_EQ(store.newStar(5, cx, cy, size / 2, size, false, &art), 0); break;
      default: {
        // Open or closed curves whose handles may reach past the anchors,
        // with now and then a value no box can hold.
        std::vector<QxPathSegment> seg(std::uniform_int_distribution<size_t>(1, 5)(rng));
        for (QxPathSegment& p : seg) {
          p.p = {coord(), coord()};
          p.in = {p.p.x + pick({0.0f, 1.0f, -5.0f}), p.p.y + pick({0.0f, 2.0f})};
          p.out = {p.p.x + pick({0.0f, -1.0f, 5.0f}), p.p.y + pick({0.0f, -2.0f})};
        }
        if (std::uniform_int_distribution<int>(0, 6)(rng) == 0) seg.front().in.x = NAN;
        if (std::uniform_int_distribution<int>(0, 6)(rng) == 0) seg.back().out.y = INFINITY;
        if (std::uniform_int_distribution<int>(0, 12)(rng) == 0) seg.back().p.y = NAN;
        art = newPath(store, seg);
        EXPECT_EQ(store.setClosed(art, std::uniform_int_distribution<int>(0, 1)(rng) == 1), 0);
      }
    }
    return art;
  };
  auto anyMatrix = [&] {
    const QxReal cx = coord(), cy = coord();
    switch (std::uniform_int_distribution<int>(0, 7)(rng)) {
      case 0: return translateMatrix(pick({0.0f, -0.0f, 3.0f, -1.0f, 0.5f}), pick({0.0f, -0.0f, 2.0f, 1e-38f}));
      case 1: return translateMatrix(-cx, -cy);  // brings an edge to zero now and then
      case 2:
        return concatMatrix(concatMatrix(translateMatrix(-cx, -cy),
                                         scaleMatrix(pick({-1.0f, 1.0f}), pick({-1.0f, 1.0f}))),
                            translateMatrix(cx, cy));
      case 3: return scaleMatrix(pick({0.0f, -0.0f, 2.0f, 1e30f, -3.5f}), pick({1.0f, 1e-30f, -1.0f}));
      case 4: return QxRealMatrix{1, -0.0f, 0.0f, -1, 5, 7};  // zero terms of either sign
      case 5: return rotateMatrix(pick({0.3f, 1.5707964f, 3.1415927f}));
      case 6: return QxRealMatrix{1, 0.5f, 0, 1, 0, 0};
      default: return concatMatrix(translateMatrix(cx, cy), rotateMatrix(-0.7f));
    }
  };

  {
    // Anchors that a scale takes to zeros of both signs: the edge's sign
    // comes from the one met first.
    ArtStore store;
    QxArtHandle tiny = newPath(store, {corner(1e-30f, 5), corner(-1e-30f, -6), corner(2e-30f, 7)});
    measured(store, tiny);
    ASSERT_EQ(store.transform(tiny, scaleMatrix(1e-30f, -1e-30f), 1, 1), 0);
    EXPECT_TRUE(sameRect(measured(store, tiny), freshBounds(store, tiny)));
    EXPECT_FALSE(std::signbit(measured(store, tiny).left));
    // Anchors scaled past the largest real: the next move makes the other
    // coordinate NaN (0 times infinity), which no kept box could know.
    QxArtHandle huge = newPath(store, {corner(1e20f, 5), corner(2e20f, 6)});
    measured(store, huge);
    ASSERT_EQ(store.transform(huge, scaleMatrix(1e30f, 1), 1, 1), 0);
    EXPECT_TRUE(sameRect(measured(store, huge), freshBounds(store, huge)));
    ASSERT_EQ(store.transform(huge, translateMatrix(1, 1), 1, 1), 0);
    EXPECT_TRUE(sameRect(measured(store, huge), freshBounds(store, huge)));
  }
  for (int round = 0; round < 40; ++round) {
    ArtStore store;
    std::vector<QxArtHandle> art;
    // More paths than the cache has slots, so that entries meet in a slot.
    for (int i = 0; i < 90; ++i) art.push_back(anyPath(store));
    QxArtHandle group = nullptr;
    ASSERT_EQ(store.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
    for (int i = 0; i < 3; ++i) {
      QxArtHandle child = nullptr;
      ASSERT_EQ(store.duplicateArt(art[i], QX_PLACE_INSIDE_ON_TOP, group, &child), 0);
      art.push_back(child);
    }
    art.push_back(group);
    store.beginMessage();
    for (int step = 0; step < 400; ++step) {
      QxArtHandle a = art[std::uniform_int_distribution<size_t>(0, art.size() - 1)(rng)];
      if (!store.isValid(a)) continue;
      const bool path = viewOf(store, a).type == QX_ART_PATH;
      switch (std::uniform_int_distribution<int>(0, 11)(rng)) {
        case 0:
        case 1:
        case 2: {
          QxRealMatrix m = anyMatrix();
          ASSERT_EQ(store.transform(a, m, 1, 1), isFiniteMatrix(m) ? 0 : QX_ERR_BAD_PARAM);
          break;
        }
        case 3: {
          QxArtHandle copy = nullptr;
          ASSERT_EQ(store.duplicateArt(a, QX_PLACE_ABOVE_ALL, nullptr, &copy), 0);
          art.push_back(copy);
          break;
        }
        case 4:
          if (path) {
            QxPathSegment p = corner(coord(), coord());
            ASSERT_EQ(store.setSegments(a, 0, 1, &p), 0);
          }
          break;
        case 5:
          if (path) {
            ASSERT_EQ(store.setClosed(a, !viewOf(store, a).closed), 0);
          }
          break;
        case 6:
          if (path) {
            const auto count = static_cast<int32_t>(viewOf(store, a).segments.size());
            ASSERT_EQ(store.setSegmentCount(a, count > 1 ? count - 1 : count + 1), 0);
          }
          break;
        case 7:
          if (std::uniform_int_distribution<int>(0, 5)(rng) == 0) store.undoMessage();
          break;
        default: break;  // measure only
      }
      for (QxArtHandle b : {a, art[std::uniform_int_distribution<size_t>(0, art.size() - 1)(rng)]}) {
        if (!store.isValid(b)) continue;
        const QxRealRect kept = measured(store, b);
        ASSERT_TRUE(sameRect(kept, freshBounds(store, b)))
            << "round " << round << " step " << step << ": " << kept.left << " " << kept.top << " " << kept.right << " "
            << kept.bottom;
      }
    }
    store.endMessage();
  }
}

TEST(ChunkPool, MemoryGivenBackIsTakenAgainAndThePoolKeepsToItsLimit) {
  chunk_pool::releaseSpare();
  const size_t limit = chunk_pool::spareLimit();
  auto fill = [](ArtStore& store, int shapes) {
    for (int i = 0; i < shapes; ++i) {
      QxArtHandle art = nullptr;
      ASSERT_EQ(store.newOval(static_cast<QxReal>(i), 0, 2, 2, false, &art), 0);
    }
  };
  constexpr int kShapes = 70'000;  // several record chunks and a segment chunk
  size_t held = 0;
  {
    ArtStore store;
    fill(store, kShapes);
    held = store.memoryBytes();
  }
  EXPECT_GE(chunk_pool::spareBytes(), held - held / 10);  // a going store gives its chunks back
  {
    ArtStore store;
    fill(store, kShapes);
    EXPECT_LE(chunk_pool::spareBytes(), held / 10);  // and the next one takes them
    // Undo gives back what the message made, and drawing again takes it.
    store.beginMessage();
    const size_t before = chunk_pool::spareBytes();
    fill(store, kShapes);
    store.undoMessage();
    EXPECT_GT(chunk_pool::spareBytes(), before);
    fill(store, kShapes);
    EXPECT_LE(chunk_pool::spareBytes(), before + held / 10);
    store.endMessage();
  }
  chunk_pool::setSpareLimit(held / 3);
  EXPECT_LE(chunk_pool::spareBytes(), held / 3);
  {
    ArtStore store;
    fill(store, kShapes);
  }
  EXPECT_LE(chunk_pool::spareBytes(), held / 3);
  chunk_pool::setSpareLimit(limit);
  chunk_pool::releaseSpare();
  EXPECT_EQ(chunk_pool::spareBytes(), 0u);
}

}  // namespace
}  // namespace qx::host

namespace qx::host {
namespace {

// Whether anything is selected is answered without a pass over the art
// while nothing can be; undo that brings back a selected object, and the
// selection's own changes, are never missed.
TEST(ArtStoreSelection, AnySelectedFollowsSelectingUndoAndDisposal) {
  ArtStore art;
  QxArtHandle a = nullptr, b = nullptr;
  ASSERT_EQ(art.newArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &a), QX_ERR_NONE);
  ASSERT_EQ(art.newArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &b), QX_ERR_NONE);
  EXPECT_FALSE(art.anySelected());
  ASSERT_EQ(art.setSelected(a, true), QX_ERR_NONE);
  EXPECT_TRUE(art.anySelected());
  ASSERT_EQ(art.setSelected(a, false), QX_ERR_NONE);
  EXPECT_FALSE(art.anySelected());

  // A message selects, and is taken back.
  art.beginMessage();
  ASSERT_EQ(art.setSelected(b, true), QX_ERR_NONE);
  EXPECT_TRUE(art.anySelected());
  art.undoMessage();
  art.endMessage();
  EXPECT_FALSE(art.anySelected());

  // A message deselects, the store finds nothing selected, and undo brings it back.
  ASSERT_EQ(art.setSelected(a, true), QX_ERR_NONE);
  art.beginMessage();
  ASSERT_EQ(art.setSelected(a, false), QX_ERR_NONE);
  EXPECT_FALSE(art.anySelected());
  art.undoMessage();
  art.endMessage();
  EXPECT_TRUE(art.anySelected());

  ASSERT_EQ(art.disposeArt(a), QX_ERR_NONE);
  EXPECT_FALSE(art.anySelected());
}

}  // namespace
}  // namespace qx::host
