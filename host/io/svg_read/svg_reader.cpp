#include "host/io/svg_read/svg_reader.h"

#include <cstring>
#include <memory>
#include <new>

#include <pugixml.hpp>

#include "host/io/bounded_file.h"
#include "host/io/svg_read/svg_read_context.h"
#include "host/io/svg_read/svg_text.h"
#include "host/io/svg_read/svg_scene_builder.h"

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
  std::string why;
  switch (readBoundedFile(path, limits.maxFileBytes, text, &why)) {
    case FileRead::Ok: return true;
    case FileRead::Missing: *error = path + ": cannot open: " + why; break;
    case FileRead::NotRegular: *error = path + ": is not a regular file"; break;
    case FileRead::TooLarge: *error = tooLarge(path, limits); break;
    case FileRead::Unreadable: *error = path + ": cannot read: " + why; break;
  }
  return false;
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
