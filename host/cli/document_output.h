// Writing a document in the format a file name asks for.
#pragma once

#include <string>

#include "host/cli/render_request.h"
#include "host/document/document.h"

namespace qx::cli {

// SVG and JSON here; PNG and PDF through the desktop app's painter, which
// only a build with the app has. Atomic; false and a one-line reason in
// *error.
bool writeDocumentAs(const host::Document& document, const std::string& path, OutputFormat format, std::string* error);
// The folder that will receive `path` exists (so no run is wasted on an
// output that cannot be written).
bool outputFolderExists(const std::string& path);
// Whether this build can write `format`.
bool canWrite(OutputFormat format);

}  // namespace qx::cli
