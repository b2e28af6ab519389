// The art store: paint order, duplication, undo, styles, bounds, transforms,
// shapes and the art budget, through its C++ interface.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "host/document/document.h"
#include "host/document/matrix.h"

namespace qx::host {
namespace {

QxPathSegment corner(QxReal x, QxReal y) { return {{x, y}, {x, y}, {x, y}, 1}; }

QxArtHandle newPath(Document& doc, std::vector<QxPathSegment> seg, int16_t order = QX_PLACE_ABOVE_ALL,
                    QxArtHandle ref = nullptr) {
  QxArtHandle art = nullptr;
  EXPECT_EQ(doc.newArt(QX_ART_PATH, order, ref, &art), 0);
  EXPECT_EQ(doc.setSegments(art, 0, static_cast<int32_t>(seg.size()), seg.data()), 0);
  return art;
}

QxRealRect boundsOf(const Document& doc, QxArtHandle art) {
  QxRealRect r{};
  EXPECT_EQ(doc.bounds(art, &r), 0);
  return r;
}

std::vector<QxPathSegment> segmentsOf(const Document& doc, QxArtHandle art) {
  ArtInfo info;
  EXPECT_TRUE(doc.describe(art, &info));
  return {info.segments.begin(), info.segments.end()};
}

TEST(DocumentPaintOrder, CodesPlaceArtAboveBelowAndInside) {
  Document doc;
  QxArtHandle a = newPath(doc, {corner(0, 0)});
  QxArtHandle b = newPath(doc, {corner(1, 1)});                          // 5: above all
  QxArtHandle c = newPath(doc, {corner(2, 2)}, QX_PLACE_BELOW_ALL);      // 6: below all
  QxArtHandle d = newPath(doc, {corner(3, 3)}, QX_PLACE_ABOVE, c);       // 1: just above c
  QxArtHandle e = newPath(doc, {corner(4, 4)}, QX_PLACE_BELOW, b);       // 2: just below b
  EXPECT_EQ(doc.topLevelArt(), (std::vector<QxArtHandle>{c, d, a, e, b}));
  EXPECT_EQ(doc.firstTopLevel(), c);
  EXPECT_EQ(doc.lastTopLevel(), b);

  QxArtHandle group = nullptr, top = nullptr, bottom = nullptr;
  ASSERT_EQ(doc.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(doc.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &top), 0);
  ASSERT_EQ(doc.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_BOTTOM, group, &bottom), 0);
  EXPECT_EQ(doc.children(group), (std::vector<QxArtHandle>{bottom, top}));
  QxArtHandle parent = nullptr;
  ASSERT_EQ(doc.parent(top, &parent), 0);
  EXPECT_EQ(parent, group);
  EXPECT_EQ(doc.liveArtCount(), 8u);

  // References: none for 1-4, a leaf for 3/4, nothing but paths in a compound path.
  QxArtHandle out = nullptr;
  EXPECT_EQ(doc.newArt(QX_ART_PATH, QX_PLACE_ABOVE, nullptr, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, a, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.newArt(QX_ART_PATH, 0, nullptr, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.newArt(QX_ART_PATH, 7, nullptr, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.newArt(QX_ART_UNKNOWN, QX_PLACE_ABOVE_ALL, nullptr, &out), QX_ERR_BAD_PARAM);
  QxArtHandle compound = nullptr;
  ASSERT_EQ(doc.newArt(QX_ART_COMPOUND_PATH, QX_PLACE_ABOVE_ALL, nullptr, &compound), 0);
  EXPECT_EQ(doc.newArt(QX_ART_GROUP, QX_PLACE_INSIDE_ON_TOP, compound, &out), QX_ERR_BAD_PARAM);
  EXPECT_EQ(out, nullptr);
}

TEST(DocumentHandles, DisposedStaleAndForeignHandlesAreRefused) {
  Document doc, other;
  QxArtHandle group = nullptr, child = nullptr;
  ASSERT_EQ(doc.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(doc.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &child), 0);
  QxArtHandle keep = newPath(doc, {corner(0, 0)});
  EXPECT_FALSE(other.isValid(keep));
  int16_t type = 0;
  EXPECT_EQ(other.artType(keep, &type), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.artType(reinterpret_cast<QxArtHandle>(uintptr_t{0x1234}), &type), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.artType(nullptr, &type), QX_ERR_BAD_PARAM);

  ASSERT_EQ(doc.disposeArt(group), 0);
  EXPECT_FALSE(doc.isValid(group));
  EXPECT_FALSE(doc.isValid(child));  // children go with their parent
  EXPECT_EQ(doc.disposeArt(group), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.topLevelArt(), std::vector<QxArtHandle>{keep});
  EXPECT_EQ(doc.liveArtCount(), 1u);

  // A slot emptied by undo and filled again does not revive the old handle.
  doc.beginMessage();
  QxArtHandle gone = newPath(doc, {corner(1, 1)});
  doc.undoMessage();
  QxArtHandle fresh = newPath(doc, {corner(2, 2)});
  EXPECT_FALSE(doc.isValid(gone));
  EXPECT_TRUE(doc.isValid(fresh));
  EXPECT_NE(gone, fresh);
}

TEST(DocumentDuplicate, CopiesTreeSegmentsAndStyleButNotSelection) {
  Document doc;
  QxArtHandle group = nullptr, inner = nullptr;
  ASSERT_EQ(doc.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(doc.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &inner), 0);
  QxPathSegment seg[2] = {corner(1, 2), corner(3, 4)};
  ASSERT_EQ(doc.setSegments(inner, 0, 2, seg), 0);
  ASSERT_EQ(doc.setClosed(inner, true), 0);
  QxPathStyle style = Document::defaultStyle();
  style.stroke.width = 7;
  style.fill.color.c.process.cyan = 0.25f;
  ASSERT_EQ(doc.setPathStyle(inner, style), 0);
  ASSERT_EQ(doc.setOpacity(inner, 0.5f), 0);
  ASSERT_EQ(doc.setSelected(group, true), 0);
  QxArtHandle below = newPath(doc, {corner(0, 0)}, QX_PLACE_BELOW_ALL);

  QxArtHandle top = nullptr, bottom = nullptr;
  ASSERT_EQ(doc.duplicateArt(group, QX_PLACE_ABOVE_ALL, group, &top), 0);  // reference ignored for 5 and 6
  ASSERT_EQ(doc.duplicateArt(group, QX_PLACE_BELOW_ALL, nullptr, &bottom), 0);
  EXPECT_EQ(doc.topLevelArt(), (std::vector<QxArtHandle>{bottom, below, group, top}));
  EXPECT_EQ(doc.liveArtCount(), 7u);

  int32_t attrs = -1;
  ASSERT_EQ(doc.attributes(top, &attrs), 0);
  EXPECT_EQ(attrs, 0);
  std::vector<QxArtHandle> kids = doc.children(top);
  ASSERT_EQ(kids.size(), 1u);
  EXPECT_NE(kids[0], inner);
  ArtInfo info;
  ASSERT_TRUE(doc.describe(kids[0], &info));
  EXPECT_TRUE(info.closed);
  EXPECT_EQ(info.opacity, 0.5f);
  EXPECT_EQ(std::memcmp(&info.style, &style, sizeof style), 0);
  ASSERT_EQ(info.segments.size(), 2u);
  EXPECT_EQ(info.segments[1].p.y, 4);

  // The copy is independent of the original.
  QxPathSegment moved = corner(9, 9);
  ASSERT_EQ(doc.setSegments(kids[0], 0, 1, &moved), 0);
  EXPECT_EQ(segmentsOf(doc, inner)[0].p.x, 1);
}

TEST(DocumentUndo, TakesBackNewChangedAndDisposedArt) {
  Document doc;
  QxArtHandle a = newPath(doc, {corner(0, 0), corner(10, 0)});
  QxArtHandle b = newPath(doc, {corner(5, 5)});
  QxArtHandle group = nullptr, child = nullptr;
  ASSERT_EQ(doc.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(doc.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &child), 0);
  const std::vector<QxArtHandle> before = doc.topLevelArt();
  QxPathStyle styleA;
  ASSERT_EQ(doc.pathStyle(a, &styleA), 0);

  doc.beginMessage();
  for (int round = 0; round < 2; ++round) {  // the context stays open after an undo
    newPath(doc, {corner(1, 1)});
    newPath(doc, {corner(2, 2)}, QX_PLACE_BELOW_ALL);
    QxArtHandle dup = nullptr;
    ASSERT_EQ(doc.duplicateArt(group, QX_PLACE_ABOVE, a, &dup), 0);
    QxPathSegment far[3] = {corner(100, 100), corner(200, 200), corner(300, 300)};
    ASSERT_EQ(doc.setSegments(a, 1, 3, far), 0);  // grows a path that existed before
    ASSERT_EQ(doc.transform(b, translateMatrix(50, 0), 1, 1), 0);
    QxPathStyle red = styleA;
    red.fill.color.c.process.magenta = 1;
    ASSERT_EQ(doc.setPathStyle(a, red), 0);
    ASSERT_EQ(doc.setOpacity(a, 0.25f), 0);
    ASSERT_EQ(doc.setClosed(a, true), 0);
    ASSERT_EQ(doc.disposeArt(group), 0);
    EXPECT_FALSE(doc.isValid(child));

    doc.undoMessage();
    EXPECT_EQ(doc.topLevelArt(), before);
    EXPECT_EQ(doc.liveArtCount(), 4u);
    EXPECT_TRUE(doc.isValid(child));
    EXPECT_EQ(doc.children(group), std::vector<QxArtHandle>{child});
    std::vector<QxPathSegment> segA = segmentsOf(doc, a);
    ASSERT_EQ(segA.size(), 2u);
    EXPECT_EQ(segA[1].p.x, 10);
    EXPECT_EQ(segmentsOf(doc, b)[0].p.x, 5);
    QxPathStyle now;
    ASSERT_EQ(doc.pathStyle(a, &now), 0);
    EXPECT_EQ(std::memcmp(&now, &styleA, sizeof now), 0);
    QxReal opacity = 0;
    bool closed = true;
    ASSERT_EQ(doc.opacity(a, &opacity), 0);
    ASSERT_EQ(doc.closed(a, &closed), 0);
    EXPECT_EQ(opacity, 1);
    EXPECT_FALSE(closed);
  }
  doc.endMessage();

  // Outside a message there is nothing to undo; a new message keeps older work.
  QxArtHandle kept = newPath(doc, {corner(7, 7)});
  doc.undoMessage();
  EXPECT_TRUE(doc.isValid(kept));
  doc.beginMessage();
  doc.undoMessage();
  EXPECT_TRUE(doc.isValid(kept));
}

TEST(DocumentStyles, NewPathsTakeTheCurrentStyleAndStylesAreInterned) {
  Document doc;
  const QxPathStyle& cur = doc.currentStyle();
  EXPECT_TRUE(cur.fillPaint);
  EXPECT_EQ(cur.fill.color.kind, QX_COLOR_PROCESS);
  EXPECT_EQ(cur.fill.color.c.process.black, 0);
  EXPECT_TRUE(cur.strokePaint);
  EXPECT_EQ(cur.stroke.color.kind, QX_COLOR_PROCESS);
  EXPECT_EQ(cur.stroke.color.c.process.black, 1);
  EXPECT_EQ(cur.stroke.width, 1);

  // Colours and widths that differ per object share one base record.
  for (int i = 0; i < 1000; ++i) {
    QxArtHandle art = newPath(doc, {corner(0, 0)});
    QxPathStyle s;
    ASSERT_EQ(doc.pathStyle(art, &s), 0);
    s.fill.color.kind = QX_COLOR_RGB;
    s.fill.color.c.rgb.red = i / 1000.0f;
    s.stroke.width = static_cast<QxReal>(i);
    ASSERT_EQ(doc.setPathStyle(art, s), 0);
    QxPathStyle back;
    ASSERT_EQ(doc.pathStyle(art, &back), 0);
    ASSERT_EQ(std::memcmp(&back, &s, sizeof s), 0);
  }
  EXPECT_LE(doc.internedStyleCount(), 2u);

  // Every word is kept, the reserved ones too, and a group has no style.
  QxArtHandle art = newPath(doc, {corner(0, 0)});
  QxPathStyle odd;
  std::memset(&odd, 0xA5, sizeof odd);
  ASSERT_EQ(doc.setPathStyle(art, odd), 0);
  QxPathStyle back;
  ASSERT_EQ(doc.pathStyle(art, &back), 0);
  EXPECT_EQ(std::memcmp(&back, &odd, sizeof odd), 0);
  QxArtHandle group = nullptr;
  ASSERT_EQ(doc.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  EXPECT_EQ(doc.pathStyle(group, &back), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.setPathStyle(group, odd), QX_ERR_BAD_PARAM);
}

TEST(DocumentPaths, SegmentRangesAreChecked) {
  Document doc;
  QxArtHandle art = newPath(doc, {});
  QxPathSegment s[3] = {corner(1, 1), corner(2, 2), corner(3, 3)};
  EXPECT_EQ(doc.setSegments(art, 1, 1, s), QX_ERR_BAD_PARAM);  // past the end
  EXPECT_EQ(doc.setSegments(art, -1, 1, s), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.setSegments(art, 0, -1, s), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.setSegments(art, 0, 1, nullptr), QX_ERR_BAD_PARAM);
  // Growing one segment at a time, the way a walk writes its points.
  for (int i = 0; i < 3000; ++i) {
    QxPathSegment p = corner(static_cast<QxReal>(i), 0);
    ASSERT_EQ(doc.setSegments(art, i, 1, &p), 0);
    if (i % 7 == 0) newPath(doc, {corner(-1, -1)});  // other art in between
  }
  int16_t count = 0;
  ASSERT_EQ(doc.segmentCount(art, &count), 0);
  EXPECT_EQ(count, 3000);
  QxPathSegment got[2];
  ASSERT_EQ(doc.getSegments(art, 2998, 2, got), 0);
  EXPECT_EQ(got[1].p.x, 2999);
  EXPECT_EQ(doc.getSegments(art, 2999, 2, got), QX_ERR_BAD_PARAM);

  ASSERT_EQ(doc.setSegmentCount(art, 3002), 0);
  ASSERT_EQ(doc.getSegments(art, 3001, 1, got), 0);
  EXPECT_EQ(got[0].p.x, 0);
  EXPECT_EQ(got[0].corner, 1);
  EXPECT_EQ(doc.setSegmentCount(art, -1), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.setSegmentCount(art, 32768), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.setSegments(art, 3002, 32767 - 3002 + 1, s), QX_ERR_BAD_PARAM);

  QxArtHandle group = nullptr;
  ASSERT_EQ(doc.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  EXPECT_EQ(doc.setSegmentCount(group, 1), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.setClosed(group, true), QX_ERR_BAD_PARAM);
}

TEST(DocumentGeometry, BoundsAreTightAroundCurves) {
  Document doc;
  // A cubic from (0,0) to (10,0) with both handles at height 10 peaks at 7.5.
  QxArtHandle arch = newPath(doc, {{{0, 0}, {0, 0}, {0, 10}, 0}, {{10, 0}, {10, 10}, {10, 0}, 0}});
  QxRealRect r = boundsOf(doc, arch);
  EXPECT_FLOAT_EQ(r.left, 0);
  EXPECT_FLOAT_EQ(r.right, 10);
  EXPECT_FLOAT_EQ(r.bottom, 0);
  EXPECT_FLOAT_EQ(r.top, 7.5f);

  // Handles far outside do not count, only the curve they shape.
  QxArtHandle oval = nullptr;
  ASSERT_EQ(doc.newOval(100, 200, 40, 60, false, &oval), 0);
  r = boundsOf(doc, oval);
  EXPECT_NEAR(r.left, 70, 1e-4);
  EXPECT_NEAR(r.right, 130, 1e-4);
  EXPECT_NEAR(r.bottom, 180, 1e-4);
  EXPECT_NEAR(r.top, 220, 1e-4);

  // The closing piece of a closed path counts.
  QxArtHandle open = newPath(doc, {{{0, 0}, {0, 0}, {0, 0}, 0}, {{10, 0}, {10, 0}, {10, 0}, 0},
                                   {{10, 10}, {10, 10}, {-20, 10}, 0}});
  ASSERT_EQ(doc.segmentCount(open, nullptr), QX_ERR_BAD_PARAM);
  EXPECT_FLOAT_EQ(boundsOf(doc, open).left, 0);
  ASSERT_EQ(doc.setClosed(open, true), 0);
  EXPECT_LT(boundsOf(doc, open).left, -1);

  // Containers cover their children; empty art is all zeros.
  QxArtHandle group = nullptr, empty = nullptr;
  ASSERT_EQ(doc.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(doc.duplicateArt(arch, QX_PLACE_INSIDE_ON_TOP, group, nullptr), QX_ERR_BAD_PARAM);
  QxArtHandle copy = nullptr;
  ASSERT_EQ(doc.duplicateArt(arch, QX_PLACE_INSIDE_ON_TOP, group, &copy), 0);
  ASSERT_EQ(doc.duplicateArt(oval, QX_PLACE_INSIDE_ON_TOP, group, &copy), 0);
  ASSERT_EQ(doc.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &empty), 0);
  r = boundsOf(doc, group);
  EXPECT_FLOAT_EQ(r.left, 0);
  EXPECT_NEAR(r.top, 220, 1e-4);
  r = boundsOf(doc, empty);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 0);
  EXPECT_EQ(r.bottom, 0);
}

TEST(DocumentGeometry, TransformsMoveAnchorsAndHandlesAndScaleLinesOnRequest) {
  Document doc;
  QxArtHandle art = newPath(doc, {{{1, 0}, {1, -1}, {1, 1}, 0}});
  // A quarter turn about (1, 1): translate by -c, rotate, translate back.
  QxRealMatrix m = concatMatrix(concatMatrix(translateMatrix(-1, -1), rotateMatrix(std::acos(-1.0f) / 2)),
                                translateMatrix(1, 1));
  ASSERT_EQ(doc.transform(art, m, 1, 1), 0);
  QxPathSegment s = segmentsOf(doc, art)[0];
  EXPECT_NEAR(s.p.x, 2, 1e-6);
  EXPECT_NEAR(s.p.y, 1, 1e-6);
  EXPECT_NEAR(s.in.x, 3, 1e-6);
  EXPECT_NEAR(s.out.x, 1, 1e-6);

  QxPathStyle style;
  ASSERT_EQ(doc.transform(art, scaleMatrix(2, 2), 3, QX_TRANSFORM_OBJECTS), 0);
  ASSERT_EQ(doc.pathStyle(art, &style), 0);
  EXPECT_EQ(style.stroke.width, 1);
  ASSERT_EQ(doc.transform(art, scaleMatrix(1, 1), 3, kTransformLineWidths), 0);
  ASSERT_EQ(doc.pathStyle(art, &style), 0);
  EXPECT_EQ(style.stroke.width, 3);

  QxRealMatrix bad = translateMatrix(NAN, 0);
  EXPECT_EQ(doc.transform(art, bad, 1, 1), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.transform(art, identityMatrix(), INFINITY, kTransformLineWidths), QX_ERR_BAD_PARAM);

  // A group moves with all its children.
  QxArtHandle group = nullptr, child = nullptr;
  ASSERT_EQ(doc.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(doc.duplicateArt(art, QX_PLACE_INSIDE_ON_TOP, group, &child), 0);
  QxRealRect before = boundsOf(doc, child);
  ASSERT_EQ(doc.transform(group, translateMatrix(10, -5), 1, 1), 0);
  EXPECT_FLOAT_EQ(boundsOf(doc, child).left, before.left + 10);
  EXPECT_FLOAT_EQ(boundsOf(doc, child).top, before.top - 5);
}

TEST(DocumentShapes, ShapesStartStraightUpAndTakeSizesByAbsoluteValue) {
  Document doc;
  QxArtHandle rect = nullptr, neg = nullptr;
  ASSERT_EQ(doc.newRect(10, 20, 30, 40, false, &rect), 0);
  ASSERT_EQ(doc.newRect(10, 20, -30, -40, false, &neg), 0);
  QxRealRect r = boundsOf(doc, rect);
  EXPECT_EQ(r.left, -10);
  EXPECT_EQ(r.right, 30);
  EXPECT_EQ(r.bottom, 5);
  EXPECT_EQ(r.top, 35);
  EXPECT_EQ(segmentsOf(doc, neg).size(), 4u);
  EXPECT_EQ(boundsOf(doc, neg).left, -10);
  bool closed = false;
  ASSERT_EQ(doc.closed(rect, &closed), 0);
  EXPECT_TRUE(closed);

  QxArtHandle oval = nullptr;
  ASSERT_EQ(doc.newOval(0, 0, 20, 20, false, &oval), 0);
  std::vector<QxPathSegment> o = segmentsOf(doc, oval);
  ASSERT_EQ(o.size(), 4u);
  EXPECT_EQ(o[0].p.x, 0);
  EXPECT_EQ(o[0].p.y, 10);
  EXPECT_EQ(o[0].corner, 0);
  EXPECT_NEAR(o[0].out.x, -5.522847498, 1e-5);  // counter-clockwise: towards the left point
  EXPECT_EQ(o[1].p.x, -10);

  QxArtHandle hex = nullptr, star = nullptr;
  ASSERT_EQ(doc.newRegularPolygon(6, 0, 0, -10, false, &hex), 0);
  std::vector<QxPathSegment> h = segmentsOf(doc, hex);
  ASSERT_EQ(h.size(), 6u);
  EXPECT_EQ(h[0].p.x, 0);
  EXPECT_EQ(h[0].p.y, 10);
  EXPECT_LT(h[1].p.x, 0);
  ASSERT_EQ(doc.newStar(5, 0, 0, 4, 10, false, &star), 0);
  std::vector<QxPathSegment> st = segmentsOf(doc, star);
  ASSERT_EQ(st.size(), 10u);
  EXPECT_EQ(st[0].p.y, 4);
  EXPECT_NEAR(std::hypot(st[1].p.x, st[1].p.y), 10, 1e-5);

  // Reversed keeps the first vertex and runs clockwise.
  QxArtHandle rev = nullptr;
  ASSERT_EQ(doc.newRegularPolygon(6, 0, 0, 10, true, &rev), 0);
  std::vector<QxPathSegment> hr = segmentsOf(doc, rev);
  EXPECT_EQ(hr[0].p.y, 10);
  EXPECT_GT(hr[1].p.x, 0);

  // Too few sides or points: a degenerate path, never a failure.
  for (int n : {-5, 0, 1, 2}) {
    QxArtHandle p = nullptr;
    ASSERT_EQ(doc.newRegularPolygon(n, 3, 4, 10, false, &p), 0);
    EXPECT_EQ(segmentsOf(doc, p).size(), 1u);
  }
  QxArtHandle two = nullptr, one = nullptr;
  ASSERT_EQ(doc.newStar(2, 0, 0, 5, 10, false, &two), 0);
  EXPECT_EQ(segmentsOf(doc, two).size(), 4u);
  ASSERT_EQ(doc.newStar(1, 0, 0, 5, 10, false, &one), 0);
  EXPECT_EQ(segmentsOf(doc, one).size(), 1u);
  EXPECT_EQ(doc.newOval(NAN, 0, 1, 1, false, &one), QX_ERR_BAD_PARAM);
  EXPECT_EQ(doc.newRegularPolygon(1 << 20, 0, 0, 1, false, &one), QX_ERR_BAD_PARAM);
}

TEST(DocumentBudget, RefusesArtPastTheBudgetAndRecordsIt) {
  Document doc;
  doc.setArtBudget(3);
  QxArtHandle group = nullptr, child = nullptr, out = nullptr;
  ASSERT_EQ(doc.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &group), 0);
  ASSERT_EQ(doc.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, group, &child), 0);
  EXPECT_FALSE(doc.budgetExhausted());
  EXPECT_EQ(doc.duplicateArt(group, QX_PLACE_ABOVE_ALL, nullptr, &out), QX_ERR_OUT_OF_MEMORY);  // needs 2
  EXPECT_TRUE(doc.budgetExhausted());
  doc.clearBudgetExhausted();
  ASSERT_EQ(doc.newRect(0, 0, 1, 1, false, &out), 0);
  EXPECT_EQ(doc.newOval(0, 0, 1, 1, false, &out), QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(doc.newArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &out), QX_ERR_OUT_OF_MEMORY);
  EXPECT_TRUE(doc.budgetExhausted());
  EXPECT_EQ(doc.liveArtCount(), 3u);
  // Disposing makes room again.
  ASSERT_EQ(doc.disposeArt(child), 0);
  EXPECT_EQ(doc.newArt(QX_ART_PATH, QX_PLACE_ABOVE_ALL, nullptr, &out), 0);
  doc.setArtBudget(size_t{1} << 40);
  EXPECT_EQ(doc.artBudget(), Document::kMaxArtBudget);
}

TEST(DocumentOther, PlacedArtSwatchesViewAndPage) {
  Document doc(300, 400);
  QxArtHandle placed = nullptr;
  ASSERT_EQ(doc.newArt(QX_ART_PLACED, QX_PLACE_ABOVE_ALL, nullptr, &placed), 0);
  ASSERT_EQ(doc.setItemOutline(placed, QxRealRect{10, 50, 30, 20}), 0);
  EXPECT_EQ(boundsOf(doc, placed).top, 50);
  ASSERT_EQ(doc.transform(placed, translateMatrix(5, 0), 1, 1), 0);
  EXPECT_EQ(boundsOf(doc, placed).left, 15);
  QxPathStyle style;
  EXPECT_EQ(doc.pathStyle(placed, &style), QX_ERR_BAD_PARAM);

  const std::vector<Swatch>& sw = doc.swatches();
  ASSERT_GE(sw.size(), 5u);
  EXPECT_EQ(sw[0].name, "[None]");
  EXPECT_EQ(sw[1].name, "[Registration]");
  EXPECT_EQ(sw[2].name, "White");
  EXPECT_EQ(sw[3].name, "Black");
  QxSwatchRef ref = doc.swatchRef(3);
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(doc.swatch(ref), &sw[3]);
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
