// The subcommands of `quelvix`. Each adds itself to the app; its callback
// writes the process's exit status to `status`.
#pragma once

#include <CLI/CLI.hpp>

namespace qx::cli {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;    // a run or a file operation failed
inline constexpr int kExitUsage = 2;      // a bad command line or input; nothing was written
inline constexpr int kExitCancelled = 3;  // the user cancelled the filter (STOP)

void addInfoCommand(CLI::App& app, int& status);
void addAboutCommand(CLI::App& app, int& status);
void addRenderCommand(CLI::App& app, int& status);
void addExportCommand(CLI::App& app, int& status);
void addPlotCommand(CLI::App& app, int& status);
void addGuiCommand(CLI::App& app, int& status);
void addValidateCommand(CLI::App& app, int& status);
// `scan-plugin FILE`: the hidden scan mode the host runs in a child process.
void addScanCommand(CLI::App& app, int& status);  // also runs when no subcommand is given and a display exists

// True when `quelvix` without arguments should open the desktop app.
// "quelvix VERSION" and a line per plug-in of the default folder.
std::string versionText();

bool guiAvailable();
int runGuiDefault(int argc, char** argv);

// The one line for an argument `command` has no place for: an option it
// does not have, named with the options it has, or a stray word.
std::string unexpectedArgument(const CLI::App& command, const std::string& argument);

}  // namespace qx::cli
