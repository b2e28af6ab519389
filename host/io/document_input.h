// Opening a drawing whatever its form: a .json file is read as the
// document's JSON form, anything else as SVG.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/document/document.h"

namespace qx::host {

// nullptr and a one-line reason in *error when the file cannot be read or
// is not a drawing; the reader's warnings go to *warnings when given.
std::unique_ptr<Document> readDocumentFile(const std::string& path, std::string* error,
                                           std::vector<std::string>* warnings = nullptr);

}  // namespace qx::host
