// The plug-in resource reader on hostile bytes. The first byte chooses what
// the rest is: a library file (ELF), a bare resource file, or one record
// (property list, dialog template, version record) parsed on its own. Every
// query a host makes of accepted resources is then asked.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/plugins/plugin_resources.h"
#include "host/plugins/resource_formats.h"

using qx::host::PluginResources;
namespace resfmt = qx::host::resfmt;

namespace {

void query(const PluginResources& resources) {
  std::string error;
  resources.propertyList(&error);
  for (uint32_t id = 16000; id < 16064; ++id) resources.string(id);
  for (int32_t id : {16050, 16051, 16100}) resources.dialog(id, &error);
  resources.version(&error);
  resources.hasIconGroup(16051);
  resources.hasCursorGroup(16000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::vector<uint8_t> bytes(data + 1, data + size);
  std::string error;
  switch (data[0] % 5) {
    case 0:
      if (auto resources = PluginResources::readElfImage(bytes, &error)) query(*resources);
      break;
    case 1:
      if (auto resources = PluginResources::parse(bytes, &error)) query(*resources);
      break;
    case 2: resfmt::parsePropertyList(bytes, &error); break;
    case 3: resfmt::parseDialogTemplate(bytes, 16100, &error); break;
    default: resfmt::parseVersionRecord(bytes, &error); break;
  }
  return 0;
}
