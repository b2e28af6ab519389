// The desktop app's file commands apart from its widgets: each does its work
// on the app's session and answers false with a one-line reason when it
// fails, changing nothing then. The window asks for the file names, asks
// before unsaved changes are lost and shows what happened; pictures (PNG,
// PDF) it has painted by the painting layer.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace qx::host {

class AppSession;
class Document;

// A document of a new page `width` x `height` points; null when that is no
// page's size.
std::unique_ptr<Document> newPageDocument(double width, double height);

// Places the art of the drawing at `path` (.svg or .json) over the session's
// document as one step ("Import"); *copied tells how many objects came.
bool importDrawing(AppSession& session, const std::string& path, size_t* copied, std::string* error);

enum class DrawingFormat { Svg, Json };
// The document written to `path` as SVG or JSON, atomically.
bool saveDrawing(const Document& document, const std::string& path, DrawingFormat format, std::string* error);

// Makes the colours of a palette file (.gpl or #rrggbb lines) the
// document's swatches, as one step; *colours tells how many were read.
bool loadPalette(AppSession& session, const std::string& path, size_t* colours, std::string* error);

// The default filter's settings to and from a settings file (the kept block
// `quelvix render --state` reads); loaded settings are the next run's.
bool saveSettingsFile(AppSession& session, const std::string& path, std::string* error);
bool loadSettingsFile(AppSession& session, const std::string& path, std::string* error);

}  // namespace qx::host
