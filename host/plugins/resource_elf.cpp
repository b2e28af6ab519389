// Finding a section by name in an ELF64 file image. Every offset and size read
// from the file is checked against the image before it is used, and only the
// pieces needed are read, each of a bounded size.
#include <algorithm>
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

std::nullopt_t fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return std::nullopt;
}

// True when [offset, offset + size) lies inside a file of `fileSize` bytes.
bool inFile(uint64_t offset, uint64_t size, uint64_t fileSize) {
  return offset <= fileSize && size <= fileSize - offset;
}

// `count` bytes at `offset`, which the caller has checked lie in the image.
std::optional<std::vector<uint8_t>> readPiece(const ImageReader& image, uint64_t offset, uint64_t count) {
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  if (count != 0 && !image.read(offset, bytes.size(), bytes.data())) return std::nullopt;
  return bytes;
}

SectionHeader readSectionHeader(const std::vector<uint8_t>& table, uint64_t at) {
  Cursor c(table.data(), table.size(), static_cast<size_t>(at));
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

std::optional<std::vector<uint8_t>> elfSection(const ImageReader& image, const std::string& sectionName,
                                               std::string* error) {
  static const uint8_t kMagic[4] = {0x7F, 'E', 'L', 'F'};
  const std::string unreadable = "cannot read the file";
  uint8_t head[kElfHeaderSize] = {};
  const size_t headSize = static_cast<size_t>(std::min<uint64_t>(image.size, kElfHeaderSize));
  if (headSize != 0 && !image.read(0, headSize, head)) return fail(error, unreadable);
  if (headSize < 4 || std::memcmp(head, kMagic, 4) != 0) return fail(error, "not an ELF library");
  if (headSize < kElfHeaderSize) return fail(error, "truncated ELF header");
  if (head[4] != 2) return fail(error, "not a 64-bit ELF library");
  if (head[5] != 1) return fail(error, "not a little-endian ELF library");

  Cursor header(head, sizeof head, 0x28);
  const uint64_t tableOffset = header.u64();
  header.skip(10);  // flags, header size, program header entry size and count
  const uint16_t entrySize = header.u16();
  uint64_t count = header.u16();
  uint32_t namesIndex = header.u16();
  if (tableOffset == 0) return fail(error, "ELF file has no section table");
  if (entrySize < kSectionHeaderSize) return fail(error, "ELF section headers have a bad size");
  if (!inFile(tableOffset, kSectionHeaderSize, image.size))
    return fail(error, "ELF section table lies outside the file");
  // Very large tables keep their true count and name index in section 0.
  const std::optional<std::vector<uint8_t>> zero = readPiece(image, tableOffset, kSectionHeaderSize);
  if (!zero) return fail(error, unreadable);
  const SectionHeader first = readSectionHeader(*zero, 0);
  if (count == 0) count = first.size;
  if (namesIndex == kExtendedIndex) namesIndex = first.link;
  if (count > (image.size - tableOffset) / entrySize) return fail(error, "ELF section table lies outside the file");
  if (count * entrySize > kMaxElfTableBytes)
    return fail(error, "ELF section table is larger than " + std::to_string(kMaxElfTableBytes >> 20) + " MiB");
  if (namesIndex >= count) return fail(error, "ELF section name table index is out of range");
  const std::optional<std::vector<uint8_t>> table = readPiece(image, tableOffset, count * entrySize);
  if (!table) return fail(error, unreadable);

  const SectionHeader names = readSectionHeader(*table, uint64_t{namesIndex} * entrySize);
  if (names.type == kSectionNoBits || !inFile(names.offset, names.size, image.size))
    return fail(error, "ELF section name table lies outside the file");
  if (names.size > kMaxElfTableBytes)
    return fail(error, "ELF section name table is larger than " + std::to_string(kMaxElfTableBytes >> 20) + " MiB");
  const std::optional<std::vector<uint8_t>> nameBytes = readPiece(image, names.offset, names.size);
  if (!nameBytes) return fail(error, unreadable);
  const char* nameTable = reinterpret_cast<const char*>(nameBytes->data());

  for (uint64_t i = 0; i < count; ++i) {
    const SectionHeader section = readSectionHeader(*table, i * entrySize);
    if (section.name >= names.size) continue;  // a nameless or broken entry is not ours
    const size_t room = static_cast<size_t>(names.size - section.name);
    const char* name = nameTable + section.name;
    const size_t length = strnlen(name, room);
    if (length == room || sectionName != std::string(name, length)) continue;
    if (section.type == kSectionNoBits) return fail(error, "section " + sectionName + " holds no data");
    if (!inFile(section.offset, section.size, image.size))
      return fail(error, "section " + sectionName + " lies outside the file");
    if (section.size > kMaxResourceSectionBytes)
      return fail(error, "section " + sectionName + " is larger than " +
                             std::to_string(kMaxResourceSectionBytes >> 20) + " MiB");
    std::optional<std::vector<uint8_t>> bytes = readPiece(image, section.offset, section.size);
    if (!bytes) return fail(error, unreadable);
    return bytes;
  }
  return fail(error, "no resource section " + sectionName);
}

std::optional<std::vector<uint8_t>> elfSection(const std::vector<uint8_t>& file, const std::string& sectionName,
                                               std::string* error) {
  const ImageReader image{file.size(), [&file](uint64_t offset, size_t count, uint8_t* out) {
                            std::memcpy(out, file.data() + offset, count);
                            return true;
                          }};
  return elfSection(image, sectionName, error);
}

}  // namespace qx::host::resfmt
