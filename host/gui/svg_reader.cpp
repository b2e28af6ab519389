#include "host/gui/svg_reader.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include <QColor>
#include <QXmlStreamReader>

#include "host/document/document.h"

namespace qx::gui {
namespace {

struct Subpath {
  std::vector<QxPathSegment> segments;
  bool closed = false;
};

bool samePoint(const QxRealPoint& a, const QxRealPoint& b) { return a.x == b.x && a.y == b.y; }

// Absolute M, L, C and Z, as the writer emits them.
bool parsePathData(const QString& d, std::vector<Subpath>* out, std::string* error) {
  const QByteArray bytes = d.toLatin1();
  const char* s = bytes.constData();
  const char* end = s + bytes.size();
  auto skip = [&] {
    while (s < end && (*s == ' ' || *s == ',' || *s == '\n' || *s == '\t' || *s == '\r')) ++s;
  };
  auto number = [&](QxReal* v) {
    skip();
    char* stop = nullptr;
    const std::string token(s, static_cast<size_t>(std::min<ptrdiff_t>(end - s, 64)));
    const double x = std::strtod(token.c_str(), &stop);
    if (stop == token.c_str() || !std::isfinite(x)) return false;
    s += stop - token.c_str();
    *v = static_cast<QxReal>(x);
    return true;
  };
  auto point = [&](QxRealPoint* p) { return number(&p->x) && number(&p->y); };
  char command = 0;
  for (;;) {
    skip();
    if (s >= end) break;
    if (std::isalpha(static_cast<unsigned char>(*s))) command = *s++;
    switch (command) {
      case 'M': {
        QxRealPoint p;
        if (!point(&p)) break;
        out->push_back({});
        out->back().segments.push_back(QxPathSegment{p, p, p, 1});
        command = 'L';  // further pairs after M are lines
        continue;
      }
      case 'L': {
        QxRealPoint p;
        if (out->empty() || !point(&p)) break;
        out->back().segments.push_back(QxPathSegment{p, p, p, 1});
        continue;
      }
      case 'C': {
        QxRealPoint c1, c2, p;
        if (out->empty() || !point(&c1) || !point(&c2) || !point(&p)) break;
        auto& segs = out->back().segments;
        segs.back().out = c1;
        segs.push_back(QxPathSegment{p, c2, p, 0});
        continue;
      }
      case 'Z': {
        if (out->empty()) break;
        Subpath& sub = out->back();
        // A curved closing piece was written out; it ends on the first anchor.
        if (sub.segments.size() > 1 && samePoint(sub.segments.back().p, sub.segments.front().p)) {
          sub.segments.front().in = sub.segments.back().in;
          sub.segments.pop_back();
        }
        sub.closed = true;
        command = 0;
        continue;
      }
      default: break;
    }
    *error = "path data this reader does not know near \"" + std::string(s, std::min<size_t>(end - s, 20)) + "\"";
    return false;
  }
  return true;
}

bool readColor(const QString& text, QxColor* color) {
  const QColor c = QColor::fromString(text);
  if (!c.isValid()) return false;
  *color = QxColor{};
  color->kind = QX_COLOR_RGB;
  color->c.rgb.red = static_cast<QxReal>(c.redF());
  color->c.rgb.green = static_cast<QxReal>(c.greenF());
  color->c.rgb.blue = static_cast<QxReal>(c.blueF());
  return true;
}

bool readStyle(const QXmlStreamAttributes& a, QxPathStyle* style, QxReal* opacity, std::string* error) {
  *style = host::Document::defaultStyle();
  const QString fill = a.value("fill").toString();
  style->fillPaint = !fill.isEmpty() && fill != "none";
  if (style->fillPaint && !readColor(fill, &style->fill.color)) {
    *error = "unknown fill colour \"" + fill.toStdString() + "\"";
    return false;
  }
  style->evenOdd = a.value("fill-rule") == QLatin1String("evenodd");
  const QString stroke = a.value("stroke").toString();
  style->strokePaint = !stroke.isEmpty() && stroke != "none";
  if (style->strokePaint) {
    if (!readColor(stroke, &style->stroke.color)) {
      *error = "unknown stroke colour \"" + stroke.toStdString() + "\"";
      return false;
    }
    style->stroke.width = a.hasAttribute("stroke-width") ? a.value("stroke-width").toFloat() : 1.0f;
    const auto cap = a.value("stroke-linecap");
    style->stroke.cap = cap == QLatin1String("round") ? QX_CAP_ROUND : cap == QLatin1String("square") ? QX_CAP_SQUARE : QX_CAP_BUTT;
    const auto join = a.value("stroke-linejoin");
    style->stroke.join = join == QLatin1String("round") ? QX_JOIN_ROUND : join == QLatin1String("bevel") ? QX_JOIN_BEVEL : QX_JOIN_MITER;
    style->stroke.miterLimit = a.hasAttribute("stroke-miterlimit") ? a.value("stroke-miterlimit").toFloat() : 4.0f;
    style->stroke.dash = QxDashStyle{};
    if (a.hasAttribute("stroke-dasharray")) {
      const QStringList parts = a.value("stroke-dasharray").toString().split(' ', Qt::SkipEmptyParts);
      for (const QString& part : parts) {
        if (style->stroke.dash.length >= QX_DASH_MAX) break;
        style->stroke.dash.array[style->stroke.dash.length++] = part.toFloat();
      }
      style->stroke.dash.offset = a.value("stroke-dashoffset").toFloat();
    }
  }
  *opacity = a.hasAttribute("opacity") ? std::clamp(a.value("opacity").toFloat(), 0.0f, 1.0f) : 1.0f;
  return true;
}

// Place new art on top of the open group, or above everything at top level.
struct Placement {
  int16_t order;
  QxArtHandle ref;
};

bool addPath(host::Document& doc, const Subpath& sub, const QxPathStyle& style, Placement at, QxArtHandle* out) {
  QxArtHandle path = nullptr;
  if (doc.newArt(QX_ART_PATH, at.order, at.ref, &path) != QX_ERR_NONE) return false;
  if (sub.segments.size() > static_cast<size_t>(host::Document::kMaxSegments)) return false;
  if (doc.setSegments(path, 0, static_cast<int32_t>(sub.segments.size()), sub.segments.data()) != QX_ERR_NONE)
    return false;
  (void)doc.setClosed(path, sub.closed);
  (void)doc.setPathStyle(path, style);
  *out = path;
  return true;
}

}  // namespace

std::unique_ptr<host::Document> parseQuelvixSvg(const std::string& text, std::string* error) {
  QXmlStreamReader xml(QByteArray::fromStdString(text));
  auto doc = std::make_unique<host::Document>();
  doc->setSeed(std::nullopt);
  bool sawSvg = false, sawPage = false;
  std::vector<QxArtHandle> groups;  // open groups below the page's flip group
  int depth = 0;                    // <g> nesting, the flip group is depth 1
  std::vector<bool> isArtGroup;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      const auto name = xml.name();
      const QXmlStreamAttributes a = xml.attributes();
      const Placement at = groups.empty() ? Placement{QX_PLACE_ABOVE_ALL, nullptr}
                                          : Placement{QX_PLACE_INSIDE_ON_TOP, groups.back()};
      if (name == QLatin1String("svg")) {
        sawSvg = true;
      } else if (name == QLatin1String("document") && a.hasAttribute("seed")) {
        bool ok = false;
        const qulonglong seed = a.value("seed").toULongLong(&ok);
        if (ok) doc->setSeed(seed);
      } else if (name == QLatin1String("g")) {
        ++depth;
        const bool art = depth > 1;
        isArtGroup.push_back(art);
        if (art) {
          QxArtHandle group = nullptr;
          if (doc->newArt(QX_ART_GROUP, at.order, at.ref, &group) != QX_ERR_NONE) {
            *error = "the drawing holds more art than the document takes";
            return nullptr;
          }
          if (a.hasAttribute("opacity")) (void)doc->setOpacity(group, std::clamp(a.value("opacity").toFloat(), 0.0f, 1.0f));
          groups.push_back(group);
        }
      } else if (name == QLatin1String("rect") && !sawPage) {
        const double w = a.value("width").toDouble(), h = a.value("height").toDouble();
        if (doc->setPageSize(static_cast<QxReal>(w), static_cast<QxReal>(h)) != QX_ERR_NONE) {
          *error = "the page outline has no usable size";
          return nullptr;
        }
        sawPage = true;
      } else if (name == QLatin1String("path")) {
        std::vector<Subpath> subs;
        if (!parsePathData(a.value("d").toString(), &subs, error)) return nullptr;
        QxPathStyle style;
        QxReal opacity = 1;
        if (!readStyle(a, &style, &opacity, error)) return nullptr;
        if (subs.empty()) continue;
        QxArtHandle made = nullptr;
        bool ok = true;
        if (subs.size() == 1) {
          ok = addPath(*doc, subs[0], style, at, &made);
        } else {
          ok = doc->newArt(QX_ART_COMPOUND_PATH, at.order, at.ref, &made) == QX_ERR_NONE;
          if (ok) (void)doc->setPathStyle(made, style);
          for (size_t i = 0; ok && i < subs.size(); ++i) {
            QxArtHandle member = nullptr;
            ok = addPath(*doc, subs[i], style, Placement{QX_PLACE_INSIDE_ON_TOP, made}, &member);
          }
        }
        if (!ok) {
          *error = "a path could not be added (too many points or objects)";
          return nullptr;
        }
        if (opacity < 1) (void)doc->setOpacity(made, opacity);
      }
    } else if (xml.isEndElement() && xml.name() == QLatin1String("g")) {
      if (!isArtGroup.empty()) {
        if (isArtGroup.back()) groups.pop_back();
        isArtGroup.pop_back();
      }
      --depth;
    }
  }
  if (xml.hasError()) {
    *error = "not well-formed XML (line " + std::to_string(xml.lineNumber()) + "): " + xml.errorString().toStdString();
    return nullptr;
  }
  if (!sawSvg || !sawPage) {
    *error = "not a drawing written by Quelvix (no page outline)";
    return nullptr;
  }
  return doc;
}

std::unique_ptr<host::Document> readQuelvixSvg(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read the file";
    return nullptr;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    *error = "cannot read the file";
    return nullptr;
  }
  return parseQuelvixSvg(text.str(), error);
}

}  // namespace qx::gui
