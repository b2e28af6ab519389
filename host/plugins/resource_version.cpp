// The version record: a tree of blocks, each a total length, a value length,
// a type (1 text, 0 binary), a UTF-16 key and the value, then its children,
// all on 4-byte boundaries. The root's value holds the fixed version numbers;
// "StringFileInfo" holds one table of named texts per language.
#include "host/plugins/resource_formats.h"

namespace qx::host::resfmt {

namespace {

constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr size_t kFixedInfoSize = 52;

struct Block {
  size_t start = 0;
  size_t end = 0;  // start + total length, inside the bytes
  uint16_t valueLength = 0;
  uint16_t type = 0;
  std::string key;
  size_t valueStart = 0;
  size_t childrenStart = 0;
};

// The block at `start`, which must end by `limit`.
std::optional<Block> readBlock(const std::vector<uint8_t>& data, size_t start, size_t limit) {
  Cursor c(data.data(), limit, start);
  Block block;
  block.start = start;
  const uint16_t length = c.u16();
  block.valueLength = c.u16();
  block.type = c.u16();
  if (!c.ok() || length < 6 || length > limit - start) return std::nullopt;
  block.end = start + length;
  Cursor inside(data.data(), block.end, c.pos());
  block.key = inside.utf16z();
  inside.alignTo4();
  if (!inside.ok()) return std::nullopt;
  block.valueStart = inside.pos();
  const size_t valueBytes = block.type == 1 ? size_t(block.valueLength) * 2 : block.valueLength;
  inside.skip(valueBytes);
  inside.alignTo4();
  // Text values are sometimes counted in bytes rather than characters; a
  // leaf never needs its children's position, so only containers must fit.
  block.childrenStart = inside.ok() ? inside.pos() : block.end;
  return block;
}

// Calls `visit` for each child of `parent`; false when a child is malformed.
template <typename Visit>
bool forEachChild(const std::vector<uint8_t>& data, const Block& parent, Visit visit) {
  size_t at = parent.childrenStart;
  while (at + 6 <= parent.end) {
    const std::optional<Block> child = readBlock(data, at, parent.end);
    if (!child) return false;
    visit(*child);
    at = child->end + (4 - child->end % 4) % 4;
  }
  return true;
}

std::string versionText(uint32_t high, uint32_t low) {
  return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." + std::to_string(low >> 16) + "." +
         std::to_string(low & 0xFFFF);
}

// A text value up to its terminating zero or the end of the block.
std::string textValue(const std::vector<uint8_t>& data, const Block& block) {
  Cursor c(data.data(), block.end, block.valueStart);
  std::u16string units;
  while (c.remaining() >= 2) {
    const uint16_t unit = c.u16();
    if (unit == 0) break;
    units.push_back(static_cast<char16_t>(unit));
  }
  return utf16ToUtf8(units);
}

}  // namespace

std::optional<VersionRecord> parseVersionRecord(const std::vector<uint8_t>& data, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = "version record: " + reason;
    return std::nullopt;
  };
  const std::optional<Block> root = readBlock(data, 0, data.size());
  if (!root || root->key != "VS_VERSION_INFO") return fail("no VS_VERSION_INFO block");
  if (root->valueLength < kFixedInfoSize || root->valueStart + kFixedInfoSize > root->end)
    return fail("fixed version numbers missing");

  VersionRecord record;
  Cursor fixed(data.data(), root->end, root->valueStart);
  if (fixed.u32() != kFixedInfoSignature) return fail("bad fixed version signature");
  fixed.u32();  // structure version
  const uint32_t fileHigh = fixed.u32(), fileLow = fixed.u32();
  const uint32_t productHigh = fixed.u32(), productLow = fixed.u32();
  record.fileVersion = versionText(fileHigh, fileLow);
  record.productVersion = versionText(productHigh, productLow);

  bool wellFormed = true;
  auto readString = [&](const Block& entry) {
    record.strings.emplace(entry.key, textValue(data, entry));  // the first language wins
  };
  auto readTable = [&](const Block& table) {
    if (!forEachChild(data, table, readString)) wellFormed = false;
  };
  auto readInfo = [&](const Block& info) {
    if (info.key == "StringFileInfo" && !forEachChild(data, info, readTable)) wellFormed = false;
  };
  if (!forEachChild(data, *root, readInfo)) wellFormed = false;
  if (!wellFormed) return fail("malformed block");
  return record;
}

}  // namespace qx::host::resfmt
