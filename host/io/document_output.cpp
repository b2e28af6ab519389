#include "host/io/document_output.h"

#include <cctype>

#include "host/io/json_writer.h"
#include "host/io/svg_writer.h"

namespace qx::host {

std::optional<OutputFormat> outputFormatForPath(const std::string& path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "svg") return OutputFormat::Svg;
  if (ext == "json") return OutputFormat::Json;
  return std::nullopt;
}

bool saveDocument(const Document& document, const std::string& path, std::string* error) {
  const auto format = outputFormatForPath(path);
  if (!format) {
    if (error) *error = "cannot write '" + path + "': the file name must end in .svg or .json";
    return false;
  }
  return saveDocument(document, path, *format, error);
}

bool saveDocument(const Document& document, const std::string& path, OutputFormat format, std::string* error) {
  return format == OutputFormat::Svg ? saveSvg(document, path, error) : saveDocumentJson(document, path, error);
}

}  // namespace qx::host
