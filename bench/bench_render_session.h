// A whole filter run as the command line makes it: the real plug-in loaded
// through the host, a fresh document, seeded random numbers, and the dialog
// manager without a front end (the settings dialog is initialised and
// answered with OK at once). Shared by the render and SVG benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/dialogs/dialog_manager.h"
#include "host/document/document.h"
#include "host/document/random_source.h"
#include "host/plugins/plugin_host.h"
#include "host/session/host_services.h"
#include "host/suites/host_context.h"
#include "qx_names.h"
#include "plugin/filter/parameters.h"

namespace qx::bench {

using host::Document;

// The settings a run is made with: the plug-in's own defaults with some
// fields replaced.
using Settings = std::vector<uint8_t>;

template <class T>
void setField(Settings& block, size_t offset, T value) {
  static_assert(sizeof(T) == 4);
  std::memcpy(block.data() + offset, &value, 4);
}
#define QX_FIELD(name) offsetof(FilterParameters, name)

class RenderSession {
 public:
  RenderSession() : context_(host::hostContext()) {
    context_.dialogs = &dialogs_;
    context_.random = &random_;
    services_ = std::make_unique<host::HostServices>();
    host_ = &services_->plugins();
    std::string error;
    plugin_ = host_->load(QX_PLUGIN_FILE, &error);
    if (!plugin_) throw std::runtime_error("cannot load the plug-in: " + error);
    Document scratch;
    attach(scratch);
    const QxErr started = host_->startup(plugin_);
    detach(scratch);
    if (started != QX_ERR_NONE) throw std::runtime_error("start-up failed: " + std::to_string(started));
    filter_ = host_->filters().empty() ? nullptr : &host_->filters().front();
    if (!filter_) throw std::runtime_error("the plug-in registered no filter");
    // One run with an empty block makes the plug-in create its defaults;
    // the block it leaves is what a host keeps between uses.
    Document first;
    if (run(first, std::nullopt) != QX_ERR_NONE) throw std::runtime_error("the default run failed");
    const auto block = host_->filterParameters(*filter_);
    if (!block || block->size() != sizeof(FilterParameters))
      throw std::runtime_error("the plug-in left no parameter block of the expected size");
    defaults_ = *block;
  }

  ~RenderSession() {
    services_.reset();
    context_.dialogs = nullptr;
    context_.random = nullptr;
  }

  const Settings& defaults() const { return defaults_; }

  // Get Parameters and Go into `document` with `settings` (the block the
  // host keeps when nullopt), random numbers from seed 7.
  QxErr run(Document& document, const std::optional<Settings>& settings) {
    random_.seed(7);
    document.setSeed(7);
    if (settings) {
      const QxErr set = host_->setFilterParameters(*filter_, *settings);
      if (set != QX_ERR_NONE) return set;
    }
    attach(document);
    QxErr err = host_->sendFilter(*filter_, QX_SELECTOR_GET_PARAMETERS);
    if (err == QX_ERR_NONE) err = host_->sendFilter(*filter_, QX_SELECTOR_GO);
    detach(document);
    return err;
  }

 private:
  void attach(Document& document) { context_.document = &document; }
  void detach(Document&) { context_.document = nullptr; }

  host::HostContext& context_;
  host::DialogManager dialogs_;
  host::RandomSource random_;
  std::unique_ptr<host::HostServices> services_;
  host::PluginHost* host_ = nullptr;
  host::LoadedPlugin* plugin_ = nullptr;
  host::RegisteredFilter* filter_ = nullptr;
  Settings defaults_;
};

// " 200 Angled lattice": the defaults with an angled walk of 200 short steps.
inline Settings angledLattice(const Settings& defaults) {
  Settings s = defaults;
  setField<int32_t>(s, QX_FIELD(directionMode), 6);
  setField<int32_t>(s, QX_FIELD(pointsMin), 200);
  setField<int32_t>(s, QX_FIELD(pointsMax), 200);
  setField<QxReal>(s, QX_FIELD(stepX), 20);
  setField<QxReal>(s, QX_FIELD(stepY), 20);
  return s;
}

// The heaviest drawing the dialog allows: 200 sets of 3000 points (locked),
// shapes of size 20 at every point, tiled four-fold about the page's centre.
// Preview off, so Get Parameters draws nothing and Go draws it once.
inline Settings heaviest(const Settings& defaults) {
  Settings s = defaults;
  setField<int32_t>(s, QX_FIELD(preview), 0);
  setField<int32_t>(s, QX_FIELD(lineSets), 200);
  setField<int32_t>(s, QX_FIELD(pointsMin), 3000);
  setField<int32_t>(s, QX_FIELD(pointsMax), 3000);
  setField<int32_t>(s, QX_FIELD(lockPoints), 1);
  setField<QxReal>(s, QX_FIELD(shapeSizeMin), 20);
  setField<QxReal>(s, QX_FIELD(shapeSizeMax), 20);
  setField<int32_t>(s, QX_FIELD(tileMode), 1);
  return s;
}

}  // namespace qx::bench
