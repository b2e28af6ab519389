// Building and reading art in the art store tests: a corner point, a path
// of given segments, groups nested in one another, and an object's view,
// style, bounds and segments read back.
#pragma once

#include <gtest/gtest.h>

#include <optional>
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

// The view of a live object; a test failure (and an empty view) otherwise.
inline ArtView viewOf(const ArtStore& store, QxArtHandle art) {
  const std::optional<ArtView> view = store.view(art);
  EXPECT_TRUE(view.has_value()) << "a bad handle";
  return view.value_or(ArtView{});
}

inline QxPathStyle styleOf(const ArtStore& store, QxArtHandle art) { return viewOf(store, art).style(); }

inline QxRealRect boundsOf(const ArtStore& store, QxArtHandle art) {
  QxRealRect r{};
  EXPECT_EQ(store.bounds(art, &r), 0);
  return r;
}

// Copied out, so they outlive changes to the store.
inline std::vector<QxPathSegment> segmentsOf(const ArtStore& store, QxArtHandle art) {
  const ArtView view = viewOf(store, art);
  return {view.segments.begin(), view.segments.end()};
}

}  // namespace qx::host
