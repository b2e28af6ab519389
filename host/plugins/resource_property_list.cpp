// The property list: a 16-bit signature, a list version, a property count,
// then the properties, each a vendor, a key, a number and a data length with
// the data padded to 4 bytes. Codes are stored as little-endian numbers.
#include <cstring>

#include "host/plugins/resource_formats.h"

namespace qx::host::resfmt {

namespace {

constexpr uint32_t fourCC(char a, char b, char c, char d) {
  return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) | (uint32_t(uint8_t(c)) << 8) |
         uint32_t(uint8_t(d));
}

constexpr uint32_t kVendor = fourCC('A', 'D', 'B', 'E');
constexpr uint32_t kKindKey = fourCC('k', 'i', 'n', 'd');
constexpr uint32_t kVersionKey = fourCC('i', 'v', 'r', 's');
constexpr uint32_t kEntryKey = fourCC('w', 'x', '8', '6');
constexpr size_t kListHeaderSize = 10;
constexpr size_t kPropertyHeaderSize = 16;

std::string codeText(uint32_t code) {
  return {char(code >> 24), char((code >> 16) & 0xFF), char((code >> 8) & 0xFF), char(code & 0xFF)};
}

}  // namespace

std::optional<PluginPropertyList> parsePropertyList(const std::vector<uint8_t>& data, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = "property list: " + reason;
    return std::nullopt;
  };
  Cursor c(data.data(), data.size());
  const uint16_t signature = c.u16();
  const uint32_t listVersion = c.u32();
  const uint32_t count = c.u32();
  if (!c.ok()) return fail("truncated header (" + std::to_string(data.size()) + " bytes)");
  if (signature != 1 || listVersion != 0)
    return fail("unknown format " + std::to_string(signature) + "/" + std::to_string(listVersion));
  if (count > (data.size() - kListHeaderSize) / kPropertyHeaderSize)
    return fail("counts " + std::to_string(count) + " properties in " + std::to_string(data.size()) + " bytes");

  PluginPropertyList list;
  list.bytes = data;
  bool haveKind = false, haveVersion = false, haveEntry = false;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t vendor = c.u32();
    const uint32_t key = c.u32();
    c.u32();  // property number
    const uint32_t length = c.u32();
    if (!c.ok()) return fail("property " + std::to_string(i + 1) + " is cut off");
    if (length > c.remaining())
      return fail("property " + std::to_string(i + 1) + " ('" + codeText(key) + "') claims " + std::to_string(length) +
                  " bytes, " + std::to_string(c.remaining()) + " remain");
    const size_t start = c.pos();
    Cursor value(data.data(), start + length, start);
    if (vendor == kVendor && key == kKindKey && !haveKind) {
      if (length != 4) return fail("'kind' holds " + std::to_string(length) + " bytes, not 4");
      list.kind = codeText(value.u32());
      haveKind = true;
    } else if (vendor == kVendor && key == kVersionKey && !haveVersion) {
      if (length != 4) return fail("'ivrs' holds " + std::to_string(length) + " bytes, not 4");
      list.interfaceVersion = static_cast<int32_t>(value.u32());
      haveVersion = true;
    } else if (vendor == kVendor && key == kEntryKey && !haveEntry) {
      const char* name = reinterpret_cast<const char*>(data.data() + start);
      list.entryPoint.assign(name, strnlen(name, length));
      haveEntry = true;
    }
    c.skip(length);
    c.alignTo4(start);  // the last property's padding may be missing
  }
  return list;
}

}  // namespace qx::host::resfmt
