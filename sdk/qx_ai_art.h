/* The document's art: objects, paths, styles, shapes and transforms. Every
 * operation here works on the current document and answers
 * QX_ERR_NO_DOCUMENT when there is none; a bad, stale or foreign art handle
 * and a NULL out-parameter answer QX_ERR_BAD_PARAM. */
#ifndef QX_AI_ART_H
#define QX_AI_ART_H

#include "qx_plugin.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Art types. */
#define QX_ART_UNKNOWN 0
#define QX_ART_GROUP 1
#define QX_ART_PATH 2
#define QX_ART_COMPOUND_PATH 3
#define QX_ART_PLACED 7
#define QX_ART_RASTER 9
#define QX_ART_MESH 11
#define QX_ART_SYMBOL 13

/* Paint-order codes: where new or duplicated art goes, relative to the
 * reference art (the `prep` argument). */
#define QX_PLACE_ABOVE 1            /* just above the reference art */
#define QX_PLACE_BELOW 2            /* just below the reference art */
#define QX_PLACE_INSIDE_ON_TOP 3    /* on top inside the reference group or compound path */
#define QX_PLACE_INSIDE_ON_BOTTOM 4 /* at the bottom inside the reference group or compound path */
#define QX_PLACE_ABOVE_ALL 5        /* above every top-level object; no reference art */
#define QX_PLACE_BELOW_ALL 6        /* below every top-level object; no reference art */

/* Art attribute bits. */
#define QX_ATTR_SELECTED 1

/* One point of a path: the anchor, the handle towards the previous point,
 * the handle towards the next one, and whether the point is a corner. */
typedef struct QxPathSegment {
  QxRealPoint p;
  QxRealPoint in;
  QxRealPoint out;
  int32_t corner;
} QxPathSegment;

/* Colour kinds. */
#define QX_COLOR_GRAY 0     /* gray: 0 white .. 1 black */
#define QX_COLOR_PROCESS 1  /* cyan, magenta, yellow, black: 0 no ink .. 1 full */
#define QX_COLOR_PATTERN 2  /* opaque to the colour rules */
#define QX_COLOR_SPOT 3     /* opaque to the colour rules */
#define QX_COLOR_GRADIENT 4 /* opaque to the colour rules */
#define QX_COLOR_RGB 5      /* red, green, blue: 0 dark .. 1 full light */
#define QX_COLOR_NONE 6

/* A colour: its kind and a union whose members all begin at the same place. */
typedef struct QxColor {
  int32_t kind;
  union {
    QxReal gray;
    struct {
      QxReal cyan, magenta, yellow, black;
    } process;
    struct {
      QxReal red, green, blue;
    } rgb;
    struct {
      int32_t id;
      QxReal tint;
    } spot;
    struct {
      int32_t id;
      QxReal shiftDistance, shiftAngle, scaleX, scaleY, rotate;
      int32_t reflect;
      QxReal reflectAngle, shearAngle, shearAxis;
      QxRealMatrix transform;
    } pattern;
    struct {
      int32_t id;
      QxRealPoint origin;
      QxReal angle, length;
      QxRealMatrix matrix;
      QxReal hiliteAngle, hiliteLength;
    } gradient;
    int32_t words[16];
  } c;
} QxColor;

typedef struct QxFillStyle {
  QxColor color;
  QxBool overprint;
} QxFillStyle;

#define QX_DASH_MAX 6
typedef struct QxDashStyle {
  int32_t length; /* entries used in array; 0 is a solid line */
  QxReal offset;
  QxReal array[QX_DASH_MAX];
} QxDashStyle;

#define QX_CAP_BUTT 0
#define QX_CAP_ROUND 1
#define QX_CAP_SQUARE 2
#define QX_JOIN_MITER 0
#define QX_JOIN_ROUND 1
#define QX_JOIN_BEVEL 2

typedef struct QxStrokeStyle {
  QxColor color;
  QxBool overprint;
  QxReal width;
  QxDashStyle dash;
  int32_t cap;
  int32_t join;
  QxReal miterLimit;
} QxStrokeStyle;

/* A path's paint: always read and written whole (118 words). */
typedef struct QxPathStyle {
  QxBool fillPaint;
  QxFillStyle fill;
  QxBool strokePaint;
  QxStrokeStyle stroke;
  QxBool evenOdd;
  QxReal resolution;
  int32_t reserved[66]; /* kept as written */
} QxPathStyle;

/* "AI Art Suite" version 9. */
typedef struct QxArtSuite {
  /* Create an empty object of `type` (QX_ART_PATH, QX_ART_COMPOUND_PATH or
   * QX_ART_GROUP) placed by the QX_PLACE_* code `paintOrder` relative to `prep`
   * (ignored, and best NULL, for QX_PLACE_ABOVE_ALL and QX_PLACE_BELOW_ALL);
   * writes it to *newArt. Paths and compound paths get the document's current
   * style. QX_ERR_BAD_PARAM for another type, code or reference;
   * QX_ERR_OUT_OF_MEMORY when the document's art budget is spent. */
  QxErr (*NewArt)(int16_t type, int16_t paintOrder, QxArtHandle prep, QxArtHandle* newArt);
  /* Remove `art` (and its children) from the document. QX_ERR_BAD_PARAM for
   * a bad handle. The handles of the art and its children are dead afterwards. */
  QxErr (*DisposeArt)(QxArtHandle art);
  /* Copy `art` with its children, segments and styles (not selected), placed
   * like NewArt; writes the copy to *newArt. Errors as NewArt. */
  QxErr (*DuplicateArt)(QxArtHandle art, int16_t paintOrder, QxArtHandle prep, QxArtHandle* newArt);
  /* Write the object's QX_ART_* type to *type. QX_ERR_BAD_PARAM for a bad handle. */
  QxErr (*GetArtType)(QxArtHandle art, int16_t* type);
  /* Write the tight bounds of the object's curves (stroke width not counted)
   * to *bounds; an empty object gives all zeros. QX_ERR_BAD_PARAM for a bad handle. */
  QxErr (*GetArtBounds)(QxArtHandle art, QxRealRect* bounds);
  /* Write the first child of a group or compound path (NULL when it has none
   * or is another type) to *child. QX_ERR_BAD_PARAM for a bad handle. */
  QxErr (*GetArtFirstChild)(QxArtHandle art, QxArtHandle* child);
  /* Write the next object in paint order under the same parent (NULL after
   * the last) to *sibling. QX_ERR_BAD_PARAM for a bad handle. */
  QxErr (*GetArtSibling)(QxArtHandle art, QxArtHandle* sibling);
  /* Write the object's QX_ATTR_* bits to *attributes. QX_ERR_BAD_PARAM for a
   * bad handle. */
  QxErr (*GetArtUserAttr)(QxArtHandle art, int32_t* attributes);
} QxArtSuite;

/* "AI Path Suite" version 4. Indexes count from 0; a path holds at most
 * 32767 segments. */
typedef struct QxPathSuite {
  /* Grow or cut the path to `count` segments; new ones are zero corners.
   * QX_ERR_BAD_PARAM for a bad handle, a non-path or a negative count. */
  QxErr (*SetPathSegmentCount)(QxArtHandle path, int16_t count);
  /* Write the segment count to *count. QX_ERR_BAD_PARAM for a bad handle or a
   * non-path. */
  QxErr (*GetPathSegmentCount)(QxArtHandle path, int16_t* count);
  /* Copy `count` records from `segments` to indexes index .. index+count-1,
   * growing the path when they pass its end. QX_ERR_BAD_PARAM for a bad
   * handle, a non-path, a negative index or count, an index past the end or
   * more than 32767 segments; QX_ERR_OUT_OF_MEMORY when the path cannot grow. */
  QxErr (*SetPathSegments)(QxArtHandle path, int16_t index, int16_t count, const QxPathSegment* segments);
  /* Copy segments index .. index+count-1 to `segments`. QX_ERR_BAD_PARAM for
   * a bad handle, a non-path or a range outside the path. */
  QxErr (*GetPathSegments)(QxArtHandle path, int16_t index, int16_t count, QxPathSegment* segments);
  /* Close (non-zero) or open (0) the path. QX_ERR_BAD_PARAM for a bad handle
   * or a non-path. */
  QxErr (*SetPathClosed)(QxArtHandle path, QxBool closed);
  /* Write non-zero to *closed when the path is closed. Errors as SetPathClosed. */
  QxErr (*GetPathClosed)(QxArtHandle path, QxBool* closed);
} QxPathSuite;

/* "AI Path Style Suite" version 5. */
typedef struct QxPathStyleSuite {
  /* Copy the object's whole style to *style. QX_ERR_BAD_PARAM for a bad handle
   * or an object without a style of its own (anything but a path or a compound path). */
  QxErr (*GetPathStyle)(QxArtHandle art, QxPathStyle* style);
  /* Give the object a copy of *style. Errors as GetPathStyle. */
  QxErr (*SetPathStyle)(QxArtHandle art, const QxPathStyle* style);
} QxPathStyleSuite;

/* "AI Shape Construction Suite" version 4. Each makes a new closed path above
 * all art with the document's current style and writes it to *newArt (NULL on
 * failure). Negative sizes count by their absolute value; polygons with fewer
 * than 3 sides and stars with fewer than 2 points give a degenerate path of one
 * point at the centre. Points run counter-clockwise; a non-zero `reversed`
 * turns them clockwise, the first point staying first. QX_ERR_BAD_PARAM for a
 * non-finite size or centre; QX_ERR_OUT_OF_MEMORY when the art budget is spent. */
typedef struct QxShapeConstructionSuite {
  /* Four corners of the height x width box, the first at its top right. */
  QxErr (*NewRect)(QxReal centerX, QxReal centerY, QxReal height, QxReal width, QxBool reversed, QxArtHandle* newArt);
  /* Four smooth cubic segments fitting the height x width box, the first at its top. */
  QxErr (*NewOval)(QxReal centerX, QxReal centerY, QxReal height, QxReal width, QxBool reversed, QxArtHandle* newArt);
  /* `numSides` corners on a circle of `radius`, the first straight up;
   * QX_ERR_BAD_PARAM past 32767 sides. */
  QxErr (*NewRegularPolygon)(int32_t numSides, QxReal centerX, QxReal centerY, QxReal radius, QxBool reversed,
                             QxArtHandle* newArt);
  /* Points alternate between radius1 (the first, straight up) and radius2;
   * QX_ERR_BAD_PARAM past 16383 points. */
  QxErr (*NewStar)(int32_t numPoints, QxReal centerX, QxReal centerY, QxReal radius1, QxReal radius2, QxBool reversed,
                   QxArtHandle* newArt);
} QxShapeConstructionSuite;

/* Flags for TransformArt, combined with |. */
#define QX_TRANSFORM_OBJECTS 1     /* move the art's points and handles (this host always does) */
#define QX_TRANSFORM_LINE_WIDTHS 2 /* also multiply stroke widths by the line scale */

/* "AI Transform Art Suite" version 1. */
typedef struct QxTransformArtSuite {
  /* Apply `matrix` to every point and handle of `art` (and its children);
   * with QX_TRANSFORM_LINE_WIDTHS in `flags` stroke widths are multiplied by
   * `lineScale`. QX_ERR_BAD_PARAM for a bad handle, a NULL or non-finite
   * matrix, or a non-finite line scale that is to be used; QX_ERR_OUT_OF_MEMORY
   * when the moved points cannot be stored. */
  QxErr (*TransformArt)(QxArtHandle art, const QxRealMatrix* matrix, QxReal lineScale, int32_t flags);
} QxTransformArtSuite;

/* "AI Blend Style Suite" version 2. */
typedef struct QxBlendStyleSuite {
  /* Set the object's opacity, 0 (clear) to 1 (opaque). QX_ERR_BAD_PARAM for a
   * bad handle or another value (NaN included). */
  QxErr (*SetOpacity)(QxArtHandle art, QxReal opacity);
  /* Write the object's opacity (new art has 1) to *opacity. QX_ERR_BAD_PARAM
   * for a bad handle. */
  QxErr (*GetOpacity)(QxArtHandle art, QxReal* opacity);
} QxBlendStyleSuite;

/* One request of the matching-art suite: objects of `type` whose attribute
 * bits under `whichAttr` equal `attr`. */
typedef struct QxMatchingArtSpec {
  int16_t type;
  int32_t whichAttr;
  int32_t attr;
} QxMatchingArtSpec;

/* "AI Matching Art Suite" version 4. */
typedef struct QxMatchingArtSuite {
  /* Find the objects (top level and inside groups and compound paths) that
   * match any of the `numRequests` records, in paint order. Writes a new memory
   * handle holding an array of QxArtHandle to *matches (NULL when nothing
   * matched) and the entry count to *numMatches. The caller disposes of the
   * handle through the memory suite. QX_ERR_BAD_PARAM for NULL out-parameters,
   * a negative count or NULL requests with a positive count. */
  QxErr (*GetMatchingArt)(const QxMatchingArtSpec* requests, int16_t numRequests, QxMemHandle* matches,
                          int32_t* numMatches);
} QxMatchingArtSuite;

/* "AI Tag Suite" version 2. */
typedef struct QxTagSuite {
  /* Write the number of named tags on the object to *count (this host keeps
   * none: 0). QX_ERR_BAD_PARAM for a bad handle. */
  QxErr (*CountTags)(QxArtHandle art, int32_t* count);
} QxTagSuite;

/* "AI Art Style Suite" version 3. */
typedef struct QxArtStyleSuite {
  /* Write non-zero to *hasStyle when the object carries an appearance of its
   * own beyond its path style (never, in this host). QX_ERR_BAD_PARAM for a bad handle. */
  QxErr (*HasArtStyle)(QxArtHandle art, QxBool* hasStyle);
} QxArtStyleSuite;

/* "AI Symbol Suite" version 1. */
typedef struct QxSymbolSuite {
  /* Write the number of symbol definitions in the document to *count (0 in this host). */
  QxErr (*CountSymbolPatterns)(int32_t* count);
} QxSymbolSuite;

/* "AI Envelope Suite" version 1. */
typedef struct QxEnvelopeSuite {
  /* Write non-zero to *isEnvelope when the object is an envelope distortion
   * (never, in this host). QX_ERR_BAD_PARAM for a bad handle. */
  QxErr (*IsEnvelope)(QxArtHandle art, QxBool* isEnvelope);
} QxEnvelopeSuite;

/* "AI Layer Suite" version 9. */
typedef struct QxLayerSuite {
  /* Write the number of layers of the document to *count (1 in this host). */
  QxErr (*CountLayers)(int32_t* count);
} QxLayerSuite;

#ifdef __cplusplus
}
#endif

#endif
