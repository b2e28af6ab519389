// Small documents built by hand for the writer tests.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "host/document/document.h"

namespace qx::host::iotest {

inline QxPathSegment corner(QxReal x, QxReal y) {
  QxPathSegment s{};
  s.p = s.in = s.out = {x, y};
  s.corner = 1;
  return s;
}

inline QxPathSegment smooth(QxReal x, QxReal y, QxReal inX, QxReal inY, QxReal outX, QxReal outY) {
  QxPathSegment s{};
  s.p = {x, y};
  s.in = {inX, inY};
  s.out = {outX, outY};
  return s;
}

// A circle of four smooth anchors (right, top, left, bottom), for a closed path.
inline std::vector<QxPathSegment> circle(double cx, double cy, double r) {
  const double k = 0.5523 * r;
  return {smooth(cx + r, cy, cx + r, cy - k, cx + r, cy + k), smooth(cx, cy + r, cx + k, cy + r, cx - k, cy + r),
          smooth(cx - r, cy, cx - r, cy + k, cx - r, cy - k), smooth(cx, cy - r, cx - k, cy - r, cx + k, cy - r)};
}

inline QxColor processColor(QxReal c, QxReal m, QxReal y, QxReal k) {
  QxColor color{};
  color.kind = QX_COLOR_PROCESS;
  color.c.process = {c, m, y, k};
  return color;
}

inline QxColor rgbColor(QxReal r, QxReal g, QxReal b) {
  QxColor color{};
  color.kind = QX_COLOR_RGB;
  color.c.rgb = {r, g, b};
  return color;
}

inline QxColor grayColor(QxReal g) {
  QxColor color{};
  color.kind = QX_COLOR_GRAY;
  color.c.gray = g;
  return color;
}

// Fill and stroke painted, miter join with the usual limit of 4, butt caps.
inline QxPathStyle paintStyle(const QxColor& fill, const QxColor& stroke, QxReal width) {
  QxPathStyle style{};
  style.fillPaint = 1;
  style.fill.color = fill;
  style.strokePaint = 1;
  style.stroke.color = stroke;
  style.stroke.width = width;
  style.stroke.miterLimit = 4;
  return style;
}

// A new path with these segments, placed by `order` relative to `ref`.
inline QxArtHandle addPath(Document& doc, const std::vector<QxPathSegment>& segments, bool closed,
                           const QxPathStyle* style = nullptr, int16_t order = QX_PLACE_ABOVE_ALL,
                           QxArtHandle ref = nullptr) {
  QxArtHandle art = nullptr;
  EXPECT_EQ(doc.art().newArt(QX_ART_PATH, order, ref, &art), QX_ERR_NONE);
  if (!art) return nullptr;
  EXPECT_EQ(doc.art().setSegments(art, 0, static_cast<int32_t>(segments.size()), segments.data()), QX_ERR_NONE);
  EXPECT_EQ(doc.art().setClosed(art, closed), QX_ERR_NONE);
  if (style) {
    EXPECT_EQ(doc.art().setPathStyle(art, *style), QX_ERR_NONE);
  }
  return art;
}

inline QxArtHandle addContainer(Document& doc, int16_t type, int16_t order = QX_PLACE_ABOVE_ALL,
                                QxArtHandle ref = nullptr) {
  QxArtHandle art = nullptr;
  EXPECT_EQ(doc.art().newArt(type, order, ref, &art), QX_ERR_NONE);
  return art;
}

}  // namespace qx::host::iotest
