// A test host for whole generator runs: the real plug-in, a real document, a
// random source the test scripts, and a dialog manager whose runner answers
// every modal dialog with a chosen item.
//
// Styling and layout cases set a parameter record and send "AI Go" (with
// previewDrawn 0, so the final run draws); dialog cases send "AI Get
// Parameters" and let the settings dialog's preview draw.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

#include "host/dialogs/dialog_manager.h"
#include "host/dialogs/dialog_runner.h"
#include "host/document/document.h"
#include "host/document/random_source.h"
#include "plugin/filter/parameters.h"
#include "support/test_host.h"

namespace qx::test {

// Answers every modal dialog with `answer` after running `during` (if set) on
// the settings dialog; remembers the template of every dialog it ran.
class AnsweringRunner : public host::DialogRunner {
 public:
  int answer = host::kItemOk;
  std::function<void(host::Dialog&)> during;
  std::vector<int32_t> templatesRun;

  int runModal(host::Dialog& dialog) override;
  void alert(const std::string&) override {}
  int settingsRuns() const;
};

// One object as the generator tests read it: its view with the style and
// bounds read out and the segments copied, so that it stays as it was when
// the store changes.
struct ArtFacts {
  int16_t type = QX_ART_UNKNOWN;
  bool closed = false;
  QxReal opacity = 1;
  QxPathStyle style{};
  QxRealRect bounds{};
  std::vector<QxPathSegment> segments;
};

class GeneratorHost : public TestHost {
 protected:
  void SetUp() override;

  // The record's defaults with the preview off; the fields the tests lean on
  // are set again where they matter.
  static FilterParameters defaults();
  // Keep `params` as the filter's block with previewDrawn 0 and send "AI Go".
  QxErr go(FilterParameters params);
  // Keep `params` as the filter's block without touching the run-time flags.
  void setBlock(const FilterParameters& params);
  QxErr getParameters() { return sendFilter("AI Get Parameters"); }
  // The filter's block now (all zeros when there is none).
  FilterParameters block();

  // Serve `values`, then `fill` for as many further draws as a run may take.
  void script(std::vector<QxReal> values, QxReal fill = 0.25f);
  uint64_t draws() const { return random_.served(); }
  // Random values drawn while `action` runs.
  uint64_t countDraws(const std::function<void()>& action) {
    const uint64_t before = draws();
    action();
    return draws() - before;
  }

  // Top-level art, bottom of the paint order first, from index `from` on.
  std::vector<QxArtHandle> art(size_t from = 0) const;
  ArtFacts info(QxArtHandle art) const;
  static QxRealPoint centre(const ArtFacts& info);
  static QxReal width(const ArtFacts& info) { return info.bounds.right - info.bounds.left; }
  static QxReal height(const ArtFacts& info) { return info.bounds.top - info.bounds.bottom; }
  static std::array<QxReal, 4> components(const QxColor& color);

  // A colour of kind gray, process or RGB with the given components.
  static QxColor color(int32_t kind, std::array<QxReal, 4> values);
  // Make new paths fill (and stroke) with these colours.
  void setTemplateFill(const QxColor& fill, QxBool paint = 1);
  void setTemplateStroke(const QxColor& stroke, QxBool paint = 1);

  host::Document doc_;
  host::RandomSource random_{7};
  host::DialogManager dialogs_;
  AnsweringRunner runner_;
};

}  // namespace qx::test
