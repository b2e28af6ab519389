#include "host/paint/png_stream.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstring>

#include "host/io/atomic_file.h"

namespace qx::paint {

// libpng reports failures by longjmp. Every call that may fail is made from a
// small function that sets the jump point and holds no C++ object of its own,
// so the jump never skips a destructor.
struct PngStreamState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  host::AtomicFile file;
  std::string pngError;  // libpng's message for its last failure
  bool failed = false;
  bool writeFailed = false;  // the file refused bytes (its own reason is kept)
  int width = 0, height = 0, rows = 0;
  bool alpha = false;
  std::vector<uint8_t> row;
  // libpng writes a chunk's length, body and checksum separately; they are
  // gathered here so the file sees few large writes.
  std::vector<uint8_t> pending;
};

namespace {

constexpr size_t kFlushBytes = size_t{1} << 18;

[[noreturn]] void onError(png_structp png, png_const_charp message) {
  auto* s = static_cast<PngStreamState*>(png_get_error_ptr(png));
  if (s->pngError.empty()) s->pngError = message ? message : "unknown error";
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

bool flushPending(PngStreamState& s) {
  if (s.pending.empty()) return true;
  const bool ok = s.file.write(s.pending.data(), s.pending.size());
  s.pending.clear();
  if (!ok) s.writeFailed = true;
  return ok;
}

void onWrite(png_structp png, png_bytep data, size_t size) {
  auto* s = static_cast<PngStreamState*>(png_get_io_ptr(png));
  s->pending.insert(s->pending.end(), data, data + size);
  if (s->pending.size() >= kFlushBytes && !flushPending(*s)) png_error(png, "the file refused the bytes");
}

void onFlush(png_structp) {}

bool writeInfo(PngStreamState& s, png_text* text, int textCount, png_uint_32 pixelsPerMeter) {
  if (setjmp(png_jmpbuf(s.png))) return false;
  png_set_write_fn(s.png, &s, onWrite, onFlush);
  png_set_IHDR(s.png, s.info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), 8,
               s.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (pixelsPerMeter > 0) png_set_pHYs(s.png, s.info, pixelsPerMeter, pixelsPerMeter, PNG_RESOLUTION_METER);
  if (textCount > 0) png_set_text(s.png, s.info, text, textCount);
  // Drawings are mostly flat colour: the Sub filter and fast deflate make a
  // file little larger than the slowest settings, in a fraction of the time.
  png_set_filter(s.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_set_compression_level(s.png, 3);
  png_set_compression_buffer_size(s.png, 1 << 16);
  png_write_info(s.png, s.info);
  return true;
}

bool writeOneRow(PngStreamState& s) {
  if (setjmp(png_jmpbuf(s.png))) return false;
  png_write_row(s.png, s.row.data());
  return true;
}

bool writeEnd(PngStreamState& s) {
  if (setjmp(png_jmpbuf(s.png))) return false;
  png_write_end(s.png, nullptr);
  return true;
}

}  // namespace

void straightRow(const uint32_t* pixels, int width, bool alpha, uint8_t* out) {
  for (int x = 0; x < width; ++x) {
    const uint32_t p = pixels[x];
    const uint32_t a = p >> 24, r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
    if (!alpha) {
      out[0] = static_cast<uint8_t>(r), out[1] = static_cast<uint8_t>(g), out[2] = static_cast<uint8_t>(b);
      out += 3;
      continue;
    }
    if (a == 255) {
      out[0] = static_cast<uint8_t>(r), out[1] = static_cast<uint8_t>(g), out[2] = static_cast<uint8_t>(b);
    } else if (a == 0) {
      out[0] = out[1] = out[2] = 0;
    } else {
      // Undo the premultiplication, rounded to the nearest level.
      auto straight = [a](uint32_t c) { return static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a)); };
      out[0] = straight(r), out[1] = straight(g), out[2] = straight(b);
    }
    out[3] = static_cast<uint8_t>(a);
    out += 4;
  }
}

PngStream::PngStream() : state_(std::make_unique<PngStreamState>()) {}

PngStream::~PngStream() {
  if (state_->png) png_destroy_write_struct(&state_->png, &state_->info);
}

bool PngStream::open(const std::string& path, const PngHeader& header, std::string* error) {
  PngStreamState& s = *state_;
  if (header.width < 1 || header.height < 1 || header.width > 65535 || header.height > 65535) {
    *error = "a PNG of " + std::to_string(header.width) + " x " + std::to_string(header.height) +
             " pixels cannot be made";
    return false;
  }
  if (!s.file.open(path, error)) return false;
  s.width = header.width;
  s.height = header.height;
  s.alpha = header.alpha;
  s.row.resize(static_cast<size_t>(s.width) * (s.alpha ? 4 : 3));
  s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &s, onError, onWarning);
  if (s.png) s.info = png_create_info_struct(s.png);
  if (!s.png || !s.info) {
    *error = "the PNG encoder could not be started";
    s.file.abandon();
    return false;
  }
  // png_text holds plain char pointers; the strings live in `header`.
  std::vector<png_text> text(header.text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = {};
    text[i].compression = PNG_TEXT_COMPRESSION_NONE;
    text[i].key = const_cast<char*>(header.text[i].first.c_str());
    text[i].text = const_cast<char*>(header.text[i].second.c_str());
    text[i].text_length = header.text[i].second.size();
  }
  const double ppm = header.dpi > 0 ? std::round(header.dpi / 0.0254) : 0;
  const auto pixelsPerMeter = static_cast<png_uint_32>(std::isfinite(ppm) && ppm < 2147483647.0 ? ppm : 0);
  if (!writeInfo(s, text.data(), static_cast<int>(text.size()), pixelsPerMeter)) {
    s.failed = true;
    return commit(error);  // reports the reason and removes the file
  }
  return true;
}

bool PngStream::writeRow(const uint32_t* pixels) {
  PngStreamState& s = *state_;
  if (s.failed || !s.png || s.rows >= s.height) {
    if (s.rows >= s.height && s.pngError.empty()) s.pngError = "more rows than the picture has";
    s.failed = true;
    return false;
  }
  straightRow(pixels, s.width, s.alpha, s.row.data());
  if (!writeOneRow(s)) {
    s.failed = true;
    return false;
  }
  ++s.rows;
  return true;
}

bool PngStream::commit(std::string* error) {
  PngStreamState& s = *state_;
  if (!s.failed && s.png && s.rows != s.height) {
    s.pngError = "the picture ended after " + std::to_string(s.rows) + " of its " + std::to_string(s.height) + " rows";
    s.failed = true;
  }
  if (!s.failed && (!writeEnd(s) || !flushPending(s))) s.failed = true;
  if (!s.failed) return s.file.commit(error);
  if (s.writeFailed) {
    // The file's own reason (a full disk, say) says more than libpng's.
    s.file.commit(error);
  } else {
    *error = "the PNG could not be encoded: " + (s.pngError.empty() ? std::string("unknown error") : s.pngError);
  }
  s.file.abandon();
  return false;
}

}  // namespace qx::paint
