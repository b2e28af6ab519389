// Shape construction, art transforms and the real-number maths plug-ins use
// to build their matrices.
#include <cmath>
#include <numbers>

#include "host/document/document.h"
#include "host/document/matrix.h"
#include "host/suites/all_suites.h"
#include "host/suites/guarded.h"
#include "host/suites/host_context.h"
#include "host/suites/instrument.h"
#include "qx_names.h"

namespace qx::host {
namespace {

#define QX_DOC_OR_FAIL(doc)               \
  Document* doc = hostContext().document; \
  if (doc == nullptr) return QX_ERR_NO_DOCUMENT

// ---- "AI Shape Construction Suite" ----
const OpId kNewRect = registerOp(QX_SHAPE_CONSTRUCTION_SUITE, "NewRect");
const OpId kNewOval = registerOp(QX_SHAPE_CONSTRUCTION_SUITE, "NewOval");
const OpId kNewRegularPolygon = registerOp(QX_SHAPE_CONSTRUCTION_SUITE, "NewRegularPolygon");
const OpId kNewStar = registerOp(QX_SHAPE_CONSTRUCTION_SUITE, "NewStar");

QxErr NewRect(QxReal centerX, QxReal centerY, QxReal height, QxReal width, QxBool reversed,
              QxArtHandle* newArt) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kNewRect);
    if (newArt == nullptr) return QX_ERR_BAD_PARAM;
    *newArt = nullptr;
    QX_DOC_OR_FAIL(doc);
    return doc->art().newRect(centerX, centerY, height, width, reversed != 0, newArt);
  });
}

QxErr NewOval(QxReal centerX, QxReal centerY, QxReal height, QxReal width, QxBool reversed,
              QxArtHandle* newArt) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kNewOval);
    if (newArt == nullptr) return QX_ERR_BAD_PARAM;
    *newArt = nullptr;
    QX_DOC_OR_FAIL(doc);
    return doc->art().newOval(centerX, centerY, height, width, reversed != 0, newArt);
  });
}

QxErr NewRegularPolygon(int32_t numSides, QxReal centerX, QxReal centerY, QxReal radius, QxBool reversed,
                        QxArtHandle* newArt) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kNewRegularPolygon);
    if (newArt == nullptr) return QX_ERR_BAD_PARAM;
    *newArt = nullptr;
    QX_DOC_OR_FAIL(doc);
    return doc->art().newRegularPolygon(numSides, centerX, centerY, radius, reversed != 0, newArt);
  });
}

QxErr NewStar(int32_t numPoints, QxReal centerX, QxReal centerY, QxReal radius1, QxReal radius2, QxBool reversed,
              QxArtHandle* newArt) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kNewStar);
    if (newArt == nullptr) return QX_ERR_BAD_PARAM;
    *newArt = nullptr;
    QX_DOC_OR_FAIL(doc);
    return doc->art().newStar(numPoints, centerX, centerY, radius1, radius2, reversed != 0, newArt);
  });
}

const QxShapeConstructionSuite kShapeSuite = {NewRect, NewOval, NewRegularPolygon, NewStar};

// ---- "AI Transform Art Suite" ----
const OpId kTransformArt = registerOp(QX_TRANSFORM_ART_SUITE, "TransformArt");

QxErr TransformArt(QxArtHandle art, const QxRealMatrix* matrix, QxReal lineScale, int32_t flags) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kTransformArt);
    if (matrix == nullptr) return QX_ERR_BAD_PARAM;
    QX_DOC_OR_FAIL(doc);
    return doc->art().transform(art, *matrix, lineScale, flags);
  });
}

const QxTransformArtSuite kTransformSuite = {TransformArt};

// ---- "AI Real Math Suite" ----
// Pure arithmetic: no document needed. Non-finite inputs are accepted and
// give non-finite answers, as the arithmetic does.
const OpId kDegreeToRadian = registerOp(QX_REAL_MATH_SUITE, "DegreeToRadian");
const OpId kRadianToDegree = registerOp(QX_REAL_MATH_SUITE, "RadianToDegree");
const OpId kInterpolate = registerOp(QX_REAL_MATH_SUITE, "Interpolate");
const OpId kPointAngle = registerOp(QX_REAL_MATH_SUITE, "PointAngle");
const OpId kMatrixSetIdentity = registerOp(QX_REAL_MATH_SUITE, "MatrixSetIdentity");
const OpId kMatrixSetTranslate = registerOp(QX_REAL_MATH_SUITE, "MatrixSetTranslate");
const OpId kMatrixSetScale = registerOp(QX_REAL_MATH_SUITE, "MatrixSetScale");
const OpId kMatrixSetRotate = registerOp(QX_REAL_MATH_SUITE, "MatrixSetRotate");
const OpId kMatrixConcatTranslate = registerOp(QX_REAL_MATH_SUITE, "MatrixConcatTranslate");
const OpId kMatrixConcatScale = registerOp(QX_REAL_MATH_SUITE, "MatrixConcatScale");
const OpId kMatrixConcatRotate = registerOp(QX_REAL_MATH_SUITE, "MatrixConcatRotate");
const OpId kMatrixConcat = registerOp(QX_REAL_MATH_SUITE, "MatrixConcat");

QxErr DegreeToRadian(QxReal degrees, QxReal* radians) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kDegreeToRadian);
    if (radians == nullptr) return QX_ERR_BAD_PARAM;
    *radians = static_cast<QxReal>(static_cast<double>(degrees) * std::numbers::pi / 180.0);
    return QX_ERR_NONE;
  });
}

QxErr RadianToDegree(QxReal radians, QxReal* degrees) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kRadianToDegree);
    if (degrees == nullptr) return QX_ERR_BAD_PARAM;
    *degrees = static_cast<QxReal>(static_cast<double>(radians) * 180.0 / std::numbers::pi);
    return QX_ERR_NONE;
  });
}

QxErr Interpolate(QxReal a, QxReal b, QxReal t, QxReal* result) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kInterpolate);
    if (result == nullptr) return QX_ERR_BAD_PARAM;
    *result = a + (b - a) * t;
    return QX_ERR_NONE;
  });
}

QxErr PointAngle(const QxRealPoint* p1, const QxRealPoint* p2, QxReal* radians) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kPointAngle);
    if (p1 == nullptr || p2 == nullptr || radians == nullptr) return QX_ERR_BAD_PARAM;
    *radians = std::atan2(p2->y - p1->y, p2->x - p1->x);
    return QX_ERR_NONE;
  });
}

QxErr MatrixSetIdentity(QxRealMatrix* m) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kMatrixSetIdentity);
    if (m == nullptr) return QX_ERR_BAD_PARAM;
    *m = identityMatrix();
    return QX_ERR_NONE;
  });
}

QxErr MatrixSetTranslate(QxRealMatrix* m, QxReal tx, QxReal ty) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kMatrixSetTranslate);
    if (m == nullptr) return QX_ERR_BAD_PARAM;
    *m = translateMatrix(tx, ty);
    return QX_ERR_NONE;
  });
}

QxErr MatrixSetScale(QxRealMatrix* m, QxReal sx, QxReal sy) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kMatrixSetScale);
    if (m == nullptr) return QX_ERR_BAD_PARAM;
    *m = scaleMatrix(sx, sy);
    return QX_ERR_NONE;
  });
}

QxErr MatrixSetRotate(QxRealMatrix* m, QxReal radians) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kMatrixSetRotate);
    if (m == nullptr) return QX_ERR_BAD_PARAM;
    *m = rotateMatrix(radians);
    return QX_ERR_NONE;
  });
}

QxErr MatrixConcatTranslate(QxRealMatrix* m, QxReal tx, QxReal ty) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kMatrixConcatTranslate);
    if (m == nullptr) return QX_ERR_BAD_PARAM;
    *m = concatMatrix(*m, translateMatrix(tx, ty));
    return QX_ERR_NONE;
  });
}

QxErr MatrixConcatScale(QxRealMatrix* m, QxReal sx, QxReal sy) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kMatrixConcatScale);
    if (m == nullptr) return QX_ERR_BAD_PARAM;
    *m = concatMatrix(*m, scaleMatrix(sx, sy));
    return QX_ERR_NONE;
  });
}

QxErr MatrixConcatRotate(QxRealMatrix* m, QxReal radians) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kMatrixConcatRotate);
    if (m == nullptr) return QX_ERR_BAD_PARAM;
    *m = concatMatrix(*m, rotateMatrix(radians));
    return QX_ERR_NONE;
  });
}

QxErr MatrixConcat(QxRealMatrix* m, const QxRealMatrix* next) noexcept {
  return guarded([&]() -> QxErr {
    QX_OP_ENTER(kMatrixConcat);
    if (m == nullptr || next == nullptr) return QX_ERR_BAD_PARAM;
    *m = concatMatrix(*m, *next);
    return QX_ERR_NONE;
  });
}

const QxRealMathSuite kRealMathSuite = {DegreeToRadian,        RadianToDegree,     Interpolate,        PointAngle,
                                        MatrixSetIdentity,     MatrixSetTranslate, MatrixSetScale,     MatrixSetRotate,
                                        MatrixConcatTranslate, MatrixConcatScale,  MatrixConcatRotate, MatrixConcat};

}  // namespace

void registerGeometrySuites(SuiteRegistry& registry) {
  registry.add(QX_SHAPE_CONSTRUCTION_SUITE, QX_SHAPE_CONSTRUCTION_SUITE_VERSION, &kShapeSuite);
  registry.add(QX_TRANSFORM_ART_SUITE, QX_TRANSFORM_ART_SUITE_VERSION, &kTransformSuite);
  registry.add(QX_REAL_MATH_SUITE, QX_REAL_MATH_SUITE_VERSION, &kRealMathSuite);
}

}  // namespace qx::host
