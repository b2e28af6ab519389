/* The dialog manager: dialogs, items, popup lists, trackers and strings.
 * Dialog references, items, lists, entries, notifiers and trackers are valid
 * only while their dialog exists; a stale one answers QX_ERR_BAD_PARAM. */
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
  QxErr (*GetIndexString)(QxPluginRef plugin, int32_t listId, int32_t index, char* buffer,
                          int32_t bufferSize);
  /* Show `text` in a modal alert with an OK button. */
  QxErr (*MessageAlert)(const char* text);
} QxAdmBasicSuite;

/* "ADM Dialog Suite" version 3. */
typedef struct QxAdmDialogSuite {
  /* Make dialog `dialogId` of the plug-in's resources (caption, size and items
   * of its template), call `initProc` with it, run it modally and destroy it.
   * Writes the number of the item that closed it to *itemHit: 1 for the
   * default item, 2 for "Cancel". QX_ERR_BAD_PARAM for an unknown plug-in or
   * template; the init procedure's non-zero code is passed on. */
  QxErr (*Modal)(QxPluginRef plugin, const char* name, int32_t dialogId, int32_t style,
                 QxDialogInitProc initProc, QxUserData userData, int32_t* itemHit);
  /* Write the item with identifier `itemId` to *item (NULL when there is none). */
  QxErr (*GetItem)(QxDialogRef dialog, int32_t itemId, QxItemRef* item);
  /* Add an item of the named type with identifier `itemId` at `bounds` (pixels
   * of the client area); writes it to *item. QX_ERR_BAD_PARAM for an unknown
   * type, a NULL bounds or an identifier already used. */
  QxErr (*CreateItem)(QxDialogRef dialog, int32_t itemId, const char* itemType, const QxRect* bounds,
                      QxItemRef* item);
  QxErr (*GetUserData)(QxDialogRef dialog, QxUserData* userData);
  QxErr (*SetUserData)(QxDialogRef dialog, QxUserData userData);
  /* Size the client area in pixels; negative sizes are QX_ERR_BAD_PARAM. */
  QxErr (*Size)(QxDialogRef dialog, int32_t width, int32_t height);
  /* The dialog's frame on the screen, in pixels. */
  QxErr (*GetBoundsRect)(QxDialogRef dialog, QxRect* bounds);
  QxErr (*SetBoundsRect)(QxDialogRef dialog, const QxRect* bounds);
  QxErr (*SetDestroyProc)(QxDialogRef dialog, QxDialogDestroyProc destroyProc);
} QxAdmDialogSuite;

/* "ADM Item Suite" version 4. */
typedef struct QxAdmItemSuite {
  QxErr (*SetNotifyProc)(QxItemRef item, QxItemNotifyProc proc);
  QxErr (*SetTrackProc)(QxItemRef item, QxItemTrackProc proc);
  /* The host's own handling of a notification: a check box toggles, a popup
   * takes the chosen entry, the default item closes the dialog with 1 and
   * "Cancel" with 2. */
  QxErr (*DefaultNotify)(QxItemRef item, QxNotifierRef notifier);
  /* The host's own handling of a mouse event; *handled is non-zero when it
   * was handled (may be NULL). */
  QxErr (*DefaultTrack)(QxItemRef item, QxTrackerRef tracker, QxBool* handled);
  /* Send the named notification (e.g. "ADM User Changed Notifier") to the
   * item's notify procedure, or to its default handling when it has none. */
  QxErr (*Notify)(QxItemRef item, const char* notifierType);
  QxErr (*GetDialog)(QxItemRef item, QxDialogRef* dialog);
  /* Write the item's entry list (popups) to *list; NULL for other items. */
  QxErr (*GetList)(QxItemRef item, QxListRef* list);
  QxErr (*GetID)(QxItemRef item, int32_t* itemId);
  QxErr (*Show)(QxItemRef item, QxBool show);
  QxErr (*IsVisible)(QxItemRef item, QxBool* visible);
  QxErr (*Enable)(QxItemRef item, QxBool enable);
  QxErr (*IsEnabled)(QxItemRef item, QxBool* enabled);
  /* QX_FONT_* codes; others are QX_ERR_BAD_PARAM. */
  QxErr (*SetFont)(QxItemRef item, int32_t font);
  QxErr (*GetFont)(QxItemRef item, int32_t* font);
  /* The item's label (check boxes, buttons, static texts) or shown text. */
  QxErr (*SetText)(QxItemRef item, const char* text);
  /* Copy the text, zero-terminated and cut to size - 1 bytes. */
  QxErr (*GetText)(QxItemRef item, char* buffer, int32_t size);
  QxErr (*SetUnits)(QxItemRef item, int32_t units);
  /* Decimals shown by a numeric item, 0 to 6. */
  QxErr (*SetPrecision)(QxItemRef item, int32_t decimals);
  QxErr (*SetBooleanValue)(QxItemRef item, QxBool value);
  QxErr (*GetBooleanValue)(QxItemRef item, QxBool* value);
  /* Numeric values; a spin edit clamps every value set on it to its limits. */
  QxErr (*SetIntValue)(QxItemRef item, int32_t value);
  QxErr (*GetIntValue)(QxItemRef item, int32_t* value);
  QxErr (*SetFloatValue)(QxItemRef item, QxReal value);
  QxErr (*GetFloatValue)(QxItemRef item, QxReal* value);
  QxErr (*SetMinIntValue)(QxItemRef item, int32_t value);
  QxErr (*SetMaxIntValue)(QxItemRef item, int32_t value);
  QxErr (*SetMinFloatValue)(QxItemRef item, QxReal value);
  QxErr (*SetMaxFloatValue)(QxItemRef item, QxReal value);
} QxAdmItemSuite;

/* "ADM List Suite" version 1: the entries of a popup list. */
typedef struct QxAdmListSuite {
  /* Insert a new entry at `index` (0 to the entry count); writes it to *entry. */
  QxErr (*InsertEntry)(QxListRef list, int32_t index, QxEntryRef* entry);
  /* Write the entry at `index` to *entry; QX_ERR_BAD_PARAM past the end. */
  QxErr (*IndexEntry)(QxListRef list, int32_t index, QxEntryRef* entry);
  /* Write the chosen entry (NULL when none is chosen) to *entry. */
  QxErr (*GetActiveEntry)(QxListRef list, QxEntryRef* entry);
  QxErr (*NumberOfEntries)(QxListRef list, int32_t* count);
} QxAdmListSuite;

/* "ADM Entry Suite" version 2. */
typedef struct QxAdmEntrySuite {
  QxErr (*SetID)(QxEntryRef entry, int32_t entryId);
  QxErr (*GetID)(QxEntryRef entry, int32_t* entryId);
  /* Make the entry the list's chosen one (or unchoose it). */
  QxErr (*Select)(QxEntryRef entry, QxBool select);
  QxErr (*SetText)(QxEntryRef entry, const char* text);
  QxErr (*GetText)(QxEntryRef entry, char* buffer, int32_t size);
} QxAdmEntrySuite;

/* "ADM Tracker Suite" version 1: the mouse event being tracked. */
typedef struct QxAdmTrackerSuite {
  /* The mouse point, in pixels of the document view. */
  QxErr (*GetPoint)(QxTrackerRef tracker, QxPoint* point);
  /* QX_MODIFIER_* bits. */
  QxErr (*GetModifiers)(QxTrackerRef tracker, int32_t* modifiers);
} QxAdmTrackerSuite;

/* "ADM Notifier Suite" version 1. */
typedef struct QxAdmNotifierSuite {
  /* Write non-zero to *isType when the notification is of the named type. */
  QxErr (*IsNotifierType)(QxNotifierRef notifier, const char* type, QxBool* isType);
  QxErr (*GetItem)(QxNotifierRef notifier, QxItemRef* item);
} QxAdmNotifierSuite;

/* "ADM Icon Suite" version 1. */
typedef struct QxAdmIconSuite {
  /* Write the size in pixels of icon `iconId` of the plug-in's resources. */
  QxErr (*GetIconSize)(QxPluginRef plugin, int32_t iconId, int32_t* width, int32_t* height);
} QxAdmIconSuite;

#ifdef __cplusplus
}
#endif

#endif
