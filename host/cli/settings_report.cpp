#include "host/cli/settings_report.h"

#include <cstdio>

#include "host/cli/dialog_catalogue.h"

namespace qx::cli {
namespace {

const host::ItemState* findItem(const std::vector<host::ItemState>& items, int32_t id) {
  for (const host::ItemState& s : items)
    if (s.id == id) return &s;
  return nullptr;
}

std::string shownValue(const host::ItemState& item) {
  switch (item.kind) {
    case host::ItemKind::TextCheckBox: return item.booleanValue ? "on" : "off";
    case host::ItemKind::PopupList: {
      if (item.activeEntry < 0 || item.activeEntry >= static_cast<int32_t>(item.entries.size())) return "(none)";
      const std::string& text = item.entries[static_cast<size_t>(item.activeEntry)].text;
      return text.starts_with(' ') ? text.substr(1) : text;
    }
    default: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.*f", item.integer ? 0 : item.decimals, item.value);
      return buf;
    }
  }
}

}  // namespace

std::string formatSettings(const DialogCatalogue& catalogue, const std::vector<host::ItemState>& items) {
  // The current page is the one whose caption is bold.
  int current = 0;
  for (int page = 1; page <= catalogue.pageCount(); ++page) {
    for (const host::ItemState& s : items)
      if (s.kind == host::ItemKind::TextStatic && s.text == catalogue.pageName(page) && s.font == QX_FONT_DIALOG_BOLD)
        current = page;
  }
  std::vector<int> pages;
  for (int page = 1; page <= catalogue.pageCount(); ++page) pages.push_back(page);
  pages.push_back(0);
  std::string out;
  for (int page : pages) {
    out += page == 0 ? std::string("On every page") : catalogue.pageName(page);
    if (page != 0 && page == current) out += " (current page)";
    out += '\n';
    for (const DialogField& field : catalogue.fields()) {
      if (field.page != page || field.kind == ControlKind::PageButtons) continue;
      const host::ItemState* item = findItem(items, field.controlId);
      out += "  ";
      // Check boxes carry their own label; the other rows use the row's.
      out += item && item->kind == host::ItemKind::TextCheckBox && !item->text.empty() ? item->text : field.label;
      out += " [";
      out += field.name;
      out += "]: ";
      out += item ? shownValue(*item) : "(missing)";
      if (item && !item->enabled) out += " (disabled)";
      out += '\n';
    }
  }
  return out;
}

}  // namespace qx::cli
