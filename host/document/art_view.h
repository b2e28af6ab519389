// What a reader sees of one object of the art store, read in one go: the
// walk hands one with every step (ArtStep::view), and ArtStore::view reads
// one by handle. Every reader of the tree takes its facts from here.
//
// A view points into the store (its segments, its interned style), so it is
// valid until the next change to the store: any non-const call, undo
// included. Reading a view changes nothing, so threads may read views of one
// store at once while no thread changes it.
#pragma once

#include <cstdint>
#include <span>

#include "qx_ai_art.h"

namespace qx::host {

class ArtStore;

struct ArtView {
  QxArtHandle art = nullptr;
  int16_t type = QX_ART_UNKNOWN;
  bool closed = false;    // paths, and placed or raster art's outline
  bool selected = false;  // QX_ATTR_SELECTED
  QxReal opacity = 1;
  // Paths' segments, and the outline of placed, raster, symbol and mesh art;
  // empty for groups and compound paths.
  std::span<const QxPathSegment> segments;

  // Paint, for paths and compound paths. Millions of objects share a few
  // interned base styles; the object's own parts of its style are the
  // leading words of its two colours and its stroke width. A painter that
  // keys on these needs no whole style; style() puts one together.
  const QxPathStyle* base = nullptr;  // null for art without a style
  QxReal strokeWidth = 0;
  uint32_t fillWords[4] = {}, strokeWords[4] = {};

  const ArtStore* store = nullptr;  // the store read, for bounds()

  bool hasStyle() const { return base != nullptr; }
  int32_t attributes() const { return selected ? QX_ATTR_SELECTED : 0; }
  // The object's whole style; a default style for art without one.
  QxPathStyle style() const;
  // Tight bounds of the curves, stroke not counted (all zeros for empty
  // art); a group or compound path covers its children, which takes a pass
  // over all it holds. Measured on each call.
  QxRealRect bounds() const;
};

}  // namespace qx::host
