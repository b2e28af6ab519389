// Reading an input file whole with a stated size limit: only regular files
// (a folder, a device or a pipe is refused before any byte is read), and a
// file over the limit is refused without reading past it.
#pragma once

#include <cstddef>
#include <string>

namespace qx::host {

enum class FileRead {
  Ok,
  Missing,     // nothing there (or its status cannot be read)
  NotRegular,  // a folder, device, pipe...
  TooLarge,    // more than the limit
  Unreadable,  // it cannot be opened or a read failed
};

// Read the file at `path` into *bytes. On Missing and Unreadable, *why holds
// the system's reason ("no such file" when there is none).
FileRead readBoundedFile(const std::string& path, size_t maxBytes, std::string* bytes, std::string* why);

}  // namespace qx::host
