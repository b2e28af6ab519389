#include "host/cli/render_request.h"

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "host/cli/typed_words.h"

namespace qx::cli {
namespace {

std::optional<double> parseSide(std::string_view s) {
  double v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace

std::optional<OutputFormat> formatFromPath(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos || dot == 0) return std::nullopt;
  const std::string ext = lower(name.substr(dot + 1));
  if (ext == "svg") return OutputFormat::Svg;
  if (ext == "json") return OutputFormat::Json;
  if (ext == "png") return OutputFormat::Png;
  if (ext == "pdf") return OutputFormat::Pdf;
  return std::nullopt;
}

const char* formatName(OutputFormat format) {
  switch (format) {
    case OutputFormat::Svg: return "SVG";
    case OutputFormat::Json: return "JSON";
    case OutputFormat::Png: return "PNG";
    case OutputFormat::Pdf: return "PDF";
  }
  return "?";
}

std::optional<PageSize> parsePageSize(std::string_view text, std::string* error) {
  const std::string t = lower(text);
  if (t == "letter") return PageSize{612, 792};
  // 210 x 297 mm in points.
  if (t == "a4") return PageSize{595.2756, 841.8898};
  // A unit after the height applies to both sides: 210x297mm, 8.5x11in.
  static constexpr std::pair<std::string_view, double> kUnits[] = {
      {"pt", 1}, {"mm", 72 / 25.4}, {"cm", 72 / 2.54}, {"in", 72}, {"px", 0.75}};
  std::string_view sides = t;
  double scale = 1;
  for (auto [unit, points] : kUnits)
    if (sides.size() > unit.size() && sides.ends_with(unit)) {
      sides.remove_suffix(unit.size());
      scale = points;
      break;
    }
  const size_t x = sides.find('x');
  std::optional<double> w, h;
  if (x != std::string::npos) {
    w = parseSide(sides.substr(0, x));
    h = parseSide(sides.substr(x + 1));
  }
  if (w) *w *= scale;
  if (h) *h *= scale;
  if (!w || !h || *w < kMinPageSide || *h < kMinPageSide || *w > kMaxPageSide || *h > kMaxPageSide) {
    if (error)
      *error = "--page " + std::string(text) +
               ": expected WxH in points, or with a unit (pt, mm, cm, in, px) as in 210x297mm, each side from "
               "1 to 100000 points; or letter or a4";
    return std::nullopt;
  }
  return PageSize{*w, *h};
}

std::optional<uint64_t> parseCount(std::string_view text, uint64_t min, uint64_t max) {
  uint64_t v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < min || v > max) return std::nullopt;
  return v;
}

std::optional<std::string> defaultStatePath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  // A relative XDG_CONFIG_HOME is invalid and must be ignored.
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/quelvix/state.bin";
  const char* home = std::getenv("HOME");
  if (home && home[0] != '\0') return std::string(home) + "/.config/quelvix/state.bin";
  return std::nullopt;
}

std::string defaultPluginDir() {
  if (const char* env = std::getenv("QUELVIX_PLUGINS"); env && env[0] != '\0') return env;
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "plugins";
  // In the build tree the plug-ins sit beside the program; an installed
  // program finds them under lib/quelvix/plugins of its prefix.
  const std::filesystem::path beside = exe.parent_path() / "plugins";
  const std::filesystem::path installed = exe.parent_path().parent_path() / "lib" / "quelvix" / "plugins";
  if (!std::filesystem::is_directory(beside, ec) && std::filesystem::is_directory(installed, ec))
    return installed.string();
  return beside.string();
}

}  // namespace qx::cli
