// Art nested far deeper than a call stack could follow: every operation on
// the whole tree (bounds, copying, moving, removing, writing) walks it; and
// the bounds of all containers measured in one pass, which the JSON writer
// uses, are what each container measures alone.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host/document/art_walk.h"
#include "host/document/document.h"
#include "host/io/json/json_writer.h"
#include "host/io/svg_write/svg_writer.h"
#include "tests/support/art_store_builders.h"

namespace qx::host {
namespace {

constexpr size_t kDepth = 100'000;

void expectRect(const QxRealRect& r, QxReal left, QxReal top, QxReal right, QxReal bottom) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right, right);
  EXPECT_EQ(r.bottom, bottom);
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

TEST(DeepNesting, AHundredThousandNestedGroupsAreMeasuredCopiedMovedWrittenAndRemoved) {
  Document doc(612, 792);
  ArtStore& art = doc.art();
  QxArtHandle inner = nullptr;
  const QxArtHandle outer = nestGroups(art, kDepth, &inner);
  newPath(art, {corner(10, 20), corner(30, 40)}, QX_PLACE_INSIDE_ON_TOP, inner);
  ASSERT_EQ(art.liveArtCount(), kDepth + 1);

  expectRect(boundsOf(art, outer), 10, 40, 30, 20);
  const auto boxes = art.containerBounds();
  ASSERT_EQ(boxes.size(), kDepth);
  expectRect(boxes.at(inner), 10, 40, 30, 20);

  QxArtHandle copy = nullptr;
  ASSERT_EQ(art.duplicateArt(outer, QX_PLACE_ABOVE_ALL, nullptr, &copy), QX_ERR_NONE);
  EXPECT_EQ(art.liveArtCount(), 2 * (kDepth + 1));
  ASSERT_EQ(art.transform(copy, QxRealMatrix{1, 0, 0, 1, 5, -5}, 1, 0), QX_ERR_NONE);
  expectRect(boundsOf(art, copy), 15, 35, 35, 15);
  expectRect(boundsOf(art, outer), 10, 40, 30, 20);  // the copy owns its segments
  // The copy is as deep as the source, with the path at the bottom.
  size_t depth = 0;
  for (QxArtHandle at = copy; at != nullptr; ++depth) {
    QxArtHandle child = nullptr;
    ASSERT_EQ(art.firstChild(at, &child), QX_ERR_NONE);
    at = child;
  }
  EXPECT_EQ(depth, kDepth + 1);

  const std::string svg = svgText(doc);
  EXPECT_EQ(count(svg, "</g>"), 2 * kDepth + 1);  // and the one around all art
  EXPECT_EQ(count(svg, "<path"), 2u);
  const std::string json = documentJson(doc);
  EXPECT_EQ(count(json, "\"group\""), 2 * kDepth);
  EXPECT_EQ(count(json, "\"bounds\": [15, 35, 35, 15]"), kDepth + 1);

  ASSERT_EQ(art.disposeArt(copy), QX_ERR_NONE);
  EXPECT_EQ(art.liveArtCount(), kDepth + 1);
  ASSERT_EQ(art.disposeArt(outer), QX_ERR_NONE);
  EXPECT_EQ(art.liveArtCount(), 0u);
  EXPECT_FALSE(art.isValid(inner));
}

TEST(DeepNesting, ContainerBoundsInOnePassAreWhatEachContainerMeasures) {
  ArtStore art;
  QxArtHandle g = nullptr, c = nullptr, empty = nullptr, inner = nullptr, placed = nullptr;
  ASSERT_EQ(art.newArt(QX_ART_GROUP, QX_PLACE_ABOVE_ALL, nullptr, &g), QX_ERR_NONE);
  newPath(art, {corner(1, 2), {{5, 5}, {5, 5}, {9, -30}, 0}, corner(3, 4)}, QX_PLACE_INSIDE_ON_TOP, g);
  ASSERT_EQ(art.newArt(QX_ART_COMPOUND_PATH, QX_PLACE_INSIDE_ON_TOP, g, &c), QX_ERR_NONE);
  newPath(art, {corner(-0.1f, 7), corner(2, 8)}, QX_PLACE_INSIDE_ON_TOP, c);
  newPath(art, {corner(NAN, 1), corner(2, NAN)}, QX_PLACE_INSIDE_ON_TOP, c);
  QxArtHandle none = nullptr;  // a path without segments adds nothing
  ASSERT_EQ(art.newArt(QX_ART_PATH, QX_PLACE_INSIDE_ON_TOP, c, &none), QX_ERR_NONE);
  ASSERT_EQ(art.newArt(QX_ART_GROUP, QX_PLACE_INSIDE_ON_TOP, g, &empty), QX_ERR_NONE);
  nestGroups(art, 3, &inner);
  ASSERT_EQ(art.newArt(QX_ART_PLACED, QX_PLACE_INSIDE_ON_TOP, inner, &placed), QX_ERR_NONE);
  ASSERT_EQ(art.setItemOutline(placed, QxRealRect{100, 300, 200, 250}), QX_ERR_NONE);

  const auto boxes = art.containerBounds();
  size_t containers = 0;
  ArtWalk walk(art);
  ArtStep step;
  while (walk.next(&step)) {
    if (step.kind != ArtStep::kEnter) continue;
    ++containers;
    const QxRealRect want = boundsOf(art, step.art), got = boxes.at(step.art);
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right, want.right);
    EXPECT_EQ(got.bottom, want.bottom);
  }
  EXPECT_EQ(containers, 6u);
  EXPECT_EQ(boxes.size(), 6u);
}

}  // namespace
}  // namespace qx::host
