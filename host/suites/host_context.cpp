#include "host/suites/host_context.h"

namespace qx::host {

HostContext& hostContext() {
  static HostContext context;
  return context;
}

}  // namespace qx::host
