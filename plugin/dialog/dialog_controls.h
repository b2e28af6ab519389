// The record and the controls that show it: finding them, moving values
// between them, and handing a rewritten record over to the change reaction.
#pragma once

#include <cstdint>

#include "dialog/dialog_layout.h"
#include "filter/parameters.h"
#include "qx_sdk.h"

// The record that is the dialog's user data, or nullptr.
FilterParameters* DialogRecord(QxDialogRef dialog);
// The dialog an item belongs to, or nullptr.
QxDialogRef ItemDialog(QxItemRef item);
// The item with identifier `id`, or nullptr.
QxItemRef DialogItem(QxDialogRef dialog, int32_t id);

// The record field a row shows, by the row's value kind.
int32_t& IntField(FilterParameters& params, const ControlRow& row);
QxReal& RealField(FilterParameters& params, const ControlRow& row);
int32_t IntField(const FilterParameters& params, const ControlRow& row);
QxReal RealField(const FilterParameters& params, const ControlRow& row);

// Truncation toward zero that saturates at the 32-bit range (NaN gives 0).
int32_t TruncToInt(double value);

// True for the controls that OnSettingChanged reads back and that Tumble and
// the presets set: every check box but "Preview", every spin edit but the
// zoom, and the popups but the preset list.
bool FollowsRecord(const ControlRow& row);

// Set a check box or spin edit from its field; popups select the entry at the
// field's position.
void ShowField(QxItemRef item, const ControlRow& row, const FilterParameters& params);
// Read a check box, spin edit or popup into its field. A value the host does
// not give leaves the field as it was.
void ReadField(QxItemRef item, const ControlRow& row, FilterParameters& params);

// Make the entry at `position` the popup's chosen one (nothing when there is
// no such entry).
void SelectEntryAt(QxItemRef popup, int32_t position);
// The identifier of the popup's chosen entry; false when none is chosen.
bool ChosenEntryId(QxItemRef popup, int32_t* entryId);

// Set "Preview" and every control that follows the record from the record.
void PushRecordIntoControls(QxDialogRef dialog, const FilterParameters& params);
// Send the user-changed notification to the current page's representative
// control, then to the page's button: the record is read back, the rules
// applied, the preview drawn and the page shown again.
void HandOverToChangeReaction(QxDialogRef dialog, const FilterParameters& params);
