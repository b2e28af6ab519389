// The desktop app as the command line reaches it: a few entry points that
// the program's main() installs when the app is built in. The command line
// never includes the app; without an entry it says the app is missing.
#pragma once

#include <string>

#include "host/session/contact_sheet.h"

namespace qx::host {

class Document;

enum class PaintedFormat { Png, Pdf };

// What a painted picture shows and how large it is. The size applies to PNG
// alone (a PDF is measured in points); the area and the ground to both.
enum class PaintedArea {
  Art,   // the SVG output's view box: the page and all art with its strokes
  Page,  // the page rectangle alone
};
inline constexpr double kDefaultPaintedDpi = 150;
struct PaintOptions {
  // One of the three sets the size, the aspect ratio of the area is kept: a
  // width or height in pixels when not 0, else the resolution.
  double dpi = kDefaultPaintedDpi;
  int width = 0;
  int height = 0;
  PaintedArea area = PaintedArea::Art;
  bool transparent = false;  // no white ground and no white page, only the art and the page outline
};

enum class PaintedWrite {
  Written,
  Refused,  // the picture may not be made (too large); nothing was written
  Failed,   // painting or writing failed; the target is as it was
};

struct DesktopLaunch {
  std::string pluginDir;
  std::string openPath;   // a drawing to open at once; empty for a new document
  std::string statePath;  // the kept settings; empty keeps none
  bool fresh = false;     // start from the defaults (the file is still written after a run)
};

struct DesktopEntry {
  // A window system is there to show windows on.
  bool (*displayAvailable)() = nullptr;
  // Runs the app until its window closes; answers 0 on a normal quit.
  int (*run)(int argc, char** argv, const DesktopLaunch& launch) = nullptr;
  // Paint `document` into `path` as PNG or PDF, atomically; a one-line
  // reason in *error unless Written.
  PaintedWrite (*writePainted)(const Document& document, const std::string& path, PaintedFormat format,
                               const PaintOptions& options, std::string* error) = nullptr;
  // Paint `sheet` (the layout of contact_sheet.h) and write it to `path` as
  // a PNG, atomically; false and a one-line reason in *error.
  bool (*writeContactSheet)(const ContactSheet& sheet, const std::string& path, std::string* error) = nullptr;
};

// The installed entry; every pointer is null when the app is not built in.
const DesktopEntry& desktopEntry();
void setDesktopEntry(const DesktopEntry& entry);

}  // namespace qx::host
