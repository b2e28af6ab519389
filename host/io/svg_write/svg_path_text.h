// Path data for <path d="...">, short and exact.
//
// An outline is written as an absolute M and then relative pieces: h, v or l
// for straight ones, c for curves and s where the first handle mirrors the
// previous curve's last one, z when closed. Every number is the shortest text
// with which an SVG reader that adds it to its current point in double
// precision lands on the store's float: reading the data back and rounding
// each point to a float gives exactly the coordinates the document holds.
//
// Most such numbers are found by arithmetic: whole numbers, or the coarsest
// power of ten whose multiple falls in the float's rounding interval; a
// digit-by-digit search is the fallback, and a piece that no relative
// number reaches (its points too many binary orders apart) is written
// absolute with the shortest float text.
//
// Copies of a shape moved by whole units (a lattice's shapes, mostly) have
// the same relative text: the writer keeps the text of recent shapes and,
// after replaying how a reader reads it at the new place, writes it again,
// so a copy costs a check instead of a search for each number. A shape seen
// for the first time gets no digit-by-digit search.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "host/io/text_sink.h"
#include "qx_ai_art.h"

namespace qx::host {

class SvgPathText {
 public:
  SvgPathText();
  ~SvgPathText();
  SvgPathText(const SvgPathText&) = delete;
  SvgPathText& operator=(const SvgPathText&) = delete;

  // Append the data of one outline (at least one segment, all coordinates
  // finite), starting with its own M. An open path's first in-handle and
  // last out-handle draw nothing and are not written.
  void write(std::span<const QxPathSegment> segments, bool closed, TextSink& out);

 private:
  // The text of one outline after its M, and what a reader reads from it.
  struct Builder {
    std::vector<char> ops;       // the commands written
    std::vector<double> values;  // their numbers as a reader reads them
    std::string text;
    bool lastHasPoint = false;  // the text ends in a number with a '.'
    void number(const char* buf, size_t n);
  };
  struct Entry {
    std::vector<char> kinds;  // the plan of the outline last seen here
    std::vector<double> key;  // and its targets relative to its first point
    Builder out;
    bool searched = false;  // out was made by the search for this shape
    bool reusable = false;  // and holds relative pieces only
  };

  struct Composition;

  void plan(std::span<const QxPathSegment> segments, bool closed);
  bool replay(const Entry& entry, double x, double y) const;
  void compose(Entry& entry, double x, double y, bool search);
  static void writeStart(const char* x, size_t nx, const char* y, size_t ny, TextSink& out);

  // The outline as commands for a reader: kinds, and their float targets.
  std::vector<char> kinds_;
  std::vector<double> targets_;
  std::vector<double> key_;
  std::vector<Entry> cache_;
  Entry once_;  // the text of a shape seen for the first time
};

}  // namespace qx::host
