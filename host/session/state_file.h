// The filter's kept settings on disk: the raw parameter block, nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qx::host {

// The size of the settings block a kept state file holds: the filter's
// record of 59 words of 32 bits. A file of another size is refused before
// the filter sees it, and a block of another size is never kept.
inline constexpr size_t kKeptBlockSize = 236;

enum class StateRead {
  Missing,  // no file there: start from the filter's defaults
  Loaded,   // *bytes holds the block
  Invalid   // unreadable or of the wrong size; *error says which
};

// Read the state at `path`. A file of any size other than `expectedSize` is
// Invalid and is left untouched.
StateRead readStateFile(const std::string& path, size_t expectedSize, std::vector<uint8_t>* bytes, std::string* error);

// Write the block atomically, creating the file's folder when needed. False
// and a one-line reason on failure; the old file is then unchanged.
bool writeStateFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);

}  // namespace qx::host
