// Runs a checked render request: builds the host around a new document, loads
// the plug-ins, drives the filter through its dialog and writes the result.
#pragma once

#include <iosfwd>
#include <string>

#include "host/cli/render_request.h"

namespace qx::cli {

// Answers an exit status of commands.h. Messages go to `err` as single lines
// starting with "quelvix: "; the settings listing goes to `out`.
int runRender(const RenderRequest& request, std::ostream& out, std::ostream& err);

// Whether two paths name one file: the same file when both exist (links and
// "./" count), else the same path once made absolute.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace qx::cli
