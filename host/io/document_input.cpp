#include "host/io/document_input.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "host/io/json/json_reader.h"
#include "host/io/svg_read/svg_import.h"

namespace qx::host {

std::unique_ptr<Document> readDocumentFile(const std::string& path, std::string* error,
                                           std::vector<std::string>* warnings) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == ".json") return readDocumentJson(path, error);
  return readSvgDocument(path, error, warnings);
}

}  // namespace qx::host
