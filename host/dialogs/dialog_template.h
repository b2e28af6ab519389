// A dialog template as a plug-in's resources describe it (dialog units).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qx::host {

struct DialogTemplateItem {
  int32_t id = 0;
  std::string windowClass;  // "BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX" or a name
  uint32_t style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::string text;
};

struct DialogTemplate {
  int32_t id = 0;
  std::string caption;
  std::string fontName;
  int fontPointSize = 0;
  uint32_t style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::vector<DialogTemplateItem> items;
};

}  // namespace qx::host
