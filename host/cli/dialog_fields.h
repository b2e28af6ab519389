// The settings dialog as the command line knows it: which control shows which
// field of the filter's record, of what kind, on which page, with which range
// and list. The host never sees the plug-in's sources, so this table mirrors
// the dialog's layout; the scripted runner then drives the real controls.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qx::cli {

enum class ControlKind {
  CheckBox,   // value 0 or 1
  IntSpin,    // integer spin edit
  RealSpin,   // real spin edit, shown with two decimals
  Popup,      // value = position of the chosen entry
  PageButtons // the four page buttons (value 1 to 4)
};

struct DialogField {
  const char* name;       // the record's field name, e.g. "lineSets"
  int32_t controlId;      // the control that shows it
  ControlKind kind;
  int page;               // 1 Lines, 2 Style, 3 Shapes, 4 Settings, 0 no page
  const char* label;      // the row's label as the dialog shows it
  double min, max;        // the control's range (spin edits)
  bool maxIsSwatchCount;  // the upper limit is the document's swatch count
  std::span<const char* const> entries;  // popup entries, in order (leading blank included)
  int32_t adjusterId;     // the drag adjuster beside it, 0 for none
};

// Every field the dialog edits, in the order the pages list them.
std::span<const DialogField> dialogFields();
// The field called `name` (exact, case-sensitive as in the record); nullptr when unknown.
const DialogField* findDialogField(std::string_view name);
// The names of every field, comma-separated (for messages).
std::string dialogFieldNames();
// The names of the fields with a drag adjuster, comma-separated.
std::string adjusterFieldNames();

// The preset popup's entries (16), leading blanks included.
std::span<const char* const> presetEntries();
inline constexpr int32_t kPresetPopupId = 65;
inline constexpr int32_t kShuffleButtonId = 60;
inline constexpr int32_t kTumbleButtonId = 61;
inline constexpr int32_t kPreviewCheckBoxId = 3;
inline constexpr int32_t kFirstPageButtonId = 90;  // 90..93 for pages 1..4
const char* pageName(int page);  // "Lines", "Style", "Shapes", "Settings"; "" otherwise

// Position of `text` among `entries`, ignoring the entries' leading blank,
// surrounding blanks of `text` and letter case; nullopt when none matches.
std::optional<int> findEntry(std::span<const char* const> entries, std::string_view text);
// The entries without their leading blank, quoted and comma-separated.
std::string listEntries(std::span<const char* const> entries);

}  // namespace qx::cli
