// The resource file format: after an empty 32-byte first entry, a run of
// entries, each a header (data size, header size, type and name as a number
// or a UTF-16 name, then data version, flags, language, version and
// characteristics) followed by the data, every entry on a 4-byte boundary.
#include "host/plugins/plugin_resources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/plugins/resource_formats.h"

namespace qx::host {

namespace {

constexpr uint16_t kTypeCursor = 1;
constexpr uint16_t kTypeIcon = 3;
constexpr uint16_t kTypeDialog = 5;
constexpr uint16_t kTypeString = 6;
constexpr uint16_t kTypeCursorGroup = 12;
constexpr uint16_t kTypeIconGroup = 14;
constexpr uint16_t kTypeVersion = 16;
constexpr uint16_t kPropertyListId = 16000;
constexpr size_t kFirstEntrySize = 32;
constexpr size_t kEntryFixedTail = 16;  // data version .. characteristics
constexpr const char* kResourceSection = ".qxres";

}  // namespace

std::optional<PluginResources> PluginResources::readFile(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = reason;
    return std::nullopt;
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(std::string("cannot open: ") + std::strerror(errno));
  const struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) return fail(std::string("cannot read: ") + std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return fail("cannot read: not a regular file");
  if (static_cast<uint64_t>(st.st_size) > kMaxLibraryBytes)
    return fail("larger than a plug-in library may be (" + std::to_string(kMaxLibraryBytes >> 20) + " MiB)");
  // Only the ELF header, the section tables and the resource section are
  // read, so memory stays small whatever the file holds.
  const resfmt::ImageReader image{static_cast<uint64_t>(st.st_size), [fd](uint64_t offset, size_t count, uint8_t* out) {
                                    while (count > 0) {
                                      const ssize_t n = ::pread(fd, out, count, static_cast<off_t>(offset));
                                      if (n < 0 && errno == EINTR) continue;
                                      if (n <= 0) return false;
                                      out += n;
                                      offset += static_cast<uint64_t>(n);
                                      count -= static_cast<size_t>(n);
                                    }
                                    return true;
                                  }};
  const std::optional<std::vector<uint8_t>> section = resfmt::elfSection(image, kResourceSection, error);
  if (!section) return std::nullopt;
  return parse(*section, error);
}

std::optional<PluginResources> PluginResources::readElfImage(const std::vector<uint8_t>& file, std::string* error) {
  const std::optional<std::vector<uint8_t>> section = resfmt::elfSection(file, kResourceSection, error);
  if (!section) return std::nullopt;
  return parse(*section, error);
}

std::optional<PluginResources> PluginResources::parse(const std::vector<uint8_t>& res, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = "resources: " + reason;
    return std::nullopt;
  };
  // The empty first entry marks the format: no data, a 32-byte header, type
  // and name both the number 0.
  {
    resfmt::Cursor c(res.data(), res.size());
    const uint32_t dataSize = c.u32(), headerSize = c.u32();
    const uint32_t type = c.u32(), name = c.u32();
    if (!c.ok() || dataSize != 0 || headerSize != kFirstEntrySize || type != 0xFFFF || name != 0xFFFF)
      return fail("not a resource file");
  }

  PluginResources resources;
  size_t at = kFirstEntrySize;
  while (at < res.size()) {
    const std::string where = "entry at byte " + std::to_string(at);
    resfmt::Cursor c(res.data(), res.size(), at);
    const uint32_t dataSize = c.u32();
    const uint32_t headerSize = c.u32();
    if (!c.ok()) return fail(where + " is cut off");
    if (headerSize < 8 + 8 + kEntryFixedTail || headerSize > res.size() - at)
      return fail(where + " has a bad header size " + std::to_string(headerSize));
    if (dataSize > res.size() - at - headerSize)
      return fail(where + " claims " + std::to_string(dataSize) + " bytes of data beyond the end");

    resfmt::Cursor header(res.data(), at + headerSize, c.pos());
    const resfmt::NameOrId type = resfmt::readNameOrId(header);
    const resfmt::NameOrId name = resfmt::readNameOrId(header);
    header.alignTo4(at);
    header.skip(kEntryFixedTail);
    if (!header.ok()) return fail(where + " has a malformed header");

    Resource resource;
    resource.typeId = type.isId ? type.id : 0;
    resource.typeName = type.isId ? std::string() : type.name;
    resource.id = name.isId ? name.id : 0;
    resource.name = name.isId ? std::string() : name.name;
    const size_t dataStart = at + headerSize;
    resource.data.assign(res.begin() + static_cast<ptrdiff_t>(dataStart),
                         res.begin() + static_cast<ptrdiff_t>(dataStart + dataSize));
    resources.resources_.push_back(std::move(resource));

    const size_t end = dataStart + dataSize;
    at = end + (4 - end % 4) % 4;
  }
  return resources;
}

std::optional<std::vector<uint8_t>> PluginResources::raw(uint16_t type, uint16_t id) const {
  for (const Resource& r : resources_)
    if (r.typeName.empty() && r.typeId == type && r.name.empty() && r.id == id) return r.data;
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> PluginResources::raw(const std::string& typeName, uint16_t id) const {
  for (const Resource& r : resources_)
    if (!r.typeName.empty() && r.typeName == typeName && r.name.empty() && r.id == id) return r.data;
  return std::nullopt;
}

std::optional<PluginPropertyList> PluginResources::propertyList(std::string* error) const {
  const std::optional<std::vector<uint8_t>> data = raw("PIPL", kPropertyListId);
  if (!data) {
    if (error) *error = "no property list (PIPL " + std::to_string(kPropertyListId) + ")";
    return std::nullopt;
  }
  return resfmt::parsePropertyList(*data, error);
}

std::optional<std::string> PluginResources::string(uint32_t id) const {
  // Strings come in blocks of 16: block n + 1 holds strings 16n to 16n + 15,
  // each a 16-bit length and that many UTF-16 units.
  if (id > 0xFFFF) return std::nullopt;
  const std::optional<std::vector<uint8_t>> block = raw(kTypeString, static_cast<uint16_t>((id >> 4) + 1));
  if (!block) return std::nullopt;
  resfmt::Cursor c(block->data(), block->size());
  std::string text;
  for (uint32_t i = 0; i <= (id & 15); ++i) {
    const uint16_t length = c.u16();
    text = c.utf16(length);
  }
  if (!c.ok() || text.empty()) return std::nullopt;
  return text;
}

std::optional<DialogTemplate> PluginResources::dialog(int32_t id, std::string* error) const {
  if (id < 0 || id > 0xFFFF) return std::nullopt;
  const std::optional<std::vector<uint8_t>> data = raw(kTypeDialog, static_cast<uint16_t>(id));
  if (!data) {
    if (error) *error = "no dialog " + std::to_string(id);
    return std::nullopt;
  }
  return resfmt::parseDialogTemplate(*data, id, error);
}

std::optional<VersionRecord> PluginResources::version(std::string* error) const {
  for (const Resource& r : resources_)
    if (r.typeName.empty() && r.typeId == kTypeVersion) return resfmt::parseVersionRecord(r.data, error);
  if (error) *error = "no version record";
  return std::nullopt;
}

namespace {

// A group lists its images by number, 14 bytes each after a 6-byte header;
// the number is the last 16 bits of an entry.
bool groupIsComplete(const PluginResources& resources, const std::vector<uint8_t>& group, uint16_t groupType,
                     uint16_t imageType) {
  resfmt::Cursor c(group.data(), group.size());
  const uint16_t reserved = c.u16(), type = c.u16(), count = c.u16();
  if (!c.ok() || reserved != 0 || type != groupType || count == 0) return false;
  for (uint16_t i = 0; i < count; ++i) {
    c.skip(12);
    const uint16_t image = c.u16();
    if (!c.ok() || !resources.raw(imageType, image)) return false;
  }
  return true;
}

}  // namespace

bool PluginResources::hasIconGroup(int32_t id) const {
  if (id < 0 || id > 0xFFFF) return false;
  const std::optional<std::vector<uint8_t>> group = raw(kTypeIconGroup, static_cast<uint16_t>(id));
  return group && groupIsComplete(*this, *group, 1, kTypeIcon);
}

bool PluginResources::hasCursorGroup(int32_t id) const {
  if (id < 0 || id > 0xFFFF) return false;
  const std::optional<std::vector<uint8_t>> group = raw(kTypeCursorGroup, static_cast<uint16_t>(id));
  return group && groupIsComplete(*this, *group, 2, kTypeCursor);
}

}  // namespace qx::host
