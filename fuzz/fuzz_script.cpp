// The parser of `quelvix render --script` files on any text: a script is
// either refused with a reason or gives actions whose order is then checked.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/cli/dialog_actions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // render --script reads at most 1 MiB.
  if (size > (size_t{1} << 20)) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<qx::cli::PlannedAction> actions;
  std::string error;
  if (!qx::cli::parseScript(text, "fuzz.script", &actions, &error)) {
    if (error.empty()) __builtin_trap();  // a refusal always says why
    return 0;
  }
  qx::cli::checkActionOrder(actions, &error);
  return 0;
}
