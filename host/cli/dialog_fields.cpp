#include "host/cli/dialog_fields.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace qx::cli {
namespace {

constexpr const char* kStrokeModes[] = {
    " Use current stroke color", " To white", " To black", " Random colors", " Random swatches",
    " To white / midpoint", " To swatch", " To half color", " To inverted", " Alternate white",
    " Alternate black", " Alternate swatch", " Alternate inverted", " To half color inverted",
    " 10% reduction", " No stroke color"};

constexpr const char* kFillModes[] = {
    " Use current fill color", " To white", " To black", " Random colors", " Random swatches",
    " To white / midpoint", " To swatch", " To half color", " To inverted", " Alternate white",
    " Alternate black", " Alternate swatch", " Alternate inverted", " To half color inverted",
    " 10% reduction", " No fill color"};

constexpr const char* kDirectionModes[] = {
    " Equal distance, random direction",
    " Random distance, random direction",
    " Random distance / set, random direction",
    " Equal distance, angled, random direction",
    " Random distance, angled, random direction",
    " Equal distance, alternate distance, random direction",
    " Equal distance, alternate, angled, random direction",
    " Equal distance, alternate1, angled, random direction"};

constexpr const char* kTileModes[] = {" No pattern / tile", " Center of document",
                                      " Start of document (0,0)", " Start of points / line"};

constexpr const char* kShapeKinds[] = {
    " Circles", " Squares", " Rectangles 1", " Rectangles 2", " Ovals 1", " Ovals 2",
    " Polygons 1", " Polygons 2", " Polygons 3", " Polygons 4", " Polygons 5", " Stars 1",
    " Stars 2", " Stars 3", " Stars 4", " Stars 5", " Stars 6", " Random polygon",
    " Random star", " Random ovals 1", " Random ovals 2", " Random rectangles 1",
    " Random rectangles 2", " Alternate circle-square", " Alternate circle", " Alternate square",
    " Random circle-square-polygon-star", " Selected"};

constexpr const char* kPresets[] = {" Reset",
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
                                    " No lattice"};

constexpr std::span<const char* const> kNoEntries{};

using K = ControlKind;

DialogField check(const char* name, int32_t id, int page, const char* label) {
  return {name, id, K::CheckBox, page, label, 0, 1, false, kNoEntries, 0};
}
DialogField ispin(const char* name, int32_t id, int page, const char* label, double lo, double hi,
                  int32_t adjuster = 0) {
  return {name, id, K::IntSpin, page, label, lo, hi, false, kNoEntries, adjuster};
}
DialogField swatch(const char* name, int32_t id, int page, const char* label) {
  return {name, id, K::IntSpin, page, label, 0, 0, true, kNoEntries, 0};
}
DialogField rspin(const char* name, int32_t id, int page, const char* label, double lo, double hi,
                  int32_t adjuster = 0) {
  return {name, id, K::RealSpin, page, label, lo, hi, false, kNoEntries, adjuster};
}
DialogField popup(const char* name, int32_t id, int page, const char* label,
                  std::span<const char* const> entries) {
  return {name, id, K::Popup, page, label, 0, double(entries.size() - 1), false, entries, 0};
}

const std::vector<DialogField>& table() {
  static const std::vector<DialogField> fields = {
      // Page 1, Lines.
      check("lockPoints", 44, 1, "[L] Points"),
      ispin("pointsMin", 4, 1, "[L] Points (first)", 1, 3000, 160),
      ispin("pointsMax", 5, 1, "[L] Points (second)", 1, 3000, 161),
      check("lockStep", 25, 1, "[L] Step distance (xy)"),
      rspin("stepX", 10, 1, "[L] Step distance (xy) (first)", 0, 1000, 162),
      rspin("stepY", 11, 1, "[L] Step distance (xy) (second)", 0, 1000, 163),
      check("lockLineWidth", 45, 1, "[L] Width (min/max)"),
      rspin("lineWidthMin", 8, 1, "[L] Width (min/max) (first)", 0, 100, 164),
      rspin("lineWidthMax", 9, 1, "[L] Width (min/max) (second)", 0, 100, 165),
      ispin("lineSets", 6, 1, "Line sets", 1, 200),
      rspin("minDistance", 15, 1, "Minimum distance", 0, 1000),
      check("randomSetAngle", 23, 1, "[R] Angle"),
      rspin("setAngle", 7, 1, "[R] Angle (value)", 0, 360, 166),
      rspin("distanceFactorX", 12, 1, "Distance factor (xy%) (first)", 0, 300, 167),
      rspin("distanceFactorY", 13, 1, "Distance factor (xy%) (second)", 0, 300, 168),
      rspin("curvatureX", 16, 1, "Curvature (first)", -350, 350),
      rspin("curvatureY", 17, 1, "Curvature (second)", -350, 350),
      popup("directionMode", 36, 1, "Direction mode", kDirectionModes),
      // Page 2, Style.
      popup("lineStrokeMode", 18, 2, "Line stroke colour", kStrokeModes),
      swatch("lineStrokeSwatch", 19, 2, "Line stroke colour (swatch)"),
      ispin("lineStrokeSteps", 20, 2, "Line stroke colour (steps)", 0, 1000),
      popup("tileMode", 47, 2, "Pattern / tile", kTileModes),
      // Page 3, Shapes.
      check("lockShapeSize", 46, 3, "[L] Shape (minmax)"),
      rspin("shapeSizeMin", 21, 3, "[L] Shape (minmax) (first)", 0, 1000, 169),
      rspin("shapeSizeMax", 22, 3, "[L] Shape (minmax) (second)", 0, 1000, 170),
      popup("shapeFillMode", 31, 3, "Shape fill colour", kFillModes),
      swatch("shapeFillSwatch", 32, 3, "Shape fill colour (swatch)"),
      ispin("shapeFillSteps", 33, 3, "Shape fill colour (steps)", 0, 1000),
      popup("shapeStrokeMode", 28, 3, "Shape stroke colour", kStrokeModes),
      swatch("shapeStrokeSwatch", 29, 3, "Shape stroke colour (swatch)"),
      ispin("shapeStrokeSteps", 30, 3, "Shape stroke colour (steps)", 0, 1000),
      check("lockShapeStroke", 48, 3, "[L] Stroke (minmax)"),
      rspin("shapeStrokeMin", 34, 3, "[L] Stroke (minmax) (first)", 0, 100, 171),
      rspin("shapeStrokeMax", 35, 3, "[L] Stroke (minmax) (second)", 0, 100, 172),
      rspin("jitterX", 37, 3, "Shape position jitter (xy) (first)", -100, 100),
      rspin("jitterY", 38, 3, "Shape position jitter (xy) (second)", -100, 100),
      rspin("radiusFactor", 40, 3, "Radius factor (%)", -1000, 1000, 173),
      check("randomShapeAngle", 50, 3, "[R] Angle (o)"),
      rspin("shapeAngle", 49, 3, "[R] Angle (o) (value)", 0, 360, 174),
      rspin("shapeScale", 51, 3, "Scale (%)", 1, 700),
      check("randomCreateShapes", 43, 3, "Create (shapes) [R]"),
      popup("shapeKind", 39, 3, "Shape kind", kShapeKinds),
      // Page 4, Settings.
      check("splitLines", 26, 4, "Split lines (no shapes)"),
      check("randomOpacity", 24, 4, "Opacity [R]"),
      check("randomStart", 27, 4, "Start [R]"),
      check("linesFillVisible", 41, 4, "Lines fill visible"),
      check("deleteLine", 42, 4, "Delete (continuous) line"),
      // On no page.
      check("preview", kPreviewCheckBoxId, 0, "Preview"),
      popup("presetIndex", kPresetPopupId, 0, "Preset", kPresets),
      rspin("viewZoom", 14, 0, "Zoom (%)", 1, 500),
      {"dialogPage", kFirstPageButtonId, K::PageButtons, 0, "Page", 1, 4, false, kNoEntries, 0},
  };
  return fields;
}

std::string trimmedLower(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  std::string out(s.substr(b, e - b));
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::span<const DialogField> dialogFields() { return table(); }

const DialogField* findDialogField(std::string_view name) {
  for (const DialogField& f : table())
    if (name == f.name) return &f;
  return nullptr;
}

std::string dialogFieldNames() {
  std::string out;
  for (const DialogField& f : table()) {
    if (!out.empty()) out += ", ";
    out += f.name;
  }
  return out;
}

std::string adjusterFieldNames() {
  std::string out;
  for (const DialogField& f : table()) {
    if (f.adjusterId == 0) continue;
    if (!out.empty()) out += ", ";
    out += f.name;
  }
  return out;
}

std::span<const char* const> presetEntries() { return kPresets; }

const char* pageName(int page) {
  static const char* const names[] = {"Lines", "Style", "Shapes", "Settings"};
  return page >= 1 && page <= 4 ? names[page - 1] : "";
}

std::optional<int> findEntry(std::span<const char* const> entries, std::string_view text) {
  const std::string wanted = trimmedLower(text);
  for (size_t i = 0; i < entries.size(); ++i)
    if (trimmedLower(entries[i]) == wanted) return static_cast<int>(i);
  return std::nullopt;
}

std::string listEntries(std::span<const char* const> entries) {
  std::string out;
  for (const char* e : entries) {
    if (!out.empty()) out += ", ";
    out += '"';
    out += std::string_view(e).substr(e[0] == ' ' ? 1 : 0);
    out += '"';
  }
  return out;
}

}  // namespace qx::cli
