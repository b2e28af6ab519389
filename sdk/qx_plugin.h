/* Quelvix host interface: base types, result codes, messages and the basic
 * suite. Plain C; shared by the host and the plug-in. Nothing here allocates.
 *
 * Conventions for every suite operation in this SDK:
 *   - the return value is a QxErr: 0 on success, otherwise a result code;
 *   - results are written through out-parameters, and only on success unless
 *     the contract says otherwise;
 *   - handles are opaque: pass them back unchanged; a stale or foreign handle
 *     answers QX_ERR_BAD_PARAM, never undefined behaviour;
 *   - operations may only be called from the thread and inside the message
 *     that the host is currently sending. */
#ifndef QX_PLUGIN_H
#define QX_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t QxErr;
typedef int32_t QxBool; /* 0 is false, anything else true */
typedef float QxReal;   /* the interface's real number: 32-bit IEEE */

/* Four-character code, first character most significant: 'STOP' is 0x53544F50. */
#define QX_FOURCC(a, b, c, d)                                                                                  \
  ((int32_t)(((uint32_t)(uint8_t)(a) << 24) | ((uint32_t)(uint8_t)(b) << 16) | ((uint32_t)(uint8_t)(c) << 8) | \
             (uint32_t)(uint8_t)(d)))

/* Result codes. */
#define QX_ERR_NONE 0
#define QX_ERR_STOP QX_FOURCC('S', 'T', 'O', 'P')            /* user cancelled */
#define QX_ERR_SUITE_NOT_FOUND QX_FOURCC('S', '!', 'F', 'd') /* no such suite/version */
#define QX_ERR_NO_SELECTION QX_FOURCC('!', 's', 'e', 'l')    /* selection not valid */
#define QX_ERR_NO_MEMORY_BLOCK QX_FOURCC('!', 'M', 'E', 'M') /* block not created */
#define QX_ERR_OUT_OF_MEMORY (-108)                          /* host memory or art budget exhausted */
#define QX_ERR_BAD_PARAM QX_FOURCC('P', 'R', 'M', '?')       /* bad handle, index or argument */
#define QX_ERR_NOT_ACQUIRED QX_FOURCC('!', 'A', 'C', 'Q')    /* release of a suite not held */
#define QX_ERR_NOT_IMPLEMENTED QX_FOURCC('!', 'I', 'M', 'P') /* operation not offered by this host */
#define QX_ERR_NO_DOCUMENT QX_FOURCC('D', 'O', 'C', '?')     /* no current document */
#define QX_ERR_NO_RANDOM QX_FOURCC('R', 'N', 'D', '!')       /* scripted random numbers ran out */
#define QX_ERR_HOST_FAILURE QX_FOURCC('H', 'S', 'T', '!')    /* the host failed for a reason of its own */

/* Geometry. Artwork coordinates are points, y up, origin at the page's
 * bottom-left corner. */
typedef struct QxRealPoint {
  QxReal x, y;
} QxRealPoint;
typedef struct QxRealRect {
  QxReal left, top, right, bottom;
} QxRealRect;
/* Affine matrix: x' = a*x + c*y + tx, y' = b*x + d*y + ty. */
typedef struct QxRealMatrix {
  QxReal a, b, c, d, tx, ty;
} QxRealMatrix;
/* Integer point and rectangle: dialog pixels and view coordinates. */
typedef struct QxPoint {
  int32_t h, v;
} QxPoint;
typedef struct QxRect {
  int32_t left, top, right, bottom;
} QxRect;

/* Opaque references handed out by the host. */
typedef struct QxPlugin_* QxPluginRef;
typedef struct QxArt_* QxArtHandle;
typedef struct QxFilter_* QxFilterHandle;
typedef struct QxMenuItem_* QxMenuItemHandle;
typedef struct QxSwatch_* QxSwatchRef;
typedef struct QxSwatchList_* QxSwatchListRef;
typedef struct QxDocumentView_* QxDocumentViewRef;

/* Memory handle: *handle points to the block's bytes while the handle lives.
 * Created and disposed only through the "AI MdMemory Suite". */
typedef void** QxMemHandle;

/* ---- The basic suite: arrives in every message. ---- */
typedef struct QxBasicSuite {
  /* Acquire suite `name` at `version`; writes its function table to *suite.
   * Counts a reference. Answers QX_ERR_SUITE_NOT_FOUND for an unknown name or
   * version (and writes NULL), QX_ERR_BAD_PARAM for NULL arguments. */
  QxErr (*AcquireSuite)(const char* name, int32_t version, const void** suite);
  /* Drop one reference taken by AcquireSuite. Answers QX_ERR_NOT_ACQUIRED when
   * no reference is held, QX_ERR_SUITE_NOT_FOUND for an unknown suite and
   * QX_ERR_BAD_PARAM for a NULL name. */
  QxErr (*ReleaseSuite)(const char* name, int32_t version);
  /* Non-zero when the two C strings are equal; 0 when not or when either is NULL. */
  QxBool (*IsEqual)(const char* a, const char* b);
} QxBasicSuite;

/* ---- Messages ---- */

/* Every message starts with these four pointer-sized fields. */
typedef struct QxMessageData {
  uintptr_t checkWord; /* host's own; not read by plug-ins */
  QxPluginRef self;    /* the plug-in's identity, passed back to dialog and string calls */
  void* globals;       /* kept by the host while the library is unloaded */
  const QxBasicSuite* basic;
} QxMessageData;

/* Caller "AI Filter": the header, the filter and its parameter block. The host
 * keeps `parameters` between uses of the filter; the plug-in creates it once. */
typedef struct QxFilterMessage {
  QxMessageData d;
  QxFilterHandle filter;
  QxMemHandle parameters;
} QxFilterMessage;

/* The entry point every plug-in exports under the name its property list
 * gives. `caller` and `selector` name the message; `message` starts with a
 * QxMessageData. Answers 0 or a result code. */
typedef QxErr (*QxPluginMainProc)(const char* caller, const char* selector, void* message);

#ifdef __cplusplus
}
#endif

#endif
