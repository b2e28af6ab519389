// A PNG written a row at a time (libpng) straight into an atomic file, so a
// picture of any size costs the memory of a row, not of the picture. Rows
// arrive as Qt paints them, premultiplied ARGB32, and are stored straight
// (not premultiplied): RGBA, or RGB when the picture is opaque.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qx::paint {

struct PngHeader {
  int width = 0, height = 0;
  bool alpha = false;  // RGBA; RGB drops the alpha of every pixel (it must be opaque)
  double dpi = 0;      // the pHYs chunk; none when not above 0
  std::vector<std::pair<std::string, std::string>> text;  // tEXt chunks: keyword, Latin-1 text
};

struct PngStreamState;

class PngStream {
 public:
  PngStream();
  ~PngStream();  // an unfinished file is removed, the target untouched
  PngStream(const PngStream&) = delete;
  PngStream& operator=(const PngStream&) = delete;

  // Start the file beside `path`. False and a one-line reason in *error.
  bool open(const std::string& path, const PngHeader& header, std::string* error);
  // The next row: header.width pixels as QImage::Format_ARGB32_Premultiplied
  // holds them. False once anything has failed; commit() tells why.
  bool writeRow(const uint32_t* pixels);
  // After the last row: finish the file and rename it over the target.
  bool commit(std::string* error);

 private:
  std::unique_ptr<PngStreamState> state_;
};

// One premultiplied ARGB32 pixel row as straight RGBA (4 bytes a pixel) or
// RGB (3), into `out`.
void straightRow(const uint32_t* pixels, int width, bool alpha, uint8_t* out);

}  // namespace qx::paint
