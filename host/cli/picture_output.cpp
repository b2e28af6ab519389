#include "host/cli/picture_output.h"

#if QX_HAVE_PAINT
#include "host/paint/contact_sheet_image.h"
#include "host/paint/offscreen_app.h"
#include "host/paint/pdf_picture.h"
#include "host/paint/png_picture.h"
#endif

namespace qx::cli {

#if QX_HAVE_PAINT

bool canPaint() { return true; }

host::WriteResult writePicture(const host::Document& document, const std::string& path, OutputFormat format,
                               const host::PaintOptions& options, std::string* error) {
  // Qt paints outside an app only with an application object of its own.
  paint::ensureOffscreenApplication();
  if (format == OutputFormat::Png) return paint::writePng(document, path, options, error);
  if (format == OutputFormat::Pdf) return paint::writePdf(document, path, options, error);
  *error = std::string(formatName(format)) + " is not a painted format";
  return host::WriteResult::Failed;
}

bool writeContactSheet(const host::ContactSheet& sheet, const std::string& path, std::string* error) {
  return paint::writeContactSheet(sheet, path, error);
}

#else

bool canPaint() { return false; }

host::WriteResult writePicture(const host::Document&, const std::string&, OutputFormat, const host::PaintOptions&,
                               std::string* error) {
  *error = "this build has no painter for PNG or PDF";
  return host::WriteResult::Failed;
}

bool writeContactSheet(const host::ContactSheet&, const std::string&, std::string* error) {
  *error = "this build has no painter for the contact sheet";
  return false;
}

#endif

}  // namespace qx::cli
