// How two renderers' pictures of one drawing are compared: both on a white
// ground, channel by channel.
//
// Two rasterisers cover the pixels along an anti-aliased edge differently
// (by 10 to 30 levels where an edge is nearly level), so edges are set
// apart: a pixel is on an edge when, in either picture, some channel varies
// by more than 64 levels over its 3 x 3 neighbourhood.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace qx::test {

struct Agreement {
  double within8 = 0;          // share of all pixels within 8 levels in every channel
  double within8OffEdges = 0;  // the same among the pixels that are not on an edge
  int farOffEdges = 0;         // pixels off by more than 64 that are not on an edge
};

// `a` and `b` of the same size, as 32-bit RGB.
Agreement compare(const QImage& a, const QImage& b);

// The picture at `path` on a white ground, as 32-bit RGB; null when unreadable.
QImage onWhite(const QString& path);

// Runs `program` to its end; false when it fails, with its standard error in *output.
bool runProgram(const QString& program, const QStringList& args, QString* output);

}  // namespace qx::test
