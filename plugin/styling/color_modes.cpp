#include "styling/color_modes.h"

#include <cstring>

#include "shell/suites.h"
#include "styling/random_draw.h"

namespace {

// Gray, process and RGB keep their components as the first reals of the
// colour union, in order; every other kind has none the rules act on.
int ComponentCount(int32_t kind) {
  switch (kind) {
    case QX_COLOR_GRAY: return 1;
    case QX_COLOR_PROCESS: return 4;
    case QX_COLOR_RGB: return 3;
    default: return 0;
  }
}

void ReadComponents(const QxColor& color, QxReal v[4]) { std::memcpy(v, &color.c, 4 * sizeof(QxReal)); }
void WriteComponents(QxColor& color, const QxReal v[4]) { std::memcpy(&color.c, v, 4 * sizeof(QxReal)); }

// The swatch that modes 4, 6 and 11 use: the first two entries of the list
// are never taken, and an index past the end is pulled back to the count
// (which names no swatch). False when the host finds no swatch there.
bool SwatchColor(int64_t candidate, int32_t swatchCount, QxColor* color) {
  int64_t k = candidate;
  if (k > swatchCount) k = swatchCount;
  if (k < 0) k = 0;
  if (k == 1 || k == 0) k = 2;
  QxSwatchRef swatch = nullptr;
  if (gSwatchListSuite->GetNthSwatch(nullptr, static_cast<int32_t>(k), &swatch) != 0 || swatch == nullptr) return false;
  QxColor found;
  std::memset(&found, 0, sizeof found);
  if (gSwatchListSuite->GetSwatchColor(swatch, &found) != 0) return false;
  *color = found;
  return true;
}

// One step of a gradation toward white: gray and process lose ink, RGB gains light.
QxReal TowardWhite(int32_t kind, QxReal v, QxReal p, QxReal n) {
  return kind == QX_COLOR_RGB ? v + (1.0f - v) * p / n : v - v * p / n;
}

QxReal TowardBlack(int32_t kind, QxReal v, QxReal p, QxReal n) {
  return kind == QX_COLOR_RGB ? v - v * p / n : v + (1.0f - v) * p / n;
}

// White and black as components of each kind: no ink for gray and process,
// full light for RGB.
QxReal WhiteComponent(int32_t kind) { return kind == QX_COLOR_RGB ? 1.0f : 0.0f; }
QxReal BlackComponent(int32_t kind) { return kind == QX_COLOR_RGB ? 0.0f : 1.0f; }

// The components the rules change: gray, process or RGB ones, `count` of
// them, as the colour holds them.
struct Components {
  int32_t kind;
  int count;
  QxReal v[4];
};

// The gradations: each component moves `position` steps of `period` toward
// white, black, half, its inverse, its half-inverse or a tenth of itself.
// Any other mode leaves them as they are.
void StepGradation(int32_t mode, Components& c, int32_t position, int32_t midpoint, int32_t period) {
  const int32_t kind = c.kind;
  QxReal* v = c.v;
  const QxReal p = static_cast<QxReal>(position);
  const QxReal n = static_cast<QxReal>(period);
  switch (mode) {
    case kColorToWhite:
      for (int i = 0; i < c.count; ++i) v[i] = TowardWhite(kind, v[i], p, n);
      break;
    case kColorToBlack:
      for (int i = 0; i < c.count; ++i) v[i] = TowardBlack(kind, v[i], p, n);
      break;
    case kColorToWhiteMidpoint: {
      // Past the midpoint the step count turns negative, so the colour
      // swings back beyond the template.
      const int32_t j = position <= midpoint ? position : midpoint - position;
      const QxReal pj = static_cast<QxReal>(j);
      for (int i = 0; i < c.count; ++i) v[i] = TowardWhite(kind, v[i], pj, n);
      break;
    }
    case kColorToHalf:
      for (int i = 0; i < c.count; ++i) v[i] = v[i] - v[i] * p / (2.0f * n);
      break;
    case kColorToInverted:
      for (int i = 0; i < c.count; ++i) v[i] = v[i] + ((1.0f - v[i]) - v[i]) * p / n;
      break;
    case kColorToHalfInverted:
      // Light components darken toward their half-inverse, dark ones lighten.
      for (int i = 0; i < c.count; ++i) {
        if (v[i] <= 1.0f - v[i] / 2.0f) v[i] = v[i] + (1.0f - v[i]) * p / (2.0f * n);
        else v[i] = v[i] - (1.0f - v[i]) * p / (2.0f * n);
      }
      break;
    case kColorTenPercentReduction:
      for (int i = 0; i < c.count; ++i) v[i] = v[i] - 0.9f * v[i] * p / n;
      break;
    default: break;
  }
}

// The alternations: odd positions take white, black or the inverse, even
// ones keep the template colour.
void Alternate(int32_t mode, Components& c, int32_t position) {
  if (position % 2 != 1) return;
  for (int i = 0; i < c.count; ++i) {
    if (mode == kColorAlternateWhite) c.v[i] = WhiteComponent(c.kind);
    else if (mode == kColorAlternateBlack) c.v[i] = BlackComponent(c.kind);
    else if (mode == kColorAlternateInverted) c.v[i] = 1.0f - c.v[i];
  }
}

// Toward the chosen swatch (mode 6), or the swatch itself at odd positions
// (mode 11). Without a swatch the target is the template colour: no change.
void FollowSwatch(int32_t mode, const QxColor& color, Components& c, int32_t swatchCount, int32_t swatchIndex,
                  int32_t position, int32_t period) {
  QxReal s[4];
  QxColor swatch;
  ReadComponents(SwatchColor(swatchIndex, swatchCount, &swatch) ? swatch : color, s);
  const QxReal p = static_cast<QxReal>(position);
  const QxReal n = static_cast<QxReal>(period);
  if (mode == kColorToSwatch) {
    for (int i = 0; i < c.count; ++i) c.v[i] = c.v[i] + (s[i] - c.v[i]) * p / n;
  } else if (position % 2 == 1) {
    for (int i = 0; i < c.count; ++i) c.v[i] = s[i];
  }
}

// One random draw a component; process black is scaled, not replaced, so a
// template without black keeps none.
void DrawRandomComponents(Components& c) {
  for (int i = 0; i < c.count; ++i) {
    const QxReal r = DrawRandom();
    c.v[i] = (c.kind == QX_COLOR_PROCESS && i == 3) ? r * c.v[i] : r;
  }
}

// The rule of `mode` on one colour and its paint flag, shared by fill and stroke.
void ApplyColorRule(int32_t mode, QxColor& color, QxBool& paint, int32_t swatchCount, int32_t swatchIndex,
                    int32_t midpoint, int32_t position, int32_t period) {
  if (mode == kColorRandomSwatches) {
    // The swatch replaces the whole colour record.
    const int64_t k = int64_t{TruncToInt(DrawRandom() * static_cast<QxReal>(swatchCount))} + 1;
    QxColor swatch;
    if (SwatchColor(k, swatchCount, &swatch)) color = swatch;
    paint = 1;
    return;
  }
  Components c{color.kind, ComponentCount(color.kind), {}};
  ReadComponents(color, c.v);
  switch (mode) {
    case kColorRandomColors: DrawRandomComponents(c); break;
    case kColorToSwatch:
    case kColorAlternateSwatch:
      FollowSwatch(mode, color, c, swatchCount, swatchIndex, position, period);
      paint = 1;
      break;
    case kColorAlternateWhite:
    case kColorAlternateBlack: Alternate(mode, c, position); break;
    case kColorAlternateInverted:
      Alternate(mode, c, position);
      paint = 1;
      break;
    case kColorNone: paint = 0; break;
    default:  // the gradations; mode 0 and anything unknown keep the template colour
      StepGradation(mode, c, position, midpoint, period);
      break;
  }
  WriteComponents(color, c.v);
}

}  // namespace

void ApplyFillColorMode(int32_t mode, const QxPathStyle& templateStyle, QxArtHandle art, int32_t swatchCount,
                        int32_t swatchIndex, int32_t midpoint, int32_t position, int32_t period) {
  if (period == 0) return;
  QxPathStyle style;
  std::memset(&style, 0, sizeof style);
  gPathStyleSuite->GetPathStyle(art, &style);
  style.fill = templateStyle.fill;
  ApplyColorRule(mode, style.fill.color, style.fillPaint, swatchCount, swatchIndex, midpoint, position, period);
  gPathStyleSuite->SetPathStyle(art, &style);
}

void ApplyStrokeColorMode(int32_t mode, const QxPathStyle& templateStyle, QxArtHandle art, int32_t swatchCount,
                          int32_t swatchIndex, int32_t midpoint, int32_t position, int32_t period) {
  if (period == 0) return;
  QxPathStyle style;
  std::memset(&style, 0, sizeof style);
  gPathStyleSuite->GetPathStyle(art, &style);
  style.stroke = templateStyle.stroke;
  ApplyColorRule(mode, style.stroke.color, style.strokePaint, swatchCount, swatchIndex, midpoint, position, period);
  gPathStyleSuite->SetPathStyle(art, &style);
}
