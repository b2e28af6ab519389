// Walks the settings dialog the plug-in builds and checks every control
// against the layout written out here: kind, identifier, bounds, label,
// range, decimals, page and list entries, and the order of creation.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/dialog_host.h"

namespace qx::test {
namespace {

using host::Dialog;
using host::ItemState;

const char* const kCheck = "ADM Text Check Box Type";
const char* const kSpin = "ADM Spin Edit Type";
const char* const kPicture = "ADM Picture Push Button Type";
const char* const kStatic = "ADM Text Static Type";
const char* const kPopup = "ADM Popup List Type";
const char* const kPush = "ADM Text Push Button Type";

const std::vector<std::string> kStrokeModes = {" Use current stroke color",
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
                                               " No stroke color"};
const std::vector<std::string> kFillModes = {" Use current fill color",
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
                                             " No fill color"};
const std::vector<std::string> kDirections = {" Equal distance, random direction",
                                              " Random distance, random direction",
                                              " Random distance / set, random direction",
                                              " Equal distance, angled, random direction",
                                              " Random distance, angled, random direction",
                                              " Equal distance, alternate distance, random direction",
                                              " Equal distance, alternate, angled, random direction",
                                              " Equal distance, alternate1, angled, random direction"};
const std::vector<std::string> kPatterns = {" No pattern / tile", " Center of document", " Start of document (0,0)",
                                            " Start of points / line"};
const std::vector<std::string> kShapeKinds = {" Circles",
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
                                              " Selected"};
const std::vector<std::string> kPresets = {" Reset",
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

constexpr double kSwatches = -1;  // the upper limit is the document's swatch count

struct Control {
  int32_t id;
  const char* type;
  QxRect bounds;
  std::string label;
  int page;
  double min = 0, max = 0;  // spin edits
  bool integer = false;
  const std::vector<std::string>* entries = nullptr;
};

Control check(int32_t id, QxRect b, std::string label, int page) { return {id, kCheck, b, label, page}; }
Control whole(int32_t id, QxRect b, int page, double min, double max) {
  return {id, kSpin, b, "", page, min, max, true};
}
Control real(int32_t id, QxRect b, int page, double min, double max) {
  return {id, kSpin, b, "", page, min, max, false};
}
Control text(int32_t id, QxRect b, std::string label, int page) { return {id, kStatic, b, label, page}; }
Control adjuster(int32_t id, QxRect b, int page) { return {id, kPicture, b, "", page}; }
Control popup(int32_t id, QxRect b, int page, const std::vector<std::string>& entries) {
  return {id, kPopup, b, "", page, 0, 0, false, &entries};
}

// Every control in the order the dialog creates it.
std::vector<Control> expectedLayout() {
  return {
      check(44, {10, 70, 179, 90}, "[L] Points", 1),
      whole(4, {180, 70, 240, 90}, 1, 1, 3000),
      adjuster(160, {250, 70, 270, 90}, 1),
      whole(5, {280, 70, 340, 90}, 1, 1, 3000),
      adjuster(161, {350, 70, 370, 90}, 1),
      check(25, {10, 92, 179, 112}, "[L] Step distance (xy)", 1),
      real(10, {180, 92, 240, 112}, 1, 0, 1000),
      adjuster(162, {250, 92, 270, 112}, 1),
      real(11, {280, 92, 340, 112}, 1, 0, 1000),
      adjuster(163, {350, 92, 370, 112}, 1),
      check(45, {10, 114, 179, 134}, "[L] Width (min/max)", 1),
      real(8, {180, 114, 240, 134}, 1, 0, 100),
      adjuster(164, {250, 114, 270, 134}, 1),
      real(9, {280, 114, 340, 134}, 1, 0, 100),
      adjuster(165, {350, 114, 370, 134}, 1),
      text(104, {10, 136, 179, 156}, "Line sets", 1),
      whole(6, {180, 136, 240, 156}, 1, 1, 200),
      text(105, {10, 158, 179, 178}, "Minimum distance", 1),
      real(15, {180, 158, 240, 178}, 1, 0, 1000),
      check(23, {10, 180, 179, 200}, "[R] Angle", 1),
      real(7, {180, 180, 240, 200}, 1, 0, 360),
      adjuster(166, {250, 180, 270, 200}, 1),
      text(107, {10, 202, 179, 222}, "Distance factor (xy%)", 1),
      real(12, {180, 202, 240, 222}, 1, 0, 300),
      adjuster(167, {250, 202, 270, 222}, 1),
      real(13, {280, 202, 340, 222}, 1, 0, 300),
      adjuster(168, {350, 202, 370, 222}, 1),
      text(108, {10, 224, 179, 244}, "Curvature", 1),
      real(16, {180, 224, 240, 244}, 1, -350, 350),
      real(17, {280, 224, 340, 244}, 1, -350, 350),
      popup(36, {10, 280, 179, 300}, 1, kDirections),
      real(14, {450, 295, 510, 315}, 0, 1, 500),
      popup(18, {10, 100, 170, 120}, 2, kStrokeModes),
      whole(19, {180, 100, 240, 120}, 2, 0, kSwatches),
      whole(20, {280, 100, 340, 120}, 2, 0, 1000),
      popup(47, {10, 130, 170, 150}, 2, kPatterns),
      check(46, {10, 70, 179, 90}, "[L] Shape (minmax)", 3),
      real(21, {180, 70, 240, 90}, 3, 0, 1000),
      adjuster(169, {250, 70, 270, 90}, 3),
      real(22, {280, 70, 340, 90}, 3, 0, 1000),
      adjuster(170, {350, 70, 370, 90}, 3),
      whole(32, {180, 100, 240, 120}, 3, 0, kSwatches),
      whole(33, {280, 100, 340, 120}, 3, 0, 1000),
      popup(31, {10, 100, 170, 120}, 3, kFillModes),
      whole(29, {180, 130, 240, 150}, 3, 0, kSwatches),
      whole(30, {280, 130, 340, 150}, 3, 0, 1000),
      popup(28, {10, 130, 170, 150}, 3, kStrokeModes),
      check(48, {10, 160, 179, 180}, "[L] Stroke (minmax)", 3),
      real(34, {180, 160, 240, 180}, 3, 0, 100),
      adjuster(171, {250, 160, 270, 180}, 3),
      real(35, {280, 160, 340, 180}, 3, 0, 100),
      adjuster(172, {350, 160, 370, 180}, 3),
      text(111, {10, 182, 179, 202}, "Shape position jitter (xy)", 3),
      real(37, {180, 182, 240, 202}, 3, -100, 100),
      real(38, {280, 182, 340, 202}, 3, -100, 100),
      text(112, {10, 204, 179, 224}, "Radius factor (%)", 3),
      real(40, {180, 204, 240, 224}, 3, -1000, 1000),
      adjuster(173, {250, 204, 270, 224}, 3),
      check(50, {10, 226, 179, 246}, "[R] Angle (o)", 3),
      real(49, {180, 226, 240, 246}, 3, 0, 360),
      adjuster(174, {250, 226, 270, 246}, 3),
      text(114, {10, 248, 179, 268}, "Scale (%)", 3),
      real(51, {180, 248, 240, 268}, 3, 1, 700),
      check(43, {10, 280, 300, 294}, "Create (shapes) [R]", 3),
      popup(39, {10, 300, 170, 320}, 3, kShapeKinds),
      check(26, {10, 70, 300, 84}, "Split lines (no shapes)", 4),
      check(24, {10, 87, 300, 101}, "Opacity [R]", 4),
      check(27, {10, 104, 300, 118}, "Start [R]", 4),
      check(41, {10, 121, 300, 135}, "Lines fill visible", 4),
      check(42, {10, 138, 300, 152}, "Delete (continuous) line", 4),
      popup(65, {440, 242, 520, 262}, 0, kPresets),
      {2, kPush, {440, 40, 520, 60}, "Cancel", 0},
      {60, kPush, {440, 70, 520, 90}, "Shuffle", 0},
      {61, kPush, {440, 100, 520, 120}, "Tumble", 0},
      check(3, {440, 130, 520, 144}, "Preview", 0),
      adjuster(90, {10, 5, 60, 35}, 0),
      adjuster(91, {80, 5, 130, 35}, 0),
      adjuster(92, {150, 5, 200, 35}, 0),
      adjuster(93, {220, 5, 270, 35}, 0),
      text(95, {16, 40, 79, 55}, "Lines", 0),
      text(96, {83, 40, 149, 55}, "Style", 0),
      text(97, {153, 40, 220, 55}, "Shapes", 0),
      text(98, {223, 40, 279, 55}, "Settings", 0),
  };
}

class DialogLayoutTest : public DialogHost {};

TEST_F(DialogLayoutTest, EveryControlMatchesTheLayout) {
  const std::vector<Control> layout = expectedLayout();
  int32_t width = 0, height = 0;
  ASSERT_EQ(open([&](Dialog& d) {
              width = d.width();
              height = d.height();
            }),
            0);
  EXPECT_EQ(width, 530);
  EXPECT_EQ(height, 325);

  const std::vector<ItemState>& items = runner_.lastState();
  ASSERT_EQ(items.size(), layout.size());
  const double swatchCount = static_cast<double>(doc_.swatches().size());
  for (size_t i = 0; i < layout.size(); ++i) {
    const Control& want = layout[i];
    const ItemState& got = items[i];
    SCOPED_TRACE("control " + std::to_string(want.id));
    ASSERT_EQ(got.id, want.id) << "creation order";
    EXPECT_EQ(got.typeName, want.type);
    EXPECT_EQ(got.bounds.left, want.bounds.left);
    EXPECT_EQ(got.bounds.top, want.bounds.top);
    EXPECT_EQ(got.bounds.right, want.bounds.right);
    EXPECT_EQ(got.bounds.bottom, want.bounds.bottom);
    EXPECT_EQ(got.units, QX_UNITS_NONE);
    if (want.type == kSpin) {
      EXPECT_TRUE(got.hasLimits);
      EXPECT_EQ(got.minValue, want.min);
      EXPECT_EQ(got.maxValue, want.max == kSwatches ? swatchCount : want.max);
      EXPECT_EQ(got.integer, want.integer);
      EXPECT_EQ(got.decimals, want.integer ? 0 : 2);
    } else if (want.type == kPopup) {
      std::vector<std::string> texts;
      for (size_t e = 0; e < got.entries.size(); ++e) {
        texts.push_back(got.entries[e].text);
        EXPECT_EQ(got.entries[e].id, static_cast<int32_t>(e)) << "entry identifiers are positions";
      }
      EXPECT_EQ(texts, *want.entries);
    } else {
      EXPECT_EQ(got.text, want.label);
    }
    // The dialog opens on page 1.
    EXPECT_EQ(got.visible, want.page <= 1);
  }
}

TEST_F(DialogLayoutTest, EachPageShowsExactlyItsControls) {
  const std::vector<Control> layout = expectedLayout();
  ASSERT_EQ(open([&](Dialog& d) {
              for (int page = 1; page <= 4; ++page) {
                act(d, switchPage(page));
                for (const Control& c : layout) {
                  EXPECT_EQ(item(d, c.id).visible(), c.page == 0 || c.page == page)
                      << "control " << c.id << " on page " << page;
                }
              }
            }),
            0);
}

}  // namespace
}  // namespace qx::test
