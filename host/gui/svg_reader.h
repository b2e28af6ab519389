// Reads the SVG files this host writes back into a document: the page from
// the outline rectangle, the seed from the metadata, every path with its
// paint, compound paths (several subpaths in one path) and groups with their
// opacity. Colours come back as RGB, the way they were written. Files from
// other programs are refused with a reason unless they keep to that form.
#pragma once

#include <memory>
#include <string>

namespace qx::host {
class Document;
}

namespace qx::gui {

// The document, or nullptr and a one-line reason in *error.
std::unique_ptr<host::Document> readQuelvixSvg(const std::string& path, std::string* error);
std::unique_ptr<host::Document> parseQuelvixSvg(const std::string& text, std::string* error);

}  // namespace qx::gui
