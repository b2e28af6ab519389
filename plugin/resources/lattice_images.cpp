// Build-time tool: draws the plug-in's icon and cursor, a small lattice walk
// with a dot at every point, and writes them as .ico and .cur files for the
// resource compiler.
//
//   lattice_images ICON_FILE CURSOR_FILE
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace {

struct Image {
  int size;
  std::vector<uint32_t> argb;  // rows top to bottom
  uint32_t& at(int x, int y) { return argb[static_cast<size_t>(y) * size + x]; }
};

constexpr uint32_t kLineColour = 0xFF1F4E8Cu;  // opaque blue
constexpr uint32_t kDotColour = 0xFFE0702Au;   // opaque orange

void FillSquare(Image& image, int cx, int cy, int radius, uint32_t colour) {
  for (int y = cy - radius; y <= cy + radius; ++y)
    for (int x = cx - radius; x <= cx + radius; ++x)
      if (x >= 0 && y >= 0 && x < image.size && y < image.size) image.at(x, y) = colour;
}

// Axis-aligned lines only, like the walks the filter draws.
void DrawLine(Image& image, int x0, int y0, int x1, int y1, int halfWidth) {
  const int stepX = (x1 > x0) - (x1 < x0);
  const int stepY = (y1 > y0) - (y1 < y0);
  for (int x = x0, y = y0;; x += stepX, y += stepY) {
    FillSquare(image, x, y, halfWidth, kLineColour);
    if (x == x1 && y == y1) break;
  }
}

// A walk over a 4 x 4 lattice filling the image with a margin.
Image DrawLattice(int size) {
  Image image{size, std::vector<uint32_t>(static_cast<size_t>(size) * size, 0)};
  const int margin = size / 8;
  const int step = (size - 2 * margin - 1) / 3;
  const int walk[][2] = {{0, 3}, {0, 1}, {1, 1}, {1, 0}, {3, 0}, {3, 2}, {2, 2}, {2, 3}, {3, 3}};
  const int halfWidth = size >= 32 ? 1 : 0;
  const int dotRadius = size >= 32 ? 2 : 1;
  auto px = [&](int i) { return margin + i * step; };
  for (size_t i = 1; i < std::size(walk); ++i)
    DrawLine(image, px(walk[i - 1][0]), px(walk[i - 1][1]), px(walk[i][0]), px(walk[i][1]), halfWidth);
  for (const auto& point : walk) FillSquare(image, px(point[0]), px(point[1]), dotRadius, kDotColour);
  return image;
}

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

// The image as an icon directory entry's data: a bitmap header of double
// height, the 32-bit pixels bottom-up, then the 1-bit mask (set = clear).
std::vector<uint8_t> EncodeBitmap(const Image& image) {
  const int n = image.size;
  const int maskRowBytes = ((n + 31) / 32) * 4;
  std::vector<uint8_t> out;
  PutU32(out, 40);     // header size
  PutU32(out, n);      // width
  PutU32(out, 2 * n);  // height of pixels and mask together
  PutU16(out, 1);      // planes
  PutU16(out, 32);     // bits per pixel
  PutU32(out, 0);      // uncompressed
  PutU32(out, n * n * 4 + maskRowBytes * n);
  for (int i = 0; i < 4; ++i) PutU32(out, 0);  // resolution, palette
  for (int y = n - 1; y >= 0; --y)
    for (int x = 0; x < n; ++x) PutU32(out, image.argb[static_cast<size_t>(y) * n + x]);  // B, G, R, A
  for (int y = n - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskRowBytes, 0);
    for (int x = 0; x < n; ++x)
      if ((image.argb[static_cast<size_t>(y) * n + x] >> 24) == 0) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

// An .ico (type 1) or .cur (type 2) file; for a cursor the two 16-bit fields
// after the colour count hold the hot spot instead of planes and depth.
std::vector<uint8_t> EncodeIconFile(const std::vector<Image>& images, uint16_t type, int hotX, int hotY) {
  std::vector<uint8_t> out;
  PutU16(out, 0);
  PutU16(out, type);
  PutU16(out, static_cast<uint32_t>(images.size()));
  std::vector<std::vector<uint8_t>> bitmaps;
  for (const Image& image : images) bitmaps.push_back(EncodeBitmap(image));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<uint8_t>(images[i].size % 256));  // 256 is written as 0
    out.push_back(static_cast<uint8_t>(images[i].size % 256));
    out.push_back(0);  // colour count
    out.push_back(0);
    PutU16(out, type == 1 ? 1 : hotX);
    PutU16(out, type == 1 ? 32 : hotY);
    PutU32(out, static_cast<uint32_t>(bitmaps[i].size()));
    PutU32(out, offset);
    offset += static_cast<uint32_t>(bitmaps[i].size());
  }
  for (const auto& bitmap : bitmaps) out.insert(out.end(), bitmap.begin(), bitmap.end());
  return out;
}

// Write through a temporary file and rename it, so an interrupted build never
// leaves half an image for the resource compiler.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
      std::fprintf(stderr, "lattice_images: cannot write %s\n", temporary.c_str());
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::fprintf(stderr, "lattice_images: cannot rename %s to %s: %s\n", temporary.c_str(), path.c_str(),
                 error.message().c_str());
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: lattice_images ICON_FILE CURSOR_FILE\n");
    return 2;
  }
  const std::vector<uint8_t> icon = EncodeIconFile({DrawLattice(32), DrawLattice(16)}, 1, 0, 0);
  // The cursor's hot spot is the walk's first point, the lattice corner at
  // the lower left.
  const Image cursor = DrawLattice(32);
  const int margin = 32 / 8;
  const int last = margin + 3 * ((32 - 2 * margin - 1) / 3);
  const std::vector<uint8_t> cursorFile = EncodeIconFile({cursor}, 2, margin, last);
  return WriteFileAtomically(argv[1], icon) && WriteFileAtomically(argv[2], cursorFile) ? 0 : 1;
}
