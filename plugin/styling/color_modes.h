// The sixteen colour modes, applied to the fill or the stroke of one art
// object: gradations along a set, random colours and swatches, alternations,
// no paint.
#pragma once

#include <cstdint>

#include "qx_sdk.h"

// The entries of the stroke and fill colour popups, in order; the record's
// lineStrokeMode, shapeStrokeMode and shapeFillMode hold one.
enum ColorMode : int32_t {
  kColorUseCurrent = 0,
  kColorToWhite = 1,
  kColorToBlack = 2,
  kColorRandomColors = 3,
  kColorRandomSwatches = 4,
  kColorToWhiteMidpoint = 5,
  kColorToSwatch = 6,
  kColorToHalf = 7,
  kColorToInverted = 8,
  kColorAlternateWhite = 9,
  kColorAlternateBlack = 10,
  kColorAlternateSwatch = 11,
  kColorAlternateInverted = 12,
  kColorToHalfInverted = 13,
  kColorTenPercentReduction = 14,
  kColorNone = 15,
};

// Read the art's style, replace its fill style by the template's, change the
// fill colour and fill paint flag by `mode` at `position` of a gradation of
// length `period`, write the style back. Does nothing at all for period 0.
// Host results are not tested; a swatch that cannot be found keeps the
// template colour. Modes 3 and 4 draw random values; other modes act as 0.
void ApplyFillColorMode(int32_t mode, const QxPathStyle& templateStyle, QxArtHandle art, int32_t swatchCount,
                        int32_t swatchIndex, int32_t midpoint, int32_t position, int32_t period);

// The same for the stroke: the template's whole stroke style (colour,
// overprint, width, dash, cap, join, miter limit) replaces the art's, and the
// mode acts on the stroke colour and stroke paint flag.
void ApplyStrokeColorMode(int32_t mode, const QxPathStyle& templateStyle, QxArtHandle art, int32_t swatchCount,
                          int32_t swatchIndex, int32_t midpoint, int32_t position, int32_t period);
