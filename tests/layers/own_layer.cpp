// Compiled with only the document layer's include roots: the layer's own
// headers and the interface's are found.
#include "host/document/document.h"
#include "qx_sdk.h"
