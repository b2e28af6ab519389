#include <string>

#include "host/cli/commands.h"

namespace qx::cli {

std::string unexpectedArgument(const CLI::App& command, const std::string& argument) {
  const std::string name = command.get_parent() ? command.get_name() : "quelvix";
  if (argument.empty() || argument[0] != '-' || argument == "-")
    return "quelvix: " + name + " takes no argument \"" + argument + "\"";
  std::string option = argument.substr(0, argument.find('='));
  std::string options;
  for (const CLI::Option* o : command.get_options()) {
    // Positional arguments and the hidden options a batch hands its drawings are not listed.
    if (!o->nonpositional() || o->get_group().empty()) continue;
    std::string shown = o->get_name(false, true);
    for (char& c : shown)
      if (c == ',') c = '/';
    options += (options.empty() ? "" : ", ") + shown;
  }
  if (!command.get_parent()) return "quelvix: unknown option " + option + "; the options are " + options;
  return "quelvix: " + name + " has no option " + option + "; its options are " + options;
}

}  // namespace qx::cli
