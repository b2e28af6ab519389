#include "host/suites/instrument.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace qx::host {

namespace detail {
uint64_t g_calls[kMaxOps] = {};
bool g_faultsArmed = false;
}  // namespace detail

namespace {

struct OpName {
  std::string suite;
  std::string op;
};

// One armed fault or action: counts down the calls still to come.
struct Trap {
  OpId id;
  uint64_t remaining;
  QxErr code;                    // answered when no action is set
  std::function<void()> action;  // run instead of failing when set
};

// Function-local statics: registerOp runs during static initialisation of
// other files, before any namespace-scope object here would be constructed.
std::vector<OpName>& names() {
  static std::vector<OpName> table;
  return table;
}

std::vector<Trap>& traps() {
  static std::vector<Trap> armed;
  return armed;
}

bool findOp(std::string_view suite, std::string_view op, OpId* id) {
  const auto& table = names();
  for (OpId i = 0; i < table.size(); ++i) {
    if (table[i].suite == suite && table[i].op == op) {
      *id = i;
      return true;
    }
  }
  return false;
}

void arm(Trap trap) {
  traps().push_back(std::move(trap));
  detail::g_faultsArmed = true;
}

}  // namespace

OpId registerOp(std::string_view suite, std::string_view op) {
  OpId id;
  if (findOp(suite, op, &id)) return id;
  auto& table = names();
  if (table.size() >= detail::kMaxOps) {
    // A fixed table keeps opEnter a single array increment; running out is a
    // build mistake, found at start-up.
    std::fprintf(stderr, "quelvix: too many host operations (raise kMaxOps)\n");
    std::abort();
  }
  table.push_back({std::string(suite), std::string(op)});
  return static_cast<OpId>(table.size() - 1);
}

QxErr detail::checkFault(OpId id) {
  auto& armed = traps();
  // Every trap of this operation counts the call; the first that reaches zero
  // fires and is removed. An action may arm new traps or re-enter opEnter, so
  // it runs after the list is settled.
  std::function<void()> action;
  QxErr code = 0;
  bool fired = false;
  for (size_t i = 0; i < armed.size();) {
    Trap& trap = armed[i];
    if (trap.id == id && --trap.remaining == 0 && !fired) {
      fired = true;
      code = trap.code;
      action = std::move(trap.action);
      armed.erase(armed.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    ++i;
  }
  g_faultsArmed = !armed.empty();
  if (action) {
    action();
    return 0;
  }
  return code;
}

uint64_t callCount(std::string_view suite, std::string_view op) {
  OpId id;
  return findOp(suite, op, &id) ? detail::g_calls[id] : 0;
}

std::vector<OpInfo> allOps() {
  std::vector<OpInfo> out;
  const auto& table = names();
  out.reserve(table.size());
  for (OpId i = 0; i < table.size(); ++i) out.push_back({table[i].suite, table[i].op, detail::g_calls[i]});
  return out;
}

void resetCounts() {
  for (auto& calls : detail::g_calls) calls = 0;
}

bool failNthCall(std::string_view suite, std::string_view op, uint64_t nth, QxErr code) {
  OpId id;
  if (nth == 0 || code == 0 || !findOp(suite, op, &id)) return false;
  arm({id, nth, code, {}});
  return true;
}

bool onNthCall(std::string_view suite, std::string_view op, uint64_t nth, std::function<void()> action) {
  OpId id;
  if (nth == 0 || !action || !findOp(suite, op, &id)) return false;
  arm({id, nth, 0, std::move(action)});
  return true;
}

void clearFaults() {
  traps().clear();
  detail::g_faultsArmed = false;
}

}  // namespace qx::host
