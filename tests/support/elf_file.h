// Reading and patching library files in tests: the names a library exports,
// and where one of its sections lies in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qx::test {

std::vector<uint8_t> readBytes(const std::string& path);
bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Names of the defined symbols of the dynamic symbol table (what the library
// exports); nullopt when the file is not a 64-bit ELF file.
std::optional<std::vector<std::string>> exportedSymbols(const std::vector<uint8_t>& elf);

struct FileRange {
  size_t offset = 0;
  size_t size = 0;
};
// Where section `name` lies in the file; nullopt when there is none.
std::optional<FileRange> sectionRange(const std::vector<uint8_t>& elf, const std::string& name);

// Replace the first `from` inside `range` by `to` (same length); false when
// it does not occur there.
bool patchInRange(std::vector<uint8_t>& bytes, FileRange range, const std::vector<uint8_t>& from,
                  const std::vector<uint8_t>& to);

}  // namespace qx::test
