#include "host/session/document_commands.h"

#include <vector>

#include "host/document/document.h"
#include "host/io/document_input.h"
#include "host/io/json/json_writer.h"
#include "host/io/palette_reader.h"
#include "host/io/svg_write/svg_writer.h"
#include "host/session/app_session.h"
#include "host/session/state_file.h"

namespace qx::host {

std::unique_ptr<Document> newPageDocument(double width, double height) {
  auto document = std::make_unique<Document>();
  if (document->setPageSize(static_cast<QxReal>(width), static_cast<QxReal>(height)) != QX_ERR_NONE) return nullptr;
  return document;
}

bool importDrawing(AppSession& session, const std::string& path, size_t* copied, std::string* error) {
  auto other = readDocumentFile(path, error);
  return other && session.importArt(*other, copied, error);
}

bool saveDrawing(const Document& document, const std::string& path, DrawingFormat format, std::string* error) {
  return format == DrawingFormat::Svg ? saveSvg(document, path, error) : saveDocumentJson(document, path, error);
}

bool loadPalette(AppSession& session, const std::string& path, size_t* colours, std::string* error) {
  auto palette = readPaletteFile(path, error);
  if (!palette) return false;
  session.setSwatches(paletteSwatches(*palette), "Load Palette");
  *colours = palette->size();
  return true;
}

bool saveSettingsFile(AppSession& session, const std::string& path, std::string* error) {
  const std::vector<uint8_t> block = session.filterSettings();
  if (block.size() != kKeptBlockSize) {
    *error = "the filter has no settings to keep";
    return false;
  }
  return writeStateFile(path, block, error);
}

bool loadSettingsFile(AppSession& session, const std::string& path, std::string* error) {
  std::vector<uint8_t> block;
  const StateRead read = readStateFile(path, kKeptBlockSize, &block, error);
  if (read == StateRead::Missing) *error = "no such file";
  return read == StateRead::Loaded && session.setFilterSettings(block, error);
}

}  // namespace qx::host
