// `quelvix export IN -o OUT`: an SVG file, from any program, read into a
// document and written as SVG, JSON, PNG or PDF.
#include <iostream>
#include <memory>

#include "host/cli/commands.h"
#include "host/cli/document_output.h"
#include "host/cli/render_request.h"
#include "host/io/document_input.h"

namespace qx::cli {
namespace {

struct ExportOptions {
  std::string input, output, format;
  PaintOptionText paint;
};

int fail(int status, const std::string& message) {
  std::cerr << "quelvix: " << message << '\n';
  return status;
}

int runExport(const ExportOptions& o) {
  std::string why;
  OutputFormat format = OutputFormat::Svg;
  if (!resolveOutput(o.output, o.format, &format, &why)) return fail(kExitUsage, why);
  // A bad option is named first, as render does, also where no painter is.
  host::PaintOptions paint;
  if (!parsePaintOptions(o.paint, format, &paint, &why)) return fail(kExitUsage, why);
  if (!canWrite(format))
    return fail(kExitUsage,
                std::string(formatName(format)) + " output needs the painter (Qt 6 Gui), which this build lacks");
  if (!outputFolderExists(o.output)) return fail(kExitUsage, "-o " + o.output + ": the folder does not exist");

  std::vector<std::string> warnings;
  std::unique_ptr<host::Document> document = host::readDocumentFile(o.input, &why, &warnings);
  if (!document) return fail(kExitUsage, why);
  for (const std::string& warning : warnings) std::cerr << "quelvix: warning: " << warning << '\n';
  switch (writeDocumentAs(*document, o.output, format, paint, &why)) {
    case WriteResult::Written: break;
    case WriteResult::Refused: return fail(kExitUsage, "-o " + o.output + ": " + why);
    case WriteResult::Failed: return fail(kExitFailure, "cannot write " + o.output + ": " + why);
  }
  return kExitOk;
}

}  // namespace

void addExportCommand(CLI::App& app, int& status) {
  auto options = std::make_shared<ExportOptions>();
  CLI::App* command =
      app.add_subcommand("export",
                         "Read an SVG file (from Quelvix or any other program) and write it as SVG, JSON, PNG or PDF");
  command->add_option("input", options->input, "The SVG file to read")->required();
  command
      ->add_option("-o,--output", options->output,
                   "The file to write; the format follows its extension (- for standard output)")
      ->required();
  command->add_option("--format", options->format, "With -o -: svg (default) or json");
  addPaintOptions(*command, options->paint);
  command->callback([options, &status] { status = runExport(*options); });
}

}  // namespace qx::cli
