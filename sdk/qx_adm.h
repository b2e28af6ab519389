/* The dialog manager: dialogs, items, popup lists, trackers and strings.
 * Dialog references, items, lists, entries, notifiers and trackers are valid
 * only while their dialog exists, that is from its init procedure until its
 * destroy procedure has returned; a stale or NULL one answers
 * QX_ERR_BAD_PARAM, and so does a NULL out-parameter unless the contract says
 * it may be NULL. */
#ifndef QX_ADM_H
#define QX_ADM_H

#include "qx_plugin.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct QxDialog_* QxDialogRef;
typedef struct QxItem_* QxItemRef;
typedef struct QxList_* QxListRef;
typedef struct QxEntry_* QxEntryRef;
typedef struct QxNotifier_* QxNotifierRef;
typedef struct QxTracker_* QxTrackerRef;
typedef struct QxIcon_* QxIconRef;
typedef void* QxUserData;

/* Called once when a dialog has been made and before it is shown; a non-zero
 * answer closes it again and makes the modal call answer that code. */
typedef QxErr (*QxDialogInitProc)(QxDialogRef dialog);
/* Called just before the dialog goes away; its items can still be read. */
typedef void (*QxDialogDestroyProc)(QxDialogRef dialog);
/* Called when the user (or a Notify call) changes the item. */
typedef void (*QxItemNotifyProc)(QxItemRef item, QxNotifierRef notifier);
/* Called for each mouse event over the item; answer non-zero when handled. */
typedef QxBool (*QxItemTrackProc)(QxItemRef item, QxTrackerRef tracker);

/* Dialog styles. */
#define QX_DIALOG_MODAL 0

/* Items with a fixed role. A modal run answers the identifier of the item
 * that closed it: the default item (the button numbered 1) or the Cancel item
 * (the button numbered 2 or labelled "Cancel"). */
#define QX_DIALOG_ITEM_DEFAULT 1
#define QX_DIALOG_ITEM_CANCEL 2

/* Fonts. */
#define QX_FONT_DEFAULT 0
#define QX_FONT_DIALOG 1
#define QX_FONT_DIALOG_BOLD 5

/* Units of a numeric item. */
#define QX_UNITS_NONE 0
#define QX_UNITS_POINTS 1

/* Tracker modifier flags. */
#define QX_MODIFIER_BUTTON_DOWN 0x20 /* the mouse button is held while dragging */

/* "ADM Basic Suite" version 2. */
typedef struct QxAdmBasicSuite {
  /* Copy entry `index` of string list `listId` of the plug-in's resources
   * (the string numbered listId + index) into `buffer`, zero-terminated and cut
   * to bufferSize - 1 bytes. A missing entry reads as "" and succeeds.
   * QX_ERR_BAD_PARAM for an unknown plug-in, a NULL buffer or a size below 1. */
  QxErr (*GetIndexString)(QxPluginRef plugin, int32_t listId, int32_t index, char* buffer, int32_t bufferSize);
  /* Show `text` to the user in a modal alert with an OK button.
   * QX_ERR_BAD_PARAM for a NULL text. */
  QxErr (*MessageAlert)(const char* text);
} QxAdmBasicSuite;

/* "ADM Dialog Suite" version 3. */
typedef struct QxAdmDialogSuite {
  /* Make dialog `dialogId` of the plug-in's resources (caption, size and items
   * of its template) with `userData`, call `initProc` (may be NULL) with it,
   * run it modally and destroy it. Writes the closing item's identifier
   * (QX_DIALOG_ITEM_*) to *itemHit, which may be NULL. QX_ERR_BAD_PARAM for
   * an unknown plug-in or template or a style other than QX_DIALOG_MODAL; the
   * init procedure's non-zero code is passed on (*itemHit untouched). */
  QxErr (*Modal)(QxPluginRef plugin, const char* name, int32_t dialogId, int32_t style, QxDialogInitProc initProc,
                 QxUserData userData, int32_t* itemHit);
  /* Write the item with identifier `itemId` to *item (NULL when there is none).
   * QX_ERR_BAD_PARAM for a stale dialog or a NULL out-parameter. */
  QxErr (*GetItem)(QxDialogRef dialog, int32_t itemId, QxItemRef* item);
  /* Add an item of type `itemType` (a QX_ITEM_* name) with identifier `itemId`
   * at `bounds` (pixels of the client area); writes it to *item (may be NULL).
   * QX_ERR_BAD_PARAM for an unknown type, a NULL bounds or an identifier already used. */
  QxErr (*CreateItem)(QxDialogRef dialog, int32_t itemId, const char* itemType, const QxRect* bounds, QxItemRef* item);
  /* Write the dialog's user data (given to Modal, or set since) to *userData.
   * QX_ERR_BAD_PARAM for a stale dialog or a NULL out-parameter. */
  QxErr (*GetUserData)(QxDialogRef dialog, QxUserData* userData);
  /* Replace the dialog's user data; the host neither reads nor frees it.
   * QX_ERR_BAD_PARAM for a stale dialog. */
  QxErr (*SetUserData)(QxDialogRef dialog, QxUserData userData);
  /* Size the client area in pixels; the frame keeps its top-left corner.
   * QX_ERR_BAD_PARAM for a stale dialog, a negative size, or a size that
   * would put the frame's right or bottom edge beyond INT32_MAX. */
  QxErr (*Size)(QxDialogRef dialog, int32_t width, int32_t height);
  /* Write the dialog's frame on the screen, in pixels, to *bounds.
   * QX_ERR_BAD_PARAM for a stale dialog or a NULL out-parameter. */
  QxErr (*GetBoundsRect)(QxDialogRef dialog, QxRect* bounds);
  /* Place the frame at *bounds; the client area takes its size. QX_ERR_BAD_PARAM for a
   * stale dialog, a NULL bounds, right < left, bottom < top or a side longer than INT32_MAX. */
  QxErr (*SetBoundsRect)(QxDialogRef dialog, const QxRect* bounds);
  /* Have `destroyProc` (NULL for none) called once, just before the dialog
   * goes away. QX_ERR_BAD_PARAM for a stale dialog. */
  QxErr (*SetDestroyProc)(QxDialogRef dialog, QxDialogDestroyProc destroyProc);
} QxAdmDialogSuite;

/* "ADM Item Suite" version 4. */
typedef struct QxAdmItemSuite {
  /* Send the item's notifications to `proc` instead of the host's own
   * handling (NULL restores that). QX_ERR_BAD_PARAM for a stale item. */
  QxErr (*SetNotifyProc)(QxItemRef item, QxItemNotifyProc proc);
  /* Send mouse events over the item to `proc` instead of the host's own
   * tracking (NULL restores that). QX_ERR_BAD_PARAM for a stale item. */
  QxErr (*SetTrackProc)(QxItemRef item, QxItemTrackProc proc);
  /* The host's own handling of a notification, called from the notify
   * procedure that received `notifier`: a clicked check box toggles, a popup
   * takes the picked entry, the default item closes the dialog with
   * QX_DIALOG_ITEM_DEFAULT and the Cancel item with QX_DIALOG_ITEM_CANCEL.
   * QX_ERR_BAD_PARAM for a stale item or notifier. */
  QxErr (*DefaultNotify)(QxItemRef item, QxNotifierRef notifier);
  /* The host's own handling of a mouse event, called from the track procedure
   * that received `tracker`; *handled (may be NULL) is non-zero when it was
   * handled. QX_ERR_BAD_PARAM for a stale item or tracker. */
  QxErr (*DefaultTrack)(QxItemRef item, QxTrackerRef tracker, QxBool* handled);
  /* Send the named notification (e.g. QX_NOTIFIER_USER_CHANGED) to the item's
   * notify procedure, or to its default handling when it has none, and return
   * when it is done. QX_ERR_BAD_PARAM for a stale item or a NULL type. */
  QxErr (*Notify)(QxItemRef item, const char* notifierType);
  /* Write the dialog the item belongs to to *dialog. QX_ERR_BAD_PARAM for a
   * stale item or a NULL out-parameter. */
  QxErr (*GetDialog)(QxItemRef item, QxDialogRef* dialog);
  /* Write the item's entry list (popups) to *list; NULL for other items.
   * QX_ERR_BAD_PARAM for a stale item or a NULL out-parameter. */
  QxErr (*GetList)(QxItemRef item, QxListRef* list);
  /* Write the item's identifier to *itemId. QX_ERR_BAD_PARAM for a stale
   * item or a NULL out-parameter. */
  QxErr (*GetID)(QxItemRef item, int32_t* itemId);
  /* Show (non-zero) or hide (0) the item. QX_ERR_BAD_PARAM for a stale item. */
  QxErr (*Show)(QxItemRef item, QxBool show);
  /* Write non-zero to *visible when the item is shown. QX_ERR_BAD_PARAM for a
   * stale item or a NULL out-parameter. */
  QxErr (*IsVisible)(QxItemRef item, QxBool* visible);
  /* Enable (non-zero) or disable (0) the item. QX_ERR_BAD_PARAM for a stale item. */
  QxErr (*Enable)(QxItemRef item, QxBool enable);
  /* Write non-zero to *enabled when the item is enabled. QX_ERR_BAD_PARAM for
   * a stale item or a NULL out-parameter. */
  QxErr (*IsEnabled)(QxItemRef item, QxBool* enabled);
  /* Set the item's font to a QX_FONT_* code. QX_ERR_BAD_PARAM for a stale
   * item or another code. */
  QxErr (*SetFont)(QxItemRef item, int32_t font);
  /* Write the item's QX_FONT_* code to *font. QX_ERR_BAD_PARAM for a stale
   * item or a NULL out-parameter. */
  QxErr (*GetFont)(QxItemRef item, int32_t* font);
  /* Set the item's label (check boxes, buttons, static texts) or shown text;
   * the text is copied. QX_ERR_BAD_PARAM for a stale item or a NULL text. */
  QxErr (*SetText)(QxItemRef item, const char* text);
  /* Copy the shown text (without a text of its own: a spin edit's value, a
   * popup's chosen entry), zero-terminated and cut to size - 1 bytes.
   * QX_ERR_BAD_PARAM for a stale item, a NULL buffer or a size below 1. */
  QxErr (*GetText)(QxItemRef item, char* buffer, int32_t size);
  /* Set a numeric item's units to QX_UNITS_NONE or QX_UNITS_POINTS.
   * QX_ERR_BAD_PARAM for a stale item or another value. */
  QxErr (*SetUnits)(QxItemRef item, int32_t units);
  /* Decimals shown by a numeric item, 0 to 6; above 0 a spin edit keeps
   * fractions. QX_ERR_BAD_PARAM for a stale item or another count. */
  QxErr (*SetPrecision)(QxItemRef item, int32_t decimals);
  /* Check (non-zero) or clear (0) a check box. QX_ERR_BAD_PARAM for a stale item. */
  QxErr (*SetBooleanValue)(QxItemRef item, QxBool value);
  /* Write non-zero to *value when the check box is checked. QX_ERR_BAD_PARAM
   * for a stale item or a NULL out-parameter. */
  QxErr (*GetBooleanValue)(QxItemRef item, QxBool* value);
  /* Set the value: a spin edit clamps it to its limits, a popup chooses the
   * entry with that identifier (none: no change), a check box is checked when
   * it is non-zero. QX_ERR_BAD_PARAM for a stale item. */
  QxErr (*SetIntValue)(QxItemRef item, int32_t value);
  /* Write the value, truncated toward zero and saturated, to *value: a popup
   * answers its chosen entry's identifier (0 when none is chosen), a check box
   * 1 or 0. QX_ERR_BAD_PARAM for a stale item or a NULL out-parameter. */
  QxErr (*GetIntValue)(QxItemRef item, int32_t* value);
  /* As SetIntValue, with a real value; an integer spin edit truncates it
   * toward zero. QX_ERR_BAD_PARAM for a stale item or a NaN. */
  QxErr (*SetFloatValue)(QxItemRef item, QxReal value);
  /* As GetIntValue, without the truncation. */
  QxErr (*GetFloatValue)(QxItemRef item, QxReal* value);
  /* Set a spin edit's lower limit, truncated; it then keeps whole numbers
   * while it shows no decimals. The value is clamped at once. QX_ERR_BAD_PARAM
   * for a stale item. */
  QxErr (*SetMinIntValue)(QxItemRef item, int32_t value);
  /* The upper limit, as SetMinIntValue; when the limits cross, the lower one wins. */
  QxErr (*SetMaxIntValue)(QxItemRef item, int32_t value);
  /* Set a spin edit's lower limit as a real; it then keeps fractions. The
   * value is clamped at once. QX_ERR_BAD_PARAM for a stale item or a NaN. */
  QxErr (*SetMinFloatValue)(QxItemRef item, QxReal value);
  /* The upper limit, as SetMinFloatValue; when the limits cross, the lower one wins. */
  QxErr (*SetMaxFloatValue)(QxItemRef item, QxReal value);
} QxAdmItemSuite;

/* "ADM List Suite" version 1: the entries of a popup list. Every operation
 * answers QX_ERR_BAD_PARAM for a stale list or a NULL out-parameter. */
typedef struct QxAdmListSuite {
  /* Insert a new entry (identifier 0, empty text) at `index`, 0 to the entry
   * count; writes it to *entry. QX_ERR_BAD_PARAM for an index out of range. */
  QxErr (*InsertEntry)(QxListRef list, int32_t index, QxEntryRef* entry);
  /* Write the entry at `index` to *entry; QX_ERR_BAD_PARAM outside 0 .. count-1. */
  QxErr (*IndexEntry)(QxListRef list, int32_t index, QxEntryRef* entry);
  /* Write the chosen entry (NULL when none is chosen) to *entry. */
  QxErr (*GetActiveEntry)(QxListRef list, QxEntryRef* entry);
  /* Write the number of entries to *count. */
  QxErr (*NumberOfEntries)(QxListRef list, int32_t* count);
} QxAdmListSuite;

/* "ADM Entry Suite" version 2. Every operation answers QX_ERR_BAD_PARAM for a
 * stale entry. */
typedef struct QxAdmEntrySuite {
  /* Set the entry's identifier: what its popup's value reads while it is chosen. */
  QxErr (*SetID)(QxEntryRef entry, int32_t entryId);
  /* Write the entry's identifier to *entryId; QX_ERR_BAD_PARAM for NULL. */
  QxErr (*GetID)(QxEntryRef entry, int32_t* entryId);
  /* Make the entry the list's chosen one (non-zero), or unchoose it (0) when
   * it is the chosen one. */
  QxErr (*Select)(QxEntryRef entry, QxBool select);
  /* Set the entry's text (copied); QX_ERR_BAD_PARAM for a NULL text. */
  QxErr (*SetText)(QxEntryRef entry, const char* text);
  /* Copy the entry's text, zero-terminated and cut to size - 1 bytes;
   * QX_ERR_BAD_PARAM for a NULL buffer or a size below 1. */
  QxErr (*GetText)(QxEntryRef entry, char* buffer, int32_t size);
} QxAdmEntrySuite;

/* "ADM Tracker Suite" version 1: the mouse event being tracked. A tracker is
 * valid only inside the track procedure it was handed to; otherwise, and for
 * a NULL out-parameter, QX_ERR_BAD_PARAM. */
typedef struct QxAdmTrackerSuite {
  /* Write the mouse point, in pixels of the document view, to *point. */
  QxErr (*GetPoint)(QxTrackerRef tracker, QxPoint* point);
  /* Write the event's QX_MODIFIER_* bits to *modifiers. */
  QxErr (*GetModifiers)(QxTrackerRef tracker, int32_t* modifiers);
} QxAdmTrackerSuite;

/* "ADM Notifier Suite" version 1. A notifier is valid only inside the notify
 * procedure it was handed to; otherwise, and for a NULL argument,
 * QX_ERR_BAD_PARAM. */
typedef struct QxAdmNotifierSuite {
  /* Write non-zero to *isType when the notification is of the named type. */
  QxErr (*IsNotifierType)(QxNotifierRef notifier, const char* type, QxBool* isType);
  /* Write the item the notification is for to *item (NULL when it is gone). */
  QxErr (*GetItem)(QxNotifierRef notifier, QxItemRef* item);
} QxAdmNotifierSuite;

/* "ADM Icon Suite" version 1. */
typedef struct QxAdmIconSuite {
  /* Write the size in pixels of icon `iconId` of the plug-in's resources (its
   * first image). QX_ERR_BAD_PARAM for an unknown plug-in or icon, or a NULL
   * out-parameter. */
  QxErr (*GetIconSize)(QxPluginRef plugin, int32_t iconId, int32_t* width, int32_t* height);
} QxAdmIconSuite;

#ifdef __cplusplus
}
#endif

#endif
