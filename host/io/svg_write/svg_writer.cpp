#include "host/io/svg_write/svg_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <span>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "host/document/art_walk.h"
#include "host/document/document.h"
#include "host/io/atomic_file.h"
#include "host/io/color_convert.h"
#include "host/io/palette_reader.h"
#include "host/io/svg_write/svg_path_text.h"
#include "host/io/svg_write/svg_style_sheet.h"
#include "host/io/text_escape.h"

namespace qx::host {
namespace {

constexpr std::string_view kLayerLabel = "Quelvix";

bool finite(const QxRealPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

bool allFinite(std::span<const QxPathSegment> segments) {
  for (const QxPathSegment& s : segments)
    if (!finite(s.p) || !finite(s.in) || !finite(s.out)) return false;
  return true;
}

// The members of the compound path being walked that have segments, bottom
// first, as the walk passes them (the store does not change while the
// writer reads it, so their views stay valid). One that cannot be drawn (a
// non-finite coordinate) spoils the whole compound path.
class Members {
 public:
  void clear() { members_.clear(); }
  // False when the member spoils the compound path.
  bool add(const ArtView& path) {
    if (!allFinite(path.segments)) return false;
    if (!path.segments.empty()) members_.push_back(path);
    return true;
  }
  const std::vector<ArtView>& views() const { return members_; }

 private:
  std::vector<ArtView> members_;  // reused from compound to compound
};

// Lengths of the page and view box in whole thousandths of a point, so that
// no float noise reaches the file and the same document always gives the
// same text. Floats reach far beyond what readers take for a size, so art
// past 4e14 points is held there: the count cannot overflow and the box
// stays one a reader accepts.
double held(double v) { return std::clamp(v, -4e14, 4e14) * 1000; }
int64_t nearestThousandths(double v) { return static_cast<int64_t>(std::round(held(v))); }
int64_t thousandthsBelow(double v) { return static_cast<int64_t>(std::floor(held(v))); }
int64_t thousandthsAbove(double v) { return static_cast<int64_t>(std::ceil(held(v))); }

void writeThousandths(TextSink& out, int64_t k) {
  if (k < 0) {
    out.put('-');
    k = -k;
  }
  out.integer(static_cast<long long>(k / 1000));
  int64_t rest = k % 1000;
  if (rest == 0) return;
  char digits[4] = {'.', static_cast<char>('0' + rest / 100), static_cast<char>('0' + rest / 10 % 10),
                    static_cast<char>('0' + rest % 10)};
  size_t n = 4;
  while (digits[n - 1] == '0') --n;
  out.append(std::string_view(digits, n));
}

// The page's size in thousandths, at least one each way.
struct PageSize {
  int64_t width = 1, height = 1;
  explicit PageSize(const Document& d)
      : width(std::max<int64_t>(1, nearestThousandths(d.pageWidth()))),
        height(std::max<int64_t>(1, nearestThousandths(d.pageHeight()))) {}
  double heightPoints() const { return static_cast<double>(height) / 1000; }
};

// A generated id "p12" or "g3" could meet a name the document already
// holds; the numbers of such names are passed over.
bool generatedNumber(std::string_view name, uint64_t* number) {
  if (name.size() < 2 || name.size() > 19 || (name[0] != 'p' && name[0] != 'g')) return false;
  if (name[1] == '0' && name.size() > 2) return false;
  const auto [end, ec] = std::from_chars(name.data() + 1, name.data() + name.size(), *number);
  return ec == std::errc() && end == name.data() + name.size();
}

class SvgEmitter {
 public:
  explicit SvgEmitter(const Document& document) : document_(document), art_(document.art()), page_(document) {
    hasNames_ = document.hasArtNames();
  }

  // The first pass: which objects are drawn, the paint classes they use in
  // order, how far the drawing reaches, and the names generated ids avoid.
  void collect() {
    out_ = nullptr;
    paths_.reserve(art_.liveArtCount());
    walk();
  }

  // The view box in SVG's coordinates, in thousandths: the page and all art
  // with its stroke, rounded outwards.
  struct Box {
    int64_t x, y, width, height;
  };
  Box box() const {
    const double h = page_.heightPoints();
    const int64_t left = std::min<int64_t>(0, haveArt_ ? thousandthsBelow(minX_) : 0);
    const int64_t right = std::max<int64_t>(page_.width, haveArt_ ? thousandthsAbove(maxX_) : 0);
    const int64_t top = std::min<int64_t>(0, haveArt_ ? thousandthsBelow(h - maxY_) : 0);
    const int64_t bottom = std::max<int64_t>(page_.height, haveArt_ ? thousandthsAbove(h - minY_) : 0);
    return {left, top, right - left, bottom - top};
  }

  void write(TextSink& out) {
    out_ = &out;
    pathCursor_ = compoundCursor_ = 0;
    layerId_ = freeId("quelvix-layer");
    const Box b = box();
    out.append(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\""
        " xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\" version=\"1.1\" width=\"");
    writeThousandths(out, b.width);
    out.append("pt\" height=\"");
    writeThousandths(out, b.height);
    out.append("pt\" viewBox=\"");
    writeThousandths(out, b.x);
    out.put(' ');
    writeThousandths(out, b.y);
    out.put(' ');
    writeThousandths(out, b.width);
    out.put(' ');
    writeThousandths(out, b.height);
    out.append("\">\n<metadata><qx:document xmlns:qx=\"urn:quelvix:document\" version=\"1\"");
    if (const auto seed = document_.seed()) {
      out.append(" seed=\"");
      out.integer(static_cast<unsigned long long>(*seed));
      out.put('"');
    }
    writePalette();
    out.append("</metadata>\n<sodipodi:namedview id=\"");
    writeXmlAttribute(out, freeId("quelvix-view"));
    out.append("\" pagecolor=\"#ffffff\" inkscape:document-units=\"pt\"><inkscape:page id=\"");
    writeXmlAttribute(out, freeId("quelvix-page"));
    out.append("\" x=\"0\" y=\"0\" width=\"");
    writeThousandths(out, page_.width);
    out.append("\" height=\"");
    writeThousandths(out, page_.height);
    out.append("\"/></sodipodi:namedview>\n");
    sheet_.write(out);
    out.append("<g id=\"");
    writeXmlAttribute(out, layerId_);
    out.append("\" inkscape:groupmode=\"layer\" inkscape:label=\"");
    out.append(kLayerLabel);
    out.append("\" transform=\"matrix(1 0 0 -1 0 ");
    writeThousandths(out, page_.height);
    out.append(")\">\n");
    walk();
    out.append("</g>\n</svg>\n");
  }

 private:
  bool writing() const { return out_ != nullptr; }

  void walk() {
    ArtWalk walk(art_);
    ArtStep step;
    while (walk.next(&step)) {
      switch (step.kind) {
        case ArtStep::kArt:
          if (step.type != QX_ART_PATH) break;  // placed, raster, symbol, mesh: nothing to draw
          if (step.depth > 0 && inCompound_) {
            addMember(walk, step.view);
          } else {
            path(step.view);
          }
          break;
        case ArtStep::kEnter:
          if (step.type == QX_ART_GROUP) {
            enterGroup(step.view);
          } else {
            beginCompound(walk, step.view);
          }
          break;
        case ArtStep::kLeave:
          if (step.type == QX_ART_GROUP) {
            if (writing()) out_->append("</g>\n");
          } else {
            endCompound();
          }
          break;
      }
    }
  }

  void enterGroup(const ArtView& group) {
    if (!writing()) {
      noteName(group.art);
      return;
    }
    out_->append("<g");
    writeId(group.art, 'g');
    writeOpacity(group.opacity);
    out_->append(">\n");
  }

  // A path is decided once, by the first pass: drawn with its class, left
  // out, or left out with a comment. The second only reads what it writes.
  void path(const ArtView& path) {
    if (writing()) {
      const uint32_t paint = paths_[pathCursor_++];
      if (paint == kNonFinite) out_->append("<!-- a path with non-finite coordinates is left out -->\n");
      if (paint >= kNonFinite) return;
      begin(path.art, paint, path.opacity);
      pathText_.write(path.segments, path.closed, *out_);
      out_->append("\"/>\n");
      return;
    }
    if (path.segments.empty() || !path.hasStyle()) {
      paths_.push_back(kLeftOut);
    } else if (!allFinite(path.segments)) {
      paths_.push_back(kNonFinite);
    } else {
      paths_.push_back(drawn(path));
    }
  }

  // A compound path is one <path> of its members' outlines, written once
  // the walk has passed them all; without paint of its own it is left out.
  void beginCompound(ArtWalk& walk, const ArtView& compound) {
    members_.clear();
    compound_ = compound;
    inCompound_ = compound.hasStyle();
    if (!inCompound_) walk.skipToLeave();
  }

  void addMember(ArtWalk& walk, const ArtView& path) {
    if (members_.add(path)) return;
    if (writing()) out_->append("<!-- a compound path with non-finite coordinates is left out -->\n");
    inCompound_ = false;
    walk.skipToLeave();
  }

  void endCompound() {
    const bool drawnNow = inCompound_ && !members_.views().empty();
    inCompound_ = false;
    if (!drawnNow) return;
    if (!writing()) {
      compounds_.push_back(drawn(compound_));
      return;
    }
    begin(compound_.art, compounds_[compoundCursor_++], compound_.opacity);
    for (const ArtView& member : members_.views()) pathText_.write(member.segments, member.closed, *out_);
    out_->append("\"/>\n");
  }

  // The first pass's record of a drawn path or compound path: its class.
  uint32_t drawn(const ArtView& object) {
    noteName(object.art);
    // Most paths share their style with the one before.
    const QxPathStyle style = object.style();
    if (!haveLastStyle_ || std::memcmp(&style, &lastStyle_, sizeof style) != 0) {
      lastClass_ = sheet_.classOf(art_.shownStyle(style));
      lastStyle_ = style;
      haveLastStyle_ = true;
    }
    const uint32_t paint = lastClass_;
    const QxRealRect r = object.bounds();
    const double reach = sheet_.reach(paint);
    const double l = std::min(r.left, r.right), rt = std::max(r.left, r.right);
    const double b = std::min(r.top, r.bottom), t = std::max(r.top, r.bottom);
    if (!std::isfinite(l) || !std::isfinite(rt) || !std::isfinite(b) || !std::isfinite(t)) return paint;
    if (!haveArt_) {
      minX_ = l - reach, maxX_ = rt + reach, minY_ = b - reach, maxY_ = t + reach;
      haveArt_ = true;
      return paint;
    }
    minX_ = std::min(minX_, l - reach);
    maxX_ = std::max(maxX_, rt + reach);
    minY_ = std::min(minY_, b - reach);
    maxY_ = std::max(maxY_, t + reach);
    return paint;
  }

  // <path id class [opacity] d=" of a drawn object.
  void begin(QxArtHandle art, uint32_t paint, QxReal opacity) {
    out_->append("<path");
    writeId(art, 'p');
    out_->append(" class=\"");
    SvgStyleSheet::writeName(paint, *out_);
    out_->put('"');
    writeOpacity(opacity);
    out_->append(" d=\"");
  }

  void noteName(QxArtHandle art) {
    if (!hasNames_) return;
    uint64_t number = 0;
    if (generatedNumber(document_.artName(art), &number)) taken_.insert(number);
  }

  // The name art came in with (an SVG id), so it survives a save; art
  // without one, or whose name an object below already took, gets a new id.
  void writeId(QxArtHandle art, char kind) {
    out_->append(" id=\"");
    if (hasNames_) {
      const std::string& name = document_.artName(art);
      if (!name.empty() && used_.insert(name).second) {
        writeXmlAttribute(*out_, name);
        out_->put('"');
        return;
      }
    }
    while (taken_.count(next_) > 0) ++next_;
    out_->put(kind);
    out_->integer(static_cast<unsigned long long>(next_++));
    out_->put('"');
  }

  // An id of our own for the file's parts, none an object's name.
  std::string freeId(std::string base) const {
    if (!hasNames_ || !document_.findArtByName(base)) return base;
    for (int i = 2;; ++i) {
      std::string id = base + "-" + std::to_string(i);
      if (!document_.findArtByName(id)) return id;
    }
  }

  // The swatch list, when it is not the default one, so a drawing reopens
  // with the palette it was made with.
  void writePalette() {
    const std::vector<PaletteColour> palette = swatchPalette(document_.swatches());
    if (palette.empty()) {
      out_->append("/>");
      return;
    }
    out_->append(">");
    for (const PaletteColour& c : palette) {
      char hex[8];
      formatHexColor(toSrgb8(c.color).value_or(Srgb8{}), hex);
      out_->append("<qx:swatch name=\"");
      writeXmlAttribute(*out_, c.name);
      out_->append("\" rgb=\"");
      out_->append(std::string_view(hex, 7));
      out_->append("\"/>");
    }
    out_->append("</qx:document>");
  }

  void writeOpacity(QxReal opacity) {
    if (!(opacity < 1)) return;  // opaque, or NaN, which the document refuses anyway
    out_->append(" opacity=\"");
    out_->number(std::max(opacity, 0.0f));
    out_->put('"');
  }

  const Document& document_;
  const ArtStore& art_;
  const PageSize page_;
  TextSink* out_ = nullptr;  // null while collecting
  SvgPathText pathText_;
  SvgStyleSheet sheet_;
  // The first pass's decisions, in walk order: each path's class (or
  // kLeftOut, kNonFinite) and each drawn compound path's class.
  static constexpr uint32_t kNonFinite = UINT32_MAX - 1, kLeftOut = UINT32_MAX;
  std::vector<uint32_t> paths_, compounds_;
  size_t pathCursor_ = 0, compoundCursor_ = 0;
  bool haveLastStyle_ = false;
  QxPathStyle lastStyle_{};
  uint32_t lastClass_ = 0;
  // The compound path being walked, while its members are read.
  bool inCompound_ = false;
  ArtView compound_;
  Members members_;
  // How far the drawn art reaches, in artwork coordinates.
  bool haveArt_ = false;
  double minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
  // Ids: names are kept while unique; generated ones skip taken numbers.
  bool hasNames_ = false;
  std::unordered_set<uint64_t> taken_;
  std::unordered_set<std::string_view> used_;
  uint64_t next_ = 1;
  std::string layerId_;
};

}  // namespace

SvgBox svgViewBox(const Document& document) {
  SvgEmitter emitter(document);
  emitter.collect();
  const SvgEmitter::Box b = emitter.box();
  return {static_cast<double>(b.x) / 1000, static_cast<double>(b.y) / 1000, static_cast<double>(b.width) / 1000,
          static_cast<double>(b.height) / 1000};
}

void writeSvg(const Document& document, TextSink& out) {
  SvgEmitter emitter(document);
  emitter.collect();
  emitter.write(out);
}

std::string svgText(const Document& document) {
  return writeToString([&](TextSink& sink) { writeSvg(document, sink); });
}

bool saveSvg(const Document& document, const std::string& path, std::string* error) {
  return writeToFile(path, error, [&](TextSink& sink) { writeSvg(document, sink); });
}

}  // namespace qx::host
