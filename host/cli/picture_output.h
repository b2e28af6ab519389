// PNG and PDF pictures and the contact sheet, painted by the painting layer
// when the build has it (Qt 6 Gui was found when configuring); a build
// without it refuses them.
#pragma once

#include <string>

#include "host/cli/render_request.h"
#include "host/io/write_result.h"
#include "host/session/contact_sheet.h"
#include "host/session/paint_options.h"

namespace qx::host {
class Document;
}

namespace qx::cli {

// Whether this build paints pictures.
bool canPaint();

// `document` painted into `path` as a PNG or PDF (`format`), atomically; a
// one-line reason in *error unless Written. Failed in a build that cannot
// paint, and for formats that are not painted.
host::WriteResult writePicture(const host::Document& document, const std::string& path, OutputFormat format,
                               const host::PaintOptions& options, std::string* error);

// The sheet painted and written to `path` as a PNG, atomically; false and a
// one-line reason in *error.
bool writeContactSheet(const host::ContactSheet& sheet, const std::string& path, std::string* error);

}  // namespace qx::cli
