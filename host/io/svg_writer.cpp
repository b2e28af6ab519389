#include "host/io/svg_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <span>
#include <vector>

#include "host/document/art_walk.h"
#include "host/document/document.h"
#include "host/io/atomic_file.h"
#include "host/io/color_convert.h"
#include "host/io/palette_reader.h"
#include "host/io/text_escape.h"

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

// A path's outline, read piece by piece: the writing pass has no use for
// the bounds that a full description computes.
struct Outline {
  std::vector<QxPathSegment> segments;
  bool closed = false;
};

bool readOutline(const ArtStore& art, QxArtHandle path, Outline* outline) {
  int16_t count = 0;
  if (art.segmentCount(path, &count) != QX_ERR_NONE || count < 0) return false;
  outline->segments.resize(static_cast<size_t>(count));
  if (count > 0 && art.getSegments(path, 0, count, outline->segments.data()) != QX_ERR_NONE) return false;
  return art.closed(path, &outline->closed) == QX_ERR_NONE;
}

// The members of the compound path being walked that have segments, bottom
// first, read as the walk passes them. One that cannot be drawn (a
// non-finite coordinate) spoils the whole compound path.
class Members {
 public:
  void clear() { count_ = 0; }
  // False when the member spoils the compound path.
  bool add(const ArtStore& art, QxArtHandle path) {
    if (count_ == outlines_.size()) outlines_.emplace_back();
    Outline& outline = outlines_[count_];
    if (!readOutline(art, path, &outline)) return true;
    if (!allFinite(outline.segments)) return false;
    if (!outline.segments.empty()) ++count_;
    return true;
  }
  std::span<const Outline> outlines() const { return {outlines_.data(), count_}; }

 private:
  std::vector<Outline> outlines_;  // reused from compound to compound
  size_t count_ = 0;
};

class SvgEmitter {
 public:
  SvgEmitter(const Document& document, TextSink& out) : document_(document), art_(document.art()), out_(out) {}

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
    writePalette();
    out_.append("</metadata>\n<g transform=\"matrix(1 0 0 -1 0 ");
    out_.number(document_.pageHeight());
    out_.append(")\">\n<rect x=\"0\" y=\"0\" width=\"");
    out_.number(document_.pageWidth());
    out_.append("\" height=\"");
    out_.number(document_.pageHeight());
    out_.append("\" ");
    out_.append(kPageOutline);
    out_.append("/>\n");

    ArtWalk walk(art_);
    ArtStep step;
    while (walk.next(&step)) {
      switch (step.kind) {
        case ArtStep::kArt:
          if (step.type != QX_ART_PATH) break;  // placed, raster, symbol, mesh: nothing to draw
          if (step.depth > 0 && inCompound_) {
            addMember(walk, step.art);
          } else {
            writePath(step.art);
          }
          break;
        case ArtStep::kEnter:
          if (step.type == QX_ART_GROUP) {
            QxReal opacity = 1;
            (void)art_.opacity(step.art, &opacity);
            out_.append("<g");
            writeId(step.art);
            writeOpacity(opacity);
            out_.append(">\n");
          } else {
            beginCompound(walk, step.art);
          }
          break;
        case ArtStep::kLeave:
          if (step.type == QX_ART_GROUP) {
            out_.append("</g>\n");
          } else {
            endCompound();
          }
          break;
      }
    }

    out_.append("</g>\n</svg>\n");
  }

 private:
  // The object's own paint; false when it has none to read.
  bool readPaint(QxArtHandle art, QxPathStyle* style, QxReal* opacity) {
    return art_.pathStyle(art, style) == QX_ERR_NONE && art_.opacity(art, opacity) == QX_ERR_NONE;
  }

  void writePath(QxArtHandle art) {
    QxPathStyle style;
    QxReal opacity = 1;
    if (!readOutline(art_, art, &outline_) || outline_.segments.empty() || !readPaint(art, &style, &opacity)) return;
    if (!allFinite(outline_.segments)) {
      out_.append("<!-- a path with non-finite coordinates is left out -->\n");
      return;
    }
    out_.append("<path");
    writeId(art);
    out_.append(" d=\"");
    writeOutline(outline_.segments, outline_.closed);
    out_.put('"');
    writePaint(art_.shownStyle(style), opacity);
    out_.append("/>\n");
  }

  // A compound path is one <path> of its members' outlines, written once
  // the walk has passed them all; without paint of its own it is left out.
  void beginCompound(ArtWalk& walk, QxArtHandle compound) {
    members_.clear();
    compound_ = compound;
    inCompound_ = readPaint(compound, &compoundStyle_, &compoundOpacity_);
    if (!inCompound_) walk.skipToLeave();
  }

  void addMember(ArtWalk& walk, QxArtHandle path) {
    if (members_.add(art_, path)) return;
    out_.append("<!-- a compound path with non-finite coordinates is left out -->\n");
    inCompound_ = false;
    walk.skipToLeave();
  }

  void endCompound() {
    const bool write = inCompound_ && !members_.outlines().empty();
    inCompound_ = false;
    if (!write) return;
    out_.append("<path");
    writeId(compound_);
    out_.append(" d=\"");
    bool first = true;
    for (const Outline& member : members_.outlines()) {
      if (!first) out_.put(' ');
      first = false;
      writeOutline(member.segments, member.closed);
    }
    out_.put('"');
    writePaint(art_.shownStyle(compoundStyle_), compoundOpacity_);
    out_.append("/>\n");
  }

  // The name art came in with (an SVG id), so it survives a save.
  void writeId(QxArtHandle art) {
    const std::string& name = document_.artName(art);
    if (name.empty()) return;
    out_.append(" id=\"");
    writeXmlAttribute(out_, name);
    out_.put('"');
  }

  // The swatch list, when it is not the default one, so a drawing reopens
  // with the palette it was made with.
  void writePalette() {
    const std::vector<PaletteColour> palette = swatchPalette(document_.swatches());
    if (palette.empty()) {
      out_.append("/>");
      return;
    }
    out_.append(">");
    for (const PaletteColour& c : palette) {
      char hex[8];
      formatHexColor(toSrgb8(c.color).value_or(Srgb8{}), hex);
      out_.append("<qx:swatch name=\"");
      writeXmlAttribute(out_, c.name);
      out_.append("\" rgb=\"");
      out_.append(std::string_view(hex, 7));
      out_.append("\"/>");
    }
    out_.append("</qx:document>");
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
    if (!haveCached_ || opacity != cachedOpacity_ || std::memcmp(&style, &cachedStyle_, sizeof style) != 0) {
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
  const ArtStore& art_;
  TextSink& out_;
  Outline outline_;  // reused from path to path
  // The compound path being walked, while its members are read.
  bool inCompound_ = false;
  QxArtHandle compound_ = nullptr;
  Members members_;
  QxPathStyle compoundStyle_{};
  QxReal compoundOpacity_ = 1;
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
  const ArtStore& art = document.art();
  ArtInfo info;
  Members members;
  bool inCompound = false;  // and none of its members read so far spoils it
  ArtWalk walk(art);
  ArtStep step;
  while (walk.next(&step)) {
    if (step.type == QX_ART_COMPOUND_PATH) {
      if (step.kind == ArtStep::kEnter) {
        members.clear();
        inCompound = true;
      } else {
        if (inCompound && !members.outlines().empty() && art.describe(step.art, &info))
          include(info.bounds, strokeReach(art.shownStyle(info.style)));
        inCompound = false;
      }
    } else if (step.type == QX_ART_PATH) {
      if (step.depth > 0 && inCompound) {
        if (!members.add(art, step.art)) {
          inCompound = false;
          walk.skipToLeave();
        }
      } else if (art.describe(step.art, &info) && !info.segments.empty() && allFinite(info.segments)) {
        include(info.bounds, strokeReach(art.shownStyle(info.style)));
      }
    }
  }
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
