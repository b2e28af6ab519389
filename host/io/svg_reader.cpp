#include "host/io/svg_reader.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

#include <pugixml.hpp>

#include "host/io/svg_context.h"
#include "host/io/svg_text.h"
#include "host/io/svg_walk.h"

namespace qx::host {
namespace {

SvgReadResult failure(std::string error) {
  SvgReadResult r;
  r.error = std::move(error);
  return r;
}

std::string sizeText(uint64_t bytes) {
  constexpr uint64_t kMiB = uint64_t{1} << 20;
  if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
  return std::to_string(bytes) + " bytes";
}

std::string tooLarge(const std::string& name, const SvgReadLimits& limits) {
  return name + ": the file is larger than the limit of " + sizeText(limits.maxFileBytes) + "; refused";
}

SvgReadResult readText(std::string_view text, const std::string& name, const SvgReadLimits& limits) {
  if (text.size() > limits.maxFileBytes) return failure(tooLarge(name, limits));
  bool broken = false;
  const std::optional<std::string> converted = svg::convertToUtf8(text, &broken);
  if (broken) return failure(name + ":1: the UTF-16 text breaks off inside a character");
  const std::string_view utf8 = converted ? std::string_view(*converted) : text;

  SvgScene scene;
  svg::ReadContext context(name, utf8, limits, &scene.warnings);
  // pugixml neither recurses while parsing nor expands entities beyond the
  // predefined ones; the DOCTYPE is kept only to be checked.
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_buffer(utf8.data(), utf8.size(),
                                                        pugi::parse_default | pugi::parse_doctype, pugi::encoding_utf8);
  if (!parsed) {
    return failure(name + ":" + std::to_string(context.lineAt(parsed.offset)) +
                   ": malformed XML: " + parsed.description());
  }
  for (pugi::xml_node n : doc.children()) {
    // Entity declarations serve only to expand text, which is how "billion
    // laughs" files exhaust memory; no drawing needs them.
    if (n.type() == pugi::node_doctype && std::strstr(n.value(), "<!ENTITY"))
      return failure(context.message(n, "the DOCTYPE declares entities (<!ENTITY); such files are refused"));
  }
  const pugi::xml_node root = doc.document_element();
  if (!root) return failure(name + ":1: no root element");
  std::string error;
  if (!svg::buildScene(root, context, &scene, &error)) return failure(error);
  SvgReadResult result;
  result.scene = std::move(scene);
  return result;
}

// The whole file, refused before reading when it is not a regular file or
// larger than the limit, and while reading when it grows past it.
bool readFile(const std::string& path, const SvgReadLimits& limits, std::string* text, std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::exists(status)) {
    *error = path + ": cannot open: " + (ec ? ec.message() : "no such file");
    return false;
  }
  if (!fs::is_regular_file(status)) {
    *error = path + ": is not a regular file";
    return false;
  }
  const uintmax_t size = fs::file_size(path, ec);
  if (!ec && size > limits.maxFileBytes) {
    *error = tooLarge(path, limits);
    return false;
  }
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    *error = path + ": cannot open: " + std::strerror(errno);
    return false;
  }
  text->clear();
  if (!ec) text->reserve(static_cast<size_t>(size));
  char buffer[1 << 16];
  for (;;) {
    const size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
    if (n == 0) break;
    if (text->size() + n > limits.maxFileBytes) {
      *error = tooLarge(path, limits);
      return false;
    }
    text->append(buffer, n);
  }
  if (std::ferror(file.get())) {
    *error = path + ": cannot read: " + std::strerror(errno);
    return false;
  }
  return true;
}

template <class F>
SvgReadResult guarded(const std::string& name, F&& read) {
  try {
    return read();
  } catch (const std::bad_alloc&) {
    return failure(name + ": not enough memory to read the file");
  } catch (const std::exception& e) {
    return failure(name + ": cannot read: " + e.what());
  } catch (...) {
    return failure(name + ": cannot read the file");
  }
}

}  // namespace

SvgReadResult readSvgFile(const std::string& path, const SvgReadLimits& limits) {
  return guarded(path, [&] {
    std::string text, error;
    if (!readFile(path, limits, &text, &error)) return failure(error);
    return readText(text, path, limits);
  });
}

SvgReadResult readSvgText(std::string_view text, const std::string& nameForMessages, const SvgReadLimits& limits) {
  return guarded(nameForMessages, [&] { return readText(text, nameForMessages, limits); });
}

}  // namespace qx::host
