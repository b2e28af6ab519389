// Helpers for the SVG reader's tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "host/io/svg_read/svg_reader.h"

namespace qx::host::testing {

// A page of 100 x 100 points whose user unit is one point, so the file's
// (x, y) lands on (x, 100 - y).
inline std::string page100(std::string_view body) {
  return std::string(R"s(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )s"
                     R"s(width="100pt" height="100pt" viewBox="0 0 100 100">)s") +
         std::string(body) + "</svg>";
}

inline SvgScene sceneOf(std::string_view svg, const SvgReadLimits& limits = {}) {
  SvgReadResult r = readSvgText(svg, "test.svg", limits);
  EXPECT_TRUE(r.scene.has_value()) << r.error;
  return r.scene ? std::move(*r.scene) : SvgScene{};
}

inline SvgScene drawing(std::string_view body) { return sceneOf(page100(body)); }

inline std::string errorOf(std::string_view svg, const SvgReadLimits& limits = {}) {
  SvgReadResult r = readSvgText(svg, "test.svg", limits);
  EXPECT_FALSE(r.scene.has_value());
  return r.error;
}

inline std::vector<const SvgNode*> ofKind(const SvgScene& s, SvgNodeKind kind) {
  std::vector<const SvgNode*> out;
  for (const SvgNode& n : s.nodes)
    if (n.kind == kind) out.push_back(&n);
  return out;
}

inline const SvgNode& named(const SvgScene& s, std::string_view name) {
  for (const SvgNode& n : s.nodes)
    if (n.name == name) return n;
  ADD_FAILURE() << "no node named " << name;
  static const SvgNode none;
  return none;
}

// The only path's segments.
inline std::vector<QxPathSegment> onlyPath(const SvgScene& s) {
  const auto paths = ofKind(s, SvgNodeKind::Path);
  EXPECT_EQ(paths.size(), 1u);
  if (paths.size() != 1 || paths[0]->subpaths.size() != 1) return {};
  return paths[0]->subpaths[0].segments;
}

inline bool hasWarning(const SvgScene& s, std::string_view text) {
  for (const std::string& w : s.warnings)
    if (w.find(text) != std::string::npos) return true;
  return false;
}

inline std::string corpus(std::string_view file) { return std::string(SVG_TEST_DATA) + "/" + std::string(file); }

}  // namespace qx::host::testing

#define EXPECT_PT(point, ex, ey)        \
  do {                                  \
    EXPECT_NEAR((point).x, (ex), 1e-3); \
    EXPECT_NEAR((point).y, (ey), 1e-3); \
  } while (0)
