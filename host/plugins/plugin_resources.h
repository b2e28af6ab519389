// A plug-in's resources, read from its library file without loading it: the
// compiled resource file (.res format) kept in the ELF section ".qxres".
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/dialogs/dialog_template.h"

namespace qx::host {

// The property list: what kind of plug-in the file is and where its entry is.
struct PluginPropertyList {
  std::string kind;              // four characters, "SPEA" for suite-based plug-ins
  int32_t interfaceVersion = 0;  // "ivrs"
  std::string entryPoint;        // "wx86": the exported function's name
  std::vector<uint8_t> bytes;    // the resource exactly as stored
};

struct VersionRecord {
  std::string fileVersion;  // "1.0.0.0"
  std::string productVersion;
  std::map<std::string, std::string> strings;  // "Comments", "FileDescription", ...
};

class PluginResources {
 public:
  // The largest library file taken; a larger one is refused unread.
  static constexpr uint64_t kMaxLibraryBytes = uint64_t{256} << 20;
  // Read the resources of the library file at `path`, a regular file of at
  // most kMaxLibraryBytes, reading only the pieces the resources need.
  // nullopt and a one-line reason in *error when the file cannot be read, is
  // too large, is not an ELF library, has no resource section, or the section
  // is not a well-formed resource file.
  static std::optional<PluginResources> readFile(const std::string& path, std::string* error);
  // The same for a library file already in memory.
  static std::optional<PluginResources> readElfImage(const std::vector<uint8_t>& file, std::string* error);
  // Parse a .res image (for tests and other containers).
  static std::optional<PluginResources> parse(const std::vector<uint8_t>& res, std::string* error);

  // The property list "PIPL" 16000, parsed; nullopt when missing or malformed
  // (reason in *error).
  std::optional<PluginPropertyList> propertyList(std::string* error) const;
  // String number `id` of the string tables; nullopt when absent.
  std::optional<std::string> string(uint32_t id) const;
  // Dialog template `id`; nullopt when missing or malformed (reason in *error).
  std::optional<DialogTemplate> dialog(int32_t id, std::string* error = nullptr) const;
  // The version record, whatever its number; nullopt when missing or malformed.
  std::optional<VersionRecord> version(std::string* error = nullptr) const;
  // True when the group exists and every image it lists is there.
  bool hasIconGroup(int32_t id) const;
  bool hasCursorGroup(int32_t id) const;
  size_t size() const { return resources_.size(); }  // resources, the empty first entry not counted
  // Raw data of a resource by numeric type (e.g. 6 string table) or type name.
  std::optional<std::vector<uint8_t>> raw(uint16_t type, uint16_t id) const;
  std::optional<std::vector<uint8_t>> raw(const std::string& typeName, uint16_t id) const;

 private:
  struct Resource {
    std::string typeName;  // empty when the type is numeric
    uint16_t typeId = 0;
    std::string name;  // empty when the id is numeric
    uint16_t id = 0;
    std::vector<uint8_t> data;
  };
  std::vector<Resource> resources_;
};

}  // namespace qx::host
