// The small buttons beside the spin edits: dragging one sets its spin edit
// from where the mouse is on the page.
#include "dialog/dialog_controls.h"
#include "dialog/dialog_layout.h"
#include "dialog/dialog_reactions.h"
#include "shell/suites.h"

namespace {

enum class AdjusterRule : uint8_t {
  AcrossPage,     // lerp(from, to, x / W)
  UpPage,         // lerp(from, to, y / H)
  AngleToOrigin,  // the angle from the mouse to the page's origin
  AngleToCentre,  // the angle from the mouse to the page's centre
};

struct AdjusterRow {
  int32_t button;
  int32_t spinEdit;  // the control it sets; its row names the field and whether it is whole
  AdjusterRule rule;
  float from, to;  // the values at ratio 0 and ratio 1
};

constexpr AdjusterRow kAdjusters[] = {
    {160, 4, AdjusterRule::AcrossPage, 300, 1},    // pointsMin
    {161, 5, AdjusterRule::AcrossPage, 300, 1},    // pointsMax
    {162, 10, AdjusterRule::AcrossPage, 400, 1},   // stepX
    {163, 11, AdjusterRule::UpPage, 400, 1},       // stepY
    {164, 8, AdjusterRule::AcrossPage, 50, 1},     // lineWidthMin
    {165, 9, AdjusterRule::AcrossPage, 50, 1},     // lineWidthMax
    {166, 7, AdjusterRule::AngleToOrigin, 0, 0},   // setAngle
    {167, 12, AdjusterRule::AcrossPage, 101, 99},  // distanceFactorX
    {168, 13, AdjusterRule::UpPage, 101, 99},      // distanceFactorY
    {169, 21, AdjusterRule::AcrossPage, 150, 0},   // shapeSizeMin
    {170, 22, AdjusterRule::AcrossPage, 150, 0},   // shapeSizeMax
    {171, 34, AdjusterRule::AcrossPage, 50, 1},    // shapeStrokeMin
    {172, 35, AdjusterRule::AcrossPage, 50, 1},    // shapeStrokeMax
    {173, 40, AdjusterRule::AcrossPage, 101, 99},  // radiusFactor
    {174, 49, AdjusterRule::AngleToCentre, 0, 0},  // shapeAngle
};

const AdjusterRow* FindAdjuster(int32_t button) {
  for (const AdjusterRow& row : kAdjusters) {
    if (row.button == button) return &row;
  }
  return nullptr;
}

// A page side of 0 gives the ratio 0, the first end of the range. Ratios are
// not clamped: a mouse off the page goes past the ends.
float Ratio(float value, float side) { return side == 0.0f ? 0.0f : value / side; }

float Lerp(float from, float to, float t) {
  QxReal value = from;
  gRealMathSuite->Interpolate(from, to, t, &value);
  return value;
}

float AngleInDegrees(const QxRealPoint& from, const QxRealPoint& to) {
  QxReal radians = 0;
  QxReal degrees = 0;
  gRealMathSuite->PointAngle(&from, &to, &radians);
  gRealMathSuite->RadianToDegree(radians, &degrees);
  return degrees;
}

float AdjustedValue(const AdjusterRow& row, const QxRealPoint& mouse, float width, float height) {
  switch (row.rule) {
    case AdjusterRule::AcrossPage: return Lerp(row.from, row.to, Ratio(mouse.x, width));
    case AdjusterRule::UpPage: return Lerp(row.from, row.to, Ratio(mouse.y, height));
    case AdjusterRule::AngleToOrigin: return AngleInDegrees(mouse, QxRealPoint{0, 0});
    case AdjusterRule::AngleToCentre: return AngleInDegrees(mouse, QxRealPoint{width / 2, height / 2});
  }
  return 0;
}

QxRealPoint MouseOnArtwork(QxTrackerRef tracker) {
  QxPoint viewPoint{0, 0};
  QxRealPoint artworkPoint{0, 0};
  QxDocumentViewRef view = nullptr;
  gAdmTrackerSuite->GetPoint(tracker, &viewPoint);
  gDocumentViewSuite->GetNthDocumentView(0, &view);
  gDocumentViewSuite->ViewPointToArtworkPoint(view, &viewPoint, &artworkPoint);
  return artworkPoint;
}

}  // namespace

QxBool TrackAdjuster(QxItemRef item, QxTrackerRef tracker) {
  QxDialogRef dialog = ItemDialog(item);
  FilterParameters* params = DialogRecord(dialog);
  if (!params) return 1;
  QxDocumentSetup setup{};
  gDocumentSuite->GetDocumentSetup(&setup);

  // Only a drag with the button held changes anything; a bare move leaves
  // even the host's own tracking alone.
  int32_t modifiers = 0;
  gAdmTrackerSuite->GetModifiers(tracker, &modifiers);
  if ((modifiers & QX_MODIFIER_BUTTON_DOWN) == 0) return 1;
  gAdmItemSuite->DefaultTrack(item, tracker, nullptr);

  const QxRealPoint mouse = MouseOnArtwork(tracker);
  int32_t id = 0;
  gAdmItemSuite->GetID(item, &id);
  const AdjusterRow* adjuster = FindAdjuster(id);
  const ControlRow* spin = adjuster ? FindControlRow(adjuster->spinEdit) : nullptr;
  if (!spin) return 1;

  const float value = AdjustedValue(*adjuster, mouse, setup.width, setup.height);
  QxItemRef spinItem = DialogItem(dialog, spin->id);
  if (spin->value == ValueKind::Int) {
    IntField(*params, *spin) = TruncToInt(value);
    if (spinItem) gAdmItemSuite->SetIntValue(spinItem, IntField(*params, *spin));
  } else {
    RealField(*params, *spin) = value;
    if (spinItem) gAdmItemSuite->SetFloatValue(spinItem, value);
  }
  HandOverToChangeReaction(dialog, *params);
  return 1;
}
