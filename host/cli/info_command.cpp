// `quelvix info`: what the plug-ins in a folder are and which filters they add.
#include <filesystem>
#include <iostream>
#include <string>

#include <string.h>

#include "host/cli/child_process.h"
#include "host/cli/commands.h"
#include "host/cli/render_request.h"
#include "host/cli/plugin_session.h"
#include "host/plugins/plugin_host.h"
#include "host/plugins/plugin_resources.h"
#include "host/session/filter_session.h"
#include "host/session/plugin_scan.h"

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

// Lists the plug-ins of `files` (or of `folder` when empty) loaded into this process.
int listLoaded(const std::string& folder, const std::vector<std::string>& files) {
  PluginSession session(std::cout, std::cerr, "quelvix");
  if (int status = files.empty() ? session.loadFolder(folder) : session.loadFiles(files)) return status;

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

// A library can pass its scan and still crash the process that loads it: a
// damaged relocation writes wherever the library lands, which differs from
// process to process. So each library is listed by a child of its own, and
// one that falls over there gets one line and is skipped.
int runInfo(const std::string& folder) {
  if (host::pluginScanProgram().empty()) return listLoaded(folder, {});
  const std::string dir = folder.empty() ? defaultPluginDir() : folder;
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) return listLoaded(dir, {});  // says why
  const std::vector<std::string> files = host::FilterSession::pluginFiles(dir);
  if (files.empty()) return listLoaded(dir, {});
  int status = kExitOk;
  bool listed = false;
  for (const std::string& file : files) {
    ChildProcess child;
    std::string error;
    if (!child.start({"info", "--plugins", dir, "--only", file}, &error)) {
      std::cerr << "quelvix: " << file << ": " << error << "; skipped\n";
      status = kExitFailure;
      continue;
    }
    while (child.read()) {
    }
    int signal = 0;
    const int exit = child.finish(&signal);
    if (exit < 0) {
      const char* name = ::strsignal(signal);
      const std::string reason = "crashed while loading (signal " + std::to_string(signal) +
                                 (name ? std::string(", ") + name : std::string()) + ")";
      std::cerr << "quelvix: " << file << ": " << reason << "; skipped\n";
      host::rememberFailure(file, reason);  // the next start skips it as well
      status = kExitFailure;
      continue;
    }
    // Its errors carry the program's prefix; the rest is the listing.
    for (const std::string& line : child.lines()) {
      if (line.rfind("quelvix: ", 0) == 0) std::cerr << line << '\n';
      else std::cout << line << '\n';
      listed = listed || (!line.empty() && line[0] != ' ' && line.rfind("quelvix: ", 0) != 0);
    }
    if (exit != kExitOk) status = kExitFailure;
  }
  std::cout << std::flush;
  return listed ? status : kExitFailure;
}

}  // namespace

void addInfoCommand(CLI::App& app, int& status) {
  auto* command = app.add_subcommand("info", "List the plug-ins of a folder and the filters they register");
  auto folder = std::make_shared<std::string>();
  auto only = std::make_shared<std::string>();
  command->add_option("--plugins", *folder, "Folder of plug-ins (default: plugins beside the program)");
  // The listing of one library, run by info itself in a child process.
  command->add_option("--only", *only)->group("");
  command->callback([folder, only, &status] {
    status = only->empty() ? runInfo(*folder) : listLoaded(*folder, {*only});
  });
}

}  // namespace qx::cli
