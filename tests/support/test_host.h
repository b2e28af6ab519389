// The test host: a GoogleTest fixture that loads the real Quelvix.aip and
// drives it through PluginMain, the way the app does.
//
// SetUp() builds the host's services on the process-wide context and loads the
// plug-in; it does not send Startup (call startup() when the test wants it,
// after arming any fault). TearDown() shuts the plug-in down if it is still
// started (loading it again first if it was unloaded), drops the host and
// puts back the context's document, dialogs and random source as they were.
//
// Other fixtures compose by deriving and filling the context:
//
//   class MyTest : public qx::test::TestHost {
//     void SetUp() override {
//       TestHost::SetUp();
//       context().document = &document_;   // or dialogs, random
//       ASSERT_EQ(startup(), 0);
//     }
//     qx::host::Document document_;
//   };
//
// GoogleTest calls TearDown() before it destroys the fixture, so the parts a
// deriving fixture owns are still alive when the plug-in is shut down.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "host/plugins/plugin_host.h"
#include "host/session/host_services.h"
#include "host/suites/host_context.h"
#include "qx_sdk.h"

namespace qx::test {

class TestHost : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The process-wide context the host's suites read; add parts to it.
  host::HostContext& context() const { return host::hostContext(); }
  host::PluginHost& host() { return services_->plugins(); }
  host::LoadedPlugin* plugin() { return plugin_; }
  QxPluginRef pluginRef() { return host().ref(plugin_); }

  // Messages. Each answers the plug-in's code.
  QxErr startup();
  QxErr shutdown();
  QxErr about();
  QxErr unload();  // "SP Access"/"Unload", then the library is closed
  QxErr reload();  // the library is opened again, then "SP Access"/"Reload"
  QxErr send(const char* caller, const char* selector);
  // "AI Filter" message to the registered filter (QX_ERR_BAD_PARAM without one).
  QxErr sendFilter(const char* selector);

  // The first filter the plug-in registered, or nullptr.
  host::RegisteredFilter* filter();
  // The globals slot the host keeps for the plug-in.
  void* globalsSlot() { return host().globalsSlot(plugin_); }

  // Calls of an operation since SetUp or the last resetCalls().
  static uint64_t calls(const char* suite, const char* op);
  static void resetCalls();
  // Make the nth call of the operation from now answer `code` (fails the test
  // for an unknown operation).
  static void failNthCall(const char* suite, const char* op, uint64_t nth, QxErr code);
  // Run `action` when the nth call of the operation from now begins, e.g. to
  // send a nested message while the plug-in is inside a handler.
  static void onNthCall(const char* suite, const char* op, uint64_t nth, std::function<void()> action);

  // What is held now beyond what was held when SetUp began: host memory
  // blocks and handles, and suite references.
  long extraBlocks() const;
  long extraHandles() const;
  long extraSuiteRefs() const;
  // All three are zero.
  bool nothingLeaked() const { return extraBlocks() == 0 && extraHandles() == 0 && extraSuiteRefs() == 0; }

 private:
  std::unique_ptr<host::HostServices> services_;
  host::LoadedPlugin* plugin_ = nullptr;
  host::HostContext saved_;
  size_t baseBlocks_ = 0;
  size_t baseHandles_ = 0;
};

}  // namespace qx::test
