/* The host's own service suites: labelled blocks and plug-in access. */
#ifndef QX_SP_SUITES_H
#define QX_SP_SUITES_H

#include "qx_plugin.h"

#ifdef __cplusplus
extern "C" {
#endif

/* "SP Blocks Suite" version 2: plain memory blocks the host tracks. */
typedef struct QxBlocksSuite {
  /* Allocate `size` bytes (not cleared) labelled `debugLabel` (may be NULL);
   * writes the block to *block. QX_ERR_OUT_OF_MEMORY when it cannot;
   * QX_ERR_BAD_PARAM for a NULL out-parameter or a size of 0. The caller
   * owns the block until FreeBlock. */
  QxErr (*AllocateBlock)(size_t size, const char* debugLabel, void** block);
  /* Free a block from AllocateBlock. QX_ERR_BAD_PARAM when `block` is not a
   * live block of this host (nothing is freed then). */
  QxErr (*FreeBlock)(void* block);
} QxBlocksSuite;

/* "SP Access Suite" version 3: facts about a loaded plug-in. */
typedef struct QxAccessSuite {
  /* Copy the plug-in's file path, zero-terminated and cut to `size` - 1
   * bytes, into `buffer`. QX_ERR_BAD_PARAM for an unknown plug-in, a NULL
   * buffer or a size below 1. */
  QxErr (*GetPluginFilePath)(QxPluginRef plugin, char* buffer, int32_t size);
} QxAccessSuite;

#ifdef __cplusplus
}
#endif

#endif
