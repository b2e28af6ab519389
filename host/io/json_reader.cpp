#include "host/io/json_reader.h"

#include <cmath>
#include <limits>
#include <optional>

#include <nlohmann/json.hpp>

#include "host/io/bounded_file.h"

namespace qx::host {
namespace {

using nlohmann::json;

// Reading stops at the first fault; `where` names the value it is in.
class JsonDocumentReader {
 public:
  JsonDocumentReader(const std::string& origin, std::string* error) : origin_(origin), error_(error) {}

  std::unique_ptr<Document> read(const json& root) {
    if (!root.is_object()) return fail("", "the text is not a JSON object");
    const json* format = member(root, "format");
    if (!format || !format->is_string() || *format != "quelvix-document")
      return fail("format", "not a Quelvix document (\"format\" must be \"quelvix-document\")");
    const json* version = member(root, "version");
    if (!version || !version->is_number_integer() || *version != 1)
      return fail("version", "only version 1 of the form is known");

    auto document = std::make_unique<Document>();
    const json* page = member(root, "page");
    QxReal width = 0, height = 0;
    if (!page || !page->is_object() || !real(member(*page, "width"), "page.width", &width) ||
        !real(member(*page, "height"), "page.height", &height))
      return fail("page", "expected {\"width\": W, \"height\": H}");
    if (document->setPageSize(width, height) != QX_ERR_NONE)
      return fail("page", "the page must be wider and taller than 0 points");

    if (const json* seed = member(root, "seed"); seed && !seed->is_null()) {
      if (!seed->is_number_unsigned()) return fail("seed", "expected a whole number of up to 20 digits, or null");
      document->setSeed(seed->get<uint64_t>());
    }
    if (const json* swatches = member(root, "swatches")) {
      if (!swatches->is_array()) return fail("swatches", "expected a list");
      std::vector<Swatch> list;
      for (size_t i = 0; i < swatches->size(); ++i) {
        const json& s = (*swatches)[i];
        const std::string where = "swatches[" + std::to_string(i) + "]";
        const json* name = s.is_object() ? member(s, "name") : nullptr;
        Swatch swatch;
        if (!name || !name->is_string()) return fail(where, "expected {\"name\": \"...\", \"color\": COLOR}");
        swatch.name = name->get<std::string>();
        if (!color(member(s, "color"), where + ".color", &swatch.color)) return nullptr;
        list.push_back(std::move(swatch));
      }
      document->setSwatches(std::move(list));
    }
    ArtStore& art = document->art();
    if (const json* current = member(root, "currentStyle")) {
      QxPathStyle style = art.currentStyle();
      if (!paint(*current, "currentStyle", &style)) return nullptr;
      art.setCurrentStyle(style);
    }
    const json* list = member(root, "art");
    if (!list || !list->is_array()) return fail("art", "expected a list of objects");
    for (size_t i = 0; i < list->size(); ++i)
      if (!object((*list)[i], "art[" + std::to_string(i) + "]", nullptr, art, 0)) return nullptr;
    return document;
  }

 private:
  std::unique_ptr<Document> fail(const std::string& where, const std::string& reason) {
    if (error_->empty()) *error_ = origin_ + ": " + (where.empty() ? "" : where + ": ") + reason;
    return nullptr;
  }
  bool bad(const std::string& where, const std::string& reason) {
    fail(where, reason);
    return false;
  }

  static const json* member(const json& object, const char* key) {
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
  }

  // A number, or null for a value that was not finite.
  bool real(const json* v, const std::string& where, QxReal* out) {
    if (v && v->is_null()) {
      *out = std::numeric_limits<QxReal>::quiet_NaN();
      return true;
    }
    if (!v || !v->is_number()) return bad(where, "expected a number");
    *out = static_cast<QxReal>(v->get<double>());
    return true;
  }
  bool boolean(const json* v, const std::string& where, bool* out) {
    if (!v || !v->is_boolean()) return bad(where, "expected true or false");
    *out = v->get<bool>();
    return true;
  }

  bool color(const json* v, const std::string& where, QxColor* out) {
    const json* kind = v && v->is_object() ? member(*v, "kind") : nullptr;
    const json* values = v && v->is_object() ? member(*v, "values") : nullptr;
    if (!kind || !kind->is_string() || !values || !values->is_array())
      return bad(where, "expected {\"kind\": K, \"values\": [...]}");
    const std::string k = kind->get<std::string>();
    struct Kind {
      const char* name;
      int32_t code;
      size_t count;
    };
    static constexpr Kind kKinds[] = {{"gray", QX_COLOR_GRAY, 1},         {"process", QX_COLOR_PROCESS, 4},
                                      {"rgb", QX_COLOR_RGB, 3},           {"pattern", QX_COLOR_PATTERN, 0},
                                      {"gradient", QX_COLOR_GRADIENT, 0}, {"none", QX_COLOR_NONE, 0}};
    for (const Kind& known : kKinds) {
      if (k != known.name) continue;
      if (values->size() != known.count)
        return bad(where, "a " + k + " colour has " + std::to_string(known.count) + " values");
      QxReal v4[4] = {0, 0, 0, 0};
      for (size_t i = 0; i < known.count; ++i)
        if (!real(&(*values)[i], where + ".values[" + std::to_string(i) + "]", &v4[i])) return false;
      *out = QxColor{};
      out->kind = known.code;
      if (known.code == QX_COLOR_GRAY) out->c.gray = v4[0];
      if (known.code == QX_COLOR_PROCESS) out->c.process = {v4[0], v4[1], v4[2], v4[3]};
      if (known.code == QX_COLOR_RGB) out->c.rgb = {v4[0], v4[1], v4[2]};
      return true;
    }
    return bad(where + ".kind", "unknown colour kind \"" + k.substr(0, 30) + "\"");
  }

  // "fill" and "stroke" of an object or the current style into `style`.
  bool paint(const json& holder, const std::string& where, QxPathStyle* style) {
    const json* fill = member(holder, "fill");
    const json* stroke = member(holder, "stroke");
    if (!fill || !fill->is_object()) return bad(where + ".fill", "expected {\"paint\": ..., \"color\": ...}");
    if (!stroke || !stroke->is_object()) return bad(where + ".stroke", "expected {\"paint\": ..., \"color\": ...}");
    bool fillPaint = false, fillOver = false, strokePaint = false, strokeOver = false;
    if (!boolean(member(*fill, "paint"), where + ".fill.paint", &fillPaint) ||
        !color(member(*fill, "color"), where + ".fill.color", &style->fill.color) ||
        !boolean(member(*fill, "overprint"), where + ".fill.overprint", &fillOver) ||
        !boolean(member(*stroke, "paint"), where + ".stroke.paint", &strokePaint) ||
        !color(member(*stroke, "color"), where + ".stroke.color", &style->stroke.color) ||
        !boolean(member(*stroke, "overprint"), where + ".stroke.overprint", &strokeOver) ||
        !real(member(*stroke, "width"), where + ".stroke.width", &style->stroke.width))
      return false;
    style->fillPaint = fillPaint;
    style->fill.overprint = fillOver;
    style->strokePaint = strokePaint;
    style->stroke.overprint = strokeOver;
    return true;
  }

  bool object(const json& v, const std::string& where, QxArtHandle parent, ArtStore& art, int depth) {
    if (depth > kMaxJsonArtDepth)
      return bad(where, "groups and compound paths nest deeper than " + std::to_string(kMaxJsonArtDepth));
    if (!v.is_object()) return bad(where, "expected an object");
    const json* type = member(v, "type");
    static constexpr std::pair<const char*, int16_t> kTypes[] = {
        {"path", QX_ART_PATH},     {"compound", QX_ART_COMPOUND_PATH}, {"group", QX_ART_GROUP},
        {"placed", QX_ART_PLACED}, {"raster", QX_ART_RASTER},          {"symbol", QX_ART_SYMBOL},
        {"mesh", QX_ART_MESH}};
    int16_t code = QX_ART_UNKNOWN;
    for (auto [name, c] : kTypes)
      if (type && type->is_string() && *type == name) code = c;
    if (code == QX_ART_UNKNOWN)
      return bad(where + ".type", "expected path, compound, group, placed, raster, symbol or mesh");
    QxArtHandle made = nullptr;
    // Each object goes on top of what came before it: the list runs from the
    // bottom of the paint order up.
    const QxErr rc = parent ? art.newArt(code, 3, parent, &made) : art.newArt(code, 5, nullptr, &made);
    if (rc != QX_ERR_NONE)
      return bad(where,
                 rc == QX_ERR_OUT_OF_MEMORY ? "the art budget is spent" : "the document refuses the object here");

    if (code == QX_ART_PATH) {
      bool closed = false;
      if (!boolean(member(v, "closed"), where + ".closed", &closed)) return false;
      const json* segments = member(v, "segments");
      if (!segments || !segments->is_array()) return bad(where + ".segments", "expected a list");
      if (segments->size() > static_cast<size_t>(ArtStore::kMaxSegments))
        return bad(where + ".segments", "a path has at most " + std::to_string(ArtStore::kMaxSegments) + " segments");
      std::vector<QxPathSegment> list(segments->size());
      for (size_t i = 0; i < list.size(); ++i) {
        const json& s = (*segments)[i];
        const std::string at = where + ".segments[" + std::to_string(i) + "]";
        if (!s.is_array() || s.size() != 7 || !s[6].is_boolean())
          return bad(at, "expected [ax, ay, inx, iny, outx, outy, corner]");
        QxReal n[6];
        for (size_t k = 0; k < 6; ++k)
          if (!real(&s[k], at, &n[k])) return false;
        list[i] = QxPathSegment{{n[0], n[1]}, {n[2], n[3]}, {n[4], n[5]}, s[6].get<bool>()};
      }
      if (art.setSegments(made, 0, static_cast<int32_t>(list.size()), list.data()) != QX_ERR_NONE ||
          art.setClosed(made, closed) != QX_ERR_NONE)
        return bad(where + ".segments", "the document refuses these segments");
    }
    if (code == QX_ART_PATH || code == QX_ART_COMPOUND_PATH) {
      const std::optional<ArtView> view = art.view(made);
      QxPathStyle style = view ? view->style() : QxPathStyle{};
      if (!view || !paint(v, where, &style)) return false;
      if (art.setPathStyle(made, style) != QX_ERR_NONE) return bad(where, "the document refuses this paint");
    }
    if (code != QX_ART_PATH && code != QX_ART_COMPOUND_PATH && code != QX_ART_GROUP) {
      // Placed, raster, symbol and mesh art is where its bounds say.
      const json* b = member(v, "bounds");
      QxReal box[4];
      if (!b || !b->is_array() || b->size() != 4) return bad(where + ".bounds", "expected [left, top, right, bottom]");
      for (size_t k = 0; k < 4; ++k)
        if (!real(&(*b)[k], where + ".bounds", &box[k])) return false;
      if (art.setItemOutline(made, QxRealRect{box[0], box[1], box[2], box[3]}) != QX_ERR_NONE)
        return bad(where + ".bounds", "the document refuses this box");
    }
    QxReal opacity = 1;
    bool selected = false;
    if (!real(member(v, "opacity"), where + ".opacity", &opacity)) return false;
    if (art.setOpacity(made, opacity) != QX_ERR_NONE) return bad(where + ".opacity", "expected a number from 0 to 1");
    if (!boolean(member(v, "selected"), where + ".selected", &selected)) return false;
    (void)art.setSelected(made, selected);

    if (code == QX_ART_GROUP || code == QX_ART_COMPOUND_PATH) {
      const json* children = member(v, "children");
      if (!children || !children->is_array()) return bad(where + ".children", "expected a list");
      for (size_t i = 0; i < children->size(); ++i)
        // Deep down the place is named by its first few steps.
        if (!object((*children)[i],
                    depth < 6    ? where + ".children[" + std::to_string(i) + "]"
                    : depth == 6 ? where + "..."
                                 : where,
                    made, art, depth + 1))
          return false;
    }
    return true;
  }

  const std::string& origin_;
  std::string* error_;
};

// The DOM builder, with the parser's first error kept instead of thrown.
class DomBuilder {
 public:
  explicit DomBuilder(json& root) : dom_(root, /*allow_exceptions=*/false) {}
  bool null() { return dom_.null(); }
  bool boolean(bool v) { return dom_.boolean(v); }
  bool number_integer(json::number_integer_t v) { return dom_.number_integer(v); }
  bool number_unsigned(json::number_unsigned_t v) { return dom_.number_unsigned(v); }
  bool number_float(json::number_float_t v, const json::string_t& s) { return dom_.number_float(v, s); }
  bool string(json::string_t& v) { return dom_.string(v); }
  bool binary(json::binary_t& v) { return dom_.binary(v); }
  bool start_object(std::size_t n) { return dom_.start_object(n); }
  bool key(json::string_t& v) { return dom_.key(v); }
  bool end_object() { return dom_.end_object(); }
  bool start_array(std::size_t n) { return dom_.start_array(n); }
  bool end_array() { return dom_.end_array(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) {
    message_ = e.what();
    return false;
  }
  const std::string& message() const { return message_; }

 private:
  nlohmann::detail::json_sax_dom_parser<json> dom_;
  std::string message_;
};

}  // namespace

std::unique_ptr<Document> parseDocumentJson(std::string_view text, const std::string& origin, std::string* error) {
  error->clear();
  json root;
  DomBuilder builder(root);
  if (!json::sax_parse(text.begin(), text.end(), &builder, json::input_format_t::json, /*strict=*/true)) {
    std::string why = builder.message();
    // "[json.exception.parse_error.101] parse error at line 1, column 2: ..."
    if (const size_t at = why.find("] "); at != std::string::npos) why = why.substr(at + 2);
    *error = origin + ": not JSON: " + (why.empty() ? "the text ends early" : why);
    return nullptr;
  }
  return JsonDocumentReader(origin, error).read(root);
}

std::unique_ptr<Document> readDocumentJson(const std::string& path, std::string* error) {
  std::string text, why;
  switch (readBoundedFile(path, kMaxJsonBytes, &text, &why)) {
    case FileRead::Ok: break;
    case FileRead::Missing:
    case FileRead::Unreadable: *error = path + ": " + why; return nullptr;
    case FileRead::NotRegular: *error = path + ": not a regular file"; return nullptr;
    case FileRead::TooLarge:
      *error = path + ": larger than " + std::to_string(kMaxJsonBytes >> 20) + " MiB, the most a JSON drawing may be";
      return nullptr;
  }
  return parseDocumentJson(text, path, error);
}

}  // namespace qx::host
