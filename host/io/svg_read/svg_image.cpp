#include "host/io/svg_read/svg_image.h"

#include <algorithm>
#include <optional>

#include "host/io/svg_read/svg_text.h"

namespace qx::host::svg {
namespace {

std::string sniffMime(const std::vector<unsigned char>& b) {
  const auto starts = [&](std::string_view magic, size_t at = 0) {
    return b.size() >= at + magic.size() &&
           std::equal(magic.begin(), magic.end(), b.begin() + static_cast<ptrdiff_t>(at),
                      [](char m, unsigned char c) { return static_cast<unsigned char>(m) == c; });
  };
  if (starts("\x89PNG")) return "image/png";
  if (starts("\xFF\xD8\xFF")) return "image/jpeg";
  if (starts("GIF8")) return "image/gif";
  if (starts("RIFF") && starts("WEBP", 8)) return "image/webp";
  if (starts("BM")) return "image/bmp";
  if (starts("<svg") || starts("<?xml")) return "image/svg+xml";
  return {};
}

std::string mimeOfLink(std::string_view href) {
  href = href.substr(0, href.find_first_of("?#"));
  const size_t dot = href.rfind('.');
  if (dot == std::string_view::npos) return {};
  const std::string ext = toLower(href.substr(dot + 1));
  if (ext == "png") return "image/png";
  if (ext == "jpg" || ext == "jpeg") return "image/jpeg";
  if (ext == "gif") return "image/gif";
  if (ext == "webp") return "image/webp";
  if (ext == "bmp") return "image/bmp";
  if (ext == "tif" || ext == "tiff") return "image/tiff";
  if (ext == "svg") return "image/svg+xml";
  if (ext == "pdf") return "application/pdf";
  return {};
}

}  // namespace

bool readImageSource(std::string_view href, SvgNode* node, std::string* reason) {
  if (href.size() < 5 || !iequals(href.substr(0, 5), "data:")) {
    node->kind = SvgNodeKind::Placed;
    node->href = std::string(href);
    node->mime = mimeOfLink(href);
    return true;
  }
  // data:[<mime>][;parameter...][;base64],<data>
  const size_t comma = href.find(',');
  if (comma == std::string_view::npos) {
    *reason = "the image's data: URL has no comma";
    return false;
  }
  const std::string_view meta = href.substr(5, comma - 5);
  std::string_view payload = href.substr(comma + 1);
  bool base64 = false;
  for (size_t at = meta.find(';'); at != std::string_view::npos;) {
    const size_t next = meta.find(';', at + 1);
    const std::string_view parameter = meta.substr(at + 1, next == std::string_view::npos ? next : next - at - 1);
    if (iequals(trim(parameter), "base64")) base64 = true;
    at = next;
  }
  std::optional<std::string> unescaped;
  if (payload.find('%') != std::string_view::npos) {
    unescaped = decodePercent(payload);
    if (!unescaped) {
      *reason = "the image's data: URL has a broken %-escape";
      return false;
    }
    payload = *unescaped;
  }
  if (base64) {
    auto bytes = decodeBase64(payload);
    if (!bytes) {
      *reason = "the embedded image is not valid base64";
      return false;
    }
    node->data = std::move(*bytes);
  } else {
    node->data.assign(payload.begin(), payload.end());
  }
  node->kind = SvgNodeKind::Raster;
  node->mime = toLower(trim(meta.substr(0, meta.find(';'))));
  if (node->mime.empty()) node->mime = sniffMime(node->data);
  return true;
}

}  // namespace qx::host::svg
