// The settings dialog as the command line knows it. The command line has
// its own words for the dialog's controls (the record's field names, the
// verbs of its actions); everything else, which control of which kind on
// which page with which range, label, entries and adjuster, is read from the
// live dialog the plug-in builds, when it opens.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/dialogs/dialog_manager.h"

namespace qx::cli {

// The command line's names for the controls that show the record's fields.
struct FieldName {
  const char* name;     // the record's field name, e.g. "lineSets"
  int32_t controlId;    // the control that shows it
  const char* caption;  // the row's label where the dialog shows none; nullptr to read it
};
std::span<const FieldName> fieldNames();
const FieldName* findFieldName(std::string_view name);
// Every name, comma-separated (for messages).
std::string listFieldNames();
// The pseudo-field of the page buttons ("dialogPage").
inline constexpr const char* kPageFieldName = "dialogPage";

enum class ControlKind {
  CheckBox,    // value 0 or 1
  IntSpin,     // integer spin edit
  RealSpin,    // real spin edit
  Popup,       // value = position of the chosen entry
  PageButtons  // the page buttons (value 1 to the page count)
};

struct DialogField {
  std::string name;
  int32_t controlId = 0;
  ControlKind kind = ControlKind::CheckBox;
  int page = 0;             // 1.. the page showing it; 0 on every page
  std::string label;        // the row's label as the dialog shows it
  double min = 0, max = 0;  // the control's range (spin edits; popups 0 .. entries - 1)
  int32_t decimals = 0;
  std::vector<host::ListEntry> entries;  // popup entries in order, as the dialog lists them
  int32_t adjusterId = 0;                // the drag adjuster beside it, 0 for none
};

class DialogCatalogue {
 public:
  // Read `dialog` as the plug-in left it after initialising it. The pages
  // are learned as a person learns them: by pressing each page button in
  // turn, then the first one shown again (a page change draws nothing). A
  // named control the dialog lacks is left out.
  static DialogCatalogue read(host::Dialog& dialog);

  std::span<const DialogField> fields() const { return fields_; }
  const DialogField* find(std::string_view name) const;
  // Names of the fields with a drag adjuster, comma-separated.
  std::string adjusterFieldNames() const;

  int pageCount() const { return static_cast<int>(pageButtons_.size()); }
  // "Lines" for page 1 ...; "" outside 1..pageCount().
  std::string pageName(int page) const;
  int32_t pageButton(int page) const;  // 0 outside 1..pageCount()
  // The push button showing `text` ("Shuffle", "Tumble", "Cancel"); 0 when none.
  int32_t button(std::string_view text) const;

 private:
  std::vector<DialogField> fields_;
  std::vector<int32_t> pageButtons_;
  std::vector<std::string> pageNames_;
  std::vector<std::pair<std::string, int32_t>> buttons_;
};

// The entries' texts without their leading blank, quoted and comma-separated.
std::string listEntries(std::span<const host::ListEntry> entries);

}  // namespace qx::cli
