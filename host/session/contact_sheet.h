// A contact sheet: a batch's thumbnails in a grid on white, each labelled
// with its seed, so a person picks a drawing by eye. The layout is fixed
// here, so the command line can size a sheet before any drawing is made;
// the painting layer paints it (paint/contact_sheet_image.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qx::host {

// Space around and between the cells, and the band under each thumbnail
// that holds its label, in pixels.
inline constexpr int kContactSheetGap = 12;
inline constexpr int kContactSheetLabelHeight = 24;
// Thumbnail sides a sheet takes, and the most pixels a sheet may have (its
// image is held whole while it is painted: four bytes a pixel).
inline constexpr int kMinContactThumb = 16, kMaxContactThumb = 4096;
inline constexpr double kMaxContactSheetPixels = 1e8;

struct ContactSheetCell {
  std::string thumbnailPath;  // a PNG fitted into the cell; empty or unreadable: an empty cell
  std::string label;          // under the thumbnail, e.g. "seed 12"
};

struct ContactSheet {
  int columns = 1;
  int thumb = 240;                      // the square each thumbnail is fitted into
  std::vector<ContactSheetCell> cells;  // in reading order: left to right, then down
};

// The sheet's size in pixels for `cells` cells: columns x thumb plus the
// gaps across, rows x (thumb + label band) plus the gaps down.
struct ContactSheetSize {
  int64_t width = 0, height = 0;
};
ContactSheetSize contactSheetSize(size_t cells, int columns, int thumb);

// The columns a sheet of `cells` cells gets without --columns: the
// smallest count that makes the grid at least as wide as it is tall.
int defaultContactColumns(size_t cells);

}  // namespace qx::host
