// Dialog templates, in both layouts: the classic one and the extended one
// (which starts with version 1 and the signature 0xFFFF and adds help ids,
// font weight and 32-bit item ids). Items start on 4-byte boundaries.
#include "host/plugins/resource_formats.h"

namespace qx::host::resfmt {

namespace {

constexpr uint32_t kSetFont = 0x40;  // the template names a font

std::string classFromAtom(uint16_t atom) {
  switch (atom) {
    case 0x0080: return "BUTTON";
    case 0x0081: return "EDIT";
    case 0x0082: return "STATIC";
    case 0x0083: return "LISTBOX";
    case 0x0084: return "SCROLLBAR";
    case 0x0085: return "COMBOBOX";
    default: return "#" + std::to_string(atom);
  }
}

// An item's text may be a resource number (an image shown by the item).
std::string textOf(const NameOrId& value) { return value.isId ? "#" + std::to_string(value.id) : value.name; }

std::string classOf(const NameOrId& value) { return value.isId ? classFromAtom(value.id) : value.name; }

}  // namespace

std::optional<DialogTemplate> parseDialogTemplate(const std::vector<uint8_t>& data, int32_t id, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = "dialog " + std::to_string(id) + ": " + reason;
    return std::nullopt;
  };
  Cursor c(data.data(), data.size());
  DialogTemplate dialog;
  dialog.id = id;
  const bool extended = c.peekU16() == 1 && data.size() >= 4 && data[2] == 0xFF && data[3] == 0xFF;
  if (extended) {
    c.skip(8);  // version, signature, help id
    c.u32();    // extended style
    dialog.style = c.u32();
  } else {
    dialog.style = c.u32();
    c.u32();  // extended style
  }
  const uint16_t itemCount = c.u16();
  dialog.x = c.i16();
  dialog.y = c.i16();
  dialog.cx = c.i16();
  dialog.cy = c.i16();
  readNameOrId(c);  // menu
  readNameOrId(c);  // window class
  dialog.caption = c.utf16z();
  if (dialog.style & kSetFont) {
    dialog.fontPointSize = c.u16();
    if (extended) c.skip(4);  // weight, italic, character set
    dialog.fontName = c.utf16z();
  }
  if (!c.ok()) return fail("truncated header");

  for (uint16_t i = 0; i < itemCount; ++i) {
    c.alignTo4();
    DialogTemplateItem item;
    if (extended) {
      c.u32();  // help id
      c.u32();  // extended style
      item.style = c.u32();
    } else {
      item.style = c.u32();
      c.u32();  // extended style
    }
    item.x = c.i16();
    item.y = c.i16();
    item.cx = c.i16();
    item.cy = c.i16();
    // Classic ids are 16 bits; 0xFFFF is the usual "no id" -1 in both layouts.
    item.id = extended ? static_cast<int32_t>(c.u32()) : c.i16();
    item.windowClass = classOf(readNameOrId(c));
    item.text = textOf(readNameOrId(c));
    c.skip(c.u16());  // creation data
    if (!c.ok()) return fail("item " + std::to_string(i + 1) + " of " + std::to_string(itemCount) + " is cut off");
    dialog.items.push_back(std::move(item));
  }
  return dialog;
}

}  // namespace qx::host::resfmt
