// Compiled with only the document layer's include roots: the document sits
// below the suites, so this include must not be found.
#include "host/suites/host_context.h"
