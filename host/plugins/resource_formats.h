// The binary formats inside a plug-in's resources, each parsed from bytes that
// may be truncated or hostile: every read is bounds-checked and a malformed
// record gives a reason, never a read outside the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/dialogs/dialog_template.h"
#include "host/plugins/plugin_resources.h"

namespace qx::host::resfmt {

// Reads little-endian values forward from a byte range. The first read that
// would pass the end fails the cursor for good: ok() turns false and every
// later read gives 0 or an empty text, so a parser checks once per record.
class Cursor {
 public:
  Cursor(const uint8_t* data, size_t size, size_t pos = 0) : data_(data), size_(size), pos_(pos) {}

  bool ok() const { return ok_; }
  size_t pos() const { return pos_; }
  size_t remaining() const { return ok_ && pos_ <= size_ ? size_ - pos_ : 0; }

  uint16_t u16();
  uint32_t u32();
  uint64_t u64();
  int16_t i16() { return static_cast<int16_t>(u16()); }
  uint16_t peekU16() const;  // the next 16-bit value without moving; 0 at the end
  void skip(size_t count);
  // Move on to the next multiple of 4 counted from `base`.
  void alignTo4(size_t base = 0);
  // A zero-terminated UTF-16 text, as UTF-8.
  std::string utf16z();
  // A UTF-16 text of `count` units, as UTF-8.
  std::string utf16(size_t count);

 private:
  bool take(size_t count);
  const uint8_t* data_;
  size_t size_;
  size_t pos_;
  bool ok_ = true;
};

// The ".res" notion of "a number or a name": 0xFFFF then a 16-bit number, or
// a zero-terminated UTF-16 name.
struct NameOrId {
  bool isId = false;
  uint16_t id = 0;
  std::string name;
};
NameOrId readNameOrId(Cursor& cursor);

// UTF-16 units to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(const std::u16string& units);

// A file image read piece by piece: its size, and a reader of `count` bytes
// at `offset` into `out` (false when a read fails). Callers keep every read
// inside the size.
struct ImageReader {
  uint64_t size = 0;
  std::function<bool(uint64_t offset, size_t count, uint8_t* out)> read;
};

// The most a section table, a section name table or the resource section may
// hold: far beyond any real library, and what bounds the memory of a read.
inline constexpr uint64_t kMaxElfTableBytes = uint64_t{16} << 20;
inline constexpr uint64_t kMaxResourceSectionBytes = uint64_t{64} << 20;

// The bytes of section `sectionName` of an ELF64 little-endian file image;
// only the header, the section table, the name table and the section itself
// are read.
std::optional<std::vector<uint8_t>> elfSection(const ImageReader& image, const std::string& sectionName,
                                               std::string* error);
std::optional<std::vector<uint8_t>> elfSection(const std::vector<uint8_t>& file, const std::string& sectionName,
                                               std::string* error);

// Parsers of single resources; nullopt and a reason on malformed data.
std::optional<PluginPropertyList> parsePropertyList(const std::vector<uint8_t>& data, std::string* error);
std::optional<DialogTemplate> parseDialogTemplate(const std::vector<uint8_t>& data, int32_t id, std::string* error);
std::optional<VersionRecord> parseVersionRecord(const std::vector<uint8_t>& data, std::string* error);

}  // namespace qx::host::resfmt
