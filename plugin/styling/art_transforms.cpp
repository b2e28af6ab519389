#include "styling/art_transforms.h"

#include "shell/suites.h"

namespace {

// The matrix calls' results are not tested; a matrix whose build failed
// stays the identity rather than garbage.
constexpr QxRealMatrix kIdentity = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};

QxErr ApplyMatrix(QxArtHandle art, const QxRealMatrix& m) {
  return gTransformArtSuite->TransformArt(art, &m, 1.0f, QX_TRANSFORM_OBJECTS);
}

}  // namespace

QxErr ArtCentre(QxArtHandle art, QxRealPoint* centre) {
  QxRealRect b = {0.0f, 0.0f, 0.0f, 0.0f};
  QxErr err = gArtSuite->GetArtBounds(art, &b);
  if (err != 0) return err;
  centre->x = b.left + (b.right - b.left) / 2.0f;
  centre->y = b.bottom + (b.top - b.bottom) / 2.0f;
  return 0;
}

QxErr RotateArtAbout(QxArtHandle art, QxRealPoint c, QxReal radians) {
  QxRealMatrix m = kIdentity;
  gRealMathSuite->MatrixSetTranslate(&m, -c.x, -c.y);
  gRealMathSuite->MatrixConcatRotate(&m, radians);
  gRealMathSuite->MatrixConcatTranslate(&m, c.x, c.y);
  return ApplyMatrix(art, m);
}

QxErr ScaleArtAbout(QxArtHandle art, QxRealPoint c, QxReal sx, QxReal sy) {
  QxRealMatrix m = kIdentity;
  gRealMathSuite->MatrixSetTranslate(&m, -c.x, -c.y);
  gRealMathSuite->MatrixConcatScale(&m, sx, sy);
  gRealMathSuite->MatrixConcatTranslate(&m, c.x, c.y);
  return ApplyMatrix(art, m);
}

QxErr TranslateArt(QxArtHandle art, QxReal dx, QxReal dy) {
  QxRealMatrix m = kIdentity;
  gRealMathSuite->MatrixSetTranslate(&m, dx, dy);
  return ApplyMatrix(art, m);
}
