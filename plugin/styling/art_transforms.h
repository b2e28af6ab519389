// Moving one art object: about its own centre or about a given point, with
// matrices built by the host's real-math suite and applied by its
// transform-art call (line scale 1, QX_TRANSFORM_OBJECTS).
#pragma once

#include "qx_sdk.h"

// The middle of the art's bounds: (left + (right - left) / 2,
// bottom + (top - bottom) / 2). 0 or the bounds read's code.
QxErr ArtCentre(QxArtHandle art, QxRealPoint* centre);

// Translate by -c, turn counter-clockwise by `radians`, translate by +c.
// 0 or the transform's code.
QxErr RotateArtAbout(QxArtHandle art, QxRealPoint c, QxReal radians);

// Translate by -c, scale by (sx, sy), translate by +c. 0 or the transform's code.
QxErr ScaleArtAbout(QxArtHandle art, QxRealPoint c, QxReal sx, QxReal sy);

// Move the art by (dx, dy). 0 or the transform's code.
QxErr TranslateArt(QxArtHandle art, QxReal dx, QxReal dy);
