// Saving a document in the form its file name asks for.
#pragma once

#include <optional>
#include <string>

namespace qx::host {

class Document;

enum class OutputFormat { Svg, Json };

// The format named by the path's extension (".svg" or ".json", any letter
// case); nullopt for anything else.
std::optional<OutputFormat> outputFormatForPath(const std::string& path);

// Write the document to `path` atomically in that format. False and a
// one-line reason in *error, also for an extension that names no format.
bool saveDocument(const Document& document, const std::string& path, std::string* error);
bool saveDocument(const Document& document, const std::string& path, OutputFormat format, std::string* error);

}  // namespace qx::host
