// The importers' art builder: objects land in file order inside whatever
// container is open, and a refusal names the step the store refused.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "host/io/art_builder.h"
#include "tests/support/art_store_builders.h"

namespace qx::host {
namespace {

int16_t typeOf(const ArtStore& art, QxArtHandle h) {
  const std::optional<ArtView> view = art.view(h);
  EXPECT_TRUE(view.has_value());
  return view ? view->type : int16_t{QX_ART_UNKNOWN};
}

QxReal opacityOf(const ArtStore& art, QxArtHandle h) {
  const std::optional<ArtView> view = art.view(h);
  EXPECT_TRUE(view.has_value());
  return view ? view->opacity : QxReal{-1};
}

TEST(ArtBuilder, ObjectsGoOnTopInsideTheOpenContainerInFileOrder) {
  ArtStore art;
  ArtBuilder b(art);
  const QxPathStyle style = art.currentStyle();
  const std::vector<QxPathSegment> line{corner(0, 0), corner(10, 5)};
  const Built first = b.path(style, line, true, 0.5f);
  const Built group = b.beginGroup(0.25f);
  const Built compound = b.beginCompound(style, 1);
  const Built member1 = b.path(style, line, false, 1);
  const Built member2 = b.path(style, {}, false, 1);
  b.endContainer();
  const Built placed = b.item(QX_ART_PLACED, QxRealRect{1, 9, 5, 2}, 0.75f);
  b.endContainer();
  EXPECT_EQ(b.openContainers(), 0u);
  b.endContainer();  // none open: nothing to close
  const Built last = b.path(style, line, false, 1);
  for (const Built* made : {&first, &group, &compound, &member1, &member2, &placed, &last}) ASSERT_TRUE(*made);

  EXPECT_EQ(art.topLevelArt(), (std::vector<QxArtHandle>{first.art, group.art, last.art}));
  EXPECT_EQ(art.children(group.art), (std::vector<QxArtHandle>{compound.art, placed.art}));
  EXPECT_EQ(art.children(compound.art), (std::vector<QxArtHandle>{member1.art, member2.art}));
  EXPECT_EQ(typeOf(art, compound.art), QX_ART_COMPOUND_PATH);
  EXPECT_EQ(typeOf(art, placed.art), QX_ART_PLACED);
  EXPECT_EQ(opacityOf(art, first.art), 0.5f);
  EXPECT_EQ(opacityOf(art, group.art), 0.25f);
  EXPECT_EQ(opacityOf(art, placed.art), 0.75f);
  bool closed = false;
  EXPECT_EQ(art.closed(first.art, &closed), QX_ERR_NONE);
  EXPECT_TRUE(closed);
  EXPECT_EQ(segmentsOf(art, first.art).size(), 2u);
  EXPECT_TRUE(segmentsOf(art, member2.art).empty());

  // A copy above: the stroke over its fill, with a paint and opacity of its own.
  QxPathStyle strokeOnly = style;
  strokeOnly.fillPaint = false;
  const Built copy = b.copyAbove(member1.art, strokeOnly, 0.5f);
  ASSERT_TRUE(copy);
  EXPECT_EQ(art.children(compound.art), (std::vector<QxArtHandle>{member1.art, copy.art, member2.art}));
  QxPathStyle kept{};
  EXPECT_EQ(art.pathStyle(copy.art, &kept), QX_ERR_NONE);
  EXPECT_FALSE(kept.fillPaint);
  EXPECT_EQ(opacityOf(art, copy.art), 0.5f);
}

TEST(ArtBuilder, ARefusalNamesTheStepTheStoreRefused) {
  ArtStore art;
  ArtBuilder b(art);
  const QxPathStyle style = art.currentStyle();

  const Built tooOpaque = b.beginGroup(2);
  EXPECT_FALSE(tooOpaque);
  EXPECT_EQ(tooOpaque.refused, ArtPart::Opacity);
  EXPECT_EQ(tooOpaque.art, nullptr);
  EXPECT_EQ(b.openContainers(), 0u);  // a container refused stays closed

  const Built pathAsItem = b.item(QX_ART_PATH, QxRealRect{0, 1, 1, 0}, 1);
  EXPECT_EQ(pathAsItem.code, QX_ERR_BAD_PARAM);
  EXPECT_EQ(pathAsItem.refused, ArtPart::Outline);

  const std::vector<QxPathSegment> tooMany(static_cast<size_t>(ArtStore::kMaxSegments) + 1, corner(0, 0));
  EXPECT_EQ(b.path(style, tooMany, false, 1).refused, ArtPart::Segments);

  // A compound path holds paths only.
  ASSERT_TRUE(b.beginCompound(style, 1));
  const Built groupInCompound = b.beginGroup(1);
  EXPECT_EQ(groupInCompound.code, QX_ERR_BAD_PARAM);
  EXPECT_EQ(groupInCompound.refused, ArtPart::Object);
  b.endContainer();

  art.setArtBudget(art.liveArtCount());
  const Built overBudget = b.path(style, {}, false, 1);
  EXPECT_EQ(overBudget.code, QX_ERR_OUT_OF_MEMORY);
  EXPECT_EQ(overBudget.refused, ArtPart::Object);
}

}  // namespace
}  // namespace qx::host
