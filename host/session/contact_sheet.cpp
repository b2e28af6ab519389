#include "host/session/contact_sheet.h"

#include <cmath>

namespace qx::host {

ContactSheetSize contactSheetSize(size_t cells, int columns, int thumb) {
  const auto cols = static_cast<int64_t>(columns);
  const int64_t rows = cells == 0 ? 1 : (static_cast<int64_t>(cells) + cols - 1) / cols;
  return {cols * thumb + (cols + 1) * kContactSheetGap,
          rows * (thumb + kContactSheetLabelHeight) + (rows + 1) * kContactSheetGap};
}

int defaultContactColumns(size_t cells) {
  int columns = 1;
  while (static_cast<size_t>(columns) * static_cast<size_t>(columns) < cells) ++columns;
  return columns;
}

}  // namespace qx::host
