#include "support/test_host.h"

#include "host/suites/instrument.h"
#include "host/plugins/memory_store.h"
#include "host/suites/suite_registry.h"

namespace qx::test {

void TestHost::SetUp() {
  host::clearFaults();
  host::resetCounts();
  baseBlocks_ = host::liveBlocks();
  baseHandles_ = host::liveMemHandles();
  saved_ = context();
  services_ = std::make_unique<host::HostServices>();
  std::string error;
  plugin_ = host().load(QX_PLUGIN_FILE, &error);
  ASSERT_NE(plugin_, nullptr) << error;
}

void TestHost::TearDown() {
  // Faults armed by the test must not hit the clean-up.
  host::clearFaults();
  services_.reset();  // shuts down (reloading first if needed) and closes the library
  auto& ctx = context();
  ctx.document = saved_.document;
  ctx.dialogs = saved_.dialogs;
  ctx.random = saved_.random;
}

QxErr TestHost::startup() { return host().startup(plugin_); }
QxErr TestHost::shutdown() { return host().shutdown(plugin_); }
QxErr TestHost::about() { return host().about(plugin_); }
QxErr TestHost::unload() { return host().unload(plugin_); }
QxErr TestHost::reload() { return host().reload(plugin_); }
QxErr TestHost::send(const char* caller, const char* selector) { return host().send(plugin_, caller, selector); }

QxErr TestHost::sendFilter(const char* selector) {
  host::RegisteredFilter* registered = filter();
  return registered ? host().sendFilter(*registered, selector) : QX_ERR_BAD_PARAM;
}

host::RegisteredFilter* TestHost::filter() {
  for (auto& registered : host().filters())
    if (registered.plugin == plugin_) return &registered;
  return nullptr;
}

uint64_t TestHost::calls(const char* suite, const char* op) { return host::callCount(suite, op); }
void TestHost::resetCalls() { host::resetCounts(); }

void TestHost::failNthCall(const char* suite, const char* op, uint64_t nth, QxErr code) {
  EXPECT_TRUE(host::failNthCall(suite, op, nth, code)) << "unknown operation " << suite << "/" << op;
}

void TestHost::onNthCall(const char* suite, const char* op, uint64_t nth, std::function<void()> action) {
  EXPECT_TRUE(host::onNthCall(suite, op, nth, std::move(action))) << "unknown operation " << suite << "/" << op;
}

long TestHost::extraBlocks() const { return static_cast<long>(host::liveBlocks()) - static_cast<long>(baseBlocks_); }
long TestHost::extraHandles() const {
  return static_cast<long>(host::liveMemHandles()) - static_cast<long>(baseHandles_);
}
long TestHost::extraSuiteRefs() const { return context().suites ? context().suites->totalRefs() : 0; }

}  // namespace qx::test
