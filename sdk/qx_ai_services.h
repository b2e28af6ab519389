/* Document-wide services: memory, maths, random numbers, swatches, the
 * document and its views, undo, text conversion, filters and menus. */
#ifndef QX_AI_SERVICES_H
#define QX_AI_SERVICES_H

#include "qx_ai_art.h"
#include "qx_plugin.h"

#ifdef __cplusplus
extern "C" {
#endif

/* "AI MdMemory Suite" version 1: relocatable blocks behind a handle. */
typedef struct QxMemorySuite {
  /* Make a handle to `size` bytes, cleared to zero; writes it to *handle.
   * QX_ERR_OUT_OF_MEMORY when it cannot, QX_ERR_BAD_PARAM for a NULL
   * out-parameter. The caller owns it until MdMemoryDisposeHandle. */
  QxErr (*MdMemoryNewHandle)(size_t size, QxMemHandle* handle);
  /* Free a handle from MdMemoryNewHandle (or handed out by another suite).
   * QX_ERR_BAD_PARAM for a handle that is not live. */
  QxErr (*MdMemoryDisposeHandle)(QxMemHandle handle);
  /* Write the handle's size in bytes to *size. QX_ERR_BAD_PARAM for a handle
   * that is not live or a NULL out-parameter. */
  QxErr (*MdMemoryGetSize)(QxMemHandle handle, size_t* size);
} QxMemorySuite;

/* "AI Real Math Suite" version 1. Plain arithmetic: no document is needed,
 * non-finite inputs give non-finite results, and every operation answers
 * QX_ERR_BAD_PARAM for a NULL pointer argument. Matrix operations build
 * transforms; a Concat operation appends a step that is applied after the
 * matrix's own. */
typedef struct QxRealMathSuite {
  /* *radians = degrees * pi / 180. */
  QxErr (*DegreeToRadian)(QxReal degrees, QxReal* radians);
  /* *degrees = radians * 180 / pi. */
  QxErr (*RadianToDegree)(QxReal radians, QxReal* degrees);
  /* *result = a + (b - a) * t: a at t = 0, b at t = 1. */
  QxErr (*Interpolate)(QxReal a, QxReal b, QxReal t, QxReal* result);
  /* Angle in radians of the line from p1 to p2, counter-clockwise from +x,
   * in (-pi, pi]. */
  QxErr (*PointAngle)(const QxRealPoint* p1, const QxRealPoint* p2, QxReal* radians);
  /* *m = the identity. */
  QxErr (*MatrixSetIdentity)(QxRealMatrix* m);
  /* *m = a move by (tx, ty). */
  QxErr (*MatrixSetTranslate)(QxRealMatrix* m, QxReal tx, QxReal ty);
  /* *m = a scaling by sx along x and sy along y, about the origin. */
  QxErr (*MatrixSetScale)(QxRealMatrix* m, QxReal sx, QxReal sy);
  /* *m = a counter-clockwise turn by `radians` about the origin. */
  QxErr (*MatrixSetRotate)(QxRealMatrix* m, QxReal radians);
  /* *m = *m followed by a move by (tx, ty). */
  QxErr (*MatrixConcatTranslate)(QxRealMatrix* m, QxReal tx, QxReal ty);
  /* *m = *m followed by a scaling by (sx, sy) about the origin. */
  QxErr (*MatrixConcatScale)(QxRealMatrix* m, QxReal sx, QxReal sy);
  /* *m = *m followed by a counter-clockwise turn by `radians` about the origin. */
  QxErr (*MatrixConcatRotate)(QxRealMatrix* m, QxReal radians);
  /* *m = *m followed by *next. */
  QxErr (*MatrixConcat)(QxRealMatrix* m, const QxRealMatrix* next);
} QxRealMathSuite;

/* "AI Random Suite" version 3. */
typedef struct QxRandomSuite {
  /* Write the next uniform real r, 0 <= r < 1, to *r. QX_ERR_NO_RANDOM when a
   * scripted sequence has run out (the host then ends the run) or the host has
   * no random source; QX_ERR_OUT_OF_MEMORY when the host's budget of draws
   * for the current message is spent (nothing is written; the caller should
   * end its run with that code); QX_ERR_BAD_PARAM for a NULL out-parameter. */
  QxErr (*FloatRnd)(QxReal* r);
} QxRandomSuite;

/* "AI Swatch List Suite" version 4. The only list is the current document's,
 * named by NULL; another list answers QX_ERR_BAD_PARAM, no document
 * QX_ERR_NO_DOCUMENT. Swatches stay valid while the document's list stands. */
typedef struct QxSwatchListSuite {
  /* Write the number of swatches of the list to *count. QX_ERR_BAD_PARAM for
   * a NULL out-parameter. */
  QxErr (*CountSwatches)(QxSwatchListRef list, int32_t* count);
  /* Write swatch `index` (from 0) to *swatch. QX_ERR_BAD_PARAM, and *swatch
   * NULL, when the index is outside 0 .. count-1. */
  QxErr (*GetNthSwatch)(QxSwatchListRef list, int32_t index, QxSwatchRef* swatch);
  /* Copy the swatch's colour to *color. QX_ERR_BAD_PARAM for a NULL or
   * stale swatch or a NULL out-parameter. */
  QxErr (*GetSwatchColor)(QxSwatchRef swatch, QxColor* color);
  /* Copy the swatch's name, zero-terminated and cut to size - 1 bytes.
   * QX_ERR_BAD_PARAM for a NULL or stale swatch, a NULL buffer or a size below 1. */
  QxErr (*GetSwatchName)(QxSwatchRef swatch, char* buffer, int32_t size);
} QxSwatchListSuite;

/* The document's setup; the first two reals are the page size in points. */
typedef struct QxDocumentSetup {
  QxReal width;
  QxReal height;
  QxBool showPlacedImages;
  int32_t pageView;
  QxReal outputResolution;
  QxBool splitLongPaths;
  QxBool useDefaultScreen;
  QxBool compatibleGradients;
  QxBool printTiles;
  QxBool tileFullPages;
} QxDocumentSetup;

/* "AI Document Suite" version 7. */
typedef struct QxDocumentSuite {
  /* Copy the current document's setup to *setup. QX_ERR_NO_DOCUMENT without one. */
  QxErr (*GetDocumentSetup)(QxDocumentSetup* setup);
  /* Ask the front end to show the document's art as it now stands.
   * QX_ERR_NO_DOCUMENT without a document. */
  QxErr (*RedrawDocument)(void);
} QxDocumentSuite;

/* "AI Document View Suite" version 7. View coordinates are pixels of the
 * view, y down; artwork coordinates are points, y up. Every operation answers
 * QX_ERR_NO_DOCUMENT without a document, and QX_ERR_BAD_PARAM for a view not
 * handed out by GetNthDocumentView or a NULL pointer argument. */
typedef struct QxDocumentViewSuite {
  /* Write view `n` (from 0) of the current document to *view.
   * QX_ERR_BAD_PARAM when there is no such view. */
  QxErr (*GetNthDocumentView)(int32_t n, QxDocumentViewRef* view);
  /* Set the view's zoom: 1 is actual size. Values outside 0.01 .. 64 are
   * QX_ERR_BAD_PARAM. */
  QxErr (*SetDocumentViewZoom)(QxDocumentViewRef view, QxReal zoom);
  /* Write the view's zoom (1 is actual size) to *zoom. */
  QxErr (*GetDocumentViewZoom)(QxDocumentViewRef view, QxReal* zoom);
  /* Convert a point of the view into artwork coordinates. */
  QxErr (*ViewPointToArtworkPoint)(QxDocumentViewRef view, const QxPoint* viewPoint, QxRealPoint* artworkPoint);
  /* Convert an artwork point to the nearest pixel of the view.
   * QX_ERR_BAD_PARAM when that pixel lies outside the 32-bit range. */
  QxErr (*ArtworkPointToViewPoint)(QxDocumentViewRef view, const QxRealPoint* artworkPoint, QxPoint* viewPoint);
} QxDocumentViewSuite;

/* "AI Undo Suite" version 4. */
typedef struct QxUndoSuite {
  /* Name the current message's changes for the Undo and Redo menu items (both
   * copied). QX_ERR_BAD_PARAM for a NULL text, QX_ERR_NO_DOCUMENT without a document. */
  QxErr (*SetUndoText)(const char* undoText, const char* redoText);
  /* Take back every change to the document since the outermost message
   * began: new art goes, changed or disposed art comes back.
   * QX_ERR_NO_DOCUMENT without a document. */
  QxErr (*UndoChanges)(void);
} QxUndoSuite;

/* "AI User Suite" version 5. Texts are length-prefixed: a length byte, then
 * that many characters, no terminating zero; buffers hold 256 bytes. */
typedef struct QxUserSuite {
  /* Write `value` rounded to `precision` decimals (0 to 10) as text into
   * `text`. QX_ERR_BAD_PARAM for a NULL buffer or a precision out of range. */
  QxErr (*RealToText)(QxReal value, int16_t precision, unsigned char* text);
  /* Read a decimal number from `text` (leading blanks allowed, trailing text
   * ignored); text that starts no number reads as 0, a number past a real's
   * range as the largest real. QX_ERR_BAD_PARAM for a NULL argument. */
  QxErr (*TextToReal)(const unsigned char* text, QxReal* value);
} QxUserSuite;

/* Category and title of a filter's menu entry, both length-prefixed. */
typedef struct QxPlatformFilterData {
  unsigned char* category;
  unsigned char* title;
} QxPlatformFilterData;

/* Options of AddFilter. */
#define QX_FILTER_OPTIONS_NONE 0

/* "AI Filter Suite" version 2. */
typedef struct QxFilterSuite {
  /* Register a filter named `name` with its menu category and title (copied)
   * and `options` (QX_FILTER_OPTIONS_NONE); writes its handle, valid until the
   * plug-in's Shutdown, to *filter. QX_ERR_BAD_PARAM for NULL arguments, an
   * unknown plug-in or an empty title. */
  QxErr (*AddFilter)(QxPluginRef self, const char* name, const QxPlatformFilterData* data, int32_t options,
                     QxFilterHandle* filter);
  /* Write the filter's menu item to *menuItem. QX_ERR_BAD_PARAM for an
   * unknown filter or a NULL out-parameter. */
  QxErr (*GetFilterMenuItem)(QxFilterHandle filter, QxMenuItemHandle* menuItem);
} QxFilterSuite;

/* UpdateMenuItemAutomatically: the action word, then the condition sets. The
 * four object sets name kinds of art that must or must not be in the artwork
 * or the selection; the last two name conditions that must hold and must not. */
#define QX_MENU_AUTO_ENABLE 1 /* enable the item while the conditions hold, dim it otherwise */
#define QX_IF_NONE 0          /* an empty set: no condition */
#define QX_IF_DOCUMENT_OPEN 1 /* a document is open */

/* "AI Menu Suite" version 7. */
typedef struct QxMenuSuite {
  /* Let the host enable or dim the item by itself: `action` (QX_MENU_AUTO_ENABLE)
   * says what to change, the four object sets and the must / must-not QX_IF_*
   * sets say when. The host records the values with the filter; QX_ERR_BAD_PARAM
   * for an item that is no filter's menu item. */
  QxErr (*UpdateMenuItemAutomatically)(QxMenuItemHandle item, int32_t action, int32_t ifObjectIsInArtwork,
                                       int32_t ifObjectIsNotInArtwork, int32_t ifObjectIsSelected,
                                       int32_t ifObjectIsNotSelected, int32_t ifIsTrue, int32_t ifIsNotTrue);
} QxMenuSuite;

#ifdef __cplusplus
}
#endif

#endif
