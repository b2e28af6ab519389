#include "support/elf_file.h"

#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace qx::test {

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

namespace {

// Copies rather than casts: the file's bytes carry no alignment promise.
template <typename T>
bool readAt(const std::vector<uint8_t>& bytes, size_t offset, T* out) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return false;
  std::memcpy(out, bytes.data() + offset, sizeof(T));
  return true;
}

bool sectionHeaders(const std::vector<uint8_t>& elf, Elf64_Ehdr* header, std::vector<Elf64_Shdr>* sections) {
  if (!readAt(elf, 0, header) || std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0 ||
      header->e_ident[EI_CLASS] != ELFCLASS64)
    return false;
  sections->resize(header->e_shnum);
  for (size_t i = 0; i < header->e_shnum; ++i)
    if (!readAt(elf, header->e_shoff + i * sizeof(Elf64_Shdr), &(*sections)[i])) return false;
  return true;
}

std::string stringAt(const std::vector<uint8_t>& elf, const Elf64_Shdr& table, size_t index) {
  if (index >= table.sh_size || table.sh_offset + index >= elf.size()) return {};
  const char* start = reinterpret_cast<const char*>(elf.data() + table.sh_offset + index);
  size_t limit = std::min<size_t>(table.sh_size - index, elf.size() - table.sh_offset - index);
  return std::string(start, strnlen(start, limit));
}

}  // namespace

std::optional<std::vector<std::string>> exportedSymbols(const std::vector<uint8_t>& elf) {
  Elf64_Ehdr header;
  std::vector<Elf64_Shdr> sections;
  if (!sectionHeaders(elf, &header, &sections)) return std::nullopt;
  std::vector<std::string> names;
  for (const Elf64_Shdr& section : sections) {
    if (section.sh_type != SHT_DYNSYM || section.sh_link >= sections.size()) continue;
    const Elf64_Shdr& strings = sections[section.sh_link];
    for (size_t at = 0; at + sizeof(Elf64_Sym) <= section.sh_size; at += sizeof(Elf64_Sym)) {
      Elf64_Sym symbol;
      if (!readAt(elf, section.sh_offset + at, &symbol)) return std::nullopt;
      if (symbol.st_shndx == SHN_UNDEF || symbol.st_name == 0) continue;
      names.push_back(stringAt(elf, strings, symbol.st_name));
    }
  }
  return names;
}

std::optional<FileRange> sectionRange(const std::vector<uint8_t>& elf, const std::string& name) {
  Elf64_Ehdr header;
  std::vector<Elf64_Shdr> sections;
  if (!sectionHeaders(elf, &header, &sections) || header.e_shstrndx >= sections.size()) return std::nullopt;
  for (const Elf64_Shdr& section : sections) {
    if (stringAt(elf, sections[header.e_shstrndx], section.sh_name) == name)
      return FileRange{section.sh_offset, section.sh_size};
  }
  return std::nullopt;
}

bool patchInRange(std::vector<uint8_t>& bytes, FileRange range, const std::vector<uint8_t>& from,
                  const std::vector<uint8_t>& to) {
  if (from.size() != to.size() || range.offset + range.size > bytes.size()) return false;
  auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(range.offset);
  auto end = begin + static_cast<std::ptrdiff_t>(range.size);
  auto found = std::search(begin, end, from.begin(), from.end());
  if (found == end) return false;
  std::copy(to.begin(), to.end(), found);
  return true;
}

}  // namespace qx::test
