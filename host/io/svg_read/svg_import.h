// A read SVG scene made into a document: the page, the seed our own files
// carry, and every object as the art store's own types (groups, paths,
// compound paths, placed and raster art) with its paint and opacity.
#pragma once

#include <memory>
#include <string>

#include "host/document/document.h"
#include "host/io/svg_read/svg_scene.h"

namespace qx::host {

// A new document holding `scene`. nullptr and a one-line reason in *error
// when the scene has no usable page or the document refuses an object (its
// art budget, say); nothing is half-built then.
std::unique_ptr<Document> documentFromScene(const SvgScene& scene, std::string* error);

// readSvgFile then documentFromScene: the document of the SVG file at
// `path`, or nullptr and "FILE:LINE: reason" / a one-line reason in *error.
// The reader's warnings (what was skipped) go to *warnings when given.
std::unique_ptr<Document> readSvgDocument(const std::string& path, std::string* error,
                                          std::vector<std::string>* warnings = nullptr);

}  // namespace qx::host
