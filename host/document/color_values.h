// Colour values written out by their components, for the defaults the
// document and its art store start from.
#pragma once

#include "qx_ai_art.h"

namespace qx::host {

inline QxColor processColor(QxReal c, QxReal m, QxReal y, QxReal k) {
  QxColor color{};
  color.kind = QX_COLOR_PROCESS;
  color.c.process.cyan = c;
  color.c.process.magenta = m;
  color.c.process.yellow = y;
  color.c.process.black = k;
  return color;
}

inline QxColor rgbColor(QxReal r, QxReal g, QxReal b) {
  QxColor color{};
  color.kind = QX_COLOR_RGB;
  color.c.rgb.red = r;
  color.c.rgb.green = g;
  color.c.rgb.blue = b;
  return color;
}

}  // namespace qx::host
