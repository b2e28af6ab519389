// The JSON form of a document (json_writer.h) read back into a document, so
// a drawing kept as JSON can be painted or converted again. What the form
// holds comes back exactly: page, seed, swatches, the current style's paint,
// and every object with its segments, paint, opacity and selection. What it
// does not hold (caps, joins, dashes, fill rules) takes the defaults.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "host/document/document.h"

namespace qx::host {

// The largest JSON file read: a JSON document takes several times its size
// in memory while it is read.
inline constexpr size_t kMaxJsonBytes = size_t{64} << 20;
// The deepest nesting of groups and compound paths taken.
inline constexpr int kMaxJsonArtDepth = 1000;

// The document of a JSON text; nullptr and "ORIGIN: where: reason" in *error
// (where is a path like art[3].children[0].segments) when the text is not
// JSON, not this form, or holds a value the document refuses.
std::unique_ptr<Document> parseDocumentJson(std::string_view text, const std::string& origin, std::string* error);
// The same for the file at `path` (a regular file of at most kMaxJsonBytes).
std::unique_ptr<Document> readDocumentJson(const std::string& path, std::string* error);

}  // namespace qx::host
