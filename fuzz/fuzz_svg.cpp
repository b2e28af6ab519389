// The SVG reader on any text, the import of what it reads into a document,
// and the painter drawing that document 64 pixels wide, as an export or the
// window would, on Qt's off-screen platform.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include <QGuiApplication>
#include <QImage>

#include "host/io/svg_read/svg_import.h"
#include "host/io/svg_read/svg_reader.h"
#include "host/paint/png_picture.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Lives for the whole run; fonts and the platform are loaded once.
  new QGuiApplication(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Far below the reader's defaults, so one input stays small in memory and
  // time, and still well above what the fuzzer's inputs reach.
  qx::host::SvgReadLimits limits;
  limits.maxFileBytes = size_t{1} << 20;
  limits.maxNodes = 20'000;
  limits.maxSegments = 200'000;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const qx::host::SvgReadResult read = qx::host::readSvgText(text, "fuzz.svg", limits);
  if (!read.scene) {
    if (read.error.empty()) __builtin_trap();  // a refusal always says why
    return 0;
  }
  std::string error;
  const std::unique_ptr<qx::host::Document> document = qx::host::documentFromScene(*read.scene, &error);
  if (!document) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  qx::host::PaintOptions options;
  options.width = 64;
  qx::paint::paintedImage(*document, options);
  options.area = qx::host::PaintedArea::Page;
  options.transparent = true;
  qx::paint::paintedImage(*document, options);
  return 0;
}
