// PNG and PDF output need the desktop app's painter. The app installs its
// writer here when it is built in (from addGuiCommand, before any parsing);
// without one `quelvix render` refuses those formats before anything runs.
#pragma once

#include <string>

#include "host/cli/render_request.h"

namespace qx::host {
class Document;
}

namespace qx::cli {

// Paint `document` into `path` as `format` (Png or Pdf), atomically. False and
// a one-line reason in *error.
using PaintedWriter = bool (*)(const host::Document& document, const std::string& path, OutputFormat format,
                               std::string* error);

void setPaintedWriter(PaintedWriter writer);
PaintedWriter paintedWriter();  // nullptr when none is installed

}  // namespace qx::cli
