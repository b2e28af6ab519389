#include "host/plot/pens.h"

#include <charconv>
#include <cmath>
#include <set>
#include <sstream>

#include "host/io/bounded_file.h"

namespace qx::plot {
namespace {

bool parseHexColor(std::string_view text, host::Srgb8* color) {
  if (text.size() != 7 || text[0] != '#') return false;
  uint8_t bytes[3];
  for (int i = 0; i < 3; ++i) {
    const char* from = text.data() + 1 + 2 * i;
    unsigned value = 0;
    auto [end, ec] = std::from_chars(from, from + 2, value, 16);
    if (ec != std::errc() || end != from + 2) return false;
    bytes[i] = static_cast<uint8_t>(value);
  }
  *color = {bytes[0], bytes[1], bytes[2]};
  return true;
}

std::string colorName(host::Srgb8 color) {
  if (color == host::Srgb8{0, 0, 0}) return "black";
  if (color == host::Srgb8{255, 255, 255}) return "white";
  char hex[8];
  host::formatHexColor(color, hex);
  return hex;
}

bool parsePenLine(const std::string& line, Pen* pen, std::string* why) {
  std::istringstream in(line);
  std::string number, name, color, width, extra;
  if (!(in >> number >> name >> color >> width) || (in >> extra)) {
    *why = "a pen is four words: number, name, colour (#rrggbb) and width in mm";
    return false;
  }
  int n = 0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
  if (ec != std::errc() || end != number.data() + number.size() || n < 1 || n > 99) {
    *why = "the pen number \"" + number + "\" is not a whole number from 1 to 99";
    return false;
  }
  if (!parseHexColor(color, &pen->color)) {
    *why = "the colour \"" + color + "\" is not #rrggbb";
    return false;
  }
  char* stop = nullptr;
  const double w = std::strtod(width.c_str(), &stop);
  if (*stop != '\0' || !(w > 0) || w > 20) {
    *why = "the width \"" + width + "\" is not a number of millimetres above 0 and at most 20";
    return false;
  }
  pen->number = n;
  pen->name = name;
  pen->widthMm = w;
  return true;
}

}  // namespace

bool parsePens(std::string_view text, std::vector<Pen>* pens, std::string* error) {
  pens->clear();
  std::set<int> numbers;
  std::istringstream in{std::string(text)};
  std::string line;
  for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    Pen pen;
    std::string why;
    if (!parsePenLine(line, &pen, &why)) {
      *error = "line " + std::to_string(lineNumber) + ": " + why;
      return false;
    }
    if (!numbers.insert(pen.number).second) {
      *error = "line " + std::to_string(lineNumber) + ": pen " + std::to_string(pen.number) + " is named twice";
      return false;
    }
    pens->push_back(std::move(pen));
  }
  if (pens->empty()) {
    *error = "it names no pen";
    return false;
  }
  return true;
}

bool readPenFile(const std::string& path, std::vector<Pen>* pens, std::string* error) {
  std::string bytes, why;
  switch (host::readBoundedFile(path, size_t{1} << 20, &bytes, &why)) {
    case host::FileRead::Ok: break;
    case host::FileRead::Missing: *error = path + ": " + why; return false;
    case host::FileRead::NotRegular: *error = path + ": not a file"; return false;
    case host::FileRead::TooLarge: *error = path + ": larger than a pen file can be (1 MB)"; return false;
    case host::FileRead::Unreadable: *error = path + ": " + why; return false;
  }
  if (!parsePens(bytes, pens, &why)) {
    *error = path + ": " + why;
    return false;
  }
  return true;
}

double colorDistance(host::Srgb8 a, host::Srgb8 b) {
  // The "redmean" weighting: red and blue differences count by how red the pair is.
  const double mean = (a.r + b.r) / 2.0;
  const double dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return std::sqrt((2 + mean / 256) * dr * dr + 4 * dg * dg + (2 + (255 - mean) / 256) * db * db) / 3;
}

PenMap::PenMap(std::vector<Pen> fixed, double widthMm)
    : pens_(std::move(fixed)), fixed_(!pens_.empty()), widthMm_(widthMm) {}

size_t PenMap::penFor(host::Srgb8 color) {
  const uint32_t key = uint32_t{color.r} << 16 | uint32_t{color.g} << 8 | color.b;
  if (auto found = known_.find(key); found != known_.end()) return found->second;
  size_t best = pens_.size();
  double bestDistance = INFINITY;
  for (size_t i = 0; i < pens_.size(); ++i) {
    const double d = colorDistance(color, pens_[i].color);
    if (d < bestDistance) best = i, bestDistance = d;
  }
  if (!fixed_ && !(bestDistance < kNear)) {
    best = pens_.size();
    pens_.push_back({static_cast<int>(best) + 1, colorName(color), color, widthMm_});
  }
  known_.emplace(key, best);
  return best;
}

}  // namespace qx::plot
