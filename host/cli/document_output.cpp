#include "host/cli/document_output.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <iostream>

#include "host/cli/picture_output.h"
#include "host/io/json/json_writer.h"
#include "host/io/svg_write/svg_writer.h"

namespace qx::cli {

namespace {

// SVG or JSON streamed to standard output; a stream cannot be replaced
// whole, so a failed write may leave part of the text behind.
WriteResult writeToStandardOutput(const host::Document& document, OutputFormat format, std::string* error) {
  if (format != OutputFormat::Svg && format != OutputFormat::Json) {
    *error = std::string("standard output takes SVG or JSON, not ") + formatName(format);
    return WriteResult::Refused;
  }
  bool ok = false;
  {
    host::TextSink sink(std::cout);
    if (format == OutputFormat::Svg) host::writeSvg(document, sink);
    else host::writeDocumentJson(document, sink);
    ok = sink.flush();
  }
  if (!ok || !std::cout.flush()) {
    *error = "standard output refused the text";
    return WriteResult::Failed;
  }
  return WriteResult::Written;
}

}  // namespace

bool outputFolderExists(const std::string& path) {
  if (path == kStandardOutput) return true;
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (parent.empty()) parent = ".";
  std::error_code ec;
  return std::filesystem::is_directory(parent, ec);
}

bool canWrite(OutputFormat format) { return format == OutputFormat::Svg || format == OutputFormat::Json || canPaint(); }

WriteResult writeDocumentAs(const host::Document& document, const std::string& path, OutputFormat format,
                            const host::PaintOptions& paint, std::string* error) {
  auto written = [](bool ok) { return ok ? WriteResult::Written : WriteResult::Failed; };
  if (path == kStandardOutput) return writeToStandardOutput(document, format, error);
  switch (format) {
    case OutputFormat::Svg: return written(host::saveSvg(document, path, error));
    case OutputFormat::Json: return written(host::saveDocumentJson(document, path, error));
    case OutputFormat::Png:
    case OutputFormat::Pdf: return writePicture(document, path, format, paint, error);
  }
  return WriteResult::Failed;
}

void addPaintOptions(CLI::App& command, PaintOptionText& text) {
  auto keep = [](std::string& value, bool& given) {
    return [&value, &given](const std::string& v) {
      value = v;
      given = true;
    };
  };
  auto* width =
      command.add_option_function<std::string>("--width", keep(text.width, text.widthGiven),
                                               "PNG width in pixels (1-65535); the height follows the area's aspect");
  auto* height =
      command.add_option_function<std::string>("--height", keep(text.height, text.heightGiven),
                                               "PNG height in pixels (1-65535); the width follows the area's aspect");
  auto* dpi = command.add_option_function<std::string>("--dpi", keep(text.dpi, text.dpiGiven),
                                                       "PNG resolution in pixels per inch (default 150)");
  width->excludes(height)->excludes(dpi);
  height->excludes(dpi);
  command.add_option_function<std::string>("--area", keep(text.area, text.areaGiven),
                                           "What a PNG or PDF shows: art (the page and all art, default) or page");
  command.add_option_function<std::string>("--background", keep(text.background, text.backgroundGiven),
                                           "The ground of a PNG or PDF: white (default) or transparent");
}

bool resolveOutput(const std::string& path, const std::string& formatText, OutputFormat* format, std::string* error) {
  if (path == kStandardOutput) {
    if (formatText.empty() || formatText == "svg") *format = OutputFormat::Svg;
    else if (formatText == "json") *format = OutputFormat::Json;
    else {
      *error = "--format " + formatText + ": standard output takes svg or json";
      return false;
    }
    return true;
  }
  if (!formatText.empty()) {
    *error = "--format is for -o - (standard output); a file's format follows its extension";
    return false;
  }
  auto byName = formatFromPath(path);
  if (!byName) {
    *error = "-o " + path + ": the extension must be .svg, .json, .png or .pdf (or -o - for standard output)";
    return false;
  }
  *format = *byName;
  return true;
}

bool parsePaintOptions(const PaintOptionText& text, OutputFormat format, host::PaintOptions* options,
                       std::string* error) {
  const bool painted = format == OutputFormat::Png || format == OutputFormat::Pdf;
  const struct {
    bool given;
    const char* name;
    bool sized;  // a size in pixels, for PNG alone
  } given[] = {{text.widthGiven, "--width", true},
               {text.heightGiven, "--height", true},
               {text.dpiGiven, "--dpi", true},
               {text.areaGiven, "--area", false},
               {text.backgroundGiven, "--background", false}};
  for (const auto& option : given) {
    if (!option.given) continue;
    if (!painted) {
      *error = std::string(option.name) + ": only PNG and PDF output is painted, not " + formatName(format);
      return false;
    }
    if (option.sized && format != OutputFormat::Png) {
      *error = std::string(option.name) + ": only a PNG has a size in pixels; a PDF takes the area's size in points";
      return false;
    }
  }
  host::PaintOptions o;
  auto side = [&](const std::string& value, const char* name, int* out) {
    auto n = parseCount(value, 1, 65535);
    if (!n) {
      *error = std::string(name) + " " + value + ": expected a whole number of pixels from 1 to 65535";
      return false;
    }
    *out = static_cast<int>(*n);
    return true;
  };
  if (text.widthGiven && !side(text.width, "--width", &o.width)) return false;
  if (text.heightGiven && !side(text.height, "--height", &o.height)) return false;
  if (text.dpiGiven) {
    double v = 0;
    const char* end = text.dpi.data() + text.dpi.size();
    auto [stop, ec] = std::from_chars(text.dpi.data(), end, v);
    if (text.dpi.empty() || ec != std::errc() || stop != end || !std::isfinite(v) || !(v > 0)) {
      *error = "--dpi " + text.dpi + ": expected pixels per inch, a number above 0";
      return false;
    }
    o.dpi = v;
  }
  if (text.areaGiven) {
    if (text.area == "art") o.area = host::PaintedArea::Art;
    else if (text.area == "page") o.area = host::PaintedArea::Page;
    else {
      *error = "--area " + text.area + ": expected art (the page and all art) or page";
      return false;
    }
  }
  if (text.backgroundGiven) {
    if (text.background == "white") o.transparent = false;
    else if (text.background == "transparent") o.transparent = true;
    else {
      *error = "--background " + text.background + ": expected white or transparent";
      return false;
    }
  }
  *options = o;
  return true;
}

}  // namespace qx::cli
