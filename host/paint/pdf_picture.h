// PDF pictures of a document, painted through Qt's PDF writer by the
// reference painter, so the art stays vector. The one way PDF files are
// made: a writer of its own would take its place here.
#pragma once

#include <string>

#include "host/io/write_result.h"
#include "host/session/paint_options.h"

namespace qx::host {
class Document;
}

namespace qx::paint {

// The PDF shows the area of `options` (its size is the area's in points)
// with the art alone on the page; the seed goes into its title and XMP
// metadata. Written atomically; Failed and a one-line reason in *error when
// it cannot be made or written (it is never Refused).
host::WriteResult writePdf(const host::Document& document, const std::string& path, const host::PaintOptions& options,
                           std::string* error);

}  // namespace qx::paint
