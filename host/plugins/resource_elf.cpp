// Finding a section by name in an ELF64 file image. Every offset and size read
// from the file is checked against the image before it is used.
#include <cstring>

#include "host/plugins/resource_formats.h"

namespace qx::host::resfmt {

namespace {

constexpr size_t kElfHeaderSize = 64;
constexpr size_t kSectionHeaderSize = 64;
constexpr uint32_t kSectionNoBits = 8;
constexpr uint16_t kExtendedIndex = 0xFFFF;

struct SectionHeader {
  uint32_t name = 0;
  uint32_t type = 0;
  uint64_t offset = 0;
  uint64_t size = 0;
  uint32_t link = 0;
};

bool fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

// True when [offset, offset + size) lies inside a file of `fileSize` bytes.
bool inFile(uint64_t offset, uint64_t size, size_t fileSize) { return offset <= fileSize && size <= fileSize - offset; }

SectionHeader readSectionHeader(const std::vector<uint8_t>& file, uint64_t at) {
  Cursor c(file.data(), file.size(), static_cast<size_t>(at));
  SectionHeader h;
  h.name = c.u32();
  h.type = c.u32();
  c.skip(16);  // flags, address
  h.offset = c.u64();
  h.size = c.u64();
  h.link = c.u32();
  return h;
}

}  // namespace

std::optional<std::vector<uint8_t>> elfSection(const std::vector<uint8_t>& file, const std::string& sectionName,
                                               std::string* error) {
  static const uint8_t kMagic[4] = {0x7F, 'E', 'L', 'F'};
  if (file.size() < 4 || std::memcmp(file.data(), kMagic, 4) != 0) {
    fail(error, "not an ELF library");
    return std::nullopt;
  }
  if (file.size() < kElfHeaderSize) {
    fail(error, "truncated ELF header");
    return std::nullopt;
  }
  if (file[4] != 2) {
    fail(error, "not a 64-bit ELF library");
    return std::nullopt;
  }
  if (file[5] != 1) {
    fail(error, "not a little-endian ELF library");
    return std::nullopt;
  }

  Cursor header(file.data(), file.size(), 0x28);
  const uint64_t tableOffset = header.u64();
  header.skip(10);  // flags, header size, program header entry size and count
  const uint16_t entrySize = header.u16();
  uint64_t count = header.u16();
  uint32_t namesIndex = header.u16();
  if (tableOffset == 0) {
    fail(error, "ELF file has no section table");
    return std::nullopt;
  }
  if (entrySize < kSectionHeaderSize) {
    fail(error, "ELF section headers have a bad size");
    return std::nullopt;
  }
  if (!inFile(tableOffset, kSectionHeaderSize, file.size())) {
    fail(error, "ELF section table lies outside the file");
    return std::nullopt;
  }
  // Very large tables keep their true count and name index in section 0.
  const SectionHeader first = readSectionHeader(file, tableOffset);
  if (count == 0) count = first.size;
  if (namesIndex == kExtendedIndex) namesIndex = first.link;
  if (count > (file.size() - tableOffset) / entrySize) {
    fail(error, "ELF section table lies outside the file");
    return std::nullopt;
  }
  if (namesIndex >= count) {
    fail(error, "ELF section name table index is out of range");
    return std::nullopt;
  }

  const SectionHeader names = readSectionHeader(file, tableOffset + namesIndex * entrySize);
  if (names.type == kSectionNoBits || !inFile(names.offset, names.size, file.size())) {
    fail(error, "ELF section name table lies outside the file");
    return std::nullopt;
  }
  const char* nameTable = reinterpret_cast<const char*>(file.data() + names.offset);

  for (uint64_t i = 0; i < count; ++i) {
    const SectionHeader section = readSectionHeader(file, tableOffset + i * entrySize);
    if (section.name >= names.size) continue;  // a nameless or broken entry is not ours
    const size_t room = static_cast<size_t>(names.size - section.name);
    const char* name = nameTable + section.name;
    const size_t length = strnlen(name, room);
    if (length == room || sectionName != std::string(name, length)) continue;
    if (section.type == kSectionNoBits) {
      fail(error, "section " + sectionName + " holds no data");
      return std::nullopt;
    }
    if (!inFile(section.offset, section.size, file.size())) {
      fail(error, "section " + sectionName + " lies outside the file");
      return std::nullopt;
    }
    return std::vector<uint8_t>(file.begin() + static_cast<ptrdiff_t>(section.offset),
                                file.begin() + static_cast<ptrdiff_t>(section.offset + section.size));
  }
  fail(error, "no resource section " + sectionName);
  return std::nullopt;
}

}  // namespace qx::host::resfmt
