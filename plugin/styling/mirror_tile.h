// Four-fold mirror tiling of one art object about a tiling centre.
#pragma once

#include <cstdint>

#include "qx_sdk.h"

// The entries of the pattern popup, in order; the record's tileMode holds one.
enum TileMode : int32_t {
  kTileNone = 0,
  kTileCentreOfDocument = 1,  // centre (W / 2, H / 2) of the page
  kTileStartOfDocument = 2,   // centre (0, 0)
  kTileStartOfPoints = 3,     // centre (anchorX, anchorY)
};

// Add three copies of `art` placed by `paintOrder` (QX_PLACE_ABOVE_ALL or
// QX_PLACE_BELOW_ALL): its mirror images across the vertical and the
// horizontal line through the tiling centre, and through the centre itself.
// `art` is not changed. No host result is tested; kTileNone and modes outside
// the list add nothing.
void MirrorTile(int32_t tileMode, QxArtHandle art, int16_t paintOrder, QxReal anchorX, QxReal anchorY);
