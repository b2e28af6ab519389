#include "dialog/dialog_layout.h"

namespace {

#define FIELD(name) offsetof(FilterParameters, name)

constexpr QxRect Box(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return QxRect{left, top, right, bottom};
}

// Pages 1 and 3 share one column grid of rows 20 pixels high.
constexpr QxRect LabelCell(int32_t top) { return Box(10, top, 179, top + 20); }
constexpr QxRect FirstCell(int32_t top) { return Box(180, top, 240, top + 20); }
constexpr QxRect FirstAdjusterCell(int32_t top) { return Box(250, top, 270, top + 20); }
constexpr QxRect SecondCell(int32_t top) { return Box(280, top, 340, top + 20); }
constexpr QxRect SecondAdjusterCell(int32_t top) { return Box(350, top, 370, top + 20); }
constexpr QxRect PopupCell(int32_t top) { return Box(10, top, 170, top + 20); }
// Check boxes that run across the page, 14 pixels high.
constexpr QxRect WideCell(int32_t top) { return Box(10, top, 300, top + 14); }

constexpr ControlRow Check(int32_t id, QxRect bounds, const char* label, int32_t page, size_t field) {
  return {id, ControlKind::CheckBox,    bounds,         label, page, ValueKind::Flag, field, 0, 0,
          0,  Reaction::SettingChanged, PopupList::None};
}
constexpr ControlRow IntSpin(int32_t id, QxRect bounds, int32_t page, size_t field, float min, float max) {
  return {id, ControlKind::SpinEdit,    bounds,         nullptr, page, ValueKind::Int, field, min, max,
          0,  Reaction::SettingChanged, PopupList::None};
}
constexpr ControlRow RealSpin(int32_t id, QxRect bounds, int32_t page, size_t field, float min, float max,
                              Reaction reaction = Reaction::SettingChanged) {
  return {id,       ControlKind::SpinEdit, bounds, nullptr, page, ValueKind::Real, field, min, max, 2,
          reaction, PopupList::None};
}
constexpr ControlRow JitterSpin(int32_t id, QxRect bounds, int32_t page, size_t field) {
  return {id, ControlKind::SpinEdit,    bounds,         nullptr, page, ValueKind::Jitter, field, -100, 100,
          2,  Reaction::SettingChanged, PopupList::None};
}
constexpr ControlRow Adjuster(int32_t id, QxRect bounds, int32_t page) {
  return {id, ControlKind::PictureButton, bounds,         nullptr, page, ValueKind::None, 0, 0, 0,
          0,  Reaction::Adjuster,         PopupList::None};
}
constexpr ControlRow Label(int32_t id, QxRect bounds, const char* label, int32_t page) {
  return {id, ControlKind::StaticText, bounds,         label, page, ValueKind::None, 0, 0, 0,
          0,  Reaction::None,          PopupList::None};
}
constexpr ControlRow Popup(int32_t id, QxRect bounds, int32_t page, size_t field, PopupList list, Reaction reaction) {
  return {id, ControlKind::Popup, bounds, nullptr, page, ValueKind::Entry, field, 0, 0, 0, reaction, list};
}
constexpr ControlRow Button(int32_t id, QxRect bounds, const char* label, Reaction reaction) {
  return {id, ControlKind::PushButton, bounds, label, 0, ValueKind::None, 0, 0, 0, 0, reaction, PopupList::None};
}
constexpr ControlRow PageButtonRow(int32_t id, QxRect bounds) {
  return {id, ControlKind::PictureButton, bounds,         nullptr, 0, ValueKind::None, 0, 0, 0,
          0,  Reaction::PageButton,       PopupList::None};
}

constexpr Reaction kChanged = Reaction::SettingChanged;
constexpr Reaction kChangedAfterFill = Reaction::SettingChangedAfterFill;

}  // namespace

const ControlRow kControlRows[] = {
    // Page 1, "Lines".
    Check(44, LabelCell(70), "[L] Points", 1, FIELD(lockPoints)),
    IntSpin(4, FirstCell(70), 1, FIELD(pointsMin), 1, 3000),
    Adjuster(160, FirstAdjusterCell(70), 1),
    IntSpin(5, SecondCell(70), 1, FIELD(pointsMax), 1, 3000),
    Adjuster(161, SecondAdjusterCell(70), 1),
    Check(25, LabelCell(92), "[L] Step distance (xy)", 1, FIELD(lockStep)),
    RealSpin(10, FirstCell(92), 1, FIELD(stepX), 0, 1000),
    Adjuster(162, FirstAdjusterCell(92), 1),
    RealSpin(11, SecondCell(92), 1, FIELD(stepY), 0, 1000),
    Adjuster(163, SecondAdjusterCell(92), 1),
    Check(45, LabelCell(114), "[L] Width (min/max)", 1, FIELD(lockLineWidth)),
    RealSpin(8, FirstCell(114), 1, FIELD(lineWidthMin), 0, 100),
    Adjuster(164, FirstAdjusterCell(114), 1),
    RealSpin(9, SecondCell(114), 1, FIELD(lineWidthMax), 0, 100),
    Adjuster(165, SecondAdjusterCell(114), 1),
    Label(104, LabelCell(136), "Line sets", 1),
    IntSpin(6, FirstCell(136), 1, FIELD(lineSets), 1, 200),
    Label(105, LabelCell(158), "Minimum distance", 1),
    RealSpin(15, FirstCell(158), 1, FIELD(minDistance), 0, 1000),
    Check(23, LabelCell(180), "[R] Angle", 1, FIELD(randomSetAngle)),
    RealSpin(7, FirstCell(180), 1, FIELD(setAngle), 0, 360),
    Adjuster(166, FirstAdjusterCell(180), 1),
    Label(107, LabelCell(202), "Distance factor (xy%)", 1),
    RealSpin(12, FirstCell(202), 1, FIELD(distanceFactorX), 0, 300),
    Adjuster(167, FirstAdjusterCell(202), 1),
    RealSpin(13, SecondCell(202), 1, FIELD(distanceFactorY), 0, 300),
    Adjuster(168, SecondAdjusterCell(202), 1),
    Label(108, LabelCell(224), "Curvature", 1),
    RealSpin(16, FirstCell(224), 1, FIELD(curvatureX), -350, 350),
    RealSpin(17, SecondCell(224), 1, FIELD(curvatureY), -350, 350),
    Popup(36, Box(10, 280, 179, 300), 1, FIELD(directionMode), PopupList::Direction, kChangedAfterFill),
    // The zoom sits at the lower right, on every page.
    RealSpin(14, Box(450, 295, 510, 315), 0, FIELD(viewZoom), 1, 500, Reaction::Zoom),
    // Page 2, "Style".
    Popup(18, PopupCell(100), 2, FIELD(lineStrokeMode), PopupList::StrokeColor, kChanged),
    IntSpin(19, FirstCell(100), 2, FIELD(lineStrokeSwatch), 0, kSwatchCountLimit),
    IntSpin(20, SecondCell(100), 2, FIELD(lineStrokeSteps), 0, 1000),
    Popup(47, PopupCell(130), 2, FIELD(tileMode), PopupList::Pattern, kChangedAfterFill),
    // Page 3, "Shapes".
    Check(46, LabelCell(70), "[L] Shape (minmax)", 3, FIELD(lockShapeSize)),
    RealSpin(21, FirstCell(70), 3, FIELD(shapeSizeMin), 0, 1000),
    Adjuster(169, FirstAdjusterCell(70), 3),
    RealSpin(22, SecondCell(70), 3, FIELD(shapeSizeMax), 0, 1000),
    Adjuster(170, SecondAdjusterCell(70), 3),
    IntSpin(32, FirstCell(100), 3, FIELD(shapeFillSwatch), 0, kSwatchCountLimit),
    IntSpin(33, SecondCell(100), 3, FIELD(shapeFillSteps), 0, 1000),
    Popup(31, PopupCell(100), 3, FIELD(shapeFillMode), PopupList::FillColor, kChanged),
    IntSpin(29, FirstCell(130), 3, FIELD(shapeStrokeSwatch), 0, kSwatchCountLimit),
    IntSpin(30, SecondCell(130), 3, FIELD(shapeStrokeSteps), 0, 1000),
    Popup(28, PopupCell(130), 3, FIELD(shapeStrokeMode), PopupList::StrokeColor, kChanged),
    Check(48, LabelCell(160), "[L] Stroke (minmax)", 3, FIELD(lockShapeStroke)),
    RealSpin(34, FirstCell(160), 3, FIELD(shapeStrokeMin), 0, 100),
    Adjuster(171, FirstAdjusterCell(160), 3),
    RealSpin(35, SecondCell(160), 3, FIELD(shapeStrokeMax), 0, 100),
    Adjuster(172, SecondAdjusterCell(160), 3),
    Label(111, LabelCell(182), "Shape position jitter (xy)", 3),
    JitterSpin(37, FirstCell(182), 3, FIELD(jitterX)),
    JitterSpin(38, SecondCell(182), 3, FIELD(jitterY)),
    Label(112, LabelCell(204), "Radius factor (%)", 3),
    RealSpin(40, FirstCell(204), 3, FIELD(radiusFactor), -1000, 1000),
    Adjuster(173, FirstAdjusterCell(204), 3),
    Check(50, LabelCell(226), "[R] Angle (o)", 3, FIELD(randomShapeAngle)),
    RealSpin(49, FirstCell(226), 3, FIELD(shapeAngle), 0, 360),
    Adjuster(174, FirstAdjusterCell(226), 3),
    Label(114, LabelCell(248), "Scale (%)", 3),
    RealSpin(51, FirstCell(248), 3, FIELD(shapeScale), 1, 700),
    Check(43, WideCell(280), "Create (shapes) [R]", 3, FIELD(randomCreateShapes)),
    Popup(39, PopupCell(300), 3, FIELD(shapeKind), PopupList::ShapeKind, kChangedAfterFill),
    // Page 4, "Settings".
    Check(26, WideCell(70), "Split lines (no shapes)", 4, FIELD(splitLines)),
    Check(24, WideCell(87), "Opacity [R]", 4, FIELD(randomOpacity)),
    Check(27, WideCell(104), "Start [R]", 4, FIELD(randomStart)),
    Check(41, WideCell(121), "Lines fill visible", 4, FIELD(linesFillVisible)),
    Check(42, WideCell(138), "Delete (continuous) line", 4, FIELD(deleteLine)),
    // On every page: presets, the buttons, "Preview", the page buttons and
    // their captions.
    Popup(65, Box(440, 242, 520, 262), 0, FIELD(presetIndex), PopupList::Preset, Reaction::Preset),
    Button(QX_DIALOG_ITEM_CANCEL, Box(440, 40, 520, 60), "Cancel", Reaction::None),
    Button(60, Box(440, 70, 520, 90), "Shuffle", kChanged),
    Button(61, Box(440, 100, 520, 120), "Tumble", Reaction::Tumble),
    Check(3, Box(440, 130, 520, 144), "Preview", 0, FIELD(preview)),
    PageButtonRow(90, Box(10, 5, 60, 35)),
    PageButtonRow(91, Box(80, 5, 130, 35)),
    PageButtonRow(92, Box(150, 5, 200, 35)),
    PageButtonRow(93, Box(220, 5, 270, 35)),
    Label(95, Box(16, 40, 79, 55), "Lines", 0),
    Label(96, Box(83, 40, 149, 55), "Style", 0),
    Label(97, Box(153, 40, 220, 55), "Shapes", 0),
    Label(98, Box(223, 40, 279, 55), "Settings", 0),
};

const size_t kControlRowCount = sizeof(kControlRows) / sizeof(kControlRows[0]);

const ControlRow* FindControlRow(int32_t id) {
  for (size_t i = 0; i < kControlRowCount; ++i) {
    if (kControlRows[i].id == id) return &kControlRows[i];
  }
  return nullptr;
}

const int32_t kPopupFillOrder[] = {65, 47, 36, 39, 18, 28, 31};
const size_t kPopupFillOrderCount = sizeof(kPopupFillOrder) / sizeof(kPopupFillOrder[0]);

namespace {

const char* const kStrokeColorEntries[] = {
    " Use current stroke color",
    " To white",
    " To black",
    " Random colors",
    " Random swatches",
    " To white / midpoint",
    " To swatch",
    " To half color",
    " To inverted",
    " Alternate white",
    " Alternate black",
    " Alternate swatch",
    " Alternate inverted",
    " To half color inverted",
    " 10% reduction",
    " No stroke color",
};

const char* const kFillColorEntries[] = {
    " Use current fill color",
    " To white",
    " To black",
    " Random colors",
    " Random swatches",
    " To white / midpoint",
    " To swatch",
    " To half color",
    " To inverted",
    " Alternate white",
    " Alternate black",
    " Alternate swatch",
    " Alternate inverted",
    " To half color inverted",
    " 10% reduction",
    " No fill color",
};

const char* const kDirectionEntries[] = {
    " Equal distance, random direction",
    " Random distance, random direction",
    " Random distance / set, random direction",
    " Equal distance, angled, random direction",
    " Random distance, angled, random direction",
    " Equal distance, alternate distance, random direction",
    " Equal distance, alternate, angled, random direction",
    " Equal distance, alternate1, angled, random direction",
};

const char* const kPatternEntries[] = {
    " No pattern / tile",
    " Center of document",
    " Start of document (0,0)",
    " Start of points / line",
};

const char* const kShapeKindEntries[] = {
    " Circles",
    " Squares",
    " Rectangles 1",
    " Rectangles 2",
    " Ovals 1",
    " Ovals 2",
    " Polygons 1",
    " Polygons 2",
    " Polygons 3",
    " Polygons 4",
    " Polygons 5",
    " Stars 1",
    " Stars 2",
    " Stars 3",
    " Stars 4",
    " Stars 5",
    " Stars 6",
    " Random polygon",
    " Random star",
    " Random ovals 1",
    " Random ovals 2",
    " Random rectangles 1",
    " Random rectangles 2",
    " Alternate circle-square",
    " Alternate circle",
    " Alternate square",
    " Random circle-square-polygon-star",
    " Selected",
};

const char* const kPresetEntries[] = {
    " Reset",
    " 30pt Circles",
    " 30-60pt Squares",
    " 30-60pt Squares, variable stroke width",
    " 200 Angled lattice",
    " 200 Angled lattice / multi-sets randomized",
    " Variable width discreet lines",
    " Variable width discreet lines / random stroke",
    " Shrinking circles",
    " Random color filled circles",
    " Random swatches filled circles / tile",
    " Random swatches filled stars / tile",
    " Random start / multi-set",
    " Random start / multi-set / random angle",
    " Filled",
    " No lattice",
};

template <size_t N>
const char* const* Entries(const char* const (&entries)[N], int32_t* count) {
  *count = static_cast<int32_t>(N);
  return entries;
}

}  // namespace

const char* const* PopupEntries(PopupList list, int32_t* count) {
  switch (list) {
    case PopupList::StrokeColor: return Entries(kStrokeColorEntries, count);
    case PopupList::FillColor: return Entries(kFillColorEntries, count);
    case PopupList::Direction: return Entries(kDirectionEntries, count);
    case PopupList::Pattern: return Entries(kPatternEntries, count);
    case PopupList::ShapeKind: return Entries(kShapeKindEntries, count);
    case PopupList::Preset: return Entries(kPresetEntries, count);
    case PopupList::None: break;
  }
  *count = 0;
  return nullptr;
}

int32_t PageRepresentative(int32_t page) {
  switch (page) {
    case 2: return 19;  // lineStrokeSwatch
    case 3: return 21;  // shapeSizeMin
    case 4: return 24;  // "Opacity [R]"
    default: return 4;  // pointsMin
  }
}

int32_t PageButton(int32_t page) { return (page >= 1 && page <= 4) ? kPageButtons[page - 1] : kPageButtons[0]; }
