// Building and reading art in the art store tests: a corner point, a path
// of given segments, and its bounds and segments read back.
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
