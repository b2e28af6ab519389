#include "host/io/json/json_writer.h"

#include <cmath>

#include "host/document/art_walk.h"
#include "host/document/document.h"
#include "host/io/atomic_file.h"
#include "host/io/text_escape.h"

namespace qx::host {
namespace {

void writeReal(TextSink& out, QxReal v) {
  if (std::isfinite(v)) out.number(v);
  else out.append("null");
}

void writeBool(TextSink& out, bool v) { out.append(v ? "true" : "false"); }

void writeValues(TextSink& out, std::initializer_list<QxReal> values) {
  out.put('[');
  bool first = true;
  for (QxReal v : values) {
    if (!first) out.append(", ");
    first = false;
    writeReal(out, v);
  }
  out.put(']');
}

void writeColor(TextSink& out, const QxColor& color) {
  switch (color.kind) {
    case QX_COLOR_GRAY:
      out.append("{\"kind\": \"gray\", \"values\": ");
      writeValues(out, {color.c.gray});
      break;
    case QX_COLOR_PROCESS:
      out.append("{\"kind\": \"process\", \"values\": ");
      writeValues(out, {color.c.process.cyan, color.c.process.magenta, color.c.process.yellow, color.c.process.black});
      break;
    case QX_COLOR_RGB:
      out.append("{\"kind\": \"rgb\", \"values\": ");
      writeValues(out, {color.c.rgb.red, color.c.rgb.green, color.c.rgb.blue});
      break;
    case QX_COLOR_PATTERN: out.append("{\"kind\": \"pattern\", \"values\": []"); break;
    case QX_COLOR_GRADIENT: out.append("{\"kind\": \"gradient\", \"values\": []"); break;
    default:  // none, spot and kinds this host does not know
      out.append("{\"kind\": \"none\", \"values\": []");
      break;
  }
  out.put('}');
}

// The fields a fill and a stroke share; the object is left open.
void writePaint(TextSink& out, bool paint, const QxColor& color, bool overprint) {
  out.append("{\"paint\": ");
  writeBool(out, paint);
  out.append(", \"color\": ");
  writeColor(out, color);
  out.append(", \"overprint\": ");
  writeBool(out, overprint);
}

void writeFill(TextSink& out, const QxPathStyle& style) {
  writePaint(out, style.fillPaint != 0, style.fill.color, style.fill.overprint != 0);
  out.put('}');
}

void writeStroke(TextSink& out, const QxPathStyle& style) {
  writePaint(out, style.strokePaint != 0, style.stroke.color, style.stroke.overprint != 0);
  out.append(", \"width\": ");
  writeReal(out, style.stroke.width);
  out.put('}');
}

const char* typeName(int16_t type) {
  switch (type) {
    case QX_ART_PATH: return "path";
    case QX_ART_COMPOUND_PATH: return "compound";
    case QX_ART_GROUP: return "group";
    case QX_ART_PLACED: return "placed";
    case QX_ART_RASTER: return "raster";
    case QX_ART_SYMBOL: return "symbol";
    case QX_ART_MESH: return "mesh";
    default: return "unknown";
  }
}

// Everything of one object but its children, without the closing brace.
void writeArtFields(TextSink& out, const ArtView& view, const QxRealRect& bounds) {
  out.append("{\"type\": \"");
  out.append(typeName(view.type));
  out.append("\", \"closed\": ");
  writeBool(out, view.type == QX_ART_PATH && view.closed);
  out.append(", \"segments\": [");
  if (view.type == QX_ART_PATH) {
    bool first = true;
    for (const QxPathSegment& s : view.segments) {
      if (!first) out.append(", ");
      first = false;
      out.put('[');
      writeReal(out, s.p.x);
      out.append(", ");
      writeReal(out, s.p.y);
      out.append(", ");
      writeReal(out, s.in.x);
      out.append(", ");
      writeReal(out, s.in.y);
      out.append(", ");
      writeReal(out, s.out.x);
      out.append(", ");
      writeReal(out, s.out.y);
      out.append(s.corner ? ", true]" : ", false]");
    }
  }
  const QxPathStyle style = view.style();
  out.append("], \"fill\": ");
  if (view.hasStyle()) writeFill(out, style);
  else out.append("null");
  out.append(", \"stroke\": ");
  if (view.hasStyle()) writeStroke(out, style);
  else out.append("null");
  out.append(", \"opacity\": ");
  writeReal(out, view.opacity);
  out.append(", \"bounds\": ");
  writeValues(out, {bounds.left, bounds.top, bounds.right, bounds.bottom});
  out.append(", \"selected\": ");
  writeBool(out, view.selected);
}

// The art tree in paint order; a container's fields, then its children
// between the brackets its enter and leave steps open and close.
void writeArt(TextSink& out, const ArtStore& art) {
  if (!art.firstTopLevel()) {
    out.append("[]");
    return;
  }
  out.put('[');
  bool first = true;  // no object written yet in the current list
  // Read once: a container's own bounds pass over all it holds.
  const std::unordered_map<QxArtHandle, QxRealRect> containers = art.containerBounds();
  ArtWalk walk(art);
  ArtStep step;
  while (walk.next(&step)) {
    if (step.kind == ArtStep::kLeave) {
      out.append("]}");
      first = false;
      continue;
    }
    if (step.depth == 0) out.append(first ? "\n  " : ",\n  ");
    else if (!first) out.append(", ");
    first = false;
    QxRealRect bounds{};
    if (step.kind != ArtStep::kEnter) {
      bounds = step.view.bounds();
    } else if (const auto box = containers.find(step.art); box != containers.end()) {
      bounds = box->second;
    }
    writeArtFields(out, step.view, bounds);
    if (step.kind == ArtStep::kEnter) {
      out.append(", \"children\": [");
      first = true;
    } else {
      out.put('}');
    }
  }
  out.append("\n ]");
}

}  // namespace

void writeDocumentJson(const Document& document, TextSink& out) {
  out.append("{\"format\": \"quelvix-document\", \"version\": 1,\n \"page\": {\"width\": ");
  writeReal(out, document.pageWidth());
  out.append(", \"height\": ");
  writeReal(out, document.pageHeight());
  out.append("}, \"seed\": ");
  if (const auto seed = document.seed()) out.integer(static_cast<unsigned long long>(*seed));
  else out.append("null");

  out.append(",\n \"swatches\": [");
  const auto& swatches = document.swatches();
  for (size_t i = 0; i < swatches.size(); ++i) {
    out.append(i == 0 ? "\n  {\"name\": " : ",\n  {\"name\": ");
    writeJsonString(out, swatches[i].name);
    out.append(", \"color\": ");
    writeColor(out, swatches[i].color);
    out.put('}');
  }
  out.append(swatches.empty() ? "]" : "\n ]");

  out.append(",\n \"currentStyle\": {\"fill\": ");
  writeFill(out, document.art().currentStyle());
  out.append(", \"stroke\": ");
  writeStroke(out, document.art().currentStyle());
  out.append("},\n \"art\": ");
  writeArt(out, document.art());
  out.append("}\n");
}

std::string documentJson(const Document& document) {
  return writeToString([&](TextSink& sink) { writeDocumentJson(document, sink); });
}

bool saveDocumentJson(const Document& document, const std::string& path, std::string* error) {
  return writeToFile(path, error, [&](TextSink& sink) { writeDocumentJson(document, sink); });
}

}  // namespace qx::host
