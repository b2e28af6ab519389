#include "host/plot/plot_geometry.h"

namespace qx::plot {

IntBox boxOf(const IntPath& path) {
  IntBox box;
  for (const IntPoint& p : path) box.add(p);
  return box;
}

IntBox boxOf(const IntPaths& paths) {
  IntBox box;
  for (const IntPath& path : paths) box.add(boxOf(path));
  return box;
}

}  // namespace qx::plot
