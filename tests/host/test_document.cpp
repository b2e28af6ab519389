// The art store: paint order, duplication, undo, styles, bounds, transforms,
// shapes and the art budget (its caches are in test_art_store_caches.cpp), through its C++ interface; and what the
// document keeps beside its art: page, swatches and view.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "host/document/document.h"
#include "host/document/matrix.h"
#include "support/art_store_builders.h"

namespace qx::host {
namespace {

TEST(ArtStorePaintOrder, CodesPlaceArtAboveBelowAndInside) {
  ArtStore store;
  QxArtHandle a = newPath(store, {corner(0, 0)});
  QxArtHandle b = newPath(store, {corner(1, 1)});                      // 5: above all
  QxArtHandle c = newPath(store, {corner(2, 2)}, QX_PLACE_BELOW_ALL);  // 6: below all
  QxArtHandle d = newPath(store, {corner(3, 3)}, QX_PLACE_ABOVE, c);   // 1: just above c
  QxArtHandle e = newPath(store, {corner(4, 4)}, QX_PLACE_BELOW, b);   // 2: just below b
  EXPECT_EQ(store.topLevelArt(), (std::vector<QxArtHandle>{c, d, a, e, b}));
  EXPECT_EQ(store.firstTopLevel(), c);
  EXPECT_EQ(store.lastTopLevel(), b);

  QxArtHandle group = nullptr, top = nullptr, bottom = nullptr;
  ASSERT_EQ(store.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &top), 0);
  ASSERT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_BOTTOM, group, &bottom), 0);
  EXPECT_EQ(store.children(group), (std::vector<QxArtHandle>{bottom, top}));
  QxArtHandle parent = nullptr;
  ASSERT_EQ(store.parent(top, &parent), 0);
  EXPECT_EQ(parent, group);
  EXPECT_EQ(store.liveArtCount(), 8u);

  // References: none for 1-4, a leaf for 3/4, nothing but paths in a compound path.
  QxArtHandle out = nullptr;
  EXPECT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_ABOVE, nullptr, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, a, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(store.newArt(QX_ART_PATH, 0, nullptr, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(store.newArt(QX_ART_PATH, 7, nullptr, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(store.newArt(QX_ART_UNKNOWN, QX_PLACE_ABOVE_ALL, nullptr, &out), QX_ERR_BAD_PARAM);
  QxArtHandle compound = nullptr;
  ASSERT_EQ(store.newArt(QX_ART_COMPOUND_PATH, QX_PLACE_ABOVE_ALL, nullptr, &compound), 0);
  EXPECT_EQ(store.newArt(QX_ART_GROUP, QX_PLACE_INSIDE_ON_TOP, compound, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(out, nullptr);
}

TEST(ArtStoreHandles, DisposedStaleAndForeignHandlesAreRefused) {
  ArtStore store, other;
  QxArtHandle group = nullptr, child = nullptr;
  ASSERT_EQ(store.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &child), 0);
  QxArtHandle keep = newPath(store, {corner(0, 0)});
  EXPECT_FALSE(other.isValid(keep));
  EXPECT_FALSE(other.view(keep));
  EXPECT_FALSE(store.view(reinterpret_cast<QxArtHandle>(uintptr_t{0x1234})));
  EXPECT_FALSE(store.view(nullptr));

  ASSERT_EQ(store.disposeArt(group), 0);
  EXPECT_FALSE(store.isValid(group));
  EXPECT_FALSE(store.isValid(child));  // children go with their parent
  EXPECT_EQ(store.disposeArt(group), QX_ERR_BAD_PARAM);
  EXPECT_EQ(store.topLevelArt(), std::vector<QxArtHandle>{keep});
  EXPECT_EQ(store.liveArtCount(), 1u);

  // A slot emptied by undo and filled again does not revive the old handle.
  store.beginMessage();
  QxArtHandle gone = newPath(store, {corner(1, 1)});
  store.undoMessage();
  QxArtHandle fresh = newPath(store, {corner(2, 2)});
  EXPECT_FALSE(store.isValid(gone));
  EXPECT_TRUE(store.isValid(fresh));
  EXPECT_NE(gone, fresh);
}

TEST(ArtStoreDuplicate, CopiesTreeSegmentsAndStyleButNotSelection) {
  ArtStore store;
  QxArtHandle group = nullptr, inner = nullptr;
  ASSERT_EQ(store.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &inner), 0);
  QxPathSegment seg[2] = {corner(1, 2), corner(3, 4)};
  ASSERT_EQ(store.setSegments(inner, 0, 2, seg), 0);
  ASSERT_EQ(store.setClosed(inner, true), 0);
  QxPathStyle style = ArtStore::defaultStyle();
  style.stroke.width = 7;
  style.fill.color.c.process.cyan = 0.25f;
  ASSERT_EQ(store.setPathStyle(inner, style), 0);
  ASSERT_EQ(store.setOpacity(inner, 0.5f), 0);
  ASSERT_EQ(store.setSelected(group, true), 0);
  QxArtHandle below = newPath(store, {corner(0, 0)}, QX_PLACE_BELOW_ALL);

  QxArtHandle top = nullptr, bottom = nullptr;
  ASSERT_EQ(store.duplicateArt(group, QX_PLACE_ABOVE_ALL, group, &top), 0);  // reference ignored for 5 and 6
  ASSERT_EQ(store.duplicateArt(group, QX_PLACE_BELOW_ALL, nullptr, &bottom), 0);
  EXPECT_EQ(store.topLevelArt(), (std::vector<QxArtHandle>{bottom, below, group, top}));
  EXPECT_EQ(store.liveArtCount(), 7u);

  EXPECT_EQ(viewOf(store, top).attributes(), 0);
  std::vector<QxArtHandle> kids = store.children(top);
  ASSERT_EQ(kids.size(), 1u);
  EXPECT_NE(kids[0], inner);
  const ArtView copy = viewOf(store, kids[0]);
  EXPECT_TRUE(copy.closed);
  EXPECT_FALSE(copy.selected);
  EXPECT_EQ(copy.opacity, 0.5f);
  const QxPathStyle copied = copy.style();
  EXPECT_EQ(std::memcmp(&copied, &style, sizeof style), 0);
  ASSERT_EQ(copy.segments.size(), 2u);
  EXPECT_EQ(copy.segments[1].p.y, 4);

  // The copy is independent of the original.
  QxPathSegment moved = corner(9, 9);
  ASSERT_EQ(store.setSegments(kids[0], 0, 1, &moved), 0);
  EXPECT_EQ(segmentsOf(store, inner)[0].p.x, 1);
}

TEST(ArtStoreUndo, TakesBackNewChangedAndDisposedArt) {
  ArtStore store;
  QxArtHandle a = newPath(store, {corner(0, 0), corner(10, 0)});
  QxArtHandle b = newPath(store, {corner(5, 5)});
  QxArtHandle group = nullptr, child = nullptr;
  ASSERT_EQ(store.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &child), 0);
  const std::vector<QxArtHandle> before = store.topLevelArt();
  const QxPathStyle styleA = styleOf(store, a);

  store.beginMessage();
  for (int round = 0; round < 2; ++round) {  // the context stays open after an undo
    newPath(store, {corner(1, 1)});
    newPath(store, {corner(2, 2)}, QX_PLACE_BELOW_ALL);
    QxArtHandle dup = nullptr;
    ASSERT_EQ(store.duplicateArt(group, QX_PLACE_ABOVE, a, &dup), 0);
    QxPathSegment far[3] = {corner(100, 100), corner(200, 200), corner(300, 300)};
    ASSERT_EQ(store.setSegments(a, 1, 3, far), 0);  // grows a path that existed before
    ASSERT_EQ(store.transform(b, translateMatrix(50, 0), 1, 1), 0);
    QxPathStyle red = styleA;
    red.fill.color.c.process.magenta = 1;
    ASSERT_EQ(store.setPathStyle(a, red), 0);
    ASSERT_EQ(store.setOpacity(a, 0.25f), 0);
    ASSERT_EQ(store.setClosed(a, true), 0);
    ASSERT_EQ(store.disposeArt(group), 0);
    EXPECT_FALSE(store.isValid(child));

    store.undoMessage();
    EXPECT_EQ(store.topLevelArt(), before);
    EXPECT_EQ(store.liveArtCount(), 4u);
    EXPECT_TRUE(store.isValid(child));
    EXPECT_EQ(store.children(group), std::vector<QxArtHandle>{child});
    std::vector<QxPathSegment> segA = segmentsOf(store, a);
    ASSERT_EQ(segA.size(), 2u);
    EXPECT_EQ(segA[1].p.x, 10);
    EXPECT_EQ(segmentsOf(store, b)[0].p.x, 5);
    const QxPathStyle now = styleOf(store, a);
    EXPECT_EQ(std::memcmp(&now, &styleA, sizeof now), 0);
    EXPECT_EQ(viewOf(store, a).opacity, 1);
    EXPECT_FALSE(viewOf(store, a).closed);
  }
  store.endMessage();

  // Outside a message there is nothing to undo; a new message keeps older work.
  QxArtHandle kept = newPath(store, {corner(7, 7)});
  store.undoMessage();
  EXPECT_TRUE(store.isValid(kept));
  store.beginMessage();
  store.undoMessage();
  EXPECT_TRUE(store.isValid(kept));
}

TEST(ArtStoreStyles, NewPathsTakeTheCurrentStyleAndStylesAreInterned) {
  ArtStore store;
  const QxPathStyle& cur = store.currentStyle();
  EXPECT_TRUE(cur.fillPaint);
  EXPECT_EQ(cur.fill.color.kind, QX_COLOR_PROCESS);
  EXPECT_EQ(cur.fill.color.c.process.black, 0);
  EXPECT_TRUE(cur.strokePaint);
  EXPECT_EQ(cur.stroke.color.kind, QX_COLOR_PROCESS);
  EXPECT_EQ(cur.stroke.color.c.process.black, 1);
  EXPECT_EQ(cur.stroke.width, 1);

  // Colours and widths that differ per object share one base record.
  for (int i = 0; i < 1000; ++i) {
    QxArtHandle art = newPath(store, {corner(0, 0)});
    QxPathStyle s = styleOf(store, art);
    s.fill.color.kind = QX_COLOR_RGB;
    s.fill.color.c.rgb.red = i / 1000.0f;
    s.stroke.width = static_cast<QxReal>(i);
    ASSERT_EQ(store.setPathStyle(art, s), 0);
    const QxPathStyle back = styleOf(store, art);
    ASSERT_EQ(std::memcmp(&back, &s, sizeof s), 0);
  }
  EXPECT_LE(store.internedStyleCount(), 2u);

  // A new current style reaches the paths made after it, and the old one
  // comes back with it.
  QxPathStyle dashed = store.currentStyle();
  dashed.stroke.dash.length = 2;
  dashed.stroke.dash.array[0] = 3;
  dashed.stroke.color.c.process.cyan = 0.5f;
  QxPathStyle plain = store.currentStyle();
  for (const QxPathStyle* current : std::initializer_list<const QxPathStyle*>{&dashed, &plain, &dashed}) {
    store.setCurrentStyle(*current);
    for (int i = 0; i < 2; ++i) {
      const QxPathStyle got = styleOf(store, newPath(store, {corner(0, 0)}));
      EXPECT_EQ(std::memcmp(&got, current, sizeof got), 0);
    }
  }

  // Every word is kept, the reserved ones too, and a group has no style.
  QxArtHandle art = newPath(store, {corner(0, 0)});
  QxPathStyle odd;
  std::memset(&odd, 0xA5, sizeof odd);
  ASSERT_EQ(store.setPathStyle(art, odd), 0);
  const QxPathStyle back = styleOf(store, art);
  EXPECT_EQ(std::memcmp(&back, &odd, sizeof odd), 0);
  QxArtHandle group = nullptr;
  ASSERT_EQ(store.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  EXPECT_FALSE(viewOf(store, group).hasStyle());
  EXPECT_EQ(store.setPathStyle(group, odd), QX_ERR_BAD_PARAM);
}

TEST(ArtStorePaths, SegmentRangesAreChecked) {
  ArtStore store;
  QxArtHandle art = newPath(store, {});
  QxPathSegment s[3] = {corner(1, 1), corner(2, 2), corner(3, 3)};
  EXPECT_EQ(store.setSegments(art, 1, 1, s), QX_ERR_BAD_PARAM);  // past the end
  EXPECT_EQ(store.setSegments(art, -1, 1, s), QX_ERR_BAD_PARAM);
  EXPECT_EQ(store.setSegments(art, 0, -1, s), QX_ERR_BAD_PARAM);
  EXPECT_EQ(store.setSegments(art, 0, 1, nullptr), QX_ERR_BAD_PARAM);
  // Growing one segment at a time, the way a walk writes its points.
  for (int i = 0; i < 3000; ++i) {
    QxPathSegment p = corner(static_cast<QxReal>(i), 0);
    ASSERT_EQ(store.setSegments(art, i, 1, &p), 0);
    if (i % 7 == 0) newPath(store, {corner(-1, -1)});  // other art in between
  }
  std::vector<QxPathSegment> got = segmentsOf(store, art);
  ASSERT_EQ(got.size(), 3000u);
  EXPECT_EQ(got[2999].p.x, 2999);

  ASSERT_EQ(store.setSegmentCount(art, 3002), 0);
  got = segmentsOf(store, art);
  ASSERT_EQ(got.size(), 3002u);
  EXPECT_EQ(got[3001].p.x, 0);
  EXPECT_EQ(got[3001].corner, 1);
  EXPECT_EQ(store.setSegmentCount(art, -1), QX_ERR_BAD_PARAM);
  EXPECT_EQ(store.setSegmentCount(art, 32768), QX_ERR_BAD_PARAM);
  EXPECT_EQ(store.setSegments(art, 3002, 32767 - 3002 + 1, s), QX_ERR_BAD_PARAM);

  QxArtHandle group = nullptr;
  ASSERT_EQ(store.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  EXPECT_EQ(store.setSegmentCount(group, 1), QX_ERR_BAD_PARAM);
  EXPECT_EQ(store.setClosed(group, true), QX_ERR_BAD_PARAM);
}

TEST(ArtStoreGeometry, BoundsAreTightAroundCurves) {
  ArtStore store;
  // A cubic from (0,0) to (10,0) with both handles at height 10 peaks at 7.5.
  QxArtHandle arch = newPath(store, {{{0, 0}, {0, 0}, {0, 10}, 0}, {{10, 0}, {10, 10}, {10, 0}, 0}});
  QxRealRect r = boundsOf(store, arch);
  EXPECT_FLOAT_EQ(r.left, 0);
  EXPECT_FLOAT_EQ(r.right, 10);
  EXPECT_FLOAT_EQ(r.bottom, 0);
  EXPECT_FLOAT_EQ(r.top, 7.5f);

  // Handles far outside do not count, only the curve they shape.
  QxArtHandle oval = nullptr;
  ASSERT_EQ(store.newOval(100, 200, 40, 60, false, &oval), 0);
  r = boundsOf(store, oval);
  EXPECT_NEAR(r.left, 70, 1e-4);
  EXPECT_NEAR(r.right, 130, 1e-4);
  EXPECT_NEAR(r.bottom, 180, 1e-4);
  EXPECT_NEAR(r.top, 220, 1e-4);

  // The closing piece of a closed path counts.
  QxArtHandle open =
      newPath(store, {{{0, 0}, {0, 0}, {0, 0}, 0}, {{10, 0}, {10, 0}, {10, 0}, 0}, {{10, 10}, {10, 10}, {-20, 10}, 0}});
  EXPECT_FLOAT_EQ(boundsOf(store, open).left, 0);
  ASSERT_EQ(store.setClosed(open, true), 0);
  EXPECT_LT(boundsOf(store, open).left, -1);

  // Containers cover their children; empty art is all zeros.
  QxArtHandle group = nullptr, empty = nullptr;
  ASSERT_EQ(store.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(store.duplicateArt(arch, QX_PLACE_INSIDE_ON_TOP, group, nullptr), QX_ERR_BAD_PARAM);
  QxArtHandle copy = nullptr;
  ASSERT_EQ(store.duplicateArt(arch, QX_PLACE_INSIDE_ON_TOP, group, &copy), 0);
  ASSERT_EQ(store.duplicateArt(oval, QX_PLACE_INSIDE_ON_TOP, group, &copy), 0);
  ASSERT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &empty), 0);
  r = boundsOf(store, group);
  EXPECT_FLOAT_EQ(r.left, 0);
  EXPECT_NEAR(r.top, 220, 1e-4);
  r = boundsOf(store, empty);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 0);
  EXPECT_EQ(r.bottom, 0);
}

TEST(ArtStoreGeometry, TransformsMoveAnchorsAndHandlesAndScaleLinesOnRequest) {
  ArtStore store;
  QxArtHandle art = newPath(store, {{{1, 0}, {1, -1}, {1, 1}, 0}});
  // A quarter turn about (1, 1): translate by -c, rotate, translate back.
  QxRealMatrix m = concatMatrix(concatMatrix(translateMatrix(-1, -1), rotateMatrix(std::acos(-1.0f) / 2)),
                                translateMatrix(1, 1));
  ASSERT_EQ(store.transform(art, m, 1, 1), 0);
  QxPathSegment s = segmentsOf(store, art)[0];
  EXPECT_NEAR(s.p.x, 2, 1e-6);
  EXPECT_NEAR(s.p.y, 1, 1e-6);
  EXPECT_NEAR(s.in.x, 3, 1e-6);
  EXPECT_NEAR(s.out.x, 1, 1e-6);

  ASSERT_EQ(store.transform(art, scaleMatrix(2, 2), 3, QX_TRANSFORM_OBJECTS), 0);
  EXPECT_EQ(styleOf(store, art).stroke.width, 1);
  ASSERT_EQ(store.transform(art, scaleMatrix(1, 1), 3, QX_TRANSFORM_LINE_WIDTHS), 0);
  EXPECT_EQ(styleOf(store, art).stroke.width, 3);

  QxRealMatrix bad = translateMatrix(NAN, 0);
  EXPECT_EQ(store.transform(art, bad, 1, 1), QX_ERR_BAD_PARAM);
  EXPECT_EQ(store.transform(art, identityMatrix(), INFINITY, QX_TRANSFORM_LINE_WIDTHS), QX_ERR_BAD_PARAM);

  // A group moves with all its children.
  QxArtHandle group = nullptr, child = nullptr;
  ASSERT_EQ(store.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(store.duplicateArt(art, QX_PLACE_INSIDE_ON_TOP, group, &child), 0);
  QxRealRect before = boundsOf(store, child);
  ASSERT_EQ(store.transform(group, translateMatrix(10, -5), 1, 1), 0);
  EXPECT_FLOAT_EQ(boundsOf(store, child).left, before.left + 10);
  EXPECT_FLOAT_EQ(boundsOf(store, child).top, before.top - 5);
}

TEST(ArtStoreShapes, ShapesStartStraightUpAndTakeSizesByAbsoluteValue) {
  ArtStore store;
  QxArtHandle rect = nullptr, neg = nullptr;
  ASSERT_EQ(store.newRect(10, 20, 30, 40, false, &rect), 0);
  ASSERT_EQ(store.newRect(10, 20, -30, -40, false, &neg), 0);
  QxRealRect r = boundsOf(store, rect);
  EXPECT_EQ(r.left, -10);
  EXPECT_EQ(r.right, 30);
  EXPECT_EQ(r.bottom, 5);
  EXPECT_EQ(r.top, 35);
  EXPECT_EQ(segmentsOf(store, neg).size(), 4u);
  EXPECT_EQ(boundsOf(store, neg).left, -10);
  EXPECT_TRUE(viewOf(store, rect).closed);

  QxArtHandle oval = nullptr;
  ASSERT_EQ(store.newOval(0, 0, 20, 20, false, &oval), 0);
  std::vector<QxPathSegment> o = segmentsOf(store, oval);
  ASSERT_EQ(o.size(), 4u);
  EXPECT_EQ(o[0].p.x, 0);
  EXPECT_EQ(o[0].p.y, 10);
  EXPECT_EQ(o[0].corner, 0);
  EXPECT_NEAR(o[0].out.x, -5.522847498, 1e-5);  // counter-clockwise: towards the left point
  EXPECT_EQ(o[1].p.x, -10);

  QxArtHandle hex = nullptr, star = nullptr;
  ASSERT_EQ(store.newRegularPolygon(6, 0, 0, -10, false, &hex), 0);
  std::vector<QxPathSegment> h = segmentsOf(store, hex);
  ASSERT_EQ(h.size(), 6u);
  EXPECT_EQ(h[0].p.x, 0);
  EXPECT_EQ(h[0].p.y, 10);
  EXPECT_LT(h[1].p.x, 0);
  ASSERT_EQ(store.newStar(5, 0, 0, 4, 10, false, &star), 0);
  std::vector<QxPathSegment> st = segmentsOf(store, star);
  ASSERT_EQ(st.size(), 10u);
  EXPECT_EQ(st[0].p.y, 4);
  EXPECT_NEAR(std::hypot(st[1].p.x, st[1].p.y), 10, 1e-5);

  // Reversed keeps the first vertex and runs clockwise.
  QxArtHandle rev = nullptr;
  ASSERT_EQ(store.newRegularPolygon(6, 0, 0, 10, true, &rev), 0);
  std::vector<QxPathSegment> hr = segmentsOf(store, rev);
  EXPECT_EQ(hr[0].p.y, 10);
  EXPECT_GT(hr[1].p.x, 0);

  // Too few sides or points: a degenerate path, never a failure.
  for (int n : {-5, 0, 1, 2}) {
    QxArtHandle p = nullptr;
    ASSERT_EQ(store.newRegularPolygon(n, 3, 4, 10, false, &p), 0);
    EXPECT_EQ(segmentsOf(store, p).size(), 1u);
  }
  QxArtHandle two = nullptr, one = nullptr;
  ASSERT_EQ(store.newStar(2, 0, 0, 5, 10, false, &two), 0);
  EXPECT_EQ(segmentsOf(store, two).size(), 4u);
  ASSERT_EQ(store.newStar(1, 0, 0, 5, 10, false, &one), 0);
  EXPECT_EQ(segmentsOf(store, one).size(), 1u);
  EXPECT_EQ(store.newOval(NAN, 0, 1, 1, false, &one), QX_ERR_BAD_PARAM);
  EXPECT_EQ(store.newRegularPolygon(1 << 20, 0, 0, 1, false, &one), QX_ERR_BAD_PARAM);
}

TEST(ArtStoreBudget, RefusesArtPastTheBudgetAndRecordsIt) {
  ArtStore store;
  store.setArtBudget(3);
  QxArtHandle group = nullptr, child = nullptr, out = nullptr;
  ASSERT_EQ(store.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &child), 0);
  EXPECT_FALSE(store.budgetExhausted());
  EXPECT_EQ(store.duplicateArt(group, QX_PLACE_ABOVE_ALL, nullptr, &out), QX_ERR_OUT_OF_MEMORY);  // needs 2
  EXPECT_TRUE(store.budgetExhausted());
  ASSERT_EQ(store.newRect(0, 0, 1, 1, false, &out), 0);
  EXPECT_EQ(store.newOval(0, 0, 1, 1, false, &out), QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &out), QX_ERR_OUT_OF_MEMORY);
  EXPECT_TRUE(store.budgetExhausted());
  EXPECT_EQ(store.liveArtCount(), 3u);
  // Disposing makes room again.
  ASSERT_EQ(store.disposeArt(child), 0);
  EXPECT_EQ(store.newArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &out), 0);
  store.setArtBudget(size_t{1} << 40);
  EXPECT_EQ(store.artBudget(), ArtStore::kMaxArtBudget);
}

TEST(DocumentOther, PlacedArtSwatchesViewAndPage) {
  Document doc(300, 400);
  QxArtHandle placed = nullptr;
  ASSERT_EQ(doc.art().newArt(QX_ART_PLACED, QX_PLACE_ABOVE_ALL, nullptr, &placed), 0);
  ASSERT_EQ(doc.art().setItemOutline(placed, QxRealRect{10, 50, 30, 20}), 0);
  EXPECT_EQ(boundsOf(doc.art(), placed).top, 50);
  ASSERT_EQ(doc.art().transform(placed, translateMatrix(5, 0), 1, 1), 0);
  EXPECT_EQ(boundsOf(doc.art(), placed).left, 15);
  EXPECT_FALSE(viewOf(doc.art(), placed).hasStyle());

  const std::vector<Swatch>& sw = doc.swatches();
  ASSERT_GE(sw.size(), 5u);
  EXPECT_EQ(sw[0].name, "[None]");
  EXPECT_EQ(sw[1].name, "[Registration]");
  EXPECT_EQ(sw[2].name, "White");
  EXPECT_EQ(sw[3].name, "Black");
  QxSwatchRef ref = doc.swatchRef(3);
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(doc.swatch(ref), &sw[3]);
  EXPECT_EQ(Document().swatch(ref), nullptr);  // another document's reference
  EXPECT_EQ(doc.swatchRef(-1), nullptr);
  EXPECT_EQ(doc.swatchRef(static_cast<int32_t>(sw.size())), nullptr);
  doc.setSwatches({{"Only", sw[3].color}});
  EXPECT_EQ(doc.swatch(ref), nullptr);  // stale after the list changed

  // Headless view: pixel (0,0) is the page's top-left corner.
  QxRealPoint a = doc.viewToArtwork(QxPoint{0, 0});
  EXPECT_EQ(a.x, 0);
  EXPECT_EQ(a.y, 400);
  ASSERT_EQ(doc.setZoom(2), 0);
  a = doc.viewToArtwork(QxPoint{100, 100});
  EXPECT_EQ(a.x, 50);
  EXPECT_EQ(a.y, 350);
  QxPoint v{};
  ASSERT_EQ(doc.artworkToView(QxRealPoint{50, 350}, &v), 0);
  EXPECT_EQ(v.h, 100);
  EXPECT_EQ(v.v, 100);
  EXPECT_EQ(doc.artworkToView(QxRealPoint{3e30f, 0}, &v), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.setZoom(0.001f), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.setZoom(NAN), QX_ERR_BAD_PARAM);
  doc.setViewTransform(ViewTransform{{-100, 0}, 0.5});
  a = doc.viewToArtwork(QxPoint{10, 10});
  EXPECT_EQ(a.x, -90);
  EXPECT_EQ(a.y, -10);

  EXPECT_EQ(doc.setPageSize(0, 10), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.setPageSize(INFINITY, 10), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.pageWidth(), 300);
  int calls = 0;
  doc.setRedrawCallback([&] { ++calls; });
  doc.redraw();
  EXPECT_EQ(doc.redrawCount(), 1u);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace qx::host
