#include "host/cli/document_output.h"

#include <filesystem>

#include "host/io/json_writer.h"
#include "host/io/svg_writer.h"
#include "host/session/desktop_entry.h"

namespace qx::cli {

bool outputFolderExists(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (parent.empty()) parent = ".";
  std::error_code ec;
  return std::filesystem::is_directory(parent, ec);
}

bool canWrite(OutputFormat format) {
  return format == OutputFormat::Svg || format == OutputFormat::Json || host::desktopEntry().writePainted;
}

bool writeDocumentAs(const host::Document& document, const std::string& path, OutputFormat format, std::string* error) {
  const host::DesktopEntry& app = host::desktopEntry();
  switch (format) {
    case OutputFormat::Svg: return host::saveSvg(document, path, error);
    case OutputFormat::Json: return host::saveDocumentJson(document, path, error);
    case OutputFormat::Png:
    case OutputFormat::Pdf:
      if (!app.writePainted) {
        *error = "this build has no painter for PNG or PDF";
        return false;
      }
      return app.writePainted(document, path,
                              format == OutputFormat::Png ? host::PaintedFormat::Png : host::PaintedFormat::Pdf, error);
  }
  return false;
}

}  // namespace qx::cli
