#include "host/session/validation.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <sstream>

#include "host/dialogs/scripted_runner.h"
#include "host/document/art_walk.h"
#include "host/plugins/memory_store.h"
#include "host/session/filter_session.h"
#include "host/session/host_services.h"
#include "host/suites/instrument.h"
#include "qx_names.h"

namespace qx::host {
namespace {

// Budgets that keep every run of a scenario short, whatever its settings.
constexpr size_t kArtBudget = 3000;
constexpr uint64_t kDrawBudget = 300'000;
constexpr size_t kClearAbove = 20'000;  // live objects before the page is cleared

std::string code(QxErr rc) { return describeCode(rc); }

// A session of its own, its output swallowed, the plug-ins started.
struct Harness {
  std::ostringstream out, err;
  ScriptedRunner runner{out, err};
  FilterSession session{runner};
  std::vector<std::string> problems;

  bool start(const ValidationOptions& options, ScenarioOutcome* outcome) {
    session.document().art().setArtBudget(kArtBudget);
    session.random().seed(options.seed);
    session.random().setDrawBudget(kDrawBudget);
    session.startPlugins(options.pluginFiles, &problems);
    for (const std::string& problem : problems) outcome->failures.push_back(problem);
    problems.clear();
    if (session.started().empty() || !session.findFilter("")) {
      outcome->failures.push_back("no filter was registered");
      return false;
    }
    return true;
  }
  RegisteredFilter& filter() { return *session.findFilter(""); }
  void clearPageWhenFull() {
    ArtStore& art = session.document().art();
    if (art.liveArtCount() <= kClearAbove) return;
    for (QxArtHandle object : art.topLevelArt()) (void)art.disposeArt(object);
  }
};

// The document's tree as sound as a host keeps it; a line saying what is
// wrong otherwise.
std::string unsoundness(const ArtStore& art) {
  ArtWalk walk(art);
  ArtStep step;
  std::vector<QxArtHandle> open;
  size_t seen = 0;
  while (walk.next(&step)) {
    if (step.kind == ArtStep::kLeave) {
      if (open.empty() || open.back() != step.art) return "a container was left that was not entered";
      open.pop_back();
      continue;
    }
    ++seen;
    QxArtHandle parent = nullptr;
    if (!art.isValid(step.art) || art.parent(step.art, &parent) != 0) return "the walk reached a dead object";
    if (parent != (open.empty() ? nullptr : open.back())) return "an object's parent is not its container";
    if (step.kind == ArtStep::kEnter) open.push_back(step.art);
  }
  if (walk.lost()) return "the walk lost its way";
  if (seen != art.liveArtCount())
    return "the walk saw " + std::to_string(seen) + " objects of " + std::to_string(art.liveArtCount());
  return "";
}

void checkSound(Harness& h, const std::string& when, ScenarioOutcome* outcome) {
  const std::string why = unsoundness(h.session.document().art());
  if (!why.empty()) outcome->failures.push_back(when + ": " + why);
}

// One random action on a random control of the open dialog; false when the
// chosen control takes none (it is not counted then).
bool randomAction(ScriptedRunner& runner, Dialog& dialog, std::mt19937_64& rng) {
  const auto& items = dialog.items();
  if (items.empty()) return false;
  const Item& item = *items[rng() % items.size()];
  const int32_t id = item.id();
  if (id == kItemOk || id == kItemCancel) return false;  // the session decides how the dialog ends
  std::string why;
  switch (item.kind()) {
    case ItemKind::SpinEdit: {
      const double values[] = {-1e12, -1, 0, 0.5, 3, 17, 99.99, 250, 1e4, 1e12};
      runner.apply(dialog, DialogAction::setValue(id, values[rng() % std::size(values)]), &why);
      return true;
    }
    case ItemKind::TextCheckBox: runner.apply(dialog, DialogAction::toggle(id), &why); return true;
    case ItemKind::PopupList:
    case ItemKind::ListBox:
      runner.apply(dialog, DialogAction::chooseIndex(id, static_cast<int32_t>(rng() % 40) - 3), &why);
      return true;
    case ItemKind::PicturePushButton:
      if (rng() % 2) {  // an adjuster, dragged anywhere, far off the page too
        const QxRealPoint to{static_cast<QxReal>(static_cast<int>(rng() % 8000) - 3000),
                             static_cast<QxReal>(static_cast<int>(rng() % 8000) - 3000)};
        runner.apply(dialog, DialogAction::drag(id, to), &why);
        return true;
      }
      [[fallthrough]];
    case ItemKind::TextPushButton: runner.apply(dialog, DialogAction::press(id), &why); return true;
    default: return false;
  }
}

// Blocks and memory handles the plug-ins hold, to tell a leak from a keep.
struct Held {
  size_t blocks = liveBlocks();
  size_t handles = liveMemHandles();
};

void checkNothingPiledUp(const Held& before, const std::string& when, ScenarioOutcome* outcome) {
  const Held now;
  if (now.blocks > before.blocks)
    outcome->failures.push_back(when + ": " + std::to_string(now.blocks - before.blocks) + " blocks left behind");
  if (now.handles > before.handles)
    outcome->failures.push_back(when + ": " + std::to_string(now.handles - before.handles) +
                                " memory handles left behind");
}

int scaled(const ValidationOptions& options, int perStep) { return std::clamp(options.strictness, 1, 10) * perStep; }

}  // namespace

ScenarioOutcome validateLoadCycles(const ValidationOptions& options) {
  ScenarioOutcome outcome;
  const Held start;
  for (int cycle = 0; cycle < scaled(options, 3) && outcome.failures.empty(); ++cycle) {
    {
      Harness h;
      if (!h.start(options, &outcome)) break;
      outcome.counts.messages += h.session.started().size();
      // Unload and reload each library while its filters are registered.
      for (LoadedPlugin* plugin : h.session.started()) {
        if (QxErr rc = h.session.plugins().unload(plugin))
          outcome.failures.push_back("cycle " + std::to_string(cycle) + ": Unload answered " + code(rc));
        else if (QxErr again = h.session.plugins().reload(plugin))
          outcome.failures.push_back("cycle " + std::to_string(cycle) + ": Reload answered " + code(again));
        outcome.counts.messages += 2;
      }
      if (cycle % 2 == 1) {  // a run between the cycles, so the globals hold something
        h.runner.setActions({DialogAction::confirm()});
        const FilterRun run = h.session.runFilter(h.filter().handle);
        ++outcome.counts.runs;
        if (!run.succeeded()) outcome.failures.push_back("cycle " + std::to_string(cycle) + ": a run failed");
      }
      h.session.shutdownPlugins(&h.problems);
      for (const std::string& problem : h.problems) outcome.failures.push_back(problem);
    }
    checkNothingPiledUp(start, "after cycle " + std::to_string(cycle), &outcome);
  }
  return outcome;
}

ScenarioOutcome validateMessages(const ValidationOptions& options) {
  ScenarioOutcome outcome;
  Harness h;
  if (!h.start(options, &outcome)) return outcome;
  std::mt19937_64 rng(options.seed ^ 0x6d657373616765ull);
  LoadedPlugin* plugin = h.session.started().front();
  PluginHost& plugins = h.session.plugins();
  auto filterHandle = [&] { return h.filter().handle; };
  for (int i = 0; i < scaled(options, 40); ++i) {
    h.clearPageWhenFull();
    const std::string when = "message " + std::to_string(i);
    switch (rng() % 8) {
      case 0:
      case 1: {
        h.runner.setActions({rng() % 2 ? DialogAction::confirm() : DialogAction::cancel()});
        const FilterRun run = h.session.runFilter(filterHandle());
        outcome.counts.runs += run.wentAhead;
        break;
      }
      case 2:  // Go without its dialog
        (void)plugins.sendFilter(h.filter(), QX_SELECTOR_GO);
        ++outcome.counts.runs;
        break;
      case 3: (void)plugins.about(plugin); break;
      case 4: (void)plugins.send(plugin, QX_CALLER_FILTER, "QX No Such Selector"); break;
      case 5: (void)plugins.send(plugin, "QX No Such Caller", QX_SELECTOR_GO); break;
      case 6: (void)plugins.send(plugin, QX_CALLER_INTERFACE, "QX No Such Selector"); break;
      default: {
        // A message nested inside a host call of a run.
        std::vector<OpInfo> used;
        for (const OpInfo& op : allOps())
          if (op.calls > 0) used.push_back(op);
        if (!used.empty()) {
          const OpInfo& op = used[rng() % used.size()];
          const bool about = rng() % 2;
          onNthCall(op.suite, op.op, 1 + rng() % op.calls, [&, about] {
            if (about) (void)plugins.about(plugin);
            else (void)plugins.sendFilter(h.filter(), QX_SELECTOR_GO);
            ++outcome.counts.messages;
          });
        }
        resetCounts();
        h.runner.setActions({DialogAction::confirm()});
        const FilterRun run = h.session.runFilter(filterHandle());
        outcome.counts.runs += run.wentAhead;
        clearFaults();
        break;
      }
    }
    ++outcome.counts.messages;
    checkSound(h, when, &outcome);
    if (outcome.failures.size() > 20) break;
  }
  h.session.shutdownPlugins(&h.problems);
  for (const std::string& problem : h.problems) outcome.failures.push_back("at shutdown: " + problem);
  return outcome;
}

ScenarioOutcome validateDialogSessions(const ValidationOptions& options) {
  ScenarioOutcome outcome;
  Harness h;
  if (!h.start(options, &outcome)) return outcome;
  std::mt19937_64 rng(options.seed ^ 0x6469616c6f67ull);
  const uint64_t target = static_cast<uint64_t>(scaled(options, 1000));
  while (outcome.counts.actions < target && outcome.failures.size() <= 20) {
    h.clearPageWhenFull();
    const int count = 1 + static_cast<int>(rng() % 12);
    h.runner.setOnOpen([&](Dialog& dialog) {
      for (int i = 0; i < count; ++i) outcome.counts.actions += randomAction(h.runner, dialog, rng);
    });
    h.runner.setActions({rng() % 4 ? DialogAction::confirm() : DialogAction::cancel()});
    const std::vector<QxArtHandle> before = h.session.document().art().topLevelArt();
    const FilterRun run = h.session.runFilter(h.filter().handle);
    ++outcome.counts.messages;
    outcome.counts.runs += run.wentAhead;
    if (run.cancelled() && h.session.document().art().topLevelArt() != before)
      outcome.failures.push_back("session " + std::to_string(outcome.counts.messages) +
                                 ": Cancel left the document changed");
    checkSound(h, "session " + std::to_string(outcome.counts.messages), &outcome);
  }
  h.runner.setOnOpen({});
  return outcome;
}

ScenarioOutcome validateFaults(const ValidationOptions& options) {
  ScenarioOutcome outcome;
  Harness h;
  if (!h.start(options, &outcome)) return outcome;
  // A clean run shows which host calls a run makes, and what it keeps.
  h.runner.setActions({DialogAction::confirm()});
  resetCounts();
  if (!h.session.runFilter(h.filter().handle).succeeded()) {
    outcome.failures.push_back("a run without faults failed");
    return outcome;
  }
  std::vector<OpInfo> used;
  for (const OpInfo& op : allOps())
    if (op.calls > 0) used.push_back(op);
  const Held kept;
  const uint64_t perOp = static_cast<uint64_t>(scaled(options, 2));
  const QxErr injected = QX_ERR_BAD_PARAM;
  for (const OpInfo& op : used) {
    // Calls 1 to N in turn, or spread over them when a run makes many.
    std::vector<uint64_t> calls;
    if (op.calls <= perOp) {
      for (uint64_t n = 1; n <= op.calls; ++n) calls.push_back(n);
    } else {
      for (uint64_t k = 0; k < perOp; ++k) calls.push_back(1 + k * (op.calls - 1) / (perOp - 1 ? perOp - 1 : 1));
    }
    for (uint64_t n : calls) {
      h.clearPageWhenFull();
      const std::string when = op.suite + " " + op.op + " call " + std::to_string(n);
      if (!failNthCall(op.suite, op.op, n, injected)) continue;
      ++outcome.counts.faults;
      h.runner.setActions({DialogAction::confirm()});
      const FilterRun run = h.session.runFilter(h.filter().handle);
      clearFaults();
      ++outcome.counts.messages;
      outcome.counts.runs += run.wentAhead;
      const QxErr got = run.getParameters != 0 ? run.getParameters : run.go;
      // A call the plug-in tests passes its code up; one it need not test
      // lets the run go on. Anything else is the plug-in's own invention.
      if (got != 0 && got != injected && got != QX_ERR_STOP)
        outcome.failures.push_back(when + " failed: the run answered " + code(got) + ", not " + code(injected));
      checkNothingPiledUp(kept, when, &outcome);
      checkSound(h, when, &outcome);
      if (outcome.failures.size() > 20) return outcome;
    }
  }
  return outcome;
}

ScenarioOutcome validateExtremeRecords(const ValidationOptions& options) {
  ScenarioOutcome outcome;
  Harness h;
  if (!h.start(options, &outcome)) return outcome;
  // The dialog's first use gives the record its size and defaults.
  h.runner.setActions({DialogAction::cancel()});
  (void)h.session.runFilter(h.filter().handle);
  const auto defaults = h.session.plugins().filterParameters(h.filter());
  if (!defaults || defaults->size() < 4) {
    outcome.failures.push_back("the filter keeps no parameter record");
    return outcome;
  }
  std::mt19937_64 rng(options.seed ^ 0x7265636f7264ull);
  const int32_t ints[] = {
      0, 1, -1, 2, 7, 1000, 1 << 20, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()};
  const float reals[] = {0.0f,
                         -0.0f,
                         1e-30f,
                         1e30f,
                         -1e30f,
                         std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::max()};
  for (int i = 0; i < scaled(options, 20); ++i) {
    h.clearPageWhenFull();
    std::vector<uint8_t> record = *defaults;
    // Each 4-byte field is left, or made an extreme integer or real.
    for (size_t at = 0; at + 4 <= record.size(); at += 4) {
      const uint64_t pick = rng() % 4;
      if (pick == 1) std::memcpy(&record[at], &ints[rng() % std::size(ints)], 4);
      if (pick == 2) std::memcpy(&record[at], &reals[rng() % std::size(reals)], 4);
      if (pick == 3) {
        const uint32_t bits = static_cast<uint32_t>(rng());
        std::memcpy(&record[at], &bits, 4);
      }
    }
    if (QxErr rc = h.session.plugins().setFilterParameters(h.filter(), record)) {
      outcome.failures.push_back("the host refused a record of the filter's own size: " + code(rc));
      break;
    }
    (void)h.session.plugins().sendFilter(h.filter(), QX_SELECTOR_GO);
    ++outcome.counts.messages;
    ++outcome.counts.runs;
    checkSound(h, "record " + std::to_string(i), &outcome);
  }
  return outcome;
}

const std::vector<Scenario>& validationScenarios() {
  static const std::vector<Scenario> scenarios{
      {"load cycles", validateLoadCycles},         {"messages", validateMessages},
      {"dialog sessions", validateDialogSessions}, {"fault injection", validateFaults},
      {"extreme records", validateExtremeRecords},
  };
  return scenarios;
}

}  // namespace qx::host
