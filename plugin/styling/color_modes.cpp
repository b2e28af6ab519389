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

// The rule of `mode` on one colour and its paint flag, shared by fill and stroke.
void ApplyColorRule(int32_t mode, QxColor& color, QxBool& paint, int32_t swatchCount, int32_t swatchIndex,
                    int32_t midpoint, int32_t position, int32_t period) {
  const int32_t kind = color.kind;
  const int count = ComponentCount(kind);
  QxReal v[4];
  ReadComponents(color, v);
  const QxReal p = static_cast<QxReal>(position);
  const QxReal n = static_cast<QxReal>(period);
  const bool odd = position % 2 == 1;

  switch (mode) {
    case kColorToWhite:
      for (int i = 0; i < count; ++i) v[i] = TowardWhite(kind, v[i], p, n);
      break;
    case kColorToBlack:
      for (int i = 0; i < count; ++i) v[i] = TowardBlack(kind, v[i], p, n);
      break;
    case kColorRandomColors:
      // Process black is scaled, not replaced, so a template without black keeps none.
      for (int i = 0; i < count; ++i) {
        const QxReal r = DrawRandom();
        v[i] = (kind == QX_COLOR_PROCESS && i == 3) ? r * v[i] : r;
      }
      break;
    case kColorRandomSwatches: {
      const int64_t k = int64_t{TruncToInt(DrawRandom() * static_cast<QxReal>(swatchCount))} + 1;
      QxColor swatch;
      if (SwatchColor(k, swatchCount, &swatch)) color = swatch;
      paint = 1;
      return;  // the whole record was replaced; the components above are stale
    }
    case kColorToWhiteMidpoint: {
      // Past the midpoint the step count turns negative, so the colour
      // swings back beyond the template.
      const int32_t j = position <= midpoint ? position : midpoint - position;
      const QxReal pj = static_cast<QxReal>(j);
      for (int i = 0; i < count; ++i) v[i] = TowardWhite(kind, v[i], pj, n);
      break;
    }
    case kColorToSwatch: {
      QxReal s[4];
      QxColor swatch;
      // Without a swatch the target is the template colour itself: no move.
      ReadComponents(SwatchColor(swatchIndex, swatchCount, &swatch) ? swatch : color, s);
      for (int i = 0; i < count; ++i) v[i] = v[i] + (s[i] - v[i]) * p / n;
      paint = 1;
      break;
    }
    case kColorToHalf:
      for (int i = 0; i < count; ++i) v[i] = v[i] - v[i] * p / (2.0f * n);
      break;
    case kColorToInverted:
      for (int i = 0; i < count; ++i) v[i] = v[i] + ((1.0f - v[i]) - v[i]) * p / n;
      break;
    case kColorAlternateWhite:
      if (odd)
        for (int i = 0; i < count; ++i) v[i] = WhiteComponent(kind);
      break;
    case kColorAlternateBlack:
      if (odd)
        for (int i = 0; i < count; ++i) v[i] = BlackComponent(kind);
      break;
    case kColorAlternateSwatch: {
      QxReal s[4];
      QxColor swatch;
      ReadComponents(SwatchColor(swatchIndex, swatchCount, &swatch) ? swatch : color, s);
      if (odd)
        for (int i = 0; i < count; ++i) v[i] = s[i];
      paint = 1;
      break;
    }
    case kColorAlternateInverted:
      if (odd)
        for (int i = 0; i < count; ++i) v[i] = 1.0f - v[i];
      paint = 1;
      break;
    case kColorToHalfInverted:
      // Light components darken toward their half-inverse, dark ones lighten.
      for (int i = 0; i < count; ++i) {
        if (v[i] <= 1.0f - v[i] / 2.0f) v[i] = v[i] + (1.0f - v[i]) * p / (2.0f * n);
        else v[i] = v[i] - (1.0f - v[i]) * p / (2.0f * n);
      }
      break;
    case kColorTenPercentReduction:
      for (int i = 0; i < count; ++i) v[i] = v[i] - 0.9f * v[i] * p / n;
      break;
    case kColorNone: paint = 0; break;
    default:  // mode 0 and anything unknown: the template colour as it is
      break;
  }
  WriteComponents(color, v);
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
