#include "host/cli/dialog_catalogue.h"

#include <algorithm>
#include <functional>
#include <set>

namespace qx::cli {
namespace {

// The command line's vocabulary: the record's field names for the controls
// that show them. Rows without a text of their own in the dialog (popups and
// the spin edits beside them, the zoom) get the caption a person would give.
constexpr FieldName kFieldNames[] = {
    // Lines.
    {"lockPoints", 44, nullptr},
    {"pointsMin", 4, nullptr},
    {"pointsMax", 5, nullptr},
    {"lockStep", 25, nullptr},
    {"stepX", 10, nullptr},
    {"stepY", 11, nullptr},
    {"lockLineWidth", 45, nullptr},
    {"lineWidthMin", 8, nullptr},
    {"lineWidthMax", 9, nullptr},
    {"lineSets", 6, nullptr},
    {"minDistance", 15, nullptr},
    {"randomSetAngle", 23, nullptr},
    {"setAngle", 7, nullptr},
    {"distanceFactorX", 12, nullptr},
    {"distanceFactorY", 13, nullptr},
    {"curvatureX", 16, nullptr},
    {"curvatureY", 17, nullptr},
    {"directionMode", 36, "Direction mode"},
    // Style.
    {"lineStrokeMode", 18, "Line stroke colour"},
    {"lineStrokeSwatch", 19, "Line stroke colour (swatch)"},
    {"lineStrokeSteps", 20, "Line stroke colour (steps)"},
    {"tileMode", 47, "Pattern / tile"},
    // Shapes.
    {"lockShapeSize", 46, nullptr},
    {"shapeSizeMin", 21, nullptr},
    {"shapeSizeMax", 22, nullptr},
    {"shapeFillMode", 31, "Shape fill colour"},
    {"shapeFillSwatch", 32, "Shape fill colour (swatch)"},
    {"shapeFillSteps", 33, "Shape fill colour (steps)"},
    {"shapeStrokeMode", 28, "Shape stroke colour"},
    {"shapeStrokeSwatch", 29, "Shape stroke colour (swatch)"},
    {"shapeStrokeSteps", 30, "Shape stroke colour (steps)"},
    {"lockShapeStroke", 48, nullptr},
    {"shapeStrokeMin", 34, nullptr},
    {"shapeStrokeMax", 35, nullptr},
    {"jitterX", 37, nullptr},
    {"jitterY", 38, nullptr},
    {"radiusFactor", 40, nullptr},
    {"randomShapeAngle", 50, nullptr},
    {"shapeAngle", 49, nullptr},
    {"shapeScale", 51, nullptr},
    {"randomCreateShapes", 43, nullptr},
    {"shapeKind", 39, "Shape kind"},
    // Settings.
    {"splitLines", 26, nullptr},
    {"randomOpacity", 24, nullptr},
    {"randomStart", 27, nullptr},
    {"linesFillVisible", 41, nullptr},
    {"deleteLine", 42, nullptr},
    // On every page.
    {"preview", 3, nullptr},
    {"presetIndex", 65, "Preset"},
    {"viewZoom", 14, "Zoom (%)"},
};

bool isValueControl(host::ItemKind kind) {
  return kind == host::ItemKind::SpinEdit || kind == host::ItemKind::PopupList;
}

bool sameRow(const QxRect& a, const QxRect& b) { return a.top == b.top; }

const host::ItemState* findState(const std::vector<host::ItemState>& items, int32_t id) {
  for (const host::ItemState& s : items)
    if (s.id == id) return &s;
  return nullptr;
}

// Pages lie on top of each other, so only items of one page are neighbours.
using SamePage = std::function<bool(const host::ItemState&, const host::ItemState&)>;

// The picture button just right of a control on its row is its adjuster.
int32_t adjusterBeside(const std::vector<host::ItemState>& items, const host::ItemState& control,
                       const SamePage& samePage) {
  for (const host::ItemState& s : items) {
    if (s.kind != host::ItemKind::PicturePushButton || !sameRow(s.bounds, control.bounds)) continue;
    if (!samePage(s, control)) continue;
    const int32_t gap = s.bounds.left - control.bounds.right;
    if (gap >= 0 && gap <= 20) return s.id;
  }
  return 0;
}

// The row's label: the text (a static text or a check box) left of the
// control on its row; with two values in the row they are its first and
// second, and a check box's single value is its value.
std::string rowLabel(const std::vector<host::ItemState>& items, const host::ItemState& control,
                     const SamePage& samePage) {
  const host::ItemState* text = nullptr;
  std::vector<const host::ItemState*> values;
  for (const host::ItemState& s : items) {
    if (!sameRow(s.bounds, control.bounds) || !samePage(s, control)) continue;
    if (isValueControl(s.kind)) values.push_back(&s);
    const bool isText = s.kind == host::ItemKind::TextStatic || s.kind == host::ItemKind::TextCheckBox;
    if (isText && s.bounds.right <= control.bounds.left && (!text || s.bounds.left > text->bounds.left)) text = &s;
  }
  if (!text) return {};
  std::sort(values.begin(), values.end(),
            [](const host::ItemState* a, const host::ItemState* b) { return a->bounds.left < b->bounds.left; });
  if (values.size() == 2) return text->text + (values[0]->id == control.id ? " (first)" : " (second)");
  if (text->kind == host::ItemKind::TextCheckBox) return text->text + " (value)";
  return text->text;
}

// The page buttons: of the picture buttons shown now (one page's), those
// beside no value, left to right, each named by the caption under it.
struct PageButtons {
  std::vector<int32_t> ids;
  std::vector<std::string> names;
  int shown = 0;  // the page whose caption is bold, 0 when none is
};

// The caption under a page button: the nearest static text below it whose
// centre lies within the button's width.
const host::ItemState* captionUnder(const std::vector<host::ItemState>& items, const host::ItemState& button) {
  const host::ItemState* caption = nullptr;
  for (const host::ItemState& s : items) {
    if (s.kind != host::ItemKind::TextStatic || s.bounds.top < button.bounds.bottom) continue;
    const int32_t centre = (s.bounds.left + s.bounds.right) / 2;
    if (centre < button.bounds.left || centre > button.bounds.right) continue;
    if (!caption || s.bounds.top < caption->bounds.top) caption = &s;
  }
  return caption;
}

PageButtons findPageButtons(const std::vector<host::ItemState>& items) {
  const SamePage bothShown = [](const host::ItemState& a, const host::ItemState& b) { return a.visible && b.visible; };
  std::set<int32_t> adjusters;
  for (const host::ItemState& s : items)
    if (isValueControl(s.kind) && s.visible) adjusters.insert(adjusterBeside(items, s, bothShown));
  std::vector<const host::ItemState*> buttons;
  for (const host::ItemState& s : items)
    if (s.kind == host::ItemKind::PicturePushButton && s.visible && !adjusters.count(s.id)) buttons.push_back(&s);
  std::sort(buttons.begin(), buttons.end(),
            [](const host::ItemState* a, const host::ItemState* b) { return a->bounds.left < b->bounds.left; });
  PageButtons pages;
  for (const host::ItemState* button : buttons) {
    pages.ids.push_back(button->id);
    const host::ItemState* caption = captionUnder(items, *button);
    pages.names.push_back(caption ? caption->text : std::to_string(pages.names.size() + 1));
    if (caption && caption->font == QX_FONT_DIALOG_BOLD) pages.shown = static_cast<int>(pages.names.size());
  }
  return pages;
}

// Which page shows which item, as a person learns it: by pressing each page
// button in turn, then `backId` (the page shown before) again.
struct PageMap {
  std::vector<std::set<int32_t>> visibleOn;  // the items each page shows

  // The one page showing `id`; 0 for an item on every page (or on none).
  int pageOf(int32_t id) const {
    int page = 0, pagesShowing = 0;
    for (size_t p = 0; p < visibleOn.size(); ++p)
      if (visibleOn[p].count(id)) page = static_cast<int>(p) + 1, ++pagesShowing;
    return pagesShowing == 1 ? page : 0;
  }
};

PageMap learnPages(host::Dialog& dialog, const std::vector<int32_t>& pageButtons, int32_t backId) {
  PageMap map;
  for (int32_t id : pageButtons) {
    if (host::Item* button = dialog.item(id)) dialog.manager().notify(*button);
    std::set<int32_t> visible;
    for (const auto& item : dialog.items())
      if (item->visible()) visible.insert(item->id());
    map.visibleOn.push_back(std::move(visible));
  }
  if (host::Item* back = dialog.item(backId)) dialog.manager().notify(*back);
  return map;
}

// The field of the control `s` that `name` names; nullopt for a control the
// command line does not know how to set.
std::optional<DialogField> fieldOf(const FieldName& name, const host::ItemState& s,
                                   const std::vector<host::ItemState>& items, const PageMap& pages) {
  DialogField f;
  f.name = name.name;
  f.controlId = s.id;
  f.page = pages.pageOf(s.id);
  switch (s.kind) {
    case host::ItemKind::TextCheckBox:
      f.kind = ControlKind::CheckBox;
      f.max = 1;
      break;
    case host::ItemKind::SpinEdit: f.kind = s.integer ? ControlKind::IntSpin : ControlKind::RealSpin; break;
    case host::ItemKind::PopupList: f.kind = ControlKind::Popup; break;
    default: return std::nullopt;
  }
  if (f.kind == ControlKind::IntSpin || f.kind == ControlKind::RealSpin) {
    f.min = s.minValue;
    f.max = s.maxValue;
    f.decimals = s.decimals;
  }
  f.entries = s.entries;
  if (f.kind == ControlKind::Popup) f.max = f.entries.empty() ? 0 : static_cast<double>(f.entries.size() - 1);
  const SamePage onOnePage = [&](const host::ItemState& a, const host::ItemState& b) {
    return pages.pageOf(a.id) == pages.pageOf(b.id);
  };
  if (f.kind == ControlKind::CheckBox) f.label = s.text;
  else if (name.caption) f.label = name.caption;
  else f.label = rowLabel(items, s, onOnePage);
  f.adjusterId = isValueControl(s.kind) ? adjusterBeside(items, s, onOnePage) : 0;
  return f;
}

}  // namespace

std::span<const FieldName> fieldNames() { return kFieldNames; }

const FieldName* findFieldName(std::string_view name) {
  for (const FieldName& f : kFieldNames)
    if (name == f.name) return &f;
  return nullptr;
}

std::string listFieldNames() {
  std::string out;
  for (const FieldName& f : kFieldNames) out += std::string(out.empty() ? "" : ", ") + f.name;
  return out + ", " + kPageFieldName;
}

DialogCatalogue DialogCatalogue::read(host::Dialog& dialog) {
  DialogCatalogue catalogue;
  const std::vector<host::ItemState> items = dialog.state();
  for (const host::ItemState& s : items)
    if (s.kind == host::ItemKind::TextPushButton) catalogue.buttons_.emplace_back(s.text, s.id);
  PageButtons pages = findPageButtons(items);
  catalogue.pageButtons_ = std::move(pages.ids);
  catalogue.pageNames_ = std::move(pages.names);
  const PageMap pageMap = learnPages(dialog, catalogue.pageButtons_,
                                     catalogue.pageButton(pages.shown > 0 ? pages.shown : 1));

  for (const FieldName& name : kFieldNames)
    if (const host::ItemState* s = findState(items, name.controlId))
      if (std::optional<DialogField> f = fieldOf(name, *s, items, pageMap)) catalogue.fields_.push_back(std::move(*f));
  if (!catalogue.pageButtons_.empty()) {
    DialogField f;
    f.name = kPageFieldName;
    f.controlId = catalogue.pageButtons_.front();
    f.kind = ControlKind::PageButtons;
    f.label = "Page";
    f.min = 1;
    f.max = catalogue.pageCount();
    catalogue.fields_.push_back(std::move(f));
  }
  return catalogue;
}

const DialogField* DialogCatalogue::find(std::string_view name) const {
  for (const DialogField& f : fields_)
    if (name == f.name) return &f;
  return nullptr;
}

std::string DialogCatalogue::adjusterFieldNames() const {
  std::string out;
  for (const DialogField& f : fields_)
    if (f.adjusterId != 0) out += (out.empty() ? "" : ", ") + f.name;
  return out;
}

std::string DialogCatalogue::pageName(int page) const {
  return page >= 1 && page <= pageCount() ? pageNames_[static_cast<size_t>(page - 1)] : std::string();
}

int32_t DialogCatalogue::pageButton(int page) const {
  return page >= 1 && page <= pageCount() ? pageButtons_[static_cast<size_t>(page - 1)] : 0;
}

int32_t DialogCatalogue::button(std::string_view text) const {
  for (const auto& [label, id] : buttons_)
    if (label == text) return id;
  return 0;
}

std::string listEntries(std::span<const host::ListEntry> entries) {
  std::string out;
  for (const host::ListEntry& e : entries) {
    if (!out.empty()) out += ", ";
    out += '"' + e.text.substr(e.text.starts_with(' ') ? 1 : 0) + '"';
  }
  return out;
}

}  // namespace qx::cli
