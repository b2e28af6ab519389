// The settings record: its 59 words in the documented order, and the
// defaults the plug-in writes when it creates the block on first use.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "plugin/filter/parameters.h"
#include "support/generator_host.h"

namespace qx::test {
namespace {

enum class Kind { Flag, Int, Real, Unset };

struct Field {
  const char* name;
  size_t offset;
  Kind kind;
  double defaultValue;
};

#define QX_FIELD(name, kind, value) \
  { #name, offsetof(FilterParameters, name), Kind::kind, value }

// Every word of the record in order, with the default a new block holds.
const Field kFields[] = {
    QX_FIELD(randomShapeAngle, Flag, 0),
    QX_FIELD(lockShapeStroke, Flag, 0),
    QX_FIELD(lockShapeSize, Flag, 0),
    QX_FIELD(lockLineWidth, Flag, 0),
    QX_FIELD(lockPoints, Flag, 0),
    QX_FIELD(randomCreateShapes, Flag, 0),
    QX_FIELD(linesFillVisible, Flag, 0),
    QX_FIELD(jitterX, Int, 0),
    QX_FIELD(jitterY, Int, 0),
    QX_FIELD(randomStart, Flag, 0),
    QX_FIELD(splitLines, Flag, 0),
    QX_FIELD(lockStep, Flag, 0),
    QX_FIELD(randomOpacity, Flag, 0),
    QX_FIELD(reservedWord, Unset, 0),
    QX_FIELD(randomSetAngle, Flag, 0),
    QX_FIELD(deleteLine, Flag, 0),
    QX_FIELD(preview, Flag, 1),
    QX_FIELD(viewZoom, Real, 100),
    QX_FIELD(shapeStrokeMin, Real, 12),
    QX_FIELD(shapeStrokeMax, Real, 12),
    QX_FIELD(lineWidthMin, Real, 12),
    QX_FIELD(lineWidthMax, Real, 12),
    QX_FIELD(stepX, Real, 70),
    QX_FIELD(stepY, Real, 70),
    QX_FIELD(minDistance, Real, 10),
    QX_FIELD(distanceFactorX, Real, 100),
    QX_FIELD(distanceFactorY, Real, 100),
    QX_FIELD(setAngle, Real, 0),
    QX_FIELD(shapeScale, Real, 100),
    QX_FIELD(shapeAngle, Real, 0),
    QX_FIELD(shapeSizeMin, Real, 0),
    QX_FIELD(shapeSizeMax, Real, 0),
    QX_FIELD(curvatureX, Real, 0),
    QX_FIELD(curvatureY, Real, 0),
    QX_FIELD(radiusFactor, Real, 100),
    QX_FIELD(shapeKind, Int, 0),
    QX_FIELD(lineStrokeMode, Int, 0),
    QX_FIELD(lineStrokeSwatch, Int, 2),
    QX_FIELD(lineStrokeSteps, Int, 0),
    QX_FIELD(lineSets, Int, 1),
    QX_FIELD(dialogPage, Int, 1),
    QX_FIELD(directionMode, Int, 0),
    QX_FIELD(pointsMin, Int, 100),
    QX_FIELD(pointsMax, Int, 100),
    QX_FIELD(presetIndex, Int, 0),
    QX_FIELD(tileMode, Int, 0),
    QX_FIELD(shapeStrokeMode, Int, 0),
    QX_FIELD(shapeStrokeSwatch, Int, 2),
    QX_FIELD(shapeStrokeSteps, Int, 0),
    QX_FIELD(shapeFillMode, Int, 0),
    QX_FIELD(shapeFillSwatch, Int, 2),
    QX_FIELD(shapeFillSteps, Int, 0),
    QX_FIELD(finalRun, Unset, 0),
    QX_FIELD(previewDrawn, Int, 0),
    QX_FIELD(dialogBounds[0], Unset, 0),
    QX_FIELD(dialogBounds[1], Unset, 0),
    QX_FIELD(dialogBounds[2], Unset, 0),
    QX_FIELD(dialogBounds[3], Unset, 0),
    QX_FIELD(dialogBoundsValid, Int, 0),
};

#undef QX_FIELD

TEST(ParameterRecord, FiftyNineWordsInOrder) {
  ASSERT_EQ(std::size(kFields), 59u);
  EXPECT_EQ(sizeof(FilterParameters), 236u);
  for (size_t i = 0; i < std::size(kFields); ++i) EXPECT_EQ(kFields[i].offset, 4 * i) << kFields[i].name;
  static_assert(std::is_same_v<decltype(FilterParameters::viewZoom), float>, "reals are 32-bit floats");
}

// The plug-in creates the block on the first Get Parameters; Cancel puts back
// the copy taken before the dialog opened, which is the fresh record.
class ParameterDefaults : public GeneratorHost {};

TEST_F(ParameterDefaults, AFreshBlockHoldsEveryDefault) {
  ASSERT_EQ(filter()->parameters, nullptr);
  runner_.answer = host::kItemCancel;
  ASSERT_EQ(getParameters(), QX_ERR_STOP);
  ASSERT_NE(filter()->parameters, nullptr);

  const FilterParameters record = block();
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&record);
  for (const Field& field : kFields) {
    int32_t word = 0;
    float real = 0;
    std::memcpy(&word, bytes + field.offset, 4);
    std::memcpy(&real, bytes + field.offset, 4);
    switch (field.kind) {
      case Kind::Flag:
      case Kind::Int: EXPECT_EQ(word, field.defaultValue) << field.name; break;
      case Kind::Real: EXPECT_EQ(real, field.defaultValue) << field.name; break;
      case Kind::Unset: break;  // whatever the host's memory held
    }
  }
}

}  // namespace
}  // namespace qx::test
