// Runs a checked render request: builds the host around a new document, loads
// the plug-ins, drives the filter through its dialog and writes the result.
#pragma once

#include <iosfwd>

#include "host/cli/render_request.h"

namespace qx::cli {

// Answers an exit status of commands.h. Messages go to `err` as single lines
// starting with "quelvix render: "; the settings listing goes to `out`.
int runRender(const RenderRequest& request, std::ostream& out, std::ostream& err);

}  // namespace qx::cli
