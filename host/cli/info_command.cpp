// `quelvix info`: what the plug-ins in a folder are and which filters they add.
#include <filesystem>
#include <iostream>
#include <string>

#include "host/cli/commands.h"
#include "host/cli/plugin_session.h"
#include "host/plugins/plugin_host.h"
#include "host/plugins/plugin_resources.h"

namespace qx::cli {

namespace {

void printVersion(std::ostream& out, const host::VersionRecord& version) {
  auto field = [&](const char* key) {
    auto it = version.strings.find(key);
    return it == version.strings.end() ? std::string() : it->second;
  };
  out << "  version " << version.fileVersion;
  if (std::string product = field("ProductName"); !product.empty()) out << ", " << product;
  if (std::string description = field("FileDescription"); !description.empty()) out << " (" << description << ")";
  out << '\n';
  if (std::string comments = field("Comments"); !comments.empty()) out << "  " << comments << '\n';
}

int runInfo(const std::string& folder) {
  PluginSession session(std::cout, std::cerr, "quelvix");
  if (int status = session.loadFolder(folder)) return status;

  host::PluginHost& plugins = session.plugins();
  for (host::LoadedPlugin* plugin : session.loaded()) {
    const host::PluginPropertyList* properties = plugins.propertyList(plugin);
    std::cout << std::filesystem::path(plugins.path(plugin)).filename().string() << " (" << plugins.path(plugin)
              << ")\n";
    std::cout << "  kind " << properties->kind << ", interface version " << properties->interfaceVersion
              << ", entry point " << properties->entryPoint << '\n';
    for (const auto& [file, verdict] : session.scanVerdicts())
      if (file == plugins.path(plugin)) std::cout << "  scan: passed" << (verdict.cached ? " (cached)" : "") << '\n';
    if (auto version = plugins.resources(plugin)->version()) printVersion(std::cout, *version);
    bool any = false;
    for (const host::RegisteredFilter& filter : plugins.filters()) {
      if (filter.plugin != plugin) continue;
      std::cout << "  filter: " << filter.category << " > " << filter.title << " (name \"" << filter.name << "\")\n";
      any = true;
    }
    if (!any) std::cout << "  no filter registered\n";
  }
  return session.finish();
}

}  // namespace

void addInfoCommand(CLI::App& app, int& status) {
  auto* command = app.add_subcommand("info", "List the plug-ins of a folder and the filters they register");
  auto folder = std::make_shared<std::string>();
  command->add_option("--plugins", *folder, "Folder of plug-ins (default: plugins beside the program)");
  command->callback([folder, &status] { status = runInfo(*folder); });
}

}  // namespace qx::cli
