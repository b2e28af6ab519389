#include "styling/mirror_tile.h"

#include <cstring>

#include "shell/suites.h"
#include "styling/art_transforms.h"

namespace {

QxArtHandle Duplicate(QxArtHandle art, int16_t paintOrder) {
  QxArtHandle copy = nullptr;
  // QX_PLACE_ABOVE_ALL and QX_PLACE_BELOW_ALL place the copy by the whole
  // document and take no reference art.
  gArtSuite->DuplicateArt(art, paintOrder, nullptr, &copy);
  return copy;
}

// Flip a copy about its own centre, read afresh.
void FlipAboutOwnCentre(QxArtHandle copy, QxReal sx, QxReal sy) {
  QxRealPoint c = {0.0f, 0.0f};
  ArtCentre(copy, &c);
  ScaleArtAbout(copy, c, sx, sy);
}

}  // namespace

void MirrorTile(int32_t tileMode, QxArtHandle art, int16_t paintOrder, QxReal anchorX, QxReal anchorY) {
  if (tileMode < kTileCentreOfDocument || tileMode > kTileStartOfPoints) return;

  QxDocumentSetup setup;
  std::memset(&setup, 0, sizeof setup);
  gDocumentSuite->GetDocumentSetup(&setup);

  QxRealPoint centre = {0.0f, 0.0f};
  if (tileMode == kTileCentreOfDocument) centre = {setup.width / 2.0f, setup.height / 2.0f};
  if (tileMode == kTileStartOfPoints) centre = {anchorX, anchorY};

  // The first copy has not moved yet, so its centre is the original's; each
  // copy is first moved so that its centre lands on the mirrored centre.
  QxArtHandle copyA = Duplicate(art, paintOrder);
  QxRealPoint a = {0.0f, 0.0f};
  ArtCentre(copyA, &a);
  const QxReal offsetX = 2.0f * (centre.x - a.x);
  const QxReal offsetY = 2.0f * (centre.y - a.y);
  TranslateArt(copyA, offsetX, 0.0f);

  QxArtHandle copyB = Duplicate(art, paintOrder);
  TranslateArt(copyB, offsetX, offsetY);

  QxArtHandle copyC = Duplicate(art, paintOrder);
  TranslateArt(copyC, 0.0f, offsetY);

  FlipAboutOwnCentre(copyA, -1.0f, 1.0f);
  FlipAboutOwnCentre(copyB, -1.0f, -1.0f);
  FlipAboutOwnCentre(copyC, 1.0f, -1.0f);
}
