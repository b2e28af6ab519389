// The entry point: every message from the host arrives here, is routed to its
// handler with the host's suites at hand, and answers the handler's code.
#include <type_traits>

#include "alerts.h"
#include "filter/filter_run.h"
#include "qx_sdk.h"
#include "startup.h"
#include "suite_table.h"

namespace {

QxErr RouteAccessMessage(const QxBasicSuite* basic, const char* selector, QxMessageData* message) {
  if (basic->IsEqual(selector, QX_SELECTOR_UNLOAD)) return UnloadPlugin(message);
  if (basic->IsEqual(selector, QX_SELECTOR_RELOAD)) return ReloadPlugin(message);
  return 0;
}

QxErr RouteMessage(const QxBasicSuite* basic, const char* caller, const char* selector, QxMessageData* message) {
  if (basic->IsEqual(caller, QX_CALLER_INTERFACE)) {
    if (basic->IsEqual(selector, QX_SELECTOR_STARTUP)) return StartupPlugin(message);
    if (basic->IsEqual(selector, QX_SELECTOR_ABOUT)) return AboutPlugin(message);
    if (basic->IsEqual(selector, QX_SELECTOR_SHUTDOWN)) return ShutdownPlugin(message);
    return 0;
  }
  if (basic->IsEqual(caller, QX_CALLER_MENU)) {
    // The filter is chosen through the filter menu, never through a menu
    // item of its own.
    if (basic->IsEqual(selector, QX_SELECTOR_GO)) return QX_ERR_NO_SELECTION;
    if (basic->IsEqual(selector, QX_SELECTOR_UPDATE)) return 0;
    return 0;
  }
  if (basic->IsEqual(caller, QX_CALLER_FILTER)) {
    QxFilterMessage* filterMessage = reinterpret_cast<QxFilterMessage*>(message);
    if (basic->IsEqual(selector, QX_SELECTOR_GET_PARAMETERS)) return GetFilterParameters(filterMessage);
    if (basic->IsEqual(selector, QX_SELECTOR_GO)) return GoFilter(filterMessage);
    return 0;
  }
  return 0;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) QxErr PluginMain(const char* caller, const char* selector,
                                                                   void* messageData) {
  QxMessageData* message = static_cast<QxMessageData*>(messageData);
  // Without the basic suite no name can be compared and no suite acquired.
  if (message == nullptr || message->basic == nullptr) return QX_ERR_BAD_PARAM;
  const QxBasicSuite* basic = message->basic;

  // Unload and Reload come while the library is being swapped: no suites.
  if (basic->IsEqual(caller, QX_CALLER_ACCESS)) return RouteAccessMessage(basic, selector, message);

  QxErr result = AcquireSuites(basic);
  if (result == 0) result = RouteMessage(basic, caller, selector, message);
  // A missing suite is the host's own finding; the host reports it.
  if (result != 0 && result != QX_ERR_SUITE_NOT_FOUND) ReportError(message, result);
  ReleaseSuites(basic);
  return result;
}

static_assert(std::is_same_v<decltype(&PluginMain), QxPluginMainProc>, "PluginMain has the entry point's type");
