// What the settings dialog's controls do when they are used. Each reaction
// takes the record from the control's dialog; none reports a failure.
#pragma once

#include "qx_sdk.h"

// Every check box, spin edit (but the zoom), colour, direction, pattern and
// shape popup, "Shuffle" and "Preview": reads every control into the record,
// applies the enabling rules and, with "Preview" on, draws a new preview.
void OnSettingChanged(QxItemRef item, QxNotifierRef notifier);
// The page buttons 90 to 93: stores the page, marks its caption bold, shows
// its controls and hides the other pages'. Draws nothing.
void OnPageButton(QxItemRef item, QxNotifierRef notifier);
// The zoom spin edit: stores viewZoom and zooms the first document view.
void OnZoomChanged(QxItemRef item, QxNotifierRef notifier);
// "Tumble": resets most settings, varies a random choice of them, shows the
// record and hands over to the change reaction.
void OnTumble(QxItemRef item, QxNotifierRef notifier);
// The preset popup: writes the defaults and the chosen preset's values,
// shows the record and hands over to the change reaction.
void OnPresetChosen(QxItemRef item, QxNotifierRef notifier);
// Track procedure of the adjuster buttons 160 to 174: while the mouse button
// is held, sets the button's spin edit from the mouse position on the page
// and hands over to the change reaction. Answers true.
QxBool TrackAdjuster(QxItemRef item, QxTrackerRef tracker);
