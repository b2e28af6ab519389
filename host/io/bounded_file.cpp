#include "host/io/bounded_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace qx::host {

FileRead readBoundedFile(const std::string& path, size_t maxBytes, std::string* bytes, std::string* why) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::exists(status)) {
    *why = ec ? ec.message() : "no such file";
    return FileRead::Missing;
  }
  if (!fs::is_regular_file(status)) return FileRead::NotRegular;
  const uintmax_t size = fs::file_size(path, ec);
  if (!ec && size > maxBytes) return FileRead::TooLarge;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    *why = std::strerror(errno);
    return FileRead::Unreadable;
  }
  bytes->clear();
  if (!ec) bytes->reserve(static_cast<size_t>(size));
  char buffer[1 << 16];
  // The file may grow while it is read: the limit holds for what is read.
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
    if (bytes->size() + n > maxBytes) return FileRead::TooLarge;
    bytes->append(buffer, n);
  }
  if (std::ferror(file.get())) {
    *why = std::strerror(errno);
    return FileRead::Unreadable;
  }
  return FileRead::Ok;
}

}  // namespace qx::host
