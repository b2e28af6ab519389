// The boundary between the host and the plug-in: every suite function the
// plug-in calls is noexcept and runs its body through guarded(), which
// answers a result code for any exception. The plug-in is built without
// exceptions, so one unwinding through its frames would skip its clean-up
// and leave the host's own state (message depth, undo context) half done.
#pragma once

#include <cstdint>
#include <new>

#include "qx_plugin.h"

namespace qx::host {

// Host calls that ran out of memory (std::bad_alloc) since the process
// began. A front end compares the count around a run: the plug-in stops a
// drawing when a call answers QX_ERR_OUT_OF_MEMORY, yet may answer success.
uint64_t outOfMemoryCount();

namespace detail {
void noteOutOfMemory() noexcept;
}

// `body()` (answering a QxErr); std::bad_alloc becomes QX_ERR_OUT_OF_MEMORY,
// any other exception QX_ERR_HOST_FAILURE.
template <class Body>
QxErr guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    detail::noteOutOfMemory();
    return QX_ERR_OUT_OF_MEMORY;
  } catch (...) {
    return QX_ERR_HOST_FAILURE;
  }
}

}  // namespace qx::host
