#include "host/io/svg_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <span>
#include <vector>

#include "host/document/document.h"
#include "host/io/atomic_file.h"
#include "host/io/color_convert.h"

namespace qx::host {
namespace {

constexpr char kPageOutline[] = "fill=\"none\" stroke=\"#a0a0a0\" stroke-width=\"0.5\"";

bool finite(const QxRealPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

bool allFinite(std::span<const QxPathSegment> segments) {
  for (const QxPathSegment& s : segments)
    if (!finite(s.p) || !finite(s.in) || !finite(s.out)) return false;
  return true;
}

bool same(const QxRealPoint& a, const QxRealPoint& b) { return a.x == b.x && a.y == b.y; }

bool paintsStroke(const QxPathStyle& style) {
  return style.strokePaint && std::isfinite(style.stroke.width) && style.stroke.width > 0 &&
         toSrgb8(style.stroke.color).has_value();
}

// How far past the outline the stroke can reach: half the width, more where
// square caps stick out diagonally or miter joins run to their limit.
double strokeReach(const QxPathStyle& style) {
  if (!paintsStroke(style)) return 0;
  double factor = 1;
  if (style.stroke.cap == QX_CAP_SQUARE) factor = std::sqrt(2.0);
  if (style.stroke.join == QX_JOIN_MITER && std::isfinite(style.stroke.miterLimit))
    factor = std::max(factor, static_cast<double>(style.stroke.miterLimit));
  return 0.5 * static_cast<double>(style.stroke.width) * factor;
}

// Walks the art tree in paint order without recursion. `enter` sees every
// object with its type and answers whether to go into its children; `leave`
// is called for each object entered that way once its children are done.
template <class Enter, class Leave>
void walkArt(const Document& document, Enter enter, Leave leave) {
  QxArtHandle art = document.firstTopLevel();
  int depth = 0;
  while (art) {
    int16_t type = QX_ART_UNKNOWN;
    if (document.artType(art, &type) == QX_ERR_NONE && enter(art, type)) {
      QxArtHandle child = nullptr;
      if (document.firstChild(art, &child) == QX_ERR_NONE && child) {
        ++depth;
        art = child;
        continue;
      }
      leave();
    }
    for (;;) {
      QxArtHandle next = nullptr;
      if (document.nextSibling(art, &next) == QX_ERR_NONE && next) {
        art = next;
        break;
      }
      if (depth == 0) {
        art = nullptr;
        break;
      }
      QxArtHandle up = nullptr;
      (void)document.parent(art, &up);
      leave();
      --depth;
      art = up;
      if (!art) break;
    }
  }
  for (; depth > 0; --depth) leave();
}

// A path's outline, read piece by piece: the writing pass has no use for
// the bounds that a full description computes.
struct Outline {
  std::vector<QxPathSegment> segments;
  bool closed = false;
};

bool readOutline(const Document& document, QxArtHandle path, Outline* outline) {
  int16_t count = 0;
  if (document.segmentCount(path, &count) != QX_ERR_NONE || count < 0) return false;
  outline->segments.resize(static_cast<size_t>(count));
  if (count > 0 && document.getSegments(path, 0, count, outline->segments.data()) != QX_ERR_NONE) return false;
  return document.closed(path, &outline->closed) == QX_ERR_NONE;
}

// The members of a compound path that are paths, bottom first; false when
// one of them cannot be drawn (a non-finite coordinate).
bool readMembers(const Document& document, QxArtHandle compound, std::vector<Outline>* members) {
  members->clear();
  for (QxArtHandle child : document.children(compound)) {
    int16_t type = QX_ART_UNKNOWN;
    if (document.artType(child, &type) != QX_ERR_NONE || type != QX_ART_PATH) continue;
    Outline outline;
    if (!readOutline(document, child, &outline)) continue;
    if (!allFinite(outline.segments)) return false;
    if (!outline.segments.empty()) members->push_back(std::move(outline));
  }
  return true;
}

class SvgEmitter {
 public:
  SvgEmitter(const Document& document, TextSink& out) : document_(document), out_(out) {}

  void write() {
    const SvgBox box = svgViewBox(document_);
    out_.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"");
    out_.number(box.width);
    out_.append("pt\" height=\"");
    out_.number(box.height);
    out_.append("pt\" viewBox=\"");
    out_.number(box.x);
    out_.put(' ');
    out_.number(box.y);
    out_.put(' ');
    out_.number(box.width);
    out_.put(' ');
    out_.number(box.height);
    out_.append("\">\n<metadata><qx:document xmlns:qx=\"urn:quelvix:document\" version=\"1\"");
    if (const auto seed = document_.seed()) {
      out_.append(" seed=\"");
      out_.integer(static_cast<unsigned long long>(*seed));
      out_.put('"');
    }
    out_.append("/></metadata>\n<g transform=\"matrix(1 0 0 -1 0 ");
    out_.number(document_.pageHeight());
    out_.append(")\">\n<rect x=\"0\" y=\"0\" width=\"");
    out_.number(document_.pageWidth());
    out_.append("\" height=\"");
    out_.number(document_.pageHeight());
    out_.append("\" ");
    out_.append(kPageOutline);
    out_.append("/>\n");

    walkArt(
        document_, [this](QxArtHandle art, int16_t type) { return enter(art, type); },
        [this] { out_.append("</g>\n"); });

    out_.append("</g>\n</svg>\n");
  }

 private:
  bool enter(QxArtHandle art, int16_t type) {
    switch (type) {
      case QX_ART_PATH:
        writePath(art);
        return false;
      case QX_ART_COMPOUND_PATH:
        writeCompound(art);
        return false;
      case QX_ART_GROUP: {
        QxReal opacity = 1;
        (void)document_.opacity(art, &opacity);
        out_.append("<g");
        writeOpacity(opacity);
        out_.append(">\n");
        return true;
      }
      default:  // placed, raster, symbol, mesh: nothing to draw
        return false;
    }
  }

  // The object's own paint; false when it has none to read.
  bool readPaint(QxArtHandle art, QxPathStyle* style, QxReal* opacity) {
    return document_.pathStyle(art, style) == QX_ERR_NONE && document_.opacity(art, opacity) == QX_ERR_NONE;
  }

  void writePath(QxArtHandle art) {
    QxPathStyle style;
    QxReal opacity = 1;
    if (!readOutline(document_, art, &outline_) || outline_.segments.empty() || !readPaint(art, &style, &opacity))
      return;
    if (!allFinite(outline_.segments)) {
      out_.append("<!-- a path with non-finite coordinates is left out -->\n");
      return;
    }
    out_.append("<path d=\"");
    writeOutline(outline_.segments, outline_.closed);
    out_.put('"');
    writePaint(style, opacity);
    out_.append("/>\n");
  }

  void writeCompound(QxArtHandle compound) {
    QxPathStyle style;
    QxReal opacity = 1;
    if (!readPaint(compound, &style, &opacity)) return;
    if (!readMembers(document_, compound, &members_)) {
      out_.append("<!-- a compound path with non-finite coordinates is left out -->\n");
      return;
    }
    if (members_.empty()) return;
    out_.append("<path d=\"");
    for (size_t i = 0; i < members_.size(); ++i) {
      if (i > 0) out_.put(' ');
      writeOutline(members_[i].segments, members_[i].closed);
    }
    out_.put('"');
    writePaint(style, opacity);
    out_.append("/>\n");
  }

  void point(const QxRealPoint& p) {
    out_.number(p.x);
    out_.put(' ');
    out_.number(p.y);
  }

  // One piece from `from` to `to`: a line when both handles sit on their
  // anchors, a cubic otherwise.
  void piece(const QxPathSegment& from, const QxPathSegment& to) {
    if (same(from.out, from.p) && same(to.in, to.p)) {
      out_.put('L');
    } else {
      out_.put('C');
      point(from.out);
      out_.put(' ');
      point(to.in);
      out_.put(' ');
    }
    point(to.p);
  }

  void writeOutline(std::span<const QxPathSegment> segments, bool closed) {
    out_.put('M');
    point(segments[0].p);
    for (size_t i = 1; i < segments.size(); ++i) piece(segments[i - 1], segments[i]);
    if (closed) {
      const QxPathSegment& last = segments.back();
      const QxPathSegment& first = segments.front();
      // Z draws the straight closing piece itself; a curved one is drawn first.
      if (segments.size() > 1 && !(same(last.out, last.p) && same(first.in, first.p))) piece(last, first);
      out_.put('Z');
    }
  }

  void writeOpacity(QxReal opacity) {
    if (!(opacity < 1)) return;  // opaque, or NaN, which the document refuses anyway
    out_.append(" opacity=\"");
    out_.number(std::max(opacity, 0.0f));
    out_.put('"');
  }

  // Paint attributes; consecutive objects often share a style, so the text
  // of the last one is kept.
  void writePaint(const QxPathStyle& style, QxReal opacity) {
    if (!haveCached_ || opacity != cachedOpacity_ ||
        std::memcmp(&style, &cachedStyle_, sizeof style) != 0) {
      cachedText_.clear();
      paintText(cachedText_, style, opacity);
      cachedStyle_ = style;
      cachedOpacity_ = opacity;
      haveCached_ = true;
    }
    out_.append(cachedText_);
  }

  static void appendNumber(std::string& text, float v) {
    char buf[32];
    text.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
  }

  static void paintText(std::string& text, const QxPathStyle& style, QxReal opacity) {
    char hex[8];
    const auto fill = style.fillPaint ? toSrgb8(style.fill.color) : std::nullopt;
    if (fill) {
      formatHexColor(*fill, hex);
      text += " fill=\"";
      text += hex;
      text += '"';
      if (style.evenOdd) text += " fill-rule=\"evenodd\"";
    } else {
      text += " fill=\"none\"";
    }
    if (paintsStroke(style)) {
      const QxStrokeStyle& s = style.stroke;
      formatHexColor(*toSrgb8(s.color), hex);
      text += " stroke=\"";
      text += hex;
      text += "\" stroke-width=\"";
      appendNumber(text, s.width);
      text += '"';
      if (s.cap == QX_CAP_ROUND) text += " stroke-linecap=\"round\"";
      else if (s.cap == QX_CAP_SQUARE) text += " stroke-linecap=\"square\"";
      if (s.join == QX_JOIN_ROUND) text += " stroke-linejoin=\"round\"";
      else if (s.join == QX_JOIN_BEVEL) text += " stroke-linejoin=\"bevel\"";
      // SVG refuses limits below 1 and starts from 4.
      if (std::isfinite(s.miterLimit) && s.miterLimit != 4) {
        text += " stroke-miterlimit=\"";
        appendNumber(text, std::max(s.miterLimit, 1.0f));
        text += '"';
      }
      appendDash(text, s.dash);
    }
    if (opacity < 1) {
      text += " opacity=\"";
      appendNumber(text, std::max(opacity, 0.0f));
      text += '"';
    }
  }

  // A dash pattern SVG can draw: 1 to 6 finite, non-negative lengths that
  // are not all zero. Anything else is drawn solid.
  static void appendDash(std::string& text, const QxDashStyle& dash) {
    if (dash.length <= 0 || dash.length > QX_DASH_MAX) return;
    double total = 0;
    for (int i = 0; i < dash.length; ++i) {
      if (!std::isfinite(dash.array[i]) || dash.array[i] < 0) return;
      total += dash.array[i];
    }
    if (total <= 0) return;
    text += " stroke-dasharray=\"";
    for (int i = 0; i < dash.length; ++i) {
      if (i > 0) text += ' ';
      appendNumber(text, dash.array[i]);
    }
    text += '"';
    if (std::isfinite(dash.offset) && dash.offset != 0) {
      text += " stroke-dashoffset=\"";
      appendNumber(text, dash.offset);
      text += '"';
    }
  }

  const Document& document_;
  TextSink& out_;
  Outline outline_;               // reused from path to path
  std::vector<Outline> members_;  // of the compound path being written
  bool haveCached_ = false;
  QxPathStyle cachedStyle_{};
  QxReal cachedOpacity_ = 1;
  std::string cachedText_;
};

}  // namespace

SvgBox svgViewBox(const Document& document) {
  double minX = 0, minY = 0;
  double maxX = document.pageWidth(), maxY = document.pageHeight();
  const auto include = [&](const QxRealRect& r, double reach) {
    const double l = std::min(r.left, r.right), rt = std::max(r.left, r.right);
    const double b = std::min(r.top, r.bottom), t = std::max(r.top, r.bottom);
    if (!std::isfinite(l) || !std::isfinite(rt) || !std::isfinite(b) || !std::isfinite(t)) return;
    minX = std::min(minX, l - reach);
    maxX = std::max(maxX, rt + reach);
    minY = std::min(minY, b - reach);
    maxY = std::max(maxY, t + reach);
  };
  ArtInfo info;
  std::vector<Outline> members;
  walkArt(
      document,
      [&](QxArtHandle art, int16_t type) {
        if (type == QX_ART_PATH) {
          if (document.describe(art, &info) && !info.segments.empty() && allFinite(info.segments))
            include(info.bounds, strokeReach(info.style));
        } else if (type == QX_ART_COMPOUND_PATH) {
          if (readMembers(document, art, &members) && !members.empty() && document.describe(art, &info))
            include(info.bounds, strokeReach(info.style));
        }
        return type == QX_ART_GROUP;
      },
      [] {});
  SvgBox box;
  box.x = minX;
  box.y = static_cast<double>(document.pageHeight()) - maxY;
  box.width = maxX - minX;
  box.height = maxY - minY;
  return box;
}

void writeSvg(const Document& document, TextSink& out) { SvgEmitter(document, out).write(); }

std::string svgText(const Document& document) {
  return writeToString([&](TextSink& sink) { writeSvg(document, sink); });
}

bool saveSvg(const Document& document, const std::string& path, std::string* error) {
  return writeToFile(path, error, [&](TextSink& sink) { writeSvg(document, sink); });
}

}  // namespace qx::host
