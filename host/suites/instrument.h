// Call counting and fault injection for every host operation. Each suite
// operation registers itself once (at static initialisation) and calls
// opEnter() first; tests read the counts and make the Nth call of a chosen
// operation answer a chosen code.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "qx_plugin.h"

namespace qx::host {

using OpId = uint32_t;

// Dense id of the operation `op` of suite `suite`; the same pair always gives
// the same id. Safe to call during static initialisation.
OpId registerOp(std::string_view suite, std::string_view op);

namespace detail {
inline constexpr OpId kMaxOps = 512;
extern uint64_t g_calls[kMaxOps];
extern bool g_faultsArmed;
QxErr checkFault(OpId id);
}  // namespace detail

// Count a call of `id`; answers the injected code when this call is to fail,
// 0 otherwise. The operation returns a non-zero answer at once.
inline QxErr opEnter(OpId id) {
  ++detail::g_calls[id];
  return detail::g_faultsArmed ? detail::checkFault(id) : 0;
}

struct OpInfo {
  std::string suite;
  std::string op;
  uint64_t calls;
};

// Calls of the operation since the last resetCounts(); 0 for an unknown name.
uint64_t callCount(std::string_view suite, std::string_view op);
std::vector<OpInfo> allOps();
void resetCounts();
// Make the nth call (1 = the next one) of the operation from now answer
// `code`. Several faults may be armed at once; each fires once.
// Returns false for an unknown operation, nth 0 or code 0.
bool failNthCall(std::string_view suite, std::string_view op, uint64_t nth, QxErr code);
// Run `action` when the nth call of the operation from now begins, before the
// operation does its work (a test sends a nested message this way). Fires
// once; false for an unknown operation.
bool onNthCall(std::string_view suite, std::string_view op, uint64_t nth, std::function<void()> action);
// Disarm every fault and every action.
void clearFaults();

}  // namespace qx::host

// First statement of a suite operation: count it and answer an injected fault.
#define QX_OP_ENTER(id)                                              \
  do {                                                               \
    if (QxErr qx_fault_ = ::qx::host::opEnter(id)) return qx_fault_; \
  } while (0)
