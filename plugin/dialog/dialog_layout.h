// The settings dialog's controls as data: one row per control, in the order
// the dialog creates them, and the texts of its popup lists.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filter/parameters.h"
#include "qx_sdk.h"

enum class ControlKind : uint8_t { CheckBox, SpinEdit, PictureButton, StaticText, Popup, PushButton };

// How a control's value maps onto its record field.
enum class ValueKind : uint8_t {
  None,    // no value (labels, buttons, adjusters)
  Flag,    // check box, 0 or 1
  Int,     // integer spin edit
  Real,    // real spin edit
  Jitter,  // integer field shown by a real spin edit, truncated on read-back
  Entry,   // popup: the position of the chosen entry
};

enum class Reaction : uint8_t {
  None,
  SettingChanged,
  SettingChangedAfterFill,  // a popup that gets OnSettingChanged once its list is filled
  PageButton,
  Zoom,
  Preset,
  Tumble,
  Adjuster,  // a track procedure, not a notify procedure
};

enum class PopupList : uint8_t { None, StrokeColor, FillColor, Direction, Pattern, ShapeKind, Preset };

// A spin edit whose upper limit is the document's swatch count.
inline constexpr float kSwatchCountLimit = -1.0f;

struct ControlRow {
  int32_t id;
  ControlKind kind;
  QxRect bounds;      // left, top, right, bottom in pixels of the client area
  const char* label;  // nullptr when the control has none
  int32_t page;       // 1 to 4, or 0 for the controls shown on every page
  ValueKind value;
  size_t field;      // byte offset of the record field (when value is not None)
  float min, max;    // spin edit limits; max may be kSwatchCountLimit
  int32_t decimals;  // spin edits: 2 for reals, 0 for integers
  Reaction reaction;
  PopupList list;
};

inline constexpr int32_t kDialogWidth = 530;
inline constexpr int32_t kDialogHeight = 325;

// Controls in creation order.
extern const ControlRow kControlRows[];
extern const size_t kControlRowCount;

// The row of control `id`, or nullptr.
const ControlRow* FindControlRow(int32_t id);

// Popups in the order their lists are filled.
extern const int32_t kPopupFillOrder[];
extern const size_t kPopupFillOrderCount;

// Entry texts of a list, each with its leading blank; writes the count.
const char* const* PopupEntries(PopupList list, int32_t* count);

// Page buttons and captions, indexed by page - 1.
inline constexpr int32_t kPageButtons[4] = {90, 91, 92, 93};
inline constexpr int32_t kPageCaptions[4] = {95, 96, 97, 98};

// The control whose change notification stands for page `page` (outside 1 to
// 4: page 1's) and the page's button.
int32_t PageRepresentative(int32_t page);
int32_t PageButton(int32_t page);

// Control identifiers used by the reactions.
inline constexpr int32_t kPreviewBox = 3;
inline constexpr int32_t kZoomSpin = 14;
inline constexpr int32_t kPresetPopup = 65;
