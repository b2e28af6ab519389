// Writing a document in the format a file name asks for, and the options
// that say how a painted picture (PNG, PDF) looks.
#pragma once

#include <string>

#include "host/cli/render_request.h"
#include "host/document/document.h"
#include "host/io/write_result.h"
#include "host/session/paint_options.h"

namespace CLI {
class App;
}

namespace qx::cli {

using host::WriteResult;

// SVG and JSON here; PNG and PDF through the painting layer, which only a
// build with Qt 6 Gui has (picture_output.h). Atomic; a one-line reason in *error unless
// Written. `paint` only matters for PNG and PDF. The path kStandardOutput
// streams SVG or JSON to standard output (PNG and PDF are Refused).
WriteResult writeDocumentAs(const host::Document& document, const std::string& path, OutputFormat format,
                            const host::PaintOptions& paint, std::string* error);
// The folder that will receive `path` exists (so no run is wasted on an
// output that cannot be written).
bool outputFolderExists(const std::string& path);
// Whether this build can write `format`.
bool canWrite(OutputFormat format);

// The format of `-o path` with `--format formatText` (empty when not given):
// standard output (`-o -`) takes svg (the default) or json; a file's format
// follows its extension and takes no --format. False and a one-line message.
bool resolveOutput(const std::string& path, const std::string& formatText, OutputFormat* format, std::string* error);

// --width, --height, --dpi, --area and --background as given (render and
// export take the same ones).
struct PaintOptionText {
  std::string width, height, dpi, area, background;
  bool widthGiven = false, heightGiven = false, dpiGiven = false, areaGiven = false, backgroundGiven = false;
};
void addPaintOptions(CLI::App& command, PaintOptionText& text);
// The options checked against each other and the output's format: a size
// only for PNG, an area or ground only for PNG and PDF. False and a one-line
// message naming the option in *error.
bool parsePaintOptions(const PaintOptionText& text, OutputFormat format, host::PaintOptions* options,
                       std::string* error);

}  // namespace qx::cli
