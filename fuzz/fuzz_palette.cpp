// The palette reader on any text, and the swatch list an accepted palette
// makes, taken back to a palette as a saved drawing does.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/io/palette_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The file reader refuses anything larger unread.
  if (size > qx::host::kMaxPaletteBytes) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const auto palette = qx::host::parsePalette(text, "fuzz.gpl", &error);
  if (!palette) {
    if (error.empty()) __builtin_trap();  // a refusal always says why
    return 0;
  }
  const auto swatches = qx::host::paletteSwatches(*palette);
  qx::host::swatchPalette(swatches);
  return 0;
}
