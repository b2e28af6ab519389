// Building and reading art in the art store tests: a corner point, a path
// of given segments, groups nested in one another, and a path's bounds and
// segments read back.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "host/document/art_store.h"

namespace qx::host {

inline QxPathSegment corner(QxReal x, QxReal y) { return {{x, y}, {x, y}, {x, y}, 1}; }

inline QxArtHandle newPath(ArtStore& store, std::vector<QxPathSegment> seg, int16_t order = QX_PLACE_ABOVE_ALL,
                           QxArtHandle ref = nullptr) {
  QxArtHandle art = nullptr;
  EXPECT_EQ(store.newArt(QX_ART_PATH, order, ref, &art), 0);
  EXPECT_EQ(store.setSegments(art, 0, static_cast<int32_t>(seg.size()), seg.data()), 0);
  return art;
}

// `depth` groups each inside the one before, at the top of the paint order;
// answers the outermost and puts the innermost in *innermost.
inline QxArtHandle nestGroups(ArtStore& store, size_t depth, QxArtHandle* innermost) {
  QxArtHandle outer = nullptr, inner = nullptr;
  for (size_t i = 0; i < depth; ++i) {
    QxArtHandle g = nullptr;
    EXPECT_EQ(store.newArt(QX_ART_GROUP, inner ? QX_PLACE_INSIDE_ON_TOP : QX_PLACE_ABOVE_ALL, inner, &g), 0);
    if (!outer) outer = g;
    inner = g;
  }
  *innermost = inner;
  return outer;
}

inline QxRealRect boundsOf(const ArtStore& store, QxArtHandle art) {
  QxRealRect r{};
  EXPECT_EQ(store.bounds(art, &r), 0);
  return r;
}

inline std::vector<QxPathSegment> segmentsOf(const ArtStore& store, QxArtHandle art) {
  ArtInfo info;
  EXPECT_TRUE(store.describe(art, &info));
  return {info.segments.begin(), info.segments.end()};
}

}  // namespace qx::host
