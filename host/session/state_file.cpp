#include "host/session/state_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "host/io/atomic_file.h"

namespace qx::host {

StateRead readStateFile(const std::string& path, size_t expectedSize, std::vector<uint8_t>* bytes, std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec && ec != std::errc::no_such_file_or_directory) {
    *error = "cannot read the state file " + path + ": " + ec.message();
    return StateRead::Invalid;
  }
  if (!fs::exists(status)) return StateRead::Missing;
  if (!fs::is_regular_file(status)) {
    *error = "the state file " + path + " is not a regular file";
    return StateRead::Invalid;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read the state file " + path + ": " + std::strerror(errno);
    return StateRead::Invalid;
  }
  // Read one byte more than expected so that a longer file shows up.
  std::vector<uint8_t> data(expectedSize + 1);
  in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (in.bad()) {
    *error = "cannot read the state file " + path;
    return StateRead::Invalid;
  }
  const size_t got = static_cast<size_t>(in.gcount());
  if (got != expectedSize) {
    *error = "the state file " + path + " holds " +
             (got > expectedSize ? "more than " + std::to_string(expectedSize) : std::to_string(got)) +
             " bytes, not the " + std::to_string(expectedSize) +
             " of the filter's settings; remove it or run with --fresh";
    return StateRead::Invalid;
  }
  data.resize(expectedSize);
  *bytes = std::move(data);
  return StateRead::Loaded;
}

bool writeStateFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
  namespace fs = std::filesystem;
  const fs::path parent = fs::path(path).parent_path();
  if (!parent.empty()) {
    std::error_code ec;
    fs::create_directories(parent, ec);
    if (ec) {
      *error = "cannot create the folder " + parent.string() + " for the state file: " + ec.message();
      return false;
    }
  }
  std::string why;
  if (!writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &why)) {
    *error = "cannot write the state file: " + why;
    return false;
  }
  return true;
}

}  // namespace qx::host
