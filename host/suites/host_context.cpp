#include "host/suites/host_context.h"

#include "host/document/document.h"
#include "host/document/random_source.h"
#include "host/plugins/plugin_host.h"

namespace qx::host {
namespace {

class CurrentDocumentUndo final : public MessageObserver {
 public:
  void outermostMessageBegins() noexcept override {
    if (Document* document = hostContext().document) document->art().beginMessage();
    if (RandomSource* random = hostContext().random) random->restartDrawCount();
  }
  void outermostMessageEnds() noexcept override {
    if (Document* document = hostContext().document) document->art().endMessage();
  }
};

}  // namespace

constinit HostContext detail::g_hostContext;

MessageObserver& currentDocumentUndo() {
  static CurrentDocumentUndo observer;
  return observer;
}

}  // namespace qx::host
