#include "host/cli/dialog_catalogue.h"

#include <algorithm>
#include <cctype>
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

std::string trimmedLower(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  std::string out(s.substr(b, e - b));
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

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
  std::vector<host::ItemState> items = dialog.state();

  // Buttons: push buttons by their text. Of the picture buttons shown now
  // (one page's), those beside no value are the page buttons, left to right,
  // named by the caption under each.
  const SamePage bothShown = [](const host::ItemState& a, const host::ItemState& b) { return a.visible && b.visible; };
  std::set<int32_t> adjusters;
  for (const host::ItemState& s : items)
    if (isValueControl(s.kind) && s.visible) adjusters.insert(adjusterBeside(items, s, bothShown));
  std::vector<const host::ItemState*> pages;
  for (const host::ItemState& s : items) {
    if (s.kind == host::ItemKind::TextPushButton) catalogue.buttons_.emplace_back(s.text, s.id);
    if (s.kind == host::ItemKind::PicturePushButton && s.visible && !adjusters.count(s.id)) pages.push_back(&s);
  }
  std::sort(pages.begin(), pages.end(),
            [](const host::ItemState* a, const host::ItemState* b) { return a->bounds.left < b->bounds.left; });
  int shownPage = 0;
  for (const host::ItemState* button : pages) {
    catalogue.pageButtons_.push_back(button->id);
    const host::ItemState* caption = nullptr;
    for (const host::ItemState& s : items) {
      if (s.kind != host::ItemKind::TextStatic || s.bounds.top < button->bounds.bottom) continue;
      const int32_t centre = (s.bounds.left + s.bounds.right) / 2;
      if (centre < button->bounds.left || centre > button->bounds.right) continue;
      if (!caption || s.bounds.top < caption->bounds.top) caption = &s;
    }
    catalogue.pageNames_.push_back(caption ? caption->text : std::to_string(catalogue.pageNames_.size() + 1));
    if (caption && caption->font == QX_FONT_DIALOG_BOLD) shownPage = static_cast<int>(catalogue.pageNames_.size());
  }

  // Which page shows what: press each page button, then the shown one again.
  std::vector<std::set<int32_t>> visibleOn;
  for (int32_t id : catalogue.pageButtons_) {
    if (host::Item* button = dialog.item(id)) dialog.manager().notify(*button);
    std::set<int32_t> visible;
    for (const auto& item : dialog.items())
      if (item->visible()) visible.insert(item->id());
    visibleOn.push_back(std::move(visible));
  }
  if (host::Item* back = dialog.item(catalogue.pageButton(shownPage > 0 ? shownPage : 1)))
    dialog.manager().notify(*back);
  auto pageOf = [&](int32_t id) {
    int page = 0, pagesShowing = 0;
    for (size_t p = 0; p < visibleOn.size(); ++p)
      if (visibleOn[p].count(id)) page = static_cast<int>(p) + 1, ++pagesShowing;
    return pagesShowing == 1 ? page : 0;
  };
  const SamePage onOnePage = [&](const host::ItemState& a, const host::ItemState& b) {
    return pageOf(a.id) == pageOf(b.id);
  };

  for (const FieldName& name : kFieldNames) {
    const host::ItemState* s = findState(items, name.controlId);
    if (!s) continue;
    DialogField f;
    f.name = name.name;
    f.controlId = s->id;
    f.page = pageOf(s->id);
    switch (s->kind) {
      case host::ItemKind::TextCheckBox:
        f.kind = ControlKind::CheckBox;
        f.max = 1;
        break;
      case host::ItemKind::SpinEdit: f.kind = s->integer ? ControlKind::IntSpin : ControlKind::RealSpin; break;
      case host::ItemKind::PopupList: f.kind = ControlKind::Popup; break;
      default: continue;  // not a control the command line knows how to set
    }
    if (f.kind == ControlKind::IntSpin || f.kind == ControlKind::RealSpin) {
      f.min = s->minValue;
      f.max = s->maxValue;
      f.decimals = s->decimals;
    }
    for (const host::ListEntry& entry : s->entries) f.entries.push_back(entry.text);
    if (f.kind == ControlKind::Popup) f.max = f.entries.empty() ? 0 : static_cast<double>(f.entries.size() - 1);
    if (f.kind == ControlKind::CheckBox) f.label = s->text;
    else if (name.caption) f.label = name.caption;
    else f.label = rowLabel(items, *s, onOnePage);
    f.adjusterId = isValueControl(s->kind) ? adjusterBeside(items, *s, onOnePage) : 0;
    catalogue.fields_.push_back(std::move(f));
  }
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

std::optional<int> findEntry(std::span<const std::string> entries, std::string_view text) {
  const std::string wanted = trimmedLower(text);
  for (size_t i = 0; i < entries.size(); ++i)
    if (trimmedLower(entries[i]) == wanted) return static_cast<int>(i);
  return std::nullopt;
}

std::string listEntries(std::span<const std::string> entries) {
  std::string out;
  for (const std::string& e : entries) {
    if (!out.empty()) out += ", ";
    out += '"' + e.substr(e.starts_with(' ') ? 1 : 0) + '"';
  }
  return out;
}

}  // namespace qx::cli
